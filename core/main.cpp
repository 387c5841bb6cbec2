// The program entry: reads the command line, builds the platform services,
// creates the main window and runs the event loop.

#include "core/BrightnessUnit.h"
#include "core/ProgramOptions.h"
#include "core/RemoteControl.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/DesktopBrightnessWatcher.h"
#include "platform/device/LibDdcutilBus.h"
#include "platform/device/MonitorSetProvider.h"
#include "platform/device/PanelProvider.h"
#include "platform/device/UdevBacklightMonitor.h"
#include "platform/framework/Application.h"
#include "platform/framework/Dialogs.h"
#include "platform/framework/FirstFrame.h"
#include "platform/gdiplus/Font.h"
#include "platform/settings/SettingsStore.h"
#include "platform/shell/Autostart.h"
#include "platform/shell/DeferredIdleTime.h"
#include "platform/shell/BrightnessBusService.h"
#include "platform/shell/FileIdleTime.h"
#include "platform/shell/FileSystem.h"
#include "platform/shell/IdleTime.h"
#include "platform/shell/LogindSleepWatch.h"
#include "platform/shell/MonitorPower.h"
#include "platform/shell/SessionServices.h"
#include "platform/shell/WaylandBuffers.h"
#include "platform/shell/PictureFolders.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using namespace lumora;

