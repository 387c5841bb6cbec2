#include "core/ProfileBook.h"

namespace lumora {

std::optional<TProfile> TProfileBook::LoadSaved(int levelCount, std::exception_ptr* problem)
{
    TProfile profile;
    if (!LoadProfile(*settings_, QString(), levelCount, profile, active_, problem))
        return std::nullopt;
    if (!active_.isEmpty()) {
        QString ignored = active_;
        LoadProfile(*settings_, active_, levelCount, profile, ignored, problem);
    }
    return profile;
}

std::optional<TProfile> TProfileBook::Choose(const QString& pictureFile, int levelCount)
{
    active_ = ProfileNameForPicture(*settings_, pictureFile);
    TProfile profile;
    QString ignored = active_;
    if (!LoadProfile(*settings_, active_, levelCount, profile, ignored))
        return std::nullopt;
    return profile;
}

void TProfileBook::SaveCurrent(const TProfile& profile) { SaveProfile(*settings_, QString(), profile, active_); }

void TProfileBook::SaveActive(const TProfile& profile) { SaveProfile(*settings_, active_, profile, active_); }

} // namespace lumora
