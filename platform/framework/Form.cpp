#include "platform/framework/Form.h"

#include "platform/framework/SysUtils.h"
#include "platform/gdiplus/Graphics.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>

#include <cmath>
#include <utility>

namespace lumora {

TCustomControl::TCustomControl(QWidget* parent) : QWidget(parent), TComponent(dynamic_cast<TComponent*>(parent)) {}

void TCustomControl::MouseDown(Qt::MouseButton, int, int) { NotHandled(); }
void TCustomControl::MouseMove(int, int) { NotHandled(); }
void TCustomControl::MouseUp(Qt::MouseButton, int, int) { NotHandled(); }
void TCustomControl::KeyDown(int) { NotHandled(); }
void TCustomControl::PaintTo(gdiplus::Graphics&) {}

template <typename Handler>
bool TCustomControl::Handled(Handler&& handler)
{
    // Kept per call, so that a handler which sends another event to the
    // control does not mix up the two answers.
    const bool outer = std::exchange(notHandled_, false);
    handler();
    return !std::exchange(notHandled_, outer);
}

void TCustomControl::paintEvent(QPaintEvent*)
{
    // Widgets are transparent until painted, so whatever the control leaves
    // uncovered shows the parent without further work.
    QPainter painter(this);
    gdiplus::Graphics g(&painter);
    PaintTo(g);
}

void TCustomControl::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!Handled([&] { MouseDown(event->button(), p.x(), p.y()); }))
        QWidget::mousePressEvent(event);
}

void TCustomControl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!Handled([&] { MouseMove(p.x(), p.y()); }))
        QWidget::mouseMoveEvent(event);
}

void TCustomControl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!Handled([&] { MouseUp(event->button(), p.x(), p.y()); }))
        QWidget::mouseReleaseEvent(event);
}

void TCustomControl::keyPressEvent(QKeyEvent* event)
{
    if (!Handled([&] { KeyDown(event->key()); }))
        QWidget::keyPressEvent(event);
}

void TCustomControl::focusInEvent(QFocusEvent* event)
{
    focused_ = true;
    // Repaints, for the focus mark.
    QWidget::focusInEvent(event);
}

void TCustomControl::focusOutEvent(QFocusEvent* event)
{
    focused_ = false;
    QWidget::focusOutEvent(event);
}

int PrimaryScreenPixelsPerInch()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 96;
    const int ppi = int(std::lround(screen->logicalDotsPerInchX()));
    return ppi > 0 ? ppi : 96;
}

TForm::TForm(QWidget* parent, int screenPixelsPerInch)
    : QWidget(parent), TComponent(dynamic_cast<TComponent*>(parent)),
      screenPpi_(screenPixelsPerInch > 0 ? screenPixelsPerInch : PrimaryScreenPixelsPerInch()), font_(screenPpi_)
{
    font_.OnChange = [this](TObject*) { setFont(font_.ToQFont()); };
    setFont(font_.ToQFont());
    ApplyColor();
}

int TForm::Scale(int designValue) const { return MulDiv(designValue, screenPpi_, DesignPixelsPerInch); }

QRect TForm::ScaleRect(int left, int top, int width, int height) const
{
    return QRect(Scale(left), Scale(top), Scale(width), Scale(height));
}

void TForm::PlaceControl(QWidget* control, int left, int top, int width, int height) const
{
    if (control != nullptr)
        control->setGeometry(ScaleRect(left, top, width, height));
}

void TForm::SetClientSize(int width, int height) { resize(Scale(width), Scale(height)); }

void TForm::ScaleFont(TFont& font) const
{
    font.SetPixelsPerInch(screenPpi_);
    font.ScaleBy(screenPpi_, DesignPixelsPerInch);
}

void TForm::SetColor(TColor color)
{
    if (color_ == color)
        return;
    color_ = color;
    ApplyColor();
}

void TForm::ApplyColor()
{
    const TColor rgb = ColorToRGB(color_);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    setPalette(palette);
    setAutoFillBackground(true);
}

void TForm::CenterOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TForm::Loaded()
{
    TComponent::Loaded();
    Fire(OnCreate, this);
}

void TForm::closeEvent(QCloseEvent* event)
{
    TCloseAction action = caHide;
    Fire(OnClose, this, action);
    switch (action) {
    case caNone:
        event->ignore();
        break;
    case caHide:
        event->accept();
        break;
    case caMinimize:
        event->ignore();
        showMinimized();
        break;
    case caFree:
        event->accept();
        deleteLater();
        break;
    }
}

} // namespace lumora
