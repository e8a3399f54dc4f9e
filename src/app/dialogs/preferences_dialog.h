// The "Preferences" dialog: edits a copy of the preferences record; OK copies it back and saves
// "Settings.cfg", Cancel discards it.
//
// The main window calls run_preferences_dialog(); when it returns true the record has changed and been
// saved, and the caller refreshes the tool windows, the menu (recent projects) and the view.
//
// Children carry object names so tests can find them: the number fields "undo_count",
// "path_normals_length", "backup_interval", "max_backup_files", "recent_count" (labels: the same with
// "_label"); the grid type buttons "grid_dots", "grid_dotted_lines", "grid_solid_lines"; the check boxes
// (see kPreferenceCheckBoxes); the colour boxes "colour_<n>" in the order of PrefColour; the buttons
// "restore_defaults", "default_positions", "ok", "cancel"; the label "backup_location".
#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>

#include "base/platform.h"
#include "prefs/preferences.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zorva {

// One check box of the dialog and the flag it edits.
struct PreferenceCheckBox {
    const char* object_name;
    const char* text;
    bool in_flags_c;  // else flags A
    unsigned bit;
};

inline constexpr std::array<PreferenceCheckBox, 12> kPreferenceCheckBoxes{{
    {"allow_dialogs_off_screen", "Allow dialogs to move off screen", false, 5},
    {"invert_cursor_keys", "Invert cursor keys for view movement", false, 9},
    {"mouse_wheel_zoom", "Enable mouse wheel zoom", false, 29},
    {"disable_transparent_images", "Disable transparent images (faster)", false, 19},
    {"zoom_prompts_save", "Changing view zoom prompts project to save", true, 27},
    {"ask_deleting_mosaics", "Ask when deleting mosaics", false, 16},
    {"ask_discarding_path_changes", "Ask when discarding changes to a path", false, 21},
    {"ask_changing_custom_variables", "Ask when changing multiple objects' custom variables", false, 23},
    {"move_over_selection", "Switch to Move tool when cursor moves over a selection", false, 26},
    {"move_when_selecting", "Switch to Move tool when selecting", false, 31},
    {"entities_on_top", "Allow placing entities on top of each other", true, 26},
    {"auto_backup", "Enable auto backup", false, 28},
}};

// The caption of each colour box, in the order of PrefColour.
inline constexpr std::array<const char*, kPrefColourCount> kPreferenceColourNames{{
    "Background",
    "Grid",
    "Tiles/Mosaics Dialog: Selection",
    "Selection",
    "Tiles/Mosaics Dialog: Background",
    "Paths",
    "Selected Paths",
    "Path Points",
    "Selected Paths Points",
    "Path Control Lines",
    "Path Normals",
    "Triggers (Entities)",
    "Entities Custom Variables",
}};

class PreferencesDialog : public QDialog {
public:
    // `record` is edited through a copy and written back only by OK. `data_folder` holds "Settings.cfg"
    // and "Autoback/". `platform` asks the questions and runs the colour chooser.
    // `default_dialog_positions` moves the tool windows to their default places (may be empty).
    PreferencesDialog(Preferences& record, std::filesystem::path data_folder, Platform& platform,
                      std::function<void()> default_dialog_positions = {}, QWidget* parent = nullptr);
    ~PreferencesDialog() override;
    PreferencesDialog(const PreferencesDialog&) = delete;
    PreferencesDialog& operator=(const PreferencesDialog&) = delete;

    // The working copy, as far as the controls have been stored into it.
    const Preferences& working_copy() const { return copy_; }
    // After OK: whether "Settings.cfg" was written (a failed write is not reported, as for every save of the
    // preferences).
    bool settings_saved() const { return settings_saved_; }

    // OK: the controls into the copy, the copy over the record, "Settings.cfg" saved.
    void accept() override;

private:
    struct NumberField {
        QLineEdit* edit = nullptr;
        long long min = 0;
        long long max = 0;
    };
    enum Field { kUndo, kPathNormals, kBackupInterval, kMaxBackups, kRecent, kFieldCount };

    void build();
    QWidget* make_number_field(Field field, const char* object_name, const QString& label, long long min,
                               long long max);
    void load_controls();
    void store_controls();
    void clamp_field(Field field);
    long long field_value(Field field) const;
    void choose_colour(PrefColour which);
    void restore_defaults();
    void default_positions();

    Preferences& record_;
    Preferences copy_;
    std::filesystem::path data_folder_;
    Platform& platform_;
    std::function<void()> default_dialog_positions_;
    bool settings_saved_ = false;

    std::array<NumberField, kFieldCount> fields_{};
    std::array<QRadioButton*, 3> grid_types_{};
    std::array<QCheckBox*, kPreferenceCheckBoxes.size()> check_boxes_{};
    std::array<QPushButton*, kPrefColourCount> colour_boxes_{};
};

// Runs the dialog modally. True when OK was pressed: `record` then holds the edited values and
// "Settings.cfg" in `data_folder` has been written.
bool run_preferences_dialog(QWidget* parent, Preferences& record, const std::filesystem::path& data_folder,
                            Platform& platform, std::function<void()> default_dialog_positions = {});

}  // namespace zorva
