#include "platform/device/DesktopBrightness.h"

#include "platform/framework/Exception.h"

#include <QDBusError>
#include <QDBusPendingCallWatcher>

#include <cstdio>
#include <utility>

namespace lumora {

namespace {

// A probe waits as long as the bus lets any call wait: it costs nothing
// while it is out, and one is enough to hear the service again.
constexpr int kProbeMs = 25000;

// No answer came within the call's bound: the service owns its name but
// does not serve it (hung, or busy with something else).
bool Unanswered(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::NoReply || type == QDBusError::Timeout;
}

QString ErrorTextOf(const QDBusMessage& reply)
{
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

} // namespace

DesktopBrightnessService::DesktopBrightnessService(QDBusConnection bus, QString service)
    : bus_(std::move(bus)), service_(std::move(service))
{
}

bool DesktopBrightnessService::Known()
{
    if (silent_) {
        Probe();
        return false;
    }
    if (!known_) {
        if (const std::optional<State> state = ReadState()) {
            state_ = *state;
            known_ = true;
        }
    }
    return known_;
}

int DesktopBrightnessService::Maximum() { return Known() ? state_.Maximum : 0; }

int DesktopBrightnessService::Value()
{
    Known();
    return state_.Value;
}

void DesktopBrightnessService::SetValue(int value)
{
    if (Known()) {
        if (state_.Maximum <= 0)
            throw EOSError(QStringLiteral("%1 has no built-in panel").arg(Title()));
        // What the panel is about to be; the service's report settles it.
        state_.Value = value;
        if (sending_)
            waiting_ = value;
        else
            Send(value);
    }
    if (!refusal_.isEmpty())
        throw EOSError(std::exchange(refusal_, QString()));
}

void DesktopBrightnessService::Send(int value)
{
    sending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(SetCall(value), kWriteMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        sending_ = false;
        const QDBusMessage reply = watcher->reply();
        if (lumora::Unanswered(reply)) {
            waiting_.reset();
            Unanswered();
            return;
        }
        Heard();
        if (reply.type() == QDBusMessage::ErrorMessage)
            refusal_ = QStringLiteral("%1 did not answer: %2").arg(Title(), ErrorTextOf(reply));
        if (waiting_)
            Send(*std::exchange(waiting_, std::nullopt));
    });
}

std::optional<QList<QVariant>> DesktopBrightnessService::Read(const QDBusMessage& call)
{
    if (silent_) {
        Probe();
        return std::nullopt;
    }
    const QDBusMessage reply = bus_.call(call, QDBus::Block, kReadMs);
    if (lumora::Unanswered(reply)) {
        Unanswered();
        return std::nullopt;
    }
    Heard();
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw EOSError(QStringLiteral("%1 did not answer: %2").arg(Title(), ErrorTextOf(reply)));
    return reply.arguments();
}

void DesktopBrightnessService::Reported(int value, std::optional<int> maximum)
{
    Heard();
    state_.Value = value;
    if (maximum)
        state_.Maximum = *maximum;
    emit ValueChanged(value);
}

void DesktopBrightnessService::RangeChanged()
{
    Heard();
    known_ = false;
    if (Known())
        emit ValueChanged(state_.Value);
}

void DesktopBrightnessService::Heard()
{
    if (!silent_)
        return;
    silent_ = false;
    std::fprintf(stderr, "lumora: %s answers again\n", qPrintable(Title()));
}

void DesktopBrightnessService::Unanswered()
{
    if (!silent_) {
        silent_ = true;
        std::fprintf(stderr, "lumora: %s does not answer; the panel is set without it until it does\n",
                     qPrintable(Title()));
        emit StoppedAnswering();
    }
    Probe();
}

void DesktopBrightnessService::Probe()
{
    if (probing_)
        return;
    probing_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(ProbeCall(), kProbeMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        probing_ = false;
        // Any answer, a refusal included, means the service serves its name
        // again; a probe that went unanswered is sent again at next use.
        if (!lumora::Unanswered(watcher->reply()))
            Heard();
    });
}

} // namespace lumora
