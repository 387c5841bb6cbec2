// Which monitor the window works on: waiting for the monitors found in the
// background, choosing the active one, the tray menu's "Monitor" submenu and
// the switch to another monitor.

#include "core/BrightnessUnit.h"

#include "controls/chart/SPBEPC.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"
#include "core/LevelMath.h"
#include "core/MonitorChoice.h"
#include "platform/device/MonitorSetProvider.h"
#include "platform/framework/Application.h"
#include "platform/framework/Exception.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QScreen>

#include <functional>

namespace lumora {

namespace {

std::optional<RememberedMonitor> Remembered(TSettingsStore* settings, const std::function<void(std::exception_ptr)>& report)
{
    if (settings == nullptr)
        return std::nullopt;
    try {
        return LoadRememberedMonitor(*settings);
    } catch (const Exception&) {
        // A damaged value costs only the memory of the choice; the user is
        // told, and the usual choice is made.
        report(std::current_exception());
        return std::nullopt;
    }
}

QString MenuText(const MonitorInfo& monitor, const std::vector<MonitorInfo>& all)
{
    QString text = monitor.Model.isEmpty() ? monitor.InstanceName : monitor.Model;
    // Two monitors of one model are told apart by serial, else by output.
    int sameModel = 0;
    for (const MonitorInfo& other : all)
        sameModel += other.Model == monitor.Model ? 1 : 0;
    if (sameModel > 1) {
        const QString detail = !monitor.Serial.isEmpty() ? monitor.Serial : monitor.Connector;
        if (!detail.isEmpty())
            text += QStringLiteral(" (%1)").arg(detail);
    }
    if (!monitor.Answering)
        text += QStringLiteral(" - not answering");
    return text;
}

} // namespace

bool TForm1::WaitForMonitors()
{
    MonitorSetProvider* monitors = services_.Monitors.get();
    if (monitors == nullptr)
        return false;

    QObject::connect(monitors, &MonitorSetProvider::MonitorFailed, this, [this](const QString& message) {
        HandleException(std::make_exception_ptr(EOSError(message)));
    });
    QObject::connect(monitors, &MonitorSetProvider::MonitorsChanged, this, [this] { RebuildMonitorMenu(); });
    QObject::connect(monitors, &MonitorSetProvider::BrightnessChangedOutside, this,
                     [this](const QString& instanceName, int percent) {
                         RunGuarded([&] { BrightnessChangedOutside(instanceName, percent); });
                     });
    QObject::connect(monitors, &MonitorSetProvider::PanelReplaced, this, [this](const QString& from, const QString& to) {
        if (brightness_.MonitorInstanceName == from)
            brightness_.MonitorInstanceName = to;
    });

    bool wait = !monitors->Detected();
    if (wait) {
        // A laptop starts on its panel at once, unless the user chose another
        // monitor last time, which may still be on its way.
        const std::vector<MonitorInfo> known = monitors->Monitors();
        const std::optional<RememberedMonitor> remembered = Remembered(services_.Settings, [this](std::exception_ptr e) { ReportSettingsProblem(e); });
        for (const MonitorInfo& m : known) {
            if (m.Panel && (!remembered || IsRemembered(m, remembered)))
                wait = false;
        }
    }
    auto waiting = std::make_shared<bool>(wait);
    QObject::connect(monitors, &MonitorSetProvider::DetectionFinished, this, [this, waiting] {
        if (terminated_)
            return;
        if (*waiting) {
            *waiting = false;
            RunGuarded([this] { StartDevice(); });
        } else {
            RebuildMonitorMenu();
        }
    });
    monitors->StartDetection();
    return wait;
}

void TForm1::ChooseActiveMonitor()
{
    MonitorSetProvider* monitors = services_.Monitors.get();
    if (monitors == nullptr)
        return;
    const std::vector<MonitorInfo> known = monitors->Monitors();
    ScreenIdentity screenShown;
    if (const QScreen* shown = screen()) {
        screenShown.Name = shown->name();
        screenShown.Model = shown->model();
        screenShown.Serial = shown->serialNumber();
    }
    if (const std::optional<std::size_t> chosen = ChooseMonitor(known, Remembered(services_.Settings, [this](std::exception_ptr e) { ReportSettingsProblem(e); }), screenShown))
        monitors->SetActive(known[*chosen].InstanceName);
}

void TForm1::RebuildMonitorMenu()
{
    MonitorSetProvider* monitors = services_.Monitors.get();
    if (monitors == nullptr)
        return;
    if (monitorMenu_) {
        // Possibly called from one of its own items: it goes once that is done.
        TrayMenu->removeAction(monitorMenu_->menuAction());
        monitorMenu_->deleteLater();
        monitorMenu_ = nullptr;
    }

    const std::vector<MonitorInfo> known = monitors->Monitors();
    // Where DDC/CI cannot work at all (its library is missing), the menu
    // says so in a greyed item instead of an error box at each start.
    const QString noDdc = monitors->DdcUnavailable();
    if (known.size() < 2 && noDdc.isEmpty())
        return; // with one monitor the menu stays as it always was
    const QString active = monitors->ActiveInstance();
    monitorMenu_ = new QMenu(QStringLiteral("Monitor"), TrayMenu);
    auto* group = new QActionGroup(monitorMenu_);
    group->setExclusive(true);
    for (const MonitorInfo& m : known) {
        QAction* item = monitorMenu_->addAction(MenuText(m, known));
        item->setCheckable(true);
        item->setChecked(m.InstanceName == active);
        item->setEnabled(m.Controllable);
        group->addAction(item);
        const QString name = m.InstanceName;
        QObject::connect(item, &QAction::triggered, this, [this, name] { RunGuarded([&] { SelectMonitor(name); }); });
    }
    if (!noDdc.isEmpty()) {
        QAction* none = monitorMenu_->addAction(QStringLiteral("No DDC/CI"));
        none->setEnabled(false);
        none->setToolTip(noDdc);
    }
    const QList<QAction*> items = TrayMenu->actions();
    TrayMenu->insertMenu(items.value(items.indexOf(RestoreBrightnessItem) + 1), monitorMenu_);
}

void TForm1::SelectMonitor(const QString& instanceName)
{
    MonitorSetProvider* monitors = services_.Monitors.get();
    if (monitors == nullptr)
        return;
    const std::vector<MonitorInfo> known = monitors->Monitors();
    const auto chosen = std::find_if(known.begin(), known.end(),
                                     [&](const MonitorInfo& m) { return m.InstanceName == instanceName; });
    if (chosen == known.end() || !chosen->Controllable)
        return;

    monitors->SetActive(instanceName);
    if (services_.Settings)
        SaveRememberedMonitor(*services_.Settings, RememberedMonitor{chosen->Model, chosen->Serial});
    brightness_.QueryMonitor();

    // The level model starts on the new monitor's own brightness and the
    // views jump there; nothing is written to it, so switching never changes
    // what a monitor shows.
    const bool wasUpdating = updating_;
    SetUpdating(true);
    Gauge->SetMaximumValue(LevelCount() - 1);
    Gauge->SetValueFormat(GaugeValueFormat(LevelCount()));
    SetUpdating(wasUpdating);
    level_->Reset(LevelCount(), NearestLevelIndex(brightness_.LevelList, brightness_.RestoreLevel), LevelSource::Monitor);
    RebuildMonitorMenu();
}

} // namespace lumora
