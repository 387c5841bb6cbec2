#include "core/ResumeReapply.h"

#include "core/BrightnessAccess.h"
#include "platform/framework/Application.h"
#include "platform/framework/SysUtils.h"

namespace lumora {

std::optional<int> ValueToReapply(const std::optional<TBrightnessWrite>& lastWrite, const QString& activeInstance,
                                  std::optional<int> readBack, const QStringList& levelList)
{
    if (!lastWrite || lastWrite->InstanceName != activeInstance || !readBack)
        return std::nullopt;
    const int written = lastWrite->Value;
    if (*readBack == written)
        return std::nullopt;
    if (levelList.size() >= 2 && TextToInt(levelList.at(0)) == written) {
        const int next = TextToInt(levelList.at(1));
        // Rounded up: with 101 levels the lowest (0) reads back as 1.
        const int halfway = written + (next - written + 1) / 2;
        if (*readBack > written && *readBack <= halfway)
            return std::nullopt;
    }
    return written;
}

TResumeReapply::TResumeReapply(TBrightnessAccess& brightness, int settleMs, std::function<void()> writeAgain)
    : brightness_(brightness), writeAgain_(std::move(writeAgain)), settle_(std::make_unique<TTimer>())
{
    settle_->SetEnabled(false);
    settle_->SetInterval(settleMs);
    settle_->OnTimer = [this](TObject*) {
        settle_->SetEnabled(false); // once per resume
        RunGuarded([this] { Reapply(); });
    };
}

TResumeReapply::~TResumeReapply() = default;

void TResumeReapply::Resumed()
{
    // A second notice while waiting starts the wait again.
    settle_->SetEnabled(false);
    settle_->SetEnabled(true);
}

bool TResumeReapply::Waiting() const { return settle_->IsRunning(); }

void TResumeReapply::Reapply()
{
    if (OnReapplyOthers)
        OnReapplyOthers();
    const std::optional<TBrightnessWrite> last = brightness_.LastWrite();
    if (!last || last->InstanceName != brightness_.MonitorInstanceName)
        return;
    const std::optional<int> readBack = brightness_.CurrentBrightness(last->InstanceName);
    const std::optional<int> value = ValueToReapply(last, brightness_.MonitorInstanceName, readBack,
                                                    brightness_.LevelList);
    if (!value)
        return;
    if (writeAgain_)
        writeAgain_();
    else
        brightness_.SetBrightness(*value, last->InstanceName);
}

} // namespace lumora
