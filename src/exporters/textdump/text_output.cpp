#include "text_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace scrivo {

TextOutput::~TextOutput() { discard(); }

bool TextOutput::open(const char* path) {
    discard();
    if (!path || !*path) return false;
    const std::size_t length = std::strlen(path);
    target_ = static_cast<char*>(std::malloc(length + 1));
    temporary_ = static_cast<char*>(std::malloc(length + 32));
    buffer_ = static_cast<char*>(std::malloc(kBufferSize));
    if (!target_ || !temporary_ || !buffer_) {
        discard();
        return false;
    }
    std::memcpy(target_, path, length + 1);
    // A fresh name in the same folder, so the final rename stays on one file system.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        std::snprintf(temporary_, length + 32, "%s.%ld-%u.tmp", path, static_cast<long>(getpid()), attempt);
        fd_ = ::open(temporary_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) {
        std::free(temporary_);
        temporary_ = nullptr;
        discard();
        return false;
    }
    used_ = 0;
    failed_ = false;
    return true;
}

void TextOutput::flush() {
    std::size_t done = 0;
    while (!failed_ && done < used_) {
        const ssize_t written = ::write(fd_, buffer_ + done, used_ - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
        } else {
            done += static_cast<std::size_t>(written);
        }
    }
    used_ = 0;
}

bool TextOutput::commit() {
    if (fd_ < 0) return false;
    flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) failed_ = true;
    if (!failed_ && std::rename(temporary_, target_) != 0) failed_ = true;
    if (failed_) {
        discard();
        return false;
    }
    std::free(temporary_);
    temporary_ = nullptr;
    discard();
    return true;
}

void TextOutput::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (temporary_) {
        ::unlink(temporary_);
        std::free(temporary_);
        temporary_ = nullptr;
    }
    std::free(target_);
    target_ = nullptr;
    std::free(buffer_);
    buffer_ = nullptr;
    used_ = 0;
}

void TextOutput::put(const char* text, std::size_t length) {
    if (!buffer_) return;
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
        failed_ = true;
    } else if (static_cast<std::size_t>(needed) < sizeof small) {
        put(small, static_cast<std::size_t>(needed));
    } else if (char* large = static_cast<char*>(std::malloc(static_cast<std::size_t>(needed) + 1))) {
        std::vsnprintf(large, static_cast<std::size_t>(needed) + 1, format, again);
        put(large, static_cast<std::size_t>(needed));
        std::free(large);
    } else {
        failed_ = true;
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
