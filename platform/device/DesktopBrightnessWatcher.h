#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <memory>
#include <optional>

namespace lumora {

// Which desktop brightness service the session bus offers, followed while
// the program runs: the bus tells when a service's name appears or goes (no
// polling). KDE's power management is preferred when both run: Plasma 6's
// per-display brightness where its root object answers, else Plasma 5's
// brightness control action. Which of the two serves the name is asked with
// a bounded read; while that goes unanswered the name counts as absent (GNOME's
// service is used if it runs) and the question stays out without waiting.
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
    // Whether it is known which Plasma serves the power management's name;
    // asks it with a bounded read, then without waiting.
    bool KdeKindKnown();
    // Asks the power management's name, without waiting, which Plasma
    // serves it; chooses again when the answer comes.
    void AskKdeKind();

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    QString currentName_; // the kind and bus name of current_, empty for none
    std::unique_ptr<DesktopBrightness> current_;
    std::optional<bool> kdeServesDisplays_; // the answer of the power management's owner now
    bool askingKde_ = false;                 // that question is out
};

} // namespace lumora
