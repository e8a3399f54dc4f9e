#include "projectfile/xml_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"
#include "xml_test_support.h"

namespace zorva {
namespace {

using test::crlf_lines;

std::string document(const Project& project, const std::string& file_name = "/work/levels/game.xml") {
    const std::tm date = test::test_date();
    return xml_document_text(project, file_name, &date);
}

// The lines from the first one equal to `from` up to and including the first later one equal to `to`.
std::vector<std::string> section(const std::vector<std::string>& lines, const std::string& from,
                                 const std::string& to) {
    const auto begin = std::find(lines.begin(), lines.end(), from);
    if (begin == lines.end()) return {};
    const auto end = std::find(begin, lines.end(), to);
    if (end == lines.end()) return {};
    return std::vector<std::string>(begin, end + 1);
}

TEST(XmlWriter, EmptyProjectHeadAndPropertiesLineForLine) {
    Project project;
    const std::string text = document(project);
    // Every line ends in CR LF; there is no bare LF.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    const std::string expected_head =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
        "<!-- Created with Zorva  1.0.4  on  09-03-2011. -->\r\n"
        "<project>\r\n"
        "\r\n"
        "<!-- Project Properties -->\r\n"
        "<!-- ================== -->\r\n"
        "<!-- \r\n"
        "\tNotes:\r\n"
        "\t1: Object ids are unsigned 32-bits. Invalid ids are represented as \"0xFFFFFFFF\" or "
        "\"4294967295\". \r\n"
        "\t2: Boolean variables can be represented as \"true\", \"false\", \"TRUE\", \"FALSE\", \"1\" or "
        "\"0\". \r\n"
        "\t\tIt is not case sensitive. \r\n"
        "\t3: If \"use_export_dll_in_exporters_folder\" is false then \"last_used_exporter_dll_file_name\" "
        "\r\n"
        "\t\tcontains the path and file name. If it is true then \"last_used_exporter_dll_file_name\" only "
        "\r\n"
        "\t\tcontains the file name. \r\n"
        "\t4: The \"did_XXX_id_overflow\" is true when the object type's \"next_XXX_id\" has been greater "
        "\r\n"
        "\t\tthan 4294967295 and overflows back to 0.\r\n"
        "\t5. Grid format description: <grid>T,H,V,R,A</grid>\r\n"
        "\t\tT,H,V,R and A represent the following values:\r\n"
        "\t\tT = tile index,  H = flip horizontal,  V = flip vertical,  R = rotate,  A = attribute\r\n"
        "\t6. Mosaic attributes descriptions:  uid = unique id,  gw = grid width,  gh = grid_height\r\n"
        "\t7. Instance entities attribute descriptions:  uid = unique id,  pid = parent entity id,\r\n"
        "\t\tpx = pixel position on layer x,  py = pixel position on layer y,\r\n"
        "\t\tfh = flip horizontal,  fv = flip vertical,  ro = rotate,\r\n"
        "\t\ttcr = trigger circle radius,  trw = trigger rectangle width,  trh = trigger_rectangle_height\r\n"
        "\t8. Path point attributes descriptions: \tuid = unique id,  ucp = use control points,  px = point "
        "X,  "
        "py = point Y,\r\n"
        "\t\tcx1 = first control point X,  cy1 = first control point Y,  cx2 = second control point X,  "
        "cy2 = second control point Y\r\n"
        "\t9. The first released project version was 110.\r\n"
        "-->\r\n"
        "<project_properties\r\n"
        "\r\n"
        "\tversion=\"118\"\r\n"
        "\r\n"
        "\tnext_tile_set_id=\"0\"\r\n"
        "\tnext_map_id=\"0\"\r\n"
        "\tnext_layer_id=\"0\"\r\n"
        "\tnext_parent_entity_id=\"0\"\r\n"
        "\tnext_instance_entity_Id=\"0\"\r\n"
        "\tnext_path_point_id=\"0\"\r\n"
        "\r\n"
        "\tdid_tile_set_id_overflow=\"false\"\r\n"
        "\tdid_map_id_overflow=\"false\"\r\n"
        "\tdid_layer_id_overflow=\"false\"\r\n"
        "\tdid_parent_entity_id_overflow=\"false\"\r\n"
        "\tdid_instance_entity_id_overflow=\"false\"\r\n"
        "\tdid_path_point_id_overflow=\"false\"\r\n"
        "\r\n"
        "\tselected_tile_set_id=\"0xFFFFFFFF\"\r\n"
        "\tselected_map_id=\"0xFFFFFFFF\"\r\n"
        "\tselected_layer_id=\"0xFFFFFFFF\"\r\n"
        "\tselected_parent_entity_id=\"0xFFFFFFFF\"\r\n"
        "\r\n"
        "\tzoom=\"100\"\r\n"
        "\tuse_export_dll_in_exporters_folder=\"true\"\r\n"
        "\tdefault_entity_trigger_radius=\"16\"\r\n"
        "\tdefault_entity_trigger_width=\"16\"\r\n"
        "\tdefault_entity_trigger_height=\"16\"\r\n"
        "\tlast_used_exporter_dll_file_name=\"\"\r\n"
        "\tlast_used_exporter_dll_relative_file_name=\"\"\r\n"
        "\tlast_used_export_output_path_and_file_name=\"\"\r\n"
        "\tlast_used_export_output_relative_path_and_file_name=\"\"\r\n"
        "\tlast_used_exporter_dll_path_and_file_name_not_in_exporters_folder=\"\"\r\n"
        "\tlast_used_exporter_dll_relative_path_and_file_name_not_in_exporters_folder=\"\"\r\n"
        "\tlast_used_image_tile_set_path=\"\"\r\n"
        "\tlast_used_image_tile_set_relative_path=\"\"\r\n"
        "\tlast_used_image_parent_entity_path=\"\"\r\n"
        "\tlast_used_image_parent_entity_relative_path=\"\"\r\n"
        "\tlast_used_image_layer_background_path=\"\"\r\n"
        "\tlast_used_image_layer_background_relative_path=\"\"\r\n"
        "\r\n"
        "\tfile_name=\"/work/levels/game.xml\"\r\n"
        ">\r\n"
        "</project_properties>\r\n"
        "\r\n"
        "\r\n"
        "<!-- Custom Variable Descriptions -->\r\n"
        "<!-- ============================ -->\r\n"
        "<!-- Zorva version 1 only supports 10 custom variables per object type. -->\r\n"
        "<!-- Note: The \"use_bits\" boolean values indicates if bit flags must be used for the custom "
        "variables.  -->\r\n"
        "<custom_variable_descriptions>\r\n"
        "\r\n"
        "\t<cvdesc_tile_set\tuse_bits=\"false\"\tdesc=\"Variable01\"></cvdesc_tile_set>\r\n";
    ASSERT_EQ(text.substr(0, expected_head.size()), expected_head);

    const std::string expected_tail =
        "\t<cvdesc_path_point\tuse_bits=\"false\"\tdesc=\"Variable100\"></cvdesc_path_point>\r\n"
        "\r\n"
        "</custom_variable_descriptions>\r\n"
        "\r\n"
        "\r\n"
        "<!-- Tile Sets -->\r\n"
        "<!-- ========= -->\r\n"
        "<!-- Number of tile sets: 0 -->\r\n"
        "<all_tile_sets>\r\n"
        "</all_tile_sets>\r\n"
        "\r\n"
        "\r\n"
        "<!-- Parent Entities -->\r\n"
        "<!-- =============== -->\r\n"
        "<!-- Number of parent entities: 0 -->\r\n"
        "<all_parent_entities>\r\n"
        "</all_parent_entities>\r\n"
        "\r\n"
        "\r\n"
        "<!-- Maps -->\r\n"
        "<!-- ==== -->\r\n"
        "<!-- Number of maps: 0 -->\r\n"
        "<all_maps>\r\n"
        "</all_maps>\r\n"
        "\r\n"
        "\r\n"
        "\r\n"
        "</project>\r\n"
        "\r\n"
        "\r\n";
    ASSERT_GE(text.size(), expected_tail.size());
    EXPECT_EQ(text.substr(text.size() - expected_tail.size()), expected_tail);

    // 600 description lines between the two.
    const auto lines = crlf_lines(text);
    const auto descriptions =
        section(lines, "<custom_variable_descriptions>", "</custom_variable_descriptions>");
    EXPECT_EQ(std::count_if(descriptions.begin(), descriptions.end(),
                            [](const std::string& line) { return line.starts_with("\t<cvdesc_"); }),
              600);
    EXPECT_NE(
        std::find(lines.begin(), lines.end(),
                  "\t<cvdesc_instance_entity\tuse_bits=\"false\"\tshow_in_view=\"false\"\tshow_desc_in_view="
                  "\"false\"\tdesc=\"Variable07\"></cvdesc_instance_entity>"),
        lines.end());
}

TEST(XmlWriter, CreationCommentWithoutDate) {
    Project project;
    const std::string text = xml_document_text(project, "/a.xml", nullptr);
    EXPECT_EQ(crlf_lines(text)[1], "<!-- Created with Zorva  1.0.4. -->");
}

TEST(XmlWriter, EscapesTextsAndKeepsHyphensOutOfComments) {
    Project project = test::make_rich_project();
    const auto lines = crlf_lines(document(project));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("\t\t\tname=\"Ground &amp; &lt;Sky&gt;\""));
    EXPECT_TRUE(has("\t\t\t<cvar\tval=\"it&apos;s &quot;quoted&quot;\"></cvar>"));
    // The name keeps its two hyphens; the header comments turn them into underscores.
    EXPECT_TRUE(has("\t\t\tname=\"Door--Trigger\""));
    EXPECT_TRUE(has("\t<!-- Parent entity # 1 (id: 0,  userid: 0,  name: Door__Trigger) -->"));
    EXPECT_TRUE(
        has("\t\t\t\t\t<!-- Instance entity # 1 (id:0,  parent: Door__Trigger,  x:12.50000,  y:-3.75000) "
            "-->"));
    EXPECT_TRUE(has("\t<!-- Tile set # 1 (id: 0,  userid: 7,  name: Ground & <Sky>) -->"));
}

TEST(XmlWriter, ValueForms) {
    Project project = test::make_rich_project();
    project.parent_entities[0]->pixel_width = 0xFFFFFFFFu;  // a "%lu" field has no special case
    const auto lines = crlf_lines(document(project));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("\t\t\tpixel_width=\"4294967295\""));
    EXPECT_TRUE(has("\t\t\tfirst_tile_offset_pixel_x=\"0xFFFFFFFF\""));  // id form of -1
    EXPECT_TRUE(has("\t\t\tselected_mosaic_id=\"0xFFFFFFFF\""));
    EXPECT_TRUE(has("\t\t\tcamera_grid_position_x=\"-3\""));
    EXPECT_TRUE(has("\t\t\tpixel_size_of_tiles_in_tiles_dialog=\"-1\""));
    EXPECT_TRUE(has("\t\t\ttransparent_colour_red=\"255\""));
    EXPECT_TRUE(has("\t\t\ttransparent_colour_green=\"0\""));
    EXPECT_TRUE(has("\t\t\ttransparent_colour_blue=\"255\""));
    EXPECT_TRUE(has("\t\t\t\t\tscroll_speed_x=\"1.50000\""));
    EXPECT_TRUE(has("\t\t\t\t\tscroll_speed_y=\"-0.25000\""));
    EXPECT_TRUE(has("\t\t\t\t\topacity=\"128\""));
    EXPECT_TRUE(has("\t\t\t\t\tbackground_colour_red=\"48\""));
    EXPECT_TRUE(has("\tzoom=\"250\""));
    EXPECT_TRUE(has("\tselected_layer_id=\"1\""));
    EXPECT_TRUE(has("\t\t\t\t<mosaic_properties\tuid=\"0\"\tgw=\"3\"\tgh=\"2\"></mosaic_properties>"));
    EXPECT_TRUE(has("\t\t\t\t\t<grid>1,0,0,0,0</grid>\t<grid>2,0,0,0,0</grid>\t<grid>3,0,0,0,0</grid>"));
    EXPECT_TRUE(has("\t\t\t\t\t<grid>4,0,0,0,0</grid>\t<grid>5,0,0,0,0</grid>\t<grid>6,1,0,1,200</grid>"));
    EXPECT_TRUE(
        has("\t\t\t\t\t\t\tuid=\"0\"\tpid=\"0\"\tpx=\"12.50000\"\tpy=\"-3.75000\"\tfh=\"1\"\tfv=\"0\"\tro="
            "\"0\""));
    EXPECT_TRUE(has("\t\t\t\t\t\t\ttcr=\"16\"\ttrw=\"16\"\ttrh=\"16\""));
    EXPECT_TRUE(has("\t\t\t\t\t\t\t<cvar val=\"-32768\"></cvar>\t<cvar val=\"0\"></cvar>"));
    EXPECT_TRUE(has("\t\t\t\t\t\t\t<cvar val=\"0\"></cvar>\t<cvar val=\"32767\"></cvar>"));
    EXPECT_TRUE(
        has("\t\t\t\t\t\t\t<point uid=\"1\" ucp=\"1\" px=\"10.00000\" py=\"5.00000\" cx1=\"1.25000\" "
            "cy1=\"0.00000\" cx2=\"0.00000\" cy2=\"-2.50000\">"));
    EXPECT_TRUE(has("\t<cvdesc_tile_set\tuse_bits=\"true\"\tdesc=\"Variable01\"></cvdesc_tile_set>"));
    EXPECT_TRUE(
        has("\t<cvdesc_instance_entity\tuse_bits=\"false\"\tshow_in_view=\"true\"\tshow_desc_in_view="
            "\"false\"\tdesc=\"Health\"></cvdesc_instance_entity>"));

