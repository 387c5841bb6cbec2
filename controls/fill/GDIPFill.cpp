#include "controls/fill/GDIPFill.h"

#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/HatchBrush.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/PathGradientBrush.h"
#include "platform/gdiplus/Pen.h"
#include "platform/gdiplus/TextureBrush.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lumora {

using gdiplus::REAL;
using gdiplus::RectF;

// The five alphas of one Fill call: an argument of 255 means the property.
struct TGDIPFill::Alphas {
    int Border;
    int Opacity;
    int OpacityTo;
    int OpacityMirror;
    int OpacityMirrorTo;
};

namespace {

gdiplus::Color Argb(int alpha, TColor color)
{
    return gdiplus::Color(ToARGB(alpha, color));
}

int RoundHalfEven(REAL value)
{
    return int(std::nearbyint(value));
}

// Only the outer corners of each part of a two-part body are rounded.
TFillRoundingType PartRounding(TFillRoundingType type, bool mirror)
{
    switch (type) {
    case rtTop:
        return mirror ? rtNone : rtTop;
    case rtBottom:
        return mirror ? rtBottom : rtNone;
    case rtBoth:
        return mirror ? rtBottom : rtTop;
    case rtNone:
    case rtLeft:
    case rtRight:
        break;
    }
    return type;
}

gdiplus::LinearGradientMode LinearMode(TAdvGradientType kind)
{
    switch (kind) {
    case gtHorizontal:
        return gdiplus::LinearGradientModeHorizontal;
    case gtForwardDiagonal:
        return gdiplus::LinearGradientModeForwardDiagonal;
    case gtBackwardDiagonal:
        return gdiplus::LinearGradientModeBackwardDiagonal;
    default:
        return gdiplus::LinearGradientModeVertical;
    }
}

RectF Enlarged(const RectF& r)
{
    return RectF(r.X - 1, r.Y - 1, r.Width + 2, r.Height + 2);
}

// Restores the surface's smoothing mode when it goes out of scope.
class SmoothingScope {
public:
    SmoothingScope(gdiplus::Graphics& g, gdiplus::SmoothingMode mode) : g_(g), saved_(g.GetSmoothingMode())
    {
        g_.SetSmoothingMode(mode);
    }
    ~SmoothingScope() { g_.SetSmoothingMode(saved_); }
    SmoothingScope(const SmoothingScope&) = delete;
    SmoothingScope& operator=(const SmoothingScope&) = delete;

private:
    gdiplus::Graphics& g_;
    gdiplus::SmoothingMode saved_;
};

} // namespace

gdiplus::ARGB ToARGB(int Alpha, TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    return gdiplus::Color::MakeARGB(std::uint8_t(Alpha), std::uint8_t(GetRValue(rgb)), std::uint8_t(GetGValue(rgb)),
                                    std::uint8_t(GetBValue(rgb)));
}

