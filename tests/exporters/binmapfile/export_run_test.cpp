// The run sequence of StartExport: application object, remembered settings, quick export, the
// data-type check and the dialog's outcome.
#include "exporters/binmapfile/export_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "binmap_test_support.h"
#include "exporters/binmapfile/settings_file.h"
#include "fake_export_api.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

using test::FakeExportHost;

class ScriptedDialog : public LayoutDialogRunner {
public:
    DialogOutcome run(ExportSettings& settings, const std::filesystem::path& folder,
                      const ExporterHostApplication&) override {
        ++shown;
        seen_folder = folder;
        if (outcome == DialogOutcome::Export) settings.list.insert({kMapUserId, kTypeUnsignedByte, 50});
        return outcome;
    }
    DialogOutcome outcome = DialogOutcome::Cancel;
    int shown = 0;
    std::filesystem::path seen_folder;
};

class ExportRunTest : public ::testing::Test {
protected:
    zorva::test::TempDir dir;
    std::string data_folder = dir.path().string();
    ExporterHostApplication application{sizeof(ExporterHostApplication), kExporterInterfaceVersion, nullptr,
                                        data_folder.c_str()};
    FakeExportHost host;
    ScriptedDialog dialog;
    BinMapExporter exporter;

    void SetUp() override {
        host.output_file = dir.file("out.bin");
        host.add_map("m");
    }
    void remember_layout() {
        test::write_bytes(dir.file("layout.zbe"),
                          test::zbe(1, 2, {{kMapNumberOfLayers, kTypeUnsignedByte, 50}}));
        ASSERT_TRUE(write_remembered_settings(dir.path(), dir.file("layout.zbe")));
    }
};

TEST_F(ExportRunTest, WithoutTheApplicationObjectTheRunFails) {
    EXPECT_FALSE(exporter.start_export(host.table(), dialog));
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"ERROR: The CWinApp pointer (gpParentCWinApp) has not been set."});
    EXPECT_FALSE(exporter.start_export(nullptr, dialog));
    EXPECT_TRUE(exporter.set_application(&application));
    EXPECT_FALSE(exporter.set_application(&application)) << "stored once";
}

TEST_F(ExportRunTest, QuickExportWithRememberedSettingsSkipsTheDialog) {
    remember_layout();
    host.quick_export = true;
    exporter.set_application(&application);
    EXPECT_TRUE(exporter.start_export(host.table(), dialog));
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_EQ(test::read_bytes(dir.file("out.bin")), std::vector<std::uint8_t>{0});
}

TEST_F(ExportRunTest, QuickExportWithoutRememberedSettingsShowsTheDialog) {
    host.quick_export = true;
    exporter.set_application(&application);
    dialog.outcome = DialogOutcome::NotCreated;
    EXPECT_FALSE(exporter.start_export(host.table(), dialog));
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(host.messages, std::vector<std::string>{"ERROR: Failed to create the dialog."});
}

TEST_F(ExportRunTest, ADeletedRememberedFileResetsTheNameAndTheNextQuickExportShowsTheDialog) {
    remember_layout();
    std::filesystem::remove(dir.file("layout.zbe"));
    host.quick_export = true;
    exporter.set_application(&application);
    EXPECT_TRUE(exporter.start_export(host.table(), dialog));
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(read_remembered_settings(dir.path()), "Noname.zbe");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bin"))) << "cancelled in the dialog";
}

TEST_F(ExportRunTest, TheDialogExportsAndTheSettingsFolderIsTheExportersSubfolderWhenPresent) {
    std::filesystem::create_directory(dir.path() / "Exporters");
    remember_layout();  // in the data folder itself: no longer the settings folder
    exporter.set_application(&application);
    dialog.outcome = DialogOutcome::Export;
    EXPECT_TRUE(exporter.start_export(host.table(), dialog));
    EXPECT_EQ(dialog.seen_folder, dir.path() / "Exporters");
    EXPECT_EQ(exporter.settings().list.size(), 1u) << "a fresh list: the remembered file was not found there";
    EXPECT_EQ(test::read_bytes(dir.file("out.bin")), std::vector<std::uint8_t>{1});
}

TEST_F(ExportRunTest, ADataTypeTableOutOfOrderFailsBeforeTheDialog) {
    exporter.set_application(&application);
    auto types = gtDataTypeDesc;
    std::swap(types[0], types[7]);
    EXPECT_FALSE(exporter.start_export(host.table(), dialog, types));
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_EQ(host.messages, std::vector<std::string>{"ERROR: The gtDataTypeDesc are in the wrong order."});
}

TEST_F(ExportRunTest, AnOldApplicationObjectWithoutDataFolderUsesTheCurrentFolder) {
    ExporterHostApplication old{8, kExporterInterfaceVersion, nullptr, "/nonexistent"};
    EXPECT_EQ(application_data_folder(old), "");
    EXPECT_EQ(application_data_folder(application), data_folder);
}

}  // namespace
}  // namespace zorva::binmap
