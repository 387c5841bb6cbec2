#include "GalleryPage.h"

#include "controls/picture/AdvGDIPicture.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QWidget>

using namespace lumora;

namespace {

// A 100 x 50 picture: a sky with a sun, so scaling and placement show.
QByteArray Landscape()
{
    QImage image(100, 50, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 100, 35, QColor(120, 170, 230));
    p.fillRect(0, 35, 100, 15, QColor(70, 140, 60));
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(250, 210, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(70, 6, 16, 16);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

AdvGDIPicture::TAdvGDIPPicture* Picture(QWidget* parent, bool stretch, bool proportional, bool center)
{
    auto* control = new AdvGDIPicture::TAdvGDIPPicture(parent);
    QByteArray bytes = Landscape();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    control->Picture()->LoadFromStream(&buffer);
    control->SetStretch(stretch);
    control->SetProportional(proportional);
    control->SetCenter(center);
    control->setFixedSize(72, 72);
    return control;
}

} // namespace

// The main window's 72 x 72 picture (stretched, proportional, centred), then
// stretched without keeping the aspect, centred at natural size, and plain.
static const GalleryPage page("Pictures", 15, [](QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->addWidget(Picture(box, true, true, true));
    row->addWidget(Picture(box, true, false, false));
    row->addWidget(Picture(box, false, false, true));
    row->addWidget(Picture(box, false, false, false));
    return box;
});
