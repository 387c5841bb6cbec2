#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace e2e {

// KWin on its virtual backend, started for one test. It offers
// ext-idle-notify-v1, org_kde_kwin_idle and org_kde_kwin_dpms, but no
// virtual keyboard, so user activity is simulated through the idle protocol.
class HeadlessKWin {
public:
    // Who runs it: the test's own user, or the unprivileged test user, for
    // clients that run as that user too (root's runtime folder is closed
    // to them).
    enum RunAs { AsTestProcess, AsTestUser };
    static bool Installed();
    explicit HeadlessKWin(RunAs runAs = AsTestProcess);
    ~HeadlessKWin();
    bool Started() const { return started_; }
    QString Log() const;
    QString RuntimeDir() const { return runtime_.path(); }
    QString WaylandDisplay() const { return "wayland-lumora"; }
    QProcessEnvironment ClientEnvironment() const;
    // What the compositor treats as user input (org_kde_kwin_idle's
    // simulate_user_activity).
    void SimulateActivity() const;
    // The DPMS mode of the first output as KWin reports it (0 on, 3 off), or
    // -1 when the output does not support DPMS.
    int OutputDpmsMode() const;

private:
    QTemporaryDir runtime_;
    QProcess server_;
    bool started_ = false;
};

} // namespace e2e
