#include "controls/buttons/AdvSmoothButton.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QShortcutEvent>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

void Mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(w.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void Press(QWidget& w, Qt::MouseButton b, QPoint at = {10, 10}) { Mouse(w, QEvent::MouseButtonPress, b, at); }
void Release(QWidget& w, Qt::MouseButton b, QPoint at = {10, 10}) { Mouse(w, QEvent::MouseButtonRelease, b, at); }

void Key(QWidget& w, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &press);
}

void Enter(QWidget& w)
{
    QEnterEvent event(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(&w, &event);
}

void Leave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

void FocusIn(QWidget& w)
{
    QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&w, &event);
}

QImage Render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A button as the main window has them.
struct MainWindowButton {
    MainWindowButton()
    {
        button.SetCaption("Save Profile");
        button.SetColor(0xE3B28D);
        button.OnClick = [this](TObject* sender) {
            EXPECT_EQ(sender, static_cast<TObject*>(&button));
            ++clicks;
        };
        button.OnDblClick = [this](TObject*) { ++doubleClicks; };
    }
    TAdvSmoothButton button;
    int clicks = 0;
    int doubleClicks = 0;
};

} // namespace

TEST(ButtonBehaviour, DefaultsAndVersion)
{
    TAdvSmoothButton b;
    EXPECT_EQ(b.size(), QSize(120, 35));
    EXPECT_EQ(b.Color(), 0x808080);
    EXPECT_TRUE(b.Bevel());
    EXPECT_EQ(b.BevelColor(), clWhite);
    EXPECT_FALSE(b.Shadow());
    EXPECT_TRUE(b.ShowFocus());
    EXPECT_TRUE(b.TabStop());
    EXPECT_TRUE(b.ParentFont());
    EXPECT_EQ(b.HorizontalSpacing(), 5);
    EXPECT_FALSE(b.Status().Visible());
    EXPECT_EQ(b.Version(), "1.6.9.1");
    b.SetVersion("9.9.9.9");
    EXPECT_EQ(b.Version(), "1.6.9.1");
}

TEST(ButtonBehaviour, EveryReleaseClicksWhereverAndWhicheverButton)
{
    MainWindowButton m;
    // Released far outside: the button holds the mouse, so it still clicks.
    Press(m.button, Qt::LeftButton);
    Release(m.button, Qt::LeftButton, QPoint(500, 500));
    EXPECT_EQ(m.clicks, 1);
    // The right button clicks too.
    Press(m.button, Qt::RightButton);
    Release(m.button, Qt::RightButton);
    EXPECT_EQ(m.clicks, 2);
    EXPECT_FALSE(m.button.IsDown());
}

TEST(ButtonBehaviour, DoubleClickGivesTwoClicksAndOneDoubleClick)
{
    MainWindowButton m;
    Press(m.button, Qt::LeftButton);
    Release(m.button, Qt::LeftButton);
    Mouse(m.button, QEvent::MouseButtonDblClick, Qt::LeftButton, {10, 10});
    Release(m.button, Qt::LeftButton);
    EXPECT_EQ(m.clicks, 2);
    EXPECT_EQ(m.doubleClicks, 1);
}

TEST(ButtonBehaviour, SpaceAndEnterClickOtherKeysDoNot)
{
    MainWindowButton m;
    Key(m.button, Qt::Key_Space, " ");
    Key(m.button, Qt::Key_Return, "\r");
    Key(m.button, Qt::Key_Enter, "\r");
    Key(m.button, Qt::Key_A, "a");
    EXPECT_EQ(m.clicks, 3);
    // A key-press handler that swallows the key cancels the click.
    m.button.OnKeyPress = [](TObject*, QChar& key) { key = QChar(); };
    Key(m.button, Qt::Key_Space, " ");
    EXPECT_EQ(m.clicks, 3);
}

