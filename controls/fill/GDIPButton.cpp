#include "controls/fill/GDIPButton.h"

#include "controls/picture/AdvGDIP.h"
#include "controls/fill/ColorMath.h"
#include "controls/fill/GDIPFill.h"
#include "platform/gdiplus/Graphics.h"
#include "platform/gdiplus/LinearGradientBrush.h"
#include "platform/gdiplus/PathGradientBrush.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lumora {

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------

TButtonFaceGeometry ButtonFaceGeometry(int width, int height, int hSpacing, int vSpacing, bool shadow)
{
    TButtonFaceGeometry g;
    g.HSpacing = hSpacing;
    g.VSpacing = vSpacing;
    g.Left = hSpacing;
    g.HasShadow = shadow;
    if (shadow) {
        g.ShadowRect = QRectF(g.Left + 2, vSpacing + 2, width - 2 * hSpacing - 4, height - 2 * vSpacing - 2);
        width -= TButtonFaceGeometry::kShadowShrinkWidth;
        height -= TButtonFaceGeometry::kShadowShrinkHeight;
    }
    g.Width = width;
    g.Height = height;
    g.FaceHeight = height;
    g.CurveHeight = g.FaceHeight / 6;
    g.FaceWidth = width - 2 * hSpacing;
    g.MidLine = g.FaceHeight / 2;

    const int B = g.Left, G = g.CurveHeight, D = g.FaceWidth, M = g.MidLine, F = g.FaceHeight;
    g.SeamBand = QRectF(B, M - G, D - 1, 2 * G);

    g.Shape = Rect(B, vSpacing, width - hSpacing - 1, M);
    g.LowerBottom = 2 * M - vSpacing;

    if (G > 0) {
        const int chord = g.Shape.Right - g.Shape.Left;
        const double halfChord = chord / 2.0;
        // Half-even, as every real-to-integer conversion of the face does.
        g.ArcRadius = int(std::nearbyint((halfChord * halfChord + double(G) * G) / (2.0 * G)));
        const int centreX = g.Shape.Left + chord / 2;
        g.ArcSquare = QRectF(centreX - g.ArcRadius, M - 2 * g.ArcRadius, 2 * g.ArcRadius, 2 * g.ArcRadius);
        g.ArcHalfAngle = g.ArcRadius == G ? 0.0 : std::atan(halfChord / (g.ArcRadius - G)) * 180.0 / M_PI;
    }

    g.LowerGradient = QRectF(B - 1, M - G - 1, D + 1, M + G + 2);
    g.UpperGradient = QRectF(B - 1, vSpacing - 1, D + 1, F / 2 + 3);

    const TRect bevel = Rect(B, vSpacing + 1, width - hSpacing - 1, F - vSpacing - 1);
    g.BevelOuter = QRectF(bevel.Left, bevel.Top, bevel.Width(), bevel.Height());
    g.BevelInner = g.BevelOuter.adjusted(2, 2, -2, -2);
    return g;
}

QRectF ButtonContentRect(const TButtonFaceGeometry& g, const TButtonContentOptions& o)
{
    const int shift = o.Pressed ? o.ShiftDown : 0;
    QRectF p(g.Left + shift, g.VSpacing + shift, g.FaceWidth, g.FaceHeight - 2 * g.VSpacing);
    p.setWidth(p.width() - 4);
    if (!o.HasPicture())
        return p;

    p.moveLeft(p.x() + 2);
    const int pw = o.Picture.width(), ph = o.Picture.height(), sp = o.Spacing;
    switch (o.Layout) {
    case blPictureLeft:
    case blPictureRight: p.setWidth(p.width() - (pw + sp)); break;
    case blPictureBottom:
    case blPictureTop: p.setHeight(p.height() - (ph + sp)); break;
    case blNone: break;
    }
    if (sp % 2 != 0)
        p.setWidth(p.width() - 1);
    return p;
}

namespace {

int BasePictureLeft(const TButtonFaceGeometry& g, const TButtonContentOptions& o)
{
    const int pw = o.Picture.width();
    switch (o.PictureAlignment) {
    case taLeftJustify: return g.HSpacing + 4;
    case taRightJustify: return g.Width - g.HSpacing - pw - 4;
    case taCenter: break;
    }
    return (g.Width - pw) / 2;
}

int RoundToInt(double v) { return int(std::nearbyint(v)); }

} // namespace

