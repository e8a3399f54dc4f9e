// zorva-cli export with the binary exporter: --settings LAYOUT.zbe runs a quick export with that layout
// and never touches the user's remembered settings; without it the remembered settings are used.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "binmap_test_support.h"
#include "exporters/binmapfile/variable_catalogue.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

struct CliRun {
    int status = -1;
    std::string output;
};

CliRun run_cli(const std::string& home, const std::string& arguments) {
    const std::string command = "ZORVA_HOME='" + home +
                                "' '" ZORVA_BIN_DIR "/zorva-cli' export '" ZORVA_TEST_SOURCE_DIR
                                "/../examples/SampleProjects/Sample.xml' --exporter ZvBinMapFile " +
                                arguments + " 2>&1";
    CliRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliSettingsTest : public ::testing::Test {
protected:
    zorva::test::TempDir dir;
    std::string home = dir.file("home");

    void SetUp() override { std::filesystem::create_directory(home); }
};

TEST_F(CliSettingsTest, TheLayoutIsUsedAndTheRememberedSettingsStayAsTheyWere) {
    test::write_bytes(dir.file("layout.zbe"),
                      test::zbe(2, 2, {{kMapNumberOfLayers, 2, 50}, {kMapUserId, 6, 50}}));
    std::vector<std::uint8_t> mine(260, 0);
    const std::string remembered = dir.file("mine.zbe");
    std::copy(remembered.begin(), remembered.end(), mine.begin());
    test::write_bytes(home + "/ZvBinMapFile.cfg", mine);

    const CliRun run =
        run_cli(home, "--output '" + dir.file("level.bin") + "' --settings '" + dir.file("layout.zbe") + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Success"), std::string::npos) << run.output;
    const auto first = test::read_bytes(dir.file("level0.bin"));
    ASSERT_EQ(first.size(), 5u) << run.output;  // layers as one byte, user id as four
    EXPECT_GT(first[0], 0);
    EXPECT_EQ(test::read_bytes(home + "/ZvBinMapFile.cfg"), mine);
}

TEST_F(CliSettingsTest, WithoutRememberedSettingsTheHeadlessRunFailsAsTheDialogCannotBeShown) {
    const CliRun run = run_cli(home, "--output '" + dir.file("level.bin") + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("ERROR: Failed to create the dialog."), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(dir.file("level0.bin")));

    const CliRun missing =
        run_cli(home, "--output '" + dir.file("level.bin") + "' --settings '" + dir.file("no.zbe") + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("The settings file could not be found"), std::string::npos)
        << missing.output;
}

}  // namespace
}  // namespace zorva::binmap
