#include "controls/gauge/AdvSmoothGaugePaint.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/access/FocusMark.h"
#include "controls/fill/GDIPFill.h"
#include "platform/framework/Format.h"
#include "platform/gdiplus/Brush.h"
#include "platform/gdiplus/Font.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/GraphicsPath.h"
#include "platform/gdiplus/Image.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/Pen.h"
#include "platform/gdiplus/StringFormat.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace lumora {

using namespace gdiplus;

namespace {

PointF ToPointF(QPointF p)
{
    return {REAL(p.x()), REAL(p.y())};
}

std::vector<PointF> ToPointsF(const std::vector<QPointF>& points)
{
    std::vector<PointF> out;
    out.reserve(points.size());
    for (QPointF p : points)
        out.push_back(ToPointF(p));
    return out;
}

TextRenderingHint ToHint(TAdvSmoothGaugeTextRenderingHint hint)
{
    switch (hint) {
    case tAntiAlias: return TextRenderingHintAntiAlias;
    case tAntiAliasGridFit: return TextRenderingHintAntiAliasGridFit;
    case tClearType: break;
    }
    return TextRenderingHintClearTypeGridFit;
}

// The readout's decimal separator, as the number formatting writes it.
constexpr QChar kDecimalSeparator = u'.';

// A colour with an opacity byte as the drawing layer takes it.
Color Argb(int alpha, TColor color)
{
    return Color(ToARGB(alpha, color));
}

} // namespace

// Control ---------------------------------------------------------------------

void TAdvSmoothGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintGauge(painter);
}

void TAdvSmoothGauge::PaintGauge(QPainter& painter)
{
    Graphics graphics(&painter);
    const double ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    faceCache_.Paint(*this, graphics, ratio);
}

// Painter ---------------------------------------------------------------------

void TAdvSmoothGaugePainter::Prepare(Graphics& g) const
{
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    g.SetTextRenderingHint(ToHint(gauge_.TextRendering()));
}

void TAdvSmoothGaugePainter::PaintGauge(Graphics& graphics, double pixelRatio)
{
    Prepare(graphics);
    DrawBackgroundLayer(graphics, pixelRatio);
    DrawNeedleLayer(graphics, pixelRatio);
}