TButtonContentPlacement PlaceButtonContent(const TButtonFaceGeometry& g, const TButtonContentOptions& o,
                                           const QRectF& content, bool hasCaption, QSizeF measured)
{
    const int shift = o.Pressed ? o.ShiftDown : 0;
    const int pw = o.Picture.width(), ph = o.Picture.height(), sp = o.Spacing;
    const int W = g.Width, hs = g.HSpacing;
    const bool picture = o.HasPicture();
    const bool pictureLayout = picture && o.Layout != blNone;

    TButtonContentPlacement out;

    // Text origin.
    double mw = measured.width();
    const double mh = measured.height();
    double tx = 0;
    double ty = (g.FaceHeight - mh) / 2 + shift;
    if (pictureLayout) {
        tx = (content.width() - mw) / 2 + content.x();
        ty = (content.height() - mh) / 2 + content.y();
        switch (o.Layout) {
        case blPictureLeft: tx = std::max(tx, double(sp)) + pw + sp; break;
        case blPictureRight:
            if (tx < sp) {
                tx = sp;
                mw = W - pw - 2 * sp;
            }
            break;
        case blPictureTop: ty = ty + ph + sp; break;
        case blPictureBottom:
        case blNone: break;
        }
    }

    // Caption rectangle.
    out.CaptionRect = QRectF(g.Left + 4, ty, g.FaceWidth - 8, mh);
    if (pictureLayout && o.Layout == blPictureLeft)
        out.CaptionRect = QRectF(tx, ty, W - hs - 8 - tx, mh);
    else if (pictureLayout && o.Layout == blPictureRight)
        out.CaptionRect = QRectF(g.Left + 4, ty, W - pw - sp - 8 - tx - hs, mh);

    if (!picture)
        return out;

    // Picture position.
    const int baseLeft = BasePictureLeft(g, o) + shift;
    const int baseTop = (g.FaceHeight - ph) / 2 + shift;
    double left = baseLeft, top = baseTop;
    if (hasCaption && o.Layout != blNone) {
        switch (o.Layout) {
        case blPictureLeft:
            if (o.PictureAlignment == taRightJustify)
                left = tx - pw - sp;
            else if (o.PictureAlignment == taCenter)
                left = (tx - pw) / 2;
            break;
        case blPictureRight:
            if (o.PictureAlignment == taLeftJustify)
                left = tx + mw + sp;
            else if (o.PictureAlignment == taCenter)
                left = (W - (tx + mw) - pw) / 2 + tx + mw;
            break;
        case blPictureBottom: top = ty + mh + sp; break;
        case blPictureTop: top = ty - ph - sp; break;
        case blNone: break;
        }
    }
    out.PictureAt = QPoint(RoundToInt(left), RoundToInt(top));
    return out;
}

TColor ButtonFaceColor(TColor color, bool pressed, TColor downColor)
{
    if (!pressed)
        return color;
    return downColor == clNone ? PressedColor(color) : downColor;
}

} // namespace lumora

// ---------------------------------------------------------------------------
// TGDIPButton properties
// ---------------------------------------------------------------------------

namespace lumora {

TGDIPButton::TGDIPButton()
{
    AttachFontChange();
}

void TGDIPButton::AttachFontChange()
{
    font_.OnChange = [this](TObject*) { FontChanged(); };
}

void TGDIPButton::DetachFontChange()
{
    font_.OnChange = nullptr;
}

void TGDIPButton::FontChanged()
{
    Changed();
    Fire(OnFontChange, this);
}

void TGDIPButton::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TGDIPButton*>(&source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    // The font's own notification would report the copy twice.
    DetachFontChange();
    font_.Assign(other->font_);
    AttachFontChange();
    layout_ = other->layout_;
    spacing_ = other->spacing_;
    shiftDown_ = other->shiftDown_;
    alignment_ = other->alignment_;
    pictureAlignment_ = other->pictureAlignment_;
    focusColor_ = other->focusColor_;
    Changed();
}

void TGDIPButton::SetAlignment(TAlignment value)
{
    if (StoreIfDifferent(alignment_, value))
        Changed();
}

void TGDIPButton::SetPictureAlignment(TAlignment value)
{
    if (StoreIfDifferent(pictureAlignment_, value))
        Changed();
}

void TGDIPButton::SetFont(const TFont& value)
{
    if (&value != &font_)
        font_.Assign(value);
}

void TGDIPButton::SetLayout(TGDIPButtonLayout value)
{
    if (StoreIfDifferent(layout_, value))
        Changed();
}

void TGDIPButton::SetSpacing(int value)
{
    if (StoreIfDifferent(spacing_, value))
        Changed();
}

void TGDIPButton::SetShiftDown(int value)
{
    if (StoreIfDifferent(shiftDown_, value))
        Changed();
}

void TGDIPButton::SetFocusColor(TColor value)
{
    if (StoreIfDifferent(focusColor_, value))
        Changed();
}

bool TGDIPButton::IsFontStored()
{
    bool stored = true;
    if (OnIsFontStored)
        OnIsFontStored(this, stored);
    return stored;
}

} // namespace lumora

