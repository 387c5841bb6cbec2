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
    void Send(quintptr id, unsigned n) { OnNotification(id, n, QPoint(10, 10)); }
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