    // A cell whose tile is 0xFFFFFFFF is written in the id form.
    project.maps[0]->layers[0]->grid[0].tile = 0xFFFFFFFFu;
    const std::string text = document(project);
    EXPECT_NE(text.find("\t\t\t\t\t<grid>0xFFFFFFFF,1,1,1,0</grid>\t"), std::string::npos);
}

TEST(XmlWriter, FiveByTwoGridLayout) {
    Project project = test::make_rich_project();
    const auto lines = crlf_lines(document(project));
    const auto grid = section(lines, "\t\t\t\t<layer_grid>", "\t\t\t\t</layer_grid>");
    ASSERT_EQ(grid.size(), 7u);
    EXPECT_EQ(grid[1],
              "\t\t\t\t\t<grid>0,1,1,1,0</grid>\t<grid>3,0,0,0,20</grid>\t<grid>6,1,0,0,40</grid>\t"
              "<grid>9,0,1,0,60</grid>");
    EXPECT_EQ(grid[2], "\t\t\t\t\t<grid>12,1,0,0,80</grid>");
    EXPECT_EQ(grid[3], "");
    EXPECT_EQ(grid[4].substr(0, 5), "\t\t\t\t\t");
    EXPECT_EQ(std::count(grid[4].begin(), grid[4].end(), '\t'), 8);
    EXPECT_EQ(grid[5], "\t\t\t\t\t<grid>27,0,1,0,180</grid>");
    // A blank line follows the grid twice before the instance entity section.
    const auto after = std::find(lines.begin(), lines.end(), "\t\t\t\t</layer_grid>");
    EXPECT_EQ(*(after + 1), "");
    EXPECT_EQ(*(after + 2), "");
    EXPECT_EQ(*(after + 3), "\t\t\t\t<!-- Instance Entities -->");
}

