// The bytes of a MAP file as the import reads them: a position that reads, seeks and skips like a C stream
// (a read that comes short of the request sets the end-of-file mark; a seek or skip clears it and may go
// beyond the end), over a file or over bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zorva {

class MapSource {
public:
    virtual ~MapSource() = default;

    // Copies up to `size` bytes from the position into `into` and moves on; fewer at the end of the file,
    // which then sets the end mark. Returns the count copied.
    virtual std::size_t read(std::uint8_t* into, std::size_t size) = 0;
    // Moves to `offset` from the start (false for a negative offset, or when the file cannot seek).
    virtual bool seek(std::int64_t offset) = 0;
    // Moves on by `count` bytes from the position (false when the file cannot seek).
    virtual bool skip(std::uint64_t count) = 0;
    virtual std::uint64_t position() const = 0;
    // A read came short of its request since the last seek or skip.
    virtual bool at_end() const = 0;
};

// Bytes held in memory (tests, fuzzing). The bytes must outlive the source.
class MemoryMapSource : public MapSource {
public:
    explicit MemoryMapSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t read(std::uint8_t* into, std::size_t size) override;
    bool seek(std::int64_t offset) override;
    bool skip(std::uint64_t count) override;
    std::uint64_t position() const override { return position_; }
    bool at_end() const override { return at_end_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
    bool at_end_ = false;
};

// A file opened for reading, read through a buffer of its own so that small reads and skips between
// cells stay cheap.
class FileMapSource : public MapSource {
public:
    // Null when the file cannot be opened for reading.
    static std::unique_ptr<FileMapSource> open(const std::string& path);
    ~FileMapSource() override;
    FileMapSource(const FileMapSource&) = delete;
    FileMapSource& operator=(const FileMapSource&) = delete;

    std::size_t read(std::uint8_t* into, std::size_t size) override;
    bool seek(std::int64_t offset) override;
    bool skip(std::uint64_t count) override;
    std::uint64_t position() const override { return position_; }
    bool at_end() const override { return at_end_; }

private:
    explicit FileMapSource(int fd);
    // Refills the buffer from the position; false at the end of the file or on an error.
    bool fill();

    int fd_ = -1;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t buffer_start_ = 0;  // file offset of buffer_[0]
    std::size_t buffer_used_ = 0;
    std::uint64_t position_ = 0;
    bool at_end_ = false;
    bool seekable_ = true;
};

// The size of the file at `path` from the file system, when it is a regular file whose size can be taken.
std::optional<std::uint64_t> map_file_size(const std::string& path);

}  // namespace zorva
