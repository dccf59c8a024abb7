// Every command on the bundled lending-library model: a main file and five
// unit files (three below packages/, one inside another unit) placed by a
// path map, text in code page 1252. Run from the source tree, with the names
// a user there types.

#include <functional>

#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

const std::string Main = "samples/library/library.mdl";
const std::vector<std::string> Units = {"samples/library/people.cat", "samples/library/accounts.cat",
                                        "samples/library/packages/reservations/reservations.cat",
                                        "samples/library/packages/reservations/notices/notices.cat",
                                        "samples/library/packages/acquisitions/acquisitions.cat"};
const std::string CodePage = "Reading the model as code page 1252: its header declares charSet 0 (override with "
                             "--codepage N)";

class SampleTest : public ::testing::Test {
protected:
    // lum COMMAND MAIN [--pathmap MAP] OPTIONS...
    tRun Lum(std::vector<std::string> args, bool withMap = true) const {
        if (withMap) args.insert(args.begin() + 1, {"--pathmap", "samples/library/library.map"});
        args.insert(args.begin() + 1, Main);
        return scratch.Lum(args, LUM_SOURCE_DIR);
    }
    tScratchDir scratch;
};

TEST_F(SampleTest, CheckReadsEveryUnitAndSaysOnlyTheCodePage) {
    for (const auto& [args, withMap] : std::vector<std::pair<std::vector<std::string>, bool>>{
             {{"check"}, true}, {{"check", "--strict"}, true},
             {{"check", "-D", "PACKAGES=samples/library/packages"}, false}}) {
        const tRun run = Lum(args, withMap);
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_TRUE(run.out.starts_with(Main + ": Information: " + CodePage + "\n\nfiles: 1 main, 5 unit files loaded, "
                                        "0 missing\ncode page: 1252 (detected)\nobjects: 230\n")) << run.out;
        EXPECT_EQ(LineWith(run.out, "references:"), "references: 155 bound, 0 naming nothing, 0 into missing units, "
                                                    "43 unmodelled types, 0 dangling (0 ambiguous)");
        EXPECT_TRUE(LineWith(run.out, "read 0.0").ends_with(" MB/s)"));
    }
}

TEST_F(SampleTest, WithoutTheMapExactlyTheReservationsUnitIsMissing) {
    const tRun run = Lum({"check"}, false);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(DiagnosticLines(run.out),
              (std::vector<std::string>{Main + ": Information: " + CodePage,
                                        Main + ": Warning: unit 'Reservations' not loaded: stored path '$PACKAGES\\"
                                               "reservations\\reservations.cat', resolved to '$PACKAGES/reservations/"
                                               "reservations.cat'",
                                        Main + ": Information: the symbol 'PACKAGES' is not defined: define it with -D "
                                               "PACKAGES=DIR or in a --pathmap file"}));
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 3 unit files loaded, 1 missing\n"));
    EXPECT_EQ(LineWith(run.out, "references: "), "references: 140 bound, 0 naming nothing, 0 into missing units, "
                                                 "36 unmodelled types, 0 dangling (0 ambiguous)");
    EXPECT_EQ(Lum({"check", "--strict"}, false).status, 1);
    EXPECT_EQ(JsonOf(Lum({"check", "--format", "json"}, false).out)["files"], Json::parse(R"({"main": 1,
        "unitsLoaded": 3, "unitsMissing": [{"unit": "Reservations",
        "stored": "$PACKAGES\\reservations\\reservations.cat",
        "resolved": "$PACKAGES/reservations/reservations.cat", "in": "samples/library/library.mdl",
        "undefinedSymbol": "PACKAGES"}]})"));
}

