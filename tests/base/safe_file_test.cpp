#include "base/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace zorva {
namespace {

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SafeFileWriter, ReplacesTheTargetOnlyOnCommit) {
    test::TempDir dir;
    const std::string path = dir.file("level.xml");
    std::ofstream(path) << "old";

    SafeFileWriter writer(16);  // a small buffer makes the writer flush on the way
    ASSERT_TRUE(writer.open(path));
    writer.write("new content that is longer than the buffer");
    writer.put('!');
    EXPECT_EQ(read_all(path), "old");
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(read_all(path), "new content that is longer than the buffer!");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SafeFileWriter, AbandonedWriteLeavesTheOldFileAndNoLitter) {
    test::TempDir dir;
    const std::string path = dir.file("level.xml");
    std::ofstream(path) << "old";
    {
        SafeFileWriter writer;
        ASSERT_TRUE(writer.open(path));
        writer.write("half");
    }
    EXPECT_EQ(read_all(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SafeFileWriter, FailuresAreReported) {
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(write_file_safely(dir.file("missing/folder/x.xml"), "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(write_file_safely("", "x", &error));
}

// A write that fails half way (here: the file size limit) reports failure and keeps the old file.
TEST(SafeFileWriter, FailedWriteKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = dir.file("level.xml");
    std::ofstream(path) << "old";

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = write_file_safely(path, std::string(5000, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(read_all(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SafeFileWriter, KeepsThePermissionsOfTheReplacedFile) {
    test::TempDir dir;
    const std::string path = dir.file("level.zvp");
    std::ofstream(path) << "old";
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(write_file_safely(path, "new"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace zorva
