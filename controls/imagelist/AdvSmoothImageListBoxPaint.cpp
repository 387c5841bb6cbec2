// Painting of the image list box, in drawing order: background, items,
// header and footer bands, top-layer items. Kept apart from the control's state and input
// handling so each reads on its own.

#include "controls/imagelist/AdvSmoothImageListBox.h"

#include "controls/imagelist/AdvSmoothImageListBoxHTMLRender.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"

#include <QPainter>

namespace lumora {

namespace {

using gdiplus::RectF;

gdiplus::TextRenderingHint HintOf(TAdvSmoothImageListBoxTextRendering r)
{
    switch (r) {
    case tAntiAlias: return gdiplus::TextRenderingHintAntiAlias;
    case tAntiAliasGridFit: return gdiplus::TextRenderingHintAntiAliasGridFit;
    default: return gdiplus::TextRenderingHintClearTypeGridFit;
    }
}

// A drawing-layer font for a control font; "Arial" stands in for unknown names.
gdiplus::Font MakeFont(const TFont& f)
{
    const TFontDescription d = f.Description();
    return gdiplus::Font(d.Family, gdiplus::REAL(d.SizeInPoints), gdiplus::INT(d.Style));
}

} // namespace

const std::array<QImage, 4>& TAdvSmoothImageListBox::ItemBackgrounds()
{
    RenderItemBackgrounds();
    return Backgrounds_;
}

void TAdvSmoothImageListBox::RenderItemBackgrounds()
{
    const QSize size(RoundEven(Layout_.itemSize.width()), RoundEven(Layout_.itemSize.height()));
    if (BackgroundsValid_ && !Backgrounds_[0].isNull() && Backgrounds_[0].size() == size)
        return;
    TGDIPFill* fills[4] = {&ItemAppearance_.Fill(), &ItemAppearance_.SelectedFill(), &ItemAppearance_.DisabledFill(),
                           &ItemAppearance_.HoverFill()};
    for (int k = 0; k < 4; ++k) {
        QImage bitmap(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(Qt::transparent);
        {
            gdiplus::Graphics g(&bitmap);
            g.SetSmoothingMode(fills[k]->Rounding() > 0 ? gdiplus::SmoothingModeAntiAlias
                                                        : gdiplus::SmoothingModeDefault);
            fills[k]->Fill(&g, RectF(0, 0, gdiplus::REAL(size.width() - 1), gdiplus::REAL(size.height() - 1)));
        }
        Backgrounds_[size_t(k)] = std::move(bitmap);
    }
    BackgroundsValid_ = true;
    ++BackgroundRenders_;
}

void TAdvSmoothImageListBox::paintEvent(QPaintEvent*)
{
    if (Items_.UpdateCount() > 0)
        return;
    QPainter painter(this);
    gdiplus::Graphics g(&painter);
    PaintBackground(g);
    PaintItems(g);
    if (!ZoomOnTop_)
        PaintZoomedItem(g);
    if (Header_.Visible())
        PaintBand(g, Header_, HeaderRect(), HeaderState_);
    if (Footer_.Visible())
        PaintBand(g, Footer_, FooterRect(), FooterState_);
    PaintTopLayer(g, TopLayerItems_, Layout_.itemArea);
    if (ZoomOnTop_)
        PaintZoomedItem(g);
}

void TAdvSmoothImageListBox::PaintBackground(gdiplus::Graphics& g)
{
    if (Transparent_)
        return;
    g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    Fill_.Fill(&g, RectF(0, 0, gdiplus::REAL(width() - 1), gdiplus::REAL(height() - 1)));
}

void TAdvSmoothImageListBox::PaintItems(gdiplus::Graphics& g)
{
    RenderItemBackgrounds();
    g.SetClip(RectF::FromQRectF(Layout_.itemArea));
    for (const TDisplayEntry& e : Layout_.entries) {
        if (!IntersectsControl(e.rect, width(), height()))
            continue;
        const TAdvSmoothImageListBoxItem& item = *Items_[e.item];
        bool defaultDraw = true;
        Fire(OnItemDraw, this, e.item, &g, e.rect, defaultDraw);
        if (!defaultDraw)
            continue;
        if (e.splitter) {
            PaintSplitter(g, e, item);
            continue;
        }
        PaintItemBackground(g, e, item);
        if (ItemAppearance_.ImageVisible())
            PaintItemPicture(g, e, item);
        if (ItemAppearance_.TextVisible())
            PaintItemCaption(g, e, item);
        if (e.item == FocusItem_ && hasFocus() && ShowFocus_ && focusPolicy() != Qt::NoFocus)
            PaintFocus(g, e);
    }
    g.ResetClip();
}

void TAdvSmoothImageListBox::PaintItemBackground(gdiplus::Graphics& g, const TDisplayEntry& e,
                                                 const TAdvSmoothImageListBoxItem& item)
{
    int k = 0;
    const TGDIPFill* fill = &ItemAppearance_.Fill();
    const bool hovered = Hover_ && e.item == Hovered_;
    if (!item.Enabled()) {
        k = 2;
        fill = &ItemAppearance_.DisabledFill();
    } else if (e.item == Selected_ || (MultiSelect_ && item.Selected())) {
        k = 1;
        fill = &ItemAppearance_.SelectedFill();
    } else if (hovered) {
        k = 3;
        fill = &ItemAppearance_.HoverFill();
    }
    QRectF r = e.rect;
    if (hovered) {
        const double grow = ItemAppearance_.HoverSize() / 2.0;
        r.adjust(-grow, -grow, grow, grow);
    }
    g.SetSmoothingMode(fill->Rounding() > 0 ? gdiplus::SmoothingModeAntiAlias : gdiplus::SmoothingModeDefault);
    const gdiplus::Bitmap bitmap(Backgrounds_[size_t(k)]);
    g.DrawImage(&bitmap, RectF::FromQRectF(r));
}

void TAdvSmoothImageListBox::PaintItemPicture(gdiplus::Graphics& g, const TDisplayEntry& e,
                                              const TAdvSmoothImageListBoxItem& item)
{
    const QRectF imageRect = ImageRect(e.rect, ItemAppearance_.Placement());
    const TThumbnailData thumb = item.LoadState() == lsReady ? item.Thumbnail() : TThumbnailData{};
    g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    if (!thumb.thumbnail.isNull()) {
        const QRectF r = FitCentred(imageRect, thumb.thumbnail.size(), ItemAppearance_.AspectRatio(),
                                    ItemAppearance_.Stretch());
        const gdiplus::Bitmap bitmap(thumb.thumbnail);
        g.DrawImage(&bitmap, RectF::FromQRectF(r));
        return;
    }
    if (!DefaultImage_.Empty())
        DefaultImage_.GPDraw(&g, imageRect.toRect());
}

void TAdvSmoothImageListBox::PaintItemCaption(gdiplus::Graphics& g, const TDisplayEntry& e,
                                              const TAdvSmoothImageListBoxItem& item)
{
    const QString text = ItemDisplayText(e.item);
    if (text.isEmpty())
        return;
    const TPlacedCaption caption =
        PlaceHTMLText(text, CaptionStyleOf(item), TextRect(e.rect, ItemAppearance_.Placement()),
                      &CaptionCache_);
    QPainter& painter = *g.Painter();
    painter.save();
    painter.setClipRect(e.rect.intersected(Layout_.itemArea), Qt::IntersectClip);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (!item.Enabled())
        painter.setOpacity(0.5); // a disabled item's caption reads as unavailable
    caption.layout->Paint(painter, caption.rect.topLeft());
    painter.restore();
}

void TAdvSmoothImageListBox::PaintSplitter(gdiplus::Graphics& g, const TDisplayEntry& e,
                                           const TAdvSmoothImageListBoxItem& item)
{
    TAdvSmoothImageListBoxSplitter& s = ItemAppearance_.Splitter();
    const bool sideways = Flow() != flDownwards;

    // 1. the band's fill
    g.SetSmoothingMode(s.Fill().Rounding() > 0 ? gdiplus::SmoothingModeAntiAlias : gdiplus::SmoothingModeDefault);
    s.Fill().Fill(&g, RectF::FromQRectF(e.rect));

    // 2. the expander: a round button with "-" while the group shows, "+" while folded
    QRectF expander(e.rect.topLeft(), QSizeF(0, 0));
    if (s.ExpanderVisible()) {
        expander = SplitterExpanderRect(e.rect, sideways, s.ExpanderSize(), s.Spacing());
        const bool pressed = MouseDown_ && PressedExpander_ == e.item;
        const TColor face = ColorToRGB(pressed ? s.ExpanderDownColor() : s.ExpanderColor());
        gdiplus::LinearGradientBrush brush(RectF::FromQRectF(expander),
                                           gdiplus::Color(ToARGB(255, LightenByPercent(face, 50))),
                                           gdiplus::Color(ToARGB(255, face)), gdiplus::LinearGradientModeVertical);
        g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
        const RectF circle = RectF::FromQRectF(expander.adjusted(0.5, 0.5, -0.5, -0.5));
        g.FillEllipse(&brush, circle);
        const gdiplus::Pen border(gdiplus::Color(ToARGB(255, ColorToRGB(s.ExpanderBorderColor()))), 1.0f);
        g.DrawEllipse(&border, circle);
        const gdiplus::Pen glyph(gdiplus::Color(ToARGB(255, ColorToRGB(s.TextFont().Color()))), 1.5f);
        const QPointF c = expander.center() + (pressed ? QPointF(0.5, 0.5) : QPointF());
        const double arm = expander.width() / 4;
        g.DrawLine(&glyph, gdiplus::REAL(c.x() - arm), gdiplus::REAL(c.y()), gdiplus::REAL(c.x() + arm),
                   gdiplus::REAL(c.y()));
        if (item.SplitterState() == stCollapsed)
            g.DrawLine(&glyph, gdiplus::REAL(c.x()), gdiplus::REAL(c.y() - arm), gdiplus::REAL(c.x()),
                       gdiplus::REAL(c.y() + arm));
    }

    // 3. the text, upright bands reading from top to bottom
    if (item.SplitterText().isEmpty())
        return;
    const QRectF textRect = SplitterTextRect(e.rect, sideways, expander, s.Spacing());
    QPainter& painter = *g.Painter();
    painter.save();
    painter.setClipRect(e.rect.intersected(Layout_.itemArea), Qt::IntersectClip);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(s.TextFont().ToQFont());
    const TColor fc = ColorToRGB(s.TextFont().Color());
    painter.setPen(QColor(GetRValue(fc), GetGValue(fc), GetBValue(fc)));
    QRectF box(QPointF(0, 0), textRect.size());
    if (sideways) {
        painter.translate(textRect.right(), textRect.top());
        painter.rotate(90);
        box = QRectF(0, 0, textRect.height(), textRect.width());
    } else {
        painter.translate(textRect.topLeft());
    }
    const QString text = painter.fontMetrics().elidedText(item.SplitterText(), Qt::ElideRight, int(box.width()));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void TAdvSmoothImageListBox::PaintFocus(gdiplus::Graphics& g, const TDisplayEntry& e)
{
    const TGDIPFill& fill = Selected_ == e.item ? ItemAppearance_.SelectedFill() : ItemAppearance_.Fill();
    const QRectF r(e.rect.x() + 1, e.rect.y() + 1, e.rect.width() - 3, e.rect.height() - 3);
    auto path = CreateRoundedPath(RectF::FromQRectF(r), fill.Rounding() - fill.BorderWidth(), fill.RoundingType());
    gdiplus::Pen pen(gdiplus::Color(ToARGB(255, FocusColor_)), 1.0f);
    pen.SetDashStyle(gdiplus::DashStyleDot);
    g.SetSmoothingMode(gdiplus::SmoothingModeDefault);
    g.DrawPath(&pen, path.get());
}

void TAdvSmoothImageListBox::PaintBand(gdiplus::Graphics& g, TAdvSmoothImageListBoxHeader& band, const QRectF& r,
                                       const BandState& s)
{
    // 1. the band's fill
    g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
    band.Fill().Fill(&g, RectF::FromQRectF(r));

    const std::optional<QRectF> strip =
        band.Navigator().Visible()
            ? std::optional<QRectF>(NavigatorStrip(r, band.Navigator().Size(), band.Navigator().Location(),
                                                   band.Navigator().Left(), band.Navigator().Top()))
            : std::nullopt;

    // 2. the caption
    if (!band.Caption().isEmpty()) {
        g.SetTextRenderingHint(HintOf(TextRendering_));
        const gdiplus::Font font = MakeFont(band.Font());
        const RectF measured = g.MeasureString(band.Caption(), &font, RectF::FromQRectF(r));
        const QSizeF size(RoundEven(measured.Width), RoundEven(measured.Height));
        const QRectF at = CaptionRect(r, size, band.CaptionLocation(), band.CaptionLeft(), band.CaptionTop(),
                                      strip ? &*strip : nullptr, band.Navigator().Location());
        const gdiplus::SolidBrush brush(gdiplus::Color(ToARGB(255, band.Font().Color())));
        g.DrawString(band.Caption(), &font, gdiplus::PointF(gdiplus::REAL(at.x()), gdiplus::REAL(at.y())), &brush);
    }

    // 3. the navigator
    if (strip)
        PaintNavigator(g, band.Navigator(), *strip, s);
}

void TAdvSmoothImageListBox::PaintNavigator(gdiplus::Graphics& g, const TAdvSmoothImageListBoxNavigator& nav,
                                            const QRectF& strip, const BandState& s)
{
    int n = 0;
    for (const TDisplayEntry& e : Layout_.entries)
        n += e.splitter ? 0 : 1;
    TGDIPFill fill;
    fill.SetGradientType(gtVertical);
    fill.SetGradientMirrorType(gtVertical);
    fill.SetBorderColor(nav.BorderColor());
    switch (nav.Shape()) {
    case nsRounded:
        fill.SetRoundingType(rtBoth);
        fill.SetRounding(RoundEven(nav.Size() / 2.0));
        break;
    case nsRoundRect:
        fill.SetRoundingType(rtBoth);
        fill.SetRounding(RoundEven(nav.Size() / 6.0));
        break;
    case nsRect: fill.SetRounding(0); break;
    }
    g.SetSmoothingMode(nav.Shape() == nsRect ? gdiplus::SmoothingModeDefault : gdiplus::SmoothingModeAntiAlias);
    const gdiplus::Pen pen(gdiplus::Color(255, 0, 0, 0), 1.0f);
    for (int j = 0; j < 4; ++j) {
        const QRectF button = NavigatorButton(strip, nav.Size(), j);
        const TColor base = NavigatorButtonColor(nav.Colors(), j, n, Selected_, s.pressed, s.hovered);
        fill.SetColor(LightenByPercent(ColorToRGB(base), 60));
        fill.SetColorTo(base);
        fill.SetColorMirror(base);
        fill.SetColorMirrorTo(LightenByPercent(ColorToRGB(base), 25));
        fill.Fill(&g, RectF::FromQRectF(button));
        for (const QLineF& line : NavigatorGlyph(j, button))
            g.DrawLine(&pen, gdiplus::REAL(line.x1()), gdiplus::REAL(line.y1()), gdiplus::REAL(line.x2()),
                       gdiplus::REAL(line.y2()));
    }
}

} // namespace lumora