TEST_F(SampleTest, CheckAndStatsAsJsonAgreeWithEachOtherAndTheDisk) {
    const tRun run = Lum({"check", "--format", "json"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    const Json doc = JsonOf(run.out);
    EXPECT_EQ(doc["format"], "lum-check/1");
    EXPECT_EQ(doc["codePage"], 1252);
    EXPECT_EQ(doc["diagnostics"], Json::array({{{"code", "CodePageChosen"}, {"file", Main}, {"line", 0},
                                                {"severity", "Information"}, {"message", CodePage}, {"subject", ""}}}));
    EXPECT_EQ(doc["files"], Json::parse(R"({"main": 1, "unitsLoaded": 5, "unitsMissing": []})"));
    EXPECT_EQ(doc["references"], Json::parse(R"({"bound": 155, "unbound": 43, "empty": 0, "inMissingUnits": 0,
        "unmodelledTypes": 43, "dangling": 0, "ambiguous": 0})"));
    std::uintmax_t bytes = fs::file_size(fs::path(LUM_SOURCE_DIR) / Main);
    for (const std::string& unit : Units) bytes += fs::file_size(fs::path(LUM_SOURCE_DIR) / unit);
    EXPECT_EQ(doc["bytes"], bytes);
    EXPECT_GE(doc["seconds"].get<double>(), 0.0);
    EXPECT_EQ(doc["status"], 0);

    const Json stats = JsonOf(Lum({"stats", "--format", "json"}).out);
    EXPECT_EQ(stats["format"], "lum-stats/1");
    EXPECT_EQ(stats["objects"], 230);
    EXPECT_EQ(stats["classes"], doc["objects"]);
    EXPECT_EQ(stats["diagrams"], Json::parse(R"({"ClassDiagram": 6, "State_Diagram": 1, "UseCaseDiagram": 1})"));
    const std::string text = Lum({"stats"}).out;
    EXPECT_TRUE(text.starts_with("objects: 230\n\nper class:\n  ActionTime: 1\n")) << text;
    EXPECT_TRUE(text.ends_with("\n\ndiagrams per kind:\n  ClassDiagram: 6\n  State_Diagram: 1\n  UseCaseDiagram: 1\n"));
}

TEST_F(SampleTest, FindTakesSimpleAndQualifiedNamesQuidsAndPatterns) {
    for (const char* name : {"Member", "Logical View::People::Member", "4C1B0A7E0031", "Me*r", "*::People::Mem?er"}) {
        const tRun run = Lum({"find", name});
        EXPECT_EQ(run.out, "Class Logical View::People::Member (quid 4C1B0A7E0031)\n") << name << "\n" << Describe(run);
    }
    // Two unit files deep, so only with the map.
    EXPECT_EQ(Lum({"find", "PickUpReminder"}).out,
              "Class Logical View::Reservations::Notices::PickUpReminder (quid 4C1B0A7E00B2)\n");
    EXPECT_EQ(Lum({"find", "PickUpReminder"}, false).out, "");
    EXPECT_EQ(JsonOf(Lum({"find", "--format", "json", "Loan*"}).out), Json::parse(R"({"format": "lum-find/1",
        "name": "Loan*", "objects": [
        {"class": "Class", "path": "Logical View::Lending::Loan", "quid": "4C1B0A7E0021"},
        {"class": "State_Machine", "path": "Logical View::Lending::Loan::Loan lifecycle", "quid": "4C1B0A7E0060"},
        {"class": "State_Diagram", "path": "Logical View::Lending::Loan::Loan lifecycle::Loan lifecycle",
         "quid": "4C1B0A7E006E"},
        {"class": "Class", "path": "Logical View::Lending::LoanPolicy", "quid": "4C1B0A7E0022"}]})"));
}

TEST_F(SampleTest, RefsTellsEachReferenceItsFate) {
    const tRun all = Lum({"refs"});
    EXPECT_EQ(all.status, 0) << Describe(all);
    EXPECT_EQ(LinesWith(all.out, " -> ").size(), 198u);
    EXPECT_EQ(LineWith(all.out, "Member::cardNumber "),
              "Logical View::People::Member::cardNumber type = String -> (unmodelled type)");
    // The unbound ones are the 43 unmodelled types.
    EXPECT_EQ(LinesWith(Lum({"refs", "--unresolved"}).out), LinesWith(all.out, " -> (unmodelled type)"));
    EXPECT_EQ(LinesWith(all.out, " -> (unmodelled type)").size(), 43u);
    const Json doc = JsonOf(Lum({"refs", "--unresolved", "--format", "json"}).out);
    EXPECT_EQ(doc["format"], "lum-refs/1");
    EXPECT_EQ(doc["references"].size(), 43u);
    EXPECT_EQ(doc["references"][0], Json::parse(R"({"owner": "Logical View::Catalog::Item::title", "feature": "type",
        "text": "String", "status": "unmodelled type", "target": null})"));
}

TEST_F(SampleTest, PrintAndExportWriteUtf8ToStandardOutputOrAFile) {
    const tRun print = Lum({"print"});
    EXPECT_EQ(print.status, 0) << Describe(print);
    EXPECT_TRUE(IsUtf8(print.out) && print.out.starts_with("object VellumFile\n"));
    EXPECT_TRUE(Contains(print.out, "\xC2\xAB" "Der Zauberberg\xC2\xBB")) << "«Der Zauberberg» from the main file";
    EXPECT_TRUE(Contains(print.out, "Versp\xC3\xA4tungsgeb\xC3\xBChr")) << "Verspätungsgebühr from a unit file";
    // An older, longer file is replaced, not overwritten in part.
    scratch.Write("out/model.txt", std::string(print.out.size() * 2, 'x'));
    const tRun written = Lum({"print", "-o", scratch / "out/model.txt"});
    EXPECT_EQ(written.status, 0) << Describe(written);
    EXPECT_EQ(written.out + written.err, "");
    EXPECT_EQ(ReadFile(scratch / "out/model.txt"), print.out);

    const tRun exported = Lum({"export", "--output", scratch / "out/model.json"});
    EXPECT_EQ(exported.status, 0) << Describe(exported);
    EXPECT_EQ(exported.out + exported.err, "");
    EXPECT_EQ(ReadFile(scratch / "out/model.json"), Lum({"export"}).out);
    const Json doc = JsonOf(ReadFile(scratch / "out/model.json"));
    EXPECT_EQ(doc["format"], "lum-export/1");
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

}  // namespace
}  // namespace lumcli::test
