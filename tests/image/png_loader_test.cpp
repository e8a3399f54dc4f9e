#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "image/image_loader.h"
#include "support/image_files.h"

namespace zorva::test {
namespace {

using Pixel = std::array<int, 4>;

std::int32_t load(Image& image, const Bytes& file, bool key_on = false, std::uint32_t key = 0) {
    return load_image_from_memory(image, ImageKind::Png, file.data(), file.size(), key_on, key);
}

PngSpec palette_spec() {
    PngSpec spec;
    spec.width = 4;
    spec.height = 1;
    spec.colour_type = PNG_COLOR_TYPE_PALETTE;
    spec.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    spec.rows = {{0, 1, 2, 3}};
    return spec;
}

TEST(PngLoader, TrueColourRowsStayInOrder) {
    PngSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.rows = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 9, 8, 7}};
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));  // red at the top left
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixel(image, 0, 1), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 1, 1), (Pixel{7, 8, 9, 255}));
    EXPECT_EQ(image.stored_depth, 24);
    EXPECT_EQ(image.kind, ImageKind::Png);
    EXPECT_FALSE(image.has_transparency);
}

TEST(PngLoader, AlphaIsPremultiplied) {
    PngSpec spec;
    spec.width = 2;
    spec.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.rows = {{200, 100, 50, 128, 200, 100, 50, 0}};
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{50 * 128 / 255, 100 * 128 / 255, 200 * 128 / 255, 128}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(image.stored_depth, 32);
}

TEST(PngLoader, SixteenBitChannelsAreStrippedAndReportedAs64) {
    PngSpec spec;
    spec.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.bit_depth = 16;
    spec.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFF, 0xFF}};
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0x9A, 0x56, 0x12, 255}));
    EXPECT_EQ(image.stored_depth, 64);
    EXPECT_EQ(image.depth, 32);

    spec.colour_type = PNG_COLOR_TYPE_RGB;  // 48 bits, no alpha
    spec.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0x9A, 0x56, 0x12, 255}));
    EXPECT_EQ(image.stored_depth, 48);
}

TEST(PngLoader, PaletteWithThreeEntryTransparencyChunk) {
    PngSpec spec = palette_spec();
    spec.trns_alpha = {255, 255, 0};
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{0, 0, 0, 0}));       // index 2 fully transparent
    EXPECT_EQ(pixel(image, 3, 0), (Pixel{30, 20, 10, 255}));  // past the chunk: opaque
    EXPECT_TRUE(image.has_transparency);
    EXPECT_EQ(image.stored_depth, 8);
}

// Only the chunk's last entry is transparent; the alpha values it holds are not consulted.
TEST(PngLoader, PaletteTransparencyChunkMakesOnlyItsLastEntryTransparent) {
    PngSpec spec = palette_spec();
    spec.trns_alpha = {0, 51, 255};
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{0, 0, 0, 0}));

    spec.trns_alpha = {0};
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 255, 0, 255}));
}

TEST(PngLoader, PackedPaletteDepths) {
    for (int depth : {1, 2, 4}) {
        PngSpec spec = palette_spec();
        spec.bit_depth = depth;
        spec.width = 3;
        spec.palette.resize(2);
        // Pixels 1, 0, 1 packed most significant first.
        const int per_byte = 8 / depth;
        int packed = 0;
        for (int i = 0; i < 3; ++i) packed |= (i == 1 ? 0 : 1) << (8 - depth * (i % per_byte + 1));
        if (depth == 4)
            spec.rows = {{0x10, 0x10}};
        else
            spec.rows = {{static_cast<std::uint8_t>(packed)}};
        Image image;
        ASSERT_EQ(load(image, png_file(spec)), kImageLoaded) << depth;
        EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 255, 0, 255})) << depth;
        EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 255, 255})) << depth;
        EXPECT_EQ(pixel(image, 2, 0), (Pixel{0, 255, 0, 255})) << depth;
        EXPECT_EQ(image.stored_depth, depth);
    }
}

TEST(PngLoader, EightBitGreyIsUnchanged) {
    PngSpec spec;
    spec.width = 256;
    spec.colour_type = PNG_COLOR_TYPE_GRAY;
    spec.rows.emplace_back();
    for (int i = 0; i < 256; ++i) spec.rows[0].push_back(static_cast<std::uint8_t>(i));
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(pixel(image, i, 0), (Pixel{i, i, i, 255})) << i;
    EXPECT_EQ(image.stored_depth, 8);
}

TEST(PngLoader, LowDepthGreyAndGreyAlphaAreWidened) {
    PngSpec spec;
    spec.width = 2;
    spec.colour_type = PNG_COLOR_TYPE_GRAY;
    spec.bit_depth = 2;
    spec.rows = {{0b11010000}};  // levels 3 and 1 of 3
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{85, 85, 85, 255}));

    spec.colour_type = PNG_COLOR_TYPE_GRAY_ALPHA;
    spec.bit_depth = 8;
    spec.rows = {{200, 255, 200, 0}};
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{200, 200, 200, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(image.stored_depth, 16);
    EXPECT_TRUE(image.has_transparency);  // its alpha channel, though stored in fewer than 32 bits
}

