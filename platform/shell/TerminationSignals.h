#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace lumora {

// The session manager ends a program with SIGTERM at logout, and a closed
// terminal sends SIGHUP. Either would end the process at once, with nothing
// saved; while an object of this class lives they are turned into a call on
// the thread that made it, from its event loop, so the program can end in
// order. The handler itself only writes the signal's number into a pipe (the
// one thing it may safely do); the loop reads it there. One object at a time.
class TTerminationSignals : public QObject {
public:
    // Raises EOSError when the pipe cannot be made or another object is alive.
    TTerminationSignals();
    // Puts the handling back as it was.
    ~TTerminationSignals() override;
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    // Called with SIGTERM or SIGHUP, once for each signal that arrived.
    std::function<void(int signal)> OnSignal;

private:
    void Drain();

    int readFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace lumora
