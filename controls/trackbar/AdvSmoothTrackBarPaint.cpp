// Painting of the track bar: background, progress with its glow, the scale,
// the groove and the thumb, in that order.

#include "controls/trackbar/AdvSmoothTrackBar.h"

#include "controls/access/FocusMark.h"

#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"

namespace lumora {

namespace {

using namespace gdiplus;

RectF ToRectF(const QRectF& r)
{
    return RectF(REAL(r.x()), REAL(r.y()), REAL(r.width()), REAL(r.height()));
}

Color White(int alpha)
{
    return Color(ToARGB(alpha, clWhite));
}

} // namespace

void TAdvSmoothTrackBar::PaintTo(gdiplus::Graphics& g)
{
    g.SetSmoothingMode(SmoothingModeAntiAlias);
    const TAdvSmoothTrackBarGeometry geo = Geometry();
    const double offset = geo.ValueToOffset(position_, range_);
    PaintBackground(g, geo);
    if (showProgress_)
        PaintProgress(g, geo, offset);
    PaintScale(g, geo, offset);
    PaintGroove(g, geo);
    PaintThumb(g, geo, offset);
}

void TAdvSmoothTrackBar::PaintBackground(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry&)
{
    fill_->Fill(&g, RectF(0, 0, REAL(width() - 1), REAL(height() - 1)));
}

void TAdvSmoothTrackBar::PaintProgress(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo, double offset)
{
    const RectF P = ToRectF(geo.Progress(offset));
    progressFill_->Fill(&g, P);
    if (!(glowAnimation_ && glowRunning_))
        return;
    // Two bands meeting at the glow position: light rising into it, then
    // falling away.
    g.SetClip(P);
    const auto bands = geo.GlowBands(offset, glowPosition_);
    const LinearGradientMode mode = geo.Vertical() ? LinearGradientModeVertical : LinearGradientModeHorizontal;
    for (int i = 0; i < 2; ++i) {
        const RectF band = ToRectF(bands[std::size_t(i)]);
        const RectF grown(band.X - 1, band.Y - 1, band.Width + 2, band.Height + 2);
        const LinearGradientBrush brush(grown, White(i == 0 ? 0 : 120), White(i == 0 ? 120 : 0), mode);
        g.FillRectangle(&brush, band);
    }
    g.ResetClip();
}

void TAdvSmoothTrackBar::PaintScale(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo, double offset)
{
    const int n = TAdvSmoothTrackBarGeometry::Intervals(range_);
    if (n <= 0)
        return;
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    const TFontDescription d = font_->Description();
    const gdiplus::Font font(d.Family, REAL(d.SizeInPoints), INT(d.Style & 7u));
    const Pen tickPen(Color(ToARGB(125, tickMarkColor_)), 2);
    const SolidBrush progressBrush(Color(ToARGB(255, progressFont_->Color())));
    const SolidBrush plainBrush(Color(ToARGB(255, font_->Color())));
    const QRectF S = geo.Scale();
    const double tick = tickMarkSize_;

    for (int i = 0; i <= n; ++i) {
        const double value = range_.Minimum + i * range_.Step;
        QString text = NumberText(value);
        bool allowText = true, allowTick = true;
        Fire(OnDrawNumber, this, value, text, allowText, allowTick);

        RectF box;
        g.MeasureString(text, &font, PointF(0, 0), &box);
        const QPointF origin = geo.NumberOrigin(i, range_, box.Width, box.Height);
        if (showTickMarks_ && allowTick) {
            const double at = geo.NumberPosition(i, range_);
            if (geo.Vertical()) {
                g.DrawLine(&tickPen, REAL(S.x()), REAL(at), REAL(S.x() + tick), REAL(at));
                g.DrawLine(&tickPen, REAL(S.x() + S.width() - tick), REAL(at), REAL(S.x() + S.width()), REAL(at));
            } else {
                g.DrawLine(&tickPen, REAL(at), REAL(S.y()), REAL(at), REAL(S.y() + tick));
                g.DrawLine(&tickPen, REAL(at), REAL(S.y() + S.height() - tick), REAL(at), REAL(S.y() + S.height()));
            }
        }
        if (showValues_ && allowText) {
            const bool progressSide = geo.OnProgressSide(origin, box.Width, box.Height, offset);
            g.DrawString(text, &font, PointF(REAL(origin.x()), REAL(origin.y())),
                         progressSide ? &progressBrush : &plainBrush);
        }
    }
}

void TAdvSmoothTrackBar::PaintGroove(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo)
{
    // Lighten only the frame around the groove: the inside less the groove.
    const TRect& I = geo.Inside();
    const RectF frame(REAL(I.Left), REAL(I.Top), REAL(I.Right), REAL(I.Bottom));
    const RectF G = ToRectF(geo.Groove());
    const auto hole = CreateRoundedPath(G, 8, rtBoth);
    g.SetClip(frame);
    g.SetClip(hole.get(), CombineModeExclude);
    const SolidBrush light(White(75));
    g.FillRectangle(&light, frame);
    g.ResetClip();

    const auto outline = CreateRoundedPath(G, 10, rtBoth);
    const Pen pen(White(225), 2);
    g.DrawPath(&pen, outline.get());
}

void TAdvSmoothTrackBar::PaintThumb(gdiplus::Graphics& g, const TAdvSmoothTrackBarGeometry& geo, double offset)
{
    const RectF T = ToRectF(geo.Thumb(offset));
    thumbFill_->Fill(&g, T);

    // The grip: a dark and a light line across the middle.
    const Pen dark(Color(ToARGB(120, thumbFill_->BorderColor())), 1);
    const Pen light(White(150), 1);
    if (geo.Vertical()) {
        const REAL y = T.Y + T.Height / 2;
        g.DrawLine(&dark, T.X, y, T.X + T.Width, y);
        g.DrawLine(&light, T.X, y + 1, T.X + T.Width, y + 1);
    } else {
        const REAL x = T.X + T.Width / 2;
        g.DrawLine(&dark, x, T.Y, x, T.Y + T.Height);
        g.DrawLine(&light, x + 1, T.Y, x + 1, T.Y + T.Height);
    }

    if (TabStop() && Focused()) {
        const Pen mark = FocusMarkPen(*this);
        const auto path = CreateRoundedPath(T, thumbFill_->Rounding(), thumbFill_->RoundingType());
        g.DrawPath(&mark, path.get());
    }
}

} // namespace lumora
