// libFuzzer target for the settings file parser: any bytes either parse or
// raise ESettingsParseError, and whatever parses writes back to text that
// parses to the same tree.

#include "platform/settings/SettingsData.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const lumora::TSettingsData parsed = lumora::TSettingsData::Parse(bytes, QStringLiteral("fuzz"));
        const QByteArray text = parsed.Serialize();
        const lumora::TSettingsData again = lumora::TSettingsData::Parse(text, QStringLiteral("fuzz-again"));
        if (!(again == parsed) || again.Serialize() != text)
            std::abort();
    } catch (const lumora::ESettingsParseError&) {
    }
    return 0;
}
