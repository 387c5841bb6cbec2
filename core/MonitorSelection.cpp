#include "core/MonitorSelection.h"

#include "platform/device/MonitorSetProvider.h"
#include "platform/framework/Application.h"
#include "platform/framework/Exception.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace lumora {

namespace {

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

TMonitorSelection::TMonitorSelection(MonitorSetProvider* monitors, TSettingsStore* settings, QMenu* trayMenu,
                                     QAction* menuAfter)
    : monitors_(monitors), settings_(settings), trayMenu_(trayMenu), menuAfter_(menuAfter)
{
}

std::optional<RememberedMonitor> TMonitorSelection::Remembered() const
{
    if (settings_ == nullptr)
        return std::nullopt;
    try {
        return LoadRememberedMonitor(*settings_);
    } catch (const Exception&) {
        // A damaged value costs only the memory of the choice; the user is
        // told, and the usual choice is made.
        if (OnSettingsProblem)
            OnSettingsProblem(std::current_exception());
        return std::nullopt;
    }
}

bool TMonitorSelection::StartDetection()
{
    if (monitors_ == nullptr)
        return false;
    QObject::connect(monitors_, &MonitorSetProvider::MonitorFailed, this, [](const QString& message) {
        HandleException(std::make_exception_ptr(EOSError(message)));
    });
    QObject::connect(monitors_, &MonitorSetProvider::MonitorsChanged, this, [this] { RebuildMenu(); });

    waiting_ = !monitors_->Detected();
    if (waiting_) {
        const std::optional<RememberedMonitor> remembered = Remembered();
        // "All monitors" shows the panel: it need not wait either.
        for (const MonitorInfo& m : monitors_->Monitors()) {
            if (m.Panel && (!remembered || remembered->All || IsRemembered(m, remembered)))
                waiting_ = false;
        }
    }
    QObject::connect(monitors_, &MonitorSetProvider::DetectionFinished, this, [this] {
        if (!waiting_) {
            // The panel was worked on alone while the others were looked
            // for, or a monitor was plugged in or out; the monitor shown
            // stays while it is there.
            if (!monitors_->AllMonitors() && AllByDefault(Remembered()))
                monitors_->SetAllMonitors(true);
            FollowShownMonitor();
            RebuildMenu();
            return;
        }
        waiting_ = false;
        if (OnDetected)
            RunGuarded(OnDetected);
    });
    monitors_->StartDetection();
    return waiting_;
}

bool TMonitorSelection::AllPossible() const
{
    const std::vector<MonitorInfo> known = monitors_->Monitors();
    return std::count_if(known.begin(), known.end(), [](const MonitorInfo& m) { return m.Controllable; }) > 1;
}

bool TMonitorSelection::AllByDefault(const std::optional<RememberedMonitor>& remembered) const
{
    return (!remembered || remembered->All) && AllPossible();
}

void TMonitorSelection::FollowShownMonitor()
{
    const std::vector<MonitorInfo> known = monitors_->Monitors();
    const auto here = [&](const QString& instance) {
        return std::any_of(known.begin(), known.end(),
                           [&](const MonitorInfo& m) { return m.InstanceName == instance && m.Controllable; });
    };
    if (!monitors_->AllMonitors()) {
        // The monitor worked on went, or the one remembered came back.
        const std::optional<RememberedMonitor> remembered = Remembered();
        const bool rememberedBack = remembered && std::any_of(known.begin(), known.end(), [&](const MonitorInfo& m) {
            return m.Controllable && IsRemembered(m, remembered) && m.InstanceName != monitors_->ActiveInstance();
        });
        if (!here(monitors_->ActiveInstance()) || rememberedBack) {
            if (const std::optional<std::size_t> chosen = ChooseMonitor(known, remembered, ScreenIdentity{}))
                monitors_->SetActive(known[*chosen].InstanceName);
            else
                monitors_->SetActive(QString());
        }
    }
    if (monitors_->ActiveInstance() != shown_) {
        shown_ = monitors_->ActiveInstance();
        if (OnSwitched && !shown_.isEmpty())
            RunGuarded(OnSwitched);
    }
}

void TMonitorSelection::ChooseActive(const QScreen* shown)
{
    if (monitors_ == nullptr)
        return;
    const std::optional<RememberedMonitor> remembered = Remembered();
    monitors_->SetAllMonitors(AllByDefault(remembered));
    if (monitors_->AllMonitors()) {
        shown_ = monitors_->ActiveInstance();
        return;
    }
    const std::vector<MonitorInfo> known = monitors_->Monitors();
    ScreenIdentity screenShown;
    if (shown) {
        screenShown.Name = shown->name();
        screenShown.Model = shown->model();
        screenShown.Serial = shown->serialNumber();
    }
    if (const std::optional<std::size_t> chosen = ChooseMonitor(known, remembered, screenShown))
        monitors_->SetActive(known[*chosen].InstanceName);
    shown_ = monitors_->ActiveInstance();
}

void TMonitorSelection::RebuildMenu()
{
    if (monitors_ == nullptr)
        return;
    if (menu_) {
        // Possibly called from one of its own items: it goes once that is done.
        trayMenu_->removeAction(menu_->menuAction());
        menu_->deleteLater();
        menu_ = nullptr;
    }

    const std::vector<MonitorInfo> known = monitors_->Monitors();
    // Where DDC/CI cannot work at all (its library is missing), the menu
    // says so in a greyed item instead of an error box at each start.
    const QString noDdc = monitors_->DdcUnavailable();
    // A laptop's panel alone keeps the menu as it always was; one DDC/CI
    // monitor gets the submenu for its range ("Monitors...").
    const bool rangesOffered = std::any_of(known.begin(), known.end(),
                                           [](const MonitorInfo& m) { return m.Controllable && !m.Panel; });
    if (known.size() < 2 && noDdc.isEmpty() && !rangesOffered)
        return;
    const QString active = monitors_->ActiveInstance();
    const bool all = monitors_->AllMonitors();
    menu_ = new QMenu(QStringLiteral("Monitor"), trayMenu_);
    auto* group = new QActionGroup(menu_);
    group->setExclusive(true);
    const bool allPossible = AllPossible();
    if (allPossible) {
        QAction* item = menu_->addAction(QStringLiteral("All monitors"));
        item->setCheckable(true);
        item->setChecked(all);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, this, [this] { RunGuarded([&] { SelectAll(); }); });
    }
    for (const MonitorInfo& m : known) {
        QAction* item = menu_->addAction(MenuText(m, known));
        item->setCheckable(true);
        item->setChecked(!all && m.InstanceName == active);
        item->setEnabled(m.Controllable);
        group->addAction(item);
        const QString name = m.InstanceName;
        QObject::connect(item, &QAction::triggered, this, [this, name] { RunGuarded([&] { Select(name); }); });
    }
    if (!noDdc.isEmpty()) {
        QAction* none = menu_->addAction(QStringLiteral("No DDC/CI"));
        none->setEnabled(false);
        none->setToolTip(noDdc);
    }
    if (rangesOffered) {
        menu_->addSeparator();
        QAction* ranges = menu_->addAction(QStringLiteral("Monitors..."));
        QObject::connect(ranges, &QAction::triggered, this, [this] {
            if (OnEditRanges)
                RunGuarded(OnEditRanges);
        });
    }
    const QList<QAction*> items = trayMenu_->actions();
    trayMenu_->insertMenu(items.value(items.indexOf(menuAfter_) + 1), menu_);
}

