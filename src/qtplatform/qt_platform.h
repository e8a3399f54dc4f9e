// The platform seam implemented with Qt widgets: message boxes, the "Do not ask me this again" dialog,
// file and folder choosers, the colour chooser, the one-value prompt and the wait cursor.
//
// The editor creates one QtPlatform with its main window as parent and hands it to the Qt-free core.
// The pieces are also reachable one by one (make_message_box, DontAskAgainDialog) so that tests can look
// at a box before it runs.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <memory>

#include "base/platform.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zorva {

// Texts of the seam are single-byte strings in the local encoding (file names included).
QString to_qstring(std::string_view text);
std::string from_qstring(const QString& text);

// "PNG Files (*.png);;Bitmap Files (*.bmp)"; a name that already shows its patterns is kept as it is.
QString file_filter_text(const std::vector<FileFilter>& filters);

// Qt's icon for a message icon (Stop is the critical icon).
QMessageBox::Icon to_qt_icon(MessageIcon icon);

// A message box with the caption, text, buttons, preselected button and icon, not yet shown. Escape
// answers Cancel where there is one, else No, else Ok.
std::unique_ptr<QMessageBox> make_message_box(QWidget* parent, std::string_view text,
                                              std::string_view caption, MessageButtons buttons,
                                              MessageIcon icon, Answer default_answer);
// The answer of a box that has run (closing the window counts as its escape answer).
Answer message_box_answer(const QMessageBox& box, MessageButtons buttons);

// The small question dialog with a check box under the text ("Do not ask me this again" unless another
// caption is given). The first button (Yes or Ok) is preselected. Object names: "text", "dont_ask_again",
// "yes", "no", "ok", "cancel".
class DontAskAgainDialog : public QDialog {
public:
    DontAskAgainDialog(QWidget* parent, std::string_view text, std::string_view caption,
                       MessageButtons buttons, MessageIcon icon = MessageIcon::Question,
                       std::string_view check_box_text = "Do not ask me this again");

    // The button pressed; the escape answer when the dialog was closed otherwise.
    Answer answer() const { return answer_; }
    bool checked() const;
    QCheckBox* check_box() const { return check_box_; }
    QPushButton* button(Answer which) const;

private:
    void add_button(Answer which, const char* text, const char* object_name);

    MessageButtons buttons_;
    Answer answer_;
    QCheckBox* check_box_ = nullptr;
    std::vector<std::pair<Answer, QPushButton*>> buttons_made_;
    QWidget* button_row_ = nullptr;
};

class QtPlatform : public Platform {
public:
    explicit QtPlatform(QWidget* parent = nullptr) : parent_(parent) {}
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // The window the dialogs are modal to.
    void set_parent(QWidget* parent) { parent_ = parent; }
    QWidget* parent() const { return parent_; }

    Answer message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                       MessageIcon icon, Answer default_answer) override;
    Answer ask_with_dont_ask_again(std::string_view text, std::string_view caption, MessageButtons buttons,
                                   bool& dont_ask_again) override;
    Answer message_with_check_box(std::string_view text, std::string_view caption,
                                  std::string_view check_box_text, MessageButtons buttons, MessageIcon icon,
                                  bool& checked) override;
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override;
    // Qt asks before a chosen existing file is replaced. The name comes back as typed, with the filter
    // the user left selected.
    std::optional<SaveChoice> choose_save_file(std::string_view title, const std::vector<FileFilter>& filters,
                                               std::string_view start_folder,
                                               std::string_view proposed_name) override;
    std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override;
    std::optional<std::uint32_t> choose_colour(std::uint32_t initial) override;
    std::optional<std::string> prompt_value(std::string_view title, std::string_view label,
                                            std::string_view initial) override;
    // Nested: the wait cursor stays until every set_busy(true) has had its set_busy(false).
    void set_busy(bool busy) override;

private:
    QWidget* parent_;
    int busy_depth_ = 0;
};

// Colours of the seam are 0x00BBGGRR.
QColor to_qcolor(std::uint32_t bgr);
std::uint32_t from_qcolor(const QColor& colour);

}  // namespace zorva
