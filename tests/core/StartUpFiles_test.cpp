// The main window against what a user leaves in its files: a hand-edited or
// broken settings file, pictures whose extension is in capitals, the login
// entry of a program started with options, and the caption beside the
// minutes box at both pixel densities.

#include "core/BrightnessUnit.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/picture/AdvGDIPicture.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "platform/framework/Application.h"

#include "MainWindowStandIns.h"
#include "support/EventLoop.h"

#include <QImage>
#include <QLineEdit>

using namespace lumora;

namespace {

using lumora::testing::ReadAll;
using lumora::testing::WriteFile;

constexpr char kRoot[] = "[Software\\Kestrelo\\LumoraBrightness]\n";

struct StartUpFilesTest : lumora::testing::StandInWindowTest {
    QString SettingsPath() const { return dir.filePath("settings.conf"); }

    std::unique_ptr<TForm1> Make(int pixelsPerInch, TForm1Services services = {})
    {
        AddPanel();
        OpenStores();
        services = StandInServices(std::move(services));
        services.ScreenPixelsPerInch = pixelsPerInch;
        return std::make_unique<TForm1>(services);
    }

    // The deferred start-up, its failures reported as the timer reports them.
    void Start(TForm1Services services = {})
    {
        form = Make(120, std::move(services));
        RunGuarded([&] { Seam().RunStartup(); });
    }
};

} // namespace

TEST_F(StartUpFilesTest, ATextWhereALevelBelongsIsReportedOnceAndTheControlsStayLive)
{
    WriteFile(SettingsPath(), QByteArray(kRoot) + "Level=\"5\"\nDimInterval=15\nRunOnStartup=0\n");
    const QByteArray before = ReadAll(SettingsPath());
    Start();
    ASSERT_EQ(boxes.errors.size(), 1) << boxes.errors.join(" | ").toStdString();
    EXPECT_EQ(boxes.errors[0], "Invalid data type for 'Level'");
    EXPECT_FALSE(form->Updating());
    EXPECT_EQ(Brightness(), "1") << "the preset level 0 is applied";
    EXPECT_EQ(Seam().IntervalText(), "15") << "what could be read is used";
    EXPECT_EQ(form->IdleDimming().ArmedMinutes(), 15);

    Seam().DropTrackBar(70);
    ASSERT_TRUE(lumora::testing::PumpUntil([&] { return !form->Level().Fading(); }));
    EXPECT_EQ(Brightness(), "70") << "the track bar reaches the device";
    Seam().TurnGauge(3);
    EXPECT_EQ(boxes.errors.size(), 1);
    EXPECT_EQ(ReadAll(SettingsPath()), before) << "reading never writes";
}

TEST_F(StartUpFilesTest, AnUnparsableFileIsReportedOnceKeptAsItIsAndASaveSaysWhyItCannot)
{
    const QByteArray text = QByteArray(kRoot) + "Level=5\nthis line is no value\n";
    WriteFile(SettingsPath(), text);
    Start();
    ASSERT_EQ(boxes.errors.size(), 1) << boxes.errors.join(" | ").toStdString();
    EXPECT_TRUE(boxes.errors[0].contains("Cannot read settings file")) << boxes.errors[0].toStdString();
    EXPECT_FALSE(form->Updating());
    EXPECT_EQ(Brightness(), "50") << "a file that cannot be read changes nothing on the screen";
    Seam().DropTrackBar(40);
    ASSERT_TRUE(lumora::testing::PumpUntil([&] { return !form->Level().Fading(); }));
    EXPECT_EQ(Brightness(), "40");

    RunGuarded([&] { form->close(); });
    ASSERT_EQ(boxes.errors.size(), 2);
    EXPECT_TRUE(boxes.errors[1].contains("Cannot read settings file")) << boxes.errors[1].toStdString();
    EXPECT_EQ(ReadAll(SettingsPath()), text);
}

