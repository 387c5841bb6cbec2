#pragma once

#include "platform/framework/Events.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>

class QIODevice;

namespace lumora {

namespace gdiplus {
class Image;
}

// The format number of an image's decoded data, as the image format test
// reports it.
enum TPictureFormat {
    pfUnknown = 0,
    pfMemoryBMP = 1,
    pfBMP = 2,
    pfEMF = 3,
    pfWMF = 4,
    pfJPEG = 5,
    pfPNG = 6,
    pfGIF = 7,
    pfTIFF = 8,
    pfEXIF = 9,
    pfIcon = 10,
};

// What the two image classes share: an image kept as the undecoded bytes of
// its file, decoded only when it is measured or drawn. The decoded image is
// kept until the bytes change, so repeated paints do not decode again.
class TPictureData : public TObject {
public:
    TPictureData(const TPictureData&) = delete;
    TPictureData& operator=(const TPictureData&) = delete;

    bool Empty() const { return FEmpty; }
    // The size found by the last measurement or draw; 0 before.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The size is the image's own: setting it does nothing.
    void SetWidth(int) {}
    void SetHeight(int) {}

    // The file's bytes, exactly as read.
    const QByteArray& Data() const { return FData; }

    // Writes the bytes unchanged; a null stream does nothing.
    void SaveToStream(QIODevice* Stream) const;
    // The form definition stores the image as its raw bytes.
    void WriteData(QIODevice* Stream) const { SaveToStream(Stream); }

    // Decodes and stores the image's size; true when the size was found.
    bool Measure();

    // The image format test: the format of the decoded data, pfUnknown when
    // it cannot be decoded.
    TPictureFormat ImageFormat() const;

    // The decoded image, or nullptr when empty or undecodable. Owned by this
    // object and valid until the bytes change. Running out of memory while
    // decoding raises Exception "Could not allocate memory for image".
    const gdiplus::Image* Image() const;
    // The pixel layout the file itself holds (palette, depth, alpha), as
    // its decoder reports it; Format_Invalid when it cannot be decoded.
    QImage::Format FileFormat() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnClear;

protected:
    TPictureData();
    ~TPictureData() override;

    // The Assign rules both image classes share. `sameKind` is `source` when
    // it is an image of the caller's own class, else null. A null source
    // empties the image and fires OnChange and OnClear; one of the same kind
    // is copied byte for byte; any other object leaves the bytes but marks the
    // image empty, silently.
    void AssignPicture(const TObject* source, const TPictureData* sameKind);
    // Stores a bitmap in BMP form, fires OnChange and measures it.
    void AssignBitmap(const QImage& bitmap);

    // Replaces the bytes and drops the decoded image.
    void SetData(QByteArray data);
    void SetEmpty(bool empty) { FEmpty = empty; }
    void SetSize(int width, int height);

    void Changed() { Fire(OnChange, this); }
    void Cleared() { Fire(OnClear, this); }

    // Reads a whole picture file. A missing, unreadable or unreasonably large
    // file gives nullopt, and so does one whose header states more pixels
    // than a picture may have (gdiplus::kMaxPicturePixels): that one is named
    // on standard error with its size, once. The caller decides what nullopt
    // means.
    static std::optional<QByteArray> ReadFile(const QString& fileName);
    // Reads a stream's whole content, from its start when it can seek.
    static QByteArray ReadStream(QIODevice* stream);

    // After a load fails: forget the bytes and the size and tell the owner
    // when the image was showing something.
    void LoadFailed();

private:
    struct Decoded {
        std::unique_ptr<gdiplus::Image> image; // null when undecodable
        TPictureFormat format = pfUnknown;
        QImage::Format fileFormat = QImage::Format_Invalid;
    };
    const Decoded& Decode() const;

    QByteArray FData;
    bool FEmpty = true;
    int FWidth = 0;
    int FHeight = 0;
    mutable std::optional<Decoded> FDecoded;
};

// A QImage whose pixels of the key colour (RGB compared exactly, alpha
// ignored) are made fully transparent.
QImage ColorKeyed(const QImage& image, QRgb key);

} // namespace lumora
