#pragma once

// What the benchmarks that run the main window share: the longest stall of
// the event loop, and stand-ins for the tray and the idle time.

#include "platform/shell/IdleTime.h"
#include "platform/shell/NotifyIconHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace lumora::bench {

// Runs the event loop until `done`, and measures the longest gap between two
// turns of the loop: what a user would feel as a frozen window.
template <typename Pred>
qint64 LongestStallUntil(Pred done, int limitMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    while (!done() && clock.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents);
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        QThread::usleep(200);
    }
    return longest;
}

// Takes every tray command and shows nothing.
class NoTray : public NotifyIconHost {
public:
    bool Notify(NotifyIconCommand, const NotifyIconData&) override { return true; }
};

// A user who is always at the keyboard.
class NoIdle : public IdleTimeSource {
public:
    quint32 IdleSeconds() override { return 0; }
};

} // namespace lumora::bench
