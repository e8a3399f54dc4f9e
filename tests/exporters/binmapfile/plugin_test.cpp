// The built plug-in ZvBinMapFile.so, loaded the way the editor loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "export/export_api.h"
#include "fake_export_api.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Kept mapped after dlclose so that the leak checker can still see what Qt keeps in its globals.
        handle = ::dlopen(ZORVA_BIN_DIR "/Exporters/ZvBinMapFile.so", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        ASSERT_NE(handle, nullptr) << ::dlerror();
        version = reinterpret_cast<QueryExporterDLLVersionFn>(
            ::dlsym(handle, ZV_QUERY_EXPORTER_DLL_VERSION_SYMBOL));
        set_parent = reinterpret_cast<SetParentCWinAppFn>(::dlsym(handle, ZV_SET_PARENT_CWINAPP_SYMBOL));
        start = reinterpret_cast<StartExportFn>(::dlsym(handle, ZV_START_EXPORT_SYMBOL));
    }
    void TearDown() override {
        if (handle) ::dlclose(handle);
    }

    void* handle = nullptr;
    QueryExporterDLLVersionFn version = nullptr;
    SetParentCWinAppFn set_parent = nullptr;
    StartExportFn start = nullptr;
};

TEST_F(PluginTest, ExportsTheThreeFunctionsAndRefusesASecondApplicationObject) {
    ASSERT_TRUE(version && set_parent && start);
    EXPECT_EQ(version(), 114u);
    zorva::test::TempDir dir;
    const std::string folder = dir.path().string();
    const ExporterHostApplication application{sizeof(ExporterHostApplication), kExporterInterfaceVersion,
                                              nullptr, folder.c_str()};
    EXPECT_EQ(set_parent(&application), 1);
    EXPECT_EQ(set_parent(&application), 0);

    // Headless, nothing remembered: the dialog would be needed and cannot be shown.
    test::FakeExportHost host;
    host.quick_export = true;
    host.output_file = dir.file("out.bin");
    host.add_map("m");
    EXPECT_EQ(start(host.table()), 0);
    EXPECT_EQ(host.messages, std::vector<std::string>{"ERROR: Failed to create the dialog."});
    EXPECT_EQ(start(nullptr), 0);
}

}  // namespace
}  // namespace zorva::binmap
