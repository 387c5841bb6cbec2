#pragma once

#include "controls/fill/GDIPFill.h"
#include "platform/framework/Colors.h"
#include "platform/framework/Font.h"
#include "platform/framework/Persistent.h"
#include "platform/framework/Types.h"

#include <QPoint>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>

namespace lumora {

namespace gdiplus {
class Graphics;
class GraphicsPath;
} // namespace gdiplus

class TAdvGDIPPicture;

// Where a button's picture sits relative to its caption.
enum TGDIPButtonLayout { blPictureLeft, blPictureRight, blPictureBottom, blPictureTop, blNone };

// Lets the owner decide whether the appearance font is stored with the form.
using TFontStoredEvent = std::function<void(TObject* Sender, bool& IsStored)>;

// ---------------------------------------------------------------------------
// Face geometry: every number the face painting uses, computed once from the
// button's size and insets so that painting and tests read the same values.
// ---------------------------------------------------------------------------
struct TButtonFaceGeometry {
    static constexpr int kCornerRadius = 8;      // outer corners of the two halves
    static constexpr int kShadowRadius = 8;      // corners of the drop shadow
    static constexpr int kBevelRadius = 7;       // corners of the bevel ring
    static constexpr int kShadowShrinkWidth = 6; // the face gives the shadow this much room
    static constexpr int kShadowShrinkHeight = 4;

    bool HasShadow = false;
    QRectF ShadowRect;     // the drop shadow's outline, before the face shrinks

    int Width = 0;         // W after the shadow took its room
    int Height = 0;        // H after the shadow took its room
    int HSpacing = 0;      // hs
    int VSpacing = 0;      // vs
    int Left = 0;          // B, the face's left edge
    int FaceHeight = 0;    // F
    int CurveHeight = 0;   // G, the dip of the seam's curve
    int FaceWidth = 0;     // D
    int MidLine = 0;       // M

    QRectF SeamBand;       // the dark band behind the seam

    // The rectangle both halves are cut from: Left = B, Top = vs,
    // Right = W - hs - 1, Bottom = M.
    TRect Shape;
    int LowerBottom = 0;   // 2M - vs, the lower half's bottom edge

    // The seam curve: an arc of a circle through the mid line.
    int ArcRadius = 0;     // R, rounded
    QRectF ArcSquare;      // 2R x 2R, bottom on the mid line, centred on the chord
    double ArcHalfAngle = 0; // a: the arc spans 90 - a .. 90 + a degrees

    QRectF LowerGradient;  // vertical gradient box of the lower half
    QRectF UpperGradient;  // vertical gradient box of the upper half

    QRectF BevelOuter;     // outer and inner outline of the bevel ring
    QRectF BevelInner;

    bool HasCurve() const { return CurveHeight > 0; }
};

TButtonFaceGeometry ButtonFaceGeometry(int width, int height, int hSpacing, int vSpacing, bool shadow);

// What the caption and picture layout needs besides the face geometry.
struct TButtonContentOptions {
    bool Pressed = false;
    int ShiftDown = 1;
    int Spacing = 3;
    TGDIPButtonLayout Layout = blPictureLeft;
    TAlignment PictureAlignment = taRightJustify;
    QSize Picture;        // (0, 0) when there is no picture or it is empty

    bool HasPicture() const { return Picture.width() > 0 && Picture.height() > 0; }
};

// The rectangle the caption is measured in (P).
QRectF ButtonContentRect(const TButtonFaceGeometry& g, const TButtonContentOptions& o);

struct TButtonContentPlacement {
    QRectF CaptionRect;   // where the caption is drawn (alignment applies inside it)
    QPoint PictureAt;     // top-left of the picture, drawn at its own size
};

// Places caption and picture. `measured` is the caption's measured size in
// ButtonContentRect; `hasCaption` false means the caption is empty and only
// the picture is placed.
TButtonContentPlacement PlaceButtonContent(const TButtonFaceGeometry& g, const TButtonContentOptions& o,
                                           const QRectF& content, bool hasCaption, QSizeF measured);

// ---------------------------------------------------------------------------
// TGDIPButton: the appearance of a push button and the painting of its face.
// ---------------------------------------------------------------------------
class TGDIPButton : public TPersistent {
public:
    TGDIPButton();
    TGDIPButton(const TGDIPButton&) = delete;
    TGDIPButton& operator=(const TGDIPButton&) = delete;

    void Assign(const TPersistent& source) override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    TAlignment PictureAlignment() const { return pictureAlignment_; }
    void SetPictureAlignment(TAlignment value);

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);

    TGDIPButtonLayout Layout() const { return layout_; }
    void SetLayout(TGDIPButtonLayout value);

    int Spacing() const { return spacing_; }
    void SetSpacing(int value);

    int ShiftDown() const { return shiftDown_; }
    void SetShiftDown(int value);

    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor value);

    // Whether the font is stored with the form: the owner may say no.
    bool IsFontStored();

    TNotifyEvent OnFontChange;
    TFontStoredEvent OnIsFontStored;

    // Paints the whole face into (0, 0, width, height). `downColor` clNone
    // derives the pressed colour from `color`. See the .cpp for the steps.
    void DrawFace(gdiplus::Graphics& graphics, const QString& caption, TAdvGDIPPicture* picture,
                  bool bevel, bool pressed, bool shadow, TColor bevelColor, TColor color, int hSpacing,
                  int vSpacing, int height, int width) const;

    // Stops the font's change notification reaching this object; the owner
    // uses this to copy its parent's font without it counting as a change.
    void DetachFontChange();
    void AttachFontChange();

private:
    void FontChanged();
    void DrawCaptionAndPicture(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, const QString& caption,
                               TAdvGDIPPicture* picture, bool pressed) const;

    TAlignment alignment_ = taCenter;
    TAlignment pictureAlignment_ = taRightJustify;
    TFont font_;
    TGDIPButtonLayout layout_ = blPictureLeft;
    int spacing_ = 3;
    int shiftDown_ = 1;
    TColor focusColor_ = clBlack;
};

// The face colour after the pressed rule: the down colour when given, else
// the colour darkened through HSV; the colour itself when not pressed.
TColor ButtonFaceColor(TColor color, bool pressed, TColor downColor = clNone);

// The two glassy halves of the face; both empty when the face is too low for
// a seam curve.
// The drawing steps of the face, in the order DrawFace runs them.
// Soft drop shadow below and right of the face (only when g.HasShadow).
void PaintButtonShadow(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TFillRoundingType rounding);
// Dark band behind the seam; it shows through along the curve.
void PaintButtonSeamBand(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor face);
// The two glassy halves with their vertical gradients.
void PaintButtonLowerHalf(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor face);
void PaintButtonUpperHalf(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor face);
// Two-pixel translucent ring just inside the face.
void PaintButtonBevel(gdiplus::Graphics& graphics, const TButtonFaceGeometry& g, TColor bevelColor,
                      TFillRoundingType rounding);

std::unique_ptr<gdiplus::GraphicsPath> ButtonUpperShape(const TButtonFaceGeometry& g);
std::unique_ptr<gdiplus::GraphicsPath> ButtonLowerShape(const TButtonFaceGeometry& g);

} // namespace lumora
