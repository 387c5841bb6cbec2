#include "GalleryPage.h"

#include "controls/fill/GDIPFill.h"
#include "platform/gdiplus/Graphics.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <memory>
#include <vector>

using namespace lumora;

namespace {

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void LoadPng(TAdvGDIPPicture& picture, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    picture.LoadFromStream(&buffer);
}

QImage Badge()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 140, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 14, 14);
    return image;
}

// A sheet of fills, each on its own 120 x 40 rect.
class FillSheet : public QWidget {
public:
    explicit FillSheet(QWidget* parent) : QWidget(parent)
    {
        add(); // the default

        auto& mirror = add();
        mirror.SetColor(0xF7F3EE);
        mirror.SetColorTo(0xE8DCCF);
        mirror.SetColorMirror(0xDDC9B4);
        mirror.SetColorMirrorTo(0xF3E9DF);
        mirror.SetGradientMirrorType(gtVertical);
        mirror.SetBorderColor(0x9C8A78);
        mirror.SetRounding(8);

        auto& shadow = add();
        shadow.SetColor(0xFFD2AF);
        shadow.SetColorTo(0xFFEFE3);
        shadow.SetShadowOffset(5);
        shadow.SetBorderColor(0xC0C0C0);
        shadow.SetRounding(6);

        auto& radial = add();
        radial.SetGradientType(gtRadial);
        radial.SetColor(0x00008B);
        radial.SetColorTo(0x4080FF);
        radial.SetColorMirror(0x000050);
        radial.SetColorMirrorTo(0x0000C0);
        radial.SetGradientMirrorType(gtRadial);
        radial.SetRounding(10);

        auto& hatch = add();
        hatch.SetGradientType(gtHatch);
        hatch.SetHatchStyle(HatchStyleDiagonalBrick);
        hatch.SetColor(0x606060);
        hatch.SetColorTo(0xE0E0E0);
        hatch.SetBorderColor(clBlack);
        hatch.SetRounding(8);

        auto& glow = add();
        glow.SetColor(0x804000);
        glow.SetColorTo(0xC08040);
        glow.SetGlow(gmRadialGradient);
        glow.SetRounding(8);

        auto& thumb = add();
        thumb.SetColor(clWhite);
        thumb.SetColorTo(clWhite);
        thumb.SetOpacityTo(0);
        thumb.SetGradientType(gtForwardDiagonal);
        thumb.SetBorderColor(0x808080);
        thumb.SetRounding(10);

        auto& focus = add();
        focus.SetColor(0xE0E0E0);
        focus.SetColorTo(clNone);
        focus.SetBorderColor(0x808080);
        focus.SetFocus(true);
        focus.SetPicturePosition(ppCenterRight);
        LoadPng(*focus.Picture(), Png(Badge()));

        auto& texture = add();
        texture.SetGradientType(gtTexture);
        texture.SetBackGroundPicturePosition(ppTiled);
        QImage tile(8, 8, QImage::Format_RGB32);
        tile.fill(QColor(230, 230, 250));
        for (int i = 0; i < 8; ++i)
            tile.setPixel(i, i, qRgb(120, 120, 200));
        LoadPng(*texture.BackGroundPicture(), Png(tile));
        texture.SetBorderColor(0x806060);
        texture.SetRounding(4);

        setFixedSize(3 * kCellWidth, int((fills_.size() + 2) / 3) * kCellHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        gdiplus::Graphics g(&painter);
        g.SetSmoothingMode(gdiplus::SmoothingModeAntiAlias);
        for (std::size_t i = 0; i < fills_.size(); ++i) {
            const auto x = gdiplus::REAL(int(i % 3) * kCellWidth + 5);
            const auto y = gdiplus::REAL(int(i / 3) * kCellHeight + 5);
            fills_[i]->Fill(&g, gdiplus::RectF(x, y, 120, 40));
        }
    }

private:
    static constexpr int kCellWidth = 130;
    static constexpr int kCellHeight = 50;

    TGDIPFill& add()
    {
        fills_.push_back(std::make_unique<TGDIPFill>());
        return *fills_.back();
    }

    std::vector<std::unique_ptr<TGDIPFill>> fills_;
};

} // namespace

// Default, two-part glass, shadow, radial, hatch, glow, track-bar thumb,
// focus with a picture, tiled texture.
static const GalleryPage page("Fills", 10, [](QWidget* parent) { return new FillSheet(parent); });
