// A plain Qt implementation of the platform seam: message boxes, file choosers and the wait cursor.
// The editor uses it until the full dialog set (with the "Do not ask me this again" dialog, the colour
// chooser and the one-value prompt) replaces it.
#pragma once

#include <QWidget>

#include "model/platform.h"

namespace zorva {

class MessageBoxPlatform : public Platform {
public:
    explicit MessageBoxPlatform(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    Answer message_box(std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon icon,
                       Answer default_answer) override;
    std::optional<std::string> choose_open_file(std::string_view title, const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override;
    std::optional<std::string> choose_save_file(std::string_view title, const std::vector<FileFilter>& filters,
                                                std::string_view start_folder,
                                                std::string_view proposed_name) override;
    std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override;
    void set_busy(bool busy) override;

private:
    QWidget* parent_;
    int busy_depth_ = 0;
};

}  // namespace zorva
