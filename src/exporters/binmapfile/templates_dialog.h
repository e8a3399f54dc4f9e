// The "Templates" dialog: a multiple-selection list of the nine templates.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "base/platform.h"

class QListWidget;

namespace zorva::binmap {

class TemplatesDialog : public QDialog {
public:
    TemplatesDialog(Platform& platform, QWidget* parent);

    // The selected template indices in list order.
    std::vector<std::size_t> selected() const;
    QListWidget* list() const { return list_; }

    void accept() override;

private:
    Platform& platform_;
    QListWidget* list_ = nullptr;
};

// Shows the dialog; the selected templates, or none when cancelled.
std::optional<std::vector<std::size_t>> choose_templates(QWidget* parent, Platform& platform);

}  // namespace zorva::binmap