TEST_F(StartUpFilesTest, APictureWithItsExtensionInCapitalsIsFoundAgainAtTheNextStart)
{
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(QDir().mkpath(dir.filePath("own")));
    ASSERT_TRUE(red.save(dir.filePath("own/Cinema.PNG"), "PNG"));
    WriteFile(SettingsPath(), QByteArray(kRoot) + "ProfileIcon=\"\"\nActiveProfile=\"Cinema\"\nLevel=2\n\n"
                                                  "[Software\\Kestrelo\\LumoraBrightness\\Cinema]\nProfileIcon=\"Cinema\"\n"
                                                  "Level=6\n");
    TForm1Services services;
    services.Pictures = TPictureFolders{dir.filePath("shipped"), dir.filePath("own")};
    Start(services);
    EXPECT_TRUE(boxes.errors.isEmpty()) << boxes.errors.join(" | ").toStdString();
    EXPECT_EQ(form->ActiveProfileName(), "Cinema");
    EXPECT_FALSE(Seam().ProfilePicture().Picture()->Empty()) << "the profile's picture is shown";
    EXPECT_EQ(Seam().ProfilePicture().Picture()->Width(), 16);
    EXPECT_EQ(Brightness(), "60");
}

TEST_F(StartUpFilesTest, TheLoginEntryCarriesTheOptionsThatChangeWhatIsWrittenEachQuoted)
{
    TForm1Services services;
    services.ExecutablePath = "/opt/my tools/lumora";
    services.LoginStartOptions = {"--levels", "11", "--backlight-root", "/tmp/my \"panel\"", "--ddc-standin", "/tmp/m"};
    Start(services);
    Seam().SetStartupSwitch(true);
    form->ApplySettingsClick(nullptr);
    const std::optional<QString> exec = autostart->ReadRunValue("Lumora Brightness Control");
    ASSERT_TRUE(exec);
    EXPECT_EQ(SplitExecLine(*exec), QStringList({"/opt/my tools/lumora", "/LaunchOnStartup", "--levels", "11",
                                                 "--backlight-root", "/tmp/my \"panel\"", "--ddc-standin", "/tmp/m"}))
        << exec->toStdString();
}

TEST_F(StartUpFilesTest, TheMinutesBoxCoversNoneOfTheCaptionsWordsAtEitherDensity)
{
    for (int ppi : {96, 120}) {
        std::unique_ptr<TForm1> window = Make(ppi);
        TWindowSeam seam(*window);
        TAdvSmoothLabel* label = &seam.IntervalCaption();
        // The caption's drawn pixels: the label drawn with its words and
        // drawn without them differ exactly there.
        const QImage withWords = label->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QString caption = label->Caption().Text();
        label->Caption().SetText(QString());
        const QImage without = label->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        label->Caption().SetText(caption);
        ASSERT_EQ(withWords.size(), without.size());

        const QRect box = seam.IntervalBoxInCaption();
        int leftInk = -1, rightInk = withWords.width(), inside = 0, inkColumns = 0;
        for (int x = 0; x < withWords.width(); ++x) {
            bool ink = false;
            for (int y = 0; y < withWords.height() && !ink; ++y)
                ink = withWords.pixel(x, y) != without.pixel(x, y);
            if (!ink)
                continue;
            ++inkColumns;
            if (x < box.left())
                leftInk = x;
            else if (x > box.right())
                rightInk = std::min(rightInk, x);
            else
                ++inside;
        }
        ASSERT_GT(inkColumns, 50) << "the caption is drawn at " << ppi;
        EXPECT_EQ(inside, 0) << "columns of words under the box at " << ppi << " ppi: box " << box.left() << ".."
                             << box.right() << ", words end " << leftInk << " and start again " << rightInk;
        EXPECT_GE(leftInk, 0) << "\"over\" is left of the box at " << ppi;
        EXPECT_LT(rightInk, withWords.width()) << "\"minutes\" is right of the box at " << ppi;
        EXPECT_GE(box.left() - leftInk, 3) << "a gap before the box at " << ppi << " ppi";
        EXPECT_GE(rightInk - box.right(), 3) << "a gap after the box at " << ppi << " ppi";
    }
}
