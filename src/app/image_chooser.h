// The "Load Image" file chooser of the tile set, entity and layer dialogs: the filter list starting at the
// kind chosen last, the folder it opens in, and the kind and folder remembered after a choice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "model/fixed_text.h"

namespace zorva {

class Preferences;

// "TGA Files" *.tga, "Bitmap Files" *.bmp, "PNG Files" *.png, starting with the row of `last_kind` (a value
// outside 0 ... 2 counts as 0) and wrapping around.
std::vector<FileFilter> image_file_filters(std::int32_t last_kind);

// Runs the chooser through `platform`. It opens in `first_folder` when given and not empty, else in
// `second_folder`, else in the image folder remembered in the preferences. After a choice the kind of its
// extension (when it is one of the three) becomes the last kind, and its folder (with a trailing separator)
// the remembered image folder and the content of both given folders. Returns the chosen path; none when
// the user cancelled.
std::optional<std::string> choose_image_file(Platform& platform, Preferences& preferences,
                                             PathText* first_folder = nullptr,
                                             PathText* second_folder = nullptr);

}  // namespace zorva
