#include "platform/shell/RaiseChannel.h"

#include "platform/framework/Exception.h"
#include "platform/shell/ActivationToken.h"

#include <QFile>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// The channel is a plain Unix stream socket: a program that only ever asks
// one question of itself has no use for a networking library, which would
// stay mapped (with its Kerberos and proxy libraries) for the whole session.

namespace lumora {

namespace {

// "raise", optionally followed by a space and an activation token.
const QByteArray kRequest = QByteArrayLiteral("raise");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");
constexpr qsizetype kMaxRequest = 300;
// Out of descriptors, the queued client wakes the listener again at once:
// it sleeps this long instead, and the descriptors others need are not spent.
constexpr int kBackOffMs = 500;
// A copy that finds the queue full asks again after this long.
constexpr auto kConnectRetry = std::chrono::milliseconds(20);

// The socket address of a path; false when the path does not fit.
bool AddressOf(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || std::size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    return true;
}

// The other end runs as this user. A connected Unix socket knows who made
// its peer: the client for the listener, the listener for the client.
bool PeerIsUs(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::geteuid();
}

int StreamSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

// Waits for `events` on fd until the deadline; false on time-out or error.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, int(left.count()));
        if (n > 0)
            return (p.revents & events) != 0;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool IsValidRequest(const QByteArray& line, QByteArray& token)
{
    token = line.mid(kRequest.size() + 1);
    return line == kRequest || (line.startsWith(kRequest + ' ') && IsActivationToken(token));
}

} // namespace

// One connection of a surplus copy: it sends one short line and reads the
// answer. Anything longer or different is dropped with the connection.
struct TRaiseServer::Connection {
    int fd = -1;
    QByteArray received;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer patience;
    ~Connection()
    {
        patience.stop();
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }
};

TRaiseServer::TRaiseServer(QString serverPath) : serverPath_(std::move(serverPath)) {}

TRaiseServer::~TRaiseServer()
{
    connections_.clear();
    listener_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(QFile::encodeName(serverPath_).constData());
    }
}

void TRaiseServer::Listen()
{
    if (IsListening())
        return;
    const auto fail = [&](int error) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        throw EOSError(QStringLiteral("Cannot listen on %1: %2").arg(serverPath_, QString::fromLocal8Bit(std::strerror(error))));
    };
    sockaddr_un address;
    if (!AddressOf(serverPath_, address))
        fail(ENAMETOOLONG);
    fd_ = StreamSocket();
    if (fd_ < 0)
        fail(errno);
    // Only the registered copy listens, and it registered under the record's
    // lock, so a socket already there belongs to a copy that is gone.
    ::unlink(address.sun_path);
    // Only the user may connect: the socket is made without access for others.
    const mode_t before = ::umask(0077);
    const int bound = ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int bindError = errno;
    ::umask(before);
    if (bound != 0)
        fail(bindError);
    if (::listen(fd_, 8) != 0)
        fail(errno);
    listener_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    connect(listener_.get(), &QSocketNotifier::activated, this, &TRaiseServer::Accept);
}

void TRaiseServer::Accept()
{
    while (int(connections_.size()) < kMaxConnections) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                listener_->setEnabled(false);
                backingOff_ = true;
                QTimer::singleShot(kBackOffMs, this, [this] {
                    backingOff_ = false;
                    ResumeAccepting();
                });
            }
            return; // EAGAIN: nobody else waiting
        }
        if (!PeerIsUs(fd)) {
            ::close(fd);
            continue;
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        Connection* c = connection.get();
        connect(c->notifier.get(), &QSocketNotifier::activated, this, [this, c] { Read(c); });
        c->patience.setSingleShot(true);
        connect(&c->patience, &QTimer::timeout, this, [this, c] { Drop(c); });
        c->patience.start(kClientPatienceMs);
        connections_.push_back(std::move(connection));
    }
    // Full: the rest wait in the queue until a client is done.
    listener_->setEnabled(false);
}

void TRaiseServer::ResumeAccepting()
{
    if (listener_ && !backingOff_ && int(connections_.size()) < kMaxConnections)
        listener_->setEnabled(true);
}

void TRaiseServer::Read(Connection* c)
{
    char buffer[kMaxRequest];
    const ssize_t n = ::read(c->fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n > 0)
        c->received.append(buffer, qsizetype(n));
    const qsizetype end = c->received.indexOf('\n');
    if (end < 0 && n > 0 && c->received.size() < kMaxRequest)
        return; // the rest of the line is still on its way
    QByteArray token;
    const bool valid = end >= 0 && end < kMaxRequest && IsValidRequest(c->received.left(end), token);
    if (valid)
        (void)!::write(c->fd, kAnswer.constData(), std::size_t(kAnswer.size()));
    Drop(c);
    if (valid) {
        UseActivationToken(token);
        if (OnRaiseRequest)
            OnRaiseRequest();
    }
}

void TRaiseServer::Drop(Connection* c)
{
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        if (it->get() == c) {
            // The notifier or timer that called is still on the stack: close
            // now, free later.
            c->notifier->setEnabled(false);
            c->patience.stop();
            ::shutdown(c->fd, SHUT_RDWR);
            QMetaObject::invokeMethod(this, [owned = std::shared_ptr<Connection>(std::move(*it))] {}, Qt::QueuedConnection);
            connections_.erase(it);
            ResumeAccepting();
            return;
        }
    }
}

bool RequestRaise(const QString& serverPath, int timeoutMs, const QByteArray& activationToken)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address;
    if (!AddressOf(serverPath, address))
        return false;
    const int fd = StreamSocket();
    if (fd < 0)
        return false;
    const auto answered = [&] {
        while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                // The copy's queue is full: it is busy, not gone.
                if (std::chrono::steady_clock::now() + kConnectRetry >= deadline)
                    return false;
                std::this_thread::sleep_for(kConnectRetry);
                continue;
            }
            if (errno != EINPROGRESS)
                return false;
            int error = 0;
            socklen_t size = sizeof error;
            if (!WaitFor(fd, POLLOUT, deadline) || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
                return false;
            break;
        }
        // Whoever listens there must be this user: an answer from anyone
        // else would end this copy for nothing.
        if (!PeerIsUs(fd))
            return false;
        const QByteArray request =
            IsActivationToken(activationToken) ? kRequest + ' ' + activationToken + '\n' : kRequest + '\n';
        qsizetype sent = 0;
        while (sent < request.size()) {
            const ssize_t n = ::send(fd, request.constData() + sent, std::size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n > 0)
                sent += qsizetype(n);
            else if (!(n < 0 && (errno == EAGAIN || errno == EINTR) && WaitFor(fd, POLLOUT, deadline)))
                return false;
        }
        QByteArray answer;
        while (answer.size() < kAnswer.size()) {
            char buffer[8];
            const ssize_t n = ::read(fd, buffer, std::size_t(kAnswer.size() - answer.size()));
            if (n > 0)
                answer.append(buffer, qsizetype(n));
            else if (!(n < 0 && (errno == EAGAIN || errno == EINTR) && WaitFor(fd, POLLIN, deadline)))
                return false;
        }
        return answer == kAnswer;
    }();
    ::close(fd);
    return answered;
}

void RestoreAndActivate(QWidget* window)
{
    if (window == nullptr)
        return;
    if (window->isMinimized())
        window->showNormal();
    else if (!window->isVisible())
        window->show();
    window->raise();
    window->activateWindow();
}

quint32 WindowHandleOf(QWidget* window)
{
    if (window == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return 0;
    return quint32(window->winId());
}

} // namespace lumora
