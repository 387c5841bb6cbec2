#pragma once

#include "platform/framework/Component.h"
#include "platform/framework/Font.h"
#include "platform/framework/Types.h"

#include <QWidget>

#include <functional>

namespace lumora {

namespace gdiplus {
class Graphics;
}

// A QWidget that is also a component: controls derive from it (or mix
// TComponent into their own QWidget base the same way). The owner is the
// parent widget when that is a component, so a control placed on a form
// takes part in the form's loading.
//
// Qt's paint, mouse, key and focus events arrive here and are handed on in
// the control's own terms: a control overrides MouseDown, PaintTo and the
// like instead of the Qt event functions. An input handler the control does
// not override leaves its event to QWidget, as if the control had no
// handler for it at all (the event then goes on to the parent).
class TCustomControl : public QWidget, public TComponent {
public:
    explicit TCustomControl(QWidget* parent = nullptr);

    // Input in the control's own terms, with coordinates in the control.
    virtual void MouseDown(Qt::MouseButton button, int x, int y);
    virtual void MouseMove(int x, int y);
    virtual void MouseUp(Qt::MouseButton button, int x, int y);
    virtual void KeyDown(int key);

    // Paints the whole control on a surface of its size; a paint event
    // hands it the widget's own painter. The default paints nothing.
    virtual void PaintTo(gdiplus::Graphics& g);

protected:
    // True from a focus-in event to the next focus-out, as seen by the
    // focus events below (a control that overrides them calls them).
    bool Focused() const { return focused_; }
    // For a control that shows itself focused before the focus event comes
    // (a click that is about to take the focus).
    void SetFocused(bool value) { focused_ = value; }

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Runs an input handler; false when it was one of the defaults above.
    template <typename Handler>
    bool Handled(Handler&& handler);
    void NotHandled() { notHandled_ = true; }

    bool focused_ = false;
    bool notHandled_ = false;
};

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// Base of the program's windows. Positions and sizes are given in design
// units (pixels at 120 pixels per inch) and scaled to the screen's pixels
// per inch, so the window keeps its proportions on any screen.
//
// Building a form: BeginLoading(), create the components with the form as
// owner, set their properties, then EndLoading(): every component's Loaded()
// runs in creation order, then OnCreate.
class TForm : public QWidget, public TComponent {
public:
    static constexpr int DesignPixelsPerInch = 120;

    // screenPixelsPerInch 0 asks the primary screen.
    explicit TForm(QWidget* parent = nullptr, int screenPixelsPerInch = 0);

    // The screen's pixels per inch that the form is scaled to.
    int PixelsPerInch() const { return screenPpi_; }

    // A design length in screen pixels, rounded half away from zero.
    int Scale(int designValue) const;
    QRect ScaleRect(int left, int top, int width, int height) const;
    // Places a child at a design rectangle.
    void PlaceControl(QWidget* control, int left, int top, int width, int height) const;
    // Sets the client area from design units.
    void SetClientSize(int width, int height);
    // Converts a font whose height was given in design pixels.
    void ScaleFont(TFont& font) const;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    // The form's own font (design height scaled); applied to the widget.
    TFont& Font() { return font_; }
    void SetFont(const TFont& font) { font_.Assign(font); }

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // Places the window in the middle of the primary screen.
    void CenterOnScreen();

    TNotifyEvent OnCreate;
    // Closing asks OnClose with caHide preset: caHide hides, caNone keeps
    // the window, caMinimize minimises it, caFree destroys it later.
    TCloseEvent OnClose;

protected:
    void Loaded() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ApplyColor();

    int screenPpi_;
    TFont font_;
    TColor color_ = clBtnFace;
};

// The primary screen's logical pixels per inch (96 without a screen).
int PrimaryScreenPixelsPerInch();

} // namespace lumora
