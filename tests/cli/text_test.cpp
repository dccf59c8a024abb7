// Text beyond ASCII: the code page a model is read in (detected or given)
// and UTF-8 on every output.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// "Größe", "Привет, 世界", "für € “x”" in UTF-8.
const std::string GroesseUtf8 = "Gr\xC3\xB6\xC3\x9F" "e";
const std::string GreetingUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xE4\xB8\x96\xE7\x95\x8C";
const std::string FuerUtf8 = "f\xC3\xBCr \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D";
// The same texts in code page 1252.
const std::string Groesse1252 = "Gr\xF6\xDF" "e";
const std::string Fuer1252 = "f\xFCr \x80 \x93x\x94";

std::string Documented(const std::string& name, const std::string& documentation) {
    return MainFile(ClassText(name, "5D0000000101", "\t\tdocumentation \t\"" + documentation + "\"\n"));
}

// The main file without the header's charSet line.
std::string WithoutCharSet(std::string text) {
    const std::string line = "\n    charSet \t0)";
    const std::size_t at = text.find(line);
    text.replace(at, line.size(), ")");
    return text;
}

class TextTest : public ::testing::Test {
protected:
    tScratchDir scratch;
};

TEST_F(TextTest, Utf8ModelComesOutByteForByte) {
    const std::string main = scratch.Write("utf8.mdl", Documented(GroesseUtf8, GreetingUtf8));

    const tRun print = RunLum({"print", main}, scratch);
    EXPECT_EQ(print.status, 0) << Describe(print);
    EXPECT_TRUE(Contains(print.out, "name = " + GroesseUtf8 + ";")) << print.out;
    EXPECT_TRUE(Contains(print.out, "documentation = " + GreetingUtf8 + ";")) << print.out;

    // The name on the command line is UTF-8 as well; JSON keeps the characters as they are.
    const tRun find = RunLum({"find", "--format", "json", main, "Logical View::" + GroesseUtf8}, scratch);
    EXPECT_EQ(find.status, 0) << Describe(find);
    EXPECT_TRUE(Contains(find.out, "\"path\": \"Logical View::" + GroesseUtf8 + "\"")) << find.out;
    const tJson doc = JsonOf(find.out);
    EXPECT_EQ(doc["format"].text, "lum-find/1");
    EXPECT_EQ(doc["name"].text, "Logical View::" + GroesseUtf8);
    ASSERT_EQ(doc["objects"].items.size(), 1u);
    EXPECT_EQ(doc["objects"][0]["class"].text, "Class");
    EXPECT_EQ(doc["objects"][0]["path"].text, "Logical View::" + GroesseUtf8);
    EXPECT_EQ(doc["objects"][0]["quid"].text, "5D0000000101");

    // The header declares charSet 0, but UTF-8 text decides.
    const tRun check = RunLum({"check", main}, scratch);
    EXPECT_EQ(LineWith(check.out, "code page"),
              main + ": Information: Reading the model as code page 65001: its bytes are valid UTF-8 "
                     "(override with --codepage N)");
    EXPECT_TRUE(Contains(check.out, "\ncode page: 65001 (detected)\n")) << check.out;
}

TEST_F(TextTest, Cp1252ModelIsDetectedAndPrintedInUtf8) {
    const std::string declared = scratch.Write("declared.mdl", Documented(Groesse1252, Fuer1252));
    const std::string undeclared = scratch.Write("undeclared.mdl", WithoutCharSet(Documented(Groesse1252, Fuer1252)));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {declared, "its header declares charSet 0"},
        {undeclared, "it is not UTF-8 and declares no known charSet"},
    };
    for (const auto& [main, reason] : cases) {
        SCOPED_TRACE(main);
        const tRun print = RunLum({"print", main}, scratch);
        EXPECT_EQ(print.status, 0) << Describe(print);
        EXPECT_TRUE(IsUtf8(print.out));
        EXPECT_TRUE(Contains(print.out, "name = " + GroesseUtf8 + ";")) << print.out;
        EXPECT_TRUE(Contains(print.out, "documentation = " + FuerUtf8 + ";")) << print.out;

        const tRun check = RunLum({"check", main}, scratch);
        EXPECT_EQ(LineWith(check.out, "code page 1252"),
                  main + ": Information: Reading the model as code page 1252: " + reason + " (override with --codepage N)");
        EXPECT_TRUE(Contains(check.out, "\ncode page: 1252 (detected)\n")) << check.out;

        // A UTF-8 name on the command line finds the object read in 1252.
        const tRun find = RunLum({"find", main, "Logical View::" + GroesseUtf8}, scratch);
        EXPECT_EQ(find.out, "Class Logical View::" + GroesseUtf8 + " (quid 5D0000000101)\n") << Describe(find);
    }
}

TEST_F(TextTest, HeaderCharSetNamesThePageAndTheCommandLineOverridesIt) {
    std::string text = Documented("\xCF\xF0\xE8\xE2\xE5\xF2", "x");  // "Привет" in 1251
    text.replace(text.find("charSet \t0"), 10, "charSet \t204");
    const std::string main = scratch.Write("cyrillic.mdl", text);

    const tRun print = RunLum({"print", main}, scratch);
    EXPECT_TRUE(Contains(print.out, "name = \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82;")) << print.out;

    const tRun given = RunLum({"print", "--codepage", "1252", main}, scratch);
    EXPECT_TRUE(Contains(given.out, "name = \xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2;")) << given.out;  // "Ïðèâåò"
    const tRun check = RunLum({"check", "--codepage", "1252", main}, scratch);
    EXPECT_TRUE(Contains(check.out, "\ncode page: 1252 (given)\n")) << check.out;
    EXPECT_EQ(LineWith(check.out, "Reading the model"), "");
    // "auto" is the default, named.
    EXPECT_TRUE(Contains(RunLum({"check", "--codepage", "auto", main}, scratch).out, "\ncode page: 1251 (detected)\n"));
}

TEST_F(TextTest, PlainAsciiMainFileReadsItsUtf8UnitsAsUtf8) {
    scratch.Write("units/p.cat", UnitFile("P", "5D0000000200", ClassText(GroesseUtf8, "5D0000000201")));
    const std::string main =
        scratch.Write("m.mdl", WithoutCharSet(MainFile(StubText("P", "5D0000000200", "$X\\p.cat"))));
    const std::string units = (scratch / "units").string();

    const tRun check = RunLum({"check", "-D", "X=" + units, main}, scratch);
    EXPECT_EQ(LineWith(check.out, "code page"),
              main + ": Information: Reading the model as code page 65001: it is plain ASCII and declares no "
                     "known charSet (override with --codepage N)");
    const tRun find = RunLum({"find", "-D", "X=" + units, main, "5D0000000201"}, scratch);
    EXPECT_EQ(find.out, "Class Logical View::P::" + GroesseUtf8 + " (quid 5D0000000201)\n") << Describe(find);
}

}  // namespace
}  // namespace lumcli::test
