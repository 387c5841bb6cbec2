// The program entry: reads the command line, builds the platform services,
// creates the main window and runs the event loop.

#include "core/BrightnessUnit.h"
#include "core/ProgramOptions.h"
#include "core/RemoteControl.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/DdcStandIn.h"
#include "platform/device/DesktopBrightnessWatcher.h"
#include "platform/device/DisplayHotPlug.h"
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
#include "platform/shell/InstanceRecord.h"
#include "platform/shell/LogindSleepWatch.h"
#include "platform/shell/MonitorPower.h"
#include "platform/shell/SessionServices.h"
#include "platform/shell/WaylandBuffers.h"
#include "platform/shell/WaylandFramePacer.h"
#include "platform/shell/PictureFolders.h"
#include "platform/shell/TerminationSignals.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

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
    return !options.Screenshot.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// --list-pictures: the pictures the picker offers, found as the window finds
// them. No window, no monitor and no other copy take part, so it answers on
// any machine, beside a running copy too.
int ListPictures(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString executable = ExecutablePath();
    TPictureFolders folders = DefaultPictureFolders(executable);
    if (folders.Shipped.isEmpty())
        folders.Shipped = QFileInfo(executable).absolutePath();
    for (const TFoundFile& picture : ListProfilePictures(folders))
        std::printf("%s\n", qPrintable(picture.Path));
    return 0;
}

// A screenshot run has nobody to answer a box, and on the offscreen platform
// nobody would see one: each box's text goes to standard error instead, a
// question is answered No, and the run has failed.
class StandardErrorBoxes : public TMessageBoxes {
public:
    void ShowMessage(QWidget*, const QString&, const QString& text) override { Report(text); }
    bool AskYesNo(QWidget*, const QString&, const QString& text) override
    {
        Report(text);
        return false;
    }
    void ShowError(QWidget*, const QString&, const QString& text) override { Report(text); }
    bool Reported() const { return reported_; }

private:
    void Report(const QString& text)
    {
        reported_ = true;
        std::fprintf(stderr, "lumora: %s\n", qPrintable(text));
    }
    bool reported_ = false;
};

// A copy of this executable registered in the user's instance record.
bool AnotherCopyRuns()
{
    const std::optional<QString> folder = TInstanceRecord::RuntimeFolder();
    if (!folder)
        return false;
    try {
        TInstanceRecord record(TInstanceRecord::NameFromExecutable(ExecutablePath()), *folder);
        return record.Read().Count > 0;
    } catch (const Exception&) {
        return false;
    }
}

// Starts the background search for DDC/CI monitors (the window would start
// it later; starting twice is harmless) and waits for it to end.
void WaitForDetection(MonitorSetProvider& monitors)
{
    if (monitors.Detected())
        return;
    QEventLoop loop;
    QObject::connect(&monitors, &MonitorSetProvider::DetectionFinished, &loop, &QEventLoop::quit);
    monitors.StartDetection();
    if (!monitors.Detected())
        loop.exec();
}

// Whether a screenshot can be taken, said on standard error when not. The
// window shows a monitor's level: without one there is nothing to show.
// Beside a running copy this one would put the saved level on the monitor
// under the other's feet, and could not register itself.
bool ScreenshotPossible(MonitorSetProvider& monitors, const QString& file)
{
    if (AnotherCopyRuns()) {
        std::fprintf(stderr, "lumora: another copy is running, so no screenshot is written to %s; end it first\n",
                     qPrintable(file));
        return false;
    }
    // A panel answers at once; DDC/CI monitors only once the search has ended.
    if (monitors.ActiveInstance().isEmpty())
        WaitForDetection(monitors);
    if (monitors.ActiveInstance().isEmpty()) {
        std::fprintf(stderr,
                     "lumora: no monitor whose brightness can be set was found (backlight, desktop service, DDC/CI), "
                     "so no screenshot is written to %s\n",
                     qPrintable(file));
        return false;
    }
    return true;
}

// SIGTERM (logout) and SIGHUP (a closed terminal) end the program as "Exit"
// does, with the settings saved as closing the window saves them: a level set
// from the tray, the bus or idle dimming's restore is kept.
std::unique_ptr<TTerminationSignals> EndOnSignals(TForm1& form)
{
    std::unique_ptr<TTerminationSignals> handling;
    try {
        handling = std::make_unique<TTerminationSignals>();
    } catch (const Exception& e) {
        std::fprintf(stderr, "lumora: %s\n", qPrintable(e.Message()));
        return nullptr;
    }
    handling->OnSignal = [&form](int) {
        try {
            form.SaveAtSessionEnd();
        } catch (const Exception& e) {
            std::fprintf(stderr, "lumora: the settings were not saved: %s\n", qPrintable(e.Message()));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "lumora: the settings were not saved: %s\n", e.what());
        }
        // Every event loop ends, a modal box's too.
        QCoreApplication::exit(0);
    };
    return handling;
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
    if (options.GetLevel || options.SetLevel || options.ListMonitors) {
        // Asks the running copy; never a window of its own.
        QCoreApplication remote(argc, argv);
        return RunRemoteCommand(options);
    }
    if (options.ListPictures)
        return ListPictures(argc, argv);
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
    // Monitors plugged in or out later are looked for again (stand-ins are never plugged).
    const std::unique_ptr<DisplayHotPlug> hotPlug = options.DdcStandIn.isEmpty() ? RedetectOnHotPlug(*monitors) : nullptr;
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

    const bool screenshot = !options.Screenshot.isEmpty();
    StandardErrorBoxes unanswered;
    std::optional<TMessageBoxesScope> boxesToStandardError;
    if (screenshot) {
        if (!ScreenshotPossible(*monitors, options.Screenshot))
            return 1;
        boxesToStandardError.emplace(unanswered);
    }

    std::unique_ptr<TForm1> form;
    if (!RunGuarded([&] { form = std::make_unique<TForm1>(services); }))
        return 1;
    form->OnTerminate = [&app] { app.Terminate(); };
    if (screenshot && (form->Terminated() || form->SurplusCopy())) {
        std::fprintf(stderr, "lumora: no screenshot written to %s\n", qPrintable(options.Screenshot));
        return 1;
    }
    if (form->Terminated() || form->SurplusCopy())
        return 0;
    const std::unique_ptr<TTerminationSignals> endingSignals = EndOnSignals(*form);
    WaylandFramePacer::Attach(form.get());

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
        form->Automation().WatchSystem(QDBusConnection::systemBus());
        sleepWatch = LogindSleepWatch::Open();
        if (sleepWatch)
            sleepWatch->OnResumed = [&form] { form->DeviceResumed(); };
    });

    bool screenshotWritten = false;
    if (screenshot) {
        QTimer::singleShot(kScreenshotDelayMs, &app, [&] {
            screenshotWritten = !unanswered.Reported() && form->grab().save(options.Screenshot, "PNG");
            if (screenshotWritten)
                std::printf("Screenshot written to %s\n", qPrintable(options.Screenshot));
            app.exit(screenshotWritten ? 0 : 1);
        });
    }

    form->ShowAtStart();
    const int code = app.exec();
    if (screenshot && !screenshotWritten) {
        std::fprintf(stderr, "lumora: no screenshot written to %s\n", qPrintable(options.Screenshot));
        return 1;
    }
    return code;
}