// ---------------------------------------------------------------------------
// Face painting
// ---------------------------------------------------------------------------

namespace lumora {

namespace {

using gdiplus::Color;
using gdiplus::RectF;

constexpr int kSeamDarken = -40;
constexpr int kHighlight = 100;
constexpr int kBrightHighlight = 220;
constexpr std::uint8_t kShadowAlpha = 180;
constexpr std::uint8_t kBevelAlpha = 160;

Color Argb(int alpha, TColor colour) { return Color(ToARGB(alpha, colour)); }

Color Opaque(TColor colour) { return Argb(255, colour); }

RectF ToRectF(const QRectF& r) { return RectF::FromQRectF(r); }

// A gamma-corrected vertical gradient over `box` with a three-stop blend.
void FillVertical(gdiplus::Graphics& graphics, const gdiplus::GraphicsPath& shape, const QRectF& box,
                  const std::array<Color, 3>& colours, const std::array<float, 3>& positions)
{
    gdiplus::LinearGradientBrush brush(ToRectF(box), colours[0], colours[2], gdiplus::LinearGradientModeVertical);
    brush.SetGammaCorrection(true);
    brush.SetInterpolationColors(colours.data(), positions.data(), 3);
    graphics.FillPath(&brush, &shape);
}

gdiplus::StringAlignment ToStringAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taLeftJustify: return gdiplus::StringAlignmentNear;
    case taRightJustify: return gdiplus::StringAlignmentFar;
    case taCenter: break;
    }
    return gdiplus::StringAlignmentCenter;
}

} // namespace

void PaintButtonShadow(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TFillRoundingType rounding)
{
    auto path = CreateRoundedPath(ToRectF(g.ShadowRect), TButtonFaceGeometry::kShadowRadius, rounding);
    gdiplus::PathGradientBrush brush(path.get());
    brush.SetWrapMode(gdiplus::WrapModeClamp);
    const std::array<Color, 3> colours = {Color(0, 0, 0, 0), Color(kShadowAlpha, 0, 0, 0),
                                          Color(kShadowAlpha, 0, 0, 0)};
    const std::array<float, 3> positions = {0.0f, 0.1f, 1.0f};
    brush.SetInterpolationColors(colours.data(), positions.data(), 3);
    graphics.FillPath(&brush, path.get());
}

void PaintButtonSeamBand(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor face)
{
    gdiplus::SolidBrush brush(Opaque(Lighten(face, kSeamDarken)));
    graphics.FillRectangle(&brush, ToRectF(g.SeamBand));
}

void PaintButtonLowerHalf(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor face)
{
    if (!g.HasCurve())
        return;
    FillVertical(graphics, *ButtonLowerShape(g), g.LowerGradient,
                 {Opaque(Lighten(face, kSeamDarken)), Opaque(Lighten(face, kHighlight)),
                  Opaque(Lighten(face, kBrightHighlight))},
                 {0.0f, 0.9f, 1.0f});
}

void PaintButtonUpperHalf(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor face)
{
    if (!g.HasCurve())
        return;
    FillVertical(graphics, *ButtonUpperShape(g), g.UpperGradient,
                 {Opaque(Lighten(face, kBrightHighlight)), Opaque(Lighten(face, kHighlight)), Opaque(face)},
                 {0.0f, 0.2f, 1.0f});
}

void PaintButtonBevel(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor bevelColor,
                   TFillRoundingType rounding)
{
    gdiplus::GraphicsPath ring(gdiplus::FillModeAlternate);
    ring.AddPath(*CreateRoundedPath(ToRectF(g.BevelOuter), TButtonFaceGeometry::kBevelRadius, rounding), false);
    ring.AddPath(*CreateRoundedPath(ToRectF(g.BevelInner), TButtonFaceGeometry::kBevelRadius, rounding), false);
    gdiplus::SolidBrush brush(Argb(kBevelAlpha, bevelColor));
    graphics.FillPath(&brush, &ring);
}

