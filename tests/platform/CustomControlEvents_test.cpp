// TCustomControl hands Qt's events to the control's own handlers; what a
// control does not handle must still go on to the parent, as it did when
// each control forwarded its own events.

#include "platform/framework/Form.h"
#include "platform/gdiplus/Graphics.h"

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace lumora;

namespace {

// Records the input that reaches it from its children.
class Parent : public QWidget {
public:
    std::vector<QString> log;

protected:
    void mousePressEvent(QMouseEvent*) override { log.push_back("parent press"); }
    void mouseMoveEvent(QMouseEvent*) override { log.push_back("parent move"); }
    void mouseReleaseEvent(QMouseEvent*) override { log.push_back("parent release"); }
    void keyPressEvent(QKeyEvent*) override { log.push_back("parent key"); }
};

// Handles the mouse itself and leaves the keys to the default.
class MouseOnly : public TCustomControl {
public:
    using TCustomControl::Focused;
    using TCustomControl::TCustomControl;

    std::vector<QString> log;
    bool keyFromMouseDown = false;

    void MouseDown(Qt::MouseButton button, int x, int y) override
    {
        log.push_back(QStringLiteral("down %1 %2,%3").arg(int(button)).arg(x).arg(y));
        if (keyFromMouseDown) {
            // A second event while the first is still being handled.
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, {});
            QApplication::sendEvent(this, &key);
        }
    }
    void MouseMove(int x, int y) override { log.push_back(QStringLiteral("move %1,%2").arg(x).arg(y)); }
    void MouseUp(Qt::MouseButton button, int x, int y) override
    {
        log.push_back(QStringLiteral("up %1 %2,%3").arg(int(button)).arg(x).arg(y));
    }
    void PaintTo(gdiplus::Graphics& g) override
    {
        gdiplus::SolidBrush red(gdiplus::Color(255, 255, 0, 0));
        g.FillRectangle(&red, 0, 0, 2, 2);
    }
};

bool Mouse(QWidget& w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent e(type, at, w.mapToGlobal(at), Qt::LeftButton, held, {});
    QApplication::sendEvent(&w, &e);
    return e.isAccepted();
}

void Key(QWidget& w, int key)
{
    QKeyEvent e(QEvent::KeyPress, key, {});
    QApplication::sendEvent(&w, &e);
}

} // namespace

TEST(CustomControlEvents, UnhandledInputGoesOnToTheParent)
{
    Parent parent;
    auto* control = new TCustomControl(&parent);
    Mouse(*control, QEvent::MouseButtonPress, {3, 4});
    Mouse(*control, QEvent::MouseMove, {5, 6});
    Mouse(*control, QEvent::MouseButtonRelease, {5, 6});
    Key(*control, Qt::Key_Left);
    EXPECT_EQ(parent.log, (std::vector<QString>{"parent press", "parent move", "parent release", "parent key"}));
}

TEST(CustomControlEvents, HandledInputStaysWithTheControlInItsOwnTerms)
{
    Parent parent;
    auto* control = new MouseOnly(&parent);
    EXPECT_TRUE(Mouse(*control, QEvent::MouseButtonPress, {3, 4}));
    EXPECT_TRUE(Mouse(*control, QEvent::MouseMove, {5, 6}));
    EXPECT_TRUE(Mouse(*control, QEvent::MouseButtonRelease, {7, 8}));
    EXPECT_EQ(control->log, (std::vector<QString>{"down 1 3,4", "move 5,6", "up 1 7,8"}));
    // Keys it does not handle still reach the parent.
    Key(*control, Qt::Key_Left);
    EXPECT_EQ(parent.log, (std::vector<QString>{"parent key"}));

    // An unhandled event sent from inside a handler does not make the
    // outer, handled one look unhandled.
    parent.log.clear();
    control->keyFromMouseDown = true;
    EXPECT_TRUE(Mouse(*control, QEvent::MouseButtonPress, {1, 1}));
    EXPECT_EQ(parent.log, (std::vector<QString>{"parent key"}));
}

TEST(CustomControlEvents, PaintEventsDrawThroughPaintTo)
{
    MouseOnly control;
    control.resize(4, 4);
    QImage image(control.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    control.render(&image, {}, {}, QWidget::RenderFlags());
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(3, 3)), 0);
}

TEST(CustomControlEvents, FocusedFollowsTheFocusEvents)
{
    MouseOnly control;
    EXPECT_FALSE(control.Focused());
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&control, &in);
    EXPECT_TRUE(control.Focused());
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&control, &out);
    EXPECT_FALSE(control.Focused());
}
