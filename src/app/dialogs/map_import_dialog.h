// The "Import Binary MAP File" dialog: edits the ImportSettings of a binary MAP import, saves them to and
// loads them from importer settings files (".zis"), and asks to save changed settings before it closes.
//
// Controls follow the switches: the fixed map width only while the width is not read from the file, the
// width field size and the width position switch only while it is, the width position only while both
// are on; the same for the height; the map array position only while its switch is on.
//
// Children by object name: the edits "map_file", "tile_set_image", "tile_width", "tile_height",
// "map_width", "map_height", "width_position", "height_position", "map_array_position",
// "tile_index_adjuster", "skip_after_cell", "skip_after_layer"; the lists "width_field_size",
// "height_field_size", "cell_size"; the check boxes "width_from_file", "height_from_file",
// "use_width_position", "use_height_position", "use_map_array_position", "use_transparent_colour",
// "invert_layer_order", "merge"; the colour box "transparent_colour"; the buttons "map_file_browse",
// "tile_set_image_browse", "save_settings", "load_settings", "import", "cancel".
#pragma once

#include <QDialog>
#include <optional>

#include "base/platform.h"
#include "import/import_settings.h"
#include "prefs/preferences.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace zorva {

class MapImportDialog : public QDialog {
public:
    // `preferences` gives the choosers' start folders and keeps the settings files' paths; `platform` asks
    // the questions and runs the file and colour choosers.
    MapImportDialog(const ImportSettings& initial, Preferences& preferences, Platform& platform,
                    QWidget* parent = nullptr);
    ~MapImportDialog() override;
    MapImportDialog(const MapImportDialog&) = delete;
    MapImportDialog& operator=(const MapImportDialog&) = delete;

    // The values of the controls.
    ImportSettings settings() const;
    // A value was changed since the dialog opened or the settings were last saved or loaded.
    bool settings_changed() const { return changed_; }

    // "Import" and "Cancel" (and Escape): when the settings changed, "Do you want to save the changes?"
    // first; Cancel there, or a save that did not happen, keeps the dialog open.
    void accept() override;
    void reject() override;

    // "Save Settings" and "Load Settings". True when a file was written or read.
    bool save_settings_file();
    bool load_settings_file();

private:
    void build();
    QLineEdit* add_number(const char* object_name, bool is_signed);
    void show_settings(const ImportSettings& settings);
    void update_enabling();
    void mark_changed();
    bool may_leave();
    void browse_map_file();
    void browse_tile_set_image();
    void choose_colour();

    Preferences& preferences_;
    Platform& platform_;
    bool changed_ = false;
    bool showing_ = false;  // filling the controls: no change is marked
    std::uint32_t colour_ = 0;

    QLineEdit* map_file_ = nullptr;
    QLineEdit* tile_set_image_ = nullptr;
    QLineEdit* tile_width_ = nullptr;
    QLineEdit* tile_height_ = nullptr;
    QLineEdit* map_width_ = nullptr;
    QLineEdit* map_height_ = nullptr;
    QCheckBox* width_from_file_ = nullptr;
    QCheckBox* height_from_file_ = nullptr;
    QComboBox* width_field_size_ = nullptr;
    QComboBox* height_field_size_ = nullptr;
    QCheckBox* use_width_position_ = nullptr;
    QLineEdit* width_position_ = nullptr;
    QCheckBox* use_height_position_ = nullptr;
    QLineEdit* height_position_ = nullptr;
    QCheckBox* use_map_array_position_ = nullptr;
    QLineEdit* map_array_position_ = nullptr;
    QComboBox* cell_size_ = nullptr;
    QLineEdit* tile_index_adjuster_ = nullptr;
    QLineEdit* skip_after_cell_ = nullptr;
    QLineEdit* skip_after_layer_ = nullptr;
    QCheckBox* use_transparent_colour_ = nullptr;
    QPushButton* colour_box_ = nullptr;
    QCheckBox* invert_layer_order_ = nullptr;
    QCheckBox* merge_ = nullptr;
};

// Runs the dialog modally: the settings to import with when "Import" closed it, else none.
std::optional<ImportSettings> run_map_import_dialog(QWidget* parent, const ImportSettings& initial,
                                                    Preferences& preferences, Platform& platform);

}  // namespace zorva
