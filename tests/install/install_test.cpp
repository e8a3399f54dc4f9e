// The installed editor as a user gets it: this build installed with `cmake --install` into a scratch
// prefix, its desktop files checked by the freedesktop tools, and the installed programs and plug-ins run
// from there, far from the build tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "base/install_layout.h"
#include "binmap_test_support.h"
#include "exporters/binmapfile/variable_catalogue.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {
namespace fs = std::filesystem;
using test::CliRun;
using test::run_program;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Width and height from a PNG file's header.
std::pair<std::uint32_t, std::uint32_t> png_size(const fs::path& path) {
    const std::string bytes = read_text(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto be32 = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {be32(16), be32(20)};
}

// A tool of the desktop checks; its package is in scripts/zorva.sh's list.
std::string tool(const char* path, const char* name) {
    const std::string found = path;
    if (found.empty() || found.ends_with("-NOTFOUND"))
        ADD_FAILURE() << name << " is not installed (sh scripts/zorva.sh install installs it)";
    return found;
}

class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        const CliRun install =
            run_program(ZORVA_CMAKE_COMMAND, {"--install", ZORVA_BUILD_DIR, "--prefix", prefix.string()});
        ASSERT_EQ(install.exit_code, 0) << install.output();
        fs::create_directories(home);
    }

    fs::path share(const std::string& relative) const { return prefix / ZORVA_INSTALL_DATADIR / relative; }

    // The environment of a user's session: no data folder of the tests, no desktop of its own.
    test::ExtraEnvironment session() const {
        return {{"ZORVA_HOME", ""},
                {"HOME", home.string()},
                {"XDG_CONFIG_HOME", (home / ".config").string()},
                {"XDG_DATA_HOME", (home / ".local" / "share").string()},
                {"XDG_DATA_DIRS", (prefix / ZORVA_INSTALL_DATADIR).string() + ":/usr/share"},
                {"XDG_CURRENT_DESKTOP", "X-Generic"},
                {"QT_QPA_PLATFORM", "offscreen"}};
    }

    CliRun cli(const std::vector<std::string>& arguments) const {
        return run_program((bin / "zorva-cli").string(), arguments, session());
    }

    test::TempDir dir;
    const fs::path prefix = dir.path() / "prefix";
    const fs::path bin = prefix / ZORVA_INSTALL_BINDIR;
    const fs::path home = dir.path() / "home";
    const fs::path sample = prefix / ZORVA_INSTALL_SHARE_DIR / "Examples" / "SampleProjects" / "Sample.xml";
};

