// Text beyond ASCII: the code page a model is read in (detected from its
// bytes or header, or given) and UTF-8 in every output.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

const std::string Groesse = "Gr\xC3\xB6\xC3\x9F" "e", Fuer = "f\xC3\xBCr \xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D";

struct tText {
    std::string what;
    std::string charSet;              // of the header; "" for none
    std::string name, documentation;  // as stored
    std::string codePage;             // --codepage, "" for none
    std::string said;                 // why the page was chosen; "" when given
    std::string page;                 // the summary's code page
    std::string nameUtf8, documentationUtf8;
};

TEST(TextTest, ModelsAreReadInTheirCodePageAndWrittenInUtf8) {
    const std::string privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", cp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
    for (const tText& c : std::vector<tText>{
             {"1252 declared", "0", "Gr\xF6\xDF" "e", "f\xFCr \x80 \x93x\x94", "", "its header declares charSet 0",
              "1252 (detected)", Groesse, Fuer},
             {"1252 undeclared", "", "Gr\xF6\xDF" "e", "f\xFCr \x80 \x93x\x94", "",
              "it is not UTF-8 and declares no known charSet", "1252 (detected)", Groesse, Fuer},
             {"UTF-8 beats the header", "0", Groesse, Fuer, "", "its bytes are valid UTF-8", "65001 (detected)",
              Groesse, Fuer},
             {"UTF-8 as auto", "0", Groesse, Fuer, "auto", "its bytes are valid UTF-8", "65001 (detected)", Groesse,
              Fuer},
             {"plain ASCII", "", "Plain", "x", "", "it is plain ASCII and declares no known charSet",
              "65001 (detected)", "Plain", "x"},
             {"1251 declared", "204", cp1251, "x", "", "its header declares charSet 204", "1251 (detected)", privet,
              "x"},
             {"1252 given", "204", cp1251, "x", "1252", "", "1252 (given)",
              "\xC3\x8F\xC3\xB0\xC3\xA8\xC3\xA2\xC3\xA5\xC3\xB2", "x"},  // Ïðèâåò
             {"double-byte 936", "134", "\xC4\xE3\xBA\xC3", "\xCA\xC0\xBD\xE7", "", "its header declares charSet 134",
              "936 (detected)", "\xE4\xBD\xA0\xE5\xA5\xBD", "\xE4\xB8\x96\xE7\x95\x8C"}}) {  // 你好, 世界
        SCOPED_TRACE(c.what);
        tScratchDir scratch;
        scratch.Write("m.mdl", MainFile(ClassText(c.name, "Q1", "\t\tdocumentation \t\"" + c.documentation + "\"\n"),
                                        FileHeader(c.charSet)));
        auto lum = [&](std::vector<std::string> args) {
            if (!c.codePage.empty()) args.insert(args.end(), {"--codepage", c.codePage});
            return scratch.Lum(args);
        };
        const tRun check = lum({"check", "m.mdl"});
        EXPECT_EQ(check.status, 0) << Describe(check);
        EXPECT_EQ(LineWith(check.out, "Reading the model"),
                  c.said.empty() ? "" : "m.mdl: Information: Reading the model as code page " +
                                            c.page.substr(0, c.page.find(' ')) + ": " + c.said +
                                            " (override with --codepage N)");
        EXPECT_TRUE(Contains(check.out, "\ncode page: " + c.page + "\n")) << check.out;
        const tRun print = lum({"print", "m.mdl"});
        EXPECT_TRUE(IsUtf8(print.out));
        EXPECT_TRUE(Contains(print.out, "name = " + c.nameUtf8 + ";")) << print.out;
        EXPECT_TRUE(Contains(print.out, "documentation = " + c.documentationUtf8 + ";")) << print.out;
        // A UTF-8 name on the command line finds it; JSON keeps the characters.
        const tRun find = lum({"find", "--format", "json", "m.mdl", c.nameUtf8});
        EXPECT_EQ(JsonOf(find.out)["objects"][0]["path"], "Logical View::" + c.nameUtf8) << Describe(find);
        EXPECT_TRUE(Contains(find.out, c.nameUtf8));
    }
}

}  // namespace
}  // namespace lumcli::test
