// The pictures profiles are named after: those shipped with the program and
// the user's own, which the user adds by dropping files on the picker's list.

#include "core/BrightnessUnit.h"

#include "controls/imagelist/AdvSmoothImageListBoxPicker.h"
#include "platform/framework/Exception.h"

namespace lumora {

TPictureFolders TForm1::PictureFolders() const
{
    TPictureFolders folders = services_.Pictures;
    if (folders.Shipped.isEmpty())
        folders.Shipped = ProgramFolder();
    return folders;
}

void TForm1::ReloadProfilePictures()
{
    profilePicker_->SetImageFiles(ListProfilePictures(PictureFolders()));
}

QStringList TForm1::OfferedProfilePictures() const
{
    QStringList paths;
    const TAdvSmoothImageListBoxItems& items = profilePicker_->ListBox().Items();
    for (int i = 0; i < items.Count(); ++i)
        paths << items[i]->Location();
    return paths;
}

void TForm1::ProfilePicturesDropped(TObject*, QStringList& Files)
{
    // The dropped files themselves are not listed: their copies are, with a
    // user picture in the place of a shipped one of the same name, so the
    // list shows what the next start will show.
    const TPictureCopyResult result = CopyIntoUserFolder(PictureFolders(), Files);
    Files.clear();
    if (!result.Copied.isEmpty())
        ReloadProfilePictures();
    if (!result.Failures.isEmpty())
        throw EInOutError(result.Failures.join(u'\n'));
}

} // namespace lumora
