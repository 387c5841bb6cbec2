#include "platform/device/LibDdcutilBus.h"

#include "platform/framework/Exception.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <ddcutil_c_api.h>

namespace lumora {

namespace {

QString StatusText(DDCA_Status status)
{
    const char* description = ddca_rc_desc(status);
    const char* name = ddca_rc_name(status);
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(description ? description : "unknown failure"),
                                         QString::fromUtf8(name ? name : "?"));
}

void Check(DDCA_Status status, const QString& what)
{
    if (status != 0)
        throw EOSError(what + QStringLiteral(": ") + StatusText(status));
}

// Opens a display for one call and closes it on every way out.
class OpenDisplay {
public:
    OpenDisplay(DDCA_Display_Ref reference, const QString& displayId)
    {
        Check(ddca_open_display2(reference, false, &handle_), QStringLiteral("Cannot open the display %1").arg(displayId));
    }
    ~OpenDisplay() { ddca_close_display(handle_); }
    OpenDisplay(const OpenDisplay&) = delete;
    OpenDisplay& operator=(const OpenDisplay&) = delete;
    DDCA_Display_Handle Handle() const { return handle_; }

private:
    DDCA_Display_Handle handle_ = nullptr;
};

QString FieldText(const char* field, std::size_t size)
{
    return QString::fromLatin1(field, qsizetype(strnlen(field, size))).trimmed();
}

} // namespace

LibDdcutilBus::LibDdcutilBus() = default;
LibDdcutilBus::~LibDdcutilBus() = default;

std::vector<DdcDisplay> LibDdcutilBus::Detect()
{
    DDCA_Display_Info_List* list = nullptr;
    Check(ddca_get_display_info_list2(false, &list), QStringLiteral("Cannot detect DDC/CI displays"));
    std::vector<DdcDisplay> displays;
    std::map<QString, void*> references;
    for (int i = 0; list && i < list->ct; ++i) {
        const DDCA_Display_Info& info = list->info[i];
        if (info.path.io_mode != DDCA_IO_I2C)
            continue; // monitors over USB report, not DDC/CI
        const int bus = info.path.path.i2c_busno;
        DdcDisplay display;
        display.Id = QStringLiteral("i2c-%1").arg(bus);
        display.Model = FieldText(info.model_name, sizeof info.model_name);
        display.Serial = FieldText(info.sn, sizeof info.sn);
        display.Connector = ConnectorOfI2cBus(bus);
        references[display.Id] = info.dref;
        displays.push_back(std::move(display));
    }
    ddca_free_display_info_list(list);
    std::lock_guard lock(mutex_);
    references_ = std::move(references);
    return displays;
}

void* LibDdcutilBus::Reference(const QString& displayId) const
{
    std::lock_guard lock(mutex_);
    const auto found = references_.find(displayId);
    if (found == references_.end())
        throw EOSError(QStringLiteral("Cannot open the display %1: it was not detected").arg(displayId));
    return found->second;
}

VcpReading LibDdcutilBus::Read(const QString& displayId, std::uint8_t feature)
{
    const OpenDisplay display(Reference(displayId), displayId);
    DDCA_Non_Table_Vcp_Value value{};
    Check(ddca_get_non_table_vcp_value(display.Handle(), feature, &value),
          QStringLiteral("Cannot read VCP feature 0x%1 of %2").arg(feature, 2, 16, QLatin1Char('0')).arg(displayId));
    return VcpReading{value.sh << 8 | value.sl, value.mh << 8 | value.ml};
}

void LibDdcutilBus::Write(const QString& displayId, std::uint8_t feature, int value)
{
    const OpenDisplay display(Reference(displayId), displayId);
    Check(ddca_set_non_table_vcp_value(display.Handle(), feature, std::uint8_t(value >> 8 & 0xFF),
                                       std::uint8_t(value & 0xFF)),
          QStringLiteral("Cannot set VCP feature 0x%1 of %2").arg(feature, 2, 16, QLatin1Char('0')).arg(displayId));
}

QString ConnectorOfI2cBus(int bus, const QString& drmRoot)
{
    // A connector folder ("card0-DP-1") names its DDC channel either by a
    // "ddc" link to the I2C adapter or, for DisplayPort, by holding the
    // adapter folder of its AUX channel.
    const QString adapter = QStringLiteral("i2c-%1").arg(bus);
    static const QRegularExpression cardPrefix(QStringLiteral("^card\\d+-"));
    const QStringList connectors = QDir(drmRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& name : connectors) {
        if (!cardPrefix.match(name).hasMatch())
            continue;
        const QString folder = drmRoot + u'/' + name;
        const QFileInfo ddc(folder + QStringLiteral("/ddc"));
        const bool linked = ddc.exists() && QFileInfo(ddc.canonicalFilePath()).fileName() == adapter;
        if (linked || QFileInfo::exists(folder + u'/' + adapter))
            return QString(name).remove(cardPrefix);
    }
    return QString();
}

} // namespace lumora
