#include "platform/shell/InstanceRecord.h"
#include "platform/shell/ActivationToken.h"
#include "platform/shell/RaiseChannel.h"
#include "platform/framework/Exception.h"
#include "support/EnvironmentScope.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <future>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <time.h>
#include <unistd.h>

using namespace lumora;
using lumora::testing::EnvironmentScope;

namespace {

// Runs the event loop until `done` or the timeout.
template <typename Done>
bool SpinUntil(Done done, int timeoutMs = 5000);

// A client of the raise channel that sends what it is given, as any local
// program could. True when the server then hangs up on it.
bool ServerHangsUpAfter(const QString& path, const QByteArray& bytes, int timeoutMs)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    bool hungUp = false;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, bytes.constData(), std::size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size()) {
        hungUp = SpinUntil([&] {
            char c;
            const ssize_t n = ::recv(fd, &c, 1, 0);
            return n == 0 || (n < 0 && errno != EAGAIN);
        }, timeoutMs);
    }
    ::close(fd);
    return hungUp;
}

template <typename Done>
bool SpinUntil(Done done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// A child process that registers as a copy with `handle` and then waits to be
// killed. Returns its pid once it has registered.
pid_t StartRegisteredChild(const QString& name, const QString& folder, quint32 handle)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(ready[0]);
        TInstanceRecord record(name, folder);
        const char counted = record.Register(handle, 1).Counted ? '1' : '0';
        (void)!::write(ready[1], &counted, 1);
        while (true)
            ::pause();
    }
    ::close(ready[1]);
    char counted = 0;
    const bool ok = ::read(ready[0], &counted, 1) == 1 && counted == '1';
    ::close(ready[0]);
    return ok ? pid : -1;
}

} // namespace

TEST(ShellInstance, RecordNameIsThePathWithoutBackslashesAndBlanks)
{
    EXPECT_EQ(TInstanceRecord::NameFromExecutable("/opt/My Apps/lumora"), "/opt/MyApps/lumora");
    EXPECT_EQ(TInstanceRecord::NameFromExecutable("C:\\Program Files\\Lumora.exe"), "C:ProgramFilesLumora.exe");
    EXPECT_EQ(TInstanceRecord::NameFromExecutable("/Opt/A"), "/Opt/A") << "letter case is kept";
}

TEST(ShellInstance, SecondCopyFindsTheFirstAndRunsFirstAfterItEnds)
{
    QTemporaryDir folder;
    auto first = std::make_unique<TInstanceRecord>("/opt/lumora", folder.path());
    const TInstanceRecord::Check a = first->Register(0x3A00007, 1);
    EXPECT_TRUE(a.Counted);
    EXPECT_EQ(a.Before.Count, 0u);

    TInstanceRecord second("/opt/lumora", folder.path());
    const TInstanceRecord::Check b = second.Register(0x4C00001, 1);
    EXPECT_FALSE(b.Counted);
    EXPECT_EQ(b.Before.WindowHandle, 0x3A00007u);
    EXPECT_EQ(b.Before.Count, 1u);

    TInstanceRecord elsewhere("/home/me/lumora", folder.path());
    EXPECT_TRUE(elsewhere.Register(9, 1).Counted) << "another executable path counts apart";

    first.reset();
    EXPECT_EQ(second.Read().Count, 0u);
    EXPECT_TRUE(second.Register(0x4C00001, 1).Counted);
    EXPECT_EQ(second.Read().WindowHandle, 0x4C00001u);
}

TEST(ShellInstance, MaxInstancesAllowsThatManyCopies)
{
    QTemporaryDir folder;
    TInstanceRecord a("/x", folder.path()), b("/x", folder.path()), c("/x", folder.path());
    EXPECT_TRUE(a.Register(1, 2).Counted);
    EXPECT_TRUE(b.Register(2, 2).Counted);
    const TInstanceRecord::Check third = c.Register(3, 2);
    EXPECT_FALSE(third.Counted);
    EXPECT_EQ(third.Before.Count, 2u);
    EXPECT_EQ(third.Before.WindowHandle, 2u) << "the copy that registered last";
    a.Unregister();
    EXPECT_TRUE(c.Register(3, 2).Counted);
    EXPECT_EQ(c.Read().Count, 2u);
}

