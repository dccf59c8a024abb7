// The tool's own side of the bundled lending-library model (a main file and
// five unit files placed by a path map, code page 1252): the summary and its
// JSON, the files written, the export's references and schema. What the model
// holds is checked at the library level.

#include <functional>

#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

const std::string Main = "samples/library/library.mdl";
const std::vector<std::string> Units = {"samples/library/people.cat", "samples/library/accounts.cat",
                                        "samples/library/packages/reservations/reservations.cat",
                                        "samples/library/packages/reservations/notices/notices.cat",
                                        "samples/library/packages/acquisitions/acquisitions.cat"};

class SampleTest : public ::testing::Test {
protected:
    // lum COMMAND MAIN --pathmap MAP OPTIONS..., from the source tree.
    tRun Lum(std::vector<std::string> args) const {
        args.insert(args.begin() + 1, {Main, "--pathmap", "samples/library/library.map"});
        return scratch.Lum(args, LUM_SOURCE_DIR);
    }
    tScratchDir scratch;
};

TEST_F(SampleTest, CheckSummarisesAsTextAndAsJson) {
    const tRun run = Lum({"check", "--strict"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(run.out.starts_with(Main + ": Information: Reading the model as code page 1252: its header declares "
                                           "charSet 0 (override with --codepage N)\n\nfiles: 1 main, 5 unit files "
                                           "loaded, 0 missing\ncode page: 1252 (detected)\nobjects: 230\n")) << run.out;
    EXPECT_EQ(LineWith(run.out, "references:"), "references: 155 bound, 0 naming nothing, 0 into missing units, "
                                                "43 unmodelled types, 0 dangling (0 ambiguous)");
    EXPECT_TRUE(LineWith(run.out, "read 0.0").ends_with(" MB/s)"));

    const Json doc = JsonOf(Lum({"check", "--format", "json"}).out);
    EXPECT_EQ(doc["format"], "lum-check/1");
    EXPECT_EQ(doc["diagnostics"][0]["code"], "CodePageChosen");
    EXPECT_EQ(doc["files"], Json::parse(R"({"main": 1, "unitsLoaded": 5, "unitsMissing": []})"));
    EXPECT_EQ(doc["references"], Json::parse(R"({"bound": 155, "unbound": 43, "empty": 0, "inMissingUnits": 0,
        "unmodelledTypes": 43, "dangling": 0, "ambiguous": 0})"));
    std::uintmax_t bytes = fs::file_size(fs::path(LUM_SOURCE_DIR) / Main);
    for (const std::string& unit : Units) bytes += fs::file_size(fs::path(LUM_SOURCE_DIR) / unit);
    EXPECT_EQ(doc["bytes"], bytes);
    EXPECT_EQ(doc["status"], 0);

    const Json stats = JsonOf(Lum({"stats", "--format", "json"}).out);
    EXPECT_EQ(stats["format"], "lum-stats/1");
    EXPECT_EQ(stats["diagrams"], Json::parse(R"({"ClassDiagram": 6, "State_Diagram": 1, "UseCaseDiagram": 1})"));
    EXPECT_TRUE(Lum({"stats"}).out.ends_with("\n\ndiagrams per kind:\n  ClassDiagram: 6\n  State_Diagram: 1\n"
                                             "  UseCaseDiagram: 1\n"));
}

TEST_F(SampleTest, PrintAndExportWriteUtf8ToStandardOutputOrAFile) {
    const tRun print = Lum({"print"});
    EXPECT_EQ(print.status, 0) << Describe(print);
    EXPECT_TRUE(IsUtf8(print.out) && print.out.starts_with("object VellumFile\n"));
    EXPECT_TRUE(Contains(print.out, "Versp\xC3\xA4tungsgeb\xC3\xBChr")) << "Verspätungsgebühr from a unit file";
    // An older, longer file is replaced, not overwritten in part.
    scratch.Write("out/model.txt", std::string(print.out.size() * 2, 'x'));
    const tRun written = Lum({"print", "-o", scratch / "out/model.txt"});
    EXPECT_EQ(written.status, 0) << Describe(written);
    EXPECT_EQ(written.out + written.err, "");
    EXPECT_EQ(ReadFile(scratch / "out/model.txt"), print.out);

    EXPECT_EQ(Lum({"export", "--output", scratch / "out/model.json"}).status, 0);
    EXPECT_EQ(ReadFile(scratch / "out/model.json"), Lum({"export"}).out);
    const Json doc = JsonOf(ReadFile(scratch / "out/model.json"));
    EXPECT_EQ(doc["files"][0], Json::parse(R"({"path": "samples/library/library.mdl", "role": "main"})"));
    for (std::size_t i = 0; i < Units.size(); ++i) EXPECT_EQ(doc["files"][i + 1]["path"], Units[i]);

    // Objects come in depth-first order, numbered so; each bound reference
    // names its target by quid, by (the end of) its name, or by its class.
    std::vector<const Json*> objects, references;
    std::function<void(const Json&)> walk = [&](const Json& value) {
        if (value.contains("class")) objects.push_back(&value);
        else if (value.contains("target")) references.push_back(&value);
        if (value.is_structured()) for (const Json& item : value) walk(item);
    };
    walk(doc["models"]);
    ASSERT_EQ(objects.size(), doc["objectCount"].get<std::size_t>());
    for (std::size_t i = 0; i < objects.size(); ++i) ASSERT_EQ((*objects[i])["id"], i);
    EXPECT_EQ(references.size(), 155u);
    for (const Json* reference : references) {
        const Json& target = *objects.at((*reference)["target"].get<std::size_t>());
        const std::string text = (*reference)["text"], name = target["features"].value("name", "");
        EXPECT_TRUE(target.value("quid", "") == text || (!name.empty() && text.ends_with(name)) ||
                    text == target["class"])
            << text << " -> object " << target["id"];
    }
}

// The export, diagnostics with their codes included, is what its schema says.
TEST_F(SampleTest, ExportMatchesItsSchema) {
    if (scratch.Run("python3", {"-c", "import jsonschema"}).status != 0) GTEST_SKIP() << "no python3-jsonschema";
    ASSERT_EQ(Lum({"export", "-o", scratch / "model.json"}).status, 0);
    const tRun valid = scratch.Run("python3", {"-c", "import json,sys,jsonschema; jsonschema.validate("
                                                     "json.load(open(sys.argv[2])), json.load(open(sys.argv[1])))",
                                               std::string(LUM_SOURCE_DIR) + "/schema/lum-export-1.schema.json",
                                               "model.json"});
    EXPECT_EQ(valid.status, 0) << valid.err;
}


// Folder and file names beyond ASCII, in a locale that cannot encode them
// and in one that can: written back as read, byte for byte; a target that
// cannot be made is exit status 2 and leaves the model as it was.
TEST_F(SampleTest, WriteTakesAnyFileNameInAnyLocale) {
    const fs::path source = scratch / "软件工程";
    fs::copy(fs::path(LUM_SOURCE_DIR) / "samples/library", source, fs::copy_options::recursive);
    fs::rename(source / "library.mdl", source / "图书管理系统.mdl");
    for (const std::string locale : {"LC_ALL=C", "LC_ALL=C.UTF-8"}) {
        SCOPED_TRACE(locale);
        const std::string out = (scratch / ("Диаграммы " + locale.substr(7))).string();
        const tRun run = scratch.Run("env", {locale, LUM_TOOL, "write", "软件工程/图书管理系统.mdl", "--pathmap",
                                             "软件工程/library.map", "-o", out});
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_EQ(ReadFile(fs::path(out) / "图书管理系统.mdl"), ReadFile(source / "图书管理系统.mdl"));
        EXPECT_EQ(ReadFile(fs::path(out) / "packages/reservations/notices/notices.cat"),
                  ReadFile(source / "packages/reservations/notices/notices.cat"));
    }
    scratch.Write("blocked", "a file where a folder should be");
    const tRun blocked = scratch.Run("env", {"LC_ALL=C", LUM_TOOL, "write", "软件工程/图书管理系统.mdl", "--pathmap",
                                             "软件工程/library.map", "-o", (scratch / "blocked/out").string()});
    EXPECT_EQ(blocked.status, 2) << Describe(blocked);
    EXPECT_NE(blocked.err.find("图书管理系统.mdl"), std::string::npos) << blocked.err;
}

// Every writer's output that cannot be written, standard output on a full
// device or a file below /dev/full, ends the command with status 2 and a line
// that says so.
TEST_F(SampleTest, AnOutputThatCannotBeWrittenIsStatusTwo) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"outline"}, {"outline", "--format", "json"}, {"export"}, {"print"}, {"diff", "--format", "json", Main},
             {"xmi", "-o", "/dev/full"}, {"render", "-o", "/dev/full"}, {"plantuml", "-o", "/dev/full"},
             {"site", "-o", "/dev/full"}, {"papyrus", "-o", "/dev/full"}}) {
        args.insert(args.begin() + 1, {Main, "--pathmap", "samples/library/library.map"});
        args.insert(args.begin(), {"-c", "exec \"$0\" \"$@\" >/dev/full", LUM_TOOL});
        const tRun run = scratch.Run("/bin/sh", args, LUM_SOURCE_DIR);
        EXPECT_EQ(run.status, 2) << args[3] << '\n' << Describe(run);
        EXPECT_TRUE(Contains(run.err, "lum: cannot write ")) << args[3] << '\n' << run.err;
    }
}

}  // namespace
}  // namespace lumcli::test
