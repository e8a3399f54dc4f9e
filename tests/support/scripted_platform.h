// A platform seam for tests: records every message and answers from a script.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"

namespace zorva::test {

class ScriptedPlatform : public Platform {
public:
    struct Shown {
        std::string text;
        std::string caption;
        MessageButtons buttons;
        MessageIcon icon;
    };

    Answer message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                       MessageIcon icon, Answer default_answer) override {
        shown.push_back({std::string(text), std::string(caption), buttons, icon});
        if (answers.empty()) return default_answer;
        const Answer next = answers.front();
        answers.pop_front();
        return next;
    }

    Answer ask_with_dont_ask_again(std::string_view text, std::string_view caption, MessageButtons buttons,
                                   bool& dont_ask_again) override {
        dont_ask_again = tick_dont_ask_again;
        return message_box(text, caption, buttons, MessageIcon::Question, Answer::Yes);
    }

    std::optional<std::string> prompt_value(std::string_view title, std::string_view label,
                                            std::string_view initial) override {
        prompts.push_back({std::string(title), std::string(label), std::string(initial)});
        if (typed.empty()) return std::nullopt;  // Cancel
        std::optional<std::string> next = typed.front();
        typed.pop_front();
        return next;
    }

    struct Prompt {
        std::string title;
        std::string label;
        std::string initial;
    };

    std::deque<Answer> answers;        // answers given in order; the default answer when empty
    bool tick_dont_ask_again = false;  // state of the "Do not ask me this again" box
    std::vector<Shown> shown;
    // What the one-value prompt returns in order (none: Cancel), and the prompts shown.
    std::deque<std::optional<std::string>> typed;
    std::vector<Prompt> prompts;
};

}  // namespace zorva::test
