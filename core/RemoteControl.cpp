#include "core/RemoteControl.h"

#include "core/BrightnessUnit.h"
#include "core/ProgramOptions.h"
#include "platform/shell/BrightnessBusClient.h"
#include "platform/shell/BrightnessBusService.h"

#include <cstdio>

namespace lumora {

namespace {
constexpr char kNotRunning[] = "Lumora Brightness Control is not running";
}

void ConnectBrightnessBus(TForm1& form, BrightnessBusService& service)
{
    service.LevelSource = [&form] { return form.ShownLevel(); };
    service.LevelCountSource = [&form] { return form.LevelCount(); };
    service.OnSetLevel = [&form](int level) { form.SetLevelByRequest(level); };
    form.OnShownLevelChanged = [&service](int level) { service.AnnounceLevel(level); };
}

int RunRemoteCommand(const ProgramOptions& options)
{
    const BrightnessBusAnswer answer =
        options.SetLevel ? SetRunningLevel(*options.SetLevel) : ReadRunningLevel();
    switch (answer.Result) {
    case BrightnessBusAnswer::Done:
        if (options.GetLevel)
            std::printf("%d\n", answer.Level);
        return 0;
    case BrightnessBusAnswer::NotRunning:
        std::fprintf(stderr, "lumora: %s\n", kNotRunning);
        return 1;
    case BrightnessBusAnswer::Refused:
        std::fprintf(stderr, "lumora: %s\n", qPrintable(answer.Message));
        return 2;
    case BrightnessBusAnswer::Failed: break;
    }
    std::fprintf(stderr, "lumora: the running copy did not answer: %s\n", qPrintable(answer.Message));
    return 1;
}

} // namespace lumora
