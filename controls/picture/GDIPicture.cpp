#include "controls/picture/GDIPicture.h"

#include "platform/gdiplus/Image.h"

#include <QPainter>

namespace lumora {

void TGDIPPicture::Assign(const TObject* Source)
{
    const auto* same = dynamic_cast<const TGDIPPicture*>(Source);
    FFileName = same ? same->FFileName : QString();
    AssignPicture(Source, same);
}

void TGDIPPicture::Assign(const QImage& Bitmap)
{
    FFileName.clear();
    AssignBitmap(Bitmap);
}

void TGDIPPicture::LoadFromFile(const QString& FileName)
{
    std::optional<QByteArray> bytes = ReadFile(FileName);
    if (!bytes) {
        FFileName.clear();
        LoadFailed();
        return;
    }
    FFileName = FileName;
    SetData(std::move(*bytes));
    SetEmpty(false);
    Cleared();
    if (!Measure())
        SetSize(0, 0);
    Changed();
}

void TGDIPPicture::LoadFromStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    FFileName.clear();
    SetData(ReadStream(Stream));
    SetEmpty(false);
    if (!Measure())
        SetSize(0, 0);
    Changed();
}

void TGDIPPicture::ReadData(QIODevice* Stream)
{
    if (!Stream)
        return;
    FFileName.clear();
    SetData(ReadStream(Stream));
    SetEmpty(false);
}

void TGDIPPicture::Draw(QPainter& Canvas, const QRect& Rect)
{
    const gdiplus::Image* decoded = Image();
    if (!decoded)
        return;
    const QImage& image = decoded->ToQImage();
    if (ImageFormat() == pfBMP) {
        // A bitmap drawn the plain way: stretched pixel by pixel, its
        // bottom-left colour transparent.
        Canvas.drawImage(Rect, ColorKeyed(image, image.pixel(0, image.height() - 1)));
        return;
    }
    SetSize(image.width(), image.height());
    Canvas.save();
    Canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    Canvas.drawImage(Rect, image);
    Canvas.restore();
}

} // namespace lumora
