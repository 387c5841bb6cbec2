#pragma once

// What the painted controls tell assistive technology (screen readers,
// magnifiers, switch access): each control gets the interface a stock
// control of its kind has, and the controls raise the matching events when
// their state changes.

#include <QString>

#include <functional>

class QAccessibleEvent;
class QObject;
class QWidget;

namespace lumora {

// Registers the painted controls' accessible interfaces with Qt. Safe to call
// more than once; the first call wins.
void InstallControlAccessibility();

// `label` is the caption that names `control`: a screen reader reads it as
// the control's label, and the caption as the label of that control.
void SetAccessibleLabelFor(QWidget* label, QWidget* control);
// The control a caption names, and the caption naming a control; null when
// there is none.
QWidget* AccessibleLabelledControl(const QWidget* label);
QWidget* AccessibleLabelOf(const QWidget* control);

// Events the controls raise. They cost next to nothing while no assistive
// technology listens: Qt passes them on only while its accessibility bridge
// is active (an accessibility bus with a screen reader, or
// QT_LINUX_ACCESSIBILITY_ALWAYS_ON).
void AnnounceValue(QObject* control, double value);
void AnnounceChecked(QObject* control);
void AnnounceNameChanged(QObject* control);
void AnnounceTextValue(QObject* control, const QString& text);
// The item `child` of a list became the current one.
void AnnounceFocusedItem(QObject* list, int child);

// Sees every event the controls raise, bridge or not (null: none). Qt hands
// its update handler only the events of an active bridge, which a display
// without an accessibility bus never has; this is how the controls' events
// are checked there.
void ObserveControlAnnouncements(std::function<void(QAccessibleEvent*)> observer);

// How the rating chart reads a rating: "Rating A, 100".
QString RatingText(int rating);

// How a picture control is read: the name its window gave it and the name of
// the file it shows ("Profile picture: Night"); either alone when the other
// is empty, "Picture" when both are.
QString PictureAccessibleName(const QString& name, const QString& file);

} // namespace lumora
