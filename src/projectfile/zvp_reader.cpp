#include "projectfile/zvp_reader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "projectfile/relative_path.h"
#include "projectfile/zvp_format.h"

namespace zorva {

namespace {

using namespace zvp;

// Sequential bytes from a file (buffered) or from memory. Every read states how many bytes it needs and
// fails, consuming nothing, when fewer remain: a file that ends inside a record or a grid is corrupt.
class ByteSource {
public:
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    ByteSource() = default;
    ~ByteSource() {
        if (fd_ >= 0) ::close(fd_);
    }

    void open_memory(std::span<const unsigned char> bytes) {
        cur_ = bytes.data();
        end_ = bytes.data() + bytes.size();
    }

    bool open_file(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return false;
        struct stat info {};
        if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return false;
        unread_ = static_cast<std::uint64_t>(info.st_size);
        buffer_.resize(kBufferSize);
        cur_ = end_ = buffer_.data();
        return true;
    }

    std::uint64_t remaining() const { return static_cast<std::uint64_t>(end_ - cur_) + unread_; }

    // The u32 at the current position, not consumed.
    bool peek_u32(std::uint32_t& value) {
        if (!fill(4)) return false;
        value = load_u32(cur_);
        return true;
    }

    bool read(void* destination, std::uint64_t size) {
        if (size > remaining()) return false;
        auto* out = static_cast<unsigned char*>(destination);
        const auto buffered = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(end_ - cur_));
        if (buffered > 0) std::memcpy(out, cur_, buffered);
        cur_ += buffered;
        out += buffered;
        size -= buffered;
        if (size == 0) return true;
        if (size >= kBufferSize) return read_direct(out, size);  // large blocks (grids) skip the buffer
        if (!fill(size)) return false;
        std::memcpy(out, cur_, size);
        cur_ += size;
        return true;
    }

    bool skip(std::uint64_t size) {
        if (size > remaining()) return false;
        const auto buffered = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(end_ - cur_));
        cur_ += buffered;
        size -= buffered;
        if (size == 0) return true;
        if (::lseek(fd_, static_cast<off_t>(size), SEEK_CUR) < 0) return false;
        unread_ -= size;
        return true;
    }

private:
    static constexpr std::size_t kBufferSize = 256 * 1024;

    // Makes at least `size` (at most the buffer size) bytes available at cur_.
    bool fill(std::uint64_t size) {
        if (static_cast<std::uint64_t>(end_ - cur_) >= size) return true;
        if (size > remaining() || fd_ < 0 || size > buffer_.size()) return false;
        const auto kept = static_cast<std::size_t>(end_ - cur_);
        std::memmove(buffer_.data(), cur_, kept);
        cur_ = buffer_.data();
        end_ = cur_ + kept;
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size() - kept, unread_));
        if (!read_fd(buffer_.data() + kept, wanted)) return false;
        end_ += wanted;
        return static_cast<std::uint64_t>(end_ - cur_) >= size;
    }

    bool read_direct(unsigned char* out, std::uint64_t size) { return fd_ >= 0 && read_fd(out, size); }

    bool read_fd(unsigned char* out, std::uint64_t size) {
        while (size > 0) {
            const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(size, 1u << 30));
            const ssize_t got = ::read(fd_, out, chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;  // an error, or the file shrank under us
            out += got;
            size -= static_cast<std::uint64_t>(got);
            unread_ -= static_cast<std::uint64_t>(got);
        }
        return true;
    }

    int fd_ = -1;
    std::vector<unsigned char> buffer_;
    const unsigned char* cur_ = nullptr;
    const unsigned char* end_ = nullptr;
    std::uint64_t unread_ = 0;  // bytes of the file not yet in the buffer
};

// Asks for large pages behind a big block of fresh memory: a layer of millions of cells then costs a few
// dozen page faults instead of thousands. Only a hint; nothing depends on it.
void prefer_huge_pages(void* start, std::size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = 2u << 20;
    if (size < 2 * kHugePage) return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(start) + size) & ~(kHugePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)start;
    (void)size;
