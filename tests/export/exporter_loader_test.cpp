// The loader against real shared libraries built by the tests (see plugins/test_plugin.c).
#include "export/exporter_loader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "export/export_host.h"
#include "export/export_message_log.h"
#include "export/export_run.h"
#include "support/project_builder.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

std::string plugin(const std::string& name) {
    return std::string(EXPORT_TEST_PLUGIN_DIR) + "/" + name + ".so";
}

class ExporterLoaderTest : public ::testing::Test {
protected:
    ExporterResult run(const std::string& path, const ExporterHostApplication* application = nullptr) {
        ExportRequest request;
        request.exporter_path = path;
        request.output_file_name = "unused.txt";
        request.log = &log;
        request.application = application;
        return run_export(host, p.project, request);
    }

    test::TestProject p;
    ExportHost host;
    ExportMessageLog log;
};

TEST_F(ExporterLoaderTest, AVersion114PlugInWithoutSetParentCWinAppRuns) {
    const ExporterResult result = run(plugin("plugin_ok"));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "");
    ASSERT_EQ(log.lines().size(), 4u);
    EXPECT_EQ(log.lines()[0], "started");
    EXPECT_EQ(log.lines()[3], "message 3");
    EXPECT_FALSE(host.attached());  // the table is reset after the run
}

TEST_F(ExporterLoaderTest, OtherVersionsAreRefusedAndNeverStarted) {
    for (const char* name : {"plugin_v113", "plugin_v115"}) {
        SCOPED_TRACE(name);
        log.clear();
        const std::string path = plugin(name);
        const ExporterResult result = run(path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, "The exporter DLL is an unsupported version:\n\n" + path +
                                      "\n\nTry rebuilding the DLL with the latest export header file.");
        EXPECT_TRUE(log.empty());
    }
}

TEST_F(ExporterLoaderTest, MissingExportsAreNamed) {
    const std::string no_version = plugin("plugin_no_version");
    ExporterResult result = run(no_version);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "The function \"QueryExporterDLLVersion\" could not be located in the DLL:\n\n" + no_version +
                  "\n\n");
    EXPECT_TRUE(log.empty());

    const std::string no_start = plugin("plugin_no_start");
    result = run(no_start);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "The function \"StartExport\" could not be located in the DLL:\n\n" + no_start + "\n\n");
}

TEST_F(ExporterLoaderTest, SetParentCWinAppGetsTheApplicationAndItsRefusalStopsTheRun) {
    ExporterResult result = run(plugin("plugin_parent"));
    EXPECT_TRUE(result.ok);
    ASSERT_GE(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[1], "headless");

    log.clear();
    int main_window = 0;
    ExporterHostApplication windowed = headless_application("/data");
    windowed.MainWindow = &main_window;
    result = run(plugin("plugin_parent"), &windowed);
    EXPECT_TRUE(result.ok);
    ASSERT_GE(log.lines().size(), 2u);
    EXPECT_EQ(log.lines()[1], "windowed");

    log.clear();
    const std::string refusing = plugin("plugin_parent_fails");
    result = run(refusing);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message,
              "The function SetParentCWinApp failed in the dialog:\n\n" + refusing +
                  "\n\nMake sure the function returns a non-zero value when it is successful.");
    EXPECT_TRUE(log.empty());
}

TEST_F(ExporterLoaderTest, AFailedExportGivesTheGenericMessage) {
    const ExporterResult result = run(plugin("plugin_start_fails"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "An error occured in the export DLL.");
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(ExporterLoaderTest, FilesThatAreNoPlugInsAreRefused) {
    const std::string load_message_tail =
        "\n\n\nPossible reasons for the error:\n\n"
        "- The DLL is outdated. Try rebuilding the DLL with the latest export header file.\n"
        "- The DLL file is missing.\n- The path points to the wrong DLL file.\n- The DLL file is "
        "corrupt.\n\n";
    test::TempDir dir;
    const std::string missing = dir.file("Missing.so");
    EXPECT_EQ(run(missing).message,
              "Could not find/load the exporter DLL: \n\n" + missing + load_message_tail);

    const std::string garbage = dir.file("Garbage.so");
    std::ofstream(garbage) << "\x7f"
                              "ELF but not really a shared library";
    EXPECT_EQ(run(garbage).message,
              "Could not find/load the exporter DLL: \n\n" + garbage + load_message_tail);

    // A bare name is a file in the current folder, never a library searched in the system's folders.
    EXPECT_FALSE(run("libc.so.6").ok);

    const ExporterResult empty = run("");
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.message, "");
}

TEST_F(ExporterLoaderTest, SixThousandMessagesLeave5001LogLines) {
    const ExporterResult result = run(plugin("plugin_chatty"));
    EXPECT_TRUE(result.ok);
    ASSERT_EQ(log.lines().size(), 5001u);
    EXPECT_EQ(log.lines()[4999], "message 4999");  // line 1 is "started"
    EXPECT_EQ(log.lines().back(), "The maximum number (5000) of error messages have been reached.");
}

}  // namespace
}  // namespace zorva
