// Scrivo.so run through the real table and loader; its output compared byte for byte with files written
// by hand (expected/*.txt, CR LF line ends).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export/export_feedback.h"
#include "export/export_host.h"
#include "export/export_message_log.h"
#include "export/export_run.h"
#include "projectfile/project_io.h"
#include "support/project_builder.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

const std::string kScrivo = std::string(ZORVA_BIN_DIR) + "/Exporters/Scrivo.so";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string expected(const std::string& name) {
    return read_file(std::string(ZORVA_TEST_SOURCE_DIR) + "/exporters/textdump/expected/" + name);
}

// Compares line by line first, so a mismatch names the first differing line.
void expect_same_dump(const std::string& actual, const std::string& wanted) {
    std::istringstream a(actual);
    std::istringstream w(wanted);
    std::string line_a;
    std::string line_w;
    for (int line = 1; std::getline(w, line_w); ++line) {
        ASSERT_TRUE(std::getline(a, line_a)) << "output ends before line " << line;
        ASSERT_EQ(line_a, line_w) << "line " << line;
    }
    EXPECT_EQ(actual, wanted);
}

class RecordingFeedback : public ExportFeedback {
public:
    void message(std::string_view text) override { messages.emplace_back(text); }
    void progress(int percent) override { progresses.push_back(percent); }
    bool cancelled() const override { return cancel; }

    std::vector<std::string> messages;
    std::vector<int> progresses;
    bool cancel = false;
};

class ScrivoTest : public ::testing::Test {
protected:
    ExporterResult run(const std::string& output) {
        ExportRequest request;
        request.exporter_path = kScrivo;
        request.output_file_name = output;
        request.feedback = &feedback;
        request.log = &log;
        return run_export(host, p.project, request);
    }
    std::string run_and_read() {
        const std::string output = dir.file("dump.txt");
        const ExporterResult result = run(output);
        EXPECT_TRUE(result.ok) << result.message;
        return read_file(output);
    }

    test::TestProject p;
    test::TempDir dir;
    ExportHost host;
    ExportMessageLog log;
    RecordingFeedback feedback;
};

TEST_F(ScrivoTest, AnEmptyProjectWritesEverySectionWithCountZero) {
    p.project.path_and_file_name = "/projects/empty.xml";
    expect_same_dump(run_and_read(), expected("empty.txt"));
}

TEST_F(ScrivoTest, ReportsEachSectionAndTheProgressAfterIt) {
    p.project.path_and_file_name = "/projects/empty.xml";
    run_and_read();
    const std::vector<std::string> messages = {dir.file("dump.txt"),
                                               "Exporting Tile Sets...",
                                               "Exporting Parent Entities...",
                                               "Exporting Map Properties...",
                                               "Exporting Layer Properties...",
                                               "Exporting Layer Grids...",
                                               "Exporting Child Entities...",
                                               "Exporting Paths...",
                                               "Success"};
    EXPECT_EQ(feedback.messages, messages);
    EXPECT_EQ(log.lines(), messages);
    EXPECT_EQ(feedback.progresses, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 100}));
}

TEST_F(ScrivoTest, CancelledBeforeTheRunLeavesOnlyTheProjectHeader) {
    p.project.path_and_file_name = "/projects/cancelled.xml";
    p.add_tile_set("Never written", 16, 16);
    feedback.cancel = true;
    expect_same_dump(run_and_read(), expected("cancelled.txt"));
    EXPECT_EQ(feedback.messages, std::vector<std::string>{dir.file("dump.txt")});
}

TEST_F(ScrivoTest, AMapNotExportedIsCountedButNeverPrinted) {
    p.project.path_and_file_name = "/projects/skipped.xml";
    Map& first = p.add_map("First", nullptr);
    first.custom_variables[0] = "hello";
    Map& hidden = p.add_map("Hidden", nullptr, false);
    p.add_layer(hidden, "Secret", 3, 3);
    Map& third = p.add_map("Third", nullptr);
    third.user_supplied_id = 7;
    third.custom_variables[99] = "end";
    expect_same_dump(run_and_read(), expected("skipped_map.txt"));
}

