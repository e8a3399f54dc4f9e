// The plug-in's own way of talking to the user while its dialogs are open: message boxes and file
// choosers as Qt dialogs owned by a parent window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "model/platform.h"

namespace zorva::binmap {

class QtDialogPlatform : public Platform {
public:
    explicit QtDialogPlatform(QWidget* parent) : parent_(parent) {}

    Answer message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                       MessageIcon icon, Answer default_answer) override;
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override;
    // Asks before overwriting; a name typed without extension gets the first filter's extension.
    std::optional<std::string> choose_save_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder,
                                                std::string_view proposed_name) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace zorva::binmap
