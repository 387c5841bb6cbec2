#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

namespace lumora {

// A desktop's own brightness service for the built-in panel (its power
// manager on the session bus). Where the desktop owns the backlight, the
// program sets the panel through it, so that the desktop's slider, its
// on-screen display and the program's views agree.
//
// Values run from 0 to Maximum in the service's own unit. The calls block
// briefly; a service that does not answer raises EOSError with the bus's
// text.
class DesktopBrightness : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // What the service is called in messages ("KDE power management").
    virtual QString Title() const = 0;
    // The top of the value range; 0 or less when the service has no panel
    // to offer.
    virtual int Maximum() = 0;
    virtual int Value() = 0;
    // Sets the panel; the service shows its own on-screen display or not,
    // as it does for the desktop's slider.
    virtual void SetValue(int value) = 0;

protected:
    // Sends a call and waits briefly for the answer; raises EOSError naming
    // the service and the bus's error text.
    QList<QVariant> Ask(QDBusConnection bus, const QDBusMessage& call) const;

signals:
    // The service reports a new value: set by anyone, this program included.
    void ValueChanged(int value);
};

} // namespace lumora
