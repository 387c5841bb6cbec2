#include "platform/shell/LogindSleepWatch.h"

namespace lumora {

std::unique_ptr<LogindSleepWatch> LogindSleepWatch::Open(QDBusConnection bus)
{
    if (!bus.isConnected())
        return nullptr;
    std::unique_ptr<LogindSleepWatch> watch(new LogindSleepWatch);
    if (!bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                     QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                     watch.get(), SLOT(PrepareForSleep(bool))))
        return nullptr;
    return watch;
}

void LogindSleepWatch::PrepareForSleep(bool start)
{
    // true: about to sleep; false: awake again.
    if (!start && OnResumed)
        OnResumed();
}

} // namespace lumora
