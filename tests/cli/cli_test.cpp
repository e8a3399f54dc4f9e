// zorva-cli run as a program: the help of every command, the refusals that come before any work, and what
// reaches standard error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

TEST(CliHelp, EveryCommandAnswersHelpOnStandardOutput) {
    std::vector<std::string> names = {"convert", "info", "export", "import", "check", "diff"};
#ifdef ZORVA_CLI_RENDER
    names.push_back("render");
#endif
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{name, "--help"}, std::vector<std::string>{name, "-h"},
              std::vector<std::string>{name, "some.xml", "--help"}}) {
            const CliRun run = run_zorva_cli(arguments);
            EXPECT_EQ(run.exit_code, 0) << run.output();
            EXPECT_EQ(run.out.rfind("Usage: zorva-cli " + name + " ", 0), 0u) << run.out;
            EXPECT_EQ(run.err, "");
        }
    }
    const CliRun top = run_zorva_cli({"--help"});
    EXPECT_EQ(top.exit_code, 0);
    EXPECT_EQ(top.out.rfind("Usage: zorva-cli COMMAND", 0), 0u) << top.out;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The long options named in `text`, written "--name" in the help and "\\-\\-name" in the manual page.
std::set<std::string> long_options(std::string text) {
    for (std::size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at))
        text.erase(at, 1);
    std::set<std::string> options;
    for (std::size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
        std::size_t end = at + 2;
        while (end < text.size() && (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-'))
            ++end;
        if (end > at + 2) options.insert(text.substr(at, end - at));
        at = end - 2;
    }
    return options;
}

// The manual page describes every command that `zorva-cli --help` lists, each with exactly the options of
// its own help, and carries the program's version.
TEST(CliManual, TheManualPageMatchesTheHelpOfEveryCommand) {
    const std::string man = read_text(ZORVA_TEST_SOURCE_DIR "/../docs/man/zorva-cli.1");
    ASSERT_FALSE(man.empty());
    const CliRun version = run_zorva_cli({"--version"});
    ASSERT_EQ(version.out.rfind("zorva-cli ", 0), 0u);
    const std::string number = version.out.substr(10, version.out.size() - 11);
    EXPECT_NE(man.find("\n.TH ZORVA-CLI 1 \""), std::string::npos);
    EXPECT_NE(man.find("\"Zorva " + number + "\""), std::string::npos)
        << "the title line names another version";

    const CliRun top = run_zorva_cli({"--help"});
    std::istringstream lines(top.out);
    std::vector<std::string> names;
    bool listing = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "Commands:")
            listing = true;
        else if (line.empty())
            listing = false;
        else if (listing && line.starts_with("  "))
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
    }
    ASSERT_FALSE(names.empty()) << top.out;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::size_t section = man.find("\n.SS \"" + name + " ");
        ASSERT_NE(section, std::string::npos) << "no section for the command";
        const std::size_t end = std::min(man.find("\n.SS ", section + 1), man.find("\n.SH ", section + 1));
        const CliRun help = run_zorva_cli({name, "--help"});
        EXPECT_EQ(long_options(man.substr(section, end - section)), long_options(help.out)) << help.out;
        const CliRun command_version = run_zorva_cli({name, "--version"});
        EXPECT_EQ(command_version.exit_code, 0);
        EXPECT_EQ(command_version.out, version.out);
    }
}

// The exporter is looked for first: a missing one is named even when the project and the settings file
// are missing too.
TEST(CliExport, AnExporterThatDoesNotExistIsNamedFirst) {
    TempDir dir;
    const CliRun run = run_zorva_cli({"export", dir.file("absent.xml"), "--exporter", "NoSuchExporter",
                                      "--output", dir.file("out.txt"), "--settings", dir.file("absent.zbe")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind("Could not find/load the exporter DLL: \n\n" + std::string(ZORVA_BIN_DIR) +
                                "/Exporters/NoSuchExporter.so\n\n",
                            0),
              0u)
        << run.err;
    EXPECT_NE(run.err.find("There is no exporter \"NoSuchExporter\". Exporters in " +
                           std::string(ZORVA_BIN_DIR) + "/Exporters: "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("Scrivo"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("absent"), std::string::npos) << run.err;  // neither file was looked at
    EXPECT_EQ(run.out, "");
}

// A plug-in of the user's own, in "Exporters" of the data folder, is found by name after those beside the
// program, and a missing name lists what every existing plug-in folder holds.
TEST(CliExport, APlugInInTheDataFoldersExportersFolderIsFoundByName) {
    TempDir dir;
    const std::filesystem::path home = dir.path() / "home";
    std::filesystem::create_directories(home / "Exporters");
    std::filesystem::copy_file(std::string(ZORVA_BIN_DIR) + "/Exporters/Scrivo.so",
                               home / "Exporters" / "Mine.so");
    const std::string project = dir.file("level.xml");
    ASSERT_TRUE(write_small_project(project));

    const CliRun run =
        run_zorva_cli({"export", project, "--exporter", "mine", "--output", dir.file("out.txt")},
                      {{"ZORVA_HOME", home.string()}});
    EXPECT_EQ(run.exit_code, 0) << run.output();
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("out.txt")));

    const CliRun missing =
        run_zorva_cli({"export", project, "--exporter", "Other", "--output", dir.file("other.txt")},
                      {{"ZORVA_HOME", home.string()}});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("Exporters in " + (home / "Exporters").string() + ": Mine\n"),
              std::string::npos)
        << missing.err;
}

