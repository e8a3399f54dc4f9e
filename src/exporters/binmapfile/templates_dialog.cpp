#include "exporters/binmapfile/templates_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "exporters/binmapfile/export_templates.h"
#include "exporters/binmapfile/layout_editor.h"

namespace zorva::binmap {

TemplatesDialog::TemplatesDialog(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
    setWindowTitle("Templates");
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (const TemplateDesc& desc : kTemplates) list_->addItem(desc.text);
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 40);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Select templates: Select two or more to combine the templates", this));
    layout->addWidget(list_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TemplatesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        item->setSelected(true);
        accept();
    });
}

std::vector<std::size_t> TemplatesDialog::selected() const {
    std::vector<std::size_t> rows;
    for (const QListWidgetItem* item : list_->selectedItems())
        rows.push_back(static_cast<std::size_t>(list_->row(item)));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TemplatesDialog::accept() {
    if (!accept_templates(selected(), platform_)) return;
    QDialog::accept();
}

std::optional<std::vector<std::size_t>> choose_templates(QWidget* parent, Platform& platform) {
    TemplatesDialog dialog(platform, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selected();
}

}  // namespace zorva::binmap
