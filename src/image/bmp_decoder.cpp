// BMP: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field masks, bottom-up or
// top-down. Run-length encoded files are not read.
#include <array>
#include <bit>
#include <cstdlib>

#include "image/image_decoders.h"
#include "image/image_loader.h"

namespace zorva::detail {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

struct Colour {
    std::uint8_t blue = 0, green = 0, red = 0;
};

// One colour channel described by a bit mask: where it sits and how it widens to 8 bits.
class Channel {
public:
    Channel() = default;
    // False for a mask whose bits are not contiguous.
    bool set(std::uint32_t mask) {
        mask_ = mask;
        if (mask == 0) return true;
        shift_ = std::countr_zero(mask);
        const std::uint32_t bits_mask = mask >> shift_;
        if ((bits_mask & (bits_mask + 1)) != 0) return false;
        bits_ = std::popcount(mask);
        if (bits_ > 8) {  // keep the 8 most significant bits
            shift_ += bits_ - 8;
            bits_ = 8;
        }
        return true;
    }
    bool present() const { return mask_ != 0; }
    std::uint8_t value(std::uint32_t pixel) const {
        if (mask_ == 0) return 0;
        const std::uint32_t max = (1u << bits_) - 1;
        const std::uint32_t v = (pixel >> shift_) & max;
        if (bits_ == 8) return static_cast<std::uint8_t>(v);
        if (bits_ == 5) return widen_5_bits(v);
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
};

struct Header {
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive here
    bool top_down = false;
    int depth = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t colours_used = 0;
    std::size_t palette_offset = 0;
    std::size_t palette_entry_size = 4;
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
};

bool read_header(const std::uint8_t* bytes, std::size_t size, Header& header) {
    if (size < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint32_t info_size = read_u32(bytes + kFileHeaderSize);
    if (info_size != kCoreHeaderSize && info_size < kInfoHeaderSize) return false;
    if (info_size > size - kFileHeaderSize) return false;
    const std::uint8_t* info = bytes + kFileHeaderSize;
    header.palette_offset = kFileHeaderSize + info_size;

    std::int64_t height = 0;
    if (info_size == kCoreHeaderSize) {
        header.width = read_u16(info + 4);
        height = read_u16(info + 6);
        header.depth = read_u16(info + 10);
        header.palette_entry_size = 3;
    } else {
        header.width = static_cast<std::int32_t>(read_u32(info + 4));
        height = static_cast<std::int32_t>(read_u32(info + 8));
        header.depth = read_u16(info + 14);
        header.compression = read_u32(info + 16);
        header.colours_used = read_u32(info + 32);
        if (header.compression == kCompressionBitFields) {
            if (info_size >= 52) {
                for (int i = 0; i < (info_size >= 56 ? 4 : 3); ++i)
                    header.masks[i] = read_u32(info + 40 + 4 * i);
            } else {
                // A plain info header is followed by the three masks.
                if (size - header.palette_offset < 12) return false;
                for (int i = 0; i < 3; ++i) header.masks[i] = read_u32(bytes + header.palette_offset + 4 * i);
                header.palette_offset += 12;
            }
        }
    }
    if (header.width <= 0 || height == 0) return false;
    header.top_down = height < 0;
    height = std::llabs(height);
    if (height > kMaxImagePixels) return false;
    header.height = static_cast<std::int32_t>(height);
    if (static_cast<std::int64_t>(header.width) * header.height > kMaxImagePixels) return false;

    switch (header.depth) {
        case 1:
        case 4:
        case 8:
        case 24:
            return header.compression == kCompressionNone;
        case 16:
        case 32:
            return header.compression == kCompressionNone || header.compression == kCompressionBitFields;
        default:
            return false;
    }
}

}  // namespace

bool decode_bmp(Image& image, const std::uint8_t* bytes, std::size_t size) {
    Header header;
    if (!read_header(bytes, size, header)) return false;
    const std::int32_t width = header.width;
    const std::int32_t height = header.height;
    const int depth = header.depth;

    // Colour table of the palette depths; entries past the table make the load fail.
    std::array<Colour, 256> table{};
    std::size_t table_size = 0;
    if (depth <= 8) {
        const std::size_t most = std::size_t{1} << depth;
        table_size = header.colours_used == 0 || header.colours_used > most ? most : header.colours_used;
        if (header.palette_offset > size ||
            (size - header.palette_offset) / header.palette_entry_size < table_size)
            return false;
        const std::uint8_t* entry = bytes + header.palette_offset;
        for (std::size_t i = 0; i < table_size; ++i, entry += header.palette_entry_size)
            table[i] = {entry[0], entry[1], entry[2]};
    }

    // Masks of the 16 and 32-bit layouts; without bit fields 16 bits are 5-5-5 and 32 bits keep the
    // fourth byte as alpha.
    std::array<Channel, 4> channels;
    if (depth == 16 || depth == 32) {
        std::array<std::uint32_t, 4> masks = header.masks;
        if (header.compression == kCompressionNone)
            masks = depth == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                                : std::array<std::uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0xFF000000};
        if (depth == 16) masks[3] &= 0xFFFF;
        for (std::size_t i = 0; i < 4; ++i)
            if (!channels[i].set(masks[i])) return false;
    }

    // Pixel rows: each padded to a multiple of 4 bytes, the last one need not carry its padding.
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * depth + 31) / 32 * 4;
    const std::uint64_t used = (static_cast<std::uint64_t>(width) * depth + 7) / 8;
    const std::size_t data_start = read_u32(bytes + 10);
    if (data_start > size) return false;
    if (static_cast<std::uint64_t>(size - data_start) <
        stride * (static_cast<std::uint64_t>(height) - 1) + used)
        return false;

    if (!image.allocate(width, height)) return false;
    for (std::int32_t file_row = 0; file_row < height; ++file_row) {
        const std::uint8_t* in = bytes + data_start + static_cast<std::size_t>(stride) * file_row;
        std::uint8_t* out = image.row(header.top_down ? file_row : height - 1 - file_row);
        for (std::int32_t x = 0; x < width; ++x, out += 4) {
            std::uint32_t index = 0;
            switch (depth) {
                case 1:
                    index = (in[x >> 3] >> (7 - (x & 7))) & 1;
                    break;
                case 4:
                    index = (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
                    break;
                case 8:
                    index = in[x];
                    break;
                case 24: {
                    const std::uint8_t* p = in + 3 * static_cast<std::size_t>(x);
                    out[0] = p[0];
                    out[1] = p[1];
                    out[2] = p[2];
                    out[3] = 255;
                    continue;
                }
                default: {
                    const std::uint32_t pixel = depth == 16 ? read_u16(in + 2 * static_cast<std::size_t>(x))
                                                            : read_u32(in + 4 * static_cast<std::size_t>(x));
                    out[0] = channels[2].value(pixel);
                    out[1] = channels[1].value(pixel);
                    out[2] = channels[0].value(pixel);
                    out[3] = channels[3].present() ? channels[3].value(pixel) : 255;
                    continue;
                }
            }
            if (index >= table_size) {
                image.release();
                return false;
            }
            out[0] = table[index].blue;
            out[1] = table[index].green;
            out[2] = table[index].red;
            out[3] = 255;
        }
    }
    image.stored_depth = depth;
    image.stored_width = width;
    image.stored_height = height;
    image.has_transparency = false;
    return true;
}

}  // namespace zorva::detail
