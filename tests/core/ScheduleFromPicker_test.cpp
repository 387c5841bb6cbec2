// "Schedule..." where the profiles are chosen: the profile picker's own menu
// (a right click, the Menu key, Shift+F10 in the picker) and the window's
// menu both offer it, choosing it from either opens the one schedule window
// and raises it when it is open already, and the picker keeps its editing
// commands.

#include "MainWindowStandIns.h"

#include "core/ProfilePickerMenu.h"
#include "core/ScheduleWindow.h"
#include "support/ActiveWindow.h"
#include "support/EventLoop.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

using namespace lumora;
using namespace lumora::testing;

namespace {

struct ScheduleFromPickerTest : StandInWindowTest {
    void SetUp() override
    {
        ShowActiveWindow();
        ASSERT_TRUE(PumpUntil([&] { return QApplication::activeWindow() == form.get(); }, 2000));
    }
    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMenu*>(w))
                w->hide();
    }
    TProfilePickerMenu* PickerMenu() { return Seam().ProfilePicker().findChild<TProfilePickerMenu*>(); }
    QList<TScheduleWindow*> ScheduleWindows() const
    {
        return form->findChildren<TScheduleWindow*>(QString(), Qt::FindDirectChildrenOnly);
    }
    static QStringList Texts(const QMenu* menu)
    {
        QStringList texts;
        for (const QAction* a : menu->actions())
            if (!a->isSeparator())
                texts << a->text();
        return texts;
    }
    static QAction* Item(const QMenu* menu, const QString& text)
    {
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
};

} // namespace

TEST_F(ScheduleFromPickerTest, RightClickMenuKeyAndShiftF10InThePickerOfferSchedule)
{
    TAdvSmoothImageListBoxPicker& picker = Seam().ProfilePicker();
    ASSERT_NE(PickerMenu(), nullptr);

    // A right click: "Schedule..." first, the text field's commands after it.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4), picker.mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(&picker, &click);
    QMenu* menu = PickerMenu()->Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    const QStringList texts = Texts(menu);
    ASSERT_GT(texts.size(), 1) << texts.join(", ").toStdString();
    EXPECT_EQ(texts.first(), "Schedule...");
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& t) { return t.contains("Copy"); }))
        << texts.join(", ").toStdString();
    EXPECT_EQ(menu->activeAction(), Item(menu, "Schedule...")) << "Enter chooses it at once";
    menu->close();
    ASSERT_TRUE(PumpUntil([&] { return PickerMenu()->Menu() == nullptr; }, 2000)) << "the closed menu goes";

    // The Menu key reaches the focused picker as a keyboard request.
    picker.setFocus();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0), picker.mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(&picker, &menuKey);
    ASSERT_NE(PickerMenu()->Menu(), nullptr);
    EXPECT_EQ(Texts(PickerMenu()->Menu()).first(), "Schedule...");
    PickerMenu()->Menu()->close();

    // Shift+F10 in the picker is the picker's menu, not the window's.
    QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::sendEvent(&picker, &shortcut);
    EXPECT_TRUE(shortcut.isAccepted()) << "the window's shortcut stands back";
    QKeyEvent shiftF10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::sendEvent(&picker, &shiftF10);
    ASSERT_NE(PickerMenu()->Menu(), nullptr);
    EXPECT_TRUE(PickerMenu()->Menu()->isVisible());
    EXPECT_TRUE(Seam().WindowMenu() == nullptr || !Seam().WindowMenu()->isVisible());
}

TEST_F(ScheduleFromPickerTest, ShiftF10ElsewhereStillOpensTheWindowsMenuWithSchedule)
{
    Seam().Gauge().setFocus();
    QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::sendEvent(&Seam().Gauge(), &shortcut);
    EXPECT_FALSE(shortcut.isAccepted()) << "only the picker takes Shift+F10 for itself";
    QKeyEvent shiftF10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
    QApplication::sendEvent(&Seam().Gauge(), &shiftF10);
    ASSERT_NE(Seam().WindowMenu(), nullptr);
    EXPECT_TRUE(Texts(Seam().WindowMenu()).contains("Schedule..."));
    EXPECT_EQ(PickerMenu()->Menu(), nullptr);
}

TEST_F(ScheduleFromPickerTest, ChoosingScheduleTwiceRaisesTheOneWindow)
{
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4), Seam().ProfilePicker().mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(&Seam().ProfilePicker(), &click);
    ASSERT_NE(PickerMenu()->Menu(), nullptr);
    Item(PickerMenu()->Menu(), "Schedule...")->trigger();
    ASSERT_EQ(ScheduleWindows().size(), 1);
    TScheduleWindow* window = ScheduleWindows().first();
    EXPECT_TRUE(window->isVisible());

    // From the window's menu while it is open: the same window, in front.
    window->lower();
    QContextMenuEvent onWindow(QContextMenuEvent::Mouse, QPoint(2, 2), form->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(form.get(), &onWindow);
    ASSERT_NE(Seam().WindowMenu(), nullptr);
    QAction* again = Item(Seam().WindowMenu(), "Schedule...");
    ASSERT_NE(again, nullptr);
    again->trigger();
    EXPECT_EQ(ScheduleWindows().size(), 1);
    EXPECT_EQ(ScheduleWindows().first(), window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(PumpUntil([&] { return QApplication::activeWindow() == window; }, 2000))
        << "the open window is brought forward";
    window->close();
}

TEST_F(ScheduleFromPickerTest, TheWindowSaysWhenTheLightSensorGivesNoLux)
{
    form->ScheduleClick(nullptr);
    ASSERT_EQ(ScheduleWindows().size(), 1);
    EXPECT_EQ(ScheduleWindows().first()->LightNotice(), "") << "a sensor in lux, or none: nothing to say";

    form->Automation().VendorLightChanged(12);
    form->ScheduleClick(nullptr);
    ASSERT_EQ(ScheduleWindows().size(), 1);
    const QString notice = ScheduleWindows().first()->LightNotice();
    EXPECT_TRUE(notice.contains("light ranges (lx) never fire")) << notice.toStdString();
    ScheduleWindows().first()->close();
}
