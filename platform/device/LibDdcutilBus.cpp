#include "platform/device/LibDdcutilBus.h"

#include "platform/framework/Exception.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <ddcutil_c_api.h>
#include <ddcutil_macros.h>

#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <utility>

namespace lumora {

namespace {

// The library is loaded when there is a bus to look on, not with the program:
// it is large (it brings libkmod and libcrypto), it announces itself on
// standard output when it loads, and without an I2C device node there is
// nothing it could find. Once loaded it stays.
struct Ddcutil {
    decltype(&ddca_ddcutil_version) ddcutil_version = nullptr;
    decltype(&ddca_rc_desc) rc_desc = nullptr;
    decltype(&ddca_rc_name) rc_name = nullptr;
    decltype(&ddca_open_display2) open_display2 = nullptr;
    decltype(&ddca_close_display) close_display = nullptr;
    decltype(&ddca_get_display_info_list2) get_display_info_list2 = nullptr;
    decltype(&ddca_free_display_info_list) free_display_info_list = nullptr;
    decltype(&ddca_get_non_table_vcp_value) get_non_table_vcp_value = nullptr;
    decltype(&ddca_set_non_table_vcp_value) set_non_table_vcp_value = nullptr;
    // Optional (1.2 and later): without it a monitor plugged in later stays unseen.
    decltype(&ddca_redetect_displays) redetect_displays = nullptr;
};

// One library file as loading left it: its calls, or why it cannot be used.
struct Loaded {
    Ddcutil Calls;
    QString Failure;
};

Loaded Load(const QString& file)
{
    Loaded loaded;
    void* handle = ::dlopen(QFile::encodeName(file).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        loaded.Failure = QStringLiteral("%1 cannot be loaded: %2").arg(file, QString::fromLocal8Bit(::dlerror()));
        return loaded;
    }
    Ddcutil& library = loaded.Calls;
    const auto resolve = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
        if (function == nullptr && loaded.Failure.isEmpty())
            loaded.Failure = QStringLiteral("%1 lacks %2").arg(file, QLatin1String(name));
    };
    resolve(library.ddcutil_version, "ddca_ddcutil_version");
    resolve(library.rc_desc, "ddca_rc_desc");
    resolve(library.rc_name, "ddca_rc_name");
    resolve(library.open_display2, "ddca_open_display2");
    resolve(library.close_display, "ddca_close_display");
    resolve(library.get_display_info_list2, "ddca_get_display_info_list2");
    resolve(library.free_display_info_list, "ddca_free_display_info_list");
    resolve(library.get_non_table_vcp_value, "ddca_get_non_table_vcp_value");
    resolve(library.set_non_table_vcp_value, "ddca_set_non_table_vcp_value");
    library.redetect_displays = reinterpret_cast<decltype(library.redetect_displays)>(::dlsym(handle, "ddca_redetect_displays"));
    if (!loaded.Failure.isEmpty())
        return loaded;
    // The structures the program reads are those of the headers it was built
    // with; another major version lays them out otherwise.
    const DDCA_Ddcutil_Version_Spec version = library.ddcutil_version();
    if (version.major != DDCUTIL_VMAJOR) {
        loaded.Failure = QStringLiteral("%1 is libddcutil %2.%3.%4; this program was built for %5.x")
                             .arg(file)
                             .arg(version.major)
                             .arg(version.minor)
                             .arg(version.micro)
                             .arg(DDCUTIL_VMAJOR);
    }
    return loaded;
}

// The library loaded from `file`: each file is loaded once and stays.
const Loaded& LibraryAt(const QString& file)
{
    static std::mutex mutex;
    static std::map<QString, Loaded> libraries;
    std::lock_guard lock(mutex);
    auto found = libraries.find(file);
    if (found == libraries.end())
        found = libraries.emplace(file, Load(file)).first;
    return found->second;
}

QString StatusText(const Ddcutil& library, DDCA_Status status)
{
    const char* description = library.rc_desc(status);
    const char* name = library.rc_name(status);
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(description ? description : "unknown failure"),
                                         QString::fromUtf8(name ? name : "?"));
}

void Check(const Ddcutil& library, DDCA_Status status, const QString& what)
{
    if (status != 0)
        throw EOSError(what + QStringLiteral(": ") + StatusText(library, status));
}

