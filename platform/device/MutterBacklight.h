#pragma once

#include "platform/device/DesktopBrightness.h"

#include <QDBusConnection>
#include <QStringList>
#include <QVariantMap>

#include <optional>
#include <vector>

namespace lumora {

inline const QString kMutterDisplayConfigService = QStringLiteral("org.gnome.Mutter.DisplayConfig");

// One monitor in the compositor's Backlight property.
struct MutterBacklightEntry {
    QString Connector; // the video output, "eDP-1"
    bool Active = false;
    // Present only where the compositor can set this monitor's backlight;
    // a panel switched off has none.
    std::optional<int> Minimum;
    std::optional<int> Maximum;
    std::optional<int> Value;

    bool Settable() const { return Minimum && Maximum && Value && *Maximum > *Minimum; }
};

// The Backlight property, (uaa{sv}): the serial the next SetBacklight must
// name, and one entry per monitor.
struct MutterBacklightState {
    uint Serial = 0;
    std::vector<MutterBacklightEntry> Entries;
};

// The property's value as it comes off the bus (the variant of a Get reply or
// of PropertiesChanged); nullopt when it is not shaped like the property.
std::optional<MutterBacklightState> ParseMutterBacklight(const QVariant& value);
// Whether a connector is a built-in panel's (eDP, LVDS, DSI).
bool IsBuiltInConnector(const QString& connector);
// The built-in panel's entry, or null when the property lists none.
const MutterBacklightEntry* PanelEntryOf(const MutterBacklightState& state);

// GNOME's compositor, from Mutter 47 on, owns the backlight: the built-in
// panel's entry of DisplayConfig's Backlight property, set with
// SetBacklight(serial, connector, value) and followed through the property's
// PropertiesChanged, so that GNOME's own slider and the program's views stay
// in step. Values are the entry's own, offset so that they run from 0 to
// max - min. A panel that is switched off (its entry without a value) has
// nothing to offer: the range reads 0 until the compositor reports it again.
class MutterBacklight : public DesktopBrightnessService {
    Q_OBJECT
public:
    explicit MutterBacklight(QDBusConnection bus);

    // The read of the Backlight property.
    static QDBusMessage BacklightCall();
    // Whether a reply to BacklightCall lists the built-in panel.
    static bool OffersPanel(const QDBusMessage& reply);

    QString Title() const override;

protected:
    std::optional<State> ReadState() override;
    QDBusMessage SetCall(int value) const override;
    QDBusMessage ProbeCall() const override;

private slots:
    void OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    // Keeps what SetBacklight needs from the property; the panel's state.
    State Take(const MutterBacklightState& backlight);

    uint serial_ = 0;
    QString connector_; // the panel's, empty when the property lists none
    int minimum_ = 0;
};

} // namespace lumora
