#pragma once

// The look of the profile picture list as the main window configures it,
// shared by the gallery pages that show the list box.

#include "controls/imagelist/AdvSmoothImageListBox.h"

#include <QString>

namespace lumora::gallery {

// Item fills, header and footer bands with their captions, the footer's
// navigator and the background, at 600 x 450.
void ConfigureProfileList(TAdvSmoothImageListBox& box);

// The sample profile pictures beside the executable, as a file pattern.
QString ProfilePictures();

} // namespace lumora::gallery
