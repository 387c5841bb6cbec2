#include "controls/access/AccessibleControls.h"

#include "controls/access/AccessibleImageList.h"
#include "controls/buttons/AdvSmoothButton.h"
#include "controls/chart/SPBEPC.h"
#include "controls/chart/SPBEPCLayout.h"
#include "controls/gauge/AdvSmoothGauge.h"
#include "controls/imagelist/AdvSmoothImageListBox.h"
#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "controls/label/AdvSmoothLabel.h"
#include "controls/picture/AdvGDIPicture.h"
#include "controls/slider/AdvSmoothSlider.h"
#include "controls/trackbar/AdvSmoothTrackBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QRegularExpression>

#include <cmath>

namespace lumora {

namespace {

// Caption -> control and control -> caption. Entries leave with either widget.
QHash<const QWidget*, QPointer<QWidget>>& LabelledControls()
{
    static QHash<const QWidget*, QPointer<QWidget>> map;
    return map;
}
QHash<const QWidget*, QPointer<QWidget>>& ControlLabels()
{
    static QHash<const QWidget*, QPointer<QWidget>> map;
    return map;
}

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

// The caption naming `w`, as the Label relation of its interface.
Relations WithCaption(const QWidget* w, QAccessible::Relation match, Relations rels)
{
    if (match & QAccessible::Label)
        if (QWidget* caption = AccessibleLabelOf(w))
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(caption))
                rels.append({iface, QAccessible::Label});
    return rels;
}

// A painted control's own text when the window gave it no accessible name.
QString NameOr(const QWidget* w, const QString& fallback)
{
    return w->accessibleName().isEmpty() ? fallback : w->accessibleName();
}

// ---------------------------------------------------------------- track bar

class TrackBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TrackBarAccessible(TAdvSmoothTrackBar* w) : QAccessibleWidget(w, QAccessible::Slider) {}
    TAdvSmoothTrackBar* bar() const { return static_cast<TAdvSmoothTrackBar*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(bar()->Position());
        return QAccessibleWidget::text(t);
    }
    Relations relations(QAccessible::Relation match) const override
    {
        return WithCaption(widget(), match, QAccessibleWidget::relations(match));
    }

    // Setting the value is what dropping the thumb there does.
    QVariant currentValue() const override { return bar()->Position(); }
    void setCurrentValue(const QVariant& value) override
    {
        const double v = std::clamp(value.toDouble(), bar()->Minimum(), bar()->Maximum());
        bar()->SetPosition(v);
    }
    QVariant maximumValue() const override { return bar()->Maximum(); }
    QVariant minimumValue() const override { return bar()->Minimum(); }
    QVariant minimumStepSize() const override { return bar()->Step(); }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name == increaseAction())
            setCurrentValue(bar()->Position() + bar()->Step());
        else if (name == decreaseAction())
            setCurrentValue(bar()->Position() - bar()->Step());
        else
            QAccessibleWidget::doAction(name);
    }
};

// ---------------------------------------------------------------- gauge

// The dial's value is the level it shows at rest: while the needle walks,
// the level it is heading for. A screen reader hears the level once, not
// every step of the needle.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(TAdvSmoothGauge* w) : QAccessibleWidget(w, QAccessible::Dial) {}
    TAdvSmoothGauge* gauge() const { return static_cast<TAdvSmoothGauge*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return QString::number(std::lround(gauge()->DestinationValue()));
        return QAccessibleWidget::text(t);
    }
    Relations relations(QAccessible::Relation match) const override
    {
        return WithCaption(widget(), match, QAccessibleWidget::relations(match));
    }

    // Setting the value is what clicking the dial at that level does.
    QVariant currentValue() const override { return int(std::lround(gauge()->DestinationValue())); }
    void setCurrentValue(const QVariant& value) override { gauge()->SetValue(std::round(value.toDouble())); }
    QVariant maximumValue() const override { return gauge()->MaximumValue(); }
    QVariant minimumValue() const override { return gauge()->MinimumValue(); }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name == increaseAction())
            setCurrentValue(currentValue().toInt() + 1);
        else if (name == decreaseAction())
            setCurrentValue(currentValue().toInt() - 1);
        else
            QAccessibleWidget::doAction(name);
    }
};

// ---------------------------------------------------------------- button

