#include "platform/device/LogindSession.h"

#include "platform/framework/Exception.h"

#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

#include <ctime>

namespace lumora {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kSessionInterface = QStringLiteral("org.freedesktop.login1.Session");

// A bus that is not there would otherwise wait for the default 25 s timeout.
// Brightness is set from a worker thread, which may wait that long.
constexpr int kCallTimeoutMs = 5000;
// The idle hint is read on the window's thread: it may hold it this long at
// most.
constexpr int kReadTimeoutMs = 100;

} // namespace

LogindSession::LogindSession(QDBusConnection bus, QString sessionPath)
    : bus_(std::move(bus)), sessionPath_(std::move(sessionPath))
{
}

void LogindSession::SetBrightness(const QString& subsystem, const QString& name, quint32 value) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, sessionPath_, kSessionInterface,
                                                       QStringLiteral("SetBrightness"));
    call << subsystem << name << value;
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QString text = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
        throw EOSError(QStringLiteral("The login manager could not set the brightness of %1: %2").arg(name, text));
    }
}

std::optional<quint64> LogindSession::IdleMilliseconds() const
{
    auto property = [this](const QString& name) -> std::optional<QVariant> {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, sessionPath_,
                                                           QStringLiteral("org.freedesktop.DBus.Properties"),
                                                           QStringLiteral("Get"));
        call << kSessionInterface << name;
        const QDBusReply<QDBusVariant> reply = bus_.call(call, QDBus::Block, kReadTimeoutMs);
        if (!reply.isValid())
            return std::nullopt;
        return reply.value().variant();
    };
    const auto idle = property(QStringLiteral("IdleHint"));
    if (!idle)
        return std::nullopt;
    if (!idle->toBool())
        return 0;
    const auto since = property(QStringLiteral("IdleSinceHintMonotonic"));
    if (!since)
        return std::nullopt;
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const quint64 nowUs = quint64(now.tv_sec) * 1000000u + quint64(now.tv_nsec) / 1000u;
    const quint64 sinceUs = since->toULongLong();
    return nowUs > sinceUs ? (nowUs - sinceUs) / 1000u : 0;
}

} // namespace lumora