TEST(XmlWriter, PathsOpenAndCloseAroundTheirPoints) {
    Project project = test::make_rich_project();
    const auto lines = crlf_lines(document(project));
    const auto paths = section(lines, "\t\t\t\t<all_layer_paths>", "\t\t\t\t</all_layer_paths>");
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths[1], "");
    EXPECT_EQ(paths[2], "\t\t\t\t\t<!-- Path # 1 -->");
    EXPECT_EQ(paths[3], "\t\t\t\t\t<path>");
    EXPECT_EQ(paths[4], "\t\t\t\t\t\t<!-- Properties -->");
    EXPECT_EQ(paths[5], "\t\t\t\t\t\t<path_properties\tis_closed=\"false\"></path_properties>");
    EXPECT_EQ(paths[6], "\t\t\t\t\t\t<!-- Points -->");
    EXPECT_EQ(paths[7], "\t\t\t\t\t\t<path_points>");
    EXPECT_EQ(paths[9], "\t\t\t\t\t\t\t\t<point_custom_variables>");
    EXPECT_EQ(paths[10], "\t\t\t\t\t\t\t\t\t<cvar val=\"0\"></cvar>\t<cvar val=\"0\"></cvar>");
    EXPECT_EQ(paths[11], "\t\t\t\t\t\t\t\t\t<cvar val=\"0\"></cvar>\t<cvar val=\"-2\"></cvar>");
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "\t\t\t\t\t\t\t</point>"), 4);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "\t\t\t\t\t</path>"), 2);
    EXPECT_EQ(paths[paths.size() - 2], "");
    EXPECT_NE(std::find(paths.begin(), paths.end(),
                        "\t\t\t\t\t\t<path_properties\tis_closed=\"true\"></path_properties>"),
              paths.end());
    const auto comment = std::find(lines.begin(), lines.end(), "\t\t\t\t<!-- Number of paths: 2 -->");
    EXPECT_NE(comment, lines.end());
}

