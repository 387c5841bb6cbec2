#include "platform/device/DesktopBrightnessWatcher.h"

#include "platform/device/GnomeBrightness.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/KdeScreenBrightness.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusPendingCallWatcher>

namespace lumora {

namespace {

// What Choose found: the kind of service and the name it is talked to by.
enum class Kind { None, Plasma6, Plasma5, Gnome };

} // namespace

DesktopBrightnessWatcher::DesktopBrightnessWatcher() : DesktopBrightnessWatcher(QDBusConnection::sessionBus()) {}

DesktopBrightnessWatcher::DesktopBrightnessWatcher(QDBusConnection bus)
    : bus_(std::move(bus)),
      watcher_(QString(), bus_, QDBusServiceWatcher::WatchForOwnerChange)
{
    if (!bus_.isConnected())
        return; // no session bus: the panel is set as the system allows
    watcher_.setWatchedServices({kScreenBrightnessService, kKdePowerService, kGnomePowerService});
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this](const QString& name) {
        if (name == kKdePowerService)
            kdeServesDisplays_.reset(); // another owner, or none: ask again
        // Another owner is another service: what the old one said, or left
        // unanswered, is no longer true.
        if (currentName_.endsWith(u' ' + name))
            currentName_.clear();
        Choose();
    });
    Choose();
}

DesktopBrightnessWatcher::~DesktopBrightnessWatcher() = default;

void DesktopBrightnessWatcher::Choose()
{
    const QDBusConnectionInterface* names = bus_.interface();
    const auto there = [names](const QString& name) { return names != nullptr && names->isServiceRegistered(name); };
    Kind kind = Kind::None;
    QString name;
    if (there(kScreenBrightnessService)) {
        kind = Kind::Plasma6;
        name = kScreenBrightnessService;
    } else if (there(kKdePowerService) && KdeKindKnown()) {
        // Plasma 5 and 6 share the power management's name; Plasma 6 serves
        // the per-display root object there instead of the action.
        kind = *kdeServesDisplays_ ? Kind::Plasma6 : Kind::Plasma5;
        name = kKdePowerService;
    } else if (there(kGnomePowerService)) {
        kind = Kind::Gnome;
        name = kGnomePowerService;
    }
    const QString chosen = name.isEmpty() ? QString() : QString::number(int(kind)) + u' ' + name;
    if (chosen == currentName_ && (current_ != nullptr) == !chosen.isEmpty())
        return;
    currentName_ = chosen;
    switch (kind) {
    case Kind::Plasma6:
        current_ = std::make_unique<KdeScreenBrightness>(bus_, name);
        break;
    case Kind::Plasma5:
        current_ = std::make_unique<KdeBrightness>(bus_);
        break;
    case Kind::Gnome:
        current_ = std::make_unique<GnomeBrightness>(bus_);
        break;
    case Kind::None:
        current_.reset();
        break;
    }
    emit ServiceChanged();
}

bool DesktopBrightnessWatcher::KdeKindKnown()
{
    if (!kdeServesDisplays_)
        kdeServesDisplays_ = KdeScreenBrightness::IsServedBy(bus_, kKdePowerService);
    if (!kdeServesDisplays_)
        AskKdeKind();
    return kdeServesDisplays_.has_value();
}

void DesktopBrightnessWatcher::AskKdeKind()
{
    if (askingKde_)
        return;
    askingKde_ = true;
    // As long as the bus lets a call wait: nothing runs while it is out.
    constexpr int kAskMs = 25000;
    auto* pending =
        new QDBusPendingCallWatcher(bus_.asyncCall(KdeScreenBrightness::DisplaysCall(kKdePowerService), kAskMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending] {
        pending->deleteLater();
        askingKde_ = false;
        const QDBusMessage reply = pending->reply();
        const QDBusError::ErrorType error =
            reply.type() == QDBusMessage::ErrorMessage ? QDBusError(reply).type() : QDBusError::NoError;
        if (error == QDBusError::NoReply || error == QDBusError::Timeout) {
            // Still silent: one question stays out, a wake-up per 25 s at
            // most, until it is answered or the name changes hands.
            AskKdeKind();
            return;
        }
        if (error == QDBusError::ServiceUnknown)
            return; // the name went; its owner change chooses again
        kdeServesDisplays_ = error == QDBusError::NoError;
        Choose();
    });
}

} // namespace lumora
