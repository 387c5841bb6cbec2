#include "platform/device/DesktopBrightness.h"

#include "platform/framework/Exception.h"

namespace lumora {

namespace {

// The services answer at once when they answer at all; a hung one must not
// freeze the window for the bus's default 25 s.
constexpr int kAnswerMs = 2000;

} // namespace

QList<QVariant> DesktopBrightness::Ask(QDBusConnection bus, const QDBusMessage& call) const
{
    const QDBusMessage reply = bus.call(call, QDBus::Block, kAnswerMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw EOSError(QStringLiteral("%1 did not answer: %2").arg(Title(), reply.errorMessage()));
    return reply.arguments();
}

} // namespace lumora
