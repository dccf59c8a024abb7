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

    tLexerOn letter("x");
    EXPECT_EQ(letter.lexer.GetCurrent(), 'x');
    EXPECT_TRUE(letter.lexer.IsGood());

    // Byte 255 is an ordinary character, not the end of file.
    tLexerOn high("\xFF\x80");
    EXPECT_EQ(high.lexer.GetCurrent(), 255);
    EXPECT_TRUE(high.lexer.IsGood());

    tLexerOn nul(std::string("\0a", 2));
    EXPECT_EQ(nul.lexer.GetCurrent(), 0);
    EXPECT_TRUE(nul.lexer.IsGood());
}

TEST(VellumLexer, HardStreamErrorEndsGoodness) {
    tLexerOn t("abc");
    ASSERT_TRUE(t.lexer.IsGood());
    t.in.setstate(std::ios::badbit);
    EXPECT_FALSE(t.lexer.IsGood());
}

TEST(VellumLexer, WhitespaceIsTheSixCharactersOfTheCLocale) {
    tLexerOn t("\t\n\v\f\r \n x");
    EXPECT_TRUE(t.lexer.SkipWhitespace());
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');
    EXPECT_EQ(t.lexer.GetLine(), 3);
    EXPECT_FALSE(t.lexer.SkipWhitespace());
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');

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
    EXPECT_FALSE(end.lexer.SkipWhitespace());
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
    EXPECT_EQ(t.lexer.GetCurrent(), '(');

    // A delimiter is never consumed: the lexer stays where it is.
    WString out = L"stale";
    EXPECT_FALSE(t.lexer.ReadSymbol(out));
    EXPECT_EQ(out, WString(L""));
    EXPECT_EQ(t.lexer.GetCurrent(), '(');

    ASSERT_TRUE(t.lexer.Expect('('));
    EXPECT_EQ(Symbol(t.lexer), "def");
    EXPECT_EQ(t.lexer.GetCurrent(), ')');
    ASSERT_TRUE(t.lexer.Expect(')'));
    EXPECT_EQ(Symbol(t.lexer), "ghi");
    EXPECT_EQ(t.lexer.GetCurrent(), '"');
    EXPECT_EQ(String(t.lexer), "jk");
    EXPECT_EQ(Symbol(t.lexer), "a@b|c,d\\\\e{f}=g;h:'i'");
    EXPECT_EQ(t.lexer.GetCurrent(), '\t');

    out = L"stale";
    EXPECT_TRUE(t.lexer.ReadSymbol(out));
    EXPECT_EQ(Printable(out), "tail");
    EXPECT_EQ(t.lexer.GetCurrent(), tVellumLexer::EndOfFile);
    EXPECT_FALSE(t.lexer.ReadSymbol(out));
    EXPECT_EQ(out, WString(L""));
}

