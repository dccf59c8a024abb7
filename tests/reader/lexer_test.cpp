// The token readers of tVellumLexer, called directly: character classes,
// what each reader consumes and leaves as the current character, line
// counting and delivery of the bytes in pieces.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "reader/event_recorder.h"

namespace lum {
namespace {

using test::Printable;

// A lexer over an in-memory text; the stream outlives the lexer.
struct tLexerOn {
    explicit tLexerOn(std::string text) : in(std::move(text), std::ios::in | std::ios::binary), lexer(in) {}
    std::istringstream in;
    tVellumLexer lexer;
};

std::string Symbol(tVellumLexer& lexer) {
    WString out;
    lexer.ReadSymbol(out);
    return Printable(out);
}

std::string String(tVellumLexer& lexer) {
    WString out;
    EXPECT_TRUE(lexer.ReadString(out));
    return Printable(out);
}

std::string AtToken(tVellumLexer& lexer) {
    WString out;
    EXPECT_TRUE(lexer.ReadAtToken(out));
    return Printable(out);
}

TEST(VellumLexer, ConstructionReadsTheFirstByteUnsigned) {
    tLexerOn empty("");
    EXPECT_EQ(empty.lexer.GetCurrent(), tVellumLexer::EndOfFile);
    EXPECT_FALSE(empty.lexer.IsGood());
    EXPECT_EQ(empty.lexer.GetLine(), 1);

    // Byte 255 is an ordinary character, not the end of file; so is NUL.
    tLexerOn high("\xFF\x80");
    EXPECT_EQ(high.lexer.GetCurrent(), 255);
    EXPECT_TRUE(high.lexer.IsGood());
    tLexerOn nul(std::string("\0a", 2));
    EXPECT_EQ(nul.lexer.GetCurrent(), 0);
    EXPECT_TRUE(nul.lexer.IsGood());

    // A hard stream error ends goodness.
    nul.in.setstate(std::ios::badbit);
    EXPECT_FALSE(nul.lexer.IsGood());
}

TEST(VellumLexer, WhitespaceIsTheSixCharactersOfTheCLocale) {
    tLexerOn t("\t\n\v\f\r \n x");
    EXPECT_TRUE(t.lexer.SkipWhitespace());
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');
    EXPECT_EQ(t.lexer.GetLine(), 3);
    EXPECT_FALSE(t.lexer.SkipWhitespace());

    // Bytes that are blanks in some code pages are symbol characters here.
    {
        test::tCodePage page(1252);
        tLexerOn high("a\xA0\x85\xFF\x1C" "b c");
        EXPECT_EQ(Symbol(high.lexer), "a\\u{A0}\\u{2026}\\u{FF}\\u{1C}b");
        EXPECT_EQ(high.lexer.GetCurrent(), ' ');
    }

    tLexerOn end(" \n");
    EXPECT_TRUE(end.lexer.SkipWhitespace());
    EXPECT_EQ(end.lexer.GetCurrent(), tVellumLexer::EndOfFile);
    EXPECT_EQ(end.lexer.GetLine(), 2);
}

TEST(VellumLexer, ExpectSkipsWhitespaceAndConsumesOnlyAMatch) {
    tLexerOn t("  \n ( x)");
    EXPECT_FALSE(t.lexer.Expect(')'));
    EXPECT_EQ(t.lexer.GetCurrent(), '(');
    EXPECT_EQ(t.lexer.GetLine(), 2);
    EXPECT_TRUE(t.lexer.Expect('('));
    EXPECT_EQ(t.lexer.GetCurrent(), ' ');
    EXPECT_FALSE(t.lexer.Expect('('));
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');

    tLexerOn end("  ");
    EXPECT_FALSE(end.lexer.Expect('('));
    EXPECT_FALSE(end.lexer.IsGood());
}

TEST(VellumLexer, SymbolsEndAtQuoteParenthesesWhitespaceAndEnd) {
    tLexerOn t(" \n abc(def)ghi\"jk\" a@b|c,d\\e{f}=g;h:'i'\ttail");
    EXPECT_EQ(Symbol(t.lexer), "abc");
    EXPECT_EQ(t.lexer.GetLine(), 2);

    // A delimiter is never consumed, and the output is cleared.
    WString out = L"stale";
    EXPECT_FALSE(t.lexer.ReadSymbol(out));
    EXPECT_EQ(out, WString(L""));
    EXPECT_EQ(t.lexer.GetCurrent(), '(');

    ASSERT_TRUE(t.lexer.Expect('('));
    EXPECT_EQ(Symbol(t.lexer), "def");
    EXPECT_EQ(t.lexer.GetCurrent(), ')');
    ASSERT_TRUE(t.lexer.Expect(')'));
    EXPECT_EQ(Symbol(t.lexer), "ghi");
    EXPECT_EQ(String(t.lexer), "jk");
    EXPECT_EQ(Symbol(t.lexer), "a@b|c,d\\\\e{f}=g;h:'i'");
    EXPECT_EQ(t.lexer.GetCurrent(), '\t');
    EXPECT_EQ(Symbol(t.lexer), "tail");
    EXPECT_EQ(t.lexer.GetCurrent(), tVellumLexer::EndOfFile);
    EXPECT_FALSE(t.lexer.ReadSymbol(out));

    // The bytes convert as one terminated narrow text: a NUL ends it, and a
    // symbol of NUL bytes alone is consumed but empty.
    tLexerOn nul(std::string("\0\0 ab\0cd(", 9));
    EXPECT_FALSE(nul.lexer.ReadSymbol(out));
    EXPECT_EQ(nul.lexer.GetCurrent(), ' ');
    EXPECT_EQ(Symbol(nul.lexer), "ab");
    EXPECT_EQ(nul.lexer.GetCurrent(), '(');
}

TEST(VellumLexer, SymbolBufferGrowthKeepsEveryByte) {
    // Lengths around the points where a doubling buffer starting at 1024
    // bytes grows, with content that shows a lost or repeated byte.
    for (std::size_t length : {1023u, 1024u, 1025u, 2047u, 2048u, 2049u, 4096u, 70000u}) {
        std::string word;
        for (std::size_t i = 0; i < length; ++i) word += static_cast<char>('a' + (i * 7 + i / 26) % 26);
        tLexerOn t(word + " b " + word.substr(0, 3));
        EXPECT_EQ(Symbol(t.lexer), word) << "length " << length;
        // The following, shorter symbols hold nothing of the long one.
        EXPECT_EQ(Symbol(t.lexer), "b");
        EXPECT_EQ(Symbol(t.lexer), word.substr(0, 3));
    }
}

TEST(VellumLexer, QuotedStrings) {
    // Backslashes are kept; one escapes a quote, unless it is escaped itself.
    tLexerOn t(R"~( "a b"x "a\"b" "C:\\dir\\" "" "q\)" "\\"y)~");
    EXPECT_EQ(String(t.lexer), "a b");
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');
    ASSERT_EQ(Symbol(t.lexer), "x");
    EXPECT_EQ(String(t.lexer), R"(a\\"b)");
    EXPECT_EQ(String(t.lexer), R"(C:\\\\dir\\\\)");
    EXPECT_EQ(String(t.lexer), "");
    EXPECT_EQ(String(t.lexer), R"(q\\))");
    EXPECT_EQ(String(t.lexer), R"(\\\\)");
    EXPECT_EQ(t.lexer.GetCurrent(), 'y');

    // Line breaks are kept as written; an unterminated string ends at the end.
    tLexerOn lines("\"one\ntwo\r\nthree\" \"open\nto the end\\");
    EXPECT_EQ(String(lines.lexer), "one\\ntwo\\r\\nthree");
    EXPECT_EQ(lines.lexer.GetLine(), 3);
    EXPECT_EQ(String(lines.lexer), "open\\nto the end\\\\");
    EXPECT_EQ(lines.lexer.GetLine(), 4);
    EXPECT_FALSE(lines.lexer.IsGood());

    // Byte by byte, a NUL converts to nothing.
    tLexerOn nul(std::string("\"a\0b\"", 5));
    EXPECT_EQ(String(nul.lexer), "ab");

    // Anything else is refused after the whitespace.
    tLexerOn other(" \n x");
    WString out = L"stale";
    EXPECT_FALSE(other.lexer.ReadString(out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(other.lexer.GetCurrent(), 'x');
    EXPECT_EQ(other.lexer.GetLine(), 2);
}

TEST(VellumLexer, BarStringsJoinLinesWithCarriageReturnLineFeed) {
    // Indentation and blank lines between bar lines are skipped; an empty
    // bar line is a line of its own; bars, quotes and parentheses are text.
    for (const char* eol : {"\n", "\r\n"}) {
        std::string text = "|first |x| \"q\" (\n    |second\n\n  \t|\n|third\nnext", converted;
        for (char ch : text) converted += ch == '\n' ? std::string(eol) : std::string(1, ch);
        tLexerOn t(converted);
        EXPECT_EQ(String(t.lexer), "first |x| \"q\" (\\r\\nsecond\\r\\n\\r\\nthird") << (eol[1] ? "CR LF" : "LF");
        EXPECT_EQ(t.lexer.GetCurrent(), 'n');
        EXPECT_EQ(t.lexer.GetLine(), 6);
    }

    tLexerOn lone("|ab\rcd\n|e\rf\r\n|g");
    EXPECT_EQ(String(lone.lexer), "ab\\r\\ncd\\r\\ne\\r\\nf\\r\\ng");
    EXPECT_EQ(lone.lexer.GetLine(), 3);
    EXPECT_FALSE(lone.lexer.IsGood());

    tLexerOn alone("|");
    EXPECT_EQ(String(alone.lexer), "");

    // A carriage return as the very last byte: what it adds is open, the
    // text before it is kept.
    tLexerOn last("|ab\r");
    EXPECT_EQ(String(last.lexer).substr(0, 2), "ab");
    EXPECT_FALSE(last.lexer.IsGood());
}

TEST(VellumLexer, AtTokens) {
    tLexerOn t("  @ x @12 y @\"x y\"z @) @|bar @\"open");
    EXPECT_EQ(AtToken(t.lexer), "@");
    EXPECT_EQ(t.lexer.GetCurrent(), ' ');
    ASSERT_EQ(Symbol(t.lexer), "x");
    EXPECT_EQ(AtToken(t.lexer), "@12");
    ASSERT_EQ(Symbol(t.lexer), "y");
    EXPECT_EQ(AtToken(t.lexer), "@x y");
    EXPECT_EQ(t.lexer.GetCurrent(), 'z');
    ASSERT_EQ(Symbol(t.lexer), "z");
    EXPECT_EQ(AtToken(t.lexer), "@");
    EXPECT_EQ(t.lexer.GetCurrent(), ')');
    ASSERT_TRUE(t.lexer.Expect(')'));
    EXPECT_EQ(AtToken(t.lexer), "@|bar");  // a bar is a symbol character here
    EXPECT_EQ(AtToken(t.lexer), "@open");
    EXPECT_FALSE(t.lexer.IsGood());

    // The line feed after a lone @ stays unread.
    tLexerOn nl("@\n5");
    EXPECT_EQ(AtToken(nl.lexer), "@");
    EXPECT_EQ(nl.lexer.GetLine(), 1);
    EXPECT_EQ(nl.lexer.GetCurrent(), '\n');

    tLexerOn other("\n x@");
    WString out = L"stale";
    EXPECT_FALSE(other.lexer.ReadAtToken(out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(other.lexer.GetCurrent(), 'x');
    EXPECT_EQ(other.lexer.GetLine(), 2);
}

TEST(VellumLexer, ReadBalancedAppendsUpToTheClosingParenthesis) {
    // Called after the opening parenthesis of the level has been consumed;
    // quotes mean nothing, so a parenthesis inside them still counts.
    struct {
        const char* text;
        bool withClosing;
        const char* out;
        int current;
        int line;
    } const cases[] = {
        {"a (b (c)) d) rest", false, "Xa (b (c)) d", ' ', 1},
        {"a (b (c)) d) rest", true, "Xa (b (c)) d)", ' ', 1},
        {"(10, 20)\n  (30, 40)\r\n)\nafter", false, "X(10, 20)\\n  (30, 40)\\r\\n", '\n', 3},
        {"\")\" x)", false, "X\"", '"', 1},
        {")", false, "X", tVellumLexer::EndOfFile, 1},
        {"a (b\nc", true, "Xa (b\\nc", tVellumLexer::EndOfFile, 2},
        {"", true, "X", tVellumLexer::EndOfFile, 1},
    };
    for (const auto& c : cases) {
        tLexerOn t(c.text);
        WString out = L"X";
        t.lexer.ReadBalanced(out, c.withClosing);
        EXPECT_EQ(Printable(out), c.out) << c.text;
        EXPECT_EQ(t.lexer.GetCurrent(), c.current) << c.text;
        EXPECT_EQ(t.lexer.GetLine(), c.line) << c.text;
    }
}

TEST(VellumLexer, ReadWordTakesLettersAndDigitsOrAStringOrOneCharacter) {
    tLexerOn word("abc123-x");
    EXPECT_EQ(Printable(word.lexer.ReadWord()), "abc123");
    // A single other character is the word and stays unread.
    EXPECT_EQ(Printable(word.lexer.ReadWord()), "-");
    EXPECT_EQ(word.lexer.GetCurrent(), '-');

    tLexerOn quoted("\"two words\")");
    EXPECT_EQ(Printable(quoted.lexer.ReadWord()), "two words");
    EXPECT_EQ(quoted.lexer.GetCurrent(), ')');
}

TEST(VellumLexer, LineFeedsCountOnceWhicheverReaderConsumesThem) {
    tLexerOn t("a\n\"b\nc\"\r\n|d\n|e\r\n\r\n@f\r\r(g\nh)\n");
    EXPECT_EQ(Symbol(t.lexer), "a");
    EXPECT_EQ(t.lexer.GetLine(), 1);
    EXPECT_EQ(String(t.lexer), "b\\nc");
    EXPECT_EQ(t.lexer.GetLine(), 3);
    EXPECT_EQ(String(t.lexer), "d\\r\\ne");
    EXPECT_EQ(t.lexer.GetLine(), 7);
    EXPECT_EQ(AtToken(t.lexer), "@f");
    EXPECT_EQ(t.lexer.GetLine(), 7);  // lone carriage returns count nothing
    ASSERT_TRUE(t.lexer.Expect('('));
    WString raw;
    t.lexer.ReadBalanced(raw, true);
    EXPECT_EQ(Printable(raw), "g\\nh)");
    EXPECT_EQ(t.lexer.GetLine(), 8);
    EXPECT_TRUE(t.lexer.SkipWhitespace());
    EXPECT_EQ(t.lexer.GetLine(), 9);
}

// Tokens placed across the 64 KiB boundary of the lexer's block, read from
// one buffer and from buffers that deliver a few bytes at a time.
TEST(VellumLexer, TokensAcrossRefills) {
    const std::size_t block = 1 << 16;
    for (std::size_t shift : {0u, 1u, 2u, 3u}) {
        // Padding of whitespace with line feeds, so lines are counted too.
        std::string text;
        while (text.size() + shift < block - 3) text += (text.size() % 64 == 63) ? '\n' : ' ';
        const int padLines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        text += "abcdef |x\r\n|y\n \"p\\\"q\" @77 (1 (2) 3) end";

        for (int mode = 0; mode < 3; ++mode) {
            std::istringstream whole(text, std::ios::in | std::ios::binary);
            test::tTrickleBuffer trickle(text, 13, mode == 2);
            std::istream pieces(&trickle);
            tVellumLexer lexer(mode == 0 ? static_cast<std::istream&>(whole) : pieces);
            SCOPED_TRACE("shift " + std::to_string(shift) + " mode " + std::to_string(mode));

            EXPECT_EQ(Symbol(lexer), "abcdef");
            EXPECT_EQ(lexer.GetLine(), padLines);
            EXPECT_EQ(String(lexer), "x\\r\\ny");
            EXPECT_EQ(lexer.GetLine(), padLines + 2);
            EXPECT_EQ(String(lexer), "p\\\\\"q");
            EXPECT_EQ(AtToken(lexer), "@77");
            ASSERT_TRUE(lexer.Expect('('));
            WString raw;
            lexer.ReadBalanced(raw, true);
            EXPECT_EQ(Printable(raw), "1 (2) 3)");
            EXPECT_EQ(Symbol(lexer), "end");
            EXPECT_FALSE(lexer.IsGood());
        }
    }
}

TEST(VellumLexer, CarriageReturnLineFeedSplitByARefill) {
    // The carriage return ends the first 64 KiB block, the line feed starts the next.
    tLexerOn t("|" + std::string((1 << 16) - 2, 'a') + "\r\n|b");
    EXPECT_EQ(String(t.lexer), std::string((1 << 16) - 2, 'a') + "\\r\\nb");
    EXPECT_EQ(t.lexer.GetLine(), 2);
}

}  // namespace
}  // namespace lum
