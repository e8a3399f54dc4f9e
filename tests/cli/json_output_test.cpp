// The JSON of zorva-cli info, check and diff, validated against the schema in docs/ as a script would
// receive it: from the program's standard output.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/json_writer.h"
#include "support/cli_runner.h"
#include "support/json_schema.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

const std::string kSample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";

JsonValue parse(const std::string& text) {
    JsonValue value;
    std::string error;
    EXPECT_TRUE(JsonParser::parse(text, value, error)) << error << "\n" << text;
    return value;
}

const JsonSchemaValidator& schema() {
    static const JsonSchemaValidator validator = [] {
        std::ifstream in(ZORVA_SCHEMA_FILE);
        std::stringstream text;
        text << in.rdbuf();
        return JsonSchemaValidator(parse(text.str()));
    }();
    return validator;
}

std::string joined(const std::vector<std::string>& errors) {
    std::string text;
    for (const std::string& error : errors) text += error + "\n";
    return text;
}

// Parses a run's standard output and validates it; the document's exit_status is the program's.
JsonValue valid_document(const CliRun& run) {
    JsonValue document = parse(run.out);
    const std::vector<std::string> errors = schema().validate(document);
    EXPECT_TRUE(errors.empty()) << joined(errors) << run.out;
    EXPECT_EQ(document["exit_status"].is_number() ? static_cast<int>(document["exit_status"].number()) : -1,
              run.exit_code);
    return document;
}

// File names keep their UTF-8; any byte that is not well-formed UTF-8 (a lone byte, an overlong form, a
// surrogate, a code point above U+10FFFF, a cut-off sequence) is escaped, so the document stays UTF-8.
TEST(JsonWriterText, FileNamesKeepUtf8AndEscapeTheRest) {
    using cli::JsonWriter;
    EXPECT_EQ(JsonWriter::quoted("caf\xc3\xa9 \xf0\x9f\x99\x82", true), "\"caf\xc3\xa9 \xf0\x9f\x99\x82\"");
    EXPECT_EQ(JsonWriter::quoted("caf\xc3\xa9"), "\"caf\\u00c3\\u00a9\"");  // a project name: byte by byte
    EXPECT_EQ(JsonWriter::quoted("\xe9t\xe9", true), "\"\\u00e9t\\u00e9\"");
    EXPECT_EQ(JsonWriter::quoted("\xc0\xaf", true), "\"\\u00c0\\u00af\"");
    EXPECT_EQ(JsonWriter::quoted("\xed\xa0\x80", true), "\"\\u00ed\\u00a0\\u0080\"");
    EXPECT_EQ(JsonWriter::quoted("\xf4\x90\x80\x80", true), "\"\\u00f4\\u0090\\u0080\\u0080\"");
    EXPECT_EQ(JsonWriter::quoted("a\xc3", true), "\"a\\u00c3\"");
    EXPECT_EQ(JsonWriter::quoted("\x7f\n", true), "\"\\u007f\\n\"");
}

// The validator itself: each keyword the schema relies on rejects what it should.
TEST(JsonSchemaValidator, RejectsWhatTheSchemaForbids) {
    const JsonSchemaValidator validator(parse(R"({
        "type": "object",
        "required": ["kind", "items"],
        "properties": {
            "kind": { "enum": ["a", "b"] },
            "version": { "const": 1 },
            "items": { "type": "array", "items": { "$ref": "#/$defs/item" } },
            "id": { "type": ["integer", "null"], "minimum": 0, "maximum": 10 },
            "either": { "oneOf": [{ "type": "string" }, { "type": "integer" }] }
        },
        "additionalProperties": false,
        "$defs": { "item": { "type": "object", "required": ["n"], "additionalProperties": false,
                             "properties": { "n": { "type": "integer" } } } }
    })"));
    EXPECT_TRUE(
        validator.validate(parse(R"({"kind": "a", "items": [{"n": 1}], "id": null, "either": 3})")).empty());
    for (const char* bad : {
             R"({"items": []})",                               // required
             R"({"kind": "c", "items": []})",                  // enum
             R"({"kind": "a", "items": [], "version": 2})",    // const
             R"({"kind": "a", "items": [{"n": 1.5}]})",        // integer, through $ref and items
             R"({"kind": "a", "items": [{"n": 1, "m": 2}]})",  // additionalProperties in $defs
             R"({"kind": "a", "items": [], "extra": true})",   // additionalProperties
             R"({"kind": "a", "items": [], "id": 11})",        // maximum
             R"({"kind": "a", "items": [], "id": -1})",        // minimum
             R"({"kind": "a", "items": [], "either": true})",  // oneOf, none
             R"({"kind": "a", "items": {}})",                  // type
         }) {
        EXPECT_FALSE(validator.validate(parse(bad)).empty()) << bad;
    }
    // A keyword it does not check is reported, not ignored.
    const JsonSchemaValidator unknown(parse(R"({"type": "string", "pattern": "^a"})"));
    EXPECT_FALSE(unknown.validate(parse(R"("b")")).empty());
}

