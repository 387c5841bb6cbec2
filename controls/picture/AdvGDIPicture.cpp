#include "controls/picture/AdvGDIPicture.h"

#include "controls/access/AccessibleControls.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace lumora::AdvGDIPicture {

namespace {

// Packed version number: one byte per part, most significant first.
constexpr unsigned kVersion = 0x01000200;

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

TMouseButton Button(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return mbLeft;
    }
}

TShiftState Shift(const QMouseEvent& event)
{
    TShiftState shift = 0;
    const Qt::KeyboardModifiers keys = event.modifiers();
    const Qt::MouseButtons buttons = event.buttons();
    if (keys & Qt::ShiftModifier)
        shift |= ssShift;
    if (keys & Qt::AltModifier)
        shift |= ssAlt;
    if (keys & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    if (event.type() == QEvent::MouseButtonDblClick)
        shift |= ssDouble;
    return shift;
}

} // namespace

QRect PictureDrawRect(QSize ImageSize, QSize ClientSize, bool Stretch, bool Proportional, bool Center)
{
    const int w = ImageSize.width();
    const int h = ImageSize.height();
    const int width = ClientSize.width();
    const int height = ClientSize.height();
    if (Stretch && Proportional) {
        QSize drawn(w, h);
        if (w > 0 && h > 0) {
            // Fit the side that limits the scale, so the image never spills
            // out of a control that is not square.
            if (double(height) / h * w <= width)
                drawn = QSize(RoundHalfEven(double(height) / h * w), height);
            else
                drawn = QSize(width, RoundHalfEven(double(width) / w * h));
        }
        QPoint origin(0, 0);
        if (Center) {
            origin.setX(drawn.width() < width ? (width - drawn.width()) / 2 : 0);
            origin.setY(drawn.height() < height ? (height - drawn.height()) / 2 : 0);
        }
        return QRect(origin, drawn);
    }
    if (Stretch)
        return QRect(QPoint(0, 0), ClientSize);
    if (Center)
        return QRect(QPoint(w < width ? (width - w) / 2 : 0, h < height ? (height - h) / 2 : 0), ImageSize);
    return QRect(QPoint(0, 0), ImageSize);
}

TAdvGDIPPicture::TAdvGDIPPicture(QWidget* parent) : QWidget(parent), FPicture(std::make_unique<TGDIPPicture>())
{
    resize(100, 100);
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    FPicture->OnClear = [this](TObject*) { update(); };
}

TAdvGDIPPicture::~TAdvGDIPPicture()
{
    FPicture->OnChange = nullptr;
    FPicture->OnClear = nullptr;
}

void TAdvGDIPPicture::SetPicture(const TGDIPPicture* Value)
{
    if (Value == FPicture.get())
        return;
    FPicture->Assign(Value);
    update();
}

void TAdvGDIPPicture::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    if (FAutoSize)
        ApplyAutoSize();
}

void TAdvGDIPPicture::SetCenter(bool Value)
{
    FCenter = Value;
    update();
}

void TAdvGDIPPicture::SetStretch(bool Value)
{
    FStretch = Value;
    update();
}

void TAdvGDIPPicture::SetProportional(bool Value)
{
    FProportional = Value;
    update();
}

QString TAdvGDIPPicture::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(kVersion >> 24 & 0xFF)
        .arg(kVersion >> 16 & 0xFF)
        .arg(kVersion >> 8 & 0xFF)
        .arg(kVersion & 0xFF);
}

QRect TAdvGDIPPicture::DrawRect() const
{
    return PictureDrawRect(QSize(FPicture->Width(), FPicture->Height()), size(), FStretch, FProportional, FCenter);
}

void TAdvGDIPPicture::PictureChanged()
{
    if (FAutoSize && !FPicture->Empty())
        ApplyAutoSize();
    update();
    // A screen reader names the picture by what it shows.
    AnnounceNameChanged(this);
}

void TAdvGDIPPicture::ApplyAutoSize()
{
    if (FPicture->Measure())
        resize(FPicture->Width(), FPicture->Height());
}

void TAdvGDIPPicture::paintEvent(QPaintEvent*)
{
    if (FPicture->Empty())
        return;
    FPicture->Measure();
    QPainter painter(this);
    FPicture->Draw(painter, DrawRect());
}

void TAdvGDIPPicture::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Fire(OnMouseDown, this, Button(event->button()), Shift(*event), at.x(), at.y());
    QWidget::mousePressEvent(event);
}

void TAdvGDIPPicture::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Fire(OnMouseMove, this, Shift(*event), at.x(), at.y());
    QWidget::mouseMoveEvent(event);
}

void TAdvGDIPPicture::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    Fire(OnMouseUp, this, Button(event->button()), Shift(*event), at.x(), at.y());
    if (event->button() == Qt::LeftButton && rect().contains(at))
        Fire(OnClick, this);
    QWidget::mouseReleaseEvent(event);
}

void TAdvGDIPPicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Fire(OnDblClick, this);
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace lumora::AdvGDIPicture
