#include "platform/device/DesktopBrightnessWatcher.h"

#include "platform/device/GnomeBrightness.h"
#include "platform/device/KdeBrightness.h"
#include "platform/device/KdeScreenBrightness.h"
#include "platform/device/MutterBacklight.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusPendingCallWatcher>

namespace lumora {

namespace {

// What Choose found: the kind of service and the name it is talked to by.
enum class Kind { None, Plasma6, Plasma5, Mutter, Gnome };

QDBusError::ErrorType ErrorOf(const QDBusMessage& reply)
{
    return reply.type() == QDBusMessage::ErrorMessage ? QDBusError(reply).type() : QDBusError::NoError;
}

bool Unanswered(const QDBusMessage& reply)
{
    const QDBusError::ErrorType error = ErrorOf(reply);
    return error == QDBusError::NoReply || error == QDBusError::Timeout;
}

bool Replied(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage; }

} // namespace

DesktopBrightnessWatcher::DesktopBrightnessWatcher() : DesktopBrightnessWatcher(QDBusConnection::sessionBus()) {}

DesktopBrightnessWatcher::DesktopBrightnessWatcher(QDBusConnection bus)
    : bus_(std::move(bus)),
      watcher_(QString(), bus_, QDBusServiceWatcher::WatchForOwnerChange)
{
    if (!bus_.isConnected())
        return; // no session bus: the panel is set as the system allows
    watcher_.setWatchedServices(
        {kScreenBrightnessService, kKdePowerService, kMutterDisplayConfigService, kGnomePowerService});
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this, [this](const QString& name) {
        // Another owner, or none: what the old one answered, or left
        // unanswered, is no longer true.
        ++ownerEpoch_[name];
        for (auto it = answers_.begin(); it != answers_.end();)
            it = it->first.endsWith(u'@' + name) ? answers_.erase(it) : std::next(it);
        for (auto it = asking_.begin(); it != asking_.end();)
            it = it->first.endsWith(u'@' + name) ? asking_.erase(it) : std::next(it);
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
    const auto plasma6 = [](const QString& name) {
        return Question{QStringLiteral("plasma6@") + name, name, KdeScreenBrightness::DisplaysCall(name), Replied};
    };
    const Question plasma5{QStringLiteral("plasma5@") + kKdePowerService, kKdePowerService,
                           KdeBrightness::ProbeCallTo(kKdePowerService), Replied};
    const Question mutter{QStringLiteral("mutter@") + kMutterDisplayConfigService, kMutterDisplayConfigService,
                          MutterBacklight::BacklightCall(), MutterBacklight::OffersPanel};
    const Question gnome{QStringLiteral("gnome@") + kGnomePowerService, kGnomePowerService,
                         GnomeBrightness::ProbeCallTo(kGnomePowerService), Replied};

    Kind kind = Kind::None;
    QString name;
    if (there(kScreenBrightnessService) && Answer(plasma6(kScreenBrightnessService)) == true) {
        kind = Kind::Plasma6;
        name = kScreenBrightnessService;
    } else if (there(kKdePowerService) && Answer(plasma6(kKdePowerService)) == true) {
        kind = Kind::Plasma6;
        name = kKdePowerService;
    } else if (there(kKdePowerService) && Answer(plasma6(kKdePowerService)) == false && Answer(plasma5) == true) {
        // Plasma 5 serves the action only where it handles the backlight.
        kind = Kind::Plasma5;
        name = kKdePowerService;
    } else if (there(kMutterDisplayConfigService) && Answer(mutter) == true) {
        kind = Kind::Mutter;
        name = kMutterDisplayConfigService;
    } else if (there(kGnomePowerService) && Answer(gnome) == true) {
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
    case Kind::Mutter:
        current_ = std::make_unique<MutterBacklight>(bus_);
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

std::optional<bool> DesktopBrightnessWatcher::Answer(const Question& question)
{
    if (const auto known = answers_.find(question.Key); known != answers_.end())
        return known->second;
    if (asking_.count(question.Key) != 0)
        return std::nullopt;
    const QDBusMessage reply = bus_.call(question.Call, QDBus::Block, DesktopBrightnessService::kReadMs);
    if (Unanswered(reply)) {
        Ask(question);
        return std::nullopt;
    }
    const bool serves = question.Serves(reply);
    answers_[question.Key] = serves;
    return serves;
}

void DesktopBrightnessWatcher::Ask(const Question& question)
{
    const unsigned epoch = ownerEpoch_[question.Name];
    if (!asking_.emplace(question.Key, epoch).second)
        return;
    // As long as the bus lets a call wait: nothing runs while it is out.
    constexpr int kAskMs = 25000;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(question.Call, kAskMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, pending, question, epoch] {
        pending->deleteLater();
        const QDBusMessage reply = pending->reply();
        if (ownerEpoch_[question.Name] != epoch)
            return; // asked of an owner that has gone; the new one was asked afresh
        asking_.erase(question.Key);
        if (Unanswered(reply)) {
            // Still silent: one question stays out, a wake-up per 25 s at
            // most, until it is answered or the name changes hands.
            Ask(question);
            return;
        }
        if (ErrorOf(reply) == QDBusError::ServiceUnknown)
            return; // the name went; its owner change chooses again
        answers_[question.Key] = question.Serves(reply);
        Choose();
    });
}

} // namespace lumora
