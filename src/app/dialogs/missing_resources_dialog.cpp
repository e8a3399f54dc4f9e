#include "app/dialogs/missing_resources_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "qtplatform/qt_platform.h"

namespace zorva {

namespace {

// The folder field: Enter reads the field back instead of closing the dialog.
class FolderField : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        QLineEdit::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) event->accept();
    }
};

// The wait cursor while a search loads images.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

MissingResourcesDialog::MissingResourcesDialog(MissingResourcesSearch& search, QWidget* parent,
                                               std::function<void()> help)
    : QDialog(parent), search_(search), help_(std::move(help)) {
    setWindowTitle("Missing resources");
    auto* layout = new QVBoxLayout(this);

    auto* list_caption = new QLabel("The following resources are missing/failed to load:", this);
    layout->addWidget(list_caption);
    list_ = new QListWidget(this);
    list_->setObjectName("list");
    list_->setMinimumSize(480, 200);
    list_caption->setBuddy(list_);
    layout->addWidget(list_, 1);

    auto* folder_caption = new QLabel("Search for resources in the following directory/path:", this);
    layout->addWidget(folder_caption);
    auto* folder_row = new QHBoxLayout;
    folder_ = new FolderField(this);
    folder_->setObjectName("folder");
    folder_->setMaxLength(static_cast<int>(kSearchFolderMaxLength));
    folder_->setText(to_qstring(search_.folder()));
    folder_caption->setBuddy(folder_);
    auto* browse = new QPushButton("Browse...", this);
    browse->setObjectName("browse");
    folder_row->addWidget(folder_, 1);
    folder_row->addWidget(browse);
    layout->addLayout(folder_row);

    auto* buttons = new QHBoxLayout;
    refresh_ = new QPushButton("Refresh / Search Again", this);
    refresh_->setObjectName("refresh");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    for (QPushButton* button : {browse, refresh_, cancel}) button->setAutoDefault(false);
    ok->setDefault(true);
    // A click leaves the focus where it is, so the buttons read the folder field themselves.
    for (QPushButton* button : {browse, refresh_, ok, cancel}) button->setFocusPolicy(Qt::TabFocus);
    buttons->addWidget(refresh_);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    search_.on_folder_changed = [this] {
        folder_->setText(to_qstring(search_.folder()));
        refresh_->setFocus();
    };
    search_.on_list_changed = [this] { fill_list(); };

    connect(folder_, &QLineEdit::editingFinished, this, [this] { read_folder_field(); });
    connect(browse, &QPushButton::clicked, this, [this] {
        adopt_folder_field();
        search_.browse();
    });
    connect(refresh_, &QPushButton::clicked, this, [this] {
        adopt_folder_field();
        if (search_.folder().empty()) {
            search_.refresh();  // only says that a folder is needed
            return;
        }
        WaitCursor wait;
        search_.refresh();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        read_folder_field();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    fill_list();
}

MissingResourcesDialog::~MissingResourcesDialog() {
    // The field losing the focus while the children are destroyed must not reach this object.
    folder_->disconnect(this);
    search_.on_folder_changed = nullptr;
    search_.on_list_changed = nullptr;
}

void MissingResourcesDialog::fill_list() {
    list_->clear();
    for (const std::string& line : search_.lines()) list_->addItem(to_qstring(line));
}

void MissingResourcesDialog::read_folder_field() { search_.folder_edited(from_qstring(folder_->text())); }

// The field's text becomes the search folder without the "Search again?" question (the button pressed
// decides what happens next).
void MissingResourcesDialog::adopt_folder_field() {
    const std::string text = from_qstring(folder_->text());
    search_.set_folder(with_trailing_separator(text));
    const QString shown = to_qstring(search_.folder());
    if (folder_->text() != shown) folder_->setText(shown);
}

void MissingResourcesDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && help_) {
        help_();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

ResourceCheckOutcome run_missing_resources(QWidget* parent, Project& project, Platform& platform,
                                           std::string_view project_file, std::function<void()> help) {
    return check_missing_resources(project, platform, project_file, [&](MissingResourcesSearch& search) {
        // The load that called us shows the wait cursor; the dialog gets the ordinary one.
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        MissingResourcesDialog dialog(search, parent, help);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        QApplication::restoreOverrideCursor();
        return accepted;
    });
}

}  // namespace zorva
