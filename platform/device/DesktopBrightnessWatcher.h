#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace lumora {

// Which desktop brightness service the session bus offers, followed while
// the program runs: the bus tells when a service's name appears or goes (no
// polling). In this order, the first that serves the panel is used:
//   - Plasma 6's per-display brightness, under org.kde.ScreenBrightness or
//     under the power management's name;
//   - Plasma 5's brightness control action under the power management's name
//     (the power manager serves it only where it handles the backlight);
//   - GNOME's compositor (Mutter 47 and later), where its display
//     configuration offers the built-in panel's backlight;
//   - GNOME's settings daemon's screen brightness (up to GNOME 48; later
//     ones keep the name for the keyboard only).
// A name counts only once its owner has answered for the interface the
// program would use: an owned name that refuses that call is no service,
// and one that has not answered yet counts as absent while the question
// stays out without waiting (the first asking is a bounded read).
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
    // One question put to a name's owner: a call, and whether its reply
    // means the owner serves what is asked for.
    struct Question {
        QString Key;  // names the question and the bus name it goes to
        QString Name; // the bus name
        QDBusMessage Call;
        std::function<bool(const QDBusMessage&)> Serves;
    };

    void Choose();
    // The owner's answer, once known: asked with a bounded read the first
    // time, then without waiting while it goes unanswered.
    std::optional<bool> Answer(const Question& question);
    void Ask(const Question& question);

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    QString currentName_; // the kind and bus name of current_, empty for none
    std::unique_ptr<DesktopBrightness> current_;
    std::map<QString, bool> answers_;        // by question key, from the name's owner now
    std::map<QString, unsigned> asking_;     // questions out without waiting, by the owner they went to
    std::map<QString, unsigned> ownerEpoch_; // counts the owner changes of each name
};

} // namespace lumora
