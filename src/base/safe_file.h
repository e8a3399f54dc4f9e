// Writing a file whole or not at all.
//
// SafeFileWriter writes into a temporary file in the target's folder through one large buffer,
// checks every write and the close, and renames the temporary file over the target only when all
// of it succeeded. On any failure the previous file stays untouched and the temporary file is
// removed.
//
// A target that is a symbolic link is followed to the file it leads to, which is the one replaced (the
// link stays). The new file keeps the replaced file's permissions. Only regular files are replaced: a
// folder, device, pipe or socket of that name makes open() fail and stays as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

class SafeFileWriter {
public:
    explicit SafeFileWriter(std::size_t buffer_size = 1 << 20);
    ~SafeFileWriter();  // abandons an uncommitted file
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file beside `path` (beside the file it leads to, for a link). False (with
    // error()) when it cannot be created or `path` is not a regular file.
    bool open(std::string_view path);

    void write(const void* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }
    void put(char c) {
        if (used_ == buffer_.size()) flush();
        buffer_[used_++] = c;
    }

    // Flushes, closes and renames over the target. False (with error()) when anything failed.
    bool commit();
    // Removes the temporary file; the target is untouched.
    void abandon();

    bool ok() const { return failed_.empty(); }
    const std::string& error() const { return failed_; }

private:
    void flush();
    void fail(std::string_view what);

    std::vector<char> buffer_;
    std::size_t used_ = 0;
    int fd_ = -1;
    std::string target_;
    std::string temp_;
    std::string failed_;
};

// Writes `bytes` to `path` through a SafeFileWriter. Returns false and sets `error` on failure.
bool write_file_safely(std::string_view path, std::string_view bytes, std::string* error = nullptr);
inline bool write_file_safely(std::string_view path, std::span<const std::uint8_t> bytes,
                              std::string* error = nullptr) {
    return write_file_safely(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

}  // namespace zorva
