#include "text_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace scrivo {

bool TextOutput::open(const char* path) {
    text_error_.clear();
    return file_.open(path ? path : "");
}

bool TextOutput::commit() {
    if (!text_error_.empty()) {
        file_.abandon();
        return false;
    }
    return file_.commit();
}

void TextOutput::put(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            newline();
        } else {
            put_char(text[i]);
        }
    }
}

void TextOutput::put(const char* text) { put(text, std::strlen(text)); }

void TextOutput::print(const char* format, ...) {
    char small[1024];
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int needed = std::vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    if (needed < 0) {
        text_error_ = "The text could not be formatted.";
    } else if (static_cast<std::size_t>(needed) < sizeof small) {
        put(small, static_cast<std::size_t>(needed));
    } else if (char* large = static_cast<char*>(std::malloc(static_cast<std::size_t>(needed) + 1))) {
        std::vsnprintf(large, static_cast<std::size_t>(needed) + 1, format, again);
        put(large, static_cast<std::size_t>(needed));
        std::free(large);
    } else {
        text_error_ = "Not enough memory.";
    }
    va_end(again);
}

void TextOutput::put_unsigned(std::uint32_t value, int width) {
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = count; i < width; ++i) put_char('0');
    while (count > 0) put_char(digits[--count]);
}

void TextOutput::put_signed(std::int32_t value) {
    if (value < 0) {
        put_char('-');
        put_unsigned(static_cast<std::uint32_t>(0) - static_cast<std::uint32_t>(value));
    } else {
        put_unsigned(static_cast<std::uint32_t>(value));
    }
}

void TextOutput::put_float(float value) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%.5f", static_cast<double>(value));
    if (length > 0)
        put(text, static_cast<std::size_t>(length) < sizeof text ? static_cast<std::size_t>(length)
                                                                 : sizeof text - 1);
}

}  // namespace scrivo