TEST(PngLoader, TransparentColourOfATrueColourPicture) {
    PngSpec spec;
    spec.width = 2;
    spec.rows = {{1, 2, 3, 4, 5, 6}};
    spec.trns_colour = true;
    spec.trns_value.red = 4;
    spec.trns_value.green = 5;
    spec.trns_value.blue = 6;
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{3, 2, 1, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_TRUE(image.has_transparency);
}

TEST(PngLoader, ColourKeyBeforePremultiplication) {
    PngSpec spec;
    spec.width = 2;
    spec.colour_type = PNG_COLOR_TYPE_RGB_ALPHA;
    spec.rows = {{10, 20, 30, 90, 10, 20, 31, 90}};
    Image image;
    ASSERT_EQ(load(image, png_file(spec), true, 10 | (20 << 8) | (30 << 16)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 1, 0)[3], 90);
}

TEST(PngLoader, InterlacedPicture) {
    PngSpec spec;
    spec.width = 9;
    spec.height = 9;
    spec.interlaced = true;
    for (int y = 0; y < 9; ++y) {
        spec.rows.emplace_back();
        for (int x = 0; x < 9; ++x)
            spec.rows.back().insert(spec.rows.back().end(), {std::uint8_t(x), std::uint8_t(y), 7});
    }
    Image image;
    ASSERT_EQ(load(image, png_file(spec)), kImageLoaded);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(pixel(image, x, y), (Pixel{7, y, x, 255}));
}

TEST(PngLoader, BadFilesFailCleanly) {
    Image image;
    const Bytes good = png_file(palette_spec());
    ASSERT_FALSE(good.empty());
    // Cut anywhere before the end chunk (a missing end chunk after complete pixels is forgiven).
    for (std::size_t size = 0; size + 12 < good.size(); ++size) {
        EXPECT_EQ(load_image_from_memory(image, ImageKind::Png, good.data(), size, false, 0), kImageFailed)
            << size;
        EXPECT_TRUE(image.empty());
    }
    Bytes wrong_signature = good;
    wrong_signature[1] = 'p';
    EXPECT_EQ(load(image, wrong_signature), kImageFailed);

    // A palette index past the 4-entry palette.
    PngSpec past = palette_spec();
    past.rows = {{0, 1, 2, 9}};
    EXPECT_EQ(load(image, png_file(past)), kImageFailed);
    EXPECT_TRUE(image.empty());

    // A corrupted pixel byte breaks the data checksum.
    Bytes corrupt = good;
    corrupt[corrupt.size() - 20] ^= 0x55;
    EXPECT_EQ(load(image, corrupt), kImageFailed);
}

TEST(PngLoader, OversizedHeadersAreRefused) {
    // A valid 1 × 1 picture whose header is patched to huge sizes (checksum fixed up).
    PngSpec spec;
    spec.rows = {{1, 2, 3}};
    const Bytes good = png_file(spec);
    auto with_size = [&](std::uint32_t width, std::uint32_t height) {
        Bytes file = good;
        for (int i = 0; i < 4; ++i) {
            file[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
            file[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
        }
        const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, file.data() + 12, 17));
        for (int i = 0; i < 4; ++i) file[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        return file;
    };
    Image image;
    EXPECT_EQ(load(image, with_size(1, 1)), kImageLoaded);
    EXPECT_EQ(load(image, with_size(100000, 100000)), kImageFailed);  // above 64 Mpixels
    EXPECT_EQ(load(image, with_size(4000, 4000)), kImageFailed);      // too much for a tiny file
    EXPECT_TRUE(image.empty());
}

// Virtual memory of this process in kB: its size now and its peak so far.
struct VirtualMemory {
    long size = -1;
    long peak = -1;
};

VirtualMemory virtual_memory() {
    VirtualMemory memory;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) memory.size = std::stol(line.substr(7));
        if (line.rfind("VmPeak:", 0) == 0) memory.peak = std::stol(line.substr(7));
    }
    return memory;
}

TEST(PngLoader, ChunksLongerThanTheFileFailBeforeAnyBufferIsTakenForThem) {
    // Found by fuzzing: the signature, a 13 x 1 palette header and a text chunk whose length reads
    // 0x73737373 (1.9 GB), in a file of 114 bytes. libpng takes a buffer of the claimed length for text
    // and other chunks of variable length before it reads them.
    std::ifstream in(
        std::string(ZORVA_TEST_SOURCE_DIR) + "/../fuzz/seeds/fuzz_png/chunk_longer_than_file.png",
        std::ios::binary);
    const Bytes seed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(seed.size(), 114u);
    constexpr long kGigabyte = 1L << 20;  // in kB
    const VirtualMemory before = virtual_memory();
    ASSERT_GT(before.size, 0);
    // A large allocation shows as a jump of the peak, when the peak lies near the size to begin with.
    ASSERT_LT(before.peak - before.size, kGigabyte);
    Image image;
    for (const char* type :
         {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "eXIf", "pCAL", "sCAL", "IDAT", "ssss"}) {
        Bytes file = seed;
        std::memcpy(file.data() + 37, type, 4);
        EXPECT_EQ(load(image, file), kImageFailed) << type;
        EXPECT_TRUE(image.empty());
        EXPECT_LT(virtual_memory().peak - before.size, kGigabyte) << type;
    }
}

}  // namespace
}  // namespace zorva::test
