#include "exporters/binmapfile/variable_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "exporters/binmapfile/layout_editor.h"
#include "exporters/binmapfile/layout_lines.h"

namespace zorva::binmap {

VariableDialog::VariableDialog(const ExportVariable& initial, Platform& platform, QWidget* parent)
    : QDialog(parent), platform_(platform), result_(initial) {
    setWindowTitle("Variables");
    variables_ = new QComboBox(this);
    for (const CatalogueEntry* entry : offered_variables()) variables_->addItem(entry->name, entry->id);
    types_ = new QComboBox(this);
    length_ = new QLineEdit(this);
    length_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), length_));
    length_->setText(QString::number(initial.string_length));

    auto* form = new QFormLayout;
    form->addRow("Variable:", variables_);
    form->addRow("Data type:", types_);
    form->addRow("String length:", length_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    filling_ = true;
    const int index = variables_->findData(initial.variable_id);
    variables_->setCurrentIndex(index);
    if (index >= 0) {
        fill_types(initial.variable_id, initial.data_type);
        user_chose_type_ = types_->currentIndex() >= 0;
    } else {
        fill_types(0, std::nullopt);
    }
    filling_ = false;
    length_->setEnabled(index >= 0 && find_variable(initial.variable_id)->is_string);

    connect(variables_, &QComboBox::currentIndexChanged, this, [this] { variable_changed(); });
    connect(types_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) user_chose_type_ = true;
    });
    connect(length_, &QLineEdit::editingFinished, this, [this] { clamped_length(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &VariableDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<std::uint32_t> VariableDialog::chosen_variable() const {
    if (variables_->currentIndex() < 0) return std::nullopt;
    return variables_->currentData().toUInt();
}

std::optional<std::uint32_t> VariableDialog::chosen_type() const {
    if (types_->currentIndex() < 0) return std::nullopt;
    return types_->currentData().toUInt();
}

void VariableDialog::fill_types(std::uint32_t variable_id, std::optional<std::uint32_t> select) {
    const bool was_filling = filling_;
    filling_ = true;
    types_->clear();
    for (std::uint32_t type : offered_types(variable_id))
        types_->addItem(QString::fromStdString(data_type_line(type)), type);
    types_->setCurrentIndex(select ? types_->findData(*select) : -1);
    filling_ = was_filling;
}

void VariableDialog::variable_changed() {
    const auto variable = chosen_variable();
    if (!variable) return;
    const auto user_type = user_chose_type_ ? chosen_type() : std::nullopt;
    fill_types(*variable, type_after_variable_change(*variable, user_type));
    const CatalogueEntry* entry = find_variable(*variable);
    length_->setEnabled(entry != nullptr && entry->is_string);
}

std::uint32_t VariableDialog::clamped_length() {
    const std::uint32_t length = clamp_string_length(length_->text().toULongLong());
    length_->setText(QString::number(length));
    return length;
}

void VariableDialog::accept() {
    const auto variable = chosen_variable();
    const auto type = chosen_type();
    if (!accept_variable(variable, type, platform_)) return;
    result_ = {*variable, *type, clamped_length()};
    QDialog::accept();
}

std::optional<ExportVariable> edit_variable(QWidget* parent, const ExportVariable& initial,
                                            Platform& platform) {
    VariableDialog dialog(initial, platform, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.result_variable();
}

}  // namespace zorva::binmap
