// JSON for scripts: a small writer that builds one document with two-space indentation.
//
// The project's texts are single bytes in ISO-8859-1, as the project files declare. They are written as
// ASCII, every byte above 0x7E and every control character as a \u escape of the same code point, so the
// document is valid UTF-8 whatever a name holds. File names and the messages that quote them are UTF-8, as
// the system names files: they are written as they are, and only bytes that are not UTF-8 are escaped as
// above.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorva::cli {

// A text in the system's encoding (UTF-8): a file name, or a message that names files.
struct SystemText {
    std::string_view text;
};

class JsonWriter {
public:
    JsonWriter& begin_object();
    JsonWriter& end_object();
    JsonWriter& begin_array();
    JsonWriter& end_array();
    // The name of the next member of the current object.
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(SystemText text);
    JsonWriter& value(bool flag);
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(std::uint64_t number);
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(unsigned number) { return value(static_cast<std::uint64_t>(number)); }
    // The shortest text that reads back as the same float; a value that is not finite ("nan", "inf",
    // "-inf") has no JSON number and is written as that text in a string.
    JsonWriter& value(float number);
    JsonWriter& null();

    // key(name).value(v) in one call.
    template <class T>
    JsonWriter& member(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }

    // The document so far; complete (with a final line break) once the outermost container is closed.
    const std::string& text() const { return text_; }

    // `text` as a JSON string with its quotes, escaped as above: byte by byte, or keeping UTF-8 sequences.
    static std::string quoted(std::string_view text, bool keep_utf8 = false);

private:
    void before_value();
    void newline();

    struct Level {
        bool is_object = false;
        bool empty = true;
    };
    std::string text_;
    std::vector<Level> levels_;
    bool after_key_ = false;
};

}  // namespace zorva::cli
