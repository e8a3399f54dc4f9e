#include "app/dialogs/custom_variables_dialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/project.h"
#include "prefs/preferences.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

CustomVariablesDialog::CustomVariablesDialog(CustomVariablesEdit& edit, Preferences& preferences,
                                             Platform& platform, QWidget* parent)
    : QDialog(parent), edit_(edit), preferences_(preferences), platform_(platform) {
    setWindowTitle("Custom Variables");
    build();
    setWindowTitle(to_qstring(edit_.title()));
    edit_.select(preferences_.custom_variables_editor_index());
    showing_ = true;
    list_->setCurrentRow(edit_.selected());
    list_->item(edit_.selected())->setSelected(true);
    showing_ = false;
    show_selected();
    list_->setFocus();
}

CustomVariablesDialog::~CustomVariablesDialog() {
    // A field losing the focus while the children are destroyed must not reach this object.
    value_->disconnect(this);
    description_->disconnect(this);
}

void CustomVariablesDialog::build() {
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns, 1);

    list_ = new QListWidget(this);
    list_->setObjectName("list");
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMinimumWidth(380);
    for (int i = 0; i < kCustomVariableCount; ++i) list_->addItem(to_qstring(edit_.line(i)));
    columns->addWidget(list_, 1);

    auto* right = new QVBoxLayout;
    columns->addLayout(right);
    auto* type_line = new QLabel(to_qstring(edit_.type_line()), this);
    type_line->setObjectName("type_line");
    right->addWidget(type_line);
    auto* note = new QLabel(to_qstring(edit_.note()), this);
    note->setObjectName("note");
    note->setWordWrap(true);
    right->addWidget(note);

    right->addWidget(new QLabel("Descriptions:", this));
    description_ = new QLineEdit(this);
    description_->setObjectName("description");
    description_->setMaxLength(static_cast<int>(kDescriptionLength));
    right->addWidget(description_);
    right->addWidget(new QLabel("Values:", this));
    value_ = new QLineEdit(this);
    value_->setObjectName("value");
    value_->setMaxLength(static_cast<int>(kDescriptionLength));
    right->addWidget(value_);

    use_bits_ = new QCheckBox("Use Bit Values for the selected variable.", this);
    use_bits_->setObjectName("use_bits");
    right->addWidget(use_bits_);
    auto* bits_box = new QGroupBox("Bit Values: Representation of the variable's value in 16-bits.", this);
    auto* bits_layout = new QGridLayout(bits_box);
    for (int n = 0; n < kCustomVariableBits; ++n) {
        auto* box = new QCheckBox(bits_box);
        box->setObjectName(QString("bit_%1").arg(n));
        box->setToolTip(QString("Bit %1").arg(n));
        bits_layout->addWidget(box, n / 8, n % 8);
        bits_[static_cast<std::size_t>(n)] = box;
        connect(box, &QCheckBox::clicked, this, [this, n](bool on) {
            edit_.set_flag(n, on);
            value_->setText(to_qstring(edit_.value_text()));
            refresh_line(edit_.selected());
        });
    }
    right->addWidget(bits_box);
    if (edit_.is_text()) {
        auto* strings_note = new QLabel(
            "Note to programmers: The bit values for strings are taken from the string's first two bytes "
            "(i.e. "
            "first two characters). The first 8 bits are from the first character and the second 8 bits are "
            "from the second character.",
            this);
        strings_note->setObjectName("strings_note");
        strings_note->setWordWrap(true);
        right->addWidget(strings_note);
    }
    if (edit_.has_show_flags()) {
        show_in_view_ = new QCheckBox("Show the selected variable in the Viewport.", this);
        show_in_view_->setObjectName("show_in_view");
        show_desc_in_view_ = new QCheckBox("Show the description in the Viewport.", this);
        show_desc_in_view_->setObjectName("show_desc_in_view");
        auto* remove_all = new QPushButton("Remove all from Viewport", this);
        remove_all->setObjectName("remove_all");
        remove_all->setAutoDefault(false);
        right->addWidget(show_in_view_);
        right->addWidget(show_desc_in_view_);
        right->addWidget(remove_all, 0, Qt::AlignLeft);
        connect(show_in_view_, &QCheckBox::clicked, this, [this](bool on) { edit_.set_show_in_view(on); });
        connect(show_desc_in_view_, &QCheckBox::clicked, this,
                [this](bool on) { edit_.set_show_desc_in_view(on); });
        connect(remove_all, &QPushButton::clicked, this, [this] {
            if (edit_.remove_all_from_view(platform_)) show_selected();
        });
    }
    right->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    // A click makes a line current before it selects it: the selection says which variable was chosen.
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (showing_) return;
        const QList<QListWidgetItem*> chosen = list_->selectedItems();
        if (chosen.isEmpty()) return;
        edit_.select(list_->row(chosen.front()));
        preferences_.set_custom_variables_editor_index(edit_.selected());
        show_selected();
    });
    connect(description_, &QLineEdit::textEdited, this, [this](const QString& text) {
        edit_.set_description(from_qstring(text));
        refresh_line(edit_.selected());
        for (int n = 0; n < kCustomVariableBits; ++n)
            bits_[static_cast<std::size_t>(n)]->setText(to_qstring(edit_.flag_label(n)));
    });
    if (edit_.is_text()) {
        connect(value_, &QLineEdit::textEdited, this, [this](const QString& text) {
            edit_.set_value_text(from_qstring(text));
            refresh_line(edit_.selected());
            for (int n = 0; n < kCustomVariableBits; ++n)
                bits_[static_cast<std::size_t>(n)]->setChecked(edit_.flag(n));
        });
    } else {
        // A number is read when the field is left (or Enter pressed), then shown as stored.
        connect(value_, &QLineEdit::editingFinished, this, [this] { value_edited(); });
    }
    connect(use_bits_, &QCheckBox::clicked, this, [this](bool on) {
        edit_.set_use_bits(on);
        show_selected();
    });
}

