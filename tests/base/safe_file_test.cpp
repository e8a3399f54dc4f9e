#include "base/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Saving through a link writes the file the link leads to, beside that file, and keeps the link and the
// target's permissions.
TEST(SafeFileWriter, WritesThroughSymbolicLinks) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("real"));
    const std::string target = dir.file("real/level.xml");
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 0640);
    const std::string link = dir.file("level.xml");
    ASSERT_EQ(::symlink("real/level.xml", link.c_str()), 0);
    const std::string second = dir.file("again.xml");  // a link to the link
    ASSERT_EQ(::symlink(link.c_str(), second.c_str()), 0);

    std::string error;
    ASSERT_TRUE(write_file_safely(link, "new", &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_all(target), "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    ASSERT_TRUE(write_file_safely(second, "newer", &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(second));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_all(target), "newer");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("real")), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);

    // A link whose file does not exist yet: the file is made, the link stays.
    const std::string dangling = dir.file("new.xml");
    ASSERT_EQ(::symlink("real/new.xml", dangling.c_str()), 0);
    ASSERT_TRUE(write_file_safely(dangling, "made", &error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(read_all(dir.file("real/new.xml")), "made");

    // A loop of links is refused.
    ASSERT_EQ(::symlink("loop-b", dir.file("loop-a").c_str()), 0);
    ASSERT_EQ(::symlink("loop-a", dir.file("loop-b").c_str()), 0);
    EXPECT_FALSE(write_file_safely(dir.file("loop-a"), "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("loop-a")));
}

// Only a regular file is replaced: a pipe, a device or a folder is refused with a reason and left alone.
TEST(SafeFileWriter, RefusesToReplaceWhatIsNotARegularFile) {
    test::TempDir dir;
    const std::string fifo = dir.file("pipe.xml");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(write_file_safely(fifo, "x", &error));
    EXPECT_EQ(error, "It is not a regular file (but a device, a pipe or a socket) and is not replaced");
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // A device is refused at open(): the check never gets as far as a commit, so even a writer that let
    // it through could not replace the system's /dev/null.
    {
        SafeFileWriter writer;
        EXPECT_FALSE(writer.open("/dev/null"));
        EXPECT_FALSE(writer.error().empty());
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    // Also through a link.
    const std::string link = dir.file("null.xml");
    ASSERT_EQ(::symlink("/dev/null", link.c_str()), 0);
    {
        SafeFileWriter writer;
        EXPECT_FALSE(writer.open(link));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    std::filesystem::create_directory(dir.file("folder.xml"));
    EXPECT_FALSE(write_file_safely(dir.file("folder.xml"), "x", &error));
    EXPECT_EQ(error, "Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.xml")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

}  // namespace
}  // namespace zorva