// Tile set, trigger entity, three maps (the middle one not exported), a 2 x 2 grid with remapped
// attributes, an instance entity, a closed and an open path, and a second map's empty 1 x 1 layer.
TEST_F(ScrivoTest, SampleProjectDumpsEveryObject) {
    p.project.path_and_file_name = "/projects/sample.xml";
    TileSet& tiles = p.add_tile_set("Tiles", 16, 16, 64, 32);
    tiles.user_supplied_id = 3;
    tiles.image_path_and_file_name = "images/tiles.png";
    tiles.first_tile_offset_pixel_x = -2;
    tiles.use_transparent_colour = true;
    tiles.transparent_colour = 0xFF00FF;
    tiles.custom_variables[0] = "grass";
    tiles.custom_variables[99] = "last";

    ParentEntity& hero = p.add_parent("Hero", 32, 16);
    hero.image_path_and_file_name = "images/hero.png";
    hero.is_trigger = true;
    hero.trigger_is_a_circle = true;
    hero.single_frame_pixel_width = 16;
    hero.single_frame_pixel_height = 16;
    hero.preview_anima_frame = 1;

    Map& level = p.add_map("Level", &tiles);
    level.user_supplied_id = 1;
    Map& hidden = p.add_map("Hidden", &tiles, false);
    p.add_layer(hidden, "Secret", 1, 1);
    Map& second = p.add_map("Second", nullptr);
    second.custom_variables[0] = "sky map";

    Layer& ground = p.add_layer(level, "Ground", 2, 2, 1, 2);
    ground.scroll_speed_x = 0.5f;
    ground.scroll_speed_y = 1.0f;
    ground.wrap_x = true;
    ground.is_main_layer = true;
    ground.use_background_colour = true;
    ground.background_colour = 0x332211;
    ground.opacity = 200;
    ground.custom_variables[1] = "two";
    ground.cell(0, 0)->tile = 1;
    ground.cell(1, 0)->tile = 12345;
    ground.cell(1, 0)->flags = make_cell_flags(true, false, false, 227);
    ground.cell(1, 1)->tile = 3;
    ground.cell(1, 1)->flags = make_cell_flags(false, true, true, 7);
    InstanceEntity& walker = p.add_instance(level, ground, hero, 10.5f, 20.25f);
    walker.fh = true;
    walker.custom_variables[0] = -5;
    walker.custom_variables[99] = 300;
    p.add_path(level, ground, 2, 100, 50, true);
    p.add_path(level, ground, 1, 0, 0, false);

    p.add_layer(second, "Sky", 1, 1);
    expect_same_dump(run_and_read(), expected("sample.txt"));
}

TEST_F(ScrivoTest, AnOutputFileThatCannotBeCreatedFailsWithTheGenericErrorAndLogsWhy) {
    const std::string missing = dir.file("no/such/folder/dump.txt");
    ExporterResult result = run(missing);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "An error occured in the export DLL.");
    EXPECT_EQ(feedback.messages, std::vector<std::string>{"ERROR: Failed to create file [" + missing +
                                                          "]: No such file or directory"});
    EXPECT_EQ(log.lines(), feedback.messages);

    // A folder where the file should go.
    feedback.messages.clear();
    result = run(dir.path().string());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(feedback.messages, std::vector<std::string>{"ERROR: Failed to create file [" +
                                                          dir.path().string() + "]: Is a directory"});
    EXPECT_TRUE(std::filesystem::is_directory(dir.path()));
    EXPECT_FALSE(run("").ok);
}

// "Success" only once the file is in place: a write that fails at the end (here: the file size limit)
// logs the reason instead, and the previous file stays.
TEST_F(ScrivoTest, AFailedWriteLogsWhyAndNeverSuccess) {
    p.project.path_and_file_name = "/projects/empty.xml";
    const std::string output = dir.file("dump.txt");
    std::ofstream(output) << "previous";

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const ExporterResult result = run(output);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(feedback.messages.empty());
    EXPECT_EQ(feedback.messages.back(), "ERROR: Failed to write file [" + output + "]: File too large");
    EXPECT_EQ(std::count(feedback.messages.begin(), feedback.messages.end(), "Success"), 0);
    EXPECT_EQ(feedback.progresses.back(), 80);
    EXPECT_EQ(read_file(output), "previous");
}