QImage MakeGaugeLayer(int width, int height, double pixelRatio)
{
    QImage layer(int(std::ceil(width * pixelRatio)), int(std::ceil(height * pixelRatio)),
                 QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    layer.setDevicePixelRatio(pixelRatio);
    return layer;
}

void TAdvSmoothGaugePainter::DrawBackgroundLayer(Graphics& target, double pixelRatio)
{
    QImage layer = MakeGaugeLayer(gauge_.width(), gauge_.height(), pixelRatio);
    {
        Graphics g(&layer);
        Prepare(g);
        DrawStaticDial(g);
        DrawDialOverlay(g, ReadoutText(), true);
    }
    // The whole layer is shown shrunk into the dial rect.
    const Bitmap bitmap(layer);
    target.DrawImage(&bitmap, RectF::FromQRectF(gauge_.DialRect()));
}

void TAdvSmoothGaugePainter::DrawStaticDial(Graphics& g)
{
    DrawFace(g);
    DrawOuterCircle(g);
    DrawRim(g);
    DrawSections(g);
    DrawTickMarks(g);
    DrawBandArc(g);
    DrawThreshold(g);
}

void TAdvSmoothGaugePainter::DrawDialOverlay(Graphics& g, const QString& readout, bool withText)
{
    DrawReadoutAndText(g, readout, withText);
    DrawFocusRing(g);
}

void TAdvSmoothGaugePainter::DrawNeedleLayer(Graphics& target, double pixelRatio)
{
    QImage layer = MakeGaugeLayer(gauge_.width(), gauge_.height(), pixelRatio);
    {
        Graphics g(&layer);
        Prepare(g);
        DrawNeedle(g);
        const QPoint hub = gauge_.Dial().IntegerCenter();
        DrawHub(g, hub.x(), hub.y());
        DrawGloss(g);
    }
    target.Painter()->drawImage(QPointF(0, 0), layer);
}

void TAdvSmoothGaugePainter::DrawFace(Graphics& g)
{
    const TAdvSmoothGaugeInnerCircle& face = gauge_.InnerCircle();
    if (face.Color() == clNone)
        return;
    const SolidBrush brush(Argb(face.Opacity(), face.Color()));
    g.FillEllipse(&brush, RectF::FromQRectF(gauge_.DialRect()));
}

void TAdvSmoothGaugePainter::DrawOuterCircle(Graphics& g)
{
    const TAdvSmoothGaugeOuterCircle& circle = gauge_.OuterCircle();
    if (circle.Color() == clNone)
        return;
    const SolidBrush brush(Argb(circle.Opacity(), circle.Color()));
    const Pen pen(&brush, REAL(gauge_.DialWidth() * circle.Width()));
    g.DrawEllipse(&pen, RectF::FromQRectF(gauge_.DialRect()));
}

void TAdvSmoothGaugePainter::DrawRim(Graphics& g)
{
    const TAdvSmoothGaugeOuterRim& rim = gauge_.OuterRim();
    if (rim.Color() == clNone)
        return;
    const Pen pen(Argb(rim.Opacity(), rim.Color()), REAL(rim.Width()));
    g.DrawEllipse(&pen, RectF::FromQRectF(gauge_.DialRect()));
}

void TAdvSmoothGaugePainter::DrawSections(Graphics& g)
{
    const double w = gauge_.width();
    const double h = gauge_.height();
    for (int i = 0; i < gauge_.Sections().Count(); ++i) {
        const TAdvSmoothGaugeSection& section = gauge_.Sections().Items(i);
        if (section.Color() == clNone)
            continue;
        const double start = gauge_.ValueToAngle(section.StartValue());
        const double sweep = gauge_.ValueToAngle(section.EndValue()) - start;
        const double om = section.OuterMargin();
        const double im = section.InnerMargin();
        const RectF outer{REAL(om), REAL(om), REAL(w - 2 * om), REAL(h - 2 * om)};
        const RectF inner(REAL(w / 2 - im), REAL(h / 2 - im), REAL(2 * im), REAL(2 * im));

        GraphicsPath path;
        if (section.InnerMargin() <= 0) {
            path.AddPie(outer, REAL(start), REAL(sweep));
        } else {
            // Outer edge backwards, then the inner edge forwards: one ring sector.
            path.AddArc(outer, REAL(start + sweep), REAL(-sweep));
            path.AddArc(inner, REAL(start), REAL(sweep));
        }
        const SolidBrush brush(Argb(section.Opacity(), section.Color()));
        g.FillPath(&brush, &path);
    }
}

void TAdvSmoothGaugePainter::DrawTickMarks(Graphics& g)
{
    const SolidBrush textBrush(Argb(255, gauge_.ValueFont().Color()));
    StringFormat format(StringFormatFlagsNoClip);
    format.SetAlignment(StringAlignmentCenter);
    const Pen majorPen(Argb(255, gauge_.DivisionColor()), REAL(gauge_.DivisionWidth()));
    const Pen minorPen(Argb(255, gauge_.SubDivisionColor()), REAL(gauge_.SubDivisionWidth()));

    for (const TGaugeTickMark& tick : gauge_.TickMarks()) {
        if (tick.Kind == 1) {
            if (gauge_.SubDivisionColor() != clNone)
                g.DrawLine(&minorPen, REAL(tick.X1), REAL(tick.Y1), REAL(tick.X2), REAL(tick.Y2));
        } else if (tick.Kind == 2) {
            if (gauge_.DivisionColor() != clNone)
                g.DrawLine(&majorPen, REAL(tick.X1), REAL(tick.Y1), REAL(tick.X2), REAL(tick.Y2));
            if (gauge_.ShowValues()) {
                QString text = FloatToStr(tick.Value);
                Fire(gauge_.OnGetValueText, static_cast<TObject*>(&gauge_), tick.Value, text);
                DrawGaugeText(g, text, false, &format, PointF(REAL(tick.LabelX), REAL(tick.LabelY)), textBrush,
                              gauge_.ValueFont());
            }
        }
    }
}

void TAdvSmoothGaugePainter::DrawBandArc(Graphics& g)
{
    const TAdvSmoothGaugeArc& arc = gauge_.Arc();
    if (arc.Color() == clNone)
        return;
    const TAdvSmoothGaugeThreshold& t = arc.Threshold();
    double start = t.StartAngle();
    double sweep = t.SweepAngle();
    if (t.ThresholdKind() == tkValue) {
        start = gauge_.ValueToAngle(t.StartValue());
        sweep = gauge_.ValueToAngle(t.EndValue()) - start;
    }
    if (sweep == 0)
        return;
    const Pen pen(Argb(arc.Opacity(), arc.Color()), REAL(gauge_.width() / 40.0));
    g.DrawArc(&pen, RectF::FromQRectF(gauge_.ArcRect()), REAL(start), REAL(sweep));
}

void TAdvSmoothGaugePainter::DrawThreshold(Graphics& g)
{
    const TAdvSmoothGaugeThreshold& t = gauge_.Arc().Threshold();
    if (t.Color() == clNone || gauge_.ThresholdSweep() == 0)
        return;
    const Pen pen(Argb(t.Opacity(), t.Color()), REAL(gauge_.width() / 50.0));
    g.DrawArc(&pen, RectF::FromQRectF(gauge_.ArcRect()), REAL(gauge_.ThresholdStart()),
              REAL(gauge_.ThresholdSweep()));
}

RectF TAdvSmoothGaugePainter::ReadoutBackground() const
{
    const double w = gauge_.width();
    const double h = gauge_.height();
    return RectF(REAL(w / 2 - w / 5), REAL(h / 1.23), REAL(w / 2.5), REAL(h / 9));
}

RectF TAdvSmoothGaugePainter::ReadoutDigits(const RectF& background) const
{
    const double h = gauge_.height();
    return RectF(background.X, REAL(h / 1.21), background.Width, REAL(h / 12));
}

QString TAdvSmoothGaugePainter::ReadoutText()
{
    const TAdvSmoothGaugeDigit& digit = gauge_.Digit();
    if (!digit.Visible() || digit.BackGroundColor() == clNone)
        return QString();
    double shown = gauge_.Value();
    Fire(gauge_.OnDisplayValue, static_cast<TObject*>(&gauge_), shown);
    return FormatFloat(gauge_.ValueFormat(), shown);
}

QRectF TAdvSmoothGaugePainter::ReadoutBounds(const QString& readout) const
{
    const TAdvSmoothGaugeDigit& digit = gauge_.Digit();
    if (!digit.Visible() || digit.BackGroundColor() == clNone)
        return QRectF();
    const RectF b = ReadoutBackground();
    QRectF bounds = b.ToQRectF();
    const RectF d = ReadoutDigits(b);
    const int align = digit.Alignment() == taLeftJustify ? 0 : digit.Alignment() == taRightJustify ? 1 : 2;
    const int height = GaugeNearest(d.Height);
    for (const GaugeReadoutGlyph& glyph : LayoutReadout(readout, kDecimalSeparator, d.ToQRectF(), align, gauge_.Dial())) {
        const QPointF at(glyph.X, d.Y);
        for (int s = 0; s < kGaugeSegmentCount; ++s) {
            for (QPointF p : SegmentPolygon(s, height, at)) {
                bounds.setLeft(std::min(bounds.left(), p.x()));
                bounds.setRight(std::max(bounds.right(), p.x()));
                bounds.setTop(std::min(bounds.top(), p.y()));
                bounds.setBottom(std::max(bounds.bottom(), p.y()));
            }
        }
        bounds |= SegmentPointRect(height, at);
    }
    return bounds;
}

QRectF TAdvSmoothGaugePainter::DialTextBounds(Graphics& g) const
{
    if (gauge_.DialText().isEmpty())
        return QRectF();
    FontFamily family(gauge_.Font().Name());
    if (!family.IsAvailable())
        family = FontFamily(QString::fromLatin1(kFallbackFamily));
    const INT style = INT(gauge_.Font().Style() & (fsBold | fsItalic | fsUnderline));
    const Font gdiFont(&family, REAL(gauge_.Font().Size()), style, UnitPoint);
    const RectF size = g.MeasureString(gauge_.DialText(), &gdiFont, RectF(), nullptr);
    return QRectF(gauge_.width() / 2.0 - size.Width / 2, gauge_.height() / 1.5, size.Width, size.Height);
}

void TAdvSmoothGaugePainter::DrawReadoutAndText(Graphics& g, const QString& readout, bool withText)
{
    const TAdvSmoothGaugeDigit& digit = gauge_.Digit();
    if (!digit.Visible())
        return;
    if (digit.BackGroundColor() != clNone) {
        const RectF b = ReadoutBackground();
        const SolidBrush background(Argb(digit.BackGroundOpacity(), digit.BackGroundColor()));
        g.FillRectangle(&background, b);
        DrawDigitalValue(g, ReadoutDigits(b), readout);
    }
    if (!withText)
        return;
    const SolidBrush textBrush(Argb(255, gauge_.Font().Color()));
    DrawGaugeText(g, gauge_.DialText(), true, nullptr, PointF(), textBrush, gauge_.Font());
}

void TAdvSmoothGaugePainter::DrawDigitalValue(Graphics& g, const RectF& d, const QString& text)
{
    const int align = gauge_.Digit().Alignment() == taLeftJustify ? 0 : gauge_.Digit().Alignment() == taRightJustify ? 1 : 2;
    const int height = GaugeNearest(d.Height);
    for (const GaugeReadoutGlyph& glyph : LayoutReadout(text, kDecimalSeparator, d.ToQRectF(), align, gauge_.Dial()))
        DrawSegmentDigit(g, glyph.Glyph, height, glyph.Point, PointF(REAL(glyph.X), d.Y));
}

void TAdvSmoothGaugePainter::DrawSegmentDigit(Graphics& g, int glyph, int height, bool point, PointF origin)
{
    if (gauge_.Digit().Color() == clNone)
        return;
    const QPointF at(origin.X, origin.Y);
    const SolidBrush lit(Argb(255, gauge_.Digit().Color()));
    // Unlit segments are a faint print of the face colour; without a face
    // there is nothing to print.
    if (gauge_.InnerCircle().Color() != clNone) {
        const SolidBrush unlit(Argb(40, gauge_.InnerCircle().Color()));
        for (int s = 0; s < kGaugeSegmentCount; ++s) {
            const std::vector<PointF> points = ToPointsF(SegmentPolygon(s, height, at));
            g.FillPolygon(&unlit, points.data(), INT(points.size()));
        }
    }
    for (int s = 0; s < kGaugeSegmentCount; ++s) {
        if (!SegmentLit(glyph, s))
            continue;
        const std::vector<PointF> points = ToPointsF(SegmentPolygon(s, height, at));
        g.FillPolygon(&lit, points.data(), INT(points.size()));
    }
    if (point)
        g.FillEllipse(&lit, RectF::FromQRectF(SegmentPointRect(height, at)));
}

void TAdvSmoothGaugePainter::DrawGaugeText(Graphics& g, const QString& text, bool centred, const StringFormat* format,
                                           PointF point, const Brush& brush, const TFont& font)
{
    FontFamily family(font.Name());
    if (!family.IsAvailable())
        family = FontFamily(QString::fromLatin1(kFallbackFamily));
    // Strike-out is not carried over to the dial's fonts.
    const INT style = INT(font.Style() & (fsBold | fsItalic | fsUnderline));
    const Font gdiFont(&family, REAL(font.Size()), style, UnitPoint);

    if (!centred) {
        g.DrawString(text, &gdiFont, point, format, &brush);
        return;
    }
    // Centred across the control, its top at two thirds of the height. The
    // text is drawn from the corner of its measured box rather than into the
    // box, which gives the same placement and cannot wrap or clip the last
    // glyph when the measurement comes out a hair narrow.
    const RectF size = g.MeasureString(text, &gdiFont, RectF(), format);
    const PointF corner(REAL(gauge_.width() / 2.0 - size.Width / 2), REAL(gauge_.height() / 1.5));
    g.DrawString(text, &gdiFont, corner, format, &brush);
}

void TAdvSmoothGaugePainter::DrawFocusRing(Graphics& g)
{
    if (!gauge_.TabStop() || !gauge_.Focused())
        return;
    const QRectF r = gauge_.DialRect();
    GraphicsPath path;
    path.AddEllipse(REAL(r.x() - 3), REAL(r.y() - 3), REAL(r.width() + 6), REAL(r.height() + 6));
    const Pen pen = FocusMarkPen(gauge_);
    g.DrawPath(&pen, &path);
}

void TAdvSmoothGaugePainter::DrawNeedle(Graphics& g)
{
    const TAdvSmoothGaugeNeedle& needle = gauge_.Needle();
    const TArrayOfPointF outline = gauge_.BuildNeedleOutline(gauge_.Value());
    std::array<PointF, 5> p;
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = ToPointF(outline[i]);

    if (needle.Color() != clNone) {
        const SolidBrush body(Argb(255, needle.Color()));
        g.FillPolygon(&body, p.data(), INT(p.size()));
    }
    // Shine on the +20 degree half, from the tip to the pivot.
    if (needle.ShineColor() != clNone && needle.ShineColorTo() != clNone) {
        LinearGradientBrush shine(p[0], p[2], Argb(255, needle.ShineColor()),
                                  Argb(255, needle.ShineColorTo()));
        shine.SetWrapMode(WrapModeTile);
        const std::array<PointF, 3> half{p[0], p[1], p[2]};
        g.FillPolygon(&shine, half.data(), INT(half.size()));
    }
}

QRectF TAdvSmoothGaugePainter::NeedleBounds() const
{
    const TArrayOfPointF outline = gauge_.BuildNeedleOutline(gauge_.Value());
    const QPoint c = gauge_.Dial().IntegerCenter();
    // The outer hub with its brush's extra pixel on each side.
    const double f = gauge_.DialWidth() / 5.0 + 2;
    QRectF bounds(c.x() - f / 2, c.y() - f / 2, f, f);
    for (const QPointF& p : outline) {
        bounds.setLeft(std::min(bounds.left(), p.x()));
        bounds.setRight(std::max(bounds.right(), p.x()));
        bounds.setTop(std::min(bounds.top(), p.y()));
        bounds.setBottom(std::max(bounds.bottom(), p.y()));
    }
    return bounds;
}

void TAdvSmoothGaugePainter::DrawHub(Graphics& g, int x, int y)
{
    const TAdvSmoothGaugeNeedle& needle = gauge_.Needle();
    auto hub = [&](double f, TColor from, TColor to, int opacity, LinearGradientMode mode) {
        const RectF e(REAL(x - f / 2), REAL(y - f / 2), REAL(f), REAL(f));
        const LinearGradientBrush brush(RectF(e.X - 1, e.Y - 2, e.Width + 2, e.Height + 2), Argb(opacity, from),
                                        Argb(opacity, to), mode);
        g.FillEllipse(&brush, e);
    };
    if (needle.OuterCenterColor() != clNone && needle.OuterCenterColorTo() != clNone)
        hub(gauge_.DialWidth() / 5.0, needle.OuterCenterColor(), needle.OuterCenterColorTo(),
            needle.OuterCenterOpacity(), LinearGradientModeVertical);
    if (needle.InnerCenterColor() != clNone && needle.InnerCenterColorTo() != clNone)
        hub(gauge_.DialWidth() / 7.0, needle.InnerCenterColor(), needle.InnerCenterColorTo(),
            needle.InnerCenterOpacity(), LinearGradientModeForwardDiagonal);
}

namespace {

// The two highlights of the gloss: the large one from the top, the small one
// from the bottom.
std::array<RectF, 2> GlossEllipses(const TAdvSmoothGauge& gauge)
{
    const double mx = gauge.DialMarginX();
    const double my = gauge.DialMarginY();
    const double dw = gauge.DialWidth();
    const double dh = gauge.DialHeight();
    return {RectF(REAL(mx + 0.1 * dw), REAL(my + 0.07 * dh), REAL(0.8 * dw), REAL(0.7 * dh)),
            RectF(REAL(mx + 0.25 * dw), REAL(my + 0.77 * dh), REAL(0.5 * dw), REAL(0.2 * dh))};
}

} // namespace

QRectF TAdvSmoothGaugePainter::GlossBounds() const
{
    if (gauge_.InnerCircle().Gloss().Color() == clNone)
        return QRectF();
    const std::array<RectF, 2> e = GlossEllipses(gauge_);
    return e[0].ToQRectF() | e[1].ToQRectF();
}

void TAdvSmoothGaugePainter::DrawGloss(Graphics& g)
{
    const TAdvSmoothGaugeGloss& gloss = gauge_.InnerCircle().Gloss();
    if (gloss.Color() == clNone)
        return;
    const Color strong = Argb(gloss.Opacity(), gloss.Color());
    const Color clear(0, 0, 0, 0);
    auto highlight = [&](RectF e, Color top, Color bottom) {
        const LinearGradientBrush brush(RectF(e.X - 1, e.Y - 1, e.Width + 2, e.Height + 2), top, bottom,
                                        LinearGradientModeVertical);
        g.FillEllipse(&brush, e);
    };
    const std::array<RectF, 2> e = GlossEllipses(gauge_);
    highlight(e[0], strong, clear);
    highlight(e[1], clear, strong);
}

} // namespace lumora
