// zorva-cli on several projects: check's exit status and lines, and batch runs of convert, export and
// render over folders with --jobs, where a project that fails does not stop the others.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/job_runner.h"
#include "cli/project_list.h"
#include "projectfile/project_io.h"
#include "support/cli_runner.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A small project without problems but a locked layer (a warning).
void write_locked(const std::string& path) {
    TestProject t;
    Map& map = t.add_map("Level");
    t.add_layer(map, "Ground", 4, 4).is_locked = true;
    // No tile set would be a problem; a tile set without a picture is none.
    map.use_tile_set_id = t.add_tile_set("Tiles", 16, 16).unique_id;
    ASSERT_TRUE(write_project_file(t, path));
}

TEST(CliCheck, ExitStatusFollowsTheWorstProject) {
    TempDir dir;
    write_locked(dir.file("locked.xml"));
    write_small_project(dir.file("no-tiles.xml"));  // its map has no tile set

    CliRun run = run_zorva_cli({"check", dir.file("locked.xml")});
    EXPECT_EQ(run.exit_code, 0) << run.output();
    EXPECT_EQ(run.out,
              dir.file("locked.xml") +
                  ": warning: map 0 \"Level\" / layer 0 \"Ground\": the layer is locked [object-locked]\n"
                  "zorva-cli check: 1 project, 0 clean, 1 with warnings only, 0 with problems, 0 "
                  "unreadable; 0 errors, 1 warning\n");
    run = run_zorva_cli({"check", "--werror", dir.file("locked.xml")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(contains(run.out, "(warnings count as problems: --werror)")) << run.out;

    run = run_zorva_cli({"check", dir.file("locked.xml"), dir.file("no-tiles.xml")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(
        contains(run.out, dir.file("no-tiles.xml") +
                              ": error: map 0 \"Level\": the map uses no tile set [map-without-tile-set]\n"))
        << run.out;

    run = run_zorva_cli({"check", dir.file("locked.xml"), dir.file("missing.xml"), dir.file("no-tiles.xml")});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(contains(run.err, dir.file("missing.xml") + ": the project could not be read\n")) << run.err;
    // The projects after the unreadable one are still checked.
    EXPECT_TRUE(contains(run.out, "[map-without-tile-set]")) << run.out;
    EXPECT_TRUE(
        contains(run.out, "3 projects, 0 clean, 1 with warnings only, 1 with problems, 1 unreadable"));

    EXPECT_EQ(run_zorva_cli({"check"}).exit_code, 2);
    EXPECT_EQ(run_zorva_cli({"check", dir.file("locked.xml"), "--jobs", "many"}).exit_code, 2);
}

TEST(ProjectList, FoldersGlobsAndOutputNames) {
    EXPECT_TRUE(cli::matches_globs("a/b/level.XML", {}));
    EXPECT_FALSE(cli::matches_globs("a/b/notes.txt", {}));
    EXPECT_TRUE(cli::matches_globs("world1/level.xml", {"*.xml"}));  // a name pattern at any depth
    EXPECT_TRUE(cli::matches_globs("world1/level.xml", {"world1/*.xml"}));
    EXPECT_FALSE(cli::matches_globs("world1/deep/level.xml", {"world1/*.xml"}));  // "*" stays in one folder
    EXPECT_FALSE(cli::matches_globs("world2/level.xml", {"world1/*", "*.zvp"}));

    TempDir dir;
    std::filesystem::create_directories(dir.path() / "levels" / "sub");
    std::filesystem::create_directories(dir.path() / "levels" / ".git");
    for (const char* name :
         {"levels/b.xml", "levels/a.zvp", "levels/sub/c.xml", "levels/.git/d.xml", "levels/e.txt"})
        std::ofstream(dir.file(name)) << "x";
    std::vector<std::string> projects;
    std::string error;
    ASSERT_TRUE(cli::expand_project_inputs({dir.file("levels"), "named.xml"}, {}, projects, error)) << error;
    EXPECT_EQ(projects, (std::vector<std::string>{dir.file("levels/a.zvp"), dir.file("levels/b.xml"),
                                                  dir.file("levels/sub/c.xml"), "named.xml"}));
    projects.clear();
    EXPECT_FALSE(cli::expand_project_inputs({dir.file("levels")}, {"*.tmx"}, projects, error));

    std::vector<std::string> outputs;
    EXPECT_TRUE(cli::outputs_for("out/{name}.bin", {"x/a.xml", "y/b.zvp"}, outputs, error)) << error;
    EXPECT_EQ(outputs, (std::vector<std::string>{"out/a.bin", "out/b.bin"}));
    outputs.clear();
    EXPECT_FALSE(cli::outputs_for("out/level.bin", {"a.xml", "b.xml"}, outputs, error));
    outputs.clear();
    EXPECT_FALSE(cli::outputs_for("out/{name}.bin", {"x/a.xml", "y/a.zvp"}, outputs, error));
    EXPECT_EQ(error, "x/a.xml and y/a.zvp would both write out/a.bin");
}

TEST(JobRunner, ReportsInTheOrderOfTheJobsHoweverTheyFinish) {
    std::vector<std::size_t> reported;
    std::atomic<int> running{0};
    std::atomic<int> most{0};
    cli::run_jobs(
        6, 3,
        [&](std::size_t i) {
            const int now = ++running;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            // The first jobs take longest.
            std::this_thread::sleep_for(std::chrono::milliseconds(10 * (6 - static_cast<int>(i))));
            --running;
            return cli::JobOutput{static_cast<int>(i), std::to_string(i), {}};
        },
        [&](std::size_t i, cli::JobOutput& output) {
            EXPECT_EQ(output.out, std::to_string(i));
            reported.push_back(i);
        });
    EXPECT_EQ(reported, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_LE(most.load(), 3);
    EXPECT_GE(most.load(), 2);
}

// A job that throws fails alone, with the reason on its standard error; the others are done.
TEST(JobRunner, AJobThatThrowsFailsAlone) {
    std::vector<cli::JobOutput> reported;
    cli::run_jobs(
        3, 2,
        [](std::size_t i) {
            if (i == 1) throw std::runtime_error("out of memory");
            return cli::JobOutput{0, "done", {}};
        },
        [&](std::size_t, cli::JobOutput& output) { reported.push_back(output); });
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[0].out, "done");
    EXPECT_EQ(reported[1].status, 2);
    EXPECT_EQ(reported[1].err, "zorva-cli: the job failed: out of memory\n");
    EXPECT_EQ(reported[2].out, "done");
}

// A folder of three projects, one of them broken: the other two are exported, the broken one is named.
struct CliBatch : ::testing::Test {
    TempDir dir;
    void SetUp() override {
        std::filesystem::create_directories(dir.path() / "levels");
        std::filesystem::create_directories(dir.path() / "out");
        ASSERT_TRUE(write_small_project(dir.file("levels/first.xml"), "First"));
        ASSERT_TRUE(write_small_project(dir.file("levels/third.zvp"), "Third"));
        std::ofstream(dir.file("levels/second.xml")) << "<project><broken";
    }
};

TEST_F(CliBatch, ExportGoesOnPastAProjectThatFails) {
    const CliRun run = run_zorva_cli({"export", dir.file("levels"), "--exporter", "Scrivo", "--output",
                                      dir.file("out/{name}.txt"), "--jobs", "2"});
    EXPECT_EQ(run.exit_code, 1) << run.output();
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("out/first.txt")));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("out/third.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/second.txt")));
    // Every line of a project's messages starts with its name; the summary names the failure.
    EXPECT_TRUE(contains(run.err, dir.file("levels/second.xml") + ": ")) << run.err;
    EXPECT_FALSE(contains(run.err, dir.file("levels/first.xml"))) << run.err;
    EXPECT_TRUE(contains(run.out, "zorva-cli export: 3 projects, 2 succeeded, 1 failed in ")) << run.out;
    EXPECT_TRUE(contains(run.out, " with 2 jobs: " + dir.file("levels/second.xml") + "\n")) << run.out;
}

