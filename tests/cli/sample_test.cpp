// The bundled library model: a main file, unit files beside it and below
// packages/ (one of them holding a unit of its own), and the path map that
// places them.

#include <regex>

#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

const std::string Library = std::string(LUM_SAMPLES_DIR) + "/library";
const std::string Main = Library + "/library.mdl";
const std::string Map = Library + "/library.map";
const std::vector<std::string> UnitFiles = {
    "people.cat", "accounts.cat", "packages/reservations/reservations.cat",
    "packages/reservations/notices/notices.cat", "packages/acquisitions/acquisitions.cat"};

class SampleTest : public ::testing::Test {
protected:
    tScratchDir scratch;

    // The model is whole: every unit loaded, nothing worse than information said.
    static void ExpectWhole(const tRun& run) {
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_EQ(run.err, "");
        for (const std::string& line : DiagnosticLines(run.out)) {
            EXPECT_TRUE(Contains(line, ": Information: Reading the model as code page 1252")) << line;
        }
        EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 5 unit files loaded, 0 missing\n")) << run.out;
        std::smatch references;
        ASSERT_TRUE(std::regex_search(run.out, references, std::regex("\nreferences: ([0-9]+) bound, [0-9]+ unbound, 0 ambiguous\n")))
            << run.out;
        EXPECT_GT(std::stoi(references[1]), 100);
    }
};

TEST_F(SampleTest, ChecksCleanWithItsPathMap) {
    ExpectWhole(RunLum({"check", "--pathmap", Map, Main}, scratch));
    // Found where the map places them: missing units would fail here.
    ExpectWhole(RunLum({"check", "--strict", "--pathmap", Map, Main}, scratch));
    // From the model's own directory, with the names as a user types them there.
    ExpectWhole(RunLumIn(Library, {"check", "--pathmap", "library.map", "library.mdl"}, scratch));
    ExpectWhole(RunLumIn(LUM_SAMPLES_DIR, {"check", "--pathmap", "library/library.map", "library/library.mdl"}, scratch));
}

TEST_F(SampleTest, WithoutTheMapOnlyThePackagesUnitIsMissing) {
    const tRun run = RunLum({"check", Main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "not loaded"),
              Main + ": Warning: unit 'Reservations' not loaded: stored path "
                     "'$PACKAGES\\reservations\\reservations.cat', resolved to '$PACKAGES/reservations/reservations.cat'");
    EXPECT_EQ(LineWith(run.out, "is not defined"), Main + ": Information: the symbol 'PACKAGES' is not defined: define it "
                                                          "with -D PACKAGES=DIR or in a --pathmap file");
    // The reservations unit and the notices unit inside it are not read.
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 3 unit files loaded, 1 missing\n")) << run.out;
    EXPECT_EQ(RunLum({"check", "--strict", Main}, scratch).status, 1);

    ExpectWhole(RunLum({"check", "-D", "PACKAGES=" + Library + "/packages", Main}, scratch));
}

TEST_F(SampleTest, JsonReportAgreesWithTheFilesOnDisk) {
    const tRun run = RunLum({"check", "--format", "json", "--pathmap", Map, Main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    const tJson doc = JsonOf(run.out);
    EXPECT_EQ(doc["format"].text, "lum-check/1");
    EXPECT_EQ(doc["status"].Int(), 0);
    EXPECT_EQ(doc["files"]["main"].Int(), 1);
    EXPECT_EQ(doc["files"]["unitsLoaded"].Int(), static_cast<long long>(UnitFiles.size()));
    EXPECT_TRUE(doc["files"]["unitsMissing"].items.empty());
    long long bytes = static_cast<long long>(fs::file_size(Main));
    for (const std::string& unit : UnitFiles) bytes += static_cast<long long>(fs::file_size(Library + "/" + unit));
    EXPECT_EQ(doc["bytes"].Int(), bytes);
    EXPECT_EQ(doc["references"]["ambiguous"].Int(), 0);

    // check and stats count the same objects.
    const tJson stats = JsonOf(RunLum({"stats", "--format", "json", "--pathmap", Map, Main}, scratch).out);
    long long total = 0;
    for (const auto& [name, count] : doc["objects"].members) {
        EXPECT_EQ(stats["classes"][name].Int(), count.Int()) << name;
        total += count.Int();
    }
    EXPECT_EQ(stats["objects"].Int(), total);
    EXPECT_EQ(stats["diagrams"]["ClassDiagram"].Int(), doc["objects"]["ClassDiagram"].Int());
    EXPECT_EQ(stats["diagrams"]["UseCaseDiagram"].Int(), 1);
    EXPECT_EQ(stats["diagrams"]["State_Diagram"].Int(), 1);
}

TEST_F(SampleTest, UnitsLoadInPlaceAndTheirTextComesOutInUtf8) {
    // A class of the unit nested two files deep, by name and by quid.
    const tRun notices = RunLum({"find", "--pathmap", Map, Main, "Logical View::Reservations::Notices::PickUpReminder"}, scratch);
    EXPECT_EQ(notices.status, 0) << Describe(notices);
    ASSERT_EQ(notices.OutLines().size(), 1u) << notices.out;
    const std::string line = notices.OutLines().front();
    EXPECT_TRUE(line.starts_with("Class Logical View::Reservations::Notices::PickUpReminder (quid ")) << line;
    const std::string quid = line.substr(line.rfind(' ') + 1, line.size() - line.rfind(' ') - 2);
    EXPECT_EQ(RunLum({"find", "--pathmap", Map, Main, quid}, scratch).out, notices.out);

    // Text in code page 1252 in the main file and in a unit file.
    const tRun print = RunLum({"print", "--pathmap", Map, Main}, scratch);
    EXPECT_EQ(print.status, 0);
    EXPECT_TRUE(IsUtf8(print.out));
    EXPECT_TRUE(Contains(print.out, "\xC2\xAB" "Der Zauberberg\xC2\xBB")) << "«Der Zauberberg»";
    EXPECT_TRUE(Contains(print.out, "Versp\xC3\xA4tungsgeb\xC3\xBChr")) << "Verspätungsgebühr";
}

}  // namespace
}  // namespace lumcli::test