TEST(JsonParser, RejectsWhatIsNotJson) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\":1,}", "{'a':1}", "01", "1.", "\"\\x41\"", "nul", "[1] 2",
                            "\"a\tb\"", "{\"a\":1,\"a\":2}", "\"\xe9\""}) {
        JsonValue value;
        std::string error;
        EXPECT_FALSE(JsonParser::parse(bad, value, error)) << bad;
    }
    JsonValue value;
    std::string error;
    ASSERT_TRUE(JsonParser::parse(R"({"a": [1, -2.5e3, true, null, "\u00e9\n"]})", value, error)) << error;
    EXPECT_EQ(value["a"][1].number(), -2500.0);
    EXPECT_EQ(value["a"][4].string(), "\xc3\xa9\n");
}

TEST(JsonOutput, InfoOfTheSample) {
    const CliRun run = run_zorva_cli({"info", kSample, "--json"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const JsonValue document = valid_document(run);
    EXPECT_EQ(document["command"].string(), "info");
    EXPECT_EQ(document["counts"]["maps"].number(), 2.0);
    EXPECT_EQ(document["counts"]["layers"].number(), 5.0);
    EXPECT_EQ(document["maps"][1]["name"].string(), "Crystal Cave");
    EXPECT_EQ(document["maps"][0]["layers"][1]["name"].string(), "Ground");
    EXPECT_TRUE(document["failed_images"].array().empty());
}

TEST(JsonOutput, InfoOfAFileThatCannotBeRead) {
    TempDir dir;
    const CliRun run = run_zorva_cli({"info", dir.file("missing.xml"), "--json"});
    EXPECT_EQ(run.exit_code, 1);
    const JsonValue document = valid_document(run);
    EXPECT_EQ(document["status"].string(), "unreadable");
    EXPECT_FALSE(document["messages"].array().empty());
}

// A clean project, one with problems (under a name outside ASCII), and one that cannot be read, in a folder
// whose name is UTF-8 as file names are: the names come back as they are, not as ISO-8859-1 read twice.
TEST(JsonOutput, CheckOfSeveralProjects) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "niveaux-\xc3\xa9t\xc3\xa9");
    {
        TestProject t;
        Map& map = t.add_map("Caf\xe9");  // no tile set
        t.add_layer(map, "Ground", 4, 4).is_locked = true;
        ASSERT_TRUE(write_project_file(t, dir.file("niveaux-\xc3\xa9t\xc3\xa9/b-problems.xml")));
    }
    {
        TestProject t;
        ASSERT_TRUE(write_project_file(t, dir.file("niveaux-\xc3\xa9t\xc3\xa9/a-clean.zvp")));
    }
    std::ofstream(dir.file("niveaux-\xc3\xa9t\xc3\xa9/c-broken.xml")) << "<project>";

    const CliRun run =
        run_zorva_cli({"check", dir.file("niveaux-\xc3\xa9t\xc3\xa9"), "--json", "--jobs", "2"});
    EXPECT_EQ(run.exit_code, 2) << run.err;
    EXPECT_EQ(run.err, "");
    const JsonValue document = valid_document(run);
    const JsonArray& projects = document["projects"].array();
    ASSERT_EQ(projects.size(), 3u);
    EXPECT_EQ(projects[0]["status"].string(), "clean");
    EXPECT_EQ(projects[0]["project"].string(), dir.file("niveaux-\xc3\xa9t\xc3\xa9/a-clean.zvp"));
    EXPECT_EQ(projects[1]["status"].string(), "problems");
    EXPECT_EQ(projects[2]["status"].string(), "unreadable");
    const JsonValue& problem = projects[1]["problems"][0];
    EXPECT_EQ(problem["code"].string(), "map-without-tile-set");
    EXPECT_EQ(problem["object"]["map"]["name"].string(), "Caf\xc3\xa9");  // ISO-8859-1 0xE9 is U+00E9
    EXPECT_EQ(problem["object"]["path"].string(), "map 0 \"Caf\\xe9\"");
    EXPECT_EQ(projects[1]["problems"][1]["severity"].string(), "warning");
    EXPECT_EQ(document["summary"]["unreadable"].number(), 1.0);
    EXPECT_EQ(document["summary"]["errors"].number(), 1.0);

    // The schema is no formality: a document with a code it does not know fails it.
    std::string text = run.out;
    const std::size_t at = text.find("\"map-without-tile-set\"");
    text.replace(at, 22, "\"map-without-tileset\"");
    EXPECT_FALSE(schema().validate(parse(text)).empty());
}

