#include "import/tmx_data.h"

#include <zlib.h>

#include <array>
#include <charconv>
#include <cstring>

#ifdef ZORVA_HAVE_ZSTD
#include <zstd.h>
#endif

namespace zorva {

namespace {

constexpr std::size_t kInflateStep = 64 * 1024;

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool decode_csv(std::string_view text, std::size_t cells, std::vector<std::uint32_t>& out,
                std::string& error) {
    // Every cell takes a digit and all but the last a comma: shorter text cannot fill the layer.
    if (cells > text.size() / 2 + 1) {
        error = "The layer data holds fewer cells than the layer's size.";
        return false;
    }
    out.clear();
    out.reserve(cells);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (true) {
        while (i < n && is_space(text[i])) ++i;
        if (i == n) break;
        std::uint32_t value = 0;
        const auto [end, ec] = std::from_chars(text.data() + i, text.data() + n, value);
        if (ec != std::errc() || end == text.data() + i) {
            error = "The layer data holds something other than tile numbers.";
            return false;
        }
        if (out.size() == cells) {
            error = "The layer data holds more cells than the layer's size.";
            return false;
        }
        out.push_back(value);
        i = static_cast<std::size_t>(end - text.data());
        while (i < n && is_space(text[i])) ++i;
        if (i == n) break;
        if (text[i] != ',') {
            error = "The layer data holds something other than tile numbers.";
            return false;
        }
        ++i;
    }
    if (out.size() != cells) {
        error = "The layer data holds fewer cells than the layer's size.";
        return false;
    }
    return true;
}

// Inflates zlib (`gzip` false) or gzip data, stopping once more than `limit` bytes come out.
bool inflate_bounded(const std::vector<std::uint8_t>& in, bool gzip, std::size_t limit,
                     std::vector<std::uint8_t>& out, std::string& error) {
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 15 + 16 : 15) != Z_OK) {
        error = "The layer data cannot be decompressed.";
        return false;
    }
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());
    out.clear();
    std::array<std::uint8_t, kInflateStep> step{};
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        stream.next_out = step.data();
        stream.avail_out = static_cast<uInt>(step.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) break;
        const std::size_t made = step.size() - stream.avail_out;
        if (out.size() + made > limit) {
            inflateEnd(&stream);
            error = "The layer data holds more cells than the layer's size.";
            return false;
        }
        out.insert(out.end(), step.data(), step.data() + made);
        if (status == Z_OK && made == 0 && stream.avail_in == 0) break;  // the data ends early
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        error = "The layer data is damaged and cannot be decompressed.";
        return false;
    }
    return true;
}

#ifdef ZORVA_HAVE_ZSTD
bool zstd_bounded(const std::vector<std::uint8_t>& in, std::size_t limit, std::vector<std::uint8_t>& out,
                  std::string& error) {
    ZSTD_DStream* stream = ZSTD_createDStream();
    if (!stream) {
        error = "The layer data cannot be decompressed.";
        return false;
    }
    ZSTD_initDStream(stream);
    ZSTD_inBuffer input{in.data(), in.size(), 0};
    std::array<std::uint8_t, kInflateStep> step{};
    out.clear();
    std::size_t status = 1;
    while (true) {
        ZSTD_outBuffer output{step.data(), step.size(), 0};
        status = ZSTD_decompressStream(stream, &output, &input);
        if (ZSTD_isError(status)) break;
        if (out.size() + output.pos > limit) {
            ZSTD_freeDStream(stream);
            error = "The layer data holds more cells than the layer's size.";
            return false;
        }
        out.insert(out.end(), step.data(), step.data() + output.pos);
        if (status == 0 && input.pos == input.size) break;
        if (output.pos == 0 && input.pos == input.size) break;
    }
    ZSTD_freeDStream(stream);
    if (ZSTD_isError(status) || status != 0) {
        error = "The layer data is damaged and cannot be decompressed.";
        return false;
    }
    return true;
}
#endif

}  // namespace

bool tmx_zstd_supported() {
#ifdef ZORVA_HAVE_ZSTD
    return true;
#else
    return false;
#endif
}

bool decode_base64(std::string_view text, std::vector<std::uint8_t>& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int held = 0;
    bool padding = false;
    for (const char c : text) {
        if (is_space(c)) continue;
        int value = 0;
        if (c >= 'A' && c <= 'Z') {
            value = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            value = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            value = c - '0' + 52;
        } else if (c == '+') {
            value = 62;
        } else if (c == '/') {
            value = 63;
        } else if (c == '=') {
            padding = true;
            continue;
        } else {
            return false;
        }
        if (padding) return false;  // data after the padding
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out.push_back(static_cast<std::uint8_t>(bits >> held));
        }
    }
    return true;
}

bool decode_tmx_cells(std::string_view text, std::string_view encoding, std::string_view compression,
                      std::size_t cells, std::vector<std::uint32_t>& out, std::string& error) {
    if (encoding == "csv") {
        if (!compression.empty()) {
            error = "CSV layer data cannot be compressed.";
            return false;
        }
        return decode_csv(text, cells, out, error);
    }
    if (encoding != "base64") {
        error = "Unknown layer data encoding \"" + std::string(encoding) + "\".";
        return false;
    }
    if (cells > (std::size_t{1} << 40)) {
        error = "The layer data holds fewer cells than the layer's size.";
        return false;
    }
    const std::size_t expected = cells * 4;
    if (compression.empty() && expected > text.size() / 4 * 3 + 3) {
        error = "The layer data holds fewer cells than the layer's size.";
        return false;
    }
    if (!compression.empty() && compression != "zlib" && compression != "gzip" && compression != "zstd") {
        error = "Unknown layer data compression \"" + std::string(compression) + "\".";
        return false;
    }
    if (compression == "zstd" && !tmx_zstd_supported()) {
        error = "This build of Zorva cannot read zstd-compressed layer data.";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (!decode_base64(text, bytes)) {
        error = "The layer data is not valid base64.";
        return false;
    }
    if (!compression.empty()) {
        std::vector<std::uint8_t> raw;
#ifdef ZORVA_HAVE_ZSTD
        const bool ok = compression == "zstd"
                            ? zstd_bounded(bytes, expected, raw, error)
                            : inflate_bounded(bytes, compression == "gzip", expected, raw, error);
#else
        const bool ok = inflate_bounded(bytes, compression == "gzip", expected, raw, error);
#endif
        if (!ok) return false;
        bytes.swap(raw);
    }
    if (bytes.size() != expected) {
        error = bytes.size() < expected ? "The layer data holds fewer cells than the layer's size."
                                        : "The layer data holds more cells than the layer's size.";
        return false;
    }
    out.resize(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        const std::uint8_t* p = bytes.data() + 4 * i;
        out[i] = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    return true;
}

}  // namespace zorva
