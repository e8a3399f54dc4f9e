// zorva-cli export, run as a separate process the way a build pipeline runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/cli_runner.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CliExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        project_file = dir.file("level.zvp");
        p.add_map("Only", nullptr);
        ASSERT_TRUE(test::write_project_file(p, project_file));
    }

    test::TestProject p;
    test::TempDir dir;
    std::string project_file;
};

TEST_F(CliExportTest, FindsScrivoByNameAndPrintsItsMessages) {
    const std::string output = dir.file("dump.txt");
    for (const char* name : {"Scrivo", "Scrivo.so", "scrivo"}) {
        SCOPED_TRACE(name);
        std::remove(output.c_str());
        const test::CliRun run =
            test::run_zorva_cli({"export", project_file, "--exporter", name, "--output", output});
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_EQ(run.out,
                  output +
                      "\nExporting Tile Sets...\nExporting Parent Entities...\nExporting Map Properties...\n"
                      "Exporting Layer Properties...\nExporting Layer Grids...\nExporting Child Entities...\n"
                      "Exporting Paths...\nSuccess\n");
        EXPECT_EQ(run.err, "");  // progress only on a terminal
        const std::string dump = read_file(output);
        EXPECT_EQ(
            dump.rfind("\r\nExported project file: \r\n" + project_file + "\r\n\r\n\r\nTile Sets\r\n", 0),
            0u);
        EXPECT_NE(dump.find("Map # 1\r\n\tName: Only\r\n"), std::string::npos);
    }
}

TEST_F(CliExportTest, AcceptsAPathAndReportsFailuresOnStandardError) {
    const std::string output = dir.file("dump.txt");
    test::CliRun run = test::run_zorva_cli(
        {"export", project_file, "--exporter=" + std::string(ZORVA_BIN_DIR) + "/Exporters/Scrivo.so",
         "--output=" + output});
    EXPECT_EQ(run.exit_code, 0) << run.err;

    run = test::run_zorva_cli({"export", project_file, "--exporter", "NoSuchExporter", "--output", output});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind("Could not find/load the exporter DLL: \n\n", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("Exporters/NoSuchExporter.so"), std::string::npos);

    run = test::run_zorva_cli(
        {"export", project_file, "--exporter", "Scrivo", "--output", dir.file("missing/dump.txt")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "An error occured in the export DLL.\n");
    EXPECT_EQ(run.out, "ERROR: Failed to create file [" + dir.file("missing/dump.txt") +
                           "]: No such file or directory\n");

    run = test::run_zorva_cli({"export", dir.file("absent.zvp"), "--exporter", "Scrivo", "--output", output});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err, "");

    run = test::run_zorva_cli({"export", project_file, "--output", output});
    EXPECT_EQ(run.exit_code, 2);
    run = test::run_zorva_cli(
        {"export", project_file, "--exporter", "Scrivo", "--output", dir.file(std::string(300, 'x'))});
    EXPECT_EQ(run.exit_code, 2);
}

}  // namespace
}  // namespace zorva
