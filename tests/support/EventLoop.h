#pragma once

// Runs the event loop until a condition holds, for tests of widgets that
// change state from timers, queued calls or another thread.

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

namespace lumora::testing {

// Runs the event loop until `done` holds or `limitMs` passes. The limit only
// keeps a broken build from hanging (a sanitizer build is slow); nothing here
// measures speed. Returns whether `done` holds.
template <typename Pred>
bool PumpUntil(Pred done, int limitMs = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

} // namespace lumora::testing