std::unique_ptr<gdiplus::GraphicsPath> CreateRoundedPath(const RectF& Rect, int Radius,
                                                         TFillRoundingType RoundingType)
{
    auto path = std::make_unique<gdiplus::GraphicsPath>(gdiplus::FillModeAlternate);
    const REAL x = Rect.X;
    const REAL y = Rect.Y;
    const REAL w = Rect.Width;
    const REAL h = Rect.Height;
    // A negative radius (a focus outline inside a wide border) is square,
    // like 0; it must not push the lines outside the rect.
    const REAL r = REAL(std::max(Radius, 0));
    const REAL d = 2 * r;
    gdiplus::GraphicsPath& p = *path;
    // A corner of radius 0 is no arc at all: the lines meet at the corner.
    const auto arc = [&](REAL ax, REAL ay, REAL start) {
        if (d > 0)
            p.AddArc(ax, ay, d, d, start, 90);
    };
    switch (RoundingType) {
    case rtNone:
        p.AddLine(x, y, x + w, y);
        p.AddLine(x + w, y, x + w, y + h);
        p.AddLine(x + w, y + h, x, y + h);
        p.AddLine(x, y + h, x, y);
        break;
    case rtTop:
        arc(x, y, 180);
        p.AddLine(x + r, y, x + w - r, y);
        arc(x + w - d, y, 270);
        p.AddLine(x + w, y + r, x + w, y + h);
        p.AddLine(x + w, y + h, x, y + h);
        p.AddLine(x, y + h, x, y + r);
        break;
    case rtBottom:
        p.AddLine(x, y, x + w, y);
        p.AddLine(x + w, y, x + w, y + h - r);
        arc(x + w - d, y + h - d, 0);
        p.AddLine(x + w - r, y + h, x + r, y + h);
        arc(x, y + h - d, 90);
        p.AddLine(x, y + h - r, x, y);
        break;
    case rtBoth:
        arc(x, y, 180);
        p.AddLine(x + r, y, x + w - r, y);
        arc(x + w - d, y, 270);
        p.AddLine(x + w, y + r, x + w, y + h - r);
        arc(x + w - d, y + h - d, 0);
        p.AddLine(x + w - r, y + h, x + r, y + h);
        arc(x, y + h - d, 90);
        p.AddLine(x, y + h - r, x, y + r);
        break;
    case rtLeft:
        arc(x, y, 180);
        p.AddLine(x + r, y, x + w - r, y);
        p.AddLine(x + w, y, x + w, y + h);
        p.AddLine(x + w - r, y + h, x + r, y + h);
        arc(x, y + h - d, 90);
        p.AddLine(x, y + h - r, x, y + r);
        break;
    case rtRight:
        p.AddLine(x, y, x + w - r, y);
        arc(x + w - d, y, 270);
        p.AddLine(x + w, y + r, x + w, y + h - r);
        arc(x + w - d, y + h - d, 0);
        p.AddLine(x + w - r, y + h, x, y + h);
        p.AddLine(x, y + h - r, x, y + r);
        break;
    }
    p.CloseFigure();
    return path;
}

QRect FillPictureBounds(const RectF& R)
{
    return QRect(RoundHalfEven(R.X), RoundHalfEven(R.Y), RoundHalfEven(R.Width), RoundHalfEven(R.Height));
}

QRect FillPictureRect(TFillPicturePosition Position, const QRect& Bounds, int Width, int Height, int CustomLeft,
                      int CustomTop)
{
    const int left = Bounds.x();
    const int top = Bounds.y();
    const int right = Bounds.x() + Bounds.width();
    const int bottom = Bounds.y() + Bounds.height();
    const int centerX = left + (Bounds.width() - Width) / 2;
    const int centerY = top + (Bounds.height() - Height) / 2;
    switch (Position) {
    case ppTopLeft:
        return QRect(left, top, Width, Height);
    case ppTopCenter:
        return QRect(centerX, top, Width, Height);
    case ppTopRight:
        return QRect(right - Width, top, Width, Height);
    case ppBottomLeft:
        return QRect(left, bottom - Height, Width, Height);
    case ppBottomCenter:
        return QRect(centerX, bottom - Height, Width, Height);
    case ppBottomRight:
        return QRect(right - Width, bottom - Height, Width, Height);
    case ppTiled:
        return QRect();
    case ppStretched:
        return Bounds;
    case ppCenterLeft:
        return QRect(left, centerY, Width, Height);
    case ppCenterCenter:
        return QRect(centerX, centerY, Width, Height);
    case ppCenterRight:
        return QRect(right - Width, centerY, Width, Height);
    case ppCustom:
        return QRect(CustomLeft, CustomTop, Width, Height);
    }
    return QRect();
}

TGDIPFill::TGDIPFill()
    : FBackGroundPicture(std::make_unique<TAdvGDIPPicture>()), FPicture(std::make_unique<TAdvGDIPPicture>())
{
    FBackGroundPicture->OnChange = [this](TObject*) { Changed(); };
    FPicture->OnChange = [this](TObject*) { Changed(); };
}

TGDIPFill::~TGDIPFill() = default;