TEST(JsonOutput, DiffOfTwoVersions) {
    TempDir dir;
    TestProject t;
    Map& map = t.add_map("Level");
    Layer& layer = t.add_layer(map, "Ground", 4, 4);
    ParentEntity& parent = t.add_parent("Coin");
    t.add_instance(map, layer, parent, 8.0f, 8.0f);
    ASSERT_TRUE(write_project_file(t, dir.file("a.xml")));
    layer.cell(2, 3)->tile = 1;
    layer.instance_entities[0]->px = 12.5f;
    layer.scroll_speed_x = 0.5f;
    layer.custom_variables[4] = "boss";
    map.name = "Level 1";
    ASSERT_TRUE(write_project_file(t, dir.file("b.xml")));

    const CliRun same = run_zorva_cli({"diff", dir.file("a.xml"), dir.file("a.xml"), "--json"});
    EXPECT_EQ(same.exit_code, 0);
    EXPECT_EQ(valid_document(same)["status"].string(), "identical");

    const CliRun run = run_zorva_cli({"diff", dir.file("a.xml"), dir.file("b.xml"), "--json"});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    const JsonValue document = valid_document(run);
    EXPECT_EQ(document["status"].string(), "different");
    const JsonArray& changes = document["changes"].array();
    ASSERT_EQ(changes.size(), 4u) << run.out;
    EXPECT_EQ(changes[0]["change"].string(), "renamed");
    EXPECT_EQ(changes[0]["old_name"].string(), "Level");
    EXPECT_EQ(changes[1]["change"].string(), "changed");  // the layer's fields
    EXPECT_EQ(changes[1]["fields"][0]["field"].string(), "scroll_speed_x");
    EXPECT_EQ(changes[1]["fields"][0]["after"].number(), 0.5);
    EXPECT_EQ(changes[1]["fields"][1]["field"].string(), "custom_variables[5]");
    EXPECT_EQ(changes[1]["fields"][1]["after"].string(), "boss");
    EXPECT_EQ(changes[2]["cells"]["changed"].number(), 1.0);
    EXPECT_EQ(changes[2]["cells"]["box"]["y"].number(), 3.0);
    EXPECT_EQ(changes[3]["object"]["kind"].string(), "instance");
    EXPECT_EQ(changes[3]["fields"][0]["after"].number(), 12.5);

    const CliRun unreadable = run_zorva_cli({"diff", dir.file("a.xml"), dir.file("gone.xml"), "--json"});
    EXPECT_EQ(unreadable.exit_code, 2);
    EXPECT_EQ(valid_document(unreadable)["unreadable"][0]["project"].string(), dir.file("gone.xml"));
}

}  // namespace
}  // namespace zorva::test
