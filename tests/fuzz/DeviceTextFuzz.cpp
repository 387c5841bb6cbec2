// Feeds arbitrary bytes to every parser of outside text on the device path:
// the sysfs number reader, the query language parser and matcher, the object
// path parser, and the level-text split and integer reading of the start-up
// query. Each must either answer or raise the program's own exception.

#include "core/BrightnessAccess.h"
#include "platform/device/SysfsFile.h"
#include "platform/device/WbemObjectPath.h"
#include "platform/device/WqlQuery.h"
#include "platform/framework/Exception.h"
#include "platform/framework/SysUtils.h"

#include <cstddef>
#include <cstdint>

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const SysfsNumber number = ParseSysfsInteger(bytes, size);
    if (number.error == 0 && number.value < 0)
        __builtin_trap();

    const QString text = QString::fromUtf8(bytes, qsizetype(size));
    try {
        const WqlQuery query = ParseWql(text);
        for (const WqlCondition& c : query.Conditions)
            WqlValueMatches(CimValue::String(c.Property), c.Literal);
    } catch (const Exception&) {
    }
    try {
        ParseObjectPath(text);
    } catch (const Exception&) {
    }
    const QStringList levels = TBrightnessAccess::SplitLevelText(text);
    if (levels.isEmpty() || levels.join(u'|').size() > text.size())
        __builtin_trap();
    for (const QString& level : levels) {
        try {
            TextToInt(level);
        } catch (const Exception&) {
        }
    }
    return 0;
}