TEST_F(ScrivoTest, ReplacesAnExistingFileAndLeavesNoTemporaryFiles) {
    p.project.path_and_file_name = "/projects/empty.xml";
    const std::string output = dir.file("dump.txt");
    std::ofstream(output)
        << "an older, longer dump that must disappear completely ..........................";
    EXPECT_EQ(run_and_read(), expected("empty.txt"));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

// A host that offers only the output file name: every other slot is missing, and Scrivo takes each as a
// failed call with zeroed records and counts of 0.
TEST(ScrivoMissingSlots, EveryMissingSlotCountsAsAFailedCall) {
    test::TempDir dir;
    static std::string output;
    output = dir.file("bare.txt");
    void* library = dlopen(kScrivo.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(dlsym(library, "SetParentCWinApp"), nullptr);
    auto version = reinterpret_cast<QueryExporterDLLVersionFn>(dlsym(library, "QueryExporterDLLVersion"));
    auto start = reinterpret_cast<StartExportFn>(dlsym(library, "StartExport"));
    ASSERT_NE(version, nullptr);
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(version(), 114u);
    EXPECT_EQ(start(nullptr), 0);
    ExportApi api{};
    api.GetOutputFileName = [](char* buffer, std::uint32_t length) -> std::uint8_t {
        std::snprintf(buffer, length, "%s", output.c_str());
        return 1;
    };
    EXPECT_EQ(start(&api), 1);
    dlclose(library);
    std::string wanted = "\r\nExported project file: \r\n\r\n\r\n\r\n";
    for (const char* header :
         {"Tile Sets\r\n---------\r\nNumber of Tile Sets: 0",
          "Parent Entities\r\n---------------\r\nNumber of Parent Entities: 0",
          "Map Properties\r\n--------------\r\nNumber of Maps: 0",
          "Layer Properties\r\n----------------\r\nNumber of Maps: 0",
          "Layer Grids\r\n-----------\r\nNumber of Maps: 0",
          "Child Entities\r\n--------------\r\nNumber of Maps: 0", "Paths\r\n-----\r\nNumber of Maps: 0"})
        wanted += std::string(header) + "\r\n\r\n\r\n";
    EXPECT_EQ(read_file(output), wanted);
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

// The bundled sample project: its first tile set block written by hand from the project file, and the
// frame of every section checked against the project's shape (2 maps, both exported).
TEST(ScrivoSampleProject, DumpsTheBundledSample) {
    const std::string sample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";
    LoadResult loaded = read_project(sample);
    ASSERT_TRUE(loaded) << loaded.message;
    test::TempDir dir;
    ExportHost host;
    ExportRequest request;
    request.exporter_path = kScrivo;
    const std::string output = dir.file("sample.txt");
    request.output_file_name = output;
    ASSERT_TRUE(run_export(host, *loaded.project, request).ok);
    const std::string dump = read_file(output);

    const std::string terrain_image = loaded.project->tile_sets[0]->image_path_and_file_name.str();
    const std::string head =
        "\r\nExported project file: \r\n" + loaded.project->path_and_file_name.str() +
        "\r\n\r\n\r\nTile Sets\r\n---------\r\nNumber of Tile Sets: 2\r\n\r\n"
        "Tile Set # 1\r\n\tName: Terrain\r\n\tUserID: 0\r\n\tImageFile: " +
        terrain_image +
        "\r\n\tTileWidth: 16\r\n\tTileHeight: 16\r\n\tOffsetX: 0\r\n\tOffsetY: 0\r\n"
        "\tSpaceX: 0\r\n\tSpaceY: 0\r\n\tNumberOfTilesAcross: 8\r\n\tNumberOfTilesDown: 4\r\n"
        "\tNumberOfTiles: 32\r\n\tUseTransparentColour: 0\r\n\tTransparentColour: 0, 0, 0\r\n"
        "\tCustomVariables:\r\n\t\t1: Sample generator\r\n";
    EXPECT_EQ(dump.substr(0, head.size()), head);
    EXPECT_NE(dump.find("Tile Set # 2\r\n\tName: Dungeon\r\n"), std::string::npos);
    EXPECT_NE(dump.find("\tNumberOfTilesAcross: 4\r\n\tNumberOfTilesDown: 4\r\n\tNumberOfTiles: 16\r\n"),
              std::string::npos);

    // Line ends are CR LF throughout.
    EXPECT_EQ(occurrences(dump, "\n"), occurrences(dump, "\r\n"));
    // Every section once, in order, each counting both maps.
    std::size_t at = 0;
    for (const char* header : {"Parent Entities\r\n---------------\r\nNumber of Parent Entities: 5\r\n",
                               "Map Properties\r\n--------------\r\nNumber of Maps: 2\r\n",
                               "Layer Properties\r\n----------------\r\nNumber of Maps: 2\r\n",
                               "Layer Grids\r\n-----------\r\nNumber of Maps: 2\r\n",
                               "Child Entities\r\n--------------\r\nNumber of Maps: 2\r\n",
                               "Paths\r\n-----\r\nNumber of Maps: 2\r\n"}) {
        const std::size_t found = dump.find(header, at);
        ASSERT_NE(found, std::string::npos) << header;
        EXPECT_EQ(occurrences(dump, header), 1u) << header;
        at = found;
    }
    EXPECT_EQ(occurrences(dump, "Map # 1\r\n\tName: Meadow\r\n"), 5u);
    EXPECT_EQ(occurrences(dump, "Map # 2\r\n\tName: Crystal Cave\r\n"), 5u);
    // One grid entry per cell of the project.
    std::size_t cells = 0;
    for (const auto& map : loaded.project->maps)
        for (const auto& layer : map->layers) cells += layer->grid.size();
    EXPECT_EQ(occurrences(dump, "),  ") + occurrences(dump, "),\r\n\t\t\t\t"), cells);
    EXPECT_EQ(occurrences(dump, "\t\t\t\tChild Entity # "), 24u);
    EXPECT_EQ(occurrences(dump, "\t\t\t\tPath # "), 3u);
}

}  // namespace
}  // namespace zorva
