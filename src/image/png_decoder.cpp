// PNG through libpng. Every colour type is delivered as 8-bit blue-green-red-alpha: 16-bit channels
// are stripped, grey is widened to grey-level colours. A transparency chunk of n entries in a palette
// picture makes palette entry n-1 transparent and leaves every other entry opaque, whatever alpha
// values the chunk holds; in grey and true-colour pictures it makes its one colour transparent.
//
// Every chunk must fit in what is left of the file: its length is checked as its header is read, before
// libpng allocates anything for it.
//
// Decompression bombs: the header is refused before any pixel memory is taken when the picture
// holds more than kMaxImagePixels pixels, or when its filtered rows could not fit in the file even at
// the best ratio deflate can reach (about 1032 to 1; kMaxDeflateRatio leaves some margin).
#include <png.h>

#include <array>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>

#include "image/image_decoders.h"
#include "image/image_loader.h"

#ifndef PNG_IO_STATE_SUPPORTED
#error "chunk lengths are checked as libpng reads chunk headers, which needs its I/O state"
#endif

namespace zorva::detail {

namespace {

constexpr std::uint64_t kMaxDeflateRatio = 1100;
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;  // ancillary chunks (text, profiles) above this fail

struct MemoryReader {
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t position;
};

std::uint32_t big_endian_u32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->size - reader->position < length) png_error(png, "truncated");
    std::memcpy(out, reader->bytes + reader->position, length);
    reader->position += length;
    // A chunk header (length and type, read in one piece): the chunk's data and checksum must lie in
    // the bytes left, before libpng takes a buffer of the length it claims.
    if (length == 8 && (png_get_io_state(png) & PNG_IO_MASK_LOC) == PNG_IO_CHUNK_HDR &&
        std::uint64_t{big_endian_u32(out)} + 4 > reader->size - reader->position)
        png_error(png, "chunk longer than the file");
}

[[noreturn]] void on_error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void on_warning(png_structp, png_const_charp) {}

class PngReader {
public:
    PngReader() {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
        if (png_) info_ = png_create_info_struct(png_);
    }
    ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
    bool ok() const { return png_ && info_; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

bool checksums_ignored = false;

struct HeaderInfo {
    png_uint_32 width;
    png_uint_32 height;
    int bit_depth;
    int colour_type;
    int channels;
    int interlace;
    bool has_trns;
};

// The two steps that can long-jump hold no objects with destructors.
bool read_header(png_structp png, png_infop info, MemoryReader* reader, HeaderInfo* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, reader, read_from_memory);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    if (checksums_ignored) png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->bit_depth = png_get_bit_depth(png, info);
    out->colour_type = png_get_color_type(png, info);
    out->channels = png_get_channels(png, info);
    out->interlace = png_get_interlace_type(png, info);
    out->has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    return true;
}

bool read_rows(png_structp png, png_infop info, png_bytepp rows, std::size_t expected_row_bytes) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != expected_row_bytes) return false;
    png_read_image(png, rows);
    return true;
}

bool palette_table(png_structp png, png_infop info, std::array<std::uint8_t, 4 * 256>& table, int& entries,
                   bool& has_trns) {
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) == 0 || count <= 0 || count > 256) return false;
    png_bytep alpha = nullptr;
    int alpha_count = 0;
    png_color_16p unused = nullptr;
    if (png_get_tRNS(png, info, &alpha, &alpha_count, &unused) == 0) alpha_count = 0;
    has_trns = alpha_count > 0;
    for (int i = 0; i < count; ++i) {
        table[4 * i + 0] = palette[i].blue;
        table[4 * i + 1] = palette[i].green;
        table[4 * i + 2] = palette[i].red;
        table[4 * i + 3] = i == alpha_count - 1 ? 0 : 255;
    }
    entries = count;
    return true;
}

}  // namespace

void ignore_png_checksums(bool ignore) { checksums_ignored = ignore; }

bool decode_png(Image& image, const std::uint8_t* bytes, std::size_t size) {
    static constexpr std::uint8_t kSignature[4] = {0x89, 'P', 'N', 'G'};
    if (size < 8 || std::memcmp(bytes, kSignature, sizeof kSignature) != 0) return false;

    PngReader reader;
    if (!reader.ok()) return false;
    MemoryReader source{bytes, size, 0};
    HeaderInfo header{};
    if (!read_header(reader.png(), reader.info(), &source, &header)) return false;

    if (header.width == 0 || header.height == 0) return false;
    const std::uint64_t pixels = std::uint64_t{header.width} * header.height;
    if (pixels > static_cast<std::uint64_t>(kMaxImagePixels)) return false;
    const std::uint64_t filtered_bytes =
        (std::uint64_t{header.width} * header.channels * header.bit_depth + 7) / 8 * header.height +
        header.height;
    if (filtered_bytes / kMaxDeflateRatio > size) return false;

    png_structp png = reader.png();
    png_infop info = reader.info();
    const bool palette = header.colour_type == PNG_COLOR_TYPE_PALETTE;
    std::array<std::uint8_t, 4 * 256> table{};
    int table_entries = 0;
    bool has_trns = header.has_trns;
    if (palette) {
        // Indexes are unpacked to one byte each and looked up here, so an index past the palette
        // can be refused.
        if (!palette_table(png, info, table, table_entries, has_trns)) return false;
        png_set_packing(png);
    } else {
        if (header.bit_depth == 16) png_set_strip_16(png);
        if (header.colour_type == PNG_COLOR_TYPE_GRAY && header.bit_depth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (header.has_trns) png_set_tRNS_to_alpha(png);
        if (header.colour_type == PNG_COLOR_TYPE_GRAY || header.colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
        if ((header.colour_type & PNG_COLOR_MASK_ALPHA) == 0 && !header.has_trns)
            png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    if (header.interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);

    const auto width = static_cast<std::int32_t>(header.width);
    const auto height = static_cast<std::int32_t>(header.height);
    if (!image.allocate(width, height)) return false;
    std::unique_ptr<png_bytep[]> rows(new (std::nothrow) png_bytep[header.height]);
    if (!rows) {
        image.release();
        return false;
    }
    // Palette indexes are decoded into the right-hand quarter of each row and expanded in place.
    const std::size_t index_offset = palette ? 3 * static_cast<std::size_t>(width) : 0;
    for (std::int32_t y = 0; y < height; ++y) rows[y] = image.row(y) + index_offset;
    if (!read_rows(png, info, rows.get(), palette ? width : 4 * static_cast<std::size_t>(width))) {
        image.release();
        return false;
    }

    if (palette) {
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* out = image.row(y);
            const std::uint8_t* index = out + index_offset;
            // Writing pixel x touches bytes 4x..4x+3, never an index not yet read (at 3w + x' ≥ 4x).
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint8_t i = index[x];
                if (i >= table_entries) {
                    image.release();
                    return false;
                }
                std::memcpy(out + 4 * static_cast<std::size_t>(x), &table[4 * static_cast<std::size_t>(i)],
                            4);
            }
        }
    }
    image.stored_depth = header.bit_depth * header.channels;
    image.stored_width = width;
    image.stored_height = height;
    // An alpha channel is transparency the file carries, whatever the stored depth: an 8-bit grey picture
    // with alpha is stored in 16 bits a pixel and must still be drawn blended.
    image.has_transparency = has_trns || (header.colour_type & PNG_COLOR_MASK_ALPHA) != 0;
    return true;
}

}  // namespace zorva::detail
