#pragma once

#include "controls/picture/AdvGDIP.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Persistent.h"
#include "platform/gdiplus/HatchBrush.h"
#include "platform/gdiplus/GdiplusTypes.h"
#include "platform/gdiplus/GraphicsPath.h"

#include <QRect>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

namespace lumora {

namespace gdiplus {
class Graphics;
}

// The hatch patterns of the drawing layer, passed to it unchanged:
// HatchStyleHorizontal (0) to HatchStyleSolidDiamond (52), then HatchStyleTotal.
using HatchStyle = gdiplus::HatchStyle;
using enum gdiplus::HatchStyle;

enum TAdvGradientType {
    gtSolid,
    gtRadial,
    gtVertical,
    gtHorizontal,
    gtForwardDiagonal,
    gtBackwardDiagonal,
    gtAngle,
    gtHatch,
    gtPath,
    gtTexture,
    gtNone,
};

// Whether the background picture is clipped to the rounded body.
enum TFillPictureMode { pmInsideFill, pmOutsideFill };

enum TFillPicturePosition {
    ppTopLeft,
    ppTopCenter,
    ppTopRight,
    ppBottomLeft,
    ppBottomCenter,
    ppBottomRight,
    ppTiled,
    ppStretched,
    ppCenterLeft,
    ppCenterCenter,
    ppCenterRight,
    ppCustom,
};

enum TFillPictureSize { psOriginal, psCustom };

// Which corners of a rounded rectangle are rounded.
enum TFillRoundingType { rtNone, rtTop, rtBottom, rtBoth, rtLeft, rtRight };

enum TGlowMode { gmNone, gmGradient, gmRadial, gmRadialGradient };

// The drawing layer's 32-bit colour: alpha, then the colour's red, green and
// blue (system colours mapped first).
gdiplus::ARGB ToARGB(int Alpha, TColor Color);

// A new closed rounded-rectangle path (alternate fill mode) on Rect with
// corner radius Radius; RoundingType picks the rounded corners. Radius 0 gives
// the plain rectangle.
std::unique_ptr<gdiplus::GraphicsPath> CreateRoundedPath(const gdiplus::RectF& Rect, int Radius,
                                                         TFillRoundingType RoundingType);

// Where a picture of Width x Height goes in Bounds for a placement.
// ppTiled places nothing (empty rect); ppStretched is Bounds itself;
// ppCustom uses Left/Top as given, in surface coordinates.
QRect FillPictureRect(TFillPicturePosition Position, const QRect& Bounds, int Width, int Height, int CustomLeft,
                      int CustomTop);

// The integer bounds pictures are placed in: the rect's position and size
// each rounded to the nearest integer.
QRect FillPictureBounds(const gdiplus::RectF& R);

// The fill description every smooth control paints with: an optional soft
// shadow, a body of one part or of an upper (normal) and a lower (mirror)
// part, an optional background picture, a border, a glow, a dotted focus
// outline and a picture on top. Every effective property change fires
// OnChange unless an update is open; EndUpdate itself fires nothing, so
// changes batched under BeginUpdate/EndUpdate are never announced.
class TGDIPFill : public TPersistent {
public:
    TGDIPFill();
    ~TGDIPFill() override;
    TGDIPFill(const TGDIPFill&) = delete;
    TGDIPFill& operator=(const TGDIPFill&) = delete;

    // Copies every published property from another TGDIPFill (pictures by
    // content) and fires OnChange once; any other source is ignored.
    void Assign(const TPersistent& Source) override;

    // Paints R on Graphics and returns the rect the body occupies (R less the
    // shadow). An opacity argument of 255 means the property's value; any
    // other value replaces the property for this call. A null surface draws
    // nothing.
    gdiplus::RectF Fill(gdiplus::Graphics* Graphics, const gdiplus::RectF& R, int BorderOpacity = 255,
                        int Opacity = 255, int OpacityTo = 255, int OpacityMirror = 255,
                        int OpacityMirrorTo = 255);

