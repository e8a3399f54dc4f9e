#include "projectfile/relative_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace zorva {
namespace {

TEST(RelativePath, FilesAroundTheProjectFolder) {
    const std::string project = "/home/ana/game/level.xml";
    EXPECT_EQ(make_relative_path(project, "/home/ana/game/tiles.png", PathKind::File), "./tiles.png");
    EXPECT_EQ(make_relative_path(project, "/home/ana/game/img/sub/a.png", PathKind::File), "./img/sub/a.png");
    EXPECT_EQ(make_relative_path(project, "/home/ana/assets/a.png", PathKind::File), "../assets/a.png");
    EXPECT_EQ(make_relative_path(project, "/home/a.png", PathKind::File), "../../a.png");
    EXPECT_EQ(make_relative_path(project, "/srv/x/a.png", PathKind::File), "../../../srv/x/a.png");
    EXPECT_EQ(make_relative_path(project, "/home/ana/game/img/../b.png", PathKind::File), "./b.png");
}

TEST(RelativePath, Folders) {
    const std::string project = "/home/ana/game/level.xml";
    EXPECT_EQ(make_relative_path(project, "/home/ana/game", PathKind::Folder), "./");
    EXPECT_EQ(make_relative_path(project, "/home/ana/game/", PathKind::Folder), "./");
    EXPECT_EQ(make_relative_path(project, "/home/ana/assets/", PathKind::Folder), "../assets/");
    EXPECT_EQ(make_relative_path(project, "/home", PathKind::Folder), "../../");
}

TEST(RelativePath, EmptyOrNonAbsoluteTargetGivesEmpty) {
    EXPECT_EQ(make_relative_path("/p/level.xml", "", PathKind::File), "");
    EXPECT_EQ(make_relative_path("/p/level.xml", "Scrivo.so", PathKind::File), "");
    EXPECT_EQ(make_relative_path("/p/level.xml", "img/a.png", PathKind::File), "");
}

TEST(RelativePath, ResolveFindsExistingFilesAndFolders) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "game" / "img");
    std::filesystem::create_directories(dir.path() / "assets");
    std::ofstream(dir.path() / "game" / "img" / "a.png") << "x";
    std::ofstream(dir.path() / "assets" / "b.png") << "x";
    const std::string project = dir.file("game/level.xml");
    const std::string root = dir.path().string();

    EXPECT_EQ(resolve_relative_path(project, "./img/a.png", PathKind::File), root + "/game/img/a.png");
    EXPECT_EQ(resolve_relative_path(project, ".\\img\\a.png", PathKind::File), root + "/game/img/a.png");
    EXPECT_EQ(resolve_relative_path(project, "..\\assets\\b.png", PathKind::File), root + "/assets/b.png");
    EXPECT_EQ(resolve_relative_path(project, "../assets/", PathKind::Folder), root + "/assets/");
    EXPECT_EQ(resolve_relative_path(project, "", PathKind::Folder), root + "/game/");
    EXPECT_EQ(resolve_relative_path(project, "./", PathKind::Folder), root + "/game/");

    EXPECT_EQ(resolve_relative_path(project, "", PathKind::File), "");
    EXPECT_EQ(resolve_relative_path(project, "./img/", PathKind::File), "");
    EXPECT_EQ(resolve_relative_path(project, "./img/missing.png", PathKind::File), "");
    EXPECT_EQ(resolve_relative_path(project, "./img/a.png", PathKind::Folder), "");
}

TEST(RelativePath, MadeAndResolvedRoundTrip) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "p" / "q");
    std::filesystem::create_directories(dir.path() / "r");
    std::ofstream(dir.path() / "r" / "t.bmp") << "x";
    const std::string project = dir.file("p/q/level.zvp");
    const std::string target = dir.file("r/t.bmp");
    const std::string relative = make_relative_path(project, target, PathKind::File);
    EXPECT_EQ(relative, "../../r/t.bmp");
    EXPECT_EQ(resolve_relative_path(project, relative, PathKind::File), target);
}

}  // namespace
}  // namespace zorva
