#include "platform/shell/TerminationSignals.h"

#include "platform/framework/Exception.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

using namespace lumora;

namespace {

void RunLoopFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool DefaultHandling(int signal)
{
    struct sigaction current{};
    ::sigaction(signal, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

} // namespace

TEST(ShellTerminationSignals, TermAndHupArriveThroughTheEventLoopOnceEach)
{
    ASSERT_TRUE(DefaultHandling(SIGTERM));
    std::vector<int> received;
    {
        TTerminationSignals handling;
        handling.OnSignal = [&](int signal) { received.push_back(signal); };
        ::raise(SIGTERM);
        ::raise(SIGHUP);
        EXPECT_TRUE(received.empty()) << "never from within the handler";
        RunLoopFor(100);
        EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP}));
        ::raise(SIGTERM);
        RunLoopFor(100);
        EXPECT_EQ(received.size(), 3u);
        EXPECT_THROW(TTerminationSignals(), EOSError) << "one at a time";
    }
    EXPECT_TRUE(DefaultHandling(SIGTERM)) << "the handling is put back";
    EXPECT_TRUE(DefaultHandling(SIGHUP));
    TTerminationSignals again; // and can be taken up anew
}
