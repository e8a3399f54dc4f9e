#include "projectfile/xml_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "projectfile/project_io.h"
#include "projectfile/xml_writer.h"
#include "support/temp_dir.h"
#include "xml_test_support.h"

namespace zorva {
namespace {

using namespace xml_values;

constexpr const char* kPath = "/nonexistent-zorva/levels/game.xml";

// A minimal document: project properties with `properties` and the given body.
std::string document(const std::string& properties, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<project>\n<project_properties " + properties +
           "></project_properties>\n" + body + "</project>\n";
}

// One map holding one layer of w x h cells given as grid elements, plus `extra` inside the layer.
std::string map_with_layer(const std::string& size, const std::string& cells, const std::string& extra = "") {
    return "<all_parent_entities><parent_entity><parent_entity_properties unique_id=\"4\" name=\"Coin\">"
           "</parent_entity_properties></parent_entity></all_parent_entities>"
           "<all_maps><map><map_properties unique_id=\"0\" name=\"Level\"></map_properties>"
           "<all_map_layers><layer><layer_properties unique_id=\"3\" name=\"Ground\" " +
           size + "></layer_properties><layer_grid>" + cells + "</layer_grid>" + extra +
           "</layer></all_map_layers></map></all_maps>";
}

LoadResult read(const std::string& text) { return read_xml_project_from_memory(text, kPath); }

TEST(XmlValueReaders, Ids) {
    EXPECT_EQ(parse_id("0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(parse_id("0xffffffff"), 0xFFFFFFFFu);
    EXPECT_EQ(parse_id("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(parse_id("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(parse_id("4294967296"), 0u);  // cut to 32 bits
    EXPECT_EQ(parse_id("4000000000"), 4000000000u);
    EXPECT_EQ(parse_id("  12abc"), 12u);
    EXPECT_EQ(parse_id("abc"), 0u);
    EXPECT_EQ(parse_id(""), 0u);
    EXPECT_EQ(parse_id("99999999999999999999999"), 0xFFFFFFFFu);  // saturates at the 64-bit limit
}

TEST(XmlValueReaders, SignedFloatAndBoolean) {
    EXPECT_EQ(parse_signed("-3"), -3);
    EXPECT_EQ(parse_signed("+17"), 17);
    EXPECT_EQ(parse_signed("99999999999"), 2147483647);
    EXPECT_EQ(parse_signed("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(parse_signed("x"), 0);
    EXPECT_FLOAT_EQ(parse_float("12.50000"), 12.5f);
    EXPECT_FLOAT_EQ(parse_float(" -0.25"), -0.25f);
    EXPECT_FLOAT_EQ(parse_float("+3e2"), 300.0f);
    EXPECT_FLOAT_EQ(parse_float("nonsense"), 0.0f);
    EXPECT_TRUE(std::isinf(parse_float("1e300")));
    EXPECT_TRUE(std::isinf(parse_float("1e999")));
    EXPECT_EQ(parse_float("1e-999"), 0.0f);
    for (const char* text : {"TRUE", "true", "True", "1", "7", "-2"}) EXPECT_TRUE(parse_bool(text)) << text;
    for (const char* text : {"0", "FALSE", "false", "", "yes", "0x1"}) EXPECT_FALSE(parse_bool(text)) << text;
}

TEST(XmlValueReaders, GridCells) {
    CellValues cell = parse_cell("5,1,0,1,300");
    EXPECT_EQ(cell.tile, 5u);
    EXPECT_EQ(cell.flags, make_cell_flags(true, false, true, 44));  // 300 cut to 8 bits
    cell = parse_cell("12,0,1,0,3");
    EXPECT_EQ(cell.flags, make_cell_flags(false, true, false, 3));
    cell = parse_cell("0xFFFFFFFF,0,0,0,0");
    EXPECT_EQ(cell.tile, 0xFFFFFFFFu);
    cell = parse_cell("7");  // missing numbers are 0
    EXPECT_EQ(cell.tile, 7u);
    EXPECT_EQ(cell.flags, 0u);
    cell = parse_cell("7,,1");  // an empty number ends the scan
    EXPECT_EQ(cell.flags, 0u);
    cell = parse_cell(" 9 ,1");  // a space before the comma ends it too
    EXPECT_EQ(cell.tile, 9u);
    EXPECT_EQ(cell.flags, 0u);
    cell = parse_cell("garbage");
    EXPECT_EQ(cell.tile, 0u);
    cell = parse_cell(std::string(97, ' ') + "12345");  // only the first 99 characters count
    EXPECT_EQ(cell.tile, 12u);
}

TEST(XmlReader, RoundTripIsByteIdentical) {
    test::TempDir dir;
    const std::string path = dir.file("game.xml");
    Project project = test::make_rich_project();
    // Folder values as the reader resolves them (with the trailing separator); a tile display size in range.
    const std::string folder = dir.path().string() + "/";
    project.last_used_image_tile_set_path = folder;
    project.last_used_image_parent_entity_path = folder;
    project.last_used_image_layer_background_path = folder;
    project.maps[0]->pixel_size_of_tiles_in_tiles_dialog = 32;
    project.maps[0]->layers[0]->grid[3].tile = 0xFFFFFFFFu;
    std::string error;
    ASSERT_TRUE(write_xml_project(path, project, false, &error)) << error;
    const std::string first = test::read_file(path);

    LoadResult loaded = read_xml_project(path);
    ASSERT_TRUE(loaded) << loaded.message;
    EXPECT_FALSE(loaded.version_differs);
    EXPECT_EQ(loaded.project->path_and_file_name.view(), path);
    ASSERT_TRUE(write_xml_project(path, *loaded.project, false, &error)) << error;
    const std::string second = test::read_file(path);
    EXPECT_TRUE(test::without_date_line(first) == test::without_date_line(second));
    EXPECT_EQ(first.size(), second.size());

    const Project& p = *loaded.project;
    ASSERT_EQ(p.maps.size(), 1u);
    ASSERT_EQ(p.maps[0]->layers.size(), 2u);
    const Layer& layer = *p.maps[0]->layers[1];
    EXPECT_EQ(layer.grid, project.maps[0]->layers[1]->grid);
    EXPECT_EQ(p.maps[0]->layers[0]->grid[3].tile, 0xFFFFFFFFu);
    EXPECT_EQ(layer.path_count(), 2u);
    EXPECT_EQ(layer.path_point_count(), 4u);
    EXPECT_TRUE(layer.path_points[3]->is_closed());
    EXPECT_TRUE(layer.path_points[3]->starts_path() && layer.path_points[3]->ends_path());
    EXPECT_EQ(layer.instance_entities[0]->custom_variables[0], -32768);
    EXPECT_EQ(p.tile_sets[0]->name.view(), "Ground & <Sky>");
    EXPECT_EQ(p.tile_sets[0]->mosaics[0]->grid[5].flags, make_cell_flags(true, false, true, 200));
    EXPECT_EQ(p.selected_layer(), p.maps[0]->layers[1].get());
    EXPECT_EQ(p.zoom, 250u);
}

TEST(XmlReader, EmptyFolderValuesBecomeTheProjectFolder) {
    test::TempDir dir;
    const std::string path = dir.file("game.xml");
    Project project;
    ASSERT_TRUE(write_xml_project(path, project, false));
    LoadResult loaded = read_xml_project(path);
    ASSERT_TRUE(loaded) << loaded.message;
    EXPECT_EQ(std::filesystem::path(loaded.project->last_used_image_tile_set_path.str()).lexically_normal(),
              std::filesystem::path(dir.path().string() + "/").lexically_normal());
    EXPECT_TRUE(loaded.project->last_used_exporter_dll_file_name.empty());
}

TEST(XmlReader, VersionFlags) {
    LoadResult newer = read(document("version=\"119\"", ""));
    EXPECT_FALSE(newer);
    EXPECT_TRUE(newer.version_differs);
    EXPECT_TRUE(newer.newer_version);
    EXPECT_EQ(newer.message, "");

    LoadResult missing = read(document("", ""));
    ASSERT_TRUE(missing) << missing.message;
    EXPECT_TRUE(missing.version_differs);
    EXPECT_FALSE(missing.newer_version);

    LoadResult older = read(document("version=\"117\"", ""));
    ASSERT_TRUE(older);
    EXPECT_TRUE(older.version_differs);

    LoadResult current = read(document("version=\"118\"", ""));
    ASSERT_TRUE(current);
    EXPECT_FALSE(current.version_differs);
}

TEST(XmlReader, ProjectPropertiesDefaultsAndClamps) {
    LoadResult result =
        read(document("version=\"118\" did_map_id_overflow=\"7\" did_layer_id_overflow=\"TRUE\" "
                      "did_tile_set_id_overflow=\"FALSE\" next_layer_id=\"0xffffffff\" "
                      "default_entity_trigger_radius=\"2\" zoom=\"0\"",
                      ""));
    ASSERT_TRUE(result) << result.message;
    const Project& p = *result.project;
    EXPECT_TRUE(p.did_map_id_overflow);
    EXPECT_TRUE(p.did_layer_id_overflow);
    EXPECT_FALSE(p.did_tile_set_id_overflow);
    EXPECT_FALSE(p.did_path_point_id_overflow);  // missing
    EXPECT_EQ(p.next_layer_id, 0xFFFFFFFFu);
    EXPECT_EQ(p.next_map_id, 0xFFFFFFFFu);  // missing id attributes read as 0xFFFFFFFF
    EXPECT_EQ(p.default_entity_trigger_radius, 4u);
    EXPECT_EQ(p.zoom, 1u);
    EXPECT_FALSE(p.use_export_dll_in_exporters_folder);

    EXPECT_EQ(read(document("", "")).project->zoom, 1u);  // missing zoom reads as 0
    EXPECT_EQ(read(document("zoom=\"900\"", "")).project->zoom, 800u);
}

TEST(XmlReader, DescriptionsInDocumentOrder) {
    LoadResult result =
        read(document("",
                      "<custom_variable_descriptions><cvdesc_map use_bits=\"1\" desc=\"Speed\"></cvdesc_map>"
                      "<cvdesc_instance_entity show_in_view=\"true\" desc=\"HP\"></cvdesc_instance_entity>"
                      "<cvdesc_map desc=\"Second\"></cvdesc_map></custom_variable_descriptions>"));
    ASSERT_TRUE(result);
    const Project& p = *result.project;
    EXPECT_EQ(p.descriptions_for(ObjectKind::Map)[0].desc.view(), "Speed");
    EXPECT_TRUE(p.descriptions_for(ObjectKind::Map)[0].use_bits);
    EXPECT_EQ(p.descriptions_for(ObjectKind::Map)[1].desc.view(), "Second");
    EXPECT_EQ(p.descriptions_for(ObjectKind::Map)[2].desc.view(), "Variable03");
    EXPECT_TRUE(p.descriptions_for(ObjectKind::InstanceEntity)[0].show_in_view);
    EXPECT_EQ(p.descriptions_for(ObjectKind::TileSet)[0].desc.view(), "Variable01");
}

TEST(XmlReader, ObjectsWithMissingAttributes) {
    LoadResult result =
        read(document("", "<all_tile_sets><tile_set><tile_set_properties unique_id=\"2\" name=\"" +
                              std::string(40, 'n') + "\"></tile_set_properties></tile_set></all_tile_sets>" +
                              map_with_layer("grid_width=\"1\" grid_height=\"1\"", "<grid>1</grid>")));
    ASSERT_TRUE(result) << result.message;
    const TileSet& t = *result.project->tile_sets[0];
    EXPECT_EQ(t.name.view(), std::string(30, 'n'));
    EXPECT_EQ(t.transparent_colour, 0x00FFFFFFu);  // missing colour bytes read as 0xFFFFFFFF cut to 255
    const ParentEntity& e = *result.project->parent_entities[0];
    EXPECT_EQ(e.transparent_colour, 0u);  // the parent entity's colour bytes are missing-as-0
    EXPECT_EQ(e.default_circle_trigger_radius, 4u);
    const Map& m = *result.project->maps[0];
    EXPECT_EQ(m.pixel_size_of_tiles_in_tiles_dialog, 8);
    EXPECT_FALSE(m.export_this_map);
    EXPECT_EQ(m.layers[0]->opacity, 255);
    EXPECT_FALSE(m.layers[0]->is_visible);
}

TEST(XmlReader, OrphanInstanceIsDroppedAndSelectionOfMissingObjectsIsEmpty) {
    const std::string instances =
        "<all_layer_instance_entities>"
        "<instance_entity><instance_entity_properties uid=\"1\" pid=\"4\" px=\"1.5\" tcr=\"0\">"
        "</instance_entity_properties></instance_entity>"
        "<instance_entity><instance_entity_properties uid=\"2\" pid=\"77\"></instance_entity_properties>"
        "</instance_entity></all_layer_instance_entities>";
    LoadResult result =
        read(document("selected_map_id=\"0\" selected_layer_id=\"9\" selected_tile_set_id=\"5\"",
                      map_with_layer("grid_width=\"1\" grid_height=\"1\"", "<grid>1</grid>", instances)));
    ASSERT_TRUE(result) << result.message;
    const Layer& layer = *result.project->maps[0]->layers[0];
    ASSERT_EQ(layer.instance_entities.size(), 1u);
    EXPECT_EQ(layer.instance_entities[0]->tcr, 4u);
    EXPECT_FLOAT_EQ(layer.instance_entities[0]->px, 1.5f);
    // The dropped one is on record, for tools that check a project.
    ASSERT_EQ(result.skipped_instances.size(), 1u);
    EXPECT_EQ(result.skipped_instances[0].uid, 2u);
    EXPECT_EQ(result.skipped_instances[0].pid, 77u);
    EXPECT_EQ(result.skipped_instances[0].map_id, result.project->maps[0]->unique_id);
    EXPECT_EQ(result.skipped_instances[0].layer_id, layer.unique_id);
    EXPECT_EQ(result.project->selected_map(), result.project->maps[0].get());
    EXPECT_EQ(result.project->selected_layer(), nullptr);
    EXPECT_EQ(result.project->selected_tile_set(), nullptr);
}

TEST(XmlReader, ShortGridFailsWithNestedMessages) {
    const std::string five = "<grid>1,0,0,0,0</grid><grid>2</grid><grid>3</grid><grid>4</grid><grid>5</grid>";
    const std::string expected =
        "Failed to load map # 1 from the XML file.\n"
        "Failed to load layer # 1 of the map (Level).\n"
        "Failed to read the grid of the layer (Ground) from the XML file.\n\n";
    LoadResult result = read(document("", map_with_layer("grid_width=\"3\" grid_height=\"2\"", five)));
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, expected);

    // The same through the tree walk (a comment inside the grid keeps the scanner out).
    result = read(document("", map_with_layer("grid_width=\"3\" grid_height=\"2\"", "<!-- c -->" + five)));
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message, expected);

    // An empty cell fails too; surplus cells are ignored.
    result = read(document("", map_with_layer("grid_width=\"1\" grid_height=\"1\"", "<grid></grid>")));
    EXPECT_EQ(result.message, expected);
    result = read(document("", map_with_layer("grid_width=\"2\" grid_height=\"2\"", five)));
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(result.project->maps[0]->layers[0]->grid[3].tile, 4u);

    // A layer without a layer_grid fails with an empty inner message.
    result =
        read(document("",
                      "<all_maps><map><map_properties name=\"M\"></map_properties><all_map_layers><layer>"
                      "<layer_properties grid_width=\"1\" grid_height=\"1\"></layer_properties></layer>"
                      "</all_map_layers></map></all_maps>"));
    EXPECT_EQ(result.message,
              "Failed to load map # 1 from the XML file.\nFailed to load layer # 1 of the map (M).\n");
}

TEST(XmlReader, ScannerAndTreeWalkAgree) {
    const std::string cells =
        "<grid>1,1,0,0,9</grid>\r\n\t<grid> 2,0,1,1,300</grid><grid>0xffffffff,0,0,0,1</grid>"
        "<grid>4,0,0,0</grid>";
    LoadResult fast = read(document("", map_with_layer("grid_width=\"2\" grid_height=\"2\"", cells)));
    LoadResult slow =
        read(document("", map_with_layer("grid_width=\"2\" grid_height=\"2\"", "<other/>" + cells)));
    ASSERT_TRUE(fast) << fast.message;
    ASSERT_TRUE(slow) << slow.message;
    EXPECT_EQ(fast.project->maps[0]->layers[0]->grid, slow.project->maps[0]->layers[0]->grid);
    EXPECT_EQ(fast.project->maps[0]->layers[0]->grid[2].tile, 0xFFFFFFFFu);
    EXPECT_EQ(fast.project->maps[0]->layers[0]->grid[1].flags, make_cell_flags(false, true, true, 44));

    // Grid-like text inside comments and attribute values is left alone.
    LoadResult tricky =
        read(document("last_used_exporter_dll_file_name=\"&lt;layer_grid&gt;\"",
                      "<!-- <layer_grid><grid>9</grid></layer_grid> -->" +
                          map_with_layer("grid_width=\"1\" grid_height=\"1\"", "<grid>6</grid>")));
    ASSERT_TRUE(tricky) << tricky.message;
    EXPECT_EQ(tricky.project->last_used_exporter_dll_file_name.view(), "<layer_grid>");
    EXPECT_EQ(tricky.project->maps[0]->layers[0]->grid[0].tile, 6u);
}

TEST(XmlReader, AbsurdSizesFailWithoutAllocating) {
    const std::string add_failed =
        "Failed to load map # 1 from the XML file.\nFailed to load layer # 1 of the map (Level).\n"
        "Failed to add the layer (Ground) to the map.\n\n";
    const std::string grid_failed =
        "Failed to load map # 1 from the XML file.\nFailed to load layer # 1 of the map (Level).\n"
        "Failed to read the grid of the layer (Ground) from the XML file.\n\n";
    EXPECT_EQ(
        read(document("", map_with_layer("grid_width=\"4000000000\" grid_height=\"1\"", "<grid>1</grid>")))
            .message,
        add_failed);
    EXPECT_EQ(
        read(document("", map_with_layer("grid_width=\"-5\" grid_height=\"3\"", "<grid>1</grid>"))).message,
        add_failed);
    EXPECT_EQ(read(document("", map_with_layer("grid_width=\"2000000000\" grid_height=\"2000000000\"",
                                               "<grid>1</grid>")))
                  .message,
              grid_failed);
    EXPECT_EQ(read(document("", map_with_layer("grid_width=\"100000\" grid_height=\"1\"", "<grid>1</grid>")))
                  .message,
              grid_failed);
    // Mosaics that cannot fit are skipped (mosaic failures are ignored), the rest loads.
    LoadResult result = read(document(
        "",
        "<all_tile_sets><tile_set><tile_set_properties unique_id=\"0\"></tile_set_properties>"
        "<all_tile_set_mosaics><mosaic><mosaic_properties uid=\"0\" gw=\"4000000000\" gh=\"4000000000\">"
        "</mosaic_properties></mosaic><mosaic><mosaic_properties uid=\"1\" gw=\"2\" "
        "gh=\"1\"></mosaic_properties>"
        "<mosaic_grid><grid>3</grid></mosaic_grid></mosaic></all_tile_set_mosaics></tile_set></"
        "all_tile_sets>"));
    ASSERT_TRUE(result) << result.message;
    ASSERT_EQ(result.project->tile_sets[0]->mosaics.size(), 1u);
    EXPECT_EQ(result.project->tile_sets[0]->mosaics[0]->grid[0].tile, 3u);  // partly read, kept
    EXPECT_EQ(result.project->tile_sets[0]->mosaics[0]->grid[1].tile, 0u);
}

TEST(XmlReader, StructureFailures) {
    EXPECT_EQ(read("<?xml version=\"1.0\"?>\n<other></other>").message,
              "Failed to find the \"project\" node in the XML file.");
    EXPECT_EQ(read("<project></project>").message,
              "Failed to find the element \"project_properties\" in the XML file.");
    EXPECT_EQ(read(document("", "<all_tile_sets><tile_set></tile_set></all_tile_sets>")).message,
              "Failed to load tile set # 1 from the XML file.\n"
              "Failed to find the element \"tile_set_properties\" in the XML file.\n");
    EXPECT_EQ(
        read(document("", "<all_parent_entities><parent_entity/><parent_entity/></all_parent_entities>"))
            .message,
        "Failed to load parent entity # 1 from the XML file.\n"
        "Failed to find the element \"parent_entity_properties\" in the XML file.\n");
    EXPECT_EQ(read(document("", "<all_maps><map></map></all_maps>")).message,
              "Failed to load map # 1 from the XML file.\n"
              "Failed to find the element \"map_properties\" in the XML file.\n");
    EXPECT_EQ(
        read(document("", map_with_layer("grid_width=\"1\" grid_height=\"1\"", "<grid>1</grid>",
                                         "<all_layer_paths><path><path_properties/><path_points/></path>"
                                         "</all_layer_paths>")))
            .message,
        "Failed to load map # 1 from the XML file.\nFailed to load layer # 1 of the map (Level).\n"
        "Failed to load path # 1 from the XML file.\nDid not find any points for the path in the XML "
        "file.\n\n\n");
    EXPECT_EQ(read(document("", map_with_layer("grid_width=\"1\" grid_height=\"1\"", "<grid>1</grid>",
                                               "<all_layer_instance_entities><instance_entity/>"
                                               "</all_layer_instance_entities>")))
                  .message,
              "Failed to load map # 1 from the XML file.\nFailed to load layer # 1 of the map (Level).\n"
              "Failed to load child entity # 1 from the XML file.\n"
              "Failed to find the element \"instance_entity_properties\" in the XML file.\n\n\n");
}

TEST(XmlReader, ParseErrorsGiveRowAndColumn) {
    LoadResult result = read("<?xml version=\"1.0\"?>\r\n<project>\r\n  <a b=></a>\r\n</project>");
    EXPECT_FALSE(result);
    EXPECT_EQ(
        result.message.rfind("Failed to load XML file: \n\n/nonexistent-zorva/levels/game.xml\n\nError: ", 0),
        0u)
        << result.message;
    EXPECT_NE(result.message.find("\n\nRow: 3\nCol: 8\n\n"), std::string::npos) << result.message;

    EXPECT_FALSE(read(""));
    EXPECT_FALSE(read("<project><project_properties>"));

    // The same through a file, whose buffer is re-read for the position.
    test::TempDir dir;
    const std::string path = dir.file("broken.xml");
    test::write_text_file(path, "<project>\n<project_properties\n<x/>\n</project>\n");
    result = read_xml_project(path);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message.find("\n\nRow: 3\nCol: 1\n\n"), std::string::npos) << result.message;

    result = read_xml_project(dir.file("missing.xml"));
    EXPECT_FALSE(result);
    EXPECT_EQ(result.message.rfind("Failed to load XML file: \n\n", 0), 0u);
}

TEST(XmlReader, OldFilesTakeTheFrameSizeFromTheImageSize) {
    const std::string entity =
        "<all_parent_entities><parent_entity><parent_entity_properties unique_id=\"0\" "
        "pixel_width=\"64\" pixel_height=\"48\" single_frame_pixel_width=\"16\" "
        "single_frame_pixel_height=\"16\" preview_anima_frame=\"9\">"
        "</parent_entity_properties></parent_entity></all_parent_entities>";
    LoadResult old_file = read(document("version=\"115\"", entity));
    ASSERT_TRUE(old_file);
    EXPECT_EQ(old_file.project->parent_entities[0]->single_frame_pixel_width, 64);
    EXPECT_EQ(old_file.project->parent_entities[0]->preview_anima_frame, 0);
    LoadResult current = read(document("version=\"118\"", entity));
    ASSERT_TRUE(current);
    EXPECT_EQ(current.project->parent_entities[0]->single_frame_pixel_width, 16);
    EXPECT_EQ(current.project->parent_entities[0]->preview_anima_frame, 9);  // 4 x 3 = 12 frames
}

TEST(XmlReader, TextsPassThroughByteForByte) {
    const std::string name = "Caf\xe9 \xff\tTab";
    LoadResult result = read(document(
        "", "<all_maps><map><map_properties name=\"" + name + "\"></map_properties></map></all_maps>"));
    ASSERT_TRUE(result) << result.message;
    EXPECT_EQ(result.project->maps[0]->name.view(), name);
}

TEST(ProjectIo, FormatByExtensionInAnyLetterCase) {
    EXPECT_EQ(project_format_from_path("/a/b.xml"), ProjectFormat::Xml);
    EXPECT_EQ(project_format_from_path("/a/b.XmL"), ProjectFormat::Xml);
    EXPECT_EQ(project_format_from_path("/a/b.ZVP"), ProjectFormat::Zvp);
    EXPECT_EQ(project_format_from_path("/a/xml"), ProjectFormat::Unknown);
    EXPECT_EQ(read_project("/a/level.txt").message,
              "The file has an invalid extension:\n\n/a/level.txt\n\nZorva only supports the following file "
              "extensions:\n.zvp\n.xml\n\n");

    test::TempDir dir;
    Project project = test::make_rich_project();
    const std::string upper = dir.file("LEVEL.XML");
    ASSERT_TRUE(write_project(upper, project));
    EXPECT_EQ(test::read_file(upper).rfind("<?xml", 0), 0u);
    LoadResult loaded = read_project(upper);
    ASSERT_TRUE(loaded) << loaded.message;
    EXPECT_EQ(loaded.project->maps.size(), 1u);
    // Any other name is written as XML too.
    ASSERT_TRUE(write_project(dir.file("level.backup"), project, true));
    EXPECT_EQ(test::read_file(dir.file("level.backup")).rfind("<?xml", 0), 0u);
}

}  // namespace
}  // namespace zorva