TEST(ButtonBehaviour, AcceleratorClicksAndReleasesLater)
{
    MainWindowButton m;
    m.button.SetCaption("&Save Profile");
    ASSERT_NE(m.button.AcceleratorId(), 0);
    auto shortcut = [&] {
        QShortcutEvent event(QKeySequence("Alt+S"), m.button.AcceleratorId());
        return QApplication::sendEvent(&m.button, &event);
    };
    // A hidden button cannot take the focus and leaves the letter alone.
    shortcut();
    EXPECT_EQ(m.clicks, 0);

    m.button.show();
    m.button.UpdateFaceCache();
    EXPECT_TRUE(shortcut());
    EXPECT_EQ(m.clicks, 1);
    EXPECT_TRUE(m.button.IsDown());
    EXPECT_TRUE(m.button.IsFaceCacheCurrent()); // this path keeps the face as it was
    QElapsedTimer clock;
    clock.start();
    while (m.button.IsDown() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(m.button.IsDown());
    EXPECT_GE(clock.elapsed(), 100);

    m.button.SetCaption("Save Profile");
    EXPECT_EQ(m.button.AcceleratorId(), 0);
}

TEST(ButtonBehaviour, ModalResultGoesToTheDialog)
{
    QDialog dialog;
    auto* button = new TAdvSmoothButton(&dialog);
    button->SetModalResult(QDialog::Accepted);
    dialog.setResult(0);
    button->Click();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}

TEST(ButtonBehaviour, HoverAndPressGiveThePressedLookUntilLeaving)
{
    MainWindowButton m;
    Enter(m.button);
    Press(m.button, Qt::LeftButton);
    EXPECT_TRUE(m.button.IsHovered());
    EXPECT_TRUE(m.button.IsDown());
    EXPECT_FALSE(m.button.IsFaceCacheCurrent());
    const QImage pressed = Render(m.button);
    Leave(m.button);
    EXPECT_FALSE(m.button.IsDown());
    EXPECT_FALSE(m.button.IsHovered());
    const QImage released = Render(m.button);
    EXPECT_NE(pressed, released);

    // Pressed only counts while hovered: down outside looks like idle.
    Press(m.button, Qt::LeftButton);
    EXPECT_TRUE(m.button.IsDown());
    EXPECT_EQ(Render(m.button), released);
}

TEST(ButtonBehaviour, DisabledPaintsTheFixedGreyWhateverTheColour)
{
    TAdvSmoothButton disabled, grey;
    disabled.SetColor(clRed);
    disabled.setEnabled(false);
    grey.SetColor(TAdvSmoothButton::kDisabledColor);
    EXPECT_EQ(Render(disabled), Render(grey));

    // A disabled button does not press.
    Press(disabled, Qt::LeftButton);
    EXPECT_FALSE(disabled.IsDown());
}

TEST(ButtonBehaviour, HiddenOrEmptyBadgeDoesNotInsetTheFace)
{
    TAdvSmoothButton plain, badged;
    badged.Status().SetVisible(true); // no caption, no picture: not shown
    EXPECT_EQ(badged.FaceHSpacing(), 0);
    EXPECT_EQ(Render(badged), Render(plain));
    EXPECT_EQ(Render(plain).pixelColor(2, 25).alpha(), 255);

    badged.Status().SetCaption("3");
    badged.Status().Appearance().Fill().SetColor(clRed);
    badged.Status().Appearance().Fill().SetGradientType(gtSolid);
    EXPECT_EQ(badged.FaceHSpacing(), 5);
    EXPECT_EQ(badged.FaceVSpacing(), 5);
    const QImage image = Render(badged);
    EXPECT_EQ(image.pixelColor(2, 25).alpha(), 0); // the face moved in by 5
    // The badge sits in the top right corner: red beside its text, below the gloss.
    const int size = badged.Status().Appearance().Height();
    ASSERT_GT(size, 10);
    EXPECT_EQ(badged.Status().Appearance().Width(), size);
    const QColor body = image.pixelColor(image.width() - size + 3, size / 2 + 3);
    EXPECT_GT(body.red(), 200);
    EXPECT_LT(body.green(), 80);
}

TEST(ButtonBehaviour, CacheIsRebuiltAtTheNewSizeBeforeItIsShown)
{
    TAdvSmoothButton b;
    b.UpdateFaceCache();
    EXPECT_TRUE(b.IsFaceCacheCurrent());
    b.resize(200, 40);
    const QImage image = Render(b);
    EXPECT_TRUE(b.IsFaceCacheCurrent());
    EXPECT_EQ(b.FaceCache().size(), QSize(200, 40));
    EXPECT_EQ(image.pixelColor(190, 20).alpha(), 255);
}

TEST(ButtonBehaviour, EveryChangeMarksTheCacheStaleAndPaintingMakesItCurrent)
{
    TAdvSmoothButton b;
    b.UpdateFaceCache();
    b.SetColor(b.Color());
    EXPECT_TRUE(b.IsFaceCacheCurrent()); // same value: nothing changed
    b.SetColor(clRed);
    EXPECT_FALSE(b.IsFaceCacheCurrent());
    b.UpdateFaceCache();
    b.Appearance().SetSpacing(9);
    EXPECT_FALSE(b.IsFaceCacheCurrent());
    b.UpdateFaceCache();
    b.Status().SetOffsetTop(2);
    EXPECT_FALSE(b.IsFaceCacheCurrent());
    b.UpdateFaceCache();
    b.SetModalResult(1); // stores only
    EXPECT_TRUE(b.IsFaceCacheCurrent());
}

TEST(ButtonBehaviour, FocusRingOnlyWithTabStopAndShowFocus)
{
    // Pixels of the left edge's two outer columns in the highlight colour
    // (within 40 per channel, for the anti-aliased border beneath).
    auto ringPixels = [](TAdvSmoothButton& b) {
        const QImage image = Render(b);
        const QColor mark = b.palette().color(QPalette::Active, QPalette::Highlight);
        int marked = 0;
        for (int y = 10; y < 25; ++y) {
            for (int x = 0; x < 2; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > 200 && std::abs(c.red() - mark.red()) < 40 && std::abs(c.green() - mark.green()) < 40 &&
                    std::abs(c.blue() - mark.blue()) < 40)
                    ++marked;
            }
        }
        return marked;
    };
    TAdvSmoothButton plain;
    EXPECT_EQ(ringPixels(plain), 0);

    TAdvSmoothButton focused;
    FocusIn(focused);
    EXPECT_TRUE(focused.HasFocusState());
    EXPECT_EQ(ringPixels(focused), 2 * 15) << "a solid line two pixels wide";

    focused.SetShowFocus(false);
    EXPECT_EQ(ringPixels(focused), 0);
    focused.SetShowFocus(true);
    focused.SetTabStop(false);
    EXPECT_EQ(ringPixels(focused), 0);
}

