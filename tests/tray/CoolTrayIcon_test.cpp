#include "tray/CoolTrayIcon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

// Records what the icon asks of the notification area and lets a test play
// the area's notifications back.
class FakeArea : public NotifyIconHost {
public:
    bool Notify(NotifyIconCommand command, const NotifyIconData& data) override
    {
        commands.push_back(command);
        last = data;
        if (command == nimAdd)
            present = true;
        if (command == nimDelete)
            present = false;
        return true;
    }
    void Send(quintptr id, unsigned n, QPoint pos = QPoint(10, 10)) { OnNotification(id, n, pos); }
    void Restart()
    {
        present = false;
        OnAreaCreated();
    }
    std::vector<NotifyIconCommand> commands;
    NotifyIconData last;
    bool present = false;
};

void Spin(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct TrayFixture : ::testing::Test {
    FakeArea area;
    QWidget window;
    std::unique_ptr<TCoolTrayIcon> icon = std::make_unique<TCoolTrayIcon>(&window, &area);
    int clicks = 0;
    int doubleClicks = 0;
    void TearDown() override { icon.reset(); }
    void Send(unsigned n) { area.Send(icon->Id(), n); }
};

} // namespace

TEST_F(TrayFixture, DisabledIgnoresMouseButStillReportsBalloons)
{
    int balloons = 0;
    icon->OnClick = [&](TObject*) { ++clicks; };
    icon->OnBalloonHintClick = [&](TObject*) { ++balloons; };
    icon->SetEnabled(false);
    Send(tnLeftDown);
    Send(tnLeftUp);
    Send(tnBalloonClick);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(balloons, 1);
}

TEST_F(TrayFixture, LongHintIsCutTo127Characters)
{
    icon->SetHint(QString(200, 'x'));
    EXPECT_EQ(area.last.tip.size(), 127);
    icon->SetShowHint(false);
    EXPECT_TRUE(area.last.tip.isEmpty());
}

TEST_F(TrayFixture, RestartedAreaGetsVisibleIconBackButNotHiddenOne)
{
    icon->SetIconVisible(true);
    area.Restart();
    EXPECT_TRUE(area.present);
    icon->SetIconVisible(false);
    area.Restart();
    EXPECT_FALSE(area.present);
}

TEST_F(TrayFixture, ClickWithoutDoubleClickHandlerIsImmediate)
{
    icon->OnClick = [&](TObject*) { ++clicks; };
    Send(tnLeftDown);
    Send(tnLeftUp);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TrayFixture, WithDoubleClickHandlerSingleClickWaitsAndDoubleClickGivesNoClick)
{
    QApplication::setDoubleClickInterval(40);
    icon->OnClick = [&](TObject*) { ++clicks; };
    icon->OnDblClick = [&](TObject*) { ++doubleClicks; };

    Send(tnLeftDown);
    Send(tnLeftUp);
    EXPECT_EQ(clicks, 0);
    Spin(150);
    EXPECT_EQ(clicks, 1);

    clicks = 0;
    Send(tnLeftDown);
    Send(tnLeftUp);
    Send(tnLeftDoubleClick);
    Send(tnLeftUp);
    Spin(150);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(TrayFixture, RightPressOpensMenuAndDoubleClickShowsWindow)
{
    QMenu menu;
    menu.addAction("Show Window");
    icon->SetPopupMenu(&menu);
    icon->OnDblClick = [&](TObject*) { icon->ShowMainWindow(); };
    Send(tnRightDown);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();

    Send(tnLeftDoubleClick);
    EXPECT_TRUE(window.isVisible());
    icon->HideMainWindow();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TrayFixture, HostActivationRunsOnActivateElseCountsAsADoubleClick)
{
    icon->OnDblClick = [&](TObject*) { ++doubleClicks; };
    Send(tnActivate);
    EXPECT_EQ(doubleClicks, 1) << "without its own handler, a host's activation is the double click";

    int activations = 0;
    icon->OnActivate = [&](TObject* sender) {
        EXPECT_EQ(sender, icon.get());
        ++activations;
    };
    Send(tnActivate);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(doubleClicks, 1);

    icon->SetEnabled(false);
    Send(tnActivate);
    EXPECT_EQ(activations, 1);
}

TEST_F(TrayFixture, WheelStepsReachOnWheelWhileEnabled)
{
    std::vector<int> steps;
    icon->OnWheel = [&](TObject*, int s) { steps.push_back(s); };
    area.OnWheel(icon->Id(), 2);
    area.OnWheel(icon->Id() + 1, 5); // another icon's
    area.OnWheel(icon->Id(), -1);
    EXPECT_EQ(steps, (std::vector<int>{2, -1}));
    icon->SetEnabled(false);
    area.OnWheel(icon->Id(), 1);
    EXPECT_EQ(steps.size(), 2u);
}

TEST_F(TrayFixture, MenuOpensWhereTheHostSaysAndTravelsWithTheIcon)
{
    QMenu menu;
    menu.addAction("Show Window");
    icon->SetPopupMenu(&menu);
    icon->ShowIcon();
    EXPECT_EQ(area.last.menu, &menu) << "hosts that show menus themselves get it";

    area.Send(icon->Id(), tnRightDown, QPoint(200, 150));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.geometry().topLeft(), QPoint(200, 150));
    menu.hide();
}
