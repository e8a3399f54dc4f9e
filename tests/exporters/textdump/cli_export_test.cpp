// zorva-cli export, run as a separate process the way a build pipeline runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string shell_quoted(const std::string& text) { return "'" + text + "'"; }

CliRun zorva_cli(const test::TempDir& dir, const std::string& arguments) {
    const std::string err_file = dir.file("stderr.txt");
    const std::string command = shell_quoted(std::string(ZORVA_BIN_DIR) + "/zorva-cli") + " " + arguments +
                                " 2>" + shell_quoted(err_file);
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = read_file(err_file);
    return run;
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
        const CliRun run = zorva_cli(dir, "export " + shell_quoted(project_file) + " --exporter " + name +
                                              " --output " + shell_quoted(output));
        EXPECT_EQ(run.status, 0) << run.err;
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
    CliRun run = zorva_cli(dir, "export " + shell_quoted(project_file) + " --exporter=" +
                                    shell_quoted(std::string(ZORVA_BIN_DIR) + "/Exporters/Scrivo.so") +
                                    " --output=" + shell_quoted(output));
    EXPECT_EQ(run.status, 0) << run.err;

    run = zorva_cli(dir, "export " + shell_quoted(project_file) + " --exporter NoSuchExporter --output " +
                             shell_quoted(output));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("Could not find/load the exporter DLL: \n\n", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("Exporters/NoSuchExporter.so"), std::string::npos);

    run = zorva_cli(dir, "export " + shell_quoted(project_file) + " --exporter Scrivo --output " +
                             shell_quoted(dir.file("missing/dump.txt")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "An error occured in the export DLL.\n");

    run = zorva_cli(dir, "export " + shell_quoted(dir.file("absent.zvp")) + " --exporter Scrivo --output " +
                             shell_quoted(output));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err, "");

    run = zorva_cli(dir, "export " + shell_quoted(project_file) + " --output " + shell_quoted(output));
    EXPECT_EQ(run.status, 2);
    run = zorva_cli(dir, "export " + shell_quoted(project_file) + " --exporter Scrivo --output " +
                             shell_quoted(dir.file(std::string(300, 'x'))));
    EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace zorva
