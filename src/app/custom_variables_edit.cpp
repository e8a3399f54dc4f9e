#include "app/custom_variables_edit.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "prefs/preferences.h"

namespace zorva {

namespace {

// Decimal digits after an optional sign; what follows them is ignored. Saturates far beyond 16 bits.
long long leading_number(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (value < 1000000000LL) value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string_view cut(std::string_view text) {
    return text.substr(0, std::min(text.size(), kDescriptionLength));
}

}  // namespace

std::string_view custom_variables_type_word(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::TileSet:
            return "Tile Set";
        case ObjectKind::Map:
            return "Map";
        case ObjectKind::Layer:
            return "Layer";
        case ObjectKind::ParentEntity:
            return "Entity";
        case ObjectKind::InstanceEntity:
            return "Selected Entities";
        case ObjectKind::PathPoint:
            break;
    }
    return "Selected Points";
}

std::string selected_entities_name(std::size_t count, std::string_view parent_name) {
    if (count == 1) return std::string(parent_name);
    char text[64];
    std::snprintf(text, sizeof text, "Selected Entities (%ld)", static_cast<long>(count));
    return text;
}

std::string selected_points_name(std::size_t count) {
    if (count == 1) return "Selected Point";
    char text[64];
    std::snprintf(text, sizeof text, "Selected Points (%ld)", static_cast<long>(count));
    return text;
}

CustomVariablesEdit::CustomVariablesEdit(std::string type_word, std::string object_name,
                                         const DescriptionTable& descriptions, const TextVariables& values,
                                         std::size_t object_count)
    : type_word_(std::move(type_word)),
      object_name_(std::move(object_name)),
      descriptions_(descriptions),
      values_(values),
      object_count_(object_count) {}

CustomVariablesEdit::CustomVariablesEdit(std::string type_word, std::string object_name,
                                         const DescriptionTable& descriptions, const IntVariables& values,
                                         std::size_t object_count, bool show_flags)
    : type_word_(std::move(type_word)),
      object_name_(std::move(object_name)),
      descriptions_(descriptions),
      values_(values),
      object_count_(object_count),
      show_flags_(show_flags) {}

std::string CustomVariablesEdit::title() const { return "Custom Variables:  " + object_name_; }

std::string CustomVariablesEdit::note() const {
    return "Note: The variable descriptions are the same for all " + type_word_ + " objects.";
}

std::string CustomVariablesEdit::type_line() const {
    if (!is_text()) return "Data Type: Short integers, with a value range of -32768 to 32767.";
    char text[80];
    std::snprintf(text, sizeof text, "Data Type: Text strings, each %d characters long.", kCustomTextLength);
    return text;
}

bool CustomVariablesEdit::blank(int index) const {
    if (index < 0 || index >= kCustomVariableCount) return false;
    const auto i = static_cast<std::size_t>(index);
    return blank_[i] && !changed_[i];
}

std::string CustomVariablesEdit::line(int index) const {
    if (index < 0 || index >= kCustomVariableCount) return {};
    const auto i = static_cast<std::size_t>(index);
    const CustomVariableDescription& d = descriptions_[i];
    std::string text;
    if (blank(index)) {
        text = format_text_variable_line(index, d.desc, {});
    } else if (const auto* texts = std::get_if<TextVariables>(&values_)) {
        text = d.use_bits ? format_bits_variable_line(index, d.desc, text_variable_bits((*texts)[i]))
                          : format_text_variable_line(index, d.desc, (*texts)[i].view());
    } else {
        const std::int16_t value = std::get<IntVariables>(values_)[i];
        text = d.use_bits ? format_bits_variable_line(index, d.desc, int_variable_bits(value))
                          : format_int_variable_line(index, d.desc, value);
    }
    if (changed_[i]) text += " *";
    return text;
}

void CustomVariablesEdit::select(int index) { selected_ = std::clamp(index, 0, kCustomVariableCount - 1); }

std::string CustomVariablesEdit::description() const { return descriptions_[at()].desc.str(); }

std::string CustomVariablesEdit::value_text() const {
    if (blank(selected_)) return {};
    if (const auto* texts = std::get_if<TextVariables>(&values_)) return (*texts)[at()].str();
    return std::to_string(std::get<IntVariables>(values_)[at()]);
}

bool CustomVariablesEdit::use_bits() const { return descriptions_[at()].use_bits; }
bool CustomVariablesEdit::show_in_view() const { return descriptions_[at()].show_in_view; }
bool CustomVariablesEdit::show_desc_in_view() const { return descriptions_[at()].show_desc_in_view; }

bool CustomVariablesEdit::flag(int n) const {
    if (blank(selected_)) return false;
    if (const auto* texts = std::get_if<TextVariables>(&values_))
        return text_variable_flag((*texts)[at()], n);
    return int_variable_flag(std::get<IntVariables>(values_)[at()], n);
}

std::string CustomVariablesEdit::flag_label(int n) const {
    return bit_label(descriptions_[at()].desc.view(), n);
}

void CustomVariablesEdit::mark_changed() {
    changed_[at()] = true;
    any_change_ = true;
}

void CustomVariablesEdit::set_description(std::string_view text) {
    CustomVariableDescription& d = descriptions_[at()];
    if (d.desc == cut(text)) return;
    d.desc = cut(text);
    any_change_ = true;
}

std::string CustomVariablesEdit::set_value_text(std::string_view text) {
    const bool was_blank = blank(selected_);
    if (was_blank && text.find_first_not_of(" \t") == std::string_view::npos) return {};
    if (auto* texts = std::get_if<TextVariables>(&values_)) {
        CustomText& value = (*texts)[at()];
        if (was_blank || value != cut(text)) {
            value = cut(text);
            mark_changed();
        }
        return value.str();
    }
    std::int16_t& value = std::get<IntVariables>(values_)[at()];
    const std::int16_t typed = clamp_to_int16(leading_number(text));
    // Typing the number it already holds is no change, but a text that read differently is shown anew.
    if (was_blank || typed != value) {
        value = typed;
        mark_changed();
    }
    return std::to_string(value);
}

void CustomVariablesEdit::set_flag(int n, bool on) {
    if (n < 0 || n >= kCustomVariableBits || flag(n) == on) return;
    if (blank(selected_)) {
        // The bits of a blank value are shown clear: the edit starts from 0.
        if (auto* texts = std::get_if<TextVariables>(&values_))
            (*texts)[at()] = CustomText{};
        else
            std::get<IntVariables>(values_)[at()] = 0;
    }
    if (auto* texts = std::get_if<TextVariables>(&values_)) {
        set_text_variable_flag((*texts)[at()], n, on);
    } else {
        std::int16_t& value = std::get<IntVariables>(values_)[at()];
        value = with_int_variable_flag(value, n, on);
    }
    mark_changed();
}

void CustomVariablesEdit::set_use_bits(bool on) {
    if (descriptions_[at()].use_bits == on) return;
    descriptions_[at()].use_bits = on;
    any_change_ = true;
}

void CustomVariablesEdit::set_show_in_view(bool on) {
    if (!show_flags_ || descriptions_[at()].show_in_view == on) return;
    descriptions_[at()].show_in_view = on;
    any_change_ = true;
}

void CustomVariablesEdit::set_show_desc_in_view(bool on) {
    if (!show_flags_ || descriptions_[at()].show_desc_in_view == on) return;
    descriptions_[at()].show_desc_in_view = on;
    any_change_ = true;
}

bool CustomVariablesEdit::remove_all_from_view(Platform& platform) {
    if (!show_flags_) return false;
    if (platform.message_box("Remove all custom variables from the Viewport?", "Remove all",
                             MessageButtons::YesNo, MessageIcon::Question, Answer::No) != Answer::Yes)
        return false;
    for (CustomVariableDescription& d : descriptions_) {
        if (d.show_in_view) any_change_ = true;
        d.show_in_view = false;
    }
    return true;
}

bool CustomVariablesEdit::changed(int index) const {
    return index >= 0 && index < kCustomVariableCount && changed_[static_cast<std::size_t>(index)];
}

bool CustomVariablesEdit::confirm(Platform& platform, Preferences& preferences) {
    if (object_count_ <= 1 || !preferences.flag(FlagA::AskWhenChangingMultipleCustomVariables)) return true;
    bool dont_ask = false;
    const Answer answer = platform.ask_with_dont_ask_again(
        "Do you want to apply custom variable changes to multiple selected objects?", "Multiple objects",
        MessageButtons::OkCancel, dont_ask);
    if (dont_ask) preferences.set_flag(FlagA::AskWhenChangingMultipleCustomVariables, false);
    return answer == Answer::Ok;
}

bool CustomVariablesEdit::cancel(Platform& platform) const {
    if (!any_change_) return true;
    return platform.message_box("Cancel changes?", "Cancel", MessageButtons::YesNo, MessageIcon::Question,
                                Answer::No) == Answer::Yes;
}

void CustomVariablesEdit::write_descriptions(DescriptionTable& table) const {
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].desc = descriptions_[i].desc;
        table[i].use_bits = descriptions_[i].use_bits;
        if (show_flags_) {
            table[i].show_in_view = descriptions_[i].show_in_view;
            table[i].show_desc_in_view = descriptions_[i].show_desc_in_view;
        }
    }
}

int CustomVariablesEdit::write_values(TextVariables& values) const {
    const auto* texts = std::get_if<TextVariables>(&values_);
    if (!texts) return 0;
    int written = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (changed_[i]) {
            values[i] = (*texts)[i];
            ++written;
        }
    return written;
}

int CustomVariablesEdit::write_values(IntVariables& values) const {
    const auto* numbers = std::get_if<IntVariables>(&values_);
    if (!numbers) return 0;
    int written = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (changed_[i]) {
            values[i] = (*numbers)[i];
            ++written;
        }
    return written;
}

}  // namespace zorva
