#include "platform/shell/RaiseChannel.h"

#include "platform/framework/Exception.h"
#include "platform/shell/ActivationToken.h"

#include <QGuiApplication>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>

namespace lumora {

namespace {

// "raise", optionally followed by a space and an activation token.
const QByteArray kRequest = QByteArrayLiteral("raise");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");
constexpr qint64 kMaxRequest = 300;

} // namespace

TRaiseServer::TRaiseServer(QString serverPath) : serverPath_(std::move(serverPath))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &TRaiseServer::Accept);
}

TRaiseServer::~TRaiseServer() { server_.close(); }

void TRaiseServer::Listen()
{
    if (server_.isListening())
        return;
    // Only the registered copy listens, and it registered under the record's
    // lock, so a socket already there belongs to a copy that is gone.
    QLocalServer::removeServer(serverPath_);
    if (!server_.listen(serverPath_))
        throw EOSError(QStringLiteral("Cannot listen on %1: %2").arg(serverPath_, server_.errorString()));
}

void TRaiseServer::Accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // A request is one short line; anything longer or different is
            // dropped with the connection.
            if (!socket->canReadLine() && socket->bytesAvailable() < kMaxRequest)
                return;
            QByteArray line = socket->readLine(kMaxRequest);
            const bool whole = line.endsWith('\n');
            line.chop(1);
            const QByteArray token = line.mid(kRequest.size() + 1);
            const bool valid =
                whole && (line == kRequest || (line.startsWith(kRequest + ' ') && IsActivationToken(token)));
            if (valid) {
                socket->write(kAnswer);
                socket->flush();
                UseActivationToken(token);
                if (OnRaiseRequest)
                    OnRaiseRequest();
            }
            socket->disconnectFromServer();
        });
    }
}

bool RequestRaise(const QString& serverPath, int timeoutMs, const QByteArray& activationToken)
{
    QLocalSocket socket;
    socket.connectToServer(serverPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(IsActivationToken(activationToken) ? kRequest + ' ' + activationToken + '\n' : kRequest + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < kAnswer.size()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.read(kAnswer.size()) == kAnswer;
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
