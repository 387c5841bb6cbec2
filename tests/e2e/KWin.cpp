#include "KWin.h"

#include "Desktop.h"
#include "Sway.h"

#include <QFile>

#include <cstring>

#include <wayland-client.h>

#include "kde-dpms-client-protocol.h"
#include "kde-idle-client-protocol.h"

namespace e2e {

namespace {
const char kKWin[] = "/usr/bin/kwin_wayland";
}

bool HeadlessKWin::Installed() { return QFile::exists(kKWin); }

HeadlessKWin::HeadlessKWin(RunAs runAs)
{
    const QString dir = runtime_.path();
    // A copy without the file capabilities the package gives the binary:
    // a container that may not grant them refuses to start it otherwise.
    const QString copy = dir + "/kwin_wayland";
    if (!QFile::copy(kKWin, copy))
        return;
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("HOME", dir);
    env.insert("XDG_RUNTIME_DIR", dir);
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(dir + "/kwin.log");
    const QStringList args{"--virtual", "--socket", WaylandDisplay(), "--no-lockscreen", "--no-global-shortcuts",
                           "--no-kactivities", "--width", "1280", "--height", "1024"};
    if (runAs == AsTestUser) {
        TestUser::Own(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TestUser::Start(server_, copy, args, env);
    } else {
        server_.setProcessEnvironment(env);
        server_.start(copy, args);
        server_.waitForStarted(5000);
    }
    // The socket appears before KWin serves it: wait until a client gets the
    // globals it needs.
    started_ = Eventually([&] {
        if (!QFile::exists(dir + "/" + WaylandDisplay()))
            return false;
        qputenv("XDG_RUNTIME_DIR", dir.toUtf8());
        wl_display* display = wl_display_connect(qPrintable(WaylandDisplay()));
        if (!display)
            return false;
        const bool ok = wl_display_roundtrip(display) >= 0;
        wl_display_disconnect(display);
        return ok;
    }, 30000);
}

HeadlessKWin::~HeadlessKWin()
{
    server_.terminate();
    if (!server_.waitForFinished(5000))
        server_.kill();
    server_.waitForFinished(2000);
}

QString HeadlessKWin::Log() const { return ReadText(runtime_.path() + "/kwin.log"); }

QProcessEnvironment HeadlessKWin::ClientEnvironment() const
{
    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH", "/usr/bin:/bin"));
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    env.insert("WAYLAND_DISPLAY", WaylandDisplay());
    env.insert("XDG_SESSION_TYPE", "wayland");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    return env;
}

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    org_kde_kwin_idle* idle = nullptr;
    wl_output* output = nullptr;
    org_kde_kwin_dpms_manager* dpms = nullptr;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
        g->idle = static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    else if (std::strcmp(interface, wl_output_interface.name) == 0 && !g->output)
        g->output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 1));
    else if (std::strcmp(interface, org_kde_kwin_dpms_manager_interface.name) == 0)
        g->dpms = static_cast<org_kde_kwin_dpms_manager*>(
            wl_registry_bind(registry, name, &org_kde_kwin_dpms_manager_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

struct DpmsState {
    bool supported = false;
    int mode = -1;
};
void OnSupported(void* data, org_kde_kwin_dpms*, uint32_t supported)
{
    static_cast<DpmsState*>(data)->supported = supported != 0;
}
void OnMode(void* data, org_kde_kwin_dpms*, uint32_t mode) { static_cast<DpmsState*>(data)->mode = int(mode); }
void OnDone(void*, org_kde_kwin_dpms*) {}

} // namespace

void HeadlessKWin::SimulateActivity() const
{
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    wl_display* display = wl_display_connect(qPrintable(WaylandDisplay()));
    if (!display)
        return;
    Globals g;
    static const wl_registry_listener listener = {OnGlobal, OnGlobalRemove};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &g);
    wl_display_roundtrip(display);
    if (g.seat && g.idle) {
        org_kde_kwin_idle_timeout* timeout = org_kde_kwin_idle_get_idle_timeout(g.idle, g.seat, 60000);
        org_kde_kwin_idle_timeout_simulate_user_activity(timeout);
        wl_display_roundtrip(display);
        org_kde_kwin_idle_timeout_release(timeout);
        org_kde_kwin_idle_destroy(g.idle);
    }
    if (g.seat)
        wl_seat_destroy(g.seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
}

int HeadlessKWin::OutputDpmsMode() const
{
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    wl_display* display = wl_display_connect(qPrintable(WaylandDisplay()));
    if (!display)
        return -1;
    Globals g;
    static const wl_registry_listener listener = {OnGlobal, OnGlobalRemove};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &g);
    wl_display_roundtrip(display);
    DpmsState state;
    if (g.output && g.dpms) {
        static const org_kde_kwin_dpms_listener dpmsListener = {OnSupported, OnMode, OnDone};
        org_kde_kwin_dpms* dpms = org_kde_kwin_dpms_manager_get(g.dpms, g.output);
        org_kde_kwin_dpms_add_listener(dpms, &dpmsListener, &state);
        wl_display_roundtrip(display);
        org_kde_kwin_dpms_release(dpms);
    }
    wl_display_disconnect(display);
    return state.supported ? state.mode : -1;
}

} // namespace e2e
