// The binary MAP import's settings as the preferences remember them between runs, and the settings files'
// remembered paths.
//
// The record keeps (offsets in the preferences record):
//   5252          the MAP file (its folder is where "Select MAP File" opens)
//   5512          the importer settings file last loaded or saved
//   5772 ... 5815 eleven 32-bit values: tile width, tile height, map width, map height, tile index
//                 adjuster, transparent colour, a packed word, width position, height position, map array
//                 position, bytes to skip after each cell
//   5816          the folder the last importer settings file was saved in
//   6076          bytes to skip after each layer
// The packed word holds the width field size (bits 0 to 4), the height field size (bits 5 to 9), the cell
// size (bits 10 to 14) and the switches: width from file (15), height from file (16), use width position
// (17), use height position (18), use map array position (19), use transparent colour (20), invert layer
// order (21), merge (22). Its default 0x1084 is three sizes of 4 bytes with every switch off.
//
// The tile set image has no place in the record: the import command keeps it for the run.
#pragma once

#include <string>
#include <string_view>

#include "import/import_settings.h"
#include "prefs/preferences.h"

namespace zorva {

ImportSettings import_settings_from_preferences(const Preferences& preferences);
// Remembers every value but the tile set image.
void store_import_settings(Preferences& preferences, const ImportSettings& settings);

// The importer settings file last loaded or saved (empty for none).
std::string remembered_import_settings_file(const Preferences& preferences);
// Loading and saving remember the file; saving also its folder.
void remember_import_settings_file(Preferences& preferences, std::string_view path, bool saved);
// Where "Save Settings" opens: the folder of the last save, else of the last settings file.
std::string import_settings_save_folder(const Preferences& preferences);

}  // namespace zorva
