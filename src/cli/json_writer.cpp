#include "cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zorva::cli {

namespace {

// The length of the well-formed UTF-8 sequence of two to four bytes at the start of `text`, or 0.
std::size_t utf8_sequence(std::string_view text) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (at(i) < 0x80 || at(i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string JsonWriter::quoted(std::string_view text, bool keep_utf8) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (keep_utf8 && byte > 0x7F) {
            if (const std::size_t length = utf8_sequence(text.substr(i)); length > 0) {
                out += text.substr(i, length);
                i += length - 1;
                continue;
            }
        }
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\r':
                out += "\\r";
                continue;
            default:
                break;
        }
        if (byte < 0x20 || byte > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

void JsonWriter::newline() {
    text_ += '\n';
    text_.append(levels_.size() * 2, ' ');
}

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.empty) text_ += ',';
    level.empty = false;
    newline();
}

JsonWriter& JsonWriter::key(std::string_view name) {
    Level& level = levels_.back();
    if (!level.empty) text_ += ',';
    level.empty = false;
    newline();
    text_ += quoted(name);
    text_ += ": ";
    after_key_ = true;
    return *this;
}

JsonWriter& JsonWriter::begin_object() {
    before_value();
    text_ += '{';
    levels_.push_back({true, true});
    return *this;
}

JsonWriter& JsonWriter::begin_array() {
    before_value();
    text_ += '[';
    levels_.push_back({false, true});
    return *this;
}

JsonWriter& JsonWriter::end_object() {
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) newline();
    text_ += '}';
    if (levels_.empty()) text_ += '\n';
    return *this;
}

JsonWriter& JsonWriter::end_array() {
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) newline();
    text_ += ']';
    if (levels_.empty()) text_ += '\n';
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    before_value();
    text_ += quoted(text);
    return *this;
}

JsonWriter& JsonWriter::value(SystemText text) {
    before_value();
    text_ += quoted(text.text, true);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    before_value();
    text_ += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    before_value();
    text_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(std::uint64_t number) {
    before_value();
    text_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(float number) {
    if (std::isnan(number)) return value(std::string_view("nan"));
    if (std::isinf(number)) return value(std::string_view(number > 0 ? "inf" : "-inf"));
    before_value();
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, number);
    text_.append(buffer, error == std::errc() ? end : buffer);
    return *this;
}

JsonWriter& JsonWriter::null() {
    before_value();
    text_ += "null";
    return *this;
}

}  // namespace zorva::cli
