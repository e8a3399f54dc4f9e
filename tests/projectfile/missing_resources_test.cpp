#include "projectfile/missing_resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "model/entity.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/project_defaults.h"
#include "model/tile_set.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

// The scripted platform with a scripted folder chooser.
class SearchPlatform : public test::ScriptedPlatform {
public:
    std::optional<std::string> choose_folder(std::string_view title, std::string_view start_folder) override {
        folder_titles.emplace_back(title);
        folder_starts.emplace_back(start_folder);
        return next_folder;
    }
    std::optional<std::string> next_folder;
    std::vector<std::string> folder_titles;
    std::vector<std::string> folder_starts;
};

constexpr std::uint32_t kMagenta = 0x00FF00FF;  // 0x00BBGGRR

class MissingResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(art);
        std::filesystem::create_directories(moved);
    }

    TileSet* tile_set(const std::string& name, const std::string& path) {
        TileSetProperties t = make_default_tile_set(project, defaults);
        t.name = name;
        t.image_path_and_file_name = path;
        return add_tile_set(project, t, false, &platform);
    }
    ParentEntity* entity(const std::string& name, const std::string& path) {
        ParentEntityProperties e = make_default_parent_entity(project, defaults);
        e.name = name;
        e.image_path_and_file_name = path;
        return add_parent_entity(project, e, false, &platform);
    }
    Map* map(const std::string& name) {
        MapProperties m = make_default_map(project);
        m.name = name;
        return add_map(project, m, false, &platform);
    }
    Layer* layer(Map* owner, const std::string& name, const std::string& path, bool use_image = true) {
        LayerProperties l = make_default_layer(project, defaults, owner->unique_id);
        l.name = name;
        l.use_background_image = use_image;
        l.background_image_path_and_file_name = path;
        return add_layer(project, l, false, &platform);
    }

    test::TempDir home;
    std::filesystem::path art = home.path() / "art";      // where the project said the images were
    std::filesystem::path moved = home.path() / "moved";  // where they are now
    SearchPlatform platform;
    ProjectDefaults defaults;
    Project project;
};

