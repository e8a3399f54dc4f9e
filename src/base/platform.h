// The platform seam: the only way the core talks to a person.
//
// Message boxes, questions, file, folder and colour choosers and the one-value prompt reach the
// user through this interface. The Qt editor implements it with real dialogs, zorva-cli prints
// messages to standard error, and tests script it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

enum class MessageIcon { None, Information, Warning, Stop, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// One file-type filter of a file chooser: a caption and its patterns, e.g. {"PNG Files", {"*.png"}}.
struct FileFilter {
    std::string name;
    std::vector<std::string> patterns;
};

// The answer of a save chooser: the path as the user gave it (the chooser adds no extension) and which of
// the offered filters was chosen, as its index in the list given to the chooser.
struct SaveChoice {
    std::string path;
    std::size_t filter = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // A message box. `default_answer` is the preselected button.
    virtual Answer message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon, Answer default_answer) = 0;

    // A question with a "Do not ask me this again" box. `dont_ask_again` receives the box's state.
    virtual Answer ask_with_dont_ask_again(std::string_view text, std::string_view caption,
                                           MessageButtons buttons, bool& dont_ask_again) {
        dont_ask_again = false;
        return message_box(text, caption, buttons, MessageIcon::Question,
                           buttons == MessageButtons::Ok ? Answer::Ok : Answer::Yes);
    }

    // A message with a check box captioned `check_box_text` (e.g. "Do not warn me again"); `checked`
    // receives the box's state. By default it is shown as the question with the "Do not ask me this
    // again" box.
    virtual Answer message_with_check_box(std::string_view text, std::string_view caption,
                                          std::string_view /*check_box_text*/, MessageButtons buttons,
                                          MessageIcon /*icon*/, bool& checked) {
        return ask_with_dont_ask_again(text, caption, buttons, checked);
    }

    virtual std::optional<std::string> choose_open_file(std::string_view /*title*/,
                                                        const std::vector<FileFilter>& /*filters*/,
                                                        std::string_view /*start_folder*/) {
        return std::nullopt;
    }
    virtual std::optional<SaveChoice> choose_save_file(std::string_view /*title*/,
                                                       const std::vector<FileFilter>& /*filters*/,
                                                       std::string_view /*start_folder*/,
                                                       std::string_view /*proposed_name*/) {
        return std::nullopt;
    }
    virtual std::optional<std::string> choose_folder(std::string_view /*title*/,
                                                     std::string_view /*start_folder*/) {
        return std::nullopt;
    }
    // Colours are 0x00BBGGRR.
    virtual std::optional<std::uint32_t> choose_colour(std::uint32_t /*initial*/) { return std::nullopt; }
    virtual std::optional<std::string> prompt_value(std::string_view /*title*/, std::string_view /*label*/,
                                                    std::string_view /*initial*/) {
        return std::nullopt;
    }
    // The wait cursor around long operations.
    virtual void set_busy(bool /*busy*/) {}
};

// The wait cursor for the life of a scope (none without a platform).
class BusyCursor {
public:
    explicit BusyCursor(Platform& platform) : BusyCursor(&platform) {}
    explicit BusyCursor(Platform* platform) : platform_(platform) {
        if (platform_) platform_->set_busy(true);
    }
    ~BusyCursor() {
        if (platform_) platform_->set_busy(false);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Platform* platform_;
};

// A platform without a person: every message box takes its default answer. Messages are kept so a
// headless caller can print them.
class HeadlessPlatform : public Platform {
public:
    struct Message {
        std::string text;
        std::string caption;
    };

    Answer message_box(std::string_view text, std::string_view caption, MessageButtons, MessageIcon,
                       Answer default_answer) override {
        messages.push_back({std::string(text), std::string(caption)});
        return default_answer;
    }

    std::vector<Message> messages;
};

}  // namespace zorva
