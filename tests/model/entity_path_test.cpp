#include <gtest/gtest.h>

#include "model/project.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"

namespace zorva {
namespace {

TEST(ParentEntities, FramesUseTheTileRule) {
    ParentEntityProperties entity;
    entity.pixel_width = 64;
    entity.pixel_height = 32;
    entity.single_frame_pixel_width = 16;
    entity.single_frame_pixel_height = 16;
    const TileCount frames = count_frames(entity);
    EXPECT_EQ(frames.across, 4u);
    EXPECT_EQ(frames.down, 2u);
    EXPECT_EQ(frames.count, 8u);
    PixelPosition position;
    ASSERT_TRUE(frame_position(entity, 5, position));
    EXPECT_EQ(position.x, 16);
    EXPECT_EQ(position.y, 16);
}

TEST(ParentEntities, SanitiseClampsTriggersAndPreviewFrame) {
    ParentEntityProperties entity;
    entity.pixel_width = 64;
    entity.pixel_height = 32;
    entity.single_frame_pixel_width = 16;
    entity.single_frame_pixel_height = 16;
    entity.preview_anima_frame = 9;
    entity.default_circle_trigger_radius = 2;
    entity.default_rectangle_trigger_width = 0;
    entity.default_rectangle_trigger_height = 5;
    sanitise_parent_entity(entity);
    EXPECT_EQ(entity.preview_anima_frame, 7);
    EXPECT_EQ(entity.default_circle_trigger_radius, 4u);
    EXPECT_EQ(entity.default_rectangle_trigger_width, 4u);
    EXPECT_EQ(entity.default_rectangle_trigger_height, 5u);

    entity.preview_anima_frame = -3;
    sanitise_parent_entity(entity);
    EXPECT_EQ(entity.preview_anima_frame, 0);

    entity.single_frame_pixel_width = 100;  // no frames
    entity.preview_anima_frame = 3;
    sanitise_parent_entity(entity);
    EXPECT_EQ(entity.preview_anima_frame, 0);
}

TEST(ParentEntities, WithoutAnImageTheStoredSizeCounts) {
    Project project;
    ParentEntityProperties tmpl = make_default_parent_entity(project, ProjectDefaults{});
    tmpl.image_path_and_file_name = "/nonexistent/entity.png";
    tmpl.pixel_width = 96;
    tmpl.pixel_height = 32;
    ParentEntity* entity = add_parent_entity(project, tmpl, false, nullptr);
    ASSERT_NE(entity, nullptr);
    EXPECT_TRUE(entity->image.empty());
    EXPECT_EQ(entity->pixel_width, 96u);
    EXPECT_EQ(count_frames(*entity).count, 3u);
}

TEST(ParentEntities, TemplateTakesProjectTriggersAndFrameDefaults) {
    Project project;
    project.default_entity_trigger_radius = 20;
    project.default_entity_trigger_width = 2;  // below the minimum
    ProjectDefaults defaults;
    defaults.frame_width = 24;
    defaults.frame_spacing_y = 3;
    defaults.entity_use_transparent_colour = true;
    const ParentEntityProperties entity = make_default_parent_entity(project, defaults);
    EXPECT_EQ(entity.name, "Entity01");
    EXPECT_EQ(entity.default_circle_trigger_radius, 20u);
    EXPECT_EQ(entity.default_rectangle_trigger_width, 4u);
    EXPECT_EQ(entity.single_frame_pixel_width, 24);
    EXPECT_EQ(entity.space_between_frames_pixel_y, 3);
    EXPECT_TRUE(entity.use_transparent_colour);
    ProjectDefaults stored;
    store_parent_entity_defaults(stored, entity);
    EXPECT_EQ(stored.frame_width, 24);
    EXPECT_TRUE(stored.entity_use_transparent_colour);
}

TEST(ParentEntities, RemoveSelectsTheFirstAndLeavesInstances) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    Project& project = setup.project;
    ParentEntity* a = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    ParentEntity* b = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    ASSERT_NE(add_instance_entity(
                  project, make_instance_entity(*b, setup.map->unique_id, setup.layer->unique_id, 1, 2),
                  false, nullptr),
              nullptr);
    project.select_parent_entity(b->unique_id);
    remove_parent_entity(project, b, true);
    EXPECT_EQ(project.selected_parent_entity(), a);
    EXPECT_EQ(setup.layer->instance_entities.size(), 1u);
}

TEST(InstanceEntities, AddReportsWhatIsMissing) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    Project& project = setup.project;
    ParentEntityProperties parent_tmpl;
    parent_tmpl.default_circle_trigger_radius = 30;
    ParentEntity* parent = add_parent_entity(project, parent_tmpl, false, nullptr);

    AddFailure failure = AddFailure::None;
    InstanceEntity tmpl =
        make_instance_entity(*parent, setup.map->unique_id, setup.layer->unique_id, 3.5f, 4.0f);
    EXPECT_EQ(tmpl.tcr, 30u);
    tmpl.pid = 99;
    EXPECT_EQ(add_instance_entity(project, tmpl, false, nullptr, &failure), nullptr);
    EXPECT_EQ(failure, AddFailure::ParentMissing);
    tmpl.pid = parent->unique_id;
    tmpl.layer_id = 42;
    EXPECT_EQ(add_instance_entity(project, tmpl, false, nullptr, &failure), nullptr);
    EXPECT_EQ(failure, AddFailure::LayerMissing);