class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(TAdvSmoothButton* w) : QAccessibleWidget(w, QAccessible::Button) {}
    TAdvSmoothButton* button() const { return static_cast<TAdvSmoothButton*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            QString caption = button()->Caption();
            caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
            return NameOr(widget(), caption);
        }
        case QAccessible::Accelerator: {
            const QString key = QKeySequence::mnemonic(button()->Caption()).toString(QKeySequence::NativeText);
            return key.isEmpty() ? button()->AccessKey().toString(QKeySequence::NativeText) : key;
        }
        default: return QAccessibleWidget::text(t);
        }
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        const QString key = text(QAccessible::Accelerator);
        if (name == pressAction() && !key.isEmpty())
            return {key};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction()) {
            // After the call returns: a click may open a modal box, and the
            // assistive technology waits for its call's reply until then.
            if (widget()->isEnabled())
                QMetaObject::invokeMethod(
                    button(), [b = QPointer<TAdvSmoothButton>(button())] {
                        if (b && b->isEnabled())
                            b->Click();
                    },
                    Qt::QueuedConnection);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

// ---------------------------------------------------------------- switch

class SwitchAccessible : public QAccessibleWidget {
public:
    explicit SwitchAccessible(TAdvSmoothSlider* w) : QAccessibleWidget(w, QAccessible::CheckBox) {}
    TAdvSmoothSlider* slider() const { return static_cast<TAdvSmoothSlider*>(widget()); }
    bool on() const { return slider()->State() == ssOn; }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = on();
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return on() ? slider()->AppearanceOn().Caption() : slider()->AppearanceOff().Caption();
        return QAccessibleWidget::text(t);
    }
    Relations relations(QAccessible::Relation match) const override
    {
        return WithCaption(widget(), match, QAccessibleWidget::relations(match));
    }
    QStringList actionNames() const override { return QStringList{toggleAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& name) override
    {
        if (name == toggleAction()) {
            if (widget()->isEnabled())
                slider()->Toggle();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

// ---------------------------------------------------------------- caption

class CaptionAccessible : public QAccessibleWidget {
public:
    explicit CaptionAccessible(TAdvSmoothLabel* w) : QAccessibleWidget(w, QAccessible::StaticText) {}
    TAdvSmoothLabel* label() const { return static_cast<TAdvSmoothLabel*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        // The run of blanks that leaves room for a box in the caption is
        // read as one space.
        if (t == QAccessible::Name)
            return NameOr(widget(), label()->Caption().Text().simplified());
        return QAccessibleWidget::text(t);
    }
    Relations relations(QAccessible::Relation match) const override
    {
        Relations rels = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled)
            if (QWidget* control = AccessibleLabelledControl(widget()))
                if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control))
                    rels.append({iface, QAccessible::Labelled});
        return rels;
    }
};

// ---------------------------------------------------------------- rating chart

class ChartAccessible : public QAccessibleWidget {
public:
    explicit ChartAccessible(TSPBEPC* w) : QAccessibleWidget(w, QAccessible::Graphic) {}
    TSPBEPC* chart() const { return static_cast<TSPBEPC*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return RatingText(chart()->Current());
        case QAccessible::Description:
            return QStringLiteral("%1: %2 %3").arg(chart()->Title(), chart()->CurrentTitle(),
                                                   RatingText(chart()->Current()));
        default: return QAccessibleWidget::text(t);
        }
    }
};

// ---------------------------------------------------------------- picture

// A picture reads as a stock picture does, named by what it shows: the
// window's name for it ("Profile picture") and the picture's own name, the
// file it came from ("Profile picture: Night"). A picture with no file
// behind it is read by the window's name alone.
class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(AdvGDIPicture::TAdvGDIPPicture* w) : QAccessibleWidget(w, QAccessible::Graphic) {}
    AdvGDIPicture::TAdvGDIPPicture* picture() const { return static_cast<AdvGDIPicture::TAdvGDIPPicture*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return PictureAccessibleName(widget()->accessibleName(), ShownFile());
        case QAccessible::Description:
            return widget()->accessibleDescription().isEmpty() ? QFileInfo(ShownFile()).fileName()
                                                               : widget()->accessibleDescription();
        default: return QAccessibleWidget::text(t);
        }
    }