#ifdef ZORVA_CLI_RENDER

// The lines under "Images that failed to load" of zorva-cli info.
std::vector<std::string> failed_images_by_info(const std::string& project) {
    const CliRun info = run_zorva_cli({"info", project});
    std::vector<std::string> images;
    std::istringstream lines(info.out);
    bool listing = false;
    for (std::string line; std::getline(lines, line);) {
        if (listing && line.starts_with("  ")) images.push_back(line.substr(2));
        if (line.starts_with("Images that failed to load: ")) listing = true;
    }
    return images;
}

struct CliRenderTest : ::testing::Test {
    TempDir dir;
};

TEST_F(CliRenderTest, AnOrdinaryRunPrintsNothingOnStandardError) {
    const std::string project = dir.file("level.xml");
    ASSERT_TRUE(write_small_project(project));
    // Without XDG_RUNTIME_DIR Qt has something to say about it; zorva-cli keeps that to itself.
    for (const char* option : {"", "--whole"}) {
        SCOPED_TRACE(option);
        std::vector<std::string> arguments = {"render", project, "--output", dir.file("view.PNG")};
        if (*option) arguments.emplace_back(option);
        const CliRun run = run_zorva_cli(arguments, {{"XDG_RUNTIME_DIR", ""}});
        EXPECT_EQ(run.exit_code, 0) << run.output();
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("view.PNG")));
    }
}

TEST_F(CliRenderTest, RefusesAnOutputThatIsNotPng) {
    const std::string project = dir.file("level.xml");
    ASSERT_TRUE(write_small_project(project));
    for (const char* name : {"view.jpg", "view", "view.png.bmp"}) {
        SCOPED_TRACE(name);
        const CliRun run = run_zorva_cli({"render", project, "--output", dir.file(name)});
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_EQ(run.err,
                  "zorva-cli render: pictures are written as PNG only; the output name must end in .png: " +
                      dir.file(name) + "\n");
        EXPECT_FALSE(std::filesystem::exists(dir.file(name)));
    }
}

// A project whose images failed to load is still drawn, and each missing image is named as info names it.
TEST_F(CliRenderTest, WarnsOfEveryImageThatFailedToLoad) {
    TestProject t;
    TileSet& tiles = t.add_tile_set("Tiles", 16, 16);
    tiles.image_path_and_file_name = dir.file("gone-tiles.png");
    ParentEntity& parent = t.add_parent("Hero");
    parent.image_path_and_file_name = dir.file("gone-hero.png");
    Map& map = t.add_map("Level", &tiles);
    t.add_layer(map, "Ground", 4, 3);
    t.select(map);
    const std::string project = dir.file("level.xml");
    ASSERT_TRUE(write_project_file(t, project));

    const std::vector<std::string> failed = failed_images_by_info(project);
    ASSERT_EQ(failed.size(), 2u);
    for (const char* option : {"", "--whole"}) {
        SCOPED_TRACE(option);
        std::vector<std::string> arguments = {"render", project, "--output", dir.file("view.png")};
        if (*option) arguments.emplace_back(option);
        const CliRun run = run_zorva_cli(arguments);
        EXPECT_EQ(run.exit_code, 0) << run.output();
        for (const std::string& image : failed) {
            EXPECT_NE(run.err.find("zorva-cli render: warning: an image failed to load and is not drawn: " +
                                   image + "\n"),
                      std::string::npos)
                << run.err;
        }
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("view.png")));
    }
}

#endif

}  // namespace
}  // namespace zorva::test
