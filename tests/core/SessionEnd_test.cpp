// The window's part when the session ends (SIGTERM at logout, SIGHUP): the
// settings are saved as closing saves them, with nothing asked.

#include "core/BrightnessUnit.h"

#include "MainWindowStandIns.h"
#include "support/ActiveWindow.h"
#include "support/EventLoop.h"

using namespace lumora;
using lumora::testing::ReadAll;
using lumora::testing::WriteFile;

namespace {

struct SessionEndTest : lumora::testing::StandInWindowTest {
    QString SettingsText() const { return QString::fromUtf8(ReadAll(dir.filePath("settings.conf"))); }
};

} // namespace

TEST_F(SessionEndTest, SavesTheLevelInForceButNothingBeforeTheSavedSettingsAreApplied)
{
    AddPanel();
    const QByteArray saved = "[Software\\Kestrelo\\LumoraBrightness]\nLevel=3\nDimInterval=0\nRunOnStartup=0\n";
    WriteFile(dir.filePath("settings.conf"), saved);
    OpenStores();
    form = std::make_unique<TForm1>(StandInServices());
    form->OnTerminate = [this] { ++terminations; };

    // Before the deferred start-up the controls hold presets, not the user's choice.
    form->SaveAtSessionEnd();
    EXPECT_EQ(ReadAll(dir.filePath("settings.conf")), saved);

    Seam().RunStartup();
    Seam().DropTrackBar(70);
    ASSERT_TRUE(lumora::testing::PumpUntil([&] { return !form->Level().Fading(); }));
    form->SaveAtSessionEnd();
    EXPECT_TRUE(SettingsText().contains("Level=7")) << SettingsText().toStdString();
    EXPECT_TRUE(boxes.questions.isEmpty()) << "nobody is there to answer";
    EXPECT_TRUE(boxes.messages.isEmpty());
    EXPECT_EQ(terminations, 0) << "ending is the caller's part";
}

// At the end of the program the window is destroyed while shown. Taking it
// down moves the focus away from the dial, and the dial reports that as it
// reports every repaint; the form, half taken apart by then, must not hear it.
TEST_F(SessionEndTest, DestroyingTheShownWindowWithTheDialFocusedCallsNothingOfIt)
{
    ShowActiveWindow();
    TAdvSmoothGauge& dial = Seam().Gauge();
    dial.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), &dial);

    // The form's own handler stays in place until the teardown; from then on
    // a report is counted and goes no further.
    bool tearingDown = false;
    int reportsDuringTeardown = 0;
    dial.OnChange = [handler = dial.OnChange, &tearingDown, &reportsDuringTeardown](TObject* sender) {
        if (tearingDown)
            ++reportsDuringTeardown;
        else if (handler)
            handler(sender);
    };
    tearingDown = true;
    form.reset();
    EXPECT_EQ(reportsDuringTeardown, 0);
}
