// The window's part when the session ends (SIGTERM at logout, SIGHUP): the
// settings are saved as closing saves them, with nothing asked.

#include "core/BrightnessUnit.h"

#include "MainWindowStandIns.h"
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