TEST_F(MissingResourcesTest, NothingMissingShowsNoDialog) {
    test::write_bmp(art / "tiles.bmp", 4, 0x0000FF);
    ASSERT_TRUE(tile_set("Loaded", (art / "tiles.bmp").string()));
    TileSet* no_path = tile_set("NoPath", "");
    ASSERT_TRUE(no_path->image.empty());
    // A layer that does not use its background image is not missing its picture.
    layer(map("Map01"), "Off", (art / "gone.bmp").string(), false);
    EXPECT_EQ(count_missing_resources(project), 0u);

    bool shown = false;
    EXPECT_EQ(check_missing_resources(project, platform, "/p/project.xml",
                                      [&](MissingResourcesSearch&) { return shown = true; }),
              ResourceCheckOutcome::NoneMissing);
    EXPECT_FALSE(shown);
    EXPECT_FALSE(project.modified);
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(MissingResourcesTest, OutcomeCodesFollowTheDialog) {
    tile_set("Gone", (art / "gone.bmp").string());
    EXPECT_EQ(static_cast<int>(check_missing_resources(project, platform, "", [](auto&) { return true; })),
              6);
    EXPECT_EQ(static_cast<int>(check_missing_resources(project, platform, "", [](auto&) { return false; })),
              2);
    EXPECT_EQ(static_cast<int>(ResourceCheckOutcome::NoneMissing), 7);
}

TEST_F(MissingResourcesTest, ListGroupsMissingObjectsUnderHeaders) {
    test::write_bmp(art / "here.bmp", 2, 0);
    tile_set("Ground", "C:\\old\\ground.bmp");
    tile_set("Here", (art / "here.bmp").string());
    tile_set("Sky", "sky.png");
    entity("Hero", "/old/hero.tga");
    Map* first = map("Level1");
    layer(first, "Back", "/old/back.bmp");
    layer(first, "Front", "");
    Map* second = map("Level2");
    layer(second, "Far", "/old/far.bmp");

    std::vector<std::string> lines;
    const ResourceCheckOutcome outcome = check_missing_resources(project, platform, (art / "p.xml").string(),
                                                                 [&](MissingResourcesSearch& search) {
                                                                     lines = search.lines();
                                                                     return true;
                                                                 });
    EXPECT_EQ(outcome, ResourceCheckOutcome::Accepted);
    EXPECT_EQ(lines, (std::vector<std::string>{"Tile Sets:", "[Ground] C:\\old\\ground.bmp", "[Sky] sky.png",
                                               " ", "Entities:", "[Hero] /old/hero.tga", " ",
                                               "Layer backgrounds:", "[Level1:Back] /old/back.bmp",
                                               "[Level2:Far] /old/far.bmp", " "}));
    EXPECT_EQ(count_missing_resources(project), 5u);
}

TEST_F(MissingResourcesTest, SearchFindsSomeAndListsTheRest) {
    test::write_bmp(moved / "ground.bmp", 3, kMagenta);
    test::write_bmp(moved / "hero.bmp", 5, 0x123456);
    test::write_bmp(moved / "back.bmp", 2, 0);
    TileSetProperties keyed = make_default_tile_set(project, defaults);
    keyed.name = "Ground";
    keyed.image_path_and_file_name = "C:\\old\\ground.bmp";
    keyed.use_transparent_colour = true;
    keyed.transparent_colour = kMagenta;
    TileSet* ground = add_tile_set(project, keyed, false, &platform);
    tile_set("Water", (art / "water.bmp").string());
    ParentEntity* hero = entity("Hero", (art / "hero.bmp").string());
    entity("Ghost", (art / "ghost.bmp").string());
    Layer* back = layer(map("Level1"), "Back", (art / "back.bmp").string());

    MissingResourcesSearch search(project, platform, moved.string());
    EXPECT_EQ(search.scan(true, false), 5u);
    EXPECT_EQ(search.scan(true, true), 2u);
    EXPECT_EQ(search.lines(),
              (std::vector<std::string>{"Tile Sets:", "[Water] " + (art / "water.bmp").string(), " ",
                                        "Entities:", "[Ghost] " + (art / "ghost.bmp").string(), " "}));

    EXPECT_EQ(ground->image_path_and_file_name.str(), (moved / "ground.bmp").string());
    ASSERT_FALSE(ground->image.empty());
    EXPECT_EQ(ground->image.row(0)[3], 0);  // the tile set's own transparent colour keyed out
    EXPECT_EQ(hero->image_path_and_file_name.str(), (moved / "hero.bmp").string());
    EXPECT_EQ(hero->pixel_width, 5u);
    EXPECT_EQ(back->background_image_path_and_file_name.str(), (moved / "back.bmp").string());
    EXPECT_FALSE(back->background_image.empty());
    EXPECT_EQ(count_missing_resources(project), 2u);

    // A scan without resetting the list counts but keeps the lines.
    const std::vector<std::string> before = search.lines();
    EXPECT_EQ(search.scan(false, false), 2u);
    EXPECT_EQ(search.lines(), before);
}

TEST_F(MissingResourcesTest, FolderWithAndWithoutSeparatorSearchTheSamePlace) {
    test::write_bmp(moved / "a.bmp", 1, 0);
    for (const std::string& folder : {moved.string(), moved.string() + "/"}) {
        Project fresh;
        TileSetProperties t = make_default_tile_set(fresh, defaults);
        t.image_path_and_file_name = "/nowhere/a.bmp";
        TileSet* set = add_tile_set(fresh, t, false, &platform);
        MissingResourcesSearch search(fresh, platform, folder);
        EXPECT_EQ(search.scan(true, true), 0u) << folder;
        EXPECT_EQ(set->image_path_and_file_name.str(), (moved / "a.bmp").string()) << folder;
        EXPECT_TRUE(search.lines().empty());
    }
    EXPECT_EQ(with_trailing_separator(""), "");
    EXPECT_EQ(with_trailing_separator("/x"), "/x/");
    EXPECT_EQ(with_trailing_separator("/x/"), "/x/");
    EXPECT_EQ(with_trailing_separator("C:\\x\\"), "C:\\x\\");
    EXPECT_EQ(search_path_for("/f/", "C:\\a\\b.png"), "/f/b.png");
    EXPECT_EQ(search_path_for("/f/", "d/e.tga"), "/f/e.tga");
    EXPECT_EQ(search_path_for("/f/", "plain.bmp"), "/f/plain.bmp");
}

TEST_F(MissingResourcesTest, FailedLoadsLeaveTheObjectAsItWas) {
    std::ofstream(moved / "broken.bmp") << "BM not really";
    const std::string stored = (art / "broken.bmp").string();
    TileSet* set = tile_set("Broken", stored);
    // A joined path longer than a stored path may be is not tried.
    const std::string long_name(250, 'n');
    TileSet* long_one = tile_set("Long", "/x/" + long_name + ".bmp");
    MissingResourcesSearch search(project, platform, moved.string());
    EXPECT_EQ(search.scan(true, true), 2u);
    EXPECT_EQ(set->image_path_and_file_name.str(), stored);
    EXPECT_TRUE(set->image.empty());
    EXPECT_EQ(long_one->image_path_and_file_name.str(), "/x/" + long_name + ".bmp");
    EXPECT_TRUE(platform.shown.empty());  // no message for a failed load
}

TEST_F(MissingResourcesTest, EmptyFolderOnlyReportedByRefresh) {
    tile_set("Gone", (art / "gone.bmp").string());
    MissingResourcesSearch search(project, platform);
    EXPECT_EQ(search.scan(true, true), 1u);  // reloading switched off
    EXPECT_TRUE(platform.shown.empty());
    int list_changes = 0;
    search.on_list_changed = [&] { ++list_changes; };
    EXPECT_EQ(search.refresh(), 1u);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Select a valid path to search.");
    EXPECT_EQ(list_changes, 0);
}

TEST_F(MissingResourcesTest, BrowseAsksBeforeSearching) {
    test::write_bmp(moved / "gone.bmp", 1, 0);
    TileSet* set = tile_set("Gone", (art / "gone.bmp").string());
    std::string field;
    MissingResourcesSearch search(project, platform, {}, art.string() + "/");
    search.on_folder_changed = [&] { field = search.folder(); };

    // The chooser cancelled: nothing happens.
    EXPECT_FALSE(search.browse());
    ASSERT_EQ(platform.folder_titles.size(), 1u);
    EXPECT_EQ(platform.folder_titles[0], "Search for resources:");
    EXPECT_EQ(platform.folder_starts[0], art.string() + "/");
    EXPECT_TRUE(platform.shown.empty());

    // Chosen, then No: the folder is set but not searched.
    platform.next_folder = moved.string();
    platform.answers = {Answer::No};
    EXPECT_TRUE(search.browse());
    EXPECT_EQ(field, moved.string() + "/");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Search again?");
    EXPECT_EQ(platform.shown[0].caption, "Search?");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(set->image.empty());

    // Again with Yes: searched. The chooser opens in the current search folder.
    platform.answers = {Answer::Yes};
    EXPECT_TRUE(search.browse());
    EXPECT_EQ(platform.folder_starts[2], moved.string() + "/");
    EXPECT_FALSE(set->image.empty());
    EXPECT_TRUE(search.lines().empty());
}

TEST_F(MissingResourcesTest, EditedFolderAsksOnlyWhenItChanged) {
    test::write_bmp(moved / "gone.bmp", 1, 0);
    TileSet* set = tile_set("Gone", (art / "gone.bmp").string());
    MissingResourcesSearch search(project, platform);
    int changes = 0;
    search.on_folder_changed = [&] { ++changes; };

    EXPECT_FALSE(search.folder_edited(""));
    platform.answers = {Answer::Yes};
    EXPECT_TRUE(search.folder_edited(moved.string()));
    EXPECT_EQ(search.folder(), moved.string() + "/");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(set->image.empty());
    // The same place typed with or without the separator is not a change.
    EXPECT_FALSE(search.folder_edited(moved.string()));
    EXPECT_FALSE(search.folder_edited(moved.string() + "/"));
    EXPECT_EQ(platform.shown.size(), 1u);
}

TEST_F(MissingResourcesTest, StartFolderIsCut) {
    MissingResourcesSearch search(project, platform, std::string(400, 'f'));
    EXPECT_EQ(search.folder().size(), kSearchFolderMaxLength);
    search.set_folder(std::string(300, 'g'));
    EXPECT_EQ(search.folder().size(), kSearchFolderMaxLength);
}

}  // namespace
}  // namespace zorva