TEST(ButtonBehaviour, ColourStyles)
{
    TAdvSmoothButton b;
    b.ApplyColorStyle(0);
    EXPECT_EQ(b.Color(), 0xE3B28D);
    b.ApplyColorStyle(8);
    EXPECT_EQ(b.Color(), 0xE3B28D);
    b.ApplyColorStyle(12);
    EXPECT_EQ(b.Color(), clBtnFace);
    b.ApplyColorStyle(15);
    EXPECT_EQ(b.Color(), 0x919191);
    b.ApplyColorStyle(16);
    b.ApplyColorStyle(-1);
    EXPECT_EQ(b.Color(), 0x919191);
}

TEST(ButtonBehaviour, ParentFontIsCopiedUntilTheButtonGetsItsOwn)
{
    QWidget parent;
    QFont font("Liberation Serif");
    font.setPixelSize(17);
    parent.setFont(font);
    auto* b = new TAdvSmoothButton(&parent);
    EXPECT_EQ(b->Appearance().Font().Name(), "Liberation Serif");
    EXPECT_TRUE(b->ParentFont());

    font.setFamily("Liberation Mono");
    parent.setFont(font);
    EXPECT_EQ(b->Appearance().Font().Name(), "Liberation Mono");
    EXPECT_TRUE(b->ParentFont());

    b->Appearance().Font().SetName("Tahoma");
    EXPECT_FALSE(b->ParentFont());
    font.setFamily("Liberation Sans");
    parent.setFont(font);
    EXPECT_EQ(b->Appearance().Font().Name(), "Tahoma");
}