    tmpl.layer_id = setup.layer->unique_id;
    tmpl.custom_variables[99] = -12;
    tmpl.fv = true;
    InstanceEntity* entity = add_instance_entity(project, tmpl, false, nullptr, &failure);
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(failure, AddFailure::None);
    EXPECT_EQ(entity->uid, 0u);
    EXPECT_EQ(entity->px, 3.5f);
    EXPECT_TRUE(entity->fv);
    EXPECT_EQ(entity->custom_variables[99], -12);
    EXPECT_EQ(project.next_instance_entity_id, 1u);
    EXPECT_EQ(find_instance_entity(*setup.layer, 0), entity);
}

TEST(InstanceEntities, ListSnapshotsRestoreDeepCopies) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    ParentEntity* parent = add_parent_entity(setup.project, ParentEntityProperties{}, false, nullptr);
    for (int i = 0; i < 3; ++i)
        add_instance_entity(setup.project,
                            make_instance_entity(*parent, setup.map->unique_id, setup.layer->unique_id,
                                                 static_cast<float>(i), 0),
                            false, nullptr);
    const std::vector<InstanceEntity> before = copy_instance_entities(*setup.layer);
    setup.layer->instance_entities[1]->px = 100;
    remove_instance_entity(*setup.layer, setup.layer->instance_entities[0].get(), true);
    ASSERT_TRUE(restore_instance_entities(*setup.layer, before));
    ASSERT_EQ(setup.layer->instance_entities.size(), 3u);
    EXPECT_EQ(setup.layer->instance_entities[1]->px, 1.0f);
    EXPECT_EQ(setup.layer->instance_entities[0]->uid, 0u);
}

PathPoint make_point(const test::TestProject& setup, std::uint32_t flags, float x) {
    PathPoint point;
    point.map_id = setup.map->unique_id;
    point.layer_id = setup.layer->unique_id;
    point.flags = flags;
    point.px = x;
    return point;
}

TEST(Paths, StartsCountPathsAndRangesRunToTheEndMark) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    Project& project = setup.project;
    add_path_point(project, make_point(setup, kPathPointStartsPath | kPathPointIsClosed, 1), false,
                   nullptr);                                                            // A
    add_path_point(project, make_point(setup, 0, 2), false, nullptr);                   // B
    add_path_point(project, make_point(setup, kPathPointEndsPath, 3), false, nullptr);  // C
    add_path_point(project, make_point(setup, kPathPointStartsPath | kPathPointEndsPath, 4), false,
                   nullptr);  // D
    EXPECT_EQ(setup.layer->path_point_count(), 4u);
    EXPECT_EQ(setup.layer->path_count(), 2u);
    const std::vector<PathRange> paths = path_ranges(*setup.layer);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0].first, 0u);
    EXPECT_EQ(paths[0].last, 2u);
    EXPECT_TRUE(setup.layer->path_points[paths[0].first]->is_closed());
    EXPECT_EQ(paths[1].first, 3u);
    EXPECT_EQ(paths[1].size(), 1u);
    EXPECT_EQ(setup.map->path_count(), 2u);
}

TEST(Paths, RunsWithoutAnEndMarkStopBeforeTheNextStart) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    Project& project = setup.project;
    add_path_point(project, make_point(setup, 0, 0), false, nullptr);  // stray point
    add_path_point(project, make_point(setup, kPathPointStartsPath, 1), false, nullptr);
    add_path_point(project, make_point(setup, 0, 2), false, nullptr);
    add_path_point(project, make_point(setup, kPathPointStartsPath, 3), false, nullptr);
    const std::vector<PathRange> paths = path_ranges(*setup.layer);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0].first, 1u);
    EXPECT_EQ(paths[0].last, 2u);
    EXPECT_EQ(paths[1].first, 3u);
    EXPECT_EQ(paths[1].last, 3u);
}

TEST(Paths, PointsInsertAfterAGivenPointAndKeepTheirFlags) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    Project& project = setup.project;
    PathPoint* a = add_path_point(project, make_point(setup, kPathPointStartsPath, 1), false, nullptr);
    add_path_point(project, make_point(setup, kPathPointEndsPath, 3), false, nullptr);
    PathPoint middle = make_point(setup, kPathPointUsesControlPoints | 0x100u, 2);
    middle.cx2 = 7;
    PathPoint* b = add_path_point(project, middle, false, nullptr, a);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(setup.layer->path_points.size(), 3u);
    EXPECT_EQ(setup.layer->path_points[1].get(), b);
    EXPECT_EQ(b->flags, kPathPointUsesControlPoints | 0x100u);
    EXPECT_TRUE(b->ucp());
    EXPECT_EQ(b->cx2, 7.0f);
    EXPECT_EQ(b->uid, 2u);

    PathPoint orphan = middle;
    orphan.map_id = 50;
    EXPECT_EQ(add_path_point(project, orphan, false, nullptr), nullptr);

    const std::vector<PathPoint> before = copy_path_points(*setup.layer);
    remove_path_point(*setup.layer, b, true);
    EXPECT_EQ(setup.layer->path_points.size(), 2u);
    ASSERT_TRUE(restore_path_points(*setup.layer, before));
    EXPECT_EQ(setup.layer->path_points[1]->uid, 2u);
}

}  // namespace
}  // namespace zorva
