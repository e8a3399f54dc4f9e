#include "image/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/safe_file.h"

namespace zorva {

namespace {

struct PngTarget {
    SafeFileWriter* file;
    char message[200];
};

void write_data(png_structp png, png_bytep data, png_size_t length) {
    auto* target = static_cast<PngTarget*>(png_get_io_ptr(png));
    target->file->write(data, length);
}

void flush_data(png_structp) {}

[[noreturn]] void on_error(png_structp png, png_const_charp message) {
    auto* target = static_cast<PngTarget*>(png_get_error_ptr(png));
    std::snprintf(target->message, sizeof target->message, "%s", message ? message : "PNG error");
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

// Premultiplied 0xAARRGGBB to straight R, G, B, A bytes.
void unpremultiply_row(const std::uint32_t* in, std::uint8_t* out, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint32_t p = in[i];
        const std::uint32_t a = p >> 24;
        std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (a != 255 && a != 0) {
            r = (r * 255 + a / 2) / a;
            g = (g * 255 + a / 2) / a;
            b = (b * 255 + a / 2) / a;
            if (r > 255) r = 255;
            if (g > 255) g = 255;
            if (b > 255) b = 255;
        }
        out[4 * i] = static_cast<std::uint8_t>(r);
        out[4 * i + 1] = static_cast<std::uint8_t>(g);
        out[4 * i + 2] = static_cast<std::uint8_t>(b);
        out[4 * i + 3] = static_cast<std::uint8_t>(a);
    }
}

// The libpng part, kept free of objects with destructors between setjmp and longjmp.
bool encode(png_structp png, png_infop info, std::int64_t width, std::int64_t height, std::int64_t band_rows,
            const PngRowSource& source, const PngSettings& settings, std::uint32_t* band, std::uint8_t* row,
            bool* source_failed) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, settings.compression_level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, settings.filter_sub ? PNG_FILTER_SUB : PNG_FILTER_NONE);
    png_write_info(png, info);
    for (std::int64_t first = 0; first < height; first += band_rows) {
        const std::int64_t count = std::min(band_rows, height - first);
        if (!source(first, count, band, width * 4)) {
            *source_failed = true;
            return false;
        }
        for (std::int64_t y = 0; y < count; ++y) {
            unpremultiply_row(band + y * width, row, width);
            png_write_row(png, row);
        }
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

bool write_png(std::string_view path, std::int64_t width, std::int64_t height, std::int64_t band_rows,
               const PngRowSource& source, const PngSettings& settings, std::string* error) {
    auto fail = [&](std::string_view text) {
        if (error) *error = text;
        return false;
    };
    if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return fail("Invalid picture size");
    if (band_rows <= 0) band_rows = 1;
    if (band_rows > height) band_rows = height;
    std::unique_ptr<std::uint32_t[]> band(new (std::nothrow)
                                              std::uint32_t[static_cast<std::size_t>(width * band_rows)]);
    std::unique_ptr<std::uint8_t[]> row(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(width * 4)]);
    if (!band || !row) return fail("Not enough memory for the picture");

    SafeFileWriter file(1 << 20);
    if (!file.open(path)) return fail(file.error());
    PngTarget target{&file, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &target, on_error, on_warning);
    if (!png) return fail("Not enough memory for the PNG writer");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return fail("Not enough memory for the PNG writer");
    }
    png_set_write_fn(png, &target, write_data, flush_data);
    bool source_failed = false;
    const bool encoded =
        encode(png, info, width, height, band_rows, source, settings, band.get(), row.get(), &source_failed);
    png_destroy_write_struct(&png, &info);
    if (!encoded) {
        file.abandon();
        return fail(source_failed ? "Drawing the picture failed" : target.message);
    }
    if (!file.commit()) return fail(file.error());
    return true;
}

bool write_png_pixels(std::string_view path, std::int64_t width, std::int64_t height,
                      const std::uint8_t* pixels, std::int64_t row_bytes, const PngSettings& settings,
                      std::string* error) {
    const auto copied = static_cast<std::size_t>(width) * 4;
    return write_png(
        path, width, height, height,
        [&](std::int64_t first, std::int64_t count, std::uint32_t* rows, std::int64_t stride) {
            for (std::int64_t y = 0; y < count; ++y)
                std::memcpy(reinterpret_cast<std::uint8_t*>(rows) + y * stride,
                            pixels + (first + y) * row_bytes, copied);
            return true;
        },
        settings, error);
}

}  // namespace zorva
