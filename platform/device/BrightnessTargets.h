#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace lumora {

// One monitor as it reads now.
struct BrightnessReading {
    QString Instance; // its instance name
    int Levels = 0;   // how many evenly spaced percent levels it offers
    int Percent = 0;  // its brightness, 0..100
};

// What the program sets: the brightness of a monitor, named by its instance
// name, in percent (0..100). The level owner reads the monitor it works on
// here, writes through SetPercent and follows ChangedElsewhere; the
// management classes beside it answer the same questions in their own terms.
class BrightnessTargets : public QObject {
    Q_OBJECT
public:
    ~BrightnessTargets() override = default;

    // The monitor the program works on, read now; nullopt when there is
    // none. Raises the device's errors.
    virtual std::optional<BrightnessReading> Active() = 0;

    // Sets the monitor named `instance`. Never waits on a slow device (a
    // monitor over DDC/CI, the login manager, a desktop service): those take
    // the newest value on a worker of their own and raise a failure with the
    // next call. Raises the device's error, and "Not found" for a monitor
    // that is not there.
    virtual void SetPercent(const QString& instance, int percent) = 0;

signals:
    // A monitor was set elsewhere (the brightness keys, the desktop's
    // slider, another program); percent 0..100. The echoes of SetPercent are
    // not reported.
    void ChangedElsewhere(const QString& instance, int percent);
};

} // namespace lumora
