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

namespace {

// Follows the symbolic links that `path` names, however many, to the file they lead to (which need not
// exist yet). False, with the reason, for a loop or an unreadable link.
bool resolve_links(std::string& path, std::string& why) {
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        if (hops == 40) {
            why = std::strerror(ELOOP);
            return false;
        }
        std::vector<char> link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) {
            why = length < 0 ? std::strerror(errno) : "the symbolic link changed while it was read";
            return false;
        }
        const std::filesystem::path next(std::string(link.data(), static_cast<std::size_t>(length)));
        path =
            next.is_absolute() ? next.string() : (std::filesystem::path(path).parent_path() / next).string();
    }
}

}  // namespace

bool SafeFileWriter::open(std::string_view path) {
    abandon();
    failed_.clear();
    used_ = 0;
    target_ = std::string(path);
    if (target_.empty()) {
        fail("no file name");
        return false;
    }
    // Saving onto a link writes the file it leads to: the link stays, and the new file goes beside the
    // real one so that the rename replaces it.
    std::string why;
    if (!resolve_links(target_, why)) {
        fail(why);
        return false;
    }
    // Only a regular file is replaced: a folder, a device, a pipe or a socket stays as it is.
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        fail(std::strerror(EISDIR));
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        fail("It is not a regular file (but a device, a pipe or a socket) and is not replaced");
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
    // The new file gets the old one's owner (where allowed) and permissions, or the usual ones for a new
    // file.
    mode_t mode;
    if (exists) {
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Only the owner's own group or root may change it; the file then belongs to the writer.
        }
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
