#include "platform/device/BacklightDevice.h"

#include "platform/device/SysfsFile.h"
#include "platform/framework/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace lumora {

namespace {

TBacklightType TypeOf(const std::optional<QString>& word)
{
    // Drivers without the attribute predate it and are raw interfaces.
    if (!word || *word == u"raw")
        return btRaw;
    if (*word == u"firmware")
        return btFirmware;
    if (*word == u"platform")
        return btPlatform;
    return btUnknown;
}

void FindBrightnessFile(BacklightDevice& device)
{
    device.BrightnessFile = QFile::encodeName(device.Path + QStringLiteral("/brightness"));
    device.BrightnessKind = SysfsFileKindOf(device.BrightnessFile);
}

BacklightDevice ReadDevice(const QString& root, const QString& name)
{
    BacklightDevice device;
    device.Name = name;
    device.Path = root + u'/' + name;
    device.MaxBrightness = ReadSysfsInteger(device.Path + QStringLiteral("/max_brightness"));
    device.Type = TypeOf(ReadSysfsWord(device.Path + QStringLiteral("/type")));
    return device;
}

} // namespace

bool IsSafeDeviceName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') && !name.contains(QChar(0));
}

std::optional<BacklightDevice> FindActiveBacklight(const QString& root)
{
    const QStringList names = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    std::optional<BacklightDevice> best;
    std::optional<EOSError> firstFailure;
    for (const QString& name : names) {
        try {
            BacklightDevice device = ReadDevice(root, name);
            if (device.MaxBrightness <= 0)
                continue;
            if (!best || device.Type < best->Type)
                best = std::move(device);
        } catch (const EOSError& e) {
            if (!firstFailure)
                firstFailure = e;
        }
    }
    if (!best && firstFailure)
        throw *firstFailure;
    if (best)
        FindBrightnessFile(*best);
    return best;
}

BacklightDevice OpenBacklight(const QString& root, const QString& name)
{
    BacklightDevice device;
    device.Name = name;
    device.Path = root + u'/' + name;
    if (!IsSafeDeviceName(name))
        throw EOSError(QStringLiteral("Cannot read %1: %2").arg(device.Path, ErrnoText(ENOENT)));
    const QString maxPath = device.Path + QStringLiteral("/max_brightness");
    device.MaxBrightness = ReadSysfsInteger(maxPath);
    if (device.MaxBrightness <= 0)
        throw EOSError(QStringLiteral("Cannot read %1: %2").arg(maxPath, ErrnoText(ERANGE)));
    FindBrightnessFile(device);
    return device;
}

int ReadCurrentRaw(const BacklightDevice& device)
{
    const QString actual = device.Path + QStringLiteral("/actual_brightness");
    if (QFileInfo::exists(actual))
        return ReadSysfsInteger(actual);
    return ReadSysfsInteger(device.Path + QStringLiteral("/brightness"));
}

int PercentToRaw(int percent, int maxBrightness)
{
    // Level 0 writes one percent of the range: raw 1 on a panel whose range
    // is in the tens of thousands is a black screen.
    percent = std::clamp(percent, 1, 100);
    const long long raw = (static_cast<long long>(percent) * maxBrightness + 50) / 100;
    return int(std::clamp<long long>(raw, 1, maxBrightness));
}

int RawToPercent(int raw, int maxBrightness)
{
    if (maxBrightness <= 0)
        return 0;
    const long long percent = (static_cast<long long>(std::max(raw, 0)) * 100 + maxBrightness / 2) / maxBrightness;
    return int(std::min<long long>(percent, 100));
}

std::vector<int> LevelPercents(int count)
{
    std::vector<int> levels;
    if (count < 2)
        return levels;
    levels.reserve(std::size_t(count));
    const int steps = count - 1;
    for (int i = 0; i < count; ++i)
        levels.push_back((i * 200 + steps) / (2 * steps));
    return levels;
}

} // namespace lumora
