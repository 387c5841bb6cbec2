#pragma once

#include <QString>

namespace lumora {

class WbemProvider;

// What was found on the ways to a monitor's brightness, when none of them
// led to one: the facts behind the "Not supported" box.
struct TAccessFacts {
    QString BacklightRoot;     // the backlight folder looked in
    int BacklightDevices = 0;  // its devices: folders with a max_brightness
    bool DdcTried = false;     // DDC/CI monitors were looked for
    bool I2cDevices = false;   // /dev/i2c-* nodes exist
    bool I2cAccess = false;    // at least one of them opens for reading and writing
    QString I2cGroup;          // the group owning the nodes ("i2c"); empty when none or root's
    bool InI2cGroup = false;   // the user is listed as a member of that group
    int DdcMonitors = 0;       // DDC/CI monitors found
    int DdcSilent = 0;         // of those, the ones that did not answer
};

// "Not supported" on its own line, then which ways were tried with what each
// found, then what the user can do about it: load the i2c-dev module, join
// the group that may open the I2C devices, switch DDC/CI on in the monitor's
// menu.
QString NotSupportedText(const TAccessFacts& facts);

// Looks at the machine: the backlight folder (the provider's own when
// `brightness` is a backlight provider), the I2C device nodes under devRoot
// and their group, and the monitors `brightness` found when it is a monitor
// set.
TAccessFacts LookAtAccess(const WbemProvider* brightness, const QString& devRoot = QStringLiteral("/dev"));

} // namespace lumora
