// A project taken from XML through the binary file and back to XML comes out as it went in: the two
// formats carry the same information.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "projectfile/project_io.h"
#include "support/temp_dir.h"
#include "zvp_test_support.h"

namespace zorva {
namespace {

// The document's lines (CR LF separated) without line 2, which holds the creation date.
std::vector<std::string> lines_without_date(const std::vector<unsigned char>& bytes) {
    const std::string text(bytes.begin(), bytes.end());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    if (lines.size() > 1) lines.erase(lines.begin() + 1);
    return lines;
}

// Reads `xml`, writes it as `zvp`, reads that and writes `xml` again; the new document must equal the old
// one line for line apart from the date.
void expect_round_trip(const std::string& xml, const std::string& zvp) {
    const std::vector<unsigned char> original = test::read_bytes(xml);
    ASSERT_FALSE(original.empty());
    LoadResult from_xml = read_project(xml);
    ASSERT_TRUE(from_xml) << from_xml.message;
    ASSERT_TRUE(write_project(zvp, *from_xml.project));
    LoadResult from_zvp = read_project(zvp);
    ASSERT_TRUE(from_zvp);
    EXPECT_FALSE(from_zvp.version_differs);
    ASSERT_TRUE(write_project(xml, *from_zvp.project));
    const auto expected = lines_without_date(original);
    const auto actual = lines_without_date(test::read_bytes(xml));
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(actual[i], expected[i]) << "line " << (i < 1 ? i + 1 : i + 2);
}

TEST(ZvpXmlRoundTrip, EveryKindOfObject) {
    test::TempDir dir;
    test::RichProject rich;
    test::build_rich_project(rich);
    const std::string folder = dir.path().string() + "/";
    rich.project.last_used_image_tile_set_path = folder;
    rich.project.last_used_image_parent_entity_path = folder;
    rich.project.last_used_image_layer_background_path = folder;
    const std::string xml = dir.file("rich.xml");
    ASSERT_TRUE(write_project(xml, rich.project));
    expect_round_trip(xml, dir.file("rich.ZVP"));
}

TEST(ZvpXmlRoundTrip, TheSampleProject) {
    // The bundled sample with its images, copied so that its relative paths hold; one XML pass first
    // makes the stored absolute paths those of the copy.
    const std::filesystem::path sample =
        std::filesystem::path(ZORVA_TEST_SOURCE_DIR) / ".." / "examples" / "SampleProjects";
    if (!std::filesystem::exists(sample / "Sample.xml")) GTEST_SKIP() << "no sample project";
    test::TempDir dir;
    std::filesystem::copy(sample, dir.path(), std::filesystem::copy_options::recursive);
    const std::string xml = dir.file("Sample.xml");
    LoadResult first = read_project(xml);
    ASSERT_TRUE(first) << first.message;
    ASSERT_TRUE(write_project(xml, *first.project));
    expect_round_trip(xml, dir.file("Sample.zvp"));
}

}  // namespace
}  // namespace zorva