TEST(XmlWriter, OrphanedInstancesCountedButNotWritten) {
    Project project = test::make_rich_project();
    Layer& layer = *project.maps[0]->layers[0];
    ASSERT_EQ(layer.instance_entities.size(), 1u);
    InstanceEntity orphan = *layer.instance_entities[0];
    orphan.uid = 99;
    layer.instance_entities.push_back(std::make_unique<InstanceEntity>(orphan));
    layer.instance_entities.back()->pid = 42;  // no such parent
    const auto lines = crlf_lines(document(project));
    const auto section_lines = section(lines, "\t\t\t\t<!-- Number of instance entities: 2 -->",
                                       "\t\t\t\t</all_layer_instance_entities>");
    ASSERT_FALSE(section_lines.empty());
    EXPECT_EQ(std::count(section_lines.begin(), section_lines.end(), "\t\t\t\t\t<instance_entity>"), 1);
}

TEST(XmlWriter, SavesThroughATemporaryFileAndTakesTheName) {
    test::TempDir dir;
    const std::string path = dir.file("game.xml");
    Project project = test::make_rich_project();
    std::string error;
    ASSERT_TRUE(write_xml_project(path, project, false, &error)) << error;
    EXPECT_EQ(project.path_and_file_name.view(), path);
    const std::string text = test::read_file(path);
    EXPECT_EQ(text.substr(text.size() - 16), "</project>\r\n\r\n\r\n");
    EXPECT_NE(text.find("\tfile_name=\"" + path + "\"\r\n"), std::string::npos);

    // keep_name (backups) leaves the project's name alone.
    ASSERT_TRUE(write_xml_project(dir.file("backup.xml"), project, true, &error));
    EXPECT_EQ(project.path_and_file_name.view(), path);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(XmlWriter, FailureLeavesTheOldFileAndTheName) {
    Project project = test::make_rich_project();
    std::string error;
    EXPECT_FALSE(write_xml_project("", project, false, &error));
    EXPECT_FALSE(write_xml_project("/nonexistent-folder-zorva/x.xml", project, false, &error));
    EXPECT_EQ(project.path_and_file_name.view(), "Noname");

    // A target that cannot be replaced (a folder of that name): the write fails at the rename, and what
    // was there stays, with no temporary file left behind.
    test::TempDir dir;
    const std::string path = dir.file("game.xml");
    std::filesystem::create_directory(path);
    test::write_text_file(path + "/keep.txt", "old");
    EXPECT_FALSE(write_xml_project(path, project, false, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::read_file(path + "/keep.txt"), "old");
    EXPECT_EQ(project.path_and_file_name.view(), "Noname");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(XmlWriter, RelativePathsFollowTheFileBeingWritten) {
    Project project = test::make_rich_project();
    project.tile_sets[0]->image_path_and_file_name = "/work/levels/img/sub/tiles.png";
    project.parent_entities[0]->image_path_and_file_name = "/work/assets/door.png";
    project.last_used_image_tile_set_path = "/work/levels";
    project.last_used_exporter_dll_file_name = "Scrivo.so";  // a bare file name has no relative form
    const auto lines = crlf_lines(document(project, "/work/levels/game.xml"));
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("\t\t\timage_relative_path_and_file_name=\"./img/sub/tiles.png\""));
    EXPECT_TRUE(has("\t\t\timage_relative_path_and_file_name=\"../assets/door.png\""));
    EXPECT_TRUE(has("\tlast_used_image_tile_set_relative_path=\"./\""));
    EXPECT_TRUE(has("\tlast_used_exporter_dll_file_name=\"Scrivo.so\""));
    EXPECT_TRUE(has("\tlast_used_exporter_dll_relative_file_name=\"\""));
}

}  // namespace
}  // namespace zorva
