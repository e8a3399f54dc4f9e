// Writing a whole file without ever destroying the previous one: the bytes go to a temporary file in the
// same folder, every write and the close are checked, and only then is it renamed over the target.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace zorva::binmap {

bool write_file_atomically(const std::string& path, std::span<const std::uint8_t> bytes);

// A buffered output file built the same way: open() makes the temporary file, write() collects bytes,
// commit() flushes, closes and renames it over the target; destroying it uncommitted removes the
// temporary file. After any failed write, commit() fails.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open(const std::string& path);
    void write(const std::uint8_t* bytes, std::size_t count);
    bool commit();
    void discard();
    bool is_open() const { return file_ != nullptr; }
    bool failed() const { return failed_; }

private:
    std::FILE* file_ = nullptr;
    std::string target_;
    std::string temporary_;
    bool failed_ = false;
};

}  // namespace zorva::binmap
