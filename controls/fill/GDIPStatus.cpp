#include "controls/fill/GDIPStatus.h"

#include "platform/gdiplus/Graphics.h"

#include <algorithm>
#include <cmath>

namespace lumora {

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

namespace {

// The badge leaves 2 pixels around its text on every side.
constexpr int kTextPadding = 4;
constexpr float kMeasureExtent = 10000.0f;

int RoundHalfEven(double v) { return int(std::nearbyint(v)); }

gdiplus::Color Opaque(TColor colour)
{
    const TColor rgb = ColorToRGB(colour);
    return gdiplus::Color(std::uint8_t(GetRValue(rgb)), std::uint8_t(GetGValue(rgb)), std::uint8_t(GetBValue(rgb)));
}

gdiplus::Font BadgeFont(const TFont& font)
{
    const TFontDescription d = font.Description();
    return gdiplus::Font(d.Family, float(d.SizeInPoints), int(d.Style & (fsBold | fsItalic | fsUnderline)),
                         gdiplus::UnitPoint);
}

} // namespace

QSize StatusBadgeSize(QSizeF measuredCaption, int spacing, QSize picture)
{
    int w = 0, h = 0;
    if (!measuredCaption.isEmpty()) {
        h = RoundHalfEven(measuredCaption.height() + kTextPadding);
        w = std::max(h, RoundHalfEven(measuredCaption.width() + kTextPadding)) + 2 * spacing;
    }
    if (!picture.isEmpty()) {
        w = std::max(w, picture.width());
        h = std::max(h, picture.height());
    }
    return {w, h};
}

QRectF StatusBadgeRect(int x, int y, int width, int height, double borderInset)
{
    return QRectF(x, y, width - 2 * borderInset, height - 2 * borderInset);
}

QPointF StatusCaptionOrigin(int x, int y, int width, int height, int spacing, QSizeF measuredCaption)
{
    return {(width - 2 * spacing - measuredCaption.width()) / 2 + x + spacing,
            (height - measuredCaption.height()) / 2 + y};
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

TGDIPStatus::TGDIPStatus()
{
    fill_.OnChange = [this](TObject*) { Changed(); };
    font_.OnChange = [this](TObject*) { Changed(); };
}

void TGDIPStatus::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TGDIPStatus*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    fill_.Assign(other->fill_);
    font_.Assign(other->font_);
    glow_ = other->glow_;
    spacing_ = other->spacing_;
    Changed();
    EndUpdate();
}

void TGDIPStatus::SetFill(const TGDIPFill& value)
{
    if (&value != &fill_)
        fill_.Assign(value);
}

void TGDIPStatus::SetFont(const TFont& value)
{
    if (&value != &font_)
        font_.Assign(value);
}

void TGDIPStatus::SetSpacing(int value)
{
    if (spacing_ == value)
        return;
    spacing_ = value;
    Changed();
}

void TGDIPStatus::SetGlow(bool value)
{
    if (glow_ == value)
        return;
    glow_ = value;
    Changed();
}

bool TGDIPStatus::HasFillPicture() const
{
    return fill_.Picture() != nullptr && !fill_.Picture()->Empty();
}

QSize TGDIPStatus::FillPictureSize() const
{
    if (!HasFillPicture())
        return {};
    if (fill_.PictureSize() == psCustom)
        return {fill_.PictureWidth(), fill_.PictureHeight()};
    TAdvGDIPPicture* picture = fill_.Picture();
    picture->Measure();
    return {picture->Width(), picture->Height()};
}

// ---------------------------------------------------------------------------
// Measuring and painting
// ---------------------------------------------------------------------------

QSizeF TGDIPStatus::MeasureCaption(gdiplus::Graphics& graphics, const QString& caption) const
{
    if (caption.isEmpty())
        return {};
    const gdiplus::Font font = BadgeFont(font_);
    const gdiplus::RectF box =
        graphics.MeasureString(caption, &font, gdiplus::RectF(0, 0, kMeasureExtent, kMeasureExtent), nullptr);
    return {box.Width, box.Height};
}

void TGDIPStatus::Measure(gdiplus::Graphics& graphics, const QString& caption)
{
    const QSize size = StatusBadgeSize(MeasureCaption(graphics, caption), spacing_, FillPictureSize());
    width_ = size.width();
    height_ = size.height();
}

void TGDIPStatus::DrawBadge(gdiplus::Graphics& graphics, int x, const QString& caption, bool useMeasuredSize,
                            int height, int width, int y)
{
    const int w = useMeasuredSize ? width_ : width;
    const int h = useMeasuredSize ? height_ : height;
    const double inset = fill_.BorderColor() != clNone ? fill_.BorderWidth() / 2.0 : 0.0;
    const QRectF body = StatusBadgeRect(x, y, w, h, inset);

    DrawBody(graphics, body);
    DrawCaption(graphics, caption, x, y, w, h);
    if (glow_)
        DrawGloss(graphics, body);
}

void TGDIPStatus::DrawBody(gdiplus::Graphics& graphics, const QRectF& body)
{
    // Making the fill a pill is part of drawing, not a change of the badge.
    const TNotifyEvent announce = std::move(fill_.OnChange);
    fill_.OnChange = nullptr;
    fill_.BeginUpdate();
    fill_.SetRounding(RoundHalfEven(body.height() / 2));
    fill_.EndUpdate();
    fill_.OnChange = announce;
    fill_.Fill(&graphics, gdiplus::RectF::FromQRectF(body));
}

void TGDIPStatus::DrawCaption(gdiplus::Graphics& graphics, const QString& caption, int x, int y, int w,
                              int h) const
{
    if (caption.isEmpty())
        return;
    const QSizeF measured = MeasureCaption(graphics, caption);
    const QPointF at = StatusCaptionOrigin(x, y, w, h, spacing_, measured);
    const gdiplus::Font font = BadgeFont(font_);
    gdiplus::SolidBrush brush(Opaque(font_.Color()));
    graphics.DrawString(caption, &font, gdiplus::PointF(float(at.x()), float(at.y())), &brush);
}

void TGDIPStatus::DrawGloss(gdiplus::Graphics& graphics, const QRectF& body) const
{
    TGDIPFill gloss;
    gloss.SetColor(clWhite);
    gloss.SetColorTo(clWhite);
    gloss.SetGradientType(gtVertical);
    gloss.SetOpacity(kGlossOpacity);
    gloss.SetOpacityTo(kGlossOpacityTo);
    gloss.SetRoundingType(rtTop);
    gloss.SetRounding(fill_.Rounding());
    gloss.Fill(&graphics, gdiplus::RectF(float(body.x()), float(body.y()), float(body.width()),
                                         float(body.height() / 2)));
}

} // namespace lumora
