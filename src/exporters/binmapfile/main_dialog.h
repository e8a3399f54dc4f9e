// The binary exporter's main dialog: the export list, its layout preview, the buttons and the check boxes.
// The rules live in LayoutEditor; this window shows its state and forwards clicks, keys (Insert adds,
// Delete removes, Enter on the list edits) and double-clicks.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "exporters/binmapfile/layout_editor.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace zorva::binmap {

class MainDialog : public QDialog {
public:
    using VariableEditor = std::function<std::optional<ExportVariable>(QWidget*, const ExportVariable&)>;
    using TemplateChooser = std::function<std::optional<std::vector<std::size_t>>(QWidget*)>;

    // `platform` talks to the user (the plug-in's Qt message boxes when null).
    MainDialog(ExportSettings& settings, const std::filesystem::path& settings_folder, QWidget* parent,
               Platform* platform = nullptr);
    ~MainDialog() override;

    // The "Variables" and "Templates" dialogs; tests put their own in place.
    void set_variable_editor(VariableEditor editor) { variable_editor_ = std::move(editor); }
    void set_template_chooser(TemplateChooser chooser) { template_chooser_ = std::move(chooser); }

    LayoutEditor& editor() { return *editor_; }
    QListWidget* variables_list() const { return variables_; }
    QListWidget* preview_list() const { return preview_; }
    QPushButton* add_button() const { return add_; }
    QPushButton* edit_button() const { return edit_; }
    QPushButton* remove_button() const { return remove_; }
    QPushButton* move_up_button() const { return move_up_; }
    QPushButton* move_down_button() const { return move_down_; }
    QPushButton* export_button() const { return export_; }
    QCheckBox* box(ExportFlag flag) const;

    void reject() override;  // Escape and the close button act as "Cancel"

private:
    std::optional<std::size_t> selection() const;
    void refresh(std::optional<std::size_t> select);
    void update_buttons();
    void sync_preview_selection();
    void add_variable();
    void edit_variable();
    void remove_variable();
    void move_selected(bool up);
    void new_from_templates();
    void load();
    void save(bool save_as);
    void press_export();
    void box_clicked(ExportFlag flag, bool checked);

    std::unique_ptr<Platform> own_platform_;
    Platform* platform_;
    std::unique_ptr<LayoutEditor> editor_;
    VariableEditor variable_editor_;
    TemplateChooser template_chooser_;

    QListWidget* variables_ = nullptr;
    QListWidget* preview_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* move_up_ = nullptr;
    QPushButton* move_down_ = nullptr;
    QCheckBox* lock_ = nullptr;
    QCheckBox* no_control_points_ = nullptr;
    QCheckBox* map_names_ = nullptr;
    QCheckBox* remove_extensions_ = nullptr;
    bool syncing_ = false;
};

}  // namespace zorva::binmap
