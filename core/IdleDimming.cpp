// Idle dimming: once the user has not touched keyboard or mouse for more than
// the armed number of minutes, the backlight drops to the lowest level, once.
// Timer2's Tag holds the armed minutes (0: not armed).

#include "core/BrightnessUnit.h"

#include "controls/gauge/AdvSmoothGauge.h"
#include "platform/framework/SysUtils.h"
#include "platform/shell/IdleTime.h"

namespace lumora {

void TForm1::ArmIdleDimming(int minutes)
{
    Timer2->SetEnabled(true);
    Timer2->SetTag(minutes);
    brightness_.RestoreLevel = int(Round(BG->DestinationValue())); // where the needle is heading
}

void TForm1::DisarmIdleDimming()
{
    Timer2->SetEnabled(false);
    Timer2->SetTag(0);
}

void TForm1::Timer2Timer(TObject*)
{
    if (Timer2->Tag() == 0) {
        Timer2->SetEnabled(false);
        return;
    }
    const quint32 idle = services_.Idle ? services_.Idle->IdleSeconds() : 0;
    if (qint64(idle) <= qint64(Timer2->Tag()) * 60)
        return;
    DisarmIdleDimming(); // dimming happens once per arming
    SetBrightnessAtIndex(0);
    ShowLevel(0);
}

} // namespace lumora
