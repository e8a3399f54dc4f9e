// The output file of the text dump: buffered, every "\n" stored as CR LF, written through the safe file
// writer: a temporary file beside the target, renamed over it only when everything was written. A failed
// run leaves an existing file of that name untouched, and error() says why it failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/safe_file.h"

namespace scrivo {

class TextOutput {
public:
    TextOutput() = default;
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;

    // Creates the temporary file beside `path`. False (with error()) when it cannot be created.
    bool open(const char* path);
    // Flushes, closes and renames over the target. False (with error(), and the temporary file removed)
    // when any write, the close or the rename failed.
    bool commit();
    // Removes the temporary file without touching the target.
    void discard() { file_.abandon(); }

    // Text with "\n" line ends.
    void put(const char* text, std::size_t length);
    void put(const char* text);
    // printf-style text with "\n" line ends (one call writes at most 1 KiB beyond its %s arguments).
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A number in decimal, padded with zeros to at least `width` digits.
    void put_unsigned(std::uint32_t value, int width = 1);
    void put_signed(std::int32_t value);
    // "%.5f".
    void put_float(float value);
    // A single character that is not "\n".
    void put_char(char c) { file_.put(c); }
    void newline() {
        put_char('\r');
        put_char('\n');
    }

    bool failed() const { return !text_error_.empty() || !file_.ok(); }
    // Why the file could not be created or written: the system's text where it gave one.
    const std::string& error() const { return text_error_.empty() ? file_.error() : text_error_; }

private:
    zorva::SafeFileWriter file_{1 << 20};
    std::string text_error_;  // a failure to format text, which the file writer does not know of
};

}  // namespace scrivo
