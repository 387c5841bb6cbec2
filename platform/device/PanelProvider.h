#pragma once

#include "platform/device/BacklightEvents.h"
#include "platform/device/BacklightProvider.h"
#include "platform/device/BrightnessTargets.h"
#include "platform/device/DesktopBrightness.h"
#include "platform/device/EchoFilter.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace lumora {

// The built-in panel behind the monitor brightness classes, as the desktop
// lets the program reach it:
//   - through the desktop's brightness service when the session bus offers
//     one (UseDesktop) and it answers, following its change signals; the
//     panel keeps the backlight device's name, and its brightness is the
//     service's. When the service stops answering, the level last asked for
//     goes to the backlight device, as do the writes after it;
//   - else through the backlight device, following the kernel's events for
//     it: brightness changes made elsewhere, and the device going and
//     coming (a dock, a GPU switch, a driver reload), after which the device
//     is chosen again by the usual order and the last level is put back.
// While the device is gone, the first write fails with the device's error
// and the later ones wait quietly for it: one error per outage.
//
// Changes made elsewhere are reported with ChangedElsewhere; the echoes of
// the program's own writes are not.
class PanelProvider : public BrightnessTargets, public WbemProvider {
    Q_OBJECT
public:
    // `events` may be null (a stand-in folder gets no kernel events).
    PanelProvider(std::shared_ptr<BacklightProvider> backlight, BacklightEventSource* events = nullptr);

    // The desktop's service to go through from now on; null for none.
    void UseDesktop(DesktopBrightness* service);
    // Whether writes go through the desktop's service now: it is there and
    // has the panel to offer.
    bool ThroughDesktop();

    // One kernel event about a backlight device.
    void HandleBacklightEvent(const BacklightEvent& event);

    QString Namespace() const override;
    const WbemObject& ClassDefinition(const QString& className) const override;
    std::vector<std::shared_ptr<WbemObject>> Instances(const QString& className) override;
    std::shared_ptr<WbemObject> GetInstance(const QString& className, const QString& keyName,
                                            const QString& keyValue) override;
    std::shared_ptr<WbemObject> ExecMethod(const QString& className, const QString& keyName,
                                           const QString& keyValue, const QString& methodName,
                                           const WbemObject* inParameters) override;

    // Sets the panel, named by its device, through the desktop's service or
    // the device.
    void SetPercent(const QString& instance, int percent) override;
    // The panel's device, with the desktop service's brightness where writes
    // go through it.
    std::optional<BrightnessReading> Active() override;

signals:
    // Another backlight device now stands for the panel.
    void DeviceReplaced(const QString& from, const QString& to);

private:
    void DesktopValueChanged(int value);
    void DesktopStoppedAnswering();
    void WriteDesktop(int percent);
    void WriteBacklight(const QString& name, int percent);
    void BacklightChanged(const QString& name);
    // Chooses the device again; true when one was found.
    bool ChooseDevice();
    std::shared_ptr<WbemObject> WithDesktopBrightness(std::shared_ptr<WbemObject> object);
    // The backlight's active device is the panel's from now on.
    void Found(const QString& device);

    std::shared_ptr<BacklightProvider> backlight_;
    QPointer<DesktopBrightness> desktop_;
    EchoFilter echoes_;
    QString device_;          // the device that stands for the panel
    bool gone_ = false;       // it went; writes wait for a device
    bool reported_ = false;   // the outage was reported by a failed write
    int lastPercent_ = -1;    // the program's last level, put back after a hot-plug
};

} // namespace lumora
