// The "Variables" dialog: one export variable's variable, data type and string length.
#pragma once

#include <QDialog>
#include <optional>

#include "base/platform.h"
#include "exporters/binmapfile/export_list.h"

class QComboBox;
class QLineEdit;

namespace zorva::binmap {

class VariableDialog : public QDialog {
public:
    // `initial` with variable id 0 is an empty variable (Add).
    VariableDialog(const ExportVariable& initial, Platform& platform, QWidget* parent);

    ExportVariable result_variable() const { return result_; }

    QComboBox* variable_box() const { return variables_; }
    QComboBox* type_box() const { return types_; }
    QLineEdit* length_field() const { return length_; }

    void accept() override;

private:
    std::optional<std::uint32_t> chosen_variable() const;
    std::optional<std::uint32_t> chosen_type() const;
    void variable_changed();
    void fill_types(std::uint32_t variable_id, std::optional<std::uint32_t> select);
    std::uint32_t clamped_length();

    Platform& platform_;
    QComboBox* variables_ = nullptr;
    QComboBox* types_ = nullptr;
    QLineEdit* length_ = nullptr;
    bool user_chose_type_ = false;
    bool filling_ = false;
    ExportVariable result_;
};

// Shows the dialog; the edited variable, or none when cancelled.
std::optional<ExportVariable> edit_variable(QWidget* parent, const ExportVariable& initial,
                                            Platform& platform);

}  // namespace zorva::binmap
