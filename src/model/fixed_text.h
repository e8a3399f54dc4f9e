// Single-byte text of at most N characters, stored in N + 1 bytes like the file records hold it.
//
// Every way of setting the text cuts it to N characters (and at the first zero byte), so a
// longer input can never slip through. The bytes after the terminator are kept zero, which keeps
// record images deterministic. The raw bytes stay reachable for the bit-mode custom variables,
// which keep flags in the first two bytes even when the first byte is zero.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace zorva {

template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t kMaxLength = N;  // characters, without the terminator
    static constexpr std::size_t kStorageSize = N + 1;

    FixedText() { bytes_.fill(0); }
    FixedText(std::string_view text) { set(text); }  // NOLINT(google-explicit-constructor): cut like set()
    FixedText(const char* text) { set(text ? std::string_view(text) : std::string_view()); }  // NOLINT

    // Replaces the text, cut to N characters and at the first zero byte.
    void set(std::string_view text) {
        bytes_.fill(0);
        const std::size_t zero = text.find('\0');
        if (zero != std::string_view::npos) text = text.substr(0, zero);
        const std::size_t length = std::min(text.size(), N);
        if (length != 0) std::memcpy(bytes_.data(), text.data(), length);
    }
    FixedText& operator=(std::string_view text) {
        set(text);
        return *this;
    }
    FixedText& operator=(const char* text) {
        set(text ? std::string_view(text) : std::string_view());
        return *this;
    }
    // Takes a raw field of `size` bytes as stored in a file: text up to the first zero byte, cut to N.
    void set_from_field(const char* field, std::size_t size) {
        set(std::string_view(field, strnlen(field, size)));
    }

    std::string_view view() const { return std::string_view(bytes_.data(), length()); }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return bytes_.data(); }   // always terminated
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    std::size_t length() const { return strnlen(bytes_.data(), N); }
    bool empty() const { return bytes_[0] == 0; }

    // The N + 1 raw bytes (a terminator always sits at index N).
    const std::array<char, N + 1>& bytes() const { return bytes_; }
    // Raw byte access for the bit-mode flags; index must be below N.
    unsigned char byte(std::size_t index) const { return static_cast<unsigned char>(bytes_[index]); }
    void set_byte(std::size_t index, unsigned char value) {
        if (index < N) bytes_[index] = static_cast<char>(value);
    }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.bytes_ == b.bytes_; }
    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const FixedText& a, const char* b) {
        return a.view() == std::string_view(b ? b : "");
    }

private:
    std::array<char, N + 1> bytes_;
};

inline constexpr std::size_t kNameLength = 30;         // names of tile sets, maps, layers, entities
inline constexpr std::size_t kPathLength = 259;        // paths and file names
inline constexpr std::size_t kDescriptionLength = 50;  // descriptions and text custom variables

using NameText = FixedText<kNameLength>;
using PathText = FixedText<kPathLength>;
using ShortText = FixedText<kDescriptionLength>;

static_assert(sizeof(NameText) == 31);
static_assert(sizeof(PathText) == 260);
static_assert(sizeof(ShortText) == 51);

}  // namespace zorva
