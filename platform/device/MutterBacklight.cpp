#include "platform/device/MutterBacklight.h"

#include <QDBusArgument>
#include <QDBusVariant>

namespace lumora {

namespace {

const QString kPath = QStringLiteral("/org/gnome/Mutter/DisplayConfig");
const QString kInterface = QStringLiteral("org.gnome.Mutter.DisplayConfig");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBacklight = QStringLiteral("Backlight");

QVariant Unwrapped(const QVariant& value)
{
    if (value.canConvert<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

std::optional<int> IntEntry(const QVariantMap& entry, const QString& key)
{
    const auto it = entry.find(key);
    if (it == entry.end())
        return std::nullopt;
    bool ok = false;
    const int value = Unwrapped(*it).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

std::optional<MutterBacklightState> ParseMutterBacklight(const QVariant& value)
{
    const QVariant inner = Unwrapped(value);
    if (!inner.canConvert<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument argument = inner.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(uaa{sv})"))
        return std::nullopt;
    MutterBacklightState state;
    argument.beginStructure();
    argument >> state.Serial;
    argument.beginArray();
    while (!argument.atEnd()) {
        QVariantMap fields;
        argument >> fields;
        MutterBacklightEntry entry;
        entry.Connector = Unwrapped(fields.value(QStringLiteral("connector"))).toString();
        entry.Active = Unwrapped(fields.value(QStringLiteral("active"))).toBool();
        entry.Minimum = IntEntry(fields, QStringLiteral("min"));
        entry.Maximum = IntEntry(fields, QStringLiteral("max"));
        entry.Value = IntEntry(fields, QStringLiteral("value"));
        state.Entries.push_back(std::move(entry));
    }
    argument.endArray();
    argument.endStructure();
    return state;
}

bool IsBuiltInConnector(const QString& connector)
{
    for (const char* prefix : {"eDP", "LVDS", "DSI"}) {
        if (connector.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

const MutterBacklightEntry* PanelEntryOf(const MutterBacklightState& state)
{
    for (const MutterBacklightEntry& entry : state.Entries) {
        if (IsBuiltInConnector(entry.Connector))
            return &entry;
    }
    return nullptr;
}

MutterBacklight::MutterBacklight(QDBusConnection bus) : DesktopBrightnessService(std::move(bus), kMutterDisplayConfigService)
{
    bus_.connect(service_, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                 SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
}

QDBusMessage MutterBacklight::BacklightCall()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kMutterDisplayConfigService, kPath, kProperties, QStringLiteral("Get"));
    call << kInterface << kBacklight;
    return call;
}

bool MutterBacklight::OffersPanel(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage)
        return false; // Mutter before 47 has no such property
    const std::optional<MutterBacklightState> state = ParseMutterBacklight(reply.arguments().value(0));
    return state && PanelEntryOf(*state) != nullptr;
}

QString MutterBacklight::Title() const { return QStringLiteral("GNOME display configuration"); }

DesktopBrightnessService::State MutterBacklight::Take(const MutterBacklightState& backlight)
{
    serial_ = backlight.Serial;
    const MutterBacklightEntry* panel = PanelEntryOf(backlight);
    connector_ = panel ? panel->Connector : QString();
    if (panel == nullptr || !panel->Settable())
        return State{};
    minimum_ = *panel->Minimum;
    return State{*panel->Maximum - minimum_, *panel->Value - minimum_};
}

std::optional<DesktopBrightnessService::State> MutterBacklight::ReadState()
{
    const auto answer = Read(BacklightCall());
    if (!answer)
        return std::nullopt;
    const std::optional<MutterBacklightState> backlight = ParseMutterBacklight(answer->value(0));
    return backlight ? Take(*backlight) : State{};
}

QDBusMessage MutterBacklight::SetCall(int value) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(service_, kPath, kInterface, QStringLiteral("SetBacklight"));
    call << serial_ << connector_ << value + minimum_;
    return call;
}

QDBusMessage MutterBacklight::ProbeCall() const { return BacklightCall(); }

void MutterBacklight::OnPropertiesChanged(const QString& interface, const QVariantMap& changed,
                                          const QStringList& invalidated)
{
    if (interface != kInterface)
        return;
    if (const auto it = changed.find(kBacklight); it != changed.end()) {
        if (const std::optional<MutterBacklightState> backlight = ParseMutterBacklight(*it)) {
            const State state = Take(*backlight);
            Reported(state.Value, state.Maximum);
        }
    } else if (invalidated.contains(kBacklight)) {
        RangeChanged();
    }
}

} // namespace lumora
