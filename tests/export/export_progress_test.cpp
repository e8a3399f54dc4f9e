// The progress state shared by the thread that runs a plug-in and the window's thread.
#include "export/export_progress.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "export/export_host.h"
#include "export/export_message_log.h"
#include "export/export_run.h"
#include "support/project_builder.h"

namespace zorva {
namespace {

TEST(ExportProgressTest, ChangesAreTakenOnceAndTheStatusLineIsCut) {
    ExportProgress progress;
    std::string text = "old";
    int percent = -1;
    ExportProgress::Changes changes = progress.take_changes(text, percent);
    EXPECT_TRUE(changes.text && changes.percent);
    EXPECT_EQ(text, "Exporting. Please wait...");
    EXPECT_EQ(percent, 0);
    EXPECT_FALSE(progress.take_changes(text, percent));

    progress.progress(140);
    changes = progress.take_changes(text, percent);
    EXPECT_FALSE(changes.text);
    EXPECT_TRUE(changes.percent);
    EXPECT_EQ(percent, 100);
    progress.progress(100);  // the same value again is no change
    EXPECT_FALSE(progress.take_changes(text, percent));

    progress.message(std::string(3000, 'x'));
    changes = progress.take_changes(text, percent);
    EXPECT_TRUE(changes.text);
    EXPECT_EQ(text, std::string(kStatusTextLength, 'x'));

    progress.cancel();
    EXPECT_TRUE(progress.cancelled());
    progress.start();
    EXPECT_FALSE(progress.cancelled());
    progress.take_changes(text, percent);
    EXPECT_EQ(text, "Exporting. Please wait...");
    EXPECT_EQ(percent, 0);
}

// A plug-in running on another thread reports its progress through the table and stops when this
// thread cancels.
TEST(ExportProgressTest, APlugInOnAnotherThreadSeesTheCancel) {
    test::TestProject p;
    ExportHost host;
    ExportMessageLog log;
    ExportProgress progress;
    ExportRequest request;
    const std::string path = std::string(EXPORT_TEST_PLUGIN_DIR) + "/plugin_slow.so";
    request.exporter_path = path;
    request.output_file_name = "unused.txt";
    request.log = &log;
    request.feedback = &progress;

    ExporterResult result;
    std::thread worker([&] { result = run_export(host, p.project, request); });
    // Wait until the plug-in has moved the bar at least once, then press CANCEL.
    std::string text;
    int percent = 0;
    bool moved = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!moved && std::chrono::steady_clock::now() < deadline) {
        moved = progress.take_changes(text, percent).percent && percent > 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    progress.cancel();
    worker.join();
    EXPECT_TRUE(moved);
    EXPECT_TRUE(result.ok) << result.message;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.lines().back(), "cancelled");
    progress.take_changes(text, percent);
    EXPECT_EQ(text, "cancelled");
}

}  // namespace
}  // namespace zorva
