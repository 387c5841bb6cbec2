#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace lumora {

enum class BacklightAction { Added, Removed, Changed };

// One kernel event about a backlight device: added, removed, or its
// brightness changed (the brightness keys on many laptops, another program).
struct BacklightEvent {
    BacklightAction Action = BacklightAction::Changed;
    QString Device; // the device's folder name ("intel_backlight")
};

// The action of a device event by its kernel name ("add", "remove",
// "change"); nullopt for the ones that do not concern us ("bind", "move").
std::optional<BacklightAction> BacklightActionOf(const QString& action);

// Where backlight events come from: the udev monitor on a real machine, a
// test's own feed below the whole program.
class BacklightEventSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void Arrived(const lumora::BacklightEvent& event);
};

} // namespace lumora
