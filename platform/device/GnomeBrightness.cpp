#include "platform/device/GnomeBrightness.h"

#include <QDBusVariant>

namespace lumora {

namespace {

const QString kPath = QStringLiteral("/org/gnome/SettingsDaemon/Power");
const QString kScreen = QStringLiteral("org.gnome.SettingsDaemon.Power.Screen");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBrightness = QStringLiteral("Brightness");

int IntOf(const QVariant& value)
{
    // Properties come wrapped in a variant.
    if (value.canConvert<QDBusVariant>())
        return value.value<QDBusVariant>().variant().toInt();
    return value.toInt();
}

} // namespace

GnomeBrightness::GnomeBrightness(QDBusConnection bus) : bus_(std::move(bus))
{
    bus_.connect(kGnomePowerService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                 SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)));
}

QString GnomeBrightness::Title() const { return QStringLiteral("GNOME power settings"); }

int GnomeBrightness::Maximum()
{
    // Asked until the daemon has a panel; from then on the range is known.
    if (!offered_)
        offered_ = Value() >= 0;
    return offered_ ? 100 : 0;
}

int GnomeBrightness::Value()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kGnomePowerService, kPath, kProperties, QStringLiteral("Get"));
    call << kScreen << kBrightness;
    return IntOf(Ask(bus_, call).value(0));
}

void GnomeBrightness::SetValue(int value)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kGnomePowerService, kPath, kProperties, QStringLiteral("Set"));
    call << kScreen << kBrightness << QVariant::fromValue(QDBusVariant(value));
    Ask(bus_, call);
}

void GnomeBrightness::OnPropertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface != kScreen)
        return;
    const auto it = changed.find(kBrightness);
    if (it != changed.end())
        emit ValueChanged(IntOf(*it));
}

} // namespace lumora