std::unique_ptr<gdiplus::GraphicsPath> ButtonUpperShape(const TButtonFaceGeometry& g)
{
    auto path = std::make_unique<gdiplus::GraphicsPath>();
    if (!g.HasCurve())
        return path;
    const float l = float(g.Shape.Left), t = float(g.Shape.Top), r = float(g.Shape.Right);
    const float c = TButtonFaceGeometry::kCornerRadius, d = 2 * c;
    const float a = float(g.ArcHalfAngle);
    path->AddArc(l, t, d, d, 180, 90);
    path->AddLine(l + c, t, r - c, t);
    path->AddArc(r - d, t, d, d, 270, 90);
    path->AddLine(r, t + c, r, float(g.MidLine - g.CurveHeight));
    path->AddArc(ToRectF(g.ArcSquare), 90 - a, 2 * a); // right to left along the seam
    path->CloseFigure();
    return path;
}

std::unique_ptr<gdiplus::GraphicsPath> ButtonLowerShape(const TButtonFaceGeometry& g)
{
    auto path = std::make_unique<gdiplus::GraphicsPath>();
    if (!g.HasCurve())
        return path;
    const float l = float(g.Shape.Left), r = float(g.Shape.Right), b = float(g.LowerBottom);
    const float c = TButtonFaceGeometry::kCornerRadius, d = 2 * c;
    const float a = float(g.ArcHalfAngle);
    path->AddArc(ToRectF(g.ArcSquare), 90 + a, -2 * a); // left to right along the seam
    path->AddLine(r, float(g.MidLine - g.CurveHeight), r, b - c);
    path->AddArc(r - d, b - d, d, d, 0, 90);
    path->AddLine(r - c, b, l + c, b);
    path->AddArc(l, b - d, d, d, 90, 90);
    path->CloseFigure();
    return path;
}

void TGDIPButton::DrawFace(gdiplus::Graphics& graphics, const QString& caption, TAdvGDIPPicture* picture,
                           bool bevel, bool pressed, bool shadow, TColor bevelColor, TColor color, int hSpacing,
                           int vSpacing, int height, int width) const
{
    // The owner always passes these; they are fixed for this program.
    constexpr TFillRoundingType rounding = rtBoth;
    const TColor face = ButtonFaceColor(color, pressed, clNone);
    const TButtonFaceGeometry g = ButtonFaceGeometry(width, height, hSpacing, vSpacing, shadow);

    if (g.HasShadow)
        PaintButtonShadow(graphics, g, rounding);
    PaintButtonSeamBand(graphics, g, face);
    PaintButtonLowerHalf(graphics, g, face);
    PaintButtonUpperHalf(graphics, g, face);
    if (bevel)
        PaintButtonBevel(graphics, g, bevelColor, rounding);
    DrawCaptionAndPicture(graphics, g, caption, picture, pressed);
}

void TGDIPButton::DrawCaptionAndPicture(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g,
                                        const QString& caption, TAdvGDIPPicture* picture, bool pressed) const
{
    TButtonContentOptions o;
    o.Pressed = pressed;
    o.ShiftDown = shiftDown_;
    o.Spacing = spacing_;
    o.Layout = layout_;
    o.PictureAlignment = pictureAlignment_;
    const bool hasPicture = picture != nullptr && !picture->Empty();
    if (hasPicture) {
        picture->Measure();
        o.Picture = QSize(picture->Width(), picture->Height());
    }
    const QRectF content = ButtonContentRect(g, o);

    // Text setup and measuring, skipped for an empty caption.
    const TFontDescription d = font_.Description();
    const gdiplus::Font font(d.Family, float(d.SizeInPoints), int(d.Style & (fsBold | fsItalic | fsUnderline)),
                             gdiplus::UnitPoint);
    gdiplus::StringFormat format;
    format.SetAlignment(ToStringAlignment(alignment_));
    format.SetLineAlignment(ToStringAlignment(alignment_));
    format.SetHotkeyPrefix(gdiplus::HotkeyPrefixShow);
    QSizeF measured;
    if (!caption.isEmpty()) {
        graphics.SetTextRenderingHint(gdiplus::TextRenderingHintClearTypeGridFit);
        const RectF box = graphics.MeasureString(caption, &font, ToRectF(content), &format);
        measured = QSizeF(box.Width, box.Height);
    }

    const TButtonContentPlacement place = PlaceButtonContent(g, o, content, !caption.isEmpty(), measured);
    if (!caption.isEmpty()) {
        gdiplus::SolidBrush brush(Opaque(font_.Color()));
        graphics.DrawString(caption, &font, ToRectF(place.CaptionRect), &format, &brush);
    }
    if (o.HasPicture())
        picture->GPDraw(&graphics, QRect(place.PictureAt, o.Picture));
}

} // namespace lumora