void TGDIPFill::Changed()
{
    if (UpdateCount() == 0)
        Fire(OnChange, this);
}

void TGDIPFill::SetBackGroundPicture(const TAdvGDIPPicture* Value)
{
    if (Value != FBackGroundPicture.get())
        FBackGroundPicture->Assign(Value);
}

void TGDIPFill::SetPicture(const TAdvGDIPPicture* Value)
{
    if (Value != FPicture.get())
        FPicture->Assign(Value);
}

void TGDIPFill::Assign(const TPersistent& Source)
{
    const auto* s = dynamic_cast<const TGDIPFill*>(&Source);
    if (!s || s == this)
        return;
    // Copying the pictures announces each of them; hold those back so the
    // copy is announced once.
    BeginUpdate();
    FColor = s->FColor;
    FColorTo = s->FColorTo;
    FColorMirror = s->FColorMirror;
    FColorMirrorTo = s->FColorMirrorTo;
    FGradientType = s->FGradientType;
    FGradientMirrorType = s->FGradientMirrorType;
    FHatchStyle = s->FHatchStyle;
    FHatchStyleMirror = s->FHatchStyleMirror;
    FBackGroundPicture->Assign(s->FBackGroundPicture.get());
    FBackGroundPicturePosition = s->FBackGroundPicturePosition;
    FBackGroundPictureLeft = s->FBackGroundPictureLeft;
    FBackGroundPictureTop = s->FBackGroundPictureTop;
    FPicture->Assign(s->FPicture.get());
    FPicturePosition = s->FPicturePosition;
    FPictureLeft = s->FPictureLeft;
    FPictureTop = s->FPictureTop;
    FPictureSize = s->FPictureSize;
    FPictureWidth = s->FPictureWidth;
    FPictureHeight = s->FPictureHeight;
    FOpacity = s->FOpacity;
    FOpacityTo = s->FOpacityTo;
    FOpacityMirror = s->FOpacityMirror;
    FOpacityMirrorTo = s->FOpacityMirrorTo;
    FBorderColor = s->FBorderColor;
    FBorderWidth = s->FBorderWidth;
    FRounding = s->FRounding;
    FRoundingType = s->FRoundingType;
    FShadowColor = s->FShadowColor;
    FShadowOffset = s->FShadowOffset;
    FAngle = s->FAngle;
    FBorderOpacity = s->FBorderOpacity;
    FBackGroundPictureMode = s->FBackGroundPictureMode;
    FGlowGradientColor = s->FGlowGradientColor;
    FGlowRadialColor = s->FGlowRadialColor;
    FGlow = s->FGlow;
    EndUpdate();
    Changed();
}

RectF TGDIPFill::Fill(gdiplus::Graphics* Graphics, const RectF& R, int BorderOpacity, int Opacity, int OpacityTo,
                      int OpacityMirror, int OpacityMirrorTo)
{
    if (!Graphics)
        return R;
    gdiplus::Graphics& g = *Graphics;
    const auto resolve = [](int argument, int property) { return argument == 255 ? property : argument & 0xFF; };
    const Alphas a{resolve(BorderOpacity, FBorderOpacity), resolve(Opacity, FOpacity),
                   resolve(OpacityTo, FOpacityTo), resolve(OpacityMirror, FOpacityMirror),
                   resolve(OpacityMirrorTo, FOpacityMirrorTo)};

    RectF r = R;
    if (r.Height == 1 || r.Width == 1) {
        // Too thin for a body: a line of the border colour instead.
        if (FBorderWidth > 0 && FBorderColor != clNone) {
            const gdiplus::Pen pen(Argb(a.Border, FBorderColor), REAL(FBorderWidth));
            g.DrawLine(&pen, r.X, r.Y, r.X + r.Width, r.Y + r.Height);
        }
    } else {
        if (FShadowOffset > 0 && FShadowColor != clNone) {
            PaintShadow(g, r);
            r.Width -= REAL(FShadowOffset);
            r.Height -= REAL(FShadowOffset);
        }
        PaintBody(g, r, a);
        if (FBackGroundPictureMode == pmInsideFill && FGradientType == gtTexture) {
            const auto clip = CreateRoundedPath(r, FRounding, FRoundingType);
            g.SetClip(clip.get());
            PaintBackGroundPicture(g, r);
            g.ResetClip();
        }
        PaintBorder(g, r, a.Border);
    }
    PaintGlow(g, r);
    FFocusRect = RectF(r.X + REAL(FBorderWidth), r.Y + REAL(FBorderWidth), r.Width - REAL(2 * FBorderWidth),
                       r.Height - REAL(2 * FBorderWidth));
    if (FFocus)
        PaintFocus(g, a.Opacity);
    if (FBackGroundPictureMode == pmOutsideFill && FGradientType == gtTexture)
        PaintBackGroundPicture(g, r);
    PaintPicture(g, r);
    return r;
}