void CustomVariablesDialog::value_edited() {
    if (showing_ || edit_.is_text()) return;
    const std::string shown = edit_.set_value_text(from_qstring(value_->text()));
    if (from_qstring(value_->text()) != shown) value_->setText(to_qstring(shown));
    refresh_line(edit_.selected());
    for (int n = 0; n < kCustomVariableBits; ++n)
        bits_[static_cast<std::size_t>(n)]->setChecked(edit_.flag(n));
}

void CustomVariablesDialog::refresh_line(int index) {
    if (QListWidgetItem* item = list_->item(index)) {
        const QString text = to_qstring(edit_.line(index));
        if (item->text() != text) item->setText(text);
    }
}

void CustomVariablesDialog::show_selected() {
    showing_ = true;
    description_->setText(to_qstring(edit_.description()));
    value_->setText(to_qstring(edit_.value_text()));
    use_bits_->setChecked(edit_.use_bits());
    for (int n = 0; n < kCustomVariableBits; ++n) {
        QCheckBox* box = bits_[static_cast<std::size_t>(n)];
        box->setText(to_qstring(edit_.flag_label(n)));
        box->setChecked(edit_.flag(n));
        box->setEnabled(edit_.use_bits());
    }
    if (show_in_view_) {
        show_in_view_->setChecked(edit_.show_in_view());
        show_desc_in_view_->setChecked(edit_.show_desc_in_view());
    }
    refresh_line(edit_.selected());
    showing_ = false;
}

void CustomVariablesDialog::accept() {
    // A number typed but not yet read counts.
    if (value_->hasFocus()) value_edited();
    if (!edit_.confirm(platform_, preferences_)) return;
    QDialog::accept();
}

void CustomVariablesDialog::reject() {
    if (!edit_.cancel(platform_)) return;
    QDialog::reject();
}

bool run_custom_variables_dialog(QWidget* parent, CustomVariablesEdit& edit, Preferences& preferences,
                                 Platform& platform) {
    CustomVariablesDialog dialog(edit, preferences, platform, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool edit_object_custom_variables(QWidget* parent, Project& project, ObjectKind kind, std::string_view name,
                                  TextVariables& values, Preferences& preferences, Platform& platform) {
    DescriptionTable& table = project.descriptions_for(kind);
    CustomVariablesEdit edit(std::string(custom_variables_type_word(kind)), std::string(name), table, values);
    if (!run_custom_variables_dialog(parent, edit, preferences, platform)) return false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CustomVariableDescription& now = edit.descriptions()[i];
        if (now.desc != table[i].desc || now.use_bits != table[i].use_bits) project.modified = true;
    }
    edit.write_descriptions(table);
    edit.write_values(values);
    return true;
}

bool edit_selection_custom_variables(QWidget* parent, SelectionPanel& panel, Project& project,
                                     Preferences& preferences, Platform& platform) {
    const std::optional<SelectionVariables> selection = panel.selection_variables();
    if (!selection) return false;
    DescriptionTable& table = project.descriptions_for(selection->kind);
    CustomVariablesEdit edit(selection->type_word, selection->object_name, table, selection->values,
                             selection->count, selection->kind == ObjectKind::InstanceEntity);
    edit.set_blanks(selection->differs);
    if (!run_custom_variables_dialog(parent, edit, preferences, platform)) return false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const CustomVariableDescription& now = edit.descriptions()[i];
        if (now.desc != table[i].desc || now.use_bits != table[i].use_bits ||
            now.show_in_view != table[i].show_in_view || now.show_desc_in_view != table[i].show_desc_in_view)
            project.modified = true;
    }
    edit.write_descriptions(table);
    std::array<bool, kCustomVariableCount> changed{};
    for (int i = 0; i < kCustomVariableCount; ++i) changed[static_cast<std::size_t>(i)] = edit.changed(i);
    IntVariables values = selection->values;
    edit.write_values(values);
    panel.apply_selection_variables(changed, values);
    return true;
}

}  // namespace zorva
