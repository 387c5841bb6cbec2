#pragma once

#include "controls/picture/PictureData.h"

#include <QRect>

class QPainter;

namespace lumora {

// The image held by the picture control: the bytes of an image file, decoded
// only to measure or draw it.
class TGDIPPicture : public TPictureData {
public:
    TGDIPPicture() = default;

    // Copies from a source by its kind. nullptr empties the image and fires
    // OnChange and OnClear; another TGDIPPicture is copied byte for byte; any
    // other object leaves the bytes but marks the image empty, silently.
    void Assign(const TObject* Source);
    // A bitmap is stored in BMP form.
    void Assign(const QImage& Bitmap);

    // Reads the whole file and measures it by decoding. A missing or
    // unreadable file leaves the image empty without a message.
    void LoadFromFile(const QString& FileName);
    // Copies the whole stream; a null stream does nothing.
    void LoadFromStream(QIODevice* Stream);
    // The form definition's raw bytes; a null stream is ignored.
    void ReadData(QIODevice* Stream);

    // The file the image was last read from; empty when it came from a
    // stream, a bitmap or a failed load. A screen reader names the picture
    // by it.
    const QString& FileName() const { return FFileName; }

    // Draws the image scaled into Rect. A BMP is drawn with its bottom-left
    // pixel's colour made transparent.
    void Draw(QPainter& Canvas, const QRect& Rect);

private:
    QString FFileName;
};

} // namespace lumora
