#pragma once

#include "controls/picture/PictureData.h"
#include "platform/framework/Colors.h"

#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

class QIcon;
class QPainter;

namespace lumora {

namespace gdiplus {
class Graphics;
}

// How a bitmap's transparent colour is chosen: the bottom-left pixel's colour
// (tmAuto) or TransparentColor (tmFixed).
enum TTransparentMode { tmAuto, tmFixed };

// The image type of the smooth controls (a button's or caption's picture, an
// image list item, a fill's pictures): the bytes of an image file, decoded
// only to measure or draw it. Loading a file reads its size from the file
// header without decoding.
class TAdvGDIPPicture : public TPictureData {
public:
    TAdvGDIPPicture() = default;

    // Copies from a source by its kind. nullptr empties the image and fires
    // OnChange and OnClear; another TAdvGDIPPicture is copied byte for byte;
    // any other object leaves the bytes but marks the image empty, silently.
    void Assign(const TObject* Source);
    // A bitmap is stored in BMP form.
    void Assign(const QImage& Bitmap);
    // An icon is stored in icon form, at its largest size.
    void Assign(const QIcon& Icon);

    // Reads the whole file and takes the size from its header, by the file's
    // extension (see ImageHeader.h). A missing or unreadable file leaves the
    // image empty without a message.
    void LoadFromFile(const QString& FileName);

    // For pictures much larger than they are shown: decodes a JPEG straight
    // at the size `sizeFor` gives for its own size, taking that size and the
    // pixel layout from the file's header, so the whole picture is never
    // decoded or held. nullptr (and nothing recorded) for other formats, for
    // a size that is not smaller, or when the decode fails.
    std::unique_ptr<gdiplus::Image> DecodeScaledDown(const std::function<QSize(QSize)>& sizeFor);
    // Copies the whole stream; a null or empty stream does nothing.
    void LoadFromStream(QIODevice* Stream);
    // The form definition's raw bytes; a null or empty stream is ignored.
    void ReadData(QIODevice* Stream);

    // Draws on a plain canvas: a BMP unscaled at Rect's top-left with its
    // bottom-left pixel's colour transparent, anything else scaled into Rect.
    void Draw(QPainter& Canvas, const QRect& Rect);

    // Draws through the drawing layer. A BMP with Transparent set is drawn at
    // its own size at Rect's top-left, its key colour left out; anything else
    // is scaled into Rect. A null surface or an empty image draws nothing.
    void GPDraw(gdiplus::Graphics* Graphics, const QRect& Rect);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value) { FTransparentMode = value; }
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor value) { FTransparentColor = value; }

    // What the last GPDraw found in the image, kept for callers.
    bool HasAlpha() const { return FHasAlpha; }
    bool HasPalette() const { return FHasPalette; }
    int BitsPerPixel() const { return FBitsPerPixel; }
    int PixelFormat() const { return FPixelFormat; }

private:
    void RecordImageInfo(const QImage& image);

    bool FTransparent = false;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clWhite;
    bool FHasAlpha = false;
    bool FHasPalette = false;
    int FBitsPerPixel = 0;
    int FPixelFormat = 0;
};

} // namespace lumora
