// What the program loads when it runs natively on a Wayland compositor: the
// widgets paint in software, so the GL driver has no business in the process.

#include "Desktop.h"
#include "Sway.h"

#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr char kAppId[] = "org.kestrelo.LumoraBrightness";

// The program natively on a headless sway until its window is shown (and
// `keepMs` longer), with the extra environment given; what it has mapped
// and said by then. `refreshHz` sets how many frames the compositor draws
// a second (sway's own default when 0).
struct NativeRun {
    QByteArray Maps;
    QString Output;
};

NativeRun RunUntilShown(const QList<QPair<QString, QString>>& extra, int keepMs = 0, int refreshHz = 0)
{
    HeadlessSway sway;
    EXPECT_TRUE(sway.Started()) << sway.Log().toStdString();
    if (refreshHz > 0)
        sway.Msg({"--", "output", "*", "mode", "--custom", QStringLiteral("1280x720@%1Hz").arg(refreshHz)});
    Sandbox sandbox;
    // A saved level of 5: the needle and the glow move up to it as the window shows.
    WriteFile(sandbox.SettingsFile(), "[Software\\Kestrelo\\LumoraBrightness]\nLevel=5\n");
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
    if (shown && keepMs > 0)
        QThread::msleep(keepMs);
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

TEST(WaylandMemory, WhileTheNeedleMovesTheWindowDrawsOncePerFrameWithoutMakingMoreBuffers)
{
    // A compositor drawing ten frames a second, slower than the controls'
    // animation steps: a window that committed each step would find both of
    // its buffers still held and make more of them.
    const NativeRun run = RunUntilShown({{"WAYLAND_DEBUG", "client"}}, 3000, 10);
    ASSERT_FALSE(run.Maps.isEmpty());
    // "-> wl_shm_pool@24.create_buffer(new id wl_buffer@25, 0, 1276, 693, ...)"
    static const QRegularExpression buffer(R"(create_buffer\(new id wl_buffer@\d+, \d+, (\d+), (\d+),)");
    QMap<QString, int> buffersBySize;
    for (const QRegularExpressionMatch& m : buffer.globalMatch(run.Output))
        ++buffersBySize[m.captured(1) + "x" + m.captured(2)];
    ASSERT_FALSE(buffersBySize.isEmpty()) << "the client log was not written";
    // The window as sway tiles it is the largest size made.
    int windowBuffers = 0, largest = 0;
    for (auto it = buffersBySize.cbegin(); it != buffersBySize.cend(); ++it) {
        const int area = it.key().section('x', 0, 0).toInt() * it.key().section('x', 1).toInt();
        if (area > largest) {
            largest = area;
            windowBuffers = it.value();
        }
    }
    // Two, and a third at times when the compositor hands one back late.
    EXPECT_LE(windowBuffers, 3) << "buffers made by size: " << QStringList(buffersBySize.keys()).join(' ').toStdString();
    const int commits = int(run.Output.count(QRegularExpression(R"(wl_surface@\d+\.commit\(\))")));
    const int frames = int(run.Output.count(QRegularExpression(R"(wl_callback@\d+\.done\()")));
    EXPECT_LE(commits, frames + 5) << commits << " pictures in " << frames << " frames";

}
