#include "controls/label/AdvSmoothLabel.h"

#include "platform/gdiplus/Brush.h"
#include "platform/gdiplus/Font.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/HatchBrush.h"
#include "platform/gdiplus/Image.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/StringFormat.h"
#include "platform/gdiplus/TextureBrush.h"

#include <QMouseEvent>

#include <memory>

namespace lumora {

namespace {

constexpr std::uint32_t kVersion = 0x01050000;
constexpr int kInitialWidth = 280;
constexpr int kInitialHeight = 50;

} // namespace

TAdvSmoothLabel::TAdvSmoothLabel(QWidget* parent) : TCustomControl(parent)
{
    resize(kInitialWidth, kInitialHeight);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    caption_.OnChange = [this](TObject*) { Changed(); };
    captionShadow_.OnChange = [this](TObject*) { Changed(); };
    fill_.OnChange = [this](TObject*) { Changed(); };
}

TAdvSmoothLabel::~TAdvSmoothLabel()
{
    caption_.OnChange = nullptr;
    captionShadow_.OnChange = nullptr;
    fill_.OnChange = nullptr;
}

void TAdvSmoothLabel::Changed()
{
    update();
    Fire(OnChange, this);
}

void TAdvSmoothLabel::SetCaptionShadowVisible(bool value)
{
    if (StoreIfDifferent(captionShadowVisible_, value))
        Changed();
}

void TAdvSmoothLabel::SetCaptionShadowOffsetLeft(int value)
{
    if (StoreIfDifferent(captionShadowOffsetLeft_, value))
        Changed();
}

void TAdvSmoothLabel::SetCaptionShadowOffsetTop(int value)
{
    if (StoreIfDifferent(captionShadowOffsetTop_, value))
        Changed();
}

void TAdvSmoothLabel::SetTransparent(bool value)
{
    if (StoreIfDifferent(transparent_, value))
        Changed();
}

void TAdvSmoothLabel::SetWordWrap(bool value)
{
    if (StoreIfDifferent(wordWrap_, value))
        Changed();
}

void TAdvSmoothLabel::SetTextRendering(TTextRenderingHint value)
{
    if (StoreIfDifferent(textRendering_, value))
        Changed();
}

QString TAdvSmoothLabel::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((kVersion >> 24) & 0xFF)
        .arg((kVersion >> 16) & 0xFF)
        .arg((kVersion >> 8) & 0xFF)
        .arg(kVersion & 0xFF);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TAdvSmoothLabel::paintEvent(QPaintEvent* event)
{
    if (width() < 2 || height() < 2)
        return;
    TCustomControl::paintEvent(event);
}

void TAdvSmoothLabel::PaintTo(gdiplus::Graphics& graphics) const
{
    if (width() < 2 || height() < 2)
        return;
    gdiplus::RectF layout(0, 0, float(width() - 1), float(height() - 1));

    // Background.
    if (!transparent_)
        layout = const_cast<TGDIPFill&>(fill_).Fill(&graphics, layout, 255, 255, 255, 255, 255);

    // Shadow text behind the caption.
    if (captionShadowVisible_ && !captionShadow_.Text().isEmpty())
        DrawCaption(graphics, captionShadow_, layout.ToQRectF(), captionShadowOffsetLeft_, captionShadowOffsetTop_);

    // The caption.
    if (!caption_.Text().isEmpty())
        DrawCaption(graphics, caption_, layout.ToQRectF(), 0, 0);
}

namespace {

// The brush for a caption's text box, or nullptr when the kind draws no text.
std::unique_ptr<gdiplus::Brush> CaptionBrush(const TAdvSmoothLabelCaption& caption, const QRectF& box)
{
    const gdiplus::Color start(ToARGB(std::uint8_t(caption.OpacityStart()), caption.ColorStart()));
    const gdiplus::Color end = caption.ColorEnd() == clNone
                                   ? start
                                   : gdiplus::Color(ToARGB(std::uint8_t(caption.OpacityEnd()), caption.ColorEnd()));
    const float x = float(box.x()), y = float(box.y()), w = float(box.width()), h = float(box.height());
    using gdiplus::PointF;
    switch (caption.GradientType()) {
    case gtSolid: return std::make_unique<gdiplus::SolidBrush>(start);
    case gtVertical: return std::make_unique<gdiplus::LinearGradientBrush>(PointF(x, y), PointF(x, y + h), start, end);
    case gtHorizontal:
        return std::make_unique<gdiplus::LinearGradientBrush>(PointF(x, y), PointF(x + w, y), start, end);
    case gtForwardDiagonal:
        return std::make_unique<gdiplus::LinearGradientBrush>(PointF(x, y), PointF(x + w, y + h), start, end);
    case gtBackwardDiagonal:
        return std::make_unique<gdiplus::LinearGradientBrush>(PointF(x, y + h), PointF(x + w, y), end, start);
    case gtHatch: return std::make_unique<gdiplus::HatchBrush>(caption.HatchStyle(), start, end);
    case gtTexture: {
        // The picture's own bytes, decoded as an image, tiled from the origin.
        if (caption.Picture().Empty())
            return nullptr;
        const auto image = gdiplus::Image::FromBytes(caption.Picture().Data());
        if (image->GetLastStatus() != gdiplus::Ok || image->IsEmpty())
            return nullptr;
        return std::make_unique<gdiplus::TextureBrush>(image.get(), gdiplus::WrapModeTile);
    }
    default: return nullptr; // radial, angle, path and none draw no text
    }
}

} // namespace

void TAdvSmoothLabel::DrawCaption(gdiplus::Graphics& graphics, const TAdvSmoothLabelCaption& caption,
                                  const QRectF& layout, int offsetLeft, int offsetTop) const
{
    // Font, falling back to Arial for a family the system does not know.
    const TFontDescription d = caption.Font().Description();
    auto family = std::make_unique<gdiplus::FontFamily>(d.Family);
    const gdiplus::Status found = family->GetLastStatus();
    if (found == gdiplus::FontFamilyNotFound || found == gdiplus::FontStyleNotFound)
        family = std::make_unique<gdiplus::FontFamily>(QStringLiteral("Arial"));
    const int style = int(d.Style & (fsBold | fsItalic | fsUnderline));
    const gdiplus::Font font(family.get(), float(d.SizeInPoints), style, gdiplus::UnitPoint);

    gdiplus::StringFormat format(wordWrap_ ? 0 : gdiplus::StringFormatFlagsNoWrap, 0);

    // Measure within the layout box, then place.
    gdiplus::RectF measured;
    graphics.MeasureString(caption.Text(), &font, gdiplus::RectF::FromQRectF(layout), &format, &measured);
    const QSizeF text(measured.Width, measured.Height);
    // A custom main caption places the shadow too; a custom shadow under a
    // placed caption uses its own Left and Top.
    QPointF at;
    if (caption_.Location() == plCustom)
        at = QPointF(caption_.Left(), caption_.Top());
    else if (caption.Location() == plCustom)
        at = QPointF(caption.Left(), caption.Top());
    else
        at = LabelCaptionPosition(caption.Location(), layout.size(), text);
    at += QPointF(offsetLeft, offsetTop);

    graphics.SetTextRenderingHint(textRendering_ == tClearType ? gdiplus::TextRenderingHintClearTypeGridFit
                                                               : gdiplus::TextRenderingHintAntiAliasGridFit);
    const auto brush = CaptionBrush(caption, QRectF(at, text));
    if (!brush)
        return;
    const gdiplus::RectF target(float(at.x()), float(at.y()), float(layout.width() - at.x()),
                                float(layout.height() - at.y()));
    graphics.DrawString(caption.Text(), &font, target, &format, brush.get());
}

// ---------------------------------------------------------------------------
// Mouse
// ---------------------------------------------------------------------------

void TAdvSmoothLabel::mouseReleaseEvent(QMouseEvent* event)
{
    TCustomControl::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Fire(OnClick, this);
}

void TAdvSmoothLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    TCustomControl::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Fire(OnDblClick, this);
}

} // namespace lumora
