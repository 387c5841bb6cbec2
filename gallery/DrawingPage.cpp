#include "GalleryPage.h"

#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/HatchBrush.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/PathGradientBrush.h"

#include <QPainter>
#include <QWidget>

using namespace lumora::gdiplus;

namespace {

GraphicsPath RoundedRect(RectF r, REAL radius)
{
    const REAL d = 2 * radius;
    GraphicsPath p;
    p.AddArc(r.X, r.Y, d, d, 180, 90);
    p.AddArc(r.GetRight() - d, r.Y, d, d, 270, 90);
    p.AddArc(r.GetRight() - d, r.GetBottom() - d, d, d, 0, 90);
    p.AddArc(r.X, r.GetBottom() - d, d, d, 90, 90);
    p.CloseFigure();
    return p;
}

// The pieces of the drawing layer that Qt does not have, side by side for
// review: all hatch styles, gradients with and without gamma, preset blends,
// path gradients on an ellipse and on a rounded rect, dotted pens and text.
class DrawingSheet : public QWidget {
public:
    explicit DrawingSheet(QWidget* parent) : QWidget(parent) { setMinimumSize(760, 420); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        Graphics g(&painter);
        g.Clear(Color(255, 250, 250, 250));
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        g.SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
        DrawHatches(g);
        DrawLinearGradients(g);
        DrawPathGradients(g);
        DrawPensAndText(g);
    }

private:
    static void Caption(Graphics& g, const QString& text, REAL x, REAL y)
    {
        Font font(QStringLiteral("Tahoma"), 8);
        SolidBrush ink(Color(255, 60, 60, 60));
        g.DrawString(text, &font, PointF(x, y), &ink);
    }

    static void DrawHatches(Graphics& g)
    {
        Caption(g, QStringLiteral("Hatch styles 0 to 52"), 10, 4);
        Pen frame(Color(255, 160, 160, 160));
        for (int s = HatchStyleMin; s <= HatchStyleMax; ++s) {
            const RectF cell(REAL(10 + (s % 18) * 28), REAL(22 + (s / 18) * 28), 24, 24);
            HatchBrush brush(HatchStyle(s), Color(255, 30, 60, 140), Color(255, 235, 240, 250));
            g.FillRectangle(&brush, cell);
            g.DrawRectangle(&frame, cell);
        }
    }

    static void DrawLinearGradients(Graphics& g)
    {
        Caption(g, QStringLiteral("Vertical, gamma off / on; diagonals; preset blend"), 10, 112);
        const Color from(255, 20, 40, 160), to(255, 250, 250, 250);
        for (int i = 0; i < 2; ++i) {
            const RectF r(REAL(10 + i * 130), 130, 120, 35);
            GraphicsPath path = RoundedRect(r, 8);
            LinearGradientBrush b(RectF(r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2), from, to,
                                  LinearGradientModeVertical);
            b.SetGammaCorrection(i == 1);
            g.FillPath(&b, &path);
        }
        const LinearGradientMode diagonals[] = {LinearGradientModeForwardDiagonal, LinearGradientModeBackwardDiagonal};
        for (int i = 0; i < 2; ++i) {
            const RectF r(REAL(270 + i * 130), 130, 120, 35);
            LinearGradientBrush b(r, from, to, diagonals[i]);
            g.FillRectangle(&b, r);
        }
        const RectF r(530, 130, 120, 35);
        LinearGradientBrush preset(r, from, to, LinearGradientModeVertical);
        const Color colors[] = {Color(255, 200, 60, 40), Color(255, 250, 220, 120), Color(255, 250, 250, 250)};
        const REAL positions[] = {0.0f, 0.9f, 1.0f};
        preset.SetInterpolationColors(colors, positions, 3);
        preset.SetGammaCorrection(true);
        g.FillRectangle(&preset, r);
    }

    static void DrawPathGradients(Graphics& g)
    {
        Caption(g, QStringLiteral("Path gradients: ellipse, focal ellipse, rounded rect, soft shadow"), 10, 180);
        auto fill = [&g](GraphicsPath& path, PointF* centre) {
            PathGradientBrush b(&path);
            if (centre)
                b.SetCenterPoint(*centre);
            b.SetCenterColor(Color(255, 255, 240, 160));
            Color surround(255, 180, 40, 20);
            INT n = 1;
            b.SetSurroundColors(&surround, &n);
            g.FillPath(&b, &path);
        };
        GraphicsPath ellipse;
        ellipse.AddEllipse(10, 200, 120, 60);
        fill(ellipse, nullptr);
        GraphicsPath focal;
        focal.AddEllipse(140, 200, 120, 60);
        PointF top(200, 205);
        fill(focal, &top);
        GraphicsPath rounded = RoundedRect(RectF(270, 200, 100, 40), 8);
        fill(rounded, nullptr);

        GraphicsPath shadowPath = RoundedRect(RectF(390, 200, 120, 50), 8);
        PathGradientBrush shadow(&shadowPath);
        shadow.SetWrapMode(WrapModeClamp);
        const Color colors[] = {Color(0, 0, 0, 0), Color(180, 0, 0, 0), Color(180, 0, 0, 0)};
        const REAL positions[] = {0.0f, 0.1f, 1.0f};
        shadow.SetInterpolationColors(colors, positions, 3);
        g.FillPath(&shadow, &shadowPath);
        SolidBrush body(Color(255, 240, 240, 240));
        GraphicsPath bodyPath = RoundedRect(RectF(390, 200, 114, 44), 8);
        g.FillPath(&body, &bodyPath);
    }

    static void DrawPensAndText(Graphics& g)
    {
        Caption(g, QStringLiteral("Pens: solid, dash, dot, dash-dot; text alignment and hot-key prefix"), 10, 280);
        const DashStyle dashes[] = {DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot};
        g.SetSmoothingMode(SmoothingModeNone);
        for (int i = 0; i < 4; ++i) {
            Pen pen(Color(255, 30, 30, 30), 1);
            pen.SetDashStyle(dashes[i]);
            g.DrawLine(&pen, 10, REAL(300 + i * 8), 250, REAL(300 + i * 8));
        }
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        Pen arc(Color(255, 20, 120, 60), 3);
        g.DrawArc(&arc, RectF(270, 295, 60, 60), 135, 270);

        Font font(QStringLiteral("Tahoma"), 10, FontStyleBold);
        SolidBrush ink(Color(255, 20, 20, 20));
        Pen frame(Color(255, 180, 180, 180));
        const StringAlignment aligns[] = {StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar};
        for (int i = 0; i < 3; ++i) {
            const RectF box(REAL(350 + i * 130), 300, 120, 40);
            StringFormat f;
            f.SetAlignment(aligns[i]);
            f.SetLineAlignment(aligns[i]);
            f.SetHotkeyPrefix(HotkeyPrefixShow);
            g.DrawRectangle(&frame, box);
            g.DrawString(QStringLiteral("&Apply Settings"), &font, box, &f, &ink);
        }
        Font unknown(QStringLiteral("No Such Font"), 10);
        g.DrawString(QStringLiteral("An unknown family is drawn in Arial"), &unknown, PointF(10, 360), &ink);
    }
};

const GalleryPage page(QStringLiteral("Drawing layer"), 5, [](QWidget* parent) { return new DrawingSheet(parent); });

} // namespace
