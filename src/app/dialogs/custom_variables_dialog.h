// The custom variables editor: one modal dialog for the 100 custom variables of any number of objects of
// either value type, working on a CustomVariablesEdit (see app/custom_variables_edit.h for how an opener
// writes the result back).
//
// Children by object name: "list" (the 100 lines), "type_line", "note", "description", "value", "use_bits",
// "bit_0" ... "bit_15", "show_in_view", "show_desc_in_view", "remove_all" (the last three only for instance
// entities), "strings_note" (text variables only), "ok", "cancel".
#pragma once

#include <QDialog>
#include <array>
#include <string_view>

#include "app/custom_variables_edit.h"
#include "base/platform.h"
#include "tools/selection_panel.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zorva {

class Preferences;
class Project;

class CustomVariablesDialog : public QDialog {
public:
    // The variable remembered in the preferences is preselected, and every later selection remembered.
    CustomVariablesDialog(CustomVariablesEdit& edit, Preferences& preferences, Platform& platform,
                          QWidget* parent = nullptr);
    ~CustomVariablesDialog() override;
    CustomVariablesDialog(const CustomVariablesDialog&) = delete;
    CustomVariablesDialog& operator=(const CustomVariablesDialog&) = delete;

    QListWidget* list() const { return list_; }

    // OK: the question about several objects; "Cancel changes?" when something changed.
    void accept() override;
    void reject() override;

private:
    void build();
    void show_selected();
    void refresh_line(int index);
    void value_edited();

    CustomVariablesEdit& edit_;
    Preferences& preferences_;
    Platform& platform_;
    QListWidget* list_ = nullptr;
    QLineEdit* description_ = nullptr;
    QLineEdit* value_ = nullptr;
    QCheckBox* use_bits_ = nullptr;
    QCheckBox* show_in_view_ = nullptr;
    QCheckBox* show_desc_in_view_ = nullptr;
    std::array<QCheckBox*, kCustomVariableBits> bits_{};
    bool showing_ = false;
};

// Runs the editor modally; true when it was confirmed with OK (then write the result back).
bool run_custom_variables_dialog(QWidget* parent, CustomVariablesEdit& edit, Preferences& preferences,
                                 Platform& platform);

// The "Custom Variables" button of a properties dialog: the editor on the text variables of one object of
// `kind` named `name`. On OK the type's descriptions go back to the project (marked modified when they
// changed) and the changed values into `values`, the dialog's copy.
bool edit_object_custom_variables(QWidget* parent, Project& project, ObjectKind kind, std::string_view name,
                                  TextVariables& values, Preferences& preferences, Platform& platform);

// The "Custom Variables" button of the Selected Entities/Points window, and Enter in the viewport: the
// editor on the selection's 16-bit variables, those that differ between the selected objects shown blank.
// On OK the descriptions go back to the project and the changed values, and only those, into every
// selected object (one undo record). True when the editor was confirmed.
bool edit_selection_custom_variables(QWidget* parent, SelectionPanel& panel, Project& project,
                                     Preferences& preferences, Platform& platform);

}  // namespace zorva
