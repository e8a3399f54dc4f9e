// The output file of the text dump: buffered, every "\n" stored as CR LF, written to a temporary file in
// the target's folder and renamed over the target only when everything was written. A failed run leaves
// an existing file of that name untouched.
#pragma once

#include <cstddef>
#include <cstdint>

namespace scrivo {

class TextOutput {
public:
    TextOutput() = default;
    ~TextOutput();
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;

    // Creates the temporary file beside `path`. False when it cannot be created.
    bool open(const char* path);
    // Flushes, closes and renames over the target. False (and the temporary file removed) when any write,
    // the close or the rename failed.
    bool commit();
    // Removes the temporary file without touching the target.
    void discard();

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
    void put_char(char c) {
        if (used_ == kBufferSize) flush();
        buffer_[used_++] = c;
    }
    void newline() {
        put_char('\r');
        put_char('\n');
    }

    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kBufferSize = 1 << 20;

    void flush();

    int fd_ = -1;
    bool failed_ = false;
    char* target_ = nullptr;
    char* temporary_ = nullptr;
    char* buffer_ = nullptr;
    std::size_t used_ = 0;
};

}  // namespace scrivo
