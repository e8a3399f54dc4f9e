// zorva-cli export with the binary exporter: --settings LAYOUT.zbe runs a quick export with that layout
// and never touches the user's remembered settings; without it the remembered settings are used.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "binmap_test_support.h"
#include "exporters/binmapfile/variable_catalogue.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

// zorva-cli export of the sample project with the binary exporter, `home` as the data folder.
zorva::test::CliRun run_cli(const std::string& home, const std::vector<std::string>& arguments) {
    std::vector<std::string> all = {"export", ZORVA_TEST_SOURCE_DIR "/../examples/SampleProjects/Sample.xml",
                                    "--exporter", "ZvBinMapFile"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return zorva::test::run_zorva_cli(all, {{"ZORVA_HOME", home}});
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

    const zorva::test::CliRun run =
        run_cli(home, {"--output", dir.file("level.bin"), "--settings", dir.file("layout.zbe")});
    ASSERT_EQ(run.exit_code, 0) << run.output();
    EXPECT_NE(run.output().find("Success"), std::string::npos) << run.output();
    const auto first = test::read_bytes(dir.file("level0.bin"));
    ASSERT_EQ(first.size(), 5u) << run.output();  // layers as one byte, user id as four
    EXPECT_GT(first[0], 0);
    EXPECT_EQ(test::read_bytes(home + "/ZvBinMapFile.cfg"), mine);
}

// Without the editor the exporter's dialog cannot be shown, so a run without usable remembered settings
// and without --settings fails at once and tells the user to pass --settings.
TEST_F(CliSettingsTest, WithoutRememberedSettingsTheHeadlessRunSaysToPassSettings) {
    const std::string wanted =
        "ZvBinMapFile has no remembered settings in the data folder (" + home +
        "), and without the editor its dialog cannot be shown: pass --settings LAYOUT.zbe.\n";
    zorva::test::CliRun run = run_cli(home, {"--output", dir.file("level.bin")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, wanted);
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("level0.bin")));

    // Remembered settings that name a file which is gone are no settings either.
    std::vector<std::uint8_t> gone(260, 0);
    const std::string missing_layout = dir.file("gone.zbe");
    std::copy(missing_layout.begin(), missing_layout.end(), gone.begin());
    test::write_bytes(home + "/ZvBinMapFile.cfg", gone);
    run = run_cli(home, {"--output", dir.file("level.bin")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, wanted);
    EXPECT_EQ(test::read_bytes(home + "/ZvBinMapFile.cfg"), gone);

    const zorva::test::CliRun missing =
        run_cli(home, {"--output", dir.file("level.bin"), "--settings", dir.file("no.zbe")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.output().find("The settings file could not be found"), std::string::npos)
        << missing.output();
}

}  // namespace
}  // namespace zorva::binmap