private:
    QString ShownFile() const
    {
        const TGDIPPicture* shown = picture()->Picture();
        return shown->Empty() ? QString() : shown->FileName();
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    auto* w = qobject_cast<QWidget*>(object);
    if (w == nullptr)
        return nullptr;
    if (auto* c = dynamic_cast<TAdvSmoothTrackBar*>(w))
        return new TrackBarAccessible(c);
    if (auto* c = dynamic_cast<TAdvSmoothGauge*>(w))
        return new GaugeAccessible(c);
    if (auto* c = dynamic_cast<TAdvSmoothButton*>(w))
        return new ButtonAccessible(c);
    if (auto* c = dynamic_cast<TAdvSmoothSlider*>(w))
        return new SwitchAccessible(c);
    if (auto* c = dynamic_cast<TAdvSmoothLabel*>(w))
        return new CaptionAccessible(c);
    if (auto* c = dynamic_cast<TSPBEPC*>(w))
        return new ChartAccessible(c);
    if (auto* c = dynamic_cast<AdvGDIPicture::TAdvGDIPPicture*>(w))
        return new PictureAccessible(c);
    if (auto* c = dynamic_cast<TAdvSmoothImageListBoxPicker*>(w))
        return NewPickerAccessible(c);
    if (auto* c = dynamic_cast<TAdvSmoothImageListBox*>(w))
        return NewImageListAccessible(c);
    return nullptr;
}

} // namespace

QString RatingText(int rating)
{
    const auto band = BandIndexOf(rating);
    const QString letter = band ? QString::fromLatin1(SPBEPCBands[std::size_t(*band)].Letter) : QStringLiteral("-");
    return QStringLiteral("Rating %1, %2").arg(letter).arg(rating);
}

QString PictureAccessibleName(const QString& name, const QString& file)
{
    const QString shown = QFileInfo(file).completeBaseName();
    if (shown.isEmpty())
        return name.isEmpty() ? QStringLiteral("Picture") : name;
    return name.isEmpty() ? shown : QStringLiteral("%1: %2").arg(name, shown);
}

void InstallControlAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void SetAccessibleLabelFor(QWidget* label, QWidget* control)
{
    LabelledControls().insert(label, control);
    ControlLabels().insert(control, label);
    const auto forget = [](QObject* gone) {
        LabelledControls().remove(static_cast<QWidget*>(gone));
        ControlLabels().remove(static_cast<QWidget*>(gone));
    };
    QObject::connect(label, &QObject::destroyed, forget);
    QObject::connect(control, &QObject::destroyed, forget);
}

QWidget* AccessibleLabelledControl(const QWidget* label) { return LabelledControls().value(label); }
QWidget* AccessibleLabelOf(const QWidget* control) { return ControlLabels().value(control); }

namespace {

std::function<void(QAccessibleEvent*)>& Observer()
{
    static std::function<void(QAccessibleEvent*)> observer;
    return observer;
}

bool Heard() { return QAccessible::isActive() || Observer(); }

void Send(QAccessibleEvent& event)
{
    if (const auto& observer = Observer())
        observer(&event);
    QAccessible::updateAccessibility(&event);
}

} // namespace

void ObserveControlAnnouncements(std::function<void(QAccessibleEvent*)> observer) { Observer() = std::move(observer); }

void AnnounceValue(QObject* control, double value)
{
    if (!Heard())
        return;
    QAccessibleValueChangeEvent event(control, value);
    Send(event);
}

void AnnounceChecked(QObject* control)
{
    if (!Heard())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(control, changed);
    Send(event);
}

void AnnounceNameChanged(QObject* control)
{
    if (!Heard())
        return;
    QAccessibleEvent name(control, QAccessible::NameChanged);
    Send(name);
    QAccessibleEvent description(control, QAccessible::DescriptionChanged);
    Send(description);
}

void AnnounceTextValue(QObject* control, const QString& text)
{
    if (!Heard())
        return;
    QAccessibleValueChangeEvent event(control, text);
    Send(event);
}

void AnnounceFocusedItem(QObject* list, int child)
{
    if (!Heard())
        return;
    QAccessibleEvent event(list, QAccessible::Focus);
    event.setChild(child);
    Send(event);
}

} // namespace lumora
