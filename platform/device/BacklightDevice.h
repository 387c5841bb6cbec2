#pragma once

#include "platform/device/SysfsFile.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace lumora {

// The kinds of backlight interface the kernel reports in "type", best first.
enum TBacklightType { btFirmware, btPlatform, btRaw, btUnknown };

// One backlight device folder: <root>/<name> holding "brightness",
// "max_brightness", optionally "actual_brightness" and "type".
struct BacklightDevice {
    QString Name;
    QString Path;
    TBacklightType Type = btRaw;
    int MaxBrightness = 0;
    // "brightness" in the file system's encoding, and what kind of file it
    // is, both found with the device so that a write does nothing but write.
    // Empty for a record not read from a folder: the write finds them itself.
    QByteArray BrightnessFile = {};
    TSysfsFileKind BrightnessKind = sfUnknown;
};

inline const QString kDefaultBacklightRoot = QStringLiteral("/sys/class/backlight");

// Whether a name can only denote an entry directly inside the root folder.
bool IsSafeDeviceName(const QString& name);

// The device to drive, chosen as systemd-backlight chooses: firmware, then
// platform, then raw interfaces, by name within a kind; devices whose
// maximum is 0 are skipped. No usable device gives nullopt; when every
// candidate failed to read, the first failure is raised.
std::optional<BacklightDevice> FindActiveBacklight(const QString& root);

// The named device with its maximum read afresh and its brightness file
// looked at (its type is not read). A name
// that is not a plain folder name, a missing folder or a bad or zero maximum
// raise EOSError naming the path.
BacklightDevice OpenBacklight(const QString& root, const QString& name);

// The current raw value: "actual_brightness" where the driver has it (what the
// hardware really runs at), else "brightness".
int ReadCurrentRaw(const BacklightDevice& device);

// Percent (0..100) to raw value and back. 0 percent writes
// max(1, round(max / 100)), the same as 1 percent, so the lowest level stays
// visible however large the raw range; other percents are round(p x max / 100).
int PercentToRaw(int percent, int maxBrightness);
int RawToPercent(int raw, int maxBrightness);

// The percents of `count` evenly spaced levels from 0 to 100 (count 2..101).
std::vector<int> LevelPercents(int count);

} // namespace lumora