TEST(ShellInstance, ACopyKilledHardDropsOutOfTheCount)
{
    QTemporaryDir folder;
    const pid_t child = StartRegisteredChild("/opt/lumora", folder.path(), 77);
    ASSERT_GT(child, 0);
    TInstanceRecord record("/opt/lumora", folder.path());
    EXPECT_EQ(record.Read().Count, 1u);
    EXPECT_FALSE(record.Register(5, 1).Counted);

    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const TInstanceRecord::Check check = record.Register(5, 1);
    EXPECT_TRUE(check.Counted) << "the killed copy must not lock the user out";
    EXPECT_EQ(check.Before.Count, 0u);
    EXPECT_EQ(record.Read().Count, 1u);
}

TEST(ShellInstance, ARecordThatCannotBeMadeRaisesTheSystemError)
{
    try {
        TInstanceRecord record("/x", "/nonexistent/folder");
        ADD_FAILURE();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.Message(), "System Error.  Code: 2.\nNo such file or directory");
    }
}

TEST(ShellInstance, ASurplusCopyAsksTheFirstToComeForward)
{
    QTemporaryDir folder;
    TInstanceRecord record("/opt/lumora", folder.path());
    // A socket file left by a copy that was killed.
    QFile stale(record.ServerPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();

    TRaiseServer server(record.ServerPath());
    int raised = 0;
    server.OnRaiseRequest = [&] { ++raised; };
    server.Listen();
    ASSERT_TRUE(server.IsListening());

    auto answer = std::async(std::launch::async, [&] { return RequestRaise(record.ServerPath()); });
    ASSERT_TRUE(SpinUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(answer.get());
    EXPECT_EQ(raised, 1);

    // Anything but the request raises nothing.
    EXPECT_TRUE(ServerHangsUpAfter(record.ServerPath(), "rise and shine\n", 1000));
    EXPECT_TRUE(ServerHangsUpAfter(record.ServerPath(), QByteArray(400, 'r'), 1000)) << "a flood is cut off";
    EXPECT_EQ(raised, 1);

    EXPECT_FALSE(RequestRaise(folder.path() + "/nobody.socket", 200));
}

TEST(ShellRaiseChannel, AnActivationTokenTravelsWithTheRequest)
{
    QTemporaryDir folder;
    const QString path = folder.path() + "/raise.socket";
    TRaiseServer server(path);
    QList<QByteArray> tokens;
    server.OnRaiseRequest = [&] { tokens << qgetenv("XDG_ACTIVATION_TOKEN"); };
    server.Listen();
    const auto request = [&](const QByteArray& token) {
        auto answer = std::async(std::launch::async, [&] { return RequestRaise(path, 2000, token); });
        EXPECT_TRUE(SpinUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        return answer.get();
    };
    qunsetenv("XDG_ACTIVATION_TOKEN");
    EXPECT_TRUE(request("kwin-4f1c_9a:22"));
    EXPECT_TRUE(request(QByteArray(300, 'x'))) << "a token too long is left out, the request still goes";
    ASSERT_EQ(tokens.size(), 2);
    EXPECT_EQ(tokens[0], "kwin-4f1c_9a:22");
    qunsetenv("XDG_ACTIVATION_TOKEN");

    // Requests with a token that is not one raise nothing.
    for (const QByteArray& bad : {QByteArray("raise two words\n"), QByteArray("raise \n"), QByteArray("raise x")}) {
        ServerHangsUpAfter(path, bad, 300);
    }
    EXPECT_EQ(tokens.size(), 2);
    EXPECT_TRUE(qgetenv("XDG_ACTIVATION_TOKEN").isEmpty());

    EXPECT_FALSE(IsActivationToken(QByteArray("a\tb")));
    EXPECT_FALSE(IsActivationToken(QByteArray(257, 'a')));
    EXPECT_TRUE(IsActivationToken(QByteArray(256, 'a')));
}

// ------------------------------------------------ the folder and the file

namespace {

QString UserName()
{
    const passwd* pw = ::getpwuid(::geteuid());
    return pw != nullptr ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::geteuid());
}

constexpr uid_t kNobody = 65534;

// Runs `work` in a child process that is killed after `seconds`; its exit
// status, or -1 when it was killed (it hung) or did not exit normally.
int InChild(int seconds, const std::function<int()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(unsigned(seconds));
        int code = 99;
        try {
            code = work();
        } catch (...) {
            code = 98;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A lock held by another open file of the record, as any program of the
// user could take.
int HoldLock(const QString& path, off_t start, off_t length)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    struct flock fl{};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = length;
    EXPECT_EQ(::fcntl(fd, F_OFD_SETLK, &fl), 0) << std::strerror(errno);
    return fd;
}

} // namespace

TEST(ShellRuntimeFolder, WithoutXdgRuntimeDirAPrivateFolderOfOursIsMadeNeverTheSharedOne)
{
    QTemporaryDir shared;
    ::chmod(QFile::encodeName(shared.path()).constData(), 01777);
    EnvironmentScope tmp("TMPDIR", QFile::encodeName(shared.path()));
    EnvironmentScope runtime("XDG_RUNTIME_DIR", QByteArray());

    const std::optional<QString> folder = TInstanceRecord::RuntimeFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, shared.path() + "/runtime-" + UserName());
    struct stat st{};
    ASSERT_EQ(::lstat(QFile::encodeName(*folder).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
    EXPECT_EQ(TInstanceRecord::RuntimeFolder(), folder) << "found again at the next start";
}

TEST(ShellRuntimeFolder, APlantedFolderOrLinkIsNotUsedAndNothingSharedTakesItsPlace)
{
    QTemporaryDir shared;
    ::chmod(QFile::encodeName(shared.path()).constData(), 01777);
    EnvironmentScope tmp("TMPDIR", QFile::encodeName(shared.path()));
    EnvironmentScope runtime("XDG_RUNTIME_DIR", QByteArray());
    const QByteArray planted = QFile::encodeName(shared.path() + "/runtime-" + UserName());

    // Another user's folder under our name (open to all where the test cannot
    // give it away).
    ASSERT_EQ(::mkdir(planted.constData(), 0777), 0);
    ::chmod(planted.constData(), 0777);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(planted.constData(), kNobody, kNobody), 0);
    }
    EXPECT_EQ(TInstanceRecord::RuntimeFolder(), std::nullopt);

    // A link to a private folder of ours, planted by someone else.
    ASSERT_EQ(::rmdir(planted.constData()), 0);
    QTemporaryDir ours;
    ASSERT_EQ(::symlink(QFile::encodeName(ours.path()).constData(), planted.constData()), 0);
    EXPECT_EQ(TInstanceRecord::RuntimeFolder(), std::nullopt);
}

TEST(ShellRuntimeFolder, XdgRuntimeDirIsUsedOnlyWhenOthersCannotWriteThere)
{
    QTemporaryDir shared, login;
    ::chmod(QFile::encodeName(shared.path()).constData(), 01777);
    EnvironmentScope tmp("TMPDIR", QFile::encodeName(shared.path()));
    {
        EnvironmentScope runtime("XDG_RUNTIME_DIR", QFile::encodeName(login.path()));
        EXPECT_EQ(TInstanceRecord::RuntimeFolder(), login.path());
    }
    {
        EnvironmentScope runtime("XDG_RUNTIME_DIR", QFile::encodeName(shared.path()));
        EXPECT_EQ(TInstanceRecord::RuntimeFolder(), shared.path() + "/runtime-" + UserName())
            << "a folder all may write to is no runtime folder";
    }
    {
        const QString missing = login.path() + "/run";
        EnvironmentScope runtime("XDG_RUNTIME_DIR", QFile::encodeName(missing));
        EXPECT_EQ(TInstanceRecord::RuntimeFolder(), missing) << "made when missing, as the login manager would";
    }
}

TEST(ShellInstance, ARecordThatIsNotAPlainFileOfOursIsRefusedWithoutBlocking)
{
    QTemporaryDir folder;
    const QString path = TInstanceRecord("/opt/lumora", folder.path()).FilePath();
    const QByteArray name = QFile::encodeName(path);

    // A named pipe: opening it must not wait for a writer, nor count on it.
    ASSERT_EQ(::unlink(name.constData()), 0);
    ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
    EXPECT_EQ(InChild(5, [&] {
        try {
            TInstanceRecord record("/opt/lumora", folder.path());
            return 1;
        } catch (const EOSError&) {
            return 0;
        }
    }), 0);

    // A link to a file elsewhere.
    QTemporaryDir elsewhere;
    QFile target(elsewhere.filePath("target"));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.close();
    ASSERT_EQ(::unlink(name.constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(target.fileName()).constData(), name.constData()), 0);
    EXPECT_THROW(TInstanceRecord("/opt/lumora", folder.path()), EOSError);

    // Another user's file.
    if (::geteuid() != 0)
        return;
    ASSERT_EQ(::unlink(name.constData()), 0);
    QFile theirs(path);
    ASSERT_TRUE(theirs.open(QIODevice::WriteOnly));
    theirs.close();
    ASSERT_EQ(::chown(name.constData(), kNobody, kNobody), 0);
    EXPECT_THROW(TInstanceRecord("/opt/lumora", folder.path()), EOSError);
}

// ---------------------------------------------------------- the slot walk

TEST(ShellInstance, ALockOverManySlotsCountsAsOneHolderAndIsSteppedOver)
{
    QTemporaryDir folder;
    const QString path = TInstanceRecord("/opt/lumora", folder.path()).FilePath();
    const off_t slotArea = off_t(TInstanceRecord::SlotAreaStart);

    // Ten slots under one lock: the walk must not find it again and again.
    const int wide = HoldLock(path, slotArea, 10);
    EXPECT_EQ(InChild(5, [&] { return int(TInstanceRecord("/opt/lumora", folder.path()).Read().Count); }), 1);
    // Registering finds the first free slot behind it.
    EXPECT_EQ(InChild(5, [&] {
        TInstanceRecord record("/opt/lumora", folder.path());
        if (!record.Register(7, 2).Counted)
            return 90;
        return int(record.Read().Count);
    }), 2);
    ::close(wide);

    // A lock from before the slot area into it, and one to the end of the file.
    const int across = HoldLock(path, 100, slotArea);
    const int toEnd = HoldLock(path, slotArea + 500, 0);
    EXPECT_EQ(InChild(5, [&] { return int(TInstanceRecord("/opt/lumora", folder.path()).Read().Count); }), 2);
    EXPECT_EQ(InChild(5, [&] {
        TInstanceRecord record("/opt/lumora", folder.path());
        return record.Register(7, 3).Counted ? int(record.Read().Count) : 90;
    }), 3);
    ::close(across);
    ::close(toEnd);
}

TEST(ShellInstance, ACopyStuckOnTheRecordDoesNotHangTheNextOne)
{
    QTemporaryDir folder;
    const QString path = TInstanceRecord("/opt/lumora", folder.path()).FilePath();
    const int stuck = HoldLock(path, 0, 8);
    EXPECT_EQ(InChild(15, [&] {
        TInstanceRecord record("/opt/lumora", folder.path());
        try {
            record.Register(7, 1);
            return 1;
        } catch (const EOSError&) {
            return 0;
        }
    }), 0) << "gives up with an error instead of waiting for ever";
    ::close(stuck);
}

// --------------------------------------------------------- the raise socket

namespace {

// A connected client that sends nothing; -1 when the connection was refused
// (EAGAIN: the queue is full).
int IdleClient(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool HungUp(int fd)
{
    char c;
    const ssize_t n = ::recv(fd, &c, 1, MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN);
}

// RequestRaise on another thread while this one serves the event loop.
bool RequestServed(const QString& path, int timeoutMs)
{
    auto answer = std::async(std::launch::async, [&] { return RequestRaise(path, timeoutMs); });
    SpinUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, timeoutMs + 2000);
    return answer.get();
}

double ProcessCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

TEST(ShellRaiseChannel, ASilentClientIsHungUpOnAndTheClientsServedAtOnceAreCapped)
{
    QTemporaryDir folder;
    const QString path = folder.path() + "/raise.socket";
    TRaiseServer server(path);
    int raised = 0;
    server.OnRaiseRequest = [&] { ++raised; };
    server.Listen();

    std::vector<int> idle;
    for (int i = 0; i < TRaiseServer::kMaxConnections + 3; ++i)
        idle.push_back(IdleClient(path));
    ASSERT_TRUE(std::all_of(idle.begin(), idle.end(), [](int fd) { return fd >= 0; }));
    SpinUntil([&] { return server.ConnectionCount() >= TRaiseServer::kMaxConnections; }, 1000);
    SpinUntil([] { return false; }, 300);
    EXPECT_EQ(server.ConnectionCount(), TRaiseServer::kMaxConnections) << "the rest wait in the queue";

    // All of them are hung up on in the end, the queued ones after the first.
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(SpinUntil([&] { return HungUp(idle.front()); }, 5000));
    EXPECT_GE(clock.elapsed(), TRaiseServer::kClientPatienceMs / 2) << "a client is given time to send";
    EXPECT_TRUE(SpinUntil([&] { return std::all_of(idle.begin(), idle.end(), HungUp); }, 8000));
    for (int fd : idle)
        ::close(fd);
    EXPECT_TRUE(RequestServed(path, 2000)) << "the server still answers";
    EXPECT_EQ(raised, 1);
}

TEST(ShellRaiseChannel, ACopyMeetingAFullQueueAsksAgainUntilItsDeadline)
{
    QTemporaryDir folder;
    const QString path = folder.path() + "/raise.socket";
    TRaiseServer server(path);
    int raised = 0;
    server.OnRaiseRequest = [&] { ++raised; };
    server.Listen();

    // The event loop is not running: clients pile up until the queue refuses.
    std::vector<int> queued;
    for (int fd = IdleClient(path); fd >= 0 && queued.size() < 64; fd = IdleClient(path))
        queued.push_back(fd);
    ASSERT_LT(queued.size(), 64u) << "the queue never filled";

    auto answer = std::async(std::launch::async, [&] { return RequestRaise(path, 4000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int fd : queued)
        ::close(fd); // they leave; the server drops them as it meets them
    ASSERT_TRUE(SpinUntil([&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 6000));
    EXPECT_TRUE(answer.get());
    EXPECT_EQ(raised, 1);
}

TEST(ShellRaiseChannel, OutOfDescriptorsTheServerWaitsInsteadOfSpinning)
{
    QTemporaryDir folder;
    const QString path = folder.path() + "/raise.socket";
    TRaiseServer server(path);
    server.Listen();
    std::vector<int> queued;
    for (int i = 0; i < 2; ++i)
        queued.push_back(IdleClient(path));

    // No descriptor left for the process: the lowest free one is the limit.
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit tight = before;
    tight.rlim_cur = rlim_t(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const double cpuBefore = ProcessCpuSeconds();
    SpinUntil([] { return false; }, 600);
    const double cpuSpent = ProcessCpuSeconds() - cpuBefore;
    ::setrlimit(RLIMIT_NOFILE, &before);

    // Waiting costs a few milliseconds; spinning takes what the scheduler
    // gives, the whole 0.6 s on an idle machine and well above 0.1 s on a busy one.
    EXPECT_LT(cpuSpent, 0.1);
    EXPECT_TRUE(SpinUntil([&] { return server.ConnectionCount() == 2; }, 3000)) << "accepts again once it can";
    for (int fd : queued)
        ::close(fd);
}

TEST(ShellRaiseChannel, EachEndBelievesOnlyAPeerOfItsOwnUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "acting as another user needs root";
    QTemporaryDir folder;
    ::chmod(QFile::encodeName(folder.path()).constData(), 0777);
    const QString path = folder.path() + "/raise.socket";

    // The server hangs up on another user's request, even where the socket's
    // folder and mode would let that user in.
    {
        TRaiseServer server(path);
        int raised = 0;
        server.OnRaiseRequest = [&] { ++raised; };
        server.Listen();
        ::chmod(QFile::encodeName(path).constData(), 0777);
        const pid_t child = ::fork();
        if (child == 0) {
            ::alarm(10);
            if (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0)
                ::_exit(3);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const QByteArray name = QFile::encodeName(path);
            std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
            if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
                ::_exit(4);
            // The server may have hung up already: no SIGPIPE for that.
            (void)!::send(fd, "raise\n", 6, MSG_NOSIGNAL);
            char answer[4] = {};
            ::_exit(::read(fd, answer, 3) > 0 ? 1 : 0);
        }
        int status = -1;
        SpinUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }, 12000);
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_EQ(WEXITSTATUS(status), 0) << "answered another user (3, 4: the child could not try)";
        EXPECT_EQ(raised, 0);
    }

    // A listener of another user that answers "ok" is not believed.
    ::unlink(QFile::encodeName(path).constData());
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        if (::setresgid(kNobody, kNobody, kNobody) != 0 || ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(3);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
        ::umask(0);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0)
            ::_exit(4);
        for (;;) {
            const int client = ::accept(fd, nullptr, nullptr);
            char line[64];
            (void)!::read(client, line, sizeof line);
            (void)!::send(client, "ok\n", 3, MSG_NOSIGNAL);
            ::close(client);
        }
    }
    ASSERT_TRUE(SpinUntil([&] { return QFile::exists(path); }, 5000));
    EXPECT_FALSE(RequestRaise(path, 1000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}