void TGDIPFill::PaintShadow(gdiplus::Graphics& g, const RectF& r) const
{
    const auto path = CreateRoundedPath(r, FRounding, FRoundingType);
    gdiplus::PathGradientBrush brush(path.get());
    brush.SetWrapMode(gdiplus::WrapModeClamp);
    const gdiplus::Color colors[] = {gdiplus::Color(0x00000000), Argb(180, FShadowColor), Argb(180, FShadowColor)};
    const REAL positions[] = {0.0f, 0.1f, 1.0f};
    brush.SetInterpolationColors(colors, positions, 3);
    g.FillPath(&brush, path.get());
}

void TGDIPFill::PaintBody(gdiplus::Graphics& g, const RectF& r, const Alphas& a) const
{
    if (FGradientType == gtHatch || FGradientType == gtTexture || FColorMirror == clNone) {
        if (FGradientType == gtRadial)
            PaintRadialPart(g, r, FRoundingType, false, a);
        else
            PaintPart(g, r, false, a);
        return;
    }
    // Two parts overlapping by two pixels, so no seam shows between them.
    const REAL h = r.Height / 2;
    const RectF upper(r.X, r.Y, r.Width, h + 1);
    const RectF lower(r.X, r.Y + h - 1, r.Width, h + 1);
    if (FGradientType == gtRadial)
        PaintRadialPart(g, upper, rtTop, false, a);
    else
        PaintPart(g, upper, false, a);
    if (FGradientMirrorType == gtRadial)
        PaintRadialPart(g, lower, rtBottom, true, a);
    else
        PaintPart(g, lower, true, a);
}

void TGDIPFill::PaintPart(gdiplus::Graphics& g, const RectF& p, bool mirror, const Alphas& a) const
{
    const TColor color = mirror ? FColorMirror : FColor;
    const TColor colorTo = mirror ? FColorMirrorTo : FColorTo;
    if (color == clNone)
        return;
    const TAdvGradientType kind = colorTo == clNone ? gtSolid : (mirror ? FGradientMirrorType : FGradientType);
    const gdiplus::Color start = Argb(mirror ? a.OpacityMirror : a.Opacity, color);
    const gdiplus::Color end = Argb(mirror ? a.OpacityMirrorTo : a.OpacityTo, colorTo);

    std::unique_ptr<gdiplus::GraphicsPath> path;
    if (FRounding != 0)
        path = CreateRoundedPath(p, FRounding, FColorMirror == clNone ? FRoundingType : PartRounding(FRoundingType, mirror));
    std::optional<SmoothingScope> smoothing;
    if (path)
        smoothing.emplace(g, gdiplus::SmoothingModeAntiAlias);
    const auto fill = [&](const gdiplus::Brush& brush) {
        if (path)
            g.FillPath(&brush, path.get());
        else
            g.FillRectangle(&brush, p);
    };

    switch (kind) {
    case gtSolid:
        fill(gdiplus::SolidBrush(start));
        break;
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
        gdiplus::LinearGradientBrush brush(Enlarged(p), start, end, LinearMode(kind));
        brush.SetWrapMode(gdiplus::WrapModeTile);
        brush.SetGammaCorrection(true);
        fill(brush);
        if (mirror) {
            // The mirror's start colour as a one-pixel line along its top
            // edge, over the overlap with the upper part.
            const gdiplus::SolidBrush line(start);
            g.FillRectangle(&line, RectF(p.X, p.Y, p.Width, 1));
        }
        break;
    }
    case gtAngle: {
        gdiplus::LinearGradientBrush brush(Enlarged(p), start, end, REAL(FAngle), true);
        brush.SetWrapMode(gdiplus::WrapModeTile);
        brush.SetGammaCorrection(true);
        fill(brush);
        break;
    }
    case gtHatch:
        fill(gdiplus::HatchBrush(mirror ? FHatchStyleMirror : FHatchStyle, start, end));
        break;
    case gtTexture:
        if (FBackGroundPicturePosition == ppTiled) {
            if (const gdiplus::Image* image = FBackGroundPicture->Image()) {
                gdiplus::TextureBrush brush(image, gdiplus::WrapModeTile);
                brush.TranslateTransform(p.X, p.Y);
                fill(brush);
            }
        }
        break;
    case gtRadial:
    case gtPath:
    case gtNone:
        break;
    }
}

