#include "exporters/binmapfile/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zorva::binmap {

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open(const std::string& path) {
    discard();
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (target.filename().empty()) return false;
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) return false;
    // Permissions like a file opened the ordinary way under the usual umask.
    (void)::fchmod(descriptor, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
    file_ = ::fdopen(descriptor, "wb");
    if (file_ == nullptr) {
        ::close(descriptor);
        ::unlink(pattern.c_str());
        return false;
    }
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    target_ = path;
    temporary_ = pattern;
    failed_ = false;
    return true;
}

void AtomicFile::write(const std::uint8_t* bytes, std::size_t count) {
    if (file_ == nullptr || failed_ || count == 0) return;
    if (std::fwrite(bytes, 1, count, file_) != count) failed_ = true;
}

bool AtomicFile::commit() {
    if (file_ == nullptr) return false;
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (failed_ || !flushed || !closed || std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
        failed_ = true;
        return false;
    }
    temporary_.clear();
    return true;
}

void AtomicFile::discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    AtomicFile file;
    if (!file.open(path)) return false;
    file.write(bytes.data(), bytes.size());
    return file.commit();
}

}  // namespace zorva::binmap