#endif
}

// Thrown inside the reader to abandon the read; the partial project is freed by its owner.
struct ReadFailed {};

// Text variables: each the text up to its first zero byte. An empty text still keeps its second byte, where
// a variable in bit mode holds flags 8 to 15 even when the first byte is zero.
template <std::size_t N>
void take_text_variables(const RecordImage<N>& image, Field field, std::size_t count,
                         TextVariables& variables) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = field.offset + i * kTextFieldSize;
        image.get_text_at(offset, variables[i]);
        if (variables[i].empty()) variables[i].set_byte(1, image.byte_at(offset + 1));
    }
}

template <std::size_t N>
void take_int_variables(const RecordImage<N>& image, Field field, std::size_t count,
                        IntVariables& variables) {
    for (std::size_t i = 0; i < count; ++i) variables[i] = image.s16_at(field.offset + i * 2);
}

class ZvpReader {
public:
    ZvpReader(ByteSource& in, std::string file, Platform* platform, LoadResult& result)
        : in_(in), file_(std::move(file)), platform_(platform), result_(result) {}

    void read(Project& project) {
        read_header(project);
        for (std::uint32_t i = 0; i < tile_set_count_; ++i)
            if (!read_tile_set(project)) break;
        for (std::uint32_t i = 0; i < parent_entity_count_; ++i)
            if (!read_parent_entity(project)) break;
        for (std::uint32_t i = 0; i < map_count_; ++i)
            if (!read_map(project)) break;
        project.resolve_selection(selected_tile_set_id_, selected_map_id_, selected_layer_id_,
                                  selected_parent_entity_id_);
    }

private:
    static void fail() { throw ReadFailed{}; }

    bool older_variables() const { return version_ <= kLastOlderVariablesVersion; }

    // The kind's tag, for files that have tags. False (nothing consumed) when another tag stands there:
    // the record is skipped, and so would every further record of the kind at this same position be.
    bool take_tag(std::uint32_t tag) {
        if (version_ < kFirstTaggedVersion) return true;
        std::uint32_t found = 0;
        if (!in_.peek_u32(found)) fail();
        if (found != tag) return false;
        in_.skip(4);
        return true;
    }

    // A record read by its own length into `image` (already cleared, with its presets): a shorter, older
    // record leaves the later fields as they are; a longer one is read to the current size and the rest
    // skipped. `length_offset` is where the length sits (the header has its version first).
    template <std::size_t N>
    void read_record(RecordImage<N>& image, std::size_t length_offset = 0) {
        unsigned char head[8];
        if (length_offset + 4 > sizeof head) fail();
        std::uint32_t length = 0;
        if (length_offset == 0) {
            if (!in_.peek_u32(length)) fail();
        } else {
            // The header: version and length are peeked together.
            if (in_.remaining() < 8 || !in_.read(head, 8)) fail();
            length = load_u32(head + length_offset);
        }
        const std::uint64_t minimum = length_offset + 4;
        if (length < minimum) fail();
        const std::uint64_t consumed = length_offset == 0 ? 0 : 8;
        if (length - consumed > in_.remaining()) fail();
        if (length != N) result_.version_differs = true;
        const std::size_t taken = std::min<std::size_t>(length, N);
        if (consumed > 0) std::memcpy(image.data(), head, consumed);
        if (!in_.read(image.data() + consumed, taken - consumed)) fail();
        if (length > N && !in_.skip(length - N)) fail();
    }

    // Cells as stored in the file into place (little-endian hosts keep them as read).
    static void to_host_order(GridCell* cells, std::size_t count) {
        if constexpr (std::endian::native != std::endian::little) {
            for (std::size_t i = 0; i < count; ++i) {
                const auto* bytes = reinterpret_cast<const unsigned char*>(&cells[i]);
                cells[i] = GridCell{load_u32(bytes), load_u32(bytes + 4)};
            }
        }
    }

