#include "import/map_source.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

namespace zorva {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::uint64_t kLargestOffset = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());

}  // namespace

// --- Memory ---------------------------------------------------------------------------------------------

std::size_t MemoryMapSource::read(std::uint8_t* into, std::size_t size) {
    std::size_t taken = 0;
    if (position_ < bytes_.size()) {
        taken = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - position_));
        if (taken > 0) std::memcpy(into, bytes_.data() + position_, taken);
    }
    position_ += taken;
    if (taken < size) at_end_ = true;
    return taken;
}

bool MemoryMapSource::seek(std::int64_t offset) {
    if (offset < 0) return false;
    position_ = static_cast<std::uint64_t>(offset);
    at_end_ = false;
    return true;
}

bool MemoryMapSource::skip(std::uint64_t count) {
    if (count > kLargestOffset - std::min(position_, kLargestOffset)) return false;
    position_ += count;
    at_end_ = false;
    return true;
}

// --- File -----------------------------------------------------------------------------------------------

FileMapSource::FileMapSource(int fd) : fd_(fd), buffer_(kBufferSize) {
    seekable_ = ::lseek(fd_, 0, SEEK_CUR) != static_cast<off_t>(-1);
}

FileMapSource::~FileMapSource() {
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<FileMapSource> FileMapSource::open(const std::string& path) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    return std::unique_ptr<FileMapSource>(new FileMapSource(fd));
}

namespace {

// One read at `offset` (seekable files) or at the stream's place; -1 on an error.
ssize_t read_some(int fd, bool seekable, std::uint8_t* into, std::size_t size, std::uint64_t offset) {
    ssize_t got = -1;
    do {
        got = seekable ? ::pread(fd, into, size, static_cast<off_t>(offset)) : ::read(fd, into, size);
    } while (got < 0 && errno == EINTR);
    return got;
}

}  // namespace

bool FileMapSource::fill() {
    if (position_ > kLargestOffset) return false;
    // A stream that cannot seek is only read onwards, so the buffer always starts at the position.
    const ssize_t got = read_some(fd_, seekable_, buffer_.data(), buffer_.size(), position_);
    if (got <= 0) return false;
    buffer_start_ = position_;
    buffer_used_ = static_cast<std::size_t>(got);
    return true;
}

std::size_t FileMapSource::read(std::uint8_t* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        if (position_ >= buffer_start_ && position_ - buffer_start_ < buffer_used_) {
            const std::size_t offset = static_cast<std::size_t>(position_ - buffer_start_);
            const std::size_t count = std::min(buffer_used_ - offset, size - done);
            std::memcpy(into + done, buffer_.data() + offset, count);
            done += count;
            position_ += count;
            continue;
        }
        // Large reads go straight into the caller's memory.
        if (seekable_ && size - done >= buffer_.size() && position_ <= kLargestOffset) {
            const ssize_t got = read_some(fd_, true, into + done, size - done, position_);
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
            position_ += static_cast<std::uint64_t>(got);
            continue;
        }
        if (!fill()) break;
    }
    if (done < size) at_end_ = true;
    return done;
}

bool FileMapSource::seek(std::int64_t offset) {
    if (offset < 0 || !seekable_) return false;
    position_ = static_cast<std::uint64_t>(offset);
    at_end_ = false;
    return true;
}

bool FileMapSource::skip(std::uint64_t count) {
    if (!seekable_) return false;
    if (count > kLargestOffset - std::min(position_, kLargestOffset)) return false;
    position_ += count;
    at_end_ = false;
    return true;
}

std::optional<std::uint64_t> map_file_size(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

}  // namespace zorva