TEST(VellumLexer, SymbolOfNulBytesIsConsumedButEmpty) {
    // The collected bytes are converted as one terminated narrow text: a NUL
    // ends the text, and a symbol of NUL bytes alone converts to nothing.
    tLexerOn t(std::string("\0\0 ab\0cd(", 9));
    WString out;
    EXPECT_FALSE(t.lexer.ReadSymbol(out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(t.lexer.GetCurrent(), ' ');
    EXPECT_TRUE(t.lexer.ReadSymbol(out));
    EXPECT_EQ(Printable(out), "ab");
    EXPECT_EQ(t.lexer.GetCurrent(), '(');
}

TEST(VellumLexer, SymbolBufferGrowthKeepsEveryByte) {
    // Lengths around the points where a doubling buffer starting at 1024
    // bytes grows, with content that shows a lost or repeated byte.
    for (std::size_t length : {1022u, 1023u, 1024u, 1025u, 2046u, 2047u, 2048u, 2049u, 4095u, 4096u, 70000u}) {
        std::string word;
        for (std::size_t i = 0; i < length; ++i) word += static_cast<char>('a' + (i * 7 + i / 26) % 26);
        tLexerOn t(word + " b " + word.substr(0, 3));
        WString out;
        ASSERT_TRUE(t.lexer.ReadSymbol(out));
        ASSERT_EQ(out.size(), length);
        EXPECT_EQ(Printable(out), word) << "length " << length;
        EXPECT_EQ(t.lexer.GetCurrent(), ' ');
        // The following, shorter symbols hold nothing of the long one.
        EXPECT_EQ(Symbol(t.lexer), "b");
        EXPECT_EQ(Symbol(t.lexer), word.substr(0, 3));
    }
}

TEST(VellumLexer, QuotedStringsKeepBackslashesAndEscapedQuotes) {
    tLexerOn t(R"~( "a b"x "a\"b" "C:\\dir\\" "" "q\)" "\\"y)~");
    EXPECT_EQ(String(t.lexer), "a b");
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');  // the closing quote is consumed
    ASSERT_EQ(Symbol(t.lexer), "x");
    EXPECT_EQ(String(t.lexer), R"(a\\"b)");
    EXPECT_EQ(String(t.lexer), R"(C:\\\\dir\\\\)");
    EXPECT_EQ(String(t.lexer), "");
    EXPECT_EQ(String(t.lexer), R"(q\\))");
    // A backslash that is itself escaped leaves the next quote closing.
    EXPECT_EQ(String(t.lexer), R"(\\\\)");
    EXPECT_EQ(t.lexer.GetCurrent(), 'y');
}

TEST(VellumLexer, QuotedStringsSpanLinesAndStopAtTheEnd) {
    tLexerOn t("\"one\ntwo\r\nthree\" \"open\nto the end\\");
    EXPECT_EQ(String(t.lexer), "one\\ntwo\\r\\nthree");
    EXPECT_EQ(t.lexer.GetLine(), 3);
    EXPECT_EQ(String(t.lexer), "open\\nto the end\\\\");
    EXPECT_EQ(t.lexer.GetLine(), 4);
    EXPECT_FALSE(t.lexer.IsGood());

    // A NUL byte converts to nothing when it stands alone.
    tLexerOn nul(std::string("\"a\0b\"", 5));
    EXPECT_EQ(String(nul.lexer), "ab");
}

TEST(VellumLexer, ReadStringRefusesOtherCharacters) {
    tLexerOn t(" \n x");
    WString out = L"stale";
    EXPECT_FALSE(t.lexer.ReadString(out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(t.lexer.GetCurrent(), 'x');
    EXPECT_EQ(t.lexer.GetLine(), 2);

    tLexerOn end("   ");
    EXPECT_FALSE(end.lexer.ReadString(out));
}

TEST(VellumLexer, BarStringsJoinLinesWithCarriageReturnLineFeed) {
    // Indentation and blank lines between bar lines are skipped; an empty
    // bar line is a line of its own; bars, quotes and parentheses inside a
    // line are text.
    tLexerOn lf("|first |x| \"q\" (\n    |second\n\n  \t|\n|third\nnext");
    EXPECT_EQ(String(lf.lexer), "first |x| \"q\" (\\r\\nsecond\\r\\n\\r\\nthird");
    EXPECT_EQ(lf.lexer.GetCurrent(), 'n');
    EXPECT_EQ(lf.lexer.GetLine(), 6);

    tLexerOn crlf("|first |x| \"q\" (\r\n    |second\r\n\r\n  \t|\r\n|third\r\nnext");
    EXPECT_EQ(String(crlf.lexer), "first |x| \"q\" (\\r\\nsecond\\r\\n\\r\\nthird");
    EXPECT_EQ(crlf.lexer.GetCurrent(), 'n');
    EXPECT_EQ(crlf.lexer.GetLine(), 6);
}

TEST(VellumLexer, BarLineWithLoneCarriageReturn) {
    tLexerOn t("|ab\rcd\n|e\rf\r\n|g");
    EXPECT_EQ(String(t.lexer), "ab\\r\\ncd\\r\\ne\\r\\nf\\r\\ng");
    EXPECT_EQ(t.lexer.GetLine(), 3);
    EXPECT_FALSE(t.lexer.IsGood());

    tLexerOn alone("|");
    EXPECT_EQ(String(alone.lexer), "");
    EXPECT_FALSE(alone.lexer.IsGood());

    // A carriage return as the very last byte ends the string; what it adds
    // is open, but the text before it is kept.
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
    EXPECT_EQ(t.lexer.GetCurrent(), ' ');
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

    // The whitespace after a lone @ stays unread, line feed included.
    tLexerOn nl("@\n5");
    EXPECT_EQ(AtToken(nl.lexer), "@");
    EXPECT_EQ(nl.lexer.GetLine(), 1);
    EXPECT_EQ(nl.lexer.GetCurrent(), '\n');

    tLexerOn end("@");
    EXPECT_EQ(AtToken(end.lexer), "@");

    tLexerOn other("\n x@");
    WString out = L"stale";
    EXPECT_FALSE(other.lexer.ReadAtToken(out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(other.lexer.GetCurrent(), 'x');
    EXPECT_EQ(other.lexer.GetLine(), 2);
}

TEST(VellumLexer, ReadBalancedAppendsUpToTheClosingParenthesis) {
    // Called after the opening parenthesis of the level has been consumed.
    tLexerOn without("a (b (c)) d) rest");
    WString out = L"X";
    without.lexer.ReadBalanced(out, false);
    EXPECT_EQ(Printable(out), "Xa (b (c)) d");
    EXPECT_EQ(without.lexer.GetCurrent(), ' ');

    tLexerOn with("a (b (c)) d) rest");
    out = L"X";
    with.lexer.ReadBalanced(out, true);
    EXPECT_EQ(Printable(out), "Xa (b (c)) d)");
    EXPECT_EQ(with.lexer.GetCurrent(), ' ');

    tLexerOn lines("(10, 20)\n  (30, 40)\r\n)\nafter");
    out.clear();
    lines.lexer.ReadBalanced(out, false);
    EXPECT_EQ(Printable(out), "(10, 20)\\n  (30, 40)\\r\\n");
    EXPECT_EQ(lines.lexer.GetLine(), 3);
    EXPECT_EQ(lines.lexer.GetCurrent(), '\n');

    // Quotes mean nothing here: a parenthesis inside them still counts.
    tLexerOn quoted("\")\" x)");
    out.clear();
    quoted.lexer.ReadBalanced(out, false);
    EXPECT_EQ(Printable(out), "\"");
    EXPECT_EQ(quoted.lexer.GetCurrent(), '"');

    tLexerOn close(")");
    out.clear();
    close.lexer.ReadBalanced(out, false);
    EXPECT_EQ(Printable(out), "");
    EXPECT_FALSE(close.lexer.IsGood());

    tLexerOn open("a (b\nc");
    out.clear();
    open.lexer.ReadBalanced(out, true);
    EXPECT_EQ(Printable(out), "a (b\\nc");
    EXPECT_EQ(open.lexer.GetLine(), 2);
    EXPECT_FALSE(open.lexer.IsGood());

    tLexerOn empty("");
    out = L"kept";
    empty.lexer.ReadBalanced(out, true);
    EXPECT_EQ(Printable(out), "kept");
}

TEST(VellumLexer, ReadWordTakesLettersAndDigitsOrAStringOrOneCharacter) {
    tLexerOn word("abc123-x");
    EXPECT_EQ(Printable(word.lexer.ReadWord()), "abc123");
    EXPECT_EQ(word.lexer.GetCurrent(), '-');
    // A single other character is the word and stays unread.
    EXPECT_EQ(Printable(word.lexer.ReadWord()), "-");
    EXPECT_EQ(word.lexer.GetCurrent(), '-');

    tLexerOn quoted("\"two words\")");
    EXPECT_EQ(Printable(quoted.lexer.ReadWord()), "two words");
    EXPECT_EQ(quoted.lexer.GetCurrent(), ')');
    EXPECT_EQ(Printable(quoted.lexer.ReadWord()), ")");
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
    EXPECT_FALSE(t.lexer.IsGood());
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
    // The carriage return is the last byte of the first block, the line feed
    // the first of the next.
    const std::size_t block = 1 << 16;
    std::string text = "|";
    text.append(block - 2, 'a');
    text += "\r\n|b";
    ASSERT_EQ(text[block - 1], '\r');
    std::istringstream in(text, std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    WString out;
    ASSERT_TRUE(lexer.ReadString(out));
    ASSERT_EQ(out.size(), block - 2 + 3);
    EXPECT_EQ(Printable(out.substr(block - 4)), "aa\\r\\nb");
    EXPECT_EQ(lexer.GetLine(), 2);
}

}  // namespace
}  // namespace lum