void TMonitorSelection::Select(const QString& instanceName)
{
    if (monitors_ == nullptr)
        return;
    const std::vector<MonitorInfo> known = monitors_->Monitors();
    const auto chosen = std::find_if(known.begin(), known.end(),
                                     [&](const MonitorInfo& m) { return m.InstanceName == instanceName; });
    if (chosen == known.end() || !chosen->Controllable)
        return;

    monitors_->SetAllMonitors(false);
    monitors_->SetActive(instanceName);
    shown_ = instanceName;
    if (settings_)
        SaveRememberedMonitor(*settings_, RememberedMonitor{chosen->Model, chosen->Serial});
    if (OnSwitched)
        OnSwitched();
    RebuildMenu();
}

void TMonitorSelection::SelectAll()
{
    if (monitors_ == nullptr || !AllPossible())
        return;
    monitors_->SetAllMonitors(true);
    shown_ = monitors_->ActiveInstance();
    if (settings_) {
        // The single monitor chosen before is kept for a start with only
        // one monitor left.
        RememberedMonitor remembered = Remembered().value_or(RememberedMonitor{});
        remembered.All = true;
        SaveRememberedMonitor(*settings_, remembered);
    }
    // The views take the shown monitor's own level; nothing is written
    // until the level changes, which then reaches every monitor.
    if (OnSwitched)
        OnSwitched();
    RebuildMenu();
}

} // namespace lumora