// Opens a display for one call and closes it on every way out.
class OpenDisplay {
public:
    OpenDisplay(const Ddcutil& library, DDCA_Display_Ref reference, const QString& displayId) : library_(library)
    {
        Check(library_, library_.open_display2(reference, false, &handle_),
              QStringLiteral("Cannot open the display %1").arg(displayId));
    }
    ~OpenDisplay() { library_.close_display(handle_); }
    OpenDisplay(const OpenDisplay&) = delete;
    OpenDisplay& operator=(const OpenDisplay&) = delete;
    DDCA_Display_Handle Handle() const { return handle_; }

private:
    const Ddcutil& library_;
    DDCA_Display_Handle handle_ = nullptr;
};

QString FieldText(const char* field, std::size_t size)
{
    return QString::fromLatin1(field, qsizetype(strnlen(field, size))).trimmed();
}

} // namespace

QString DdcutilSoname(int majorVersion)
{
    switch (majorVersion) {
    case 1:
        return QStringLiteral("libddcutil.so.4");
    case 2:
        return QStringLiteral("libddcutil.so.5");
    default:
        return QString();
    }
}

QString BuiltDdcutilSoname()
{
    static_assert(DDCUTIL_VMAJOR == 1 || DDCUTIL_VMAJOR == 2, "the soname of this libddcutil is not known here");
    return DdcutilSoname(DDCUTIL_VMAJOR);
}

LibDdcutilBus::LibDdcutilBus(QString deviceRoot, QString library)
    : deviceRoot_(std::move(deviceRoot)), library_(std::move(library))
{
}
LibDdcutilBus::~LibDdcutilBus() = default;

QString LibDdcutilBus::Unavailable() const
{
    std::lock_guard lock(mutex_);
    return unavailable_;
}

bool LibDdcutilBus::HasI2cDevices() const
{
    // Compared by hand: a name filter would compile a regular expression
    // (and map its engine) for one prefix.
    QDirIterator it(deviceRoot_, QDir::System | QDir::Files);
    while (it.hasNext())
        if (it.nextFileInfo().fileName().startsWith(QLatin1String("i2c-")))
            return true;
    return false;
}

std::vector<DdcDisplay> LibDdcutilBus::Detect()
{
    // DDC/CI goes over the I2C device nodes; without any (no i2c-dev module,
    // or no video card that offers a bus) there is no monitor to find.
    if (!HasI2cDevices())
        return {};
    const Loaded& loaded = LibraryAt(library_);
    if (!loaded.Failure.isEmpty()) {
        std::lock_guard lock(mutex_);
        if (unavailable_.isEmpty()) {
            unavailable_ = loaded.Failure;
            std::fprintf(stderr, "lumora: %s; DDC/CI monitors are not looked for\n", qPrintable(unavailable_));
        }
        return {};
    }
    const Ddcutil& library = loaded.Calls;
    // The library keeps the displays it found first; a later detection (a
    // monitor was plugged in or out) asks it to look again.
    bool again = false;
    {
        std::lock_guard lock(mutex_);
        again = std::exchange(detectedBefore_, true);
    }
    if (again && library.redetect_displays)
        Check(library, library.redetect_displays(), QStringLiteral("Cannot detect DDC/CI displays again"));
    DDCA_Display_Info_List* list = nullptr;
    Check(library, library.get_display_info_list2(false, &list), QStringLiteral("Cannot detect DDC/CI displays"));
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
    library.free_display_info_list(list);
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
    const Ddcutil& library = LibraryAt(library_).Calls;
    const OpenDisplay display(library, Reference(displayId), displayId);
    DDCA_Non_Table_Vcp_Value value{};
    Check(library, library.get_non_table_vcp_value(display.Handle(), feature, &value),
          QStringLiteral("Cannot read VCP feature 0x%1 of %2").arg(feature, 2, 16, QLatin1Char('0')).arg(displayId));
    return VcpReading{value.sh << 8 | value.sl, value.mh << 8 | value.ml};
}

void LibDdcutilBus::Write(const QString& displayId, std::uint8_t feature, int value)
{
    const Ddcutil& library = LibraryAt(library_).Calls;
    const OpenDisplay display(library, Reference(displayId), displayId);
    Check(library, library.set_non_table_vcp_value(display.Handle(), feature, std::uint8_t(value >> 8 & 0xFF),
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
