#include "image/image_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "base/ascii_text.h"
#include "image/image_decoders.h"

namespace zorva {

namespace {

// No picture within kMaxImagePixels needs a larger file (an uncompressed 16-bit PNG of that size
// takes 512 MB).
constexpr long kMaxFileBytes = 1L << 30;

// The whole file, or nothing when it cannot be opened or read. Only regular files are read: a path
// naming a pipe or a device (a hostile project can name anything) must not block or stream forever.
bool read_file(std::string_view path, std::unique_ptr<std::uint8_t[]>& bytes, std::size_t& size) {
    const std::string name(path);
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
              info.st_size <= kMaxFileBytes;
    if (ok) {
        size = static_cast<std::size_t>(info.st_size);
        bytes.reset(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
        ok = bytes != nullptr;
        std::size_t done = 0;
        while (ok && done < size) {
            const ssize_t got = ::read(fd, bytes.get() + done, size - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0)
                ok = false;  // an error, or the file shrank while being read
            else
                done += static_cast<std::size_t>(got);
        }
    }
    ::close(fd);
    return ok;
}

}  // namespace

ImageKind image_kind_from_path(std::string_view path) {
    for (const ImageKindRow& row : kImageKinds)
        if (ends_with_ignoring_case(path, row.extension)) return row.kind;
    return ImageKind::Empty;
}

std::int32_t load_image_from_memory(Image& image, ImageKind kind, const std::uint8_t* bytes, std::size_t size,
                                    bool colour_key_on, std::uint32_t key_colour) {
    image.release();
    bool decoded = false;
    switch (kind) {
        case ImageKind::Tga:
            decoded = detail::decode_tga(image, bytes, size);
            break;
        case ImageKind::Bmp:
            decoded = detail::decode_bmp(image, bytes, size);
            break;
        case ImageKind::Png:
            decoded = detail::decode_png(image, bytes, size);
            break;
        case ImageKind::Empty:
            return kImageUnsupportedType;
    }
    if (!decoded || !image.bitmap) {
        image = Image{};
        return kImageFailed;
    }
    // The key is tested on the straight colours, so keyed pixels end as all-zero.
    if (colour_key_on) detail::apply_colour_key(image, key_colour);
    detail::premultiply(image);
    image.kind = kind;
    image.depth = 32;
    image.colour_key_on = colour_key_on;
    image.needs_blending = true;
    return kImageLoaded;
}

std::int32_t load_image(Image& image, std::string_view path, ImageKind kind, Platform* platform, bool quiet,
                        bool colour_key_on, std::uint32_t key_colour) {
    image.release();
    if (kind == ImageKind::Empty) kind = image_kind_from_path(path);
    if (kind == ImageKind::Empty) {
        if (!quiet && platform)
            platform->message_box(
                "The image type is not supported.\n\nPlease try loading a different image.\n",
                "Unsupported image type", MessageButtons::Ok, MessageIcon::Warning, Answer::Ok);
        return kImageUnsupportedType;
    }
    const BusyCursor busy(platform);
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
    if (!read_file(path, bytes, size)) {
        image = Image{};
        return kImageFailed;
    }
    return load_image_from_memory(image, kind, bytes.get(), size, colour_key_on, key_colour);
}

}  // namespace zorva
