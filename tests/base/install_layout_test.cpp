// An installation is recognised by its shared data folder beside the programs' folder.
#include "base/install_layout.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace zorva {
namespace {
namespace fs = std::filesystem;

TEST(InstallLayout, AnInstallationIsRecognisedByItsSharedDataFolder) {
    test::TempDir dir;
    const fs::path bin = dir.path() / "prefix" / "bin";
    fs::create_directories(bin);
    EXPECT_FALSE(runs_installed(bin));
    EXPECT_FALSE(runs_installed(fs::path()));
    const fs::path share = installed_share_folder(bin);
    EXPECT_EQ(share.filename(), "zorva");
    EXPECT_EQ(installed_exporters_folder(bin).filename(), "Exporters");
    // Both lie under the prefix, outside the programs' folder.
    for (const fs::path& folder : {share, installed_exporters_folder(bin)}) {
        const fs::path relative = folder.lexically_relative(dir.path() / "prefix");
        EXPECT_FALSE(relative.empty()) << folder;
        EXPECT_NE(*relative.begin(), "..") << folder;
        EXPECT_NE(*relative.begin(), "bin") << folder;
    }
    fs::create_directories(share);
    EXPECT_TRUE(runs_installed(bin));
}

}  // namespace
}  // namespace zorva
