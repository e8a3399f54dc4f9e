#include "app/windows/selection_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>

namespace zorva {

namespace {

struct FieldInfo {
    PanelField field;
    const char* object_name;
    const char* label;
};

constexpr std::array<FieldInfo, 5> kFields{{
    {PanelField::X, "x", "X:"},
    {PanelField::Y, "y", "Y:"},
    {PanelField::CircleRadius, "circle_radius", "Circle Radius:"},
    {PanelField::RectangleWidth, "rectangle_width", "Rectangle Width:"},
    {PanelField::RectangleHeight, "rectangle_height", "Rectangle Height:"},
}};

struct FlagInfo {
    PanelFlag flag;
    const char* object_name;
    const char* label;
    const char* tool_tip;
};

constexpr std::array<FlagInfo, kPanelFlagCount> kFlags{{
    {PanelFlag::FlipHorizontal, "flip_horizontal", "H", "Flip Horizontal"},
    {PanelFlag::FlipVertical, "flip_vertical", "V", "Flip Vertical"},
    {PanelFlag::Rotate, "rotate", "R", "Rotate"},
}};

// A position as typed back: whole pixels without a fraction, else the shortest exact form.
QString position_text(const std::optional<float>& value) {
    if (!value) return {};
    return QString::number(static_cast<double>(*value), 'g', 9);
}

QString size_text(const std::optional<std::uint32_t>& value) {
    return value ? QString::number(*value) : QString();
}

}  // namespace

SelectionWindow::~SelectionWindow() {
    // Fields losing the focus while the children are destroyed must not reach this object.
    for (QLineEdit* edit : fields_)
        if (edit) edit->disconnect(this);
}

SelectionWindow::SelectionWindow(QWidget* parent) : FloatingToolWindow(parent) {
    setObjectName("selection_window");
    setWindowTitle("Selected Entities");
    auto* outer = new QVBoxLayout(this);
    name_ = new QLabel("None selected", this);
    name_->setObjectName("name");
    outer->addWidget(name_);

    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        const FieldInfo& info = kFields[i];
        auto* label = new QLabel(info.label, this);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(info.object_name);
        edit->setMaximumWidth(110);
        label->setBuddy(edit);
        labels_[i] = label;
        fields_[i] = edit;
        // The position's two fields share the first row; the trigger sizes follow one per row.
        const int row = i < 2 ? 0 : static_cast<int>(i);
        const int column = i == 1 ? 2 : 0;
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1);
        connect(edit, &QLineEdit::editingFinished, this, [this, which = info.field] { field_edited(which); });
    }
    auto* flags = new QHBoxLayout;
    for (std::size_t i = 0; i < kFlags.size(); ++i) {
        const FlagInfo& info = kFlags[i];
        auto* button = new QPushButton(info.label, this);
        button->setObjectName(info.object_name);
        button->setToolTip(info.tool_tip);
        button->setCheckable(true);
        button->setAutoDefault(false);
        button->setMaximumWidth(36);
        flags_[i] = button;
        flags->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, which = info.flag](bool on) {
            if (showing_ || !panel_) return;
            panel_->set_panel_flag(which, on);
            sync(true);
            emit edited();
        });
    }
    flags->addStretch(1);
    grid->addLayout(flags, 1, 0, 1, 4);

    custom_variables_ = new QPushButton("Custom Variables", this);
    custom_variables_->setObjectName("custom_variables");
    custom_variables_->setAutoDefault(false);
    outer->addWidget(custom_variables_, 0, Qt::AlignLeft);
    outer->addStretch(1);
    connect(custom_variables_, &QPushButton::clicked, this, [this] { emit custom_variables_requested(); });
    sync(true);
}

void SelectionWindow::field_edited(PanelField which) {
    QLineEdit* edit = field(which);
    if (showing_ || !panel_ || !edit->isModified()) return;
    edit->setModified(false);
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    // What is not a number (or is blank) changes nothing; the field shows the selection again.
    if (ok && std::isfinite(value) && panel_->set_panel_field(which, value)) emit edited();
    sync(true);
}

void SelectionWindow::sync(bool force) {
    const SelectionPanelState state = panel_ ? panel_->panel_state() : SelectionPanelState{};
    if (!force && shown_ && *shown_ == state) return;
    show_state(state);
}

void SelectionWindow::show_state(const SelectionPanelState& state) {
    showing_ = true;
    shown_ = state;
    const QString title =
        state.title.empty() ? QString("Selected Entities") : QString::fromStdString(state.title);
    if (windowTitle() != title) setWindowTitle(title);
    name_->setText(QString::fromLocal8Bit(state.name_line.c_str()));
    const bool any = state.count > 0;
    const std::array<QString, 5> texts{position_text(state.x), position_text(state.y),
                                       size_text(state.circle_radius), size_text(state.rectangle_width),
                                       size_text(state.rectangle_height)};
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QLineEdit* edit = fields_[i];
        const bool trigger = i >= 2;
        const bool shown = !trigger || state.triggers_shown;
        edit->setVisible(shown);
        labels_[i]->setVisible(shown);
        edit->setEnabled(any);
        // What is being typed stays until the field is left.
        if (edit->hasFocus() && edit->isModified()) continue;
        if (edit->text() != texts[i]) edit->setText(texts[i]);
        edit->setModified(false);
    }
    for (std::size_t i = 0; i < flags_.size(); ++i) {
        flags_[i]->setVisible(state.flags_shown);
        flags_[i]->setEnabled(any);
        flags_[i]->setChecked(state.flags[i].value_or(false));
    }
    custom_variables_->setEnabled(any);
    showing_ = false;
}

}  // namespace zorva