// The menu entry, the software-centre description, the file types and the icons pass the freedesktop
// validators, and every name they use is installed.
TEST_F(Installed, DesktopFilesPassTheFreedesktopChecks) {
    const fs::path desktop = share("applications/org.zorva.Zorva.desktop");
    const fs::path metainfo = share("metainfo/org.zorva.Zorva.metainfo.xml");
    const fs::path mime = share("mime/packages/zorva.xml");
    const fs::path thumbnailer = share("thumbnailers/zorva.thumbnailer");

    const CliRun entry =
        run_program(tool(DESKTOP_FILE_VALIDATE, "desktop-file-validate"), {desktop.string()});
    EXPECT_EQ(entry.exit_code, 0) << entry.output();
    EXPECT_EQ(entry.output(), "");  // not even a hint
    const CliRun appstream =
        run_program(tool(APPSTREAMCLI, "appstreamcli"), {"validate", "--no-net", metainfo.string()});
    EXPECT_EQ(appstream.exit_code, 0) << appstream.output();

    std::vector<std::string> xml_files = {metainfo.string(), mime.string()};
    for (const char* size : {"16", "22", "24", "32", "48", "64", "128", "256"}) {
        const fs::path sized = share(std::string("icons/hicolor/") + size + "x" + size);
        EXPECT_TRUE(fs::is_regular_file(sized / "apps" / "zorva.png")) << size;
        for (const char* type : {"application-x-zorva-project", "application-x-zorva-project+xml"})
            EXPECT_TRUE(fs::is_regular_file(sized / "mimetypes" / (std::string(type) + ".png")))
                << size << type;
        EXPECT_EQ(png_size(sized / "apps" / "zorva.png").first, static_cast<std::uint32_t>(std::stoi(size)));
    }
    for (const fs::path& svg :
         {share("icons/hicolor/scalable/apps/zorva.svg"),
          share("icons/hicolor/scalable/mimetypes/application-x-zorva-project.svg"),
          share("icons/hicolor/scalable/mimetypes/application-x-zorva-project+xml.svg")}) {
        EXPECT_TRUE(fs::is_regular_file(svg)) << svg;
        xml_files.push_back(svg.string());
    }
    std::vector<std::string> lint = {"--noout"};
    lint.insert(lint.end(), xml_files.begin(), xml_files.end());
    const CliRun xml = run_program(tool(XMLLINT, "xmllint"), lint);
    EXPECT_EQ(xml.exit_code, 0) << xml.output();

    // What the entries name is there: the programs, the icon, the file types.
    const std::string entry_text = read_text(desktop);
    EXPECT_NE(entry_text.find("\nIcon=zorva\n"), std::string::npos);
    EXPECT_NE(entry_text.find("\nTryExec=zorva\n"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(bin / "zorva"));
    const std::string mime_text = read_text(mime);
    for (const char* type : {"application/x-zorva-project", "application/x-zorva-project+xml"}) {
        EXPECT_NE(entry_text.find(std::string(type) + ";"), std::string::npos) << type;
        EXPECT_NE(read_text(thumbnailer).find(std::string(type) + ";"), std::string::npos) << type;
        EXPECT_NE(mime_text.find("type=\"" + std::string(type) + "\""), std::string::npos) << type;
    }
    EXPECT_NE(read_text(thumbnailer).find("\nExec=zorva-cli render %i --output %o --whole --fit %s\n"),
              std::string::npos);
    EXPECT_NE(
        read_text(metainfo).find("<launchable type=\"desktop-id\">org.zorva.Zorva.desktop</launchable>"),
        std::string::npos);
    // The screenshot it names is the one published with it, at its size.
    const auto [shot_width, shot_height] =
        png_size(ZORVA_TEST_SOURCE_DIR "/../desktop/screenshots/zorva-editor.png");
    EXPECT_NE(read_text(metainfo).find("<image type=\"source\" width=\"" + std::to_string(shot_width) +
                                       "\" height=\"" + std::to_string(shot_height) + "\">"),
              std::string::npos)
        << shot_width << " x " << shot_height;
    EXPECT_NE(read_text(metainfo).find("/screenshots/zorva-editor.png</image>"), std::string::npos);
}

// With the file types in the shared MIME database, xdg-mime knows both project files by their content: a
// binary project by its header even without its extension, an XML project by its root element, while any
// other XML file stays XML.
TEST_F(Installed, TheFileTypesAreKnownByTheirContent) {
    const CliRun update =
        run_program(tool(UPDATE_MIME_DATABASE, "update-mime-database"), {share("mime").string()});
    ASSERT_EQ(update.exit_code, 0) << update.output();
    const fs::path zvp = dir.path() / "Level.zvp";
    ASSERT_EQ(cli({"convert", sample.string(), zvp.string()}).exit_code, 0);
    fs::copy_file(zvp, dir.path() / "backup-without-extension");
    std::ofstream(dir.path() / "build.xml")
        << "<?xml version=\"1.0\"?>\n<project name=\"tool\">\n</project>\n";

    auto type_of = [&](const fs::path& file) {
        CliRun query =
            run_program(tool(XDG_MIME, "xdg-mime"), {"query", "filetype", file.string()}, session());
        EXPECT_EQ(query.exit_code, 0) << query.output();
        return query.out;
    };
    EXPECT_EQ(type_of(sample), "application/x-zorva-project+xml\n");
    EXPECT_EQ(type_of(zvp), "application/x-zorva-project\n");
    EXPECT_EQ(type_of(dir.path() / "backup-without-extension"), "application/x-zorva-project\n");
    EXPECT_EQ(type_of(dir.path() / "build.xml"), "application/xml\n");
}

// The installed zorva-cli reads the installed sample with every image, draws its preview as the thumbnailer
// does, and finds the installed plug-ins in the library folder, with nothing beside the programs.
TEST_F(Installed, TheInstalledCliRunsTheSampleAndThePlugIns) {
    const fs::path plugins = installed_exporters_folder(bin);
    EXPECT_EQ(plugins, (prefix / ZORVA_INSTALL_EXPORTERS_DIR).lexically_normal());
    EXPECT_TRUE(fs::is_regular_file(plugins / "Scrivo.so"));
    EXPECT_TRUE(fs::is_regular_file(plugins / "ZvBinMapFile.so"));
    EXPECT_TRUE(fs::is_regular_file(plugins / "ZvTmx.so"));
    EXPECT_FALSE(fs::exists(bin / "Exporters"));

    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.out, test::run_zorva_cli({"--version"}).out);
    const CliRun info = cli({"info", sample.string()});
    EXPECT_EQ(info.exit_code, 0) << info.output();
    EXPECT_NE(info.out.find("Maps: 2\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Images that failed to load: 0\n"), std::string::npos) << info.out;

    const fs::path preview = dir.path() / "preview.png";
    const CliRun render =
        cli({"render", sample.string(), "--output", preview.string(), "--whole", "--fit", "256"});
    EXPECT_EQ(render.exit_code, 0) << render.output();
    EXPECT_EQ(render.err, "");
    const auto [width, height] = png_size(preview);
    EXPECT_LE(std::max(width, height), 256u) << width << " x " << height;
    EXPECT_GT(std::max(width, height), 200u) << width << " x " << height;

    const fs::path dump = dir.path() / "sample.txt";
    const CliRun scrivo = cli({"export", sample.string(), "--exporter", "Scrivo", "--output", dump.string()});
    EXPECT_EQ(scrivo.exit_code, 0) << scrivo.output();
    EXPECT_NE(read_text(dump).find("Tile Set # 1\r\n\tName: Terrain\r\n"), std::string::npos);

    binmap::test::write_bytes(
        (dir.path() / "layout.zbe").string(),
        binmap::test::zbe(2, 2, {{binmap::kMapNumberOfLayers, 2, 50}, {binmap::kMapUserId, 6, 50}}));
    const CliRun binary =
        cli({"export", sample.string(), "--exporter", "zvbinmapfile", "--output",
             (dir.path() / "level.bin").string(), "--settings", (dir.path() / "layout.zbe").string()});
    EXPECT_EQ(binary.exit_code, 0) << binary.output();
    EXPECT_EQ(binmap::test::read_bytes((dir.path() / "level0.bin").string()).size(), 5u) << binary.output();

    const CliRun missing = cli({"export", sample.string(), "--exporter", "Atlas", "--output", dump.string()});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("Exporters in " + plugins.string() + ": Scrivo, ZvBinMapFile, ZvTmx\n"),
              std::string::npos)
        << missing.err;
    // It is named where plug-ins are installed; no folder that does not exist is mentioned.
    EXPECT_EQ(
        missing.err.rfind("Could not find/load the exporter DLL: \n\n" + (plugins / "Atlas.so").string(), 0),
        0u)
        << missing.err;
    EXPECT_EQ(missing.err.find((bin / "Exporters").string()), std::string::npos) << missing.err;
}

