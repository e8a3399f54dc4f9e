// The values of the Export dialog between the preferences and the project, the Exporters folder's list,
// and the checks of "Start Export".
#include "app/export_choice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "editor_test_support.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

TEST(ExportChoiceTest, TheProjectsValuesWinWhereTheyAreNotEmpty) {
    Preferences prefs;
    prefs.set_text(pref_offset::kExportOutputFile, "/prefs/out.bin");
    prefs.set_text(pref_offset::kExporterInFolder, "Scrivo.so");
    prefs.set_text(pref_offset::kExporterOutsideFolder, "/prefs/mine.so");
    prefs.set_flag(FlagA::UseExporterFromExportersFolder, true);
    Project project;
    EXPECT_EQ(export_choice_for_dialog(project, prefs), export_choice_from_preferences(prefs));
    EXPECT_EQ(export_choice_for_dialog(project, prefs),
              (ExportChoice{"/prefs/out.bin", "Scrivo.so", "/prefs/mine.so", true}));

    project.last_used_export_output_path_and_file_name = "/project/level.bin";
    project.last_used_exporter_dll_file_name = "/project/other.so";
    project.use_export_dll_in_exporters_folder = false;
    EXPECT_EQ(export_choice_for_dialog(project, prefs),
              (ExportChoice{"/project/level.bin", "/project/other.so", "/prefs/mine.so", false}));
    // Without an exporter of its own the project's folder flag is not used.
    project.last_used_exporter_dll_file_name = "";
    EXPECT_TRUE(export_choice_for_dialog(project, prefs).use_exporters_folder);

    // Storing writes both; the project reports a change only when something differs.
    const ExportChoice chosen{"/new/out.bin", "/new/x.so", "/new/x.so", false};
    EXPECT_TRUE(store_export_choice(chosen, prefs, project));
    EXPECT_FALSE(store_export_choice(chosen, prefs, project));
    EXPECT_EQ(export_choice_from_preferences(prefs), chosen);
    EXPECT_EQ(project.last_used_export_output_path_and_file_name, "/new/out.bin");
    EXPECT_EQ(project.last_used_exporter_dll_file_name, "/new/x.so");
    EXPECT_EQ(project.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder, "/new/x.so");
    EXPECT_FALSE(project.use_export_dll_in_exporters_folder);

    EXPECT_EQ(exporter_path(chosen, "/program/Exporters"), "/new/x.so");
    EXPECT_EQ(exporter_path({"o", "Scrivo.so", "", true}, "/program/Exporters"),
              "/program/Exporters/Scrivo.so");
    EXPECT_EQ(exporter_path({"o", "", "/x.so", true}, "/program/Exporters"), "");
}

TEST(ExportChoiceTest, TheExportersFolderListsItsPlugInFilesOnly) {
    test::TempDir dir;
    EXPECT_TRUE(exporter_files(dir.path() / "missing").empty());
    for (const char* name : {"b.so", "A.SO", "readme.txt", "c.so.bak"}) test::write_file(dir.file(name), "x");
    fs::create_directory(dir.path() / "folder.so");
    EXPECT_EQ(exporter_files(dir.path()), (std::vector<std::string>{"A.SO", "b.so"}));
}

TEST(ExportChoiceTest, StartExportChecks) {
    test::TempDir dir;
    EXPECT_FALSE(check_exporter({"o", "Scrivo.so", "", true}));
    const ExportProblem none = check_exporter({"o", "", "", true});
    EXPECT_EQ(none.text, "\nPlease select an exporter DLL.\n");
    EXPECT_EQ(none.caption, "No DLL selected");
    EXPECT_TRUE(check_exporter({"o", "/" + std::string(259, 'x'), "", false}));

    const ExportProblem empty = check_output_file("");
    EXPECT_EQ(empty.text, "\nPlease select an output file.\n");
    EXPECT_EQ(empty.caption, "No Output file");
    EXPECT_FALSE(check_output_file(dir.file("out.bin")));
    EXPECT_FALSE(check_output_file("out.bin"));  // the current folder
    const ExportProblem missing = check_output_file(dir.file("gone/out.bin"));
    EXPECT_EQ(missing.caption, "No Output folder");
    EXPECT_EQ(missing.text, "The folder of the output file does not exist:\n\n" + dir.file("gone") +
                                "\n\nPlease select an output file in an existing folder.\n");
    // The plug-in is handed 259 characters: a longer name would write another file.
    const std::string long_name = dir.file(std::string(300, 'n'));
    const ExportProblem too_long = check_output_file(long_name);
    EXPECT_EQ(too_long.caption, "Output file name too long");
    EXPECT_EQ(too_long.text,
              "The output path and file name is longer than 259 characters:\n\n" + long_name + "\n");

    EXPECT_EQ(output_folder("/a/b/c.bin"), "/a/b");
    EXPECT_EQ(output_folder("/c.bin"), "/");
    EXPECT_EQ(output_folder("c.bin"), "");
}

}  // namespace
}  // namespace zorva