void TGDIPFill::PaintRadialPart(gdiplus::Graphics& g, const RectF& p, TFillRoundingType t, bool mirror,
                                const Alphas& a) const
{
    const TColor color = mirror ? FColorMirror : FColor;
    if (color == clNone)
        return;
    const TColor colorTo = (mirror ? FColorMirrorTo : FColorTo) == clNone ? color : (mirror ? FColorMirrorTo : FColorTo);
    const gdiplus::Color outer = mirror ? Argb(a.OpacityMirrorTo, colorTo) : Argb(a.Opacity, color);
    const gdiplus::Color inner = mirror ? Argb(a.OpacityMirror, color) : Argb(a.OpacityTo, colorTo);

    const auto shape = CreateRoundedPath(p, FRounding, t);
    const gdiplus::SolidBrush solid(outer);
    g.FillPath(&solid, shape.get());
    g.SetClip(shape.get());

    gdiplus::GraphicsPath ellipse;
    ellipse.AddEllipse(p.X, mirror ? p.Y : p.Y - p.Height / 2, p.Width, 1.5f * p.Height);
    gdiplus::PathGradientBrush brush(&ellipse);
    brush.SetCenterPoint(gdiplus::PointF(p.X + p.Width / 2, mirror ? p.Y + p.Height : p.Y));
    brush.SetCenterColor(inner);
    gdiplus::Color surround[] = {outer};
    gdiplus::INT count = 1;
    brush.SetSurroundColors(surround, &count);
    g.FillRectangle(&brush, p);
    g.ResetClip();
}

void TGDIPFill::PaintBorder(gdiplus::Graphics& g, const RectF& r, int borderAlpha) const
{
    if (FBorderWidth <= 0 || FBorderColor == clNone)
        return;
    const auto path = CreateRoundedPath(r, FRounding, FRoundingType);
    const gdiplus::Pen pen(Argb(borderAlpha, FBorderColor), REAL(FBorderWidth));
    g.DrawPath(&pen, path.get());
}