// The installed sample project is, byte for byte, what the sample generator writes: the project file and
// every picture, and nothing else.
TEST_F(Installed, TheInstalledSampleIsTheGeneratorsOutput) {
    const fs::path generated = dir.path() / "generated";
    const CliRun run = run_program(ZORVA_GENERATE_SAMPLE, {generated.string()});
    ASSERT_EQ(run.exit_code, 0) << run.output();
    auto files = [](const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file()) names.push_back(entry.path().lexically_relative(folder).string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const fs::path installed = sample.parent_path();
    const std::vector<std::string> names = files(installed);
    EXPECT_EQ(names, files(generated));
    EXPECT_GE(names.size(), 2u);
    for (const std::string& name : names) {
        EXPECT_FALSE(read_text(installed / name).empty()) << name;
        EXPECT_TRUE(read_text(installed / name) == read_text(generated / name)) << name << " differs";
    }
}

// The installed editor answers --help and --version as its manual page says, and keeps its preferences in
// the user's configuration folder, never beside its programs, though it could write there.
TEST_F(Installed, TheInstalledEditorKeepsItsDataInTheUserConfigurationFolder) {
    const std::string zorva = (bin / "zorva").string();
    const CliRun version = run_program(zorva, {"--version"}, session());
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.out, "zorva " + std::string(ZORVA_VERSION) + "\n");
    const CliRun help = run_program(zorva, {"--help"}, session());
    EXPECT_EQ(help.exit_code, 0);
    const std::string manual = read_text(prefix / ZORVA_INSTALL_MANDIR / "man1" / "zorva.1");
    EXPECT_NE(manual.find("\"Zorva " + std::string(ZORVA_VERSION) + "\""), std::string::npos);
    for (const char* option : {"--help", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
        EXPECT_NE(manual.find(std::string(".B") + (option[2] == 'h' ? "R " : " ") + "\\-\\-" + (option + 2)),
                  std::string::npos)
            << option;
    }
    EXPECT_TRUE(fs::is_regular_file(prefix / ZORVA_INSTALL_MANDIR / "man1" / "zorva-cli.1"));
    EXPECT_TRUE(fs::is_regular_file(prefix / ZORVA_INSTALL_SHARE_DIR / "help.html"));

    // In the sanitizer builds the editor runs without the leak check: the caches the windowing and font
    // libraries keep for the life of the process are not this test's business.
    test::ExtraEnvironment editor_session = session();
    editor_session.push_back({"ASAN_OPTIONS", "detect_leaks=0"});
    const CliRun run = run_program(zorva, {"--bench-startup", sample.string()}, editor_session);
    EXPECT_EQ(run.exit_code, 0) << run.output();
    EXPECT_TRUE(fs::is_regular_file(home / ".config" / "zorva" / "Settings.cfg")) << run.output();
    EXPECT_FALSE(fs::exists(bin / "Settings.cfg"));
}

}  // namespace
}  // namespace zorva
