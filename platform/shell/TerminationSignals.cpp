#include "platform/shell/TerminationSignals.h"

#include "platform/framework/Exception.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace lumora {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

// The pipe's write end, for the handler; -1 while no object lives.
std::atomic<int> gWriteFd{-1};
struct sigaction gPrevious[std::size(kSignals)];

void Handler(int signal)
{
    const int savedErrno = errno;
    const int fd = gWriteFd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signal);
        // A full pipe already holds more signals than the loop needs.
        (void)!::write(fd, &number, 1);
    }
    errno = savedErrno;
}

[[noreturn]] void Fail(const char* what, int error)
{
    throw EOSError(QStringLiteral("Cannot handle the ending signals (%1): %2")
                       .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

TTerminationSignals::TTerminationSignals()
{
    static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the descriptor without a lock");
    if (gWriteFd.load() >= 0)
        Fail("already handled", EBUSY);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        Fail("pipe", errno);
    readFd_ = fds[0];
    gWriteFd.store(fds[1]);
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TTerminationSignals::Drain);

    struct sigaction action{};
    action.sa_handler = Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

TTerminationSignals::~TTerminationSignals()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    notifier_.reset();
    const int writeFd = gWriteFd.exchange(-1);
    ::close(writeFd);
    ::close(readFd_);
}

void TTerminationSignals::Drain()
{
    unsigned char numbers[16];
    for (;;) {
        const ssize_t n = ::read(readFd_, numbers, sizeof numbers);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i) {
            if (OnSignal)
                OnSignal(numbers[i]);
        }
    }
}

} // namespace lumora