TEST_F(CliBatch, ExportRefusesOutputNamesThatWouldClash) {
    std::filesystem::create_directories(dir.path() / "other");
    ASSERT_TRUE(write_small_project(dir.file("other/first.xml")));
    CliRun run = run_zorva_cli({"export", dir.file("levels/first.xml"), dir.file("other/first.xml"),
                                "--exporter", "Scrivo", "--output", dir.file("out/{name}.txt")});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(contains(run.err, "would both write " + dir.file("out/first.txt"))) << run.err;
    run = run_zorva_cli(
        {"export", dir.file("levels"), "--exporter", "Scrivo", "--output", dir.file("out/all.txt")});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_TRUE(contains(run.err, "{name}")) << run.err;
    // The exporter is looked for once, before any project.
    run = run_zorva_cli({"export", dir.file("levels"), "--exporter", "NoSuchExporter", "--output",
                         dir.file("out/{name}.txt")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.err.starts_with("Could not find/load the exporter DLL: ")) << run.err;
}

TEST_F(CliBatch, ConvertWritesEachProjectByPattern) {
    const CliRun run = run_zorva_cli({"convert", dir.file("levels/first.xml"), dir.file("levels/third.zvp"),
                                      "--output", dir.file("out/{name}.zvp"), "-j", "2"});
    EXPECT_EQ(run.exit_code, 0) << run.output();
    for (const char* name : {"out/first.zvp", "out/third.zvp"}) {
        SCOPED_TRACE(name);
        const LoadResult converted = read_project(dir.file(name));
        ASSERT_TRUE(converted);
        EXPECT_EQ(converted.project->maps.size(), 1u);
    }
    // The classic form is unchanged.
    EXPECT_EQ(run_zorva_cli({"convert", dir.file("levels/first.xml"), dir.file("out/single.xml")}).exit_code,
              0);
    EXPECT_EQ(run_zorva_cli({"convert", dir.file("levels/first.xml")}).exit_code, 2);
}

#ifdef ZORVA_CLI_RENDER
TEST_F(CliBatch, RenderDrawsEveryProjectItCan) {
    const CliRun run = run_zorva_cli({"render", dir.file("levels"), "--whole", "--zoom", "50", "--output",
                                      dir.file("out/{name}.png"), "--jobs", "2"});
    EXPECT_EQ(run.exit_code, 1) << run.output();
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("out/first.png")));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("out/third.png")));
    EXPECT_TRUE(contains(run.out, "zorva-cli render: 3 projects, 2 succeeded, 1 failed")) << run.out;
}
#endif

}  // namespace
}  // namespace zorva::test