    // The published properties that a form definition would write, in
    // streaming order, with their values (colours and integers as int,
    // enumerations by name, pictures as their bytes). Properties at their
    // default are left out, except the five that are always written.
    std::vector<std::pair<QString, QVariant>> StoredProperties() const;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { SetProperty(FColor, Value); }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { SetProperty(FColorTo, Value); }
    TColor ColorMirror() const { return FColorMirror; }
    void SetColorMirror(TColor Value) { SetProperty(FColorMirror, Value); }
    TColor ColorMirrorTo() const { return FColorMirrorTo; }
    void SetColorMirrorTo(TColor Value) { SetProperty(FColorMirrorTo, Value); }
    TAdvGradientType GradientType() const { return FGradientType; }
    void SetGradientType(TAdvGradientType Value) { SetProperty(FGradientType, Value); }
    TAdvGradientType GradientMirrorType() const { return FGradientMirrorType; }
    void SetGradientMirrorType(TAdvGradientType Value) { SetProperty(FGradientMirrorType, Value); }
    lumora::HatchStyle HatchStyle() const { return FHatchStyle; }
    void SetHatchStyle(lumora::HatchStyle Value) { SetProperty(FHatchStyle, Value); }
    lumora::HatchStyle HatchStyleMirror() const { return FHatchStyleMirror; }
    void SetHatchStyleMirror(lumora::HatchStyle Value) { SetProperty(FHatchStyleMirror, Value); }
    TFillPictureMode BackGroundPictureMode() const { return FBackGroundPictureMode; }
    void SetBackGroundPictureMode(TFillPictureMode Value) { SetProperty(FBackGroundPictureMode, Value); }
    // Owned; setting copies the given picture's content.
    TAdvGDIPPicture* BackGroundPicture() const { return FBackGroundPicture.get(); }
    void SetBackGroundPicture(const TAdvGDIPPicture* Value);
    TFillPicturePosition BackGroundPicturePosition() const { return FBackGroundPicturePosition; }
    void SetBackGroundPicturePosition(TFillPicturePosition Value) { SetProperty(FBackGroundPicturePosition, Value); }
    int BackGroundPictureLeft() const { return FBackGroundPictureLeft; }
    void SetBackGroundPictureLeft(int Value) { SetProperty(FBackGroundPictureLeft, Value); }
    int BackGroundPictureTop() const { return FBackGroundPictureTop; }
    void SetBackGroundPictureTop(int Value) { SetProperty(FBackGroundPictureTop, Value); }
    // Owned; setting copies the given picture's content.
    TAdvGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TAdvGDIPPicture* Value);
    TFillPicturePosition PicturePosition() const { return FPicturePosition; }
    void SetPicturePosition(TFillPicturePosition Value) { SetProperty(FPicturePosition, Value); }
    int PictureLeft() const { return FPictureLeft; }
    void SetPictureLeft(int Value) { SetProperty(FPictureLeft, Value); }
    int PictureTop() const { return FPictureTop; }
    void SetPictureTop(int Value) { SetProperty(FPictureTop, Value); }
    TFillPictureSize PictureSize() const { return FPictureSize; }
    void SetPictureSize(TFillPictureSize Value) { SetProperty(FPictureSize, Value); }
    int PictureWidth() const { return FPictureWidth; }
    void SetPictureWidth(int Value) { SetProperty(FPictureWidth, Value); }
    int PictureHeight() const { return FPictureHeight; }
    void SetPictureHeight(int Value) { SetProperty(FPictureHeight, Value); }
    int Opacity() const { return FOpacity; }
    void SetOpacity(int Value) { SetProperty(FOpacity, Byte(Value)); }
    int OpacityTo() const { return FOpacityTo; }
    void SetOpacityTo(int Value) { SetProperty(FOpacityTo, Byte(Value)); }
    int OpacityMirror() const { return FOpacityMirror; }
    void SetOpacityMirror(int Value) { SetProperty(FOpacityMirror, Byte(Value)); }
    int OpacityMirrorTo() const { return FOpacityMirrorTo; }
    void SetOpacityMirrorTo(int Value) { SetProperty(FOpacityMirrorTo, Byte(Value)); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor Value) { SetProperty(FBorderColor, Value); }
    int BorderOpacity() const { return FBorderOpacity; }
    void SetBorderOpacity(int Value) { SetProperty(FBorderOpacity, Byte(Value)); }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value) { SetProperty(FBorderWidth, Value); }
    int Rounding() const { return FRounding; }
    void SetRounding(int Value) { SetProperty(FRounding, Value); }
    TFillRoundingType RoundingType() const { return FRoundingType; }
    void SetRoundingType(TFillRoundingType Value) { SetProperty(FRoundingType, Value); }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value) { SetProperty(FShadowColor, Value); }
    int ShadowOffset() const { return FShadowOffset; }
    void SetShadowOffset(int Value) { SetProperty(FShadowOffset, Value); }
    int Angle() const { return FAngle; }
    void SetAngle(int Value) { SetProperty(FAngle, Value); }
    TGlowMode Glow() const { return FGlow; }
    void SetGlow(TGlowMode Value) { SetProperty(FGlow, Value); }
    TColor GlowGradientColor() const { return FGlowGradientColor; }
    void SetGlowGradientColor(TColor Value) { SetProperty(FGlowGradientColor, Value); }
    TColor GlowRadialColor() const { return FGlowRadialColor; }
    void SetGlowRadialColor(TColor Value) { SetProperty(FGlowRadialColor, Value); }

    // Public, not published: owners set these from their own focus state.
    // Neither is copied by Assign nor streamed, and neither fires OnChange.
    bool Focus() const { return FFocus; }
    void SetFocus(bool Value) { FFocus = Value; }
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor Value) { FFocusColor = Value; }
    // Written by every Fill: the drawn rect less BorderWidth on each side.
    const gdiplus::RectF& FocusRect() const { return FFocusRect; }

