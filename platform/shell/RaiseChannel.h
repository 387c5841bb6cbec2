#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

class QWidget;

namespace lumora {

// The registered copy listens on a local socket named like the instance
// record; a surplus copy asks it there to come forward. This works on X11
// and Wayland alike, where one program may not raise another's window.
class TRaiseServer : public QObject {
public:
    explicit TRaiseServer(QString serverPath);
    ~TRaiseServer() override;

    // A client has this long to send its line before it is hung up on.
    static constexpr int kClientPatienceMs = 2000;
    // At most this many clients are served at once; later ones wait in the
    // socket's queue.
    static constexpr int kMaxConnections = 4;

    // Starts listening, replacing a socket left behind by a copy that ended
    // without cleaning up. Only the user may connect: the socket has no
    // access for others, and a client of another user is hung up on. Raises
    // EOSError when the socket cannot be made.
    void Listen();
    bool IsListening() const { return fd_ >= 0; }
    // The clients being served now.
    int ConnectionCount() const { return int(connections_.size()); }

    // Called on the user-interface thread for each request.
    std::function<void()> OnRaiseRequest;

private:
    struct Connection;
    void Accept();
    void Read(Connection* connection);
    void Drop(Connection* connection);
    // Accepts again once there is room and descriptors to spare.
    void ResumeAccepting();

    QString serverPath_;
    int fd_ = -1;
    bool backingOff_ = false;
    std::unique_ptr<QSocketNotifier> listener_;
    std::vector<std::unique_ptr<Connection>> connections_;
};

// Asks the copy listening at `serverPath` to come forward, handing it the
// activation token (if any) that a Wayland compositor asks for. True when it
// answered within the time given; a copy whose queue is full is asked again
// until then. Only a listener of this user is believed.
bool RequestRaise(const QString& serverPath, int timeoutMs = 2000, const QByteArray& activationToken = {});

// Restores a window if it is minimised or hidden, brings it to the front and
// gives it the input focus.
void RestoreAndActivate(QWidget* window);

// The window's X11 id where there is one (the handle the instance record
// stores); 0 on other window systems.
quint32 WindowHandleOf(QWidget* window);

} // namespace lumora
