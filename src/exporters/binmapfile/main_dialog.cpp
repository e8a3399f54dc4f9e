#include "exporters/binmapfile/main_dialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "exporters/binmapfile/layout_lines.h"
#include "exporters/binmapfile/templates_dialog.h"
#include "exporters/binmapfile/variable_dialog.h"
#include "qtplatform/qt_platform.h"

namespace zorva::binmap {
namespace {

QFont fixed_font() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    return font;
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

MainDialog::MainDialog(ExportSettings& settings, const std::filesystem::path& settings_folder,
                       QWidget* parent, Platform* platform)
    : QDialog(parent) {
    if (platform == nullptr) {
        own_platform_ = std::make_unique<zorva::QtPlatform>(this);
        platform = own_platform_.get();
    }
    platform_ = platform;
    editor_ = std::make_unique<LayoutEditor>(settings, settings_folder, *platform_);
    variable_editor_ = [this](QWidget* owner, const ExportVariable& initial) {
        return zorva::binmap::edit_variable(owner, initial, *platform_);
    };
    template_chooser_ = [this](QWidget* owner) { return choose_templates(owner, *platform_); };

    variables_ = new QListWidget(this);
    preview_ = new QListWidget(this);
    for (QListWidget* list : {variables_, preview_}) {
        list->setFont(fixed_font());
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    const int text_width =
        QFontMetrics(fixed_font()).horizontalAdvance(QString(kPreviewHeadingWidth + 4, 'M'));
    preview_->setMinimumWidth(text_width);
    variables_->setMinimumHeight(180);
    preview_->setMinimumHeight(260);

    export_ = new QPushButton("Export", this);
    auto* cancel = new QPushButton("Cancel", this);
    auto* from_template = new QPushButton("New (from template)", this);
    auto* load = new QPushButton("Load Settings", this);
    auto* save = new QPushButton("Save Settings", this);
    auto* save_as = new QPushButton("Save Settings As", this);
    add_ = new QPushButton("&Add", this);
    remove_ = new QPushButton("&Remove", this);
    edit_ = new QPushButton("&Edit", this);
    move_up_ = new QPushButton("Move &Up", this);
    move_down_ = new QPushButton("Move &Down", this);
    for (QPushButton* button :
         {cancel, from_template, load, save, save_as, add_, remove_, edit_, move_up_, move_down_}) {
        button->setAutoDefault(false);
    }
    export_->setDefault(true);

    lock_ = new QCheckBox("Lock Variables and Settings", this);
    no_control_points_ = new QCheckBox("Do not export path control points", this);
    map_names_ = new QCheckBox("Use Map names as file names", this);
    remove_extensions_ = new QCheckBox("Remove file name extensions", this);

    auto* lists = new QVBoxLayout;
    lists->addWidget(new QLabel("Variables to Export:", this));
    lists->addWidget(variables_, 2);
    lists->addWidget(new QLabel("Map file layout preview:", this));
    lists->addWidget(preview_, 3);

    auto* buttons = new QVBoxLayout;
    for (QWidget* widget :
         std::initializer_list<QWidget*>{export_, cancel, separator(this), from_template, load, save, save_as,
                                         separator(this), add_, remove_, edit_, move_up_, move_down_}) {
        buttons->addWidget(widget);
    }
    buttons->addStretch(1);

    auto* boxes = new QVBoxLayout;
    for (QCheckBox* check : {lock_, no_control_points_, map_names_, remove_extensions_})
        boxes->addWidget(check);

    auto* top = new QHBoxLayout;
    top->addLayout(lists, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(boxes);

    connect(export_, &QPushButton::clicked, this, [this] { press_export(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(from_template, &QPushButton::clicked, this, [this] { new_from_templates(); });
    connect(load, &QPushButton::clicked, this, [this] { this->load(); });
    connect(save, &QPushButton::clicked, this, [this] { this->save(false); });
    connect(save_as, &QPushButton::clicked, this, [this] { this->save(true); });
    connect(add_, &QPushButton::clicked, this, [this] { add_variable(); });
    connect(remove_, &QPushButton::clicked, this, [this] { remove_variable(); });
    connect(edit_, &QPushButton::clicked, this, [this] { edit_variable(); });
    connect(move_up_, &QPushButton::clicked, this, [this] { move_selected(true); });
    connect(move_down_, &QPushButton::clicked, this, [this] { move_selected(false); });
    connect(variables_, &QListWidget::itemDoubleClicked, this, [this] { edit_variable(); });
    connect(variables_, &QListWidget::currentRowChanged, this, [this] {
        update_buttons();
        sync_preview_selection();
    });
    connect(preview_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (syncing_ || row < 0) return;
        const int variable = preview_->item(row)->data(Qt::UserRole).toInt();
        if (variable >= 0) variables_->setCurrentRow(variable);
    });
    const std::pair<QCheckBox*, ExportFlag> box_flags[] = {{lock_, kFlagLocked},
                                                           {no_control_points_, kFlagControlPoints},
                                                           {map_names_, kFlagMapNames},
                                                           {remove_extensions_, kFlagRemoveExtensions}};
    for (const auto& box_flag : box_flags) {
        const ExportFlag flag = box_flag.second;
        connect(box_flag.first, &QCheckBox::clicked, this,
                [this, flag](bool checked) { box_clicked(flag, checked); });
    }

    // Keyboard: Insert adds, Delete removes, Enter on the list edits; all go through the same rules.
    auto* insert_key = new QShortcut(QKeySequence(Qt::Key_Insert), this);
    connect(insert_key, &QShortcut::activated, this, [this] { add_variable(); });
    auto* delete_key =
        new QShortcut(QKeySequence(Qt::Key_Delete), variables_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(delete_key, &QShortcut::activated, this, [this] { remove_variable(); });
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto* enter = new QShortcut(QKeySequence(key), variables_, nullptr, nullptr, Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, [this] { edit_variable(); });
    }

    refresh(std::nullopt);
}

MainDialog::~MainDialog() = default;

QCheckBox* MainDialog::box(ExportFlag flag) const {
    switch (flag) {
        case kFlagLocked:
            return lock_;
        case kFlagControlPoints:
            return no_control_points_;
        case kFlagMapNames:
            return map_names_;
        case kFlagRemoveExtensions:
            return remove_extensions_;
    }
    return nullptr;
}

std::optional<std::size_t> MainDialog::selection() const {
    const int row = variables_->currentRow();
    if (row < 0 || !variables_->item(row)->isSelected()) return std::nullopt;
    return static_cast<std::size_t>(row);
}

void MainDialog::refresh(std::optional<std::size_t> select) {
    const ExportList& list = editor_->settings().list;
    syncing_ = true;
    variables_->clear();
    for (const ExportVariable& variable : list.items()) {
        variables_->addItem(QString::fromStdString(variable_list_line(variable)));
    }
    preview_->clear();
    for (const PreviewLine& line : layout_preview(list)) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.text), preview_);
        item->setData(Qt::UserRole, line.variable_index);
        if (line.variable_index < 0) item->setFlags(Qt::ItemIsEnabled);  // headings cannot be selected
    }
    syncing_ = false;
    if (select && *select < list.size()) {
        variables_->setCurrentRow(static_cast<int>(*select));
    } else {
        variables_->setCurrentRow(-1);
    }
    for (ExportFlag flag : {kFlagLocked, kFlagControlPoints, kFlagMapNames, kFlagRemoveExtensions}) {
        box(flag)->setChecked(editor_->box_checked(flag));
    }
    update_buttons();
    sync_preview_selection();
}

void MainDialog::update_buttons() {
    const auto selected = selection();
    add_->setEnabled(editor_->can_add());
    remove_->setEnabled(editor_->can_remove(selected));
    edit_->setEnabled(editor_->can_edit(selected));
    move_up_->setEnabled(editor_->can_move_up(selected));
    move_down_->setEnabled(editor_->can_move_down(selected));
    for (ExportFlag flag : {kFlagLocked, kFlagControlPoints, kFlagMapNames, kFlagRemoveExtensions}) {
        box(flag)->setEnabled(editor_->box_enabled(flag));
    }
    setWindowTitle(QString::fromStdString(editor_->title()));
}

void MainDialog::sync_preview_selection() {
    const auto selected = selection();
    syncing_ = true;
    preview_->setCurrentRow(-1);
    preview_->clearSelection();
    if (selected) {
        for (int row = 0; row < preview_->count(); ++row) {
            if (preview_->item(row)->data(Qt::UserRole).toInt() == static_cast<int>(*selected)) {
                preview_->setCurrentRow(row);
                preview_->scrollToItem(preview_->item(row));
                break;
            }
        }
    }
    syncing_ = false;
}

void MainDialog::add_variable() {
    if (!editor_->can_add()) return;
    const auto variable = variable_editor_(this, ExportVariable{});
    if (!variable) return;
    refresh(editor_->add(*variable));
}

void MainDialog::edit_variable() {
    const auto selected = selection();
    if (!editor_->can_edit(selected)) return;
    const auto variable = variable_editor_(this, editor_->settings().list[*selected]);
    if (!variable) return;
    refresh(editor_->edit(*selected, *variable));
}

void MainDialog::remove_variable() {
    const auto selected = selection();
    if (!editor_->can_remove(selected)) return;
    if (editor_->remove(*selected)) refresh(std::nullopt);
}

void MainDialog::move_selected(bool up) {
    const auto selected = selection();
    if (!selected) return;
    const auto moved = up ? editor_->move_up(*selected) : editor_->move_down(*selected);
    if (moved) refresh(moved);
}

void MainDialog::new_from_templates() {
    if (editor_->new_from_templates([this] { return template_chooser_(this); })) refresh(std::nullopt);
}

void MainDialog::load() {
    if (editor_->load() == LoadStatus::Loaded) refresh(std::nullopt);
}

void MainDialog::save(bool save_as) {
    editor_->save(save_as);
    update_buttons();
}

void MainDialog::press_export() {
    if (editor_->press_export() == LayoutEditor::Close::Export) accept();
    update_buttons();
}

void MainDialog::reject() {
    if (editor_->press_cancel() == LayoutEditor::Close::Cancel) QDialog::reject();
    update_buttons();
}

void MainDialog::box_clicked(ExportFlag flag, bool checked) {
    editor_->click_box(flag, checked);
    box(flag)->setChecked(editor_->box_checked(flag));
    update_buttons();
}

}  // namespace zorva::binmap
