#include "core/LoginStart.h"

#include "core/ProgramOptions.h"
#include "platform/shell/Autostart.h"
#include "platform/shell/FileSystem.h"

namespace lumora {

namespace {
constexpr char kRunValueName[] = "Lumora Brightness Control";
}

TLoginStart::TLoginStart(TAutostart* autostart, QString executablePath, QStringList options)
    : autostart_(autostart), executablePath_(std::move(executablePath)), options_(std::move(options))
{
}

QString TLoginStart::Command() const
{
    QString command = ShortPath(executablePath_) + " " + kLaunchOnStartupSwitch;
    for (qsizetype i = 0; i < options_.size(); ++i)
        command += " " + (i % 2 == 0 ? options_[i] : ShortPath(options_[i]));
    return command;
}

void TLoginStart::Apply(bool on)
{
    if (on)
        autostart_->WriteRunValue(kRunValueName, Command());
    else if (autostart_->RunValueExists(kRunValueName))
        autostart_->DeleteRunValue(kRunValueName);
}

} // namespace lumora
