#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <memory>

namespace lumora {

// Which desktop brightness service the session bus offers, followed while
// the program runs: the bus tells when a service's name appears or goes (no
// polling). KDE's power management is preferred when both run: Plasma 6's
// per-display brightness where its root object answers, else Plasma 5's
// brightness control action.
class DesktopBrightnessWatcher : public QObject {
    Q_OBJECT
public:
    // The user's session bus.
    DesktopBrightnessWatcher();
    explicit DesktopBrightnessWatcher(QDBusConnection bus);
    ~DesktopBrightnessWatcher() override;

    // The service there is now, or null.
    DesktopBrightness* Current() const { return current_.get(); }

signals:
    // Current now names another service, or none.
    void ServiceChanged();

private:
    void Choose();

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    QString currentName_; // the kind and bus name of current_, empty for none
    std::unique_ptr<DesktopBrightness> current_;
};

} // namespace lumora
