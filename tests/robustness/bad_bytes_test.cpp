// NUL bytes and bytes that are not text in the model's code page, in every
// kind of position: construct keywords, class words, feature names, bare
// values, quoted and bar strings, @ tokens, list classes, raw constructs and
// between elements. The tool reads on after each of them, in single-byte,
// UTF-8 and double-byte code pages, and says what it found in UTF-8.

#include <gtest/gtest.h>

#include <algorithm>

#include "robustness/hostile_support.h"

namespace robustness {
namespace {

using namespace std::string_literals;

// Byte sequences that no code page reads as they stand: a NUL, a lone
// continuation byte, a lead byte with nothing after it, an overlong form, an
// encoded surrogate, a code point beyond U+10FFFF, bytes never used in UTF-8.
const std::string kBad = "\0\x80\xC3\"\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xF8\x88\xFE\xFF"s;
// The same without the quote, for positions that a quote would end.
const std::string kBadWord = "\0\x80\xC3\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xF8\x88\xFE\xFF"s;

// Each fault as it stands inside the logical view's list of models.
std::vector<std::string> Faults() {
    const std::string word = kBadWord;
    return {
        "\t    (obj" + word + "ect Class \"K\")\n",                                  // construct keyword
        "\t    (object Cl" + word + "ass \"K\")\n",                                  // class word
        "\t    (object Class \"K\"\n\t\tqu" + word + "id \t\"5D0000000901\")\n",     // feature name
        "\t    (object Class \"K\"\n\t\tabstract \tTR" + word + "UE)\n",             // bare value
        "\t    (object Class \"K" + word + "\"\n\t\tquid \t\"5D" + word + "\")\n",   // name and quid strings
        "\t    (object Class \"K\"\n\t\tdocumentation \t\"" + word + "\\\"" + word + "\")\n",  // quoted string
        "\t    (object Class \"K\"\n\t\tdocumentation \n|" + kBad + "\n|" + kBad + "\n\t\t)\n",  // bar string
        "\t    (object Class \"K\" @" + word + ")\n",                                // @ token
        "\t    (object Class \"K\"\n\t\toperations \t(list Oper" + word + "ations\n\t\t\t(object Operation \"o\")))\n",
        "\t    (object ClassView \"Class\" \"K\" @1\n\t\tlocation \t(1" + word + ", 2))\n",  // raw construct
        "\t    (object Class \"K\"\n" + word + "\n\t\t)\n",                         // between elements
        "\t    (object Class \"K\"\n\t\tsuperclasses \t(list inheritance_relationship_list\n"
        "\t\t    (object Inheritance_Relationship\n\t\t\tsupplier \t\"" + word + "\"\n\t\t\tquidu \t\"" + word + "\")))\n",
    };
}

std::string Marker(std::size_t i) { return Numbered("After", i); }

TEST(BadBytesTest, EveryPositionInEveryKindOfCodePage) {
    tScratchDir scratch;
    std::string models;
    std::vector<std::string> faults = Faults();
    for (std::size_t i = 0; i < faults.size(); ++i) {
        models += faults[i] + ClassText(Marker(i), Numbered("5D00000001", 10 + i));
    }
    const std::string text = MainFile(models);
    const std::string main = scratch.Write("bad.mdl", text);
    // The lines that hold a NUL byte, the only source of syntax errors here.
    std::vector<long long> nulLines;
    long long line = 1;
    for (const char c : text) {
        if (c == '\0' && (nulLines.empty() || nulLines.back() != line)) nulLines.push_back(line);
        if (c == '\n') ++line;
    }

    for (const char* page : {"auto", "1252", "65001", "932"}) {
        SCOPED_TRACE(std::string("code page ") + page);
        const tRun check = RunTool({"check", "--format", "json", "--codepage", page, main}, scratch);
        ASSERT_LE(check.status, 1) << Describe(check);
        const Json report = JsonOf(check.out);
        std::size_t syntaxErrors = 0;
        for (const Json& d : report["diagnostics"]) {
            const long long at = d["line"];
            const std::string message = d["message"];
            EXPECT_LE(at, line) << message;
            if (!message.starts_with("Vellum syntax error")) continue;
            ++syntaxErrors;
            EXPECT_EQ(d["severity"], "Error");
            // Reported where the next token begins: on the NUL's line or the next.
            EXPECT_TRUE(std::any_of(nulLines.begin(), nulLines.end(), [at](long long n) { return at == n || at == n + 1; }))
                << "line " << at << ": " << message;
        }
        EXPECT_GT(syntaxErrors, 0u);

        // Reading went on after every fault: each marker class is there.
        const tRun exported = RunTool({"export", "--codepage", page, main}, scratch);
        EXPECT_TRUE(IsUtf8(exported.out));
        for (std::size_t i = 0; i < faults.size(); ++i) {
            EXPECT_TRUE(Contains(exported.out, "\"name\": \"" + Marker(i) + "\"")) << "after fault " << i;
        }
        const tRun print = RunTool({"print", "--codepage", page, main}, scratch);
        EXPECT_TRUE(IsUtf8(print.out));
        EXPECT_TRUE(Contains(print.out, "name = " + Marker(faults.size() - 1) + ";"));
    }
}

}  // namespace
}  // namespace robustness
