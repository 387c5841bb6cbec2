// What the program loads when it runs natively on a Wayland compositor: the
// widgets paint in software, so the GL driver has no business in the process.

#include "Desktop.h"
#include "Sway.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr char kAppId[] = "org.kestrelo.LumoraBrightness";

// The program natively on a headless sway until its window is shown, with
// the extra environment given; what it has mapped and said by then.
struct NativeRun {
    QByteArray Maps;
    QString Output;
};

NativeRun RunUntilShown(const QList<QPair<QString, QString>>& extra)
{
    HeadlessSway sway;
    EXPECT_TRUE(sway.Started()) << sway.Log().toStdString();
    Sandbox sandbox;
    TestUser::Own(sandbox.Home());
    TestUser::Own(sandbox.BacklightRoot());
    QProcessEnvironment env = sway.ClientEnvironment();
    env.insert("HOME", sandbox.Home());
    env.insert("XDG_CONFIG_HOME", sandbox.ConfigHome());
    env.insert("QT_QPA_PLATFORM", "wayland");
    for (const auto& [name, value] : extra)
        env.insert(name, value);
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setStandardOutputFile(sandbox.Home() + "/output");
    TestUser::Start(program, LUMORA_PROGRAM, {"--backlight-root", sandbox.BacklightRoot()}, env);
    NativeRun run;
    const bool shown = Eventually([&] { return sway.Msg({"-t", "get_tree"}).contains(kAppId); }, 15000);
    EXPECT_TRUE(shown) << ReadText(sandbox.Home() + "/output").toStdString();
    QFile maps(QStringLiteral("/proc/%1/maps").arg(program.processId()));
    if (shown && maps.open(QIODevice::ReadOnly))
        run.Maps = maps.readAll();
    program.terminate();
    if (!program.waitForFinished(3000))
        program.kill();
    program.waitForFinished(1000);
    run.Output = ReadText(sandbox.Home() + "/output");
    return run;
}

} // namespace

TEST(WaylandMemory, TheWindowShowsWithoutTheGlDriverAndWithoutAWord)
{
    const NativeRun run = RunUntilShown({});
    ASSERT_FALSE(run.Maps.isEmpty());
    // libEGL itself is linked by Qt's GUI library; the driver behind it is not.
    EXPECT_FALSE(run.Maps.contains("libqt-plugin-wayland-egl")) << "Qt's EGL integration was loaded";
    EXPECT_FALSE(run.Maps.contains("libEGL_mesa")) << "the GL driver was loaded";
    EXPECT_FALSE(run.Maps.contains("_dri.so")) << "the GL driver was loaded";
    EXPECT_FALSE(run.Output.contains("client buffer integration")) << run.Output.toStdString();
}

TEST(WaylandMemory, AnIntegrationTheUserNamesIsLoaded)
{
    const NativeRun run = RunUntilShown({{"QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "wayland-egl"}});
    ASSERT_FALSE(run.Maps.isEmpty());
    EXPECT_TRUE(run.Maps.contains("libqt-plugin-wayland-egl")) << run.Output.toStdString();
    EXPECT_TRUE(run.Maps.contains("libEGL_mesa"));
}
