// libFuzzer target for the profile triggers the settings file holds: any
// text either reads as triggers or is left out, whatever reads writes back
// to the same triggers, and a timed trigger placed on a day (the sun's
// included, at a place taken from the input) never crashes.

#include "core/ProfileTriggers.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::vector<lumora::TProfileTrigger> triggers = lumora::ParseTriggerList(text);
    const std::vector<lumora::TProfileTrigger> again = lumora::ParseTriggerList(lumora::TriggerListText(triggers));
    if (again != triggers)
        std::abort();
    const double latitude = size > 0 ? (data[0] - 128) * 0.75 : 0;
    const double longitude = size > 1 ? (data[1] - 128) * 1.5 : 0;
    for (const lumora::TProfileTrigger& t : triggers)
        (void)lumora::TriggerTimeOn(t, QDate(2024, 3, 31), {latitude, longitude}, QTimeZone("Europe/Berlin"));
    return 0;
}
