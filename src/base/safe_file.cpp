#include "base/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace zorva {

SafeFileWriter::SafeFileWriter(std::size_t buffer_size) : buffer_(buffer_size ? buffer_size : 4096) {}

SafeFileWriter::~SafeFileWriter() { abandon(); }

bool SafeFileWriter::open(std::string_view path) {
    abandon();
    failed_.clear();
    used_ = 0;
    target_ = std::string(path);
    if (target_.empty()) {
        fail("no file name");
        return false;
    }
    std::filesystem::path target(target_);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    temp_ = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) {
        temp_.clear();
        fail(std::strerror(errno));
        return false;
    }
    // The new file gets the old one's permissions, or the usual ones for a new file.
    struct stat existing {};
    mode_t mode;
    if (::stat(target_.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    return true;
}

void SafeFileWriter::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    if (size >= buffer_.size()) {
        flush();
        while (size > 0 && ok()) {
            const ssize_t written = ::write(fd_, bytes, size);
            if (written < 0) {
                if (errno == EINTR) continue;
                fail(std::strerror(errno));
                return;
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
        return;
    }
    if (used_ + size > buffer_.size()) flush();
    std::memcpy(buffer_.data() + used_, bytes, size);
    used_ += size;
}

void SafeFileWriter::flush() {
    std::size_t done = 0;
    while (done < used_ && ok()) {
        if (fd_ < 0) {
            fail("file not open");
            break;
        }
        const ssize_t written = ::write(fd_, buffer_.data() + done, used_ - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail(std::strerror(errno));
            break;
        }
        done += static_cast<std::size_t>(written);
    }
    used_ = 0;
}

void SafeFileWriter::fail(std::string_view what) {
    if (failed_.empty()) failed_ = std::string(what);
}

bool SafeFileWriter::commit() {
    if (fd_ < 0) {
        fail("file not open");
        return false;
    }
    flush();
    if (::close(fd_) != 0) fail(std::strerror(errno));
    fd_ = -1;
    if (ok() && std::rename(temp_.c_str(), target_.c_str()) != 0) fail(std::strerror(errno));
    if (!ok()) {
        ::unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    return true;
}

void SafeFileWriter::abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    used_ = 0;
}

bool write_file_safely(std::string_view path, std::string_view bytes, std::string* error) {
    SafeFileWriter writer(64 * 1024);
    bool done = writer.open(path);
    if (done) {
        writer.write(bytes);
        done = writer.commit();
    }
    if (!done && error) *error = writer.error();
    return done;
}

}  // namespace zorva
