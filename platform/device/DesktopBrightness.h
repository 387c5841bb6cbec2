#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <optional>

namespace lumora {

// A desktop's own brightness service for the built-in panel (its power
// manager on the session bus). Where the desktop owns the backlight, the
// program sets the panel through it, so that the desktop's slider, its
// on-screen display and the program's views agree.
//
// Values run from 0 to Maximum in the service's own unit. Nothing here waits
// on the service for long: the window's thread calls it while the needle
// moves.
class DesktopBrightness : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // What the service is called in messages ("KDE power management").
    virtual QString Title() const = 0;
    // The top of the value range; 0 or less when the service has no panel
    // to offer or does not answer.
    virtual int Maximum() = 0;
    virtual int Value() = 0;
    // Sets the panel; the service shows its own on-screen display or not,
    // as it does for the desktop's slider.
    virtual void SetValue(int value) = 0;

signals:
    // The service reports a new value: set by anyone, this program included.
    void ValueChanged(int value);
    // A call went unanswered within its bound: from now on Maximum reads 0
    // (the service counts as absent) until the service is heard from again.
    // A value asked for and not yet taken is lost with it.
    void StoppedAnswering();
};

// What the services on the session bus share: the range and the value are
// read once, with calls bounded to kReadMs, and then kept from the service's
// own signals; a value is sent without waiting, one call at a time, and while
// a call is out only the newest value waits for it. A service that owns its
// name but lets a call go unanswered counts as absent until it answers again:
// it emits a signal, or a probe sent without waiting gets an answer.
class DesktopBrightnessService : public DesktopBrightness {
    Q_OBJECT
public:
    // The most a read may hold the window's thread.
    static constexpr int kReadMs = 100;
    // How long a value sent may go unanswered before the service counts as
    // absent: the services answer at once when they answer at all.
    static constexpr int kWriteMs = 2000;

    int Maximum() final;
    int Value() final;
    // Raises EOSError with the service's error text for a value it refused
    // earlier (refusals come back after the call returned).
    void SetValue(int value) final;

    // Whether the service is taken to answer now.
    bool Answering() const { return !silent_; }

protected:
    DesktopBrightnessService(QDBusConnection bus, QString service);

    struct State {
        int Maximum = 0;
        int Value = 0;
    };
    // Reads the range and the value with Read; nullopt when a read went
    // unanswered.
    virtual std::optional<State> ReadState() = 0;
    // The call that sets `value`.
    virtual QDBusMessage SetCall(int value) const = 0;
    // A cheap read the service answers whenever it answers at all.
    virtual QDBusMessage ProbeCall() const = 0;

    // Sends a read and waits at most kReadMs. nullopt when it went
    // unanswered (the service then counts as absent); raises EOSError naming
    // the service and the bus's error text when the service refused it.
    std::optional<QList<QVariant>> Read(const QDBusMessage& call);

    // The service reported a value (and, where the report carries it, the
    // range): kept, and announced with ValueChanged.
    void Reported(int value, std::optional<int> maximum = std::nullopt);
    // The service reported a change of its range (another device behind
    // the panel, a display added or removed): the range and the value are
    // read again, and the value announced, since the same value on another
    // range is another brightness.
    void RangeChanged();

    QDBusConnection bus_;
    QString service_;

private:
    bool Known();
    void Heard();
    void Unanswered();
    void Probe();
    void Send(int value);

    bool known_ = false;     // state_ holds what the service last said
    State state_;
    bool silent_ = false;    // a call went unanswered; nothing heard since
    bool probing_ = false;   // a probe is out
    bool sending_ = false;   // a value is out
    std::optional<int> waiting_; // the newest value asked for while one is out
    QString refusal_;        // the text of a value refused, for the next SetValue
};

} // namespace lumora