    // Reads `cells` cells over the start of `grid` (the caller has checked that the file holds them).
    void read_grid(std::vector<GridCell>& grid, std::uint64_t cells) {
        if (cells == 0) return;
        if (grid.size() < cells) fail();
        if (!in_.read(grid.data(), cells * kCellSize)) fail();
        to_host_order(grid.data(), static_cast<std::size_t>(cells));
    }

    // A new grid of `cells` cells read from the file in blocks, appended without clearing the memory first:
    // for a large layer that saves a whole pass over fresh memory.
    std::vector<GridCell> read_new_grid(std::uint64_t cells) {
        constexpr std::size_t kBlockCells = 32 * 1024;
        std::vector<GridCell> grid;
        grid.reserve(static_cast<std::size_t>(cells));
        prefer_huge_pages(grid.data(), grid.capacity() * sizeof(GridCell));
        if (block_.size() < kBlockCells) block_.resize(kBlockCells);
        for (std::uint64_t left = cells; left > 0;) {
            const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, kBlockCells));
            if (!in_.read(block_.data(), count * kCellSize)) fail();
            to_host_order(block_.data(), count);
            grid.insert(grid.end(), block_.begin(), block_.begin() + static_cast<std::ptrdiff_t>(count));
            left -= count;
        }
        return grid;
    }

    // Bytes a grid of w x h cells takes, or fails when the rest of the file cannot hold it.
    std::uint64_t checked_cells(std::uint32_t width, std::uint32_t height) {
        const std::uint64_t cells = static_cast<std::uint64_t>(width) * height;
        if (cells > in_.remaining() / kCellSize) fail();
        return cells;
    }

    std::string resolved(const PathText& relative, PathKind kind) const {
        return resolve_relative_path(file_, relative.view(), kind);
    }

    // Replaces `path` by the resolved relative form when that exists.
    void take_relative(PathText& path, const PathText& relative, PathKind kind) const {
        std::string found = resolved(relative, kind);
        if (!found.empty()) path = found;
    }

    void read_header(Project& p) {
        using H = HeaderRecord;
        std::uint32_t version = 0;
        // Too short to hold a version and a length: not a project file of any version.
        if (in_.remaining() < 8 || !in_.peek_u32(version)) fail();
        version_ = version;
        if (version != kVersion) result_.version_differs = true;
        if (version > kVersion && version != kNoVersion) {
            result_.newer_version = true;
            fail();
        }
        auto image = std::make_unique<HeaderImage>();
        HeaderImage& h = *image;
        read_record(h, H::length.offset);

        p.next_map_id = h.u32<H::next_map_id>();
        p.next_layer_id = h.u32<H::next_layer_id>();
        p.next_parent_entity_id = h.u32<H::next_parent_entity_id>();
        p.next_instance_entity_id = h.u32<H::next_instance_entity_id>();
        p.next_tile_set_id = h.u32<H::next_tile_set_id>();
        p.next_path_point_id = h.u32<H::next_path_point_id>();
        tile_set_count_ = h.u32<H::tile_set_count>();
        map_count_ = h.u32<H::map_count>();
        parent_entity_count_ = h.u32<H::parent_entity_count>();
        selected_tile_set_id_ = h.u32<H::selected_tile_set_id>();
        selected_map_id_ = h.u32<H::selected_map_id>();
        selected_layer_id_ = h.u32<H::selected_layer_id>();
        selected_parent_entity_id_ = h.u32<H::selected_parent_entity_id>();
        p.zoom = h.u32<H::zoom>();  // taken as stored; this format has never clamped it

        const std::uint32_t flags = h.u32<H::flags>();
        p.did_map_id_overflow = (flags & H::kMapIdOverflow) != 0;
        p.did_layer_id_overflow = (flags & H::kLayerIdOverflow) != 0;
        p.did_parent_entity_id_overflow = (flags & H::kParentEntityIdOverflow) != 0;
        p.did_instance_entity_id_overflow = (flags & H::kInstanceEntityIdOverflow) != 0;
        p.did_tile_set_id_overflow = (flags & H::kTileSetIdOverflow) != 0;
        p.did_path_point_id_overflow = (flags & H::kPathPointIdOverflow) != 0;
        p.use_export_dll_in_exporters_folder = (flags & H::kUseExportDllInExportersFolder) != 0;
        p.reserved_flags = flags & H::kReservedFlags;

        p.default_entity_trigger_radius = clamp_trigger_size(h.u32<H::default_entity_trigger_radius>());
        p.default_entity_trigger_width = clamp_trigger_size(h.u32<H::default_entity_trigger_width>());
        p.default_entity_trigger_height = clamp_trigger_size(h.u32<H::default_entity_trigger_height>());

        for (std::size_t kind = 0; kind < kDescriptionTableCount; ++kind) {
            DescriptionTable& table = p.descriptions[kind];
            if (older_variables()) {
                for (std::size_t i = 0; i < kOlderVariableCount; ++i) {
                    table[i].desc.set_from_field(reinterpret_cast<const char*>(h.data()) +
                                                     H::older_descriptions.offset +
                                                     kind * kOlderTextVariablesSize + i * kTextFieldSize,
                                                 kTextFieldSize);
                    table[i].use_bits =
                        h.byte_at(H::older_use_bits.offset + kind * kOlderVariableCount + i) != 0;
                }
            } else {
                for (std::size_t i = 0; i < kVariableCount; ++i) {
                    table[i].desc.set_from_field(reinterpret_cast<const char*>(h.data()) +
                                                     H::descriptions.offset + kind * kTextVariablesSize +
                                                     i * kTextFieldSize,
                                                 kTextFieldSize);
                    table[i].use_bits = h.byte_at(H::use_bits.offset + kind * kVariableCount + i) != 0;
                }
            }
        }
        if (!older_variables()) {
            DescriptionTable& instances = p.descriptions_for(ObjectKind::InstanceEntity);
            for (std::size_t i = 0; i < kVariableCount; ++i) {
                instances[i].show_in_view = h.byte_at(H::show_in_view.offset + i) != 0;
                instances[i].show_desc_in_view = h.byte_at(H::show_desc_in_view.offset + i) != 0;
            }
        }

        PathText relative;
        h.get_text<H::last_used_exporter_dll_file_name>(p.last_used_exporter_dll_file_name);
        h.get_text<H::relative_exporter_dll_file_name>(relative);
        take_relative(p.last_used_exporter_dll_file_name, relative, PathKind::File);
        h.get_text<H::last_used_export_output_path_and_file_name>(
            p.last_used_export_output_path_and_file_name);
        h.get_text<H::relative_export_output_path_and_file_name>(relative);
        take_relative(p.last_used_export_output_path_and_file_name, relative, PathKind::File);
        h.get_text<H::last_used_exporter_dll_path_and_file_name_not_in_exporters_folder>(
            p.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder);
        h.get_text<H::relative_exporter_dll_path_and_file_name_not_in_exporters_folder>(relative);
        take_relative(p.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder, relative,
                      PathKind::File);
        h.get_text<H::last_used_image_tile_set_path>(p.last_used_image_tile_set_path);
        h.get_text<H::relative_image_tile_set_path>(relative);
        take_relative(p.last_used_image_tile_set_path, relative, PathKind::Folder);
        h.get_text<H::last_used_image_parent_entity_path>(p.last_used_image_parent_entity_path);
        h.get_text<H::relative_image_parent_entity_path>(relative);
        take_relative(p.last_used_image_parent_entity_path, relative, PathKind::Folder);
        h.get_text<H::last_used_image_layer_background_path>(p.last_used_image_layer_background_path);
        h.get_text<H::relative_image_layer_background_path>(relative);
        take_relative(p.last_used_image_layer_background_path, relative, PathKind::Folder);
    }

    bool read_tile_set(Project& project) {
        using R = TileSetRecord;
        if (!take_tag(kTileSetTag)) return false;
        TileSetImage& r = tile_set_image_;
        r.clear();
        read_record(r);

        TileSetProperties t;
        t.unique_id = r.u32<R::unique_id>();
        t.single_tile_pixel_width = r.s32<R::single_tile_pixel_width>();
        t.single_tile_pixel_height = r.s32<R::single_tile_pixel_height>();
        t.first_tile_offset_pixel_x = r.s32<R::first_tile_offset_pixel_x>();
        t.first_tile_offset_pixel_y = r.s32<R::first_tile_offset_pixel_y>();
        t.space_between_tiles_pixel_x = r.u32<R::space_between_tiles_pixel_x>();
        t.space_between_tiles_pixel_y = r.u32<R::space_between_tiles_pixel_y>();
        const std::uint32_t flags = r.u32<R::flags>();
        t.is_locked = (flags & R::kIsLocked) != 0;
        t.use_transparent_colour = (flags & R::kUseTransparentColour) != 0;
        t.did_mosaic_id_overflow = (flags & R::kDidMosaicIdOverflow) != 0;
        r.get_text<R::name>(t.name);
        r.get_text<R::image_path_and_file_name>(t.image_path_and_file_name);
        t.selected_mosaic_id = r.u32<R::selected_mosaic_id>();
        t.next_mosaic_id = r.u32<R::next_mosaic_id>();
        const std::uint32_t mosaics = r.u32<R::mosaic_count>();
        t.left_most_mosaic_id_on_mosaics_dialog = r.u32<R::left_most_mosaic_id_on_mosaics_dialog>();
        t.user_supplied_id = r.u32<R::user_supplied_id>();
        t.transparent_colour = r.u32<R::transparent_colour>();
        if (older_variables())
            take_text_variables(r, R::older_custom_variables, kOlderVariableCount, t.custom_variables);
        else
            take_text_variables(r, R::custom_variables, kVariableCount, t.custom_variables);
        PathText relative;
        r.get_text<R::relative_image_path_and_file_name>(relative);
        take_relative(t.image_path_and_file_name, relative, PathKind::File);

        TileSet* tile_set = add_tile_set(project, t, true, platform_);
        if (!tile_set) fail();
        for (std::uint32_t i = 0; i < mosaics; ++i)
            if (!read_mosaic(*tile_set)) break;
        return true;
    }

    bool read_mosaic(TileSet& tile_set) {
        using R = MosaicRecord;
        if (!take_tag(kMosaicTag)) return false;
        MosaicImage r;
        read_record(r);
        Mosaic m;
        m.uid = r.u32<R::uid>();
        m.tile_set_id = tile_set.unique_id;
        m.gw = r.u32<R::gw>();
        m.gh = r.u32<R::gh>();
        const std::uint64_t cells = checked_cells(m.gw, m.gh);
        Mosaic* mosaic = add_mosaic(tile_set, m, true, platform_);
        if (!mosaic) fail();
        read_grid(mosaic->grid, cells);
        return true;
    }

    bool read_parent_entity(Project& project) {
        using R = ParentEntityRecord;
        if (!take_tag(kParentEntityTag)) return false;
        ParentEntityImage& r = parent_entity_image_;
        r.clear();
        read_record(r);

        ParentEntityProperties e;
        e.unique_id = r.u32<R::unique_id>();
        const std::uint32_t flags = r.u32<R::flags>();
        e.is_locked = (flags & R::kIsLocked) != 0;
        e.is_trigger = (flags & R::kIsTrigger) != 0;
        e.trigger_is_a_circle = (flags & R::kTriggerIsACircle) != 0;
        e.use_transparent_colour = (flags & R::kUseTransparentColour) != 0;
        r.get_text<R::name>(e.name);
        e.pixel_width = r.u32<R::pixel_width>();
        e.pixel_height = r.u32<R::pixel_height>();
        r.get_text<R::image_path_and_file_name>(e.image_path_and_file_name);
        e.user_supplied_id = r.u32<R::user_supplied_id>();
        e.default_circle_trigger_radius = r.u32<R::default_circle_trigger_radius>();
        e.default_rectangle_trigger_width = r.u32<R::default_rectangle_trigger_width>();
        e.default_rectangle_trigger_height = r.u32<R::default_rectangle_trigger_height>();
        if (older_variables())
            take_text_variables(r, R::older_custom_variables, kOlderVariableCount, e.custom_variables);
        else
            take_text_variables(r, R::custom_variables, kVariableCount, e.custom_variables);
        e.single_frame_pixel_width = r.s32<R::single_frame_pixel_width>();
        e.single_frame_pixel_height = r.s32<R::single_frame_pixel_height>();
        e.first_frame_offset_pixel_x = r.s32<R::first_frame_offset_pixel_x>();
        e.first_frame_offset_pixel_y = r.s32<R::first_frame_offset_pixel_y>();
        e.space_between_frames_pixel_x = r.s32<R::space_between_frames_pixel_x>();
        e.space_between_frames_pixel_y = r.s32<R::space_between_frames_pixel_y>();
        e.transparent_colour = r.u32<R::transparent_colour>();
        e.preview_anima_frame = r.s32<R::preview_anima_frame>();
        if (version_ < kFirstFrameSizeVersion) {
            // Older files had no frames: the whole image is one frame.
            e.single_frame_pixel_width = static_cast<std::int32_t>(e.pixel_width);
            e.single_frame_pixel_height = static_cast<std::int32_t>(e.pixel_height);
        }
        sanitise_parent_entity(e);
        PathText relative;
        r.get_text<R::relative_image_path_and_file_name>(relative);
        take_relative(e.image_path_and_file_name, relative, PathKind::File);
        if (!add_parent_entity(project, e, true, platform_)) fail();
        return true;
    }

    bool read_map(Project& project) {
        using R = MapRecord;
        if (!take_tag(kMapTag)) return false;
        MapImage& r = map_image_;
        r.clear();
        read_record(r);

        MapProperties m;
        m.unique_id = r.u32<R::unique_id>();
        r.get_text<R::name>(m.name);
        m.use_tile_set_id = r.u32<R::use_tile_set_id>();
        const std::uint32_t flags = r.u32<R::flags>();
        m.export_this_map = (flags & R::kExportThisMap) != 0;
        m.is_locked = (flags & R::kIsLocked) != 0;
        m.place_tile_horizontal_flip = (flags & R::kPlaceTileHorizontalFlip) != 0;
        m.place_tile_vertical_flip = (flags & R::kPlaceTileVerticalFlip) != 0;
        m.place_tile_rotate = (flags & R::kPlaceTileRotate) != 0;
        m.place_tile_attribute = static_cast<std::uint8_t>(flags >> R::kPlaceTileAttributeShift);
        m.camera_grid_position_x = r.s32<R::camera_grid_position_x>();
        m.camera_grid_position_y = r.s32<R::camera_grid_position_y>();
        m.reserved_1 = r.u32<R::reserved_1>();
        m.reserved_2 = r.u32<R::reserved_2>();
        const std::uint32_t layers = r.u32<R::layer_count>();
        m.selected_layer_id = r.u32<R::selected_layer_id>();
        m.top_left_tile_index_in_tiles_dialog = r.u32<R::top_left_tile_index_in_tiles_dialog>();
        m.selected_tile_index = r.u32<R::selected_tile_index>();
        m.pixel_size_of_tiles_in_tiles_dialog =
            clamp_tile_display_size(r.s32<R::pixel_size_of_tiles_in_tiles_dialog>());
        m.user_supplied_id = r.u32<R::user_supplied_id>();
        if (older_variables())
            take_text_variables(r, R::older_custom_variables, kOlderVariableCount, m.custom_variables);
        else
            take_text_variables(r, R::custom_variables, kVariableCount, m.custom_variables);

        Map* map = add_map(project, m, true, platform_);
        if (!map) fail();
        for (std::uint32_t i = 0; i < layers; ++i)
            if (!read_layer(project, *map)) break;
        return true;
    }

    bool read_layer(Project& project, Map& map) {
        using R = LayerRecord;
        if (!take_tag(kLayerTag)) return false;
        LayerImage& r = layer_image_;
        r.clear();
        read_record(r);

        LayerProperties l;
        l.unique_id = r.u32<R::unique_id>();
        l.map_id = map.unique_id;  // the map being read, whatever the record says
        r.get_text<R::name>(l.name);
        const std::uint32_t width = r.u32<R::grid_width>();
        const std::uint32_t height = r.u32<R::grid_height>();
        constexpr auto kLargest = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
        if (width > kLargest || height > kLargest) fail();
        l.grid_width = static_cast<std::int32_t>(width);
        l.grid_height = static_cast<std::int32_t>(height);
        const std::uint32_t flags = r.u32<R::flags>();
        l.wrap_x = (flags & R::kWrapX) != 0;
        l.wrap_y = (flags & R::kWrapY) != 0;
        l.is_locked = (flags & R::kIsLocked) != 0;
        l.is_visible = (flags & R::kIsVisible) != 0;
        l.is_main_layer = (flags & R::kIsMainLayer) != 0;
        l.use_background_colour = (flags & R::kUseBackgroundColour) != 0;
        l.use_background_image = (flags & R::kUseBackgroundImage) != 0;
        l.scroll_speed_x = r.f32<R::scroll_speed_x>();
        l.scroll_speed_y = r.f32<R::scroll_speed_y>();
        const std::uint32_t instances = r.u32<R::instance_entity_count>();
        l.grid_offset_x = r.s32<R::grid_offset_x>();
        l.grid_offset_y = r.s32<R::grid_offset_y>();
        l.background_colour = r.u32<R::background_colour>();
        l.opacity = r.u8<R::opacity>();
        l.user_supplied_id = r.u32<R::user_supplied_id>();
        r.get_text<R::background_image_path_and_file_name>(l.background_image_path_and_file_name);
        const std::uint32_t points = r.u32<R::path_point_count>();
        if (older_variables())
            take_text_variables(r, R::older_custom_variables, kOlderVariableCount, l.custom_variables);
        else
            take_text_variables(r, R::custom_variables, kVariableCount, l.custom_variables);
        PathText relative;
        r.get_text<R::relative_background_image_path_and_file_name>(relative);
        take_relative(l.background_image_path_and_file_name, relative, PathKind::File);

        // The grid must fit in the rest of the file before anything is allocated for it. A layer is at least
        // one cell wide and high, so a side of 0 holds no cells in the file but still gets a grid of the
        // other side's length: that grid too may be no larger than the rest of the file could hold. The
        // layer is added with a grid of one cell that the grid read from the file then replaces.
        checked_cells(std::max(width, 1u), std::max(height, 1u));
        const std::uint64_t cells = checked_cells(width, height);
        const bool whole_grid = cells > 1;
        if (whole_grid) l.grid_width = l.grid_height = 1;
        Layer* layer = add_layer(project, l, true, platform_);
        if (!layer) fail();
        if (whole_grid) {
            layer->grid = read_new_grid(cells);
            layer->grid_width = static_cast<std::int32_t>(width);
            layer->grid_height = static_cast<std::int32_t>(height);
        } else {
            read_grid(layer->grid, cells);
        }

        for (std::uint32_t i = 0; i < instances; ++i)
            if (!read_instance_entity(project, map, *layer)) break;
        for (std::uint32_t i = 0; i < points; ++i)
            if (!read_path_point(project, map, *layer)) break;
        return true;
    }

    bool read_instance_entity(Project& project, const Map& map, const Layer& layer) {
        using R = InstanceEntityRecord;
        if (!take_tag(kInstanceEntityTag)) return false;
        InstanceEntityImage r;
        r.set_u32<R::tcr>(R::kPresetTriggerSize);
        r.set_u32<R::trw>(R::kPresetTriggerSize);
        r.set_u32<R::trh>(R::kPresetTriggerSize);
        read_record(r);

        InstanceEntity e;
        e.uid = r.u32<R::uid>();
        e.pid = r.u32<R::pid>();
        e.map_id = map.unique_id;  // placed on the layer being read
        e.layer_id = layer.unique_id;
        e.px = r.f32<R::px>();
        e.py = r.f32<R::py>();
        const std::uint32_t flags = r.u32<R::flags>();
        e.fh = (flags & R::kFlipHorizontal) != 0;
        e.fv = (flags & R::kFlipVertical) != 0;
        e.ro = (flags & R::kRotate) != 0;
        e.tcr = clamp_trigger_size(r.u32<R::tcr>());
        e.trw = clamp_trigger_size(r.u32<R::trw>());
        e.trh = clamp_trigger_size(r.u32<R::trh>());
        if (older_variables())
            take_int_variables(r, R::older_custom_variables, kOlderVariableCount, e.custom_variables);
        else
            take_int_variables(r, R::custom_variables, kVariableCount, e.custom_variables);
        AddFailure failure = AddFailure::None;
        if (!add_instance_entity(project, e, true, platform_, &failure)) {
            if (failure != AddFailure::ParentMissing) fail();
            result_.skipped_instances.push_back({e.map_id, e.layer_id, e.uid, e.pid});
        }
        return true;
    }

    bool read_path_point(Project& project, const Map& map, const Layer& layer) {
        using R = PathPointRecord;
        if (!take_tag(kPathPointTag)) return false;
        PathPointImage r;
        read_record(r);

        PathPoint p;
        p.uid = r.u32<R::uid>();
        p.map_id = map.unique_id;
        p.layer_id = layer.unique_id;
        p.px = r.f32<R::px>();
        p.py = r.f32<R::py>();
        p.cx1 = r.f32<R::cx1>();
        p.cy1 = r.f32<R::cy1>();
        p.cx2 = r.f32<R::cx2>();
        p.cy2 = r.f32<R::cy2>();
        p.flags = r.u32<R::flags>() & kPathPointFileFlags;
        if (older_variables())
            take_int_variables(r, R::older_custom_variables, kOlderVariableCount, p.custom_variables);
        else
            take_int_variables(r, R::custom_variables, kVariableCount, p.custom_variables);
        if (!add_path_point(project, p, true, platform_)) fail();
        return true;
    }

    ByteSource& in_;
    std::string file_;  // absolute path of the file: the base of relative paths
    Platform* platform_;
    LoadResult& result_;
    std::uint32_t version_ = kVersion;
    std::uint32_t tile_set_count_ = 0;
    std::uint32_t map_count_ = 0;
    std::uint32_t parent_entity_count_ = 0;
    ObjectId selected_tile_set_id_ = kInvalidId;
    ObjectId selected_map_id_ = kInvalidId;
    ObjectId selected_layer_id_ = kInvalidId;
    ObjectId selected_parent_entity_id_ = kInvalidId;
    TileSetImage tile_set_image_;
    ParentEntityImage parent_entity_image_;
    MapImage map_image_;
    LayerImage layer_image_;
    std::vector<GridCell> block_;  // staging for grids read in blocks
};

LoadResult read_from(ByteSource& in, std::string_view path, Platform* platform) {
    LoadResult result;
    try {
        auto project = std::make_unique<Project>();
        ZvpReader reader(in, absolute_path(path), platform, result);
        reader.read(*project);
        project->path_and_file_name = path;
        result.project = std::move(project);
    } catch (const ReadFailed&) {
        result.project.reset();
    } catch (const std::bad_alloc&) {
        result.project.reset();
    }
    return result;
}

}  // namespace

LoadResult read_zvp_project(std::string_view path, Platform* platform) {
    ByteSource in;
    if (path.empty() || !in.open_file(std::string(path))) return LoadResult{};
    return read_from(in, path, platform);
}

LoadResult read_zvp_project_from_memory(std::span<const unsigned char> bytes, std::string_view path,
                                        Platform* platform) {
    ByteSource in;
    in.open_memory(bytes);
    return read_from(in, path, platform);
}

}  // namespace zorva