void TGDIPFill::PaintGlow(gdiplus::Graphics& g, const RectF& r) const
{
    if (FGlow == gmNone)
        return;
    g.SetClip(r);
    const RectF G(r.X + 1, r.Y + 1, r.Width - 2, r.Height - 2);
    if (FGlow == gmGradient || FGlow == gmRadialGradient) {
        const auto highlight = CreateRoundedPath(G, FRounding, FRoundingType);
        const gdiplus::Pen pen(Argb(200, FGlowGradientColor), 1);
        g.DrawPath(&pen, highlight.get());

        const RectF top(G.X + 5, G.Y, G.Width - 10, 4);
        const gdiplus::LinearGradientBrush topBrush(Enlarged(top), Argb(175, FGlowGradientColor),
                                                    Argb(0, FGlowGradientColor), gdiplus::LinearGradientModeVertical);
        const gdiplus::PointF topLeft[] = {{G.X, G.Y}, {G.X + 5, G.Y}, {G.X + 5, G.Y + 4}};
        const gdiplus::PointF topRight[] = {{G.X + G.Width, G.Y}, {G.X + G.Width - 5, G.Y}, {G.X + G.Width - 5, G.Y + 4}};
        g.FillPolygon(&topBrush, topLeft, 3);
        g.FillPolygon(&topBrush, topRight, 3);
        g.FillRectangle(&topBrush, top);

        const REAL bottom = G.Y + G.Height;
        const RectF band(G.X + 5, bottom - 7, G.Width - 10, 7);
        const gdiplus::LinearGradientBrush bandBrush(Enlarged(band), Argb(0, FGlowGradientColor),
                                                     Argb(220, FGlowGradientColor), gdiplus::LinearGradientModeVertical);
        const gdiplus::PointF bottomLeft[] = {{G.X, bottom}, {G.X + 5, bottom}, {G.X + 5, bottom - 7}};
        const gdiplus::PointF bottomRight[] = {
            {G.X + G.Width, bottom}, {G.X + G.Width - 5, bottom}, {G.X + G.Width - 5, bottom - 7}};
        g.FillPolygon(&bandBrush, bottomLeft, 3);
        g.FillPolygon(&bandBrush, bottomRight, 3);
        g.FillRectangle(&bandBrush, band);
    }
    if (FGlow == gmRadial || FGlow == gmRadialGradient) {
        gdiplus::GraphicsPath ellipse;
        ellipse.AddEllipse(G.X + 10, G.Y - G.Height / 2, G.Width - 20, 3 * G.Height);
        gdiplus::PathGradientBrush brush(&ellipse);
        brush.SetCenterPoint(gdiplus::PointF(G.X + G.Width / 2, G.Y + G.Height));
        brush.SetCenterColor(Argb(150, FGlowRadialColor));
        gdiplus::Color surround[] = {Argb(0, FColor)};
        gdiplus::INT count = 1;
        brush.SetSurroundColors(surround, &count);
        g.FillPath(&brush, &ellipse);
    }
    g.ResetClip();
}

void TGDIPFill::PaintFocus(gdiplus::Graphics& g, int alpha) const
{
    const auto path = CreateRoundedPath(FFocusRect, FRounding - FBorderWidth, FRoundingType);
    gdiplus::Pen pen(Argb(alpha, FFocusColor), 1);
    pen.SetDashStyle(gdiplus::DashStyleDot);
    const SmoothingScope smoothing(g, gdiplus::SmoothingModeDefault);
    g.DrawPath(&pen, path.get());
}

void TGDIPFill::PaintBackGroundPicture(gdiplus::Graphics& g, const RectF& r) const
{
    const gdiplus::Image* image = FBackGroundPicture->Image();
    if (!image)
        return;
    const QRect target = FillPictureRect(FBackGroundPicturePosition, FillPictureBounds(r), int(image->GetWidth()),
                                         int(image->GetHeight()), FBackGroundPictureLeft, FBackGroundPictureTop);
    if (!target.isEmpty())
        FBackGroundPicture->GPDraw(&g, target);
}

void TGDIPFill::PaintPicture(gdiplus::Graphics& g, const RectF& r) const
{
    const gdiplus::Image* image = FPicture->Image();
    if (!image)
        return;
    const bool custom = FPictureSize == psCustom;
    const int w = custom ? FPictureWidth : int(image->GetWidth());
    const int h = custom ? FPictureHeight : int(image->GetHeight());
    const QRect target = FillPictureRect(FPicturePosition, FillPictureBounds(r), w, h, FPictureLeft, FPictureTop);
    if (!target.isEmpty())
        FPicture->GPDraw(&g, target);
}

} // namespace lumora
