// zorva-cli render PROJECT --output OUT.png [...]: the editor's view of a map as a PNG file, or with
// --whole the whole map as a picture (transparent backdrop, no grid or other decorations).
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii_text.h"
#include "cli/batch.h"
#include "cli/commands.h"
#include "cli/gui_session.h"
#include "image/builtin_pictures.h"
#include "prefs/data_folder.h"
#include "prefs/preferences.h"
#include "projectfile/relative_path.h"
#include "render/map_picture.h"
#include "render/renderer.h"

namespace zorva::cli {

const char kRenderUsage[] =
    "Usage: zorva-cli render PROJECT --output OUT.png [--map INDEX] [--layer INDEX] [--zoom PERCENT]\n"
    "                        [--camera COL,ROW] [--size WIDTHxHEIGHT] [--whole [--fit SIZE]]\n"
    "\n"
    "Draws the frame the editor shows for the view (preferences from the data folder's Settings.cfg):\n"
    "  --map INDEX        the map, counted from 0 (default: the project's selected map)\n"
    "  --layer INDEX      the current layer of that map, counted from 0 (default: its selected layer)\n"
    "  --zoom PERCENT     1 to 800 (default: the project's zoom; 100 with --whole)\n"
    "  --camera COL,ROW   the top-left cell of the view (default: the map's camera)\n"
    "  --size WxH         the view size in pixels (default: 1280x720)\n"
    "  --whole            the whole map at the zoom on a transparent backdrop, without grid, origin marker,\n"
    "                     layer outline, warning frames or counts\n"
    "  --fit SIZE         with --whole: a lower zoom where needed, so the picture fits SIZE x SIZE pixels\n"
    "Pictures are limited to 32768 pixels a side and 268435456 pixels in all.\n"
    "With several projects each one is drawn by a zorva-cli of its own; --output then needs \"{name}\"\n"
    "(the project's file name without its extension): pictures/{name}.png\n"
    "\n" ZORVA_CLI_BATCH_USAGE;

namespace {

bool parse_int(std::string_view text, long long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool parse_pair(std::string_view text, char separator, long long& a, long long& b) {
    const std::size_t at = text.find(separator);
    return at != std::string_view::npos && parse_int(text.substr(0, at), a) &&
           parse_int(text.substr(at + 1), b);
}

struct Options {
    std::string project;
    std::string output;
    std::optional<long long> map, layer, zoom, camera_column, camera_row, fit;
    long long width = 1280, height = 720;
    bool whole = false;
};

// Returns 0 when parsed, else the exit status.
int parse(Arguments arguments, Options& options) {
    auto bad = [](const char* what, std::string_view value) {
        std::fprintf(stderr, "zorva-cli render: invalid %s '%.*s'\n\n%s", what,
                     static_cast<int>(value.size()), value.data(), kRenderUsage);
        return 2;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--whole") {
            options.whole = true;
            continue;
        }
        if (argument.starts_with("--")) {
            if (i + 1 >= arguments.size()) return bad("option (a value is missing)", argument);
            const std::string_view value = arguments[++i];
            long long a = 0, b = 0;
            if (argument == "--output") {
                options.output = std::string(value);
            } else if (argument == "--map") {
                if (!parse_int(value, a) || a < 0) return bad("map index", value);
                options.map = a;
            } else if (argument == "--layer") {
                if (!parse_int(value, a) || a < 0) return bad("layer index", value);
                options.layer = a;
            } else if (argument == "--zoom") {
                if (!parse_int(value, a) || a < 1 || a > 800) return bad("zoom (1 to 800)", value);
                options.zoom = a;
            } else if (argument == "--camera") {
                if (!parse_pair(value, ',', a, b) || a < INT32_MIN || a > INT32_MAX || b < INT32_MIN ||
                    b > INT32_MAX)
                    return bad("camera", value);
                options.camera_column = a;
                options.camera_row = b;
            } else if (argument == "--fit") {
                if (!parse_int(value, a) || a < 1 || a > kMaxPictureSide) return bad("fit size", value);
                options.fit = a;
            } else if (argument == "--size") {
                if (!parse_pair(value, 'x', a, b) || a < 1 || b < 1) return bad("size", value);
                options.width = a;
                options.height = b;
            } else {
                return bad("option", argument);
            }
            continue;
        }
        if (!options.project.empty()) return bad("argument", argument);
        options.project = std::string(argument);
    }
    if (options.project.empty() || options.output.empty()) {
        std::fputs(kRenderUsage, stderr);
        return 2;
    }
    if (options.fit && !options.whole) return bad("option (--fit needs --whole)", "--fit");
    // Only PNG is written: any other name would hold a file its extension misnames.
    if (!ends_with_ignoring_case(options.output, ".png")) {
        std::fprintf(stderr,
                     "zorva-cli render: pictures are written as PNG only; the output name must end in .png: "
                     "%s\n",
                     options.output.c_str());
        return 2;
    }
    return 0;
}

// The largest zoom, up to `zoom`, at which the whole map fits `size` x `size` pixels; 1 at least.
std::uint32_t zoom_to_fit(const Project& project, const Map& map, std::uint32_t zoom, long long size) {
    while (zoom > 1) {
        const PictureGeometry picture = map_picture_geometry(project, map, zoom);
        const std::int64_t side = std::max(picture.width, picture.height);
        if (side <= size) break;
        // The picture grows with the zoom: start from the proportional guess, then step down.
        const auto guess = static_cast<std::uint32_t>(std::int64_t{zoom} * size / side);
        zoom = guess < zoom ? std::max<std::uint32_t>(guess, 1) : zoom - 1;
    }
    return zoom;
}

}  // namespace

int run_render(Arguments arguments) {
    {
        static constexpr std::string_view kValueOptions[] = {"--map",    "--layer", "--zoom",
                                                             "--camera", "--size",  "--fit"};
        BatchArguments batch;
        std::string error;
        if (!split_batch_arguments(arguments, kValueOptions, batch, error)) {
            std::fprintf(stderr, "zorva-cli render: %s\n\n%s", error.c_str(), kRenderUsage);
            return 2;
        }
        if (wants_batch(batch)) {
            if (!batch.has_output) {
                std::fputs(kRenderUsage, stderr);
                return 2;
            }
            if (!ends_with_ignoring_case(batch.output, ".png")) {
                std::fprintf(
                    stderr,
                    "zorva-cli render: pictures are written as PNG only; the output name must end in "
                    ".png: %s\n",
                    batch.output.c_str());
                return 2;
            }
            return run_child_batch("render", batch);
        }
    }
    Options options;
    if (const int status = parse(arguments, options); status != 0) return status;
    if (!options.whole && !picture_size_allowed(options.width, options.height)) {
        std::fprintf(stderr, "zorva-cli render: %s\n",
                     picture_size_refusal(options.width, options.height).c_str());
        return 1;
    }

    const std::string path = absolute_path(options.project);
    LoadResult loaded = load_project_reporting(path);
    if (!loaded) return 1;
    Project& project = *loaded.project;
    // The picture is still drawn, without them, as the editor shows such a project.
    for (const std::string& image : failed_images(project))
        std::fprintf(stderr, "zorva-cli render: warning: an image failed to load and is not drawn: %s\n",
                     image.c_str());
    Map* map = options.map ? map_at(project, *options.map) : project.selected_map();
    if (!map && !options.map) map = map_at(project, 0);
    if (!map) {
        if (options.map)
            std::fprintf(stderr, "zorva-cli render: the project has no map %lld (it has %zu)\n", *options.map,
                         project.maps.size());
        else
            std::fputs("zorva-cli render: the project has no map\n", stderr);
        return 1;
    }
    project.select_map(map->unique_id);
    if (options.layer) {
        const Layer* layer = layer_at(*map, *options.layer);
        if (!layer) {
            std::fprintf(stderr, "zorva-cli render: the map has no layer %lld (it has %zu)\n", *options.layer,
                         map->layers.size());
            return 1;
        }
        project.select_layer(layer->unique_id);
    }

    Preferences preferences;
    preferences.load(Preferences::settings_file(data_folder()));
    const auto gui = start_gui();
    const BuiltinPictures pictures;

    if (options.whole) {
        PictureOptions picture;
        picture.zoom_percent = static_cast<std::uint32_t>(options.zoom.value_or(100));
        if (options.fit)
            picture.zoom_percent = zoom_to_fit(project, *map, picture.zoom_percent, *options.fit);
        const PictureResult result =
            write_map_picture(project, *map, preferences, pictures, picture, options.output);
        if (!result.ok) {
            std::fprintf(stderr, "zorva-cli render: %s\n", result.message.c_str());
            return 1;
        }
        return 0;
    }

    if (options.zoom) project.zoom = static_cast<std::uint32_t>(*options.zoom);
    if (options.camera_column) {
        map->camera_grid_position_x = static_cast<std::int32_t>(*options.camera_column);
        map->camera_grid_position_y = static_cast<std::int32_t>(*options.camera_row);
    }
    Renderer renderer(pictures);
    RenderRequest request;
    request.project = &project;
    request.preferences = &preferences;
    request.view = {static_cast<std::int32_t>(options.width), static_cast<std::int32_t>(options.height)};
    if (renderer.redraw(request) != 0) {
        std::fputs("zorva-cli render: not enough memory for the frame\n", stderr);
        return 1;
    }
    const QImage& frame = renderer.frame();
    std::string error;
    const bool written = write_png_pixels(options.output, frame.width(), frame.height(), frame.constBits(),
                                          frame.bytesPerLine(), PngSettings{}, &error);
    if (!written) {
        std::fprintf(stderr, "zorva-cli render: cannot write %s: %s\n", options.output.c_str(),
                     error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace zorva::cli