namespace {

constexpr char kTitle[] = "Lumora Brightness Control";
constexpr char kVersion[] = "1.0.0";
// The deferred start-up runs 500 ms after creation; the screenshot is taken
// once it has applied the settings and the needle has settled.
constexpr int kScreenshotDelayMs = 1500;

QStringList ArgumentsAfterProgramName(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

bool NeedsOffscreenPlatform(const ProgramOptions& options)
{
    return (!options.Screenshot.isEmpty() || options.ListPictures) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    const ProgramOptionsResult parsed = ParseProgramOptions(ArgumentsAfterProgramName(argc, argv));
    if (!parsed.Options) {
        std::fprintf(stderr, "lumora: %s\n", qPrintable(parsed.Error));
        return 2;
    }
    const ProgramOptions& options = *parsed.Options;
    if (options.ShowHelp) {
        std::fputs(qPrintable(ProgramUsage()), stdout);
        return 0;
    }
    if (options.ShowVersion) {
        std::printf("%s %s\n", kTitle, kVersion);
        return 0;
    }
    if (options.GetLevel || options.SetLevel) {
        // Asks the running copy; never a window of its own.
        QCoreApplication remote(argc, argv);
        return RunRemoteCommand(options);
    }
    if (NeedsOffscreenPlatform(options))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing here draws with GL: on Wayland, keep the GL driver unloaded.
    KeepGraphicsDriverOutOfWayland();

    TApplication app(argc, argv);
    app.SetTitle(kTitle);
    // Wayland desktops match the window to its menu entry by this name.
    app.setDesktopFileName(QStringLiteral("org.kestrelo.LumoraBrightness"));
    app.setWindowIcon(ProgramIcon());
    app.setQuitOnLastWindowClosed(false); // closing the window hides it to the tray
    gdiplus::RegisterBundledFonts();

    // Platform services.
    BacklightOptions backlight;
    backlight.Root = options.BacklightRoot;
    backlight.Levels = options.Levels;
    TSettingsStore settings(TSettingsStore::DefaultPath());
    TAutostart autostart;
    // The session's idle time and monitor power are looked for once the
    // window has shown (some ask the session bus).
    DeferredIdleTime sessionIdle;
    std::unique_ptr<IdleTimeSource> fileIdle;
    if (!options.IdleSecondsFile.isEmpty())
        fileIdle = std::make_unique<FileIdleTime>(options.IdleSecondsFile);
    TMonitorPower monitorPower(nullptr);

    TForm1Services services;
    // The panel answers at once; the window looks for the DDC/CI monitors
    // in the background.
    std::shared_ptr<DdcBus> ddcBus;
    if (options.DdcStandIn.isEmpty())
        ddcBus = std::make_shared<LibDdcutilBus>();
    else
        ddcBus = std::make_shared<DdcStandIn>(options.DdcStandIn);
    // The panel goes through the desktop's brightness service while the
    // session bus offers one. The kernel's backlight events concern the real
    // devices only; a stand-in folder gets none.
    std::unique_ptr<UdevBacklightMonitor> backlightEvents;
    if (backlight.Root == kDefaultBacklightRoot) {
        try {
            backlightEvents = std::make_unique<UdevBacklightMonitor>();
        } catch (const Exception& e) {
            std::fprintf(stderr, "lumora: %s; brightness changes made elsewhere are not followed\n",
                         qPrintable(e.Message()));
        }
    }
    auto panel = std::make_shared<PanelProvider>(std::make_shared<BacklightProvider>(backlight), backlightEvents.get());
    DesktopBrightnessWatcher desktopBrightness;
    panel->UseDesktop(desktopBrightness.Current());
    QObject::connect(&desktopBrightness, &DesktopBrightnessWatcher::ServiceChanged, panel.get(),
                     [&] { panel->UseDesktop(desktopBrightness.Current()); });
    auto monitors = std::make_shared<MonitorSetProvider>(panel, std::make_shared<DdcMonitors>(ddcBus), options.Levels);
    services.Brightness = monitors;
    services.Monitors = monitors;
    services.Settings = &settings;
    services.Autostart = &autostart;
    services.Idle = fileIdle ? fileIdle.get() : static_cast<IdleTimeSource*>(&sessionIdle);
    services.MonitorPower = &monitorPower;
    services.ExecutablePath = ExecutablePath();
    services.LoginStartOptions = LoginStartOptions(options);
    services.Pictures = DefaultPictureFolders(services.ExecutablePath);
    services.LaunchOnStartup = options.LaunchOnStartup;
    if (options.IdleCheckIntervalMs > 0)
        services.IdleCheckIntervalMs = options.IdleCheckIntervalMs;

    std::unique_ptr<TForm1> form;
    if (!RunGuarded([&] { form = std::make_unique<TForm1>(services); }))
        return 1;
    form->OnTerminate = [&app] { app.Terminate(); };
    if (form->Terminated() || form->SurplusCopy())
        return 0;

    if (options.ListPictures) {
        for (const QString& picture : form->OfferedProfilePictures())
            std::printf("%s\n", qPrintable(picture));
        return 0;
    }

    // What the window does not need in order to show starts after its first
    // frame: the session's idle time and monitor power are found; the first
    // copy only offers itself on the session bus, where scripts reach it, and
    // after sleep it puts the level last set back. Without either bus the
    // program simply goes without.
    BrightnessBusService busService;
    std::unique_ptr<LogindSleepWatch> sleepWatch;
    AfterFirstFrame(form.get(), [&] {
        SessionServices session = OpenSessionServices(!fileIdle);
        if (!fileIdle)
            sessionIdle.Open(std::move(session.Idle));
        monitorPower.SetBackend(std::move(session.Power));
        if (options.Screenshot.isEmpty() && busService.Register())
            ConnectBrightnessBus(*form, busService);
        sleepWatch = LogindSleepWatch::Open();
        if (sleepWatch)
            sleepWatch->OnResumed = [&form] { form->DeviceResumed(); };
    });

    if (!options.Screenshot.isEmpty()) {
        QTimer::singleShot(kScreenshotDelayMs, &app, [&] {
            const bool saved = form->grab().save(options.Screenshot, "PNG");
            if (saved)
                std::printf("Screenshot written to %s\n", qPrintable(options.Screenshot));
            else
                std::fprintf(stderr, "lumora: cannot write %s\n", qPrintable(options.Screenshot));
            app.exit(saved ? 0 : 1);
        });
    }

    form->ShowAtStart();
    return app.exec();
}