protected:
    // Fires OnChange unless an update is open. Changes made while an update
    // is open are dropped, not deferred to EndUpdate.
    void Changed();
    // The property setter, announcing through this class's Changed.
    template <typename T>
    void SetProperty(T& field, const T& value)
    {
        if (StoreIfDifferent(field, value))
            Changed();
    }

private:
    struct Alphas;

    static int Byte(int value) { return value & 0xFF; }

    void PaintShadow(gdiplus::Graphics& g, const gdiplus::RectF& r) const;
    void PaintBody(gdiplus::Graphics& g, const gdiplus::RectF& r, const Alphas& a) const;
    void PaintPart(gdiplus::Graphics& g, const gdiplus::RectF& p, bool mirror, const Alphas& a) const;
    void PaintRadialPart(gdiplus::Graphics& g, const gdiplus::RectF& p, TFillRoundingType t, bool mirror,
                         const Alphas& a) const;
    void PaintBorder(gdiplus::Graphics& g, const gdiplus::RectF& r, int borderAlpha) const;
    void PaintGlow(gdiplus::Graphics& g, const gdiplus::RectF& r) const;
    void PaintFocus(gdiplus::Graphics& g, int alpha) const;
    void PaintBackGroundPicture(gdiplus::Graphics& g, const gdiplus::RectF& r) const;
    void PaintPicture(gdiplus::Graphics& g, const gdiplus::RectF& r) const;

    TColor FColor = 0xC0C0C0;
    TColor FColorTo = 0x808080;
    TColor FColorMirror = clNone;
    TColor FColorMirrorTo = clNone;
    TAdvGradientType FGradientType = gtVertical;
    TAdvGradientType FGradientMirrorType = gtSolid;
    lumora::HatchStyle FHatchStyle = HatchStyleHorizontal;
    lumora::HatchStyle FHatchStyleMirror = HatchStyleHorizontal;
    TFillPictureMode FBackGroundPictureMode = pmOutsideFill;
    std::unique_ptr<TAdvGDIPPicture> FBackGroundPicture;
    TFillPicturePosition FBackGroundPicturePosition = ppTopLeft;
    int FBackGroundPictureLeft = 0;
    int FBackGroundPictureTop = 0;
    std::unique_ptr<TAdvGDIPPicture> FPicture;
    TFillPicturePosition FPicturePosition = ppTopLeft;
    int FPictureLeft = 0;
    int FPictureTop = 0;
    TFillPictureSize FPictureSize = psOriginal;
    int FPictureWidth = 50;
    int FPictureHeight = 50;
    int FOpacity = 255;
    int FOpacityTo = 255;
    int FOpacityMirror = 255;
    int FOpacityMirrorTo = 255;
    TColor FBorderColor = clNone;
    int FBorderOpacity = 255;
    int FBorderWidth = 1;
    int FRounding = 0;
    TFillRoundingType FRoundingType = rtBoth;
    TColor FShadowColor = 0x808080;
    int FShadowOffset = 0;
    int FAngle = 0;
    TGlowMode FGlow = gmNone;
    TColor FGlowGradientColor = 0xFFFFFF;
    TColor FGlowRadialColor = 0xFFFFFF;

    bool FFocus = false;
    TColor FFocusColor = 0;
    gdiplus::RectF FFocusRect;
};

} // namespace lumora
