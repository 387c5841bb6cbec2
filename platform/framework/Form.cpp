#include "platform/framework/Form.h"

#include "platform/framework/SysUtils.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include <cmath>

namespace lumora {

TCustomControl::TCustomControl(QWidget* parent) : QWidget(parent), TComponent(dynamic_cast<TComponent*>(parent)) {}

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
