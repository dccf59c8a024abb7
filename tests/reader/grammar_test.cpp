// The notation as tVellumReader and its lexer read it: the exact events, with
// the line of each, for every form, the syntax messages, and the same events
// however the stream hands out its bytes.
#include <sstream>

#include "reader/events.h"

namespace lum {
namespace {
using test::Events;
using test::Printable;
using test::ReadEvents;
using Reader = test::CaptureTest;

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char ch : text) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    return out;
}

std::string Joined(const tErrorList& errors) {
    std::string out;
    for (const std::wstring& line : test::Lines(errors)) out += Printable(line) + ";";
    return out;
}

TEST_F(Reader, EveryFormGivesItsEventsAtItsLines) {
    const std::string bar = "(object Class \"A\"\n    documentation\n|first line\n    |second \"line\" (2)\n\n"
                            "    |third line\n    quid \"x\")";
    const Events barEvents = {"C object|Class|[A] @2",
                              "F documentation|first line\\r\\nsecond \"line\" (2)\\r\\nthird line|1 @7",
                              "F quid|x|1 @7", "X @7"};
    const char nulBytes[] = "(object Class \"A\"\n  \0\0 )\n\0(object B)\n\0 word\nna\0me \"v\0w\"\n";
    const struct {
        std::string text;
        Events events;
        std::string messages;
    } cases[] = {
        {" \t\r\n\n\v\f ", {}, ""},
        // Headers run up to the next token that is no string or @ token.
        {"(object Class \"Name\" @12\n    name \"x\")", {"C object|Class|[Name,@12] @2", "F name|x|1 @2", "X @2"}, ""},
        {"(object Class \"A\" \"B\" @1 @ @\"q\" quid \"x\")", {"C object|Class|[A,B,@1,@,@q] @1", "F quid|x|1 @1", "X @1"}, ""},
        {"(value Text\n|line one\n|line two\n)", {"C value|Text|[line one\\r\\nline two] @4", "X @4"}, ""},
        {"( object Foo\n)\n(\n\tlist)", {"C object|Foo|[] @2", "X @2", "C list||[] @4", "X @4"}, ""},
        {"(object C @", {"C object|C|[@] @1"}, ""},
        {"ref @12\n@7 x", {"F ref|@12|1 @1", "F @7|x|1 @2"}, ""},
        // Other keywords (case-sensitive) make raw constructs, read whole.
        {"(Object Foo)\n(objects y)\n(%s%d w)",
         {"C lumElement|(Object Foo)|[] @1", "C lumElement|(objects y)|[] @2", "C lumElement|(%s%d w)|[] @3"}, ""},
        {"( 1 (2)\n 3) x", {"C lumElement|(1 (2)\\n 3)|[] @2", "F x||0 @2"}, ""},
        {"(1 (2\n", {"C lumElement|(1 (2\\n|[] @2"}, ""},
        {R"~(("a)" b))~", {R"~(C lumElement|("a)|[] @1)~", "C lumElement| b)|[] @1"}, ""},
        {"location (100, 200)\nPoints (list Points (10, 20) (30, 40))",
         {"F location||0 @1", "C lumElement|(100, 200)|[] @1", "F Points||0 @2", "C list|Points|[] @2",
          "C lumElement|(10, 20)|[] @2", "C lumElement|(30, 40)|[] @2", "X @2"}, ""},
        // Features: a value on a later line, or none before a construct.
        {"(object A\n  a\n  b \"v\"\n  models\n (list L (object B)))\n))",
         {"C object|A|[] @2", "F a|b|1 @3", "C lumElement|v|[] @3", "F models||0 @5", "C list|L|[] @5",
          "C object|B|[] @5", "X @5", "X @5", "X @5", "X @6", "X @6"}, ""},
        // Strings keep backslashes and line breaks; an unterminated one runs to the end.
        {R"~(doc "say \"hi\" (twice)" path "C:\dir\\" empty "" next v)~",
         {R"~(F doc|say \\"hi\\" (twice)|1 @1)~", R"~(F path|C:\\dir\\\\|1 @1)~", "F empty||1 @1", "F next|v|1 @1"}, ""},
        {"note \"one\r\ntwo\" text \"abc\ndef\\", {"F note|one\\r\\ntwo|1 @2", "F text|abc\\ndef\\\\|1 @3"}, ""},
        {bar, barEvents, ""},
        {WithCrLf(bar), barEvents, ""},
        {"doc\n|a\rb\n|c\n", {"F doc|a\\r\\nb\\r\\nc|1 @4"}, ""},
        {"(list L (object A) \"x\" |y\n)",
         {"C list|L|[] @1", "C object|A|[] @1", "X @1", "C lumElement|x|[] @1", "F |y||0 @2", "X @2"}, ""},
        // A NUL byte converts to nothing; where a token should start it is a syntax error.
        {std::string(nulBytes, sizeof nulBytes - 1),
         {"C object|Class|[A] @2", "X @2", "C object|B|[] @3", "X @3", "C lumElement|word|[] @4", "F na|vw|1 @5"},
         "Error 2: Vellum syntax error near );Error 3: Vellum syntax error near (;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadEvents(c.text), c.events) << c.text;
        EXPECT_EQ(Joined(errors), c.messages) << c.text;
        errors.clear();
        EXPECT_EQ(ReadEvents(c.text, 3, true), c.events) << "in pieces: " << c.text;
        errors.clear();
    }
}

TEST_F(Reader, CodePagesConvertSymbolsWholeAndStringsByteByByteUnlessAsked) {
    const std::string text = "(object Class \"caf\xC3\xA9\" @caf\xC3\xA9\n  doc |caf\xC3\xA9\n  (caf\xC3\xA9 x))";
    {
        test::tCodePage utf8(65001);
        EXPECT_EQ(ReadEvents(text), (Events{"C object|Class|[caf\\u{FFFD}\\u{FFFD},@caf\\u{E9}] @2",
                                            "F doc|caf\\u{FFFD}\\u{FFFD}|1 @3",
                                            "C lumElement|(caf\\u{E9} x)|[] @3", "X @3"}));
        tVellumLexer::SetConvertTextsWhole(true);
        const Events whole = ReadEvents(text);
        tVellumLexer::SetConvertTextsWhole(false);
        EXPECT_EQ(whole, (Events{"C object|Class|[caf\\u{E9},@caf\\u{E9}] @2", "F doc|caf\\u{E9}|1 @3",
                                 "C lumElement|(caf\\u{E9} x)|[] @3", "X @3"}));
    }
    test::tCodePage cp1252(1252);
    EXPECT_EQ(ReadEvents("\x80\xFF \"\x80\xFF\" a\xA0\x85 b"),
              (Events{"F \\u{20AC}\\u{FF}|\\u{20AC}\\u{FF}|1 @1", "F a\\u{A0}\\u{2026}|b|1 @1"}));
    EXPECT_EQ(Joined(errors), "");
}

// Warnings carry the lexer's line; internal errors are dropped; a stream gone
// bad ends the loop.
TEST_F(Reader, ReportAtLineUsesTheCurrentLineAndDropsInternalErrors) {
    class tReacting : public test::tEventRecorder {
    public:
        std::istream* breakAt = nullptr;

    protected:
        void OnFeature(const WString& name, const WString& value, bool hasValue) override {
            tEventRecorder::OnFeature(name, value, hasValue);
            if (breakAt != nullptr) return breakAt->setstate(std::ios::badbit);
            ReportAtLine(tError::Warning, L"feature %s, %d", name.c_str(), 7);
            ReportAtLine(tError::InternalError, L"dropped %s", name.c_str());
        }
    };
    std::istringstream in("\n\nname\n\nvalue\nother 1", std::ios::in | std::ios::binary);
    tReacting recorder;
    recorder.Read(in);
    EXPECT_EQ(recorder.events, (Events{"F name|value|1 @5", "F other|1|1 @6"}));
    EXPECT_EQ(Joined(errors), "Warning 5: feature name, 7;Warning 6: feature other, 7;");
    std::istringstream broken("(object A \"x\"\n a 1 \"b\" \n b 2)", std::ios::in | std::ios::binary);
    tReacting stopping;
    stopping.breakAt = &broken;
    stopping.Read(broken);
    EXPECT_EQ(stopping.events, (Events{"C object|A|[x] @2", "F a|1|1 @2"}));
}

// Tokens across the lexer's 64 KiB block, read whole and in pieces.
TEST_F(Reader, TokensAcrossRefills) {
    for (std::size_t shift : {0u, 1u, 2u, 3u}) {
        std::string text;
        while (text.size() + shift < (1u << 16) - 3) text += (text.size() % 64 == 63) ? '\n' : ' ';
        const int pad = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        text += "abcdef |x\r\n|y\n \"p\\\"q\" @77 (1 (2) 3)";
        const Events expected = {"F abcdef|x\\r\\ny|1 @" + std::to_string(pad + 2),
                                 "C lumElement|p\\\\\"q|[] @" + std::to_string(pad + 2),
                                 "F @77||0 @" + std::to_string(pad + 2),
                                 "C lumElement|(1 (2) 3)|[] @" + std::to_string(pad + 2)};
        EXPECT_EQ(ReadEvents(text), expected) << shift;
        EXPECT_EQ(ReadEvents(text, 13, true), expected) << shift;
    }
    // The carriage return ends the first block, the line feed starts the next.
    const std::string as(65530, 'a');
    EXPECT_EQ(ReadEvents("doc |" + as + "\r\n|b"),
              Events{"F doc|" + Printable(std::wstring(as.begin(), as.end()) + L"\r\nb") + "|1 @2"});
}

// Moving a lexer past text another reader read: within the block, past it,
// on a stream that seeks and on one that must be read over, and a lexer
// made at an offset counting from there.
TEST_F(Reader, TheLexerSkipsToAnOffsetAndCountsFromIt) {
    const std::string text = "alpha\n" + std::string(150000, ' ') + "\nbeta gamma\n";
    const std::uint64_t beta = text.find("beta"), gamma = text.find("gamma");
    for (bool seeks : {true, false}) {
        std::istringstream seeking(text, std::ios::in | std::ios::binary);
        test::tTrickleBuffer trickle(text, 4096, true);
        std::istream reading(&trickle);
        tVellumLexer lexer(seeks ? static_cast<std::istream&>(seeking) : reading);
        WString word;
        ASSERT_TRUE(lexer.ReadSymbol(word));
        EXPECT_EQ(lexer.GetOffset(), 5u) << seeks;
        lexer.SkipTo(beta, 3);
        ASSERT_TRUE(lexer.ReadSymbol(word));
        EXPECT_EQ(test::Text(word), L"beta") << seeks;
        lexer.SkipTo(gamma, 3);
        ASSERT_TRUE(lexer.ReadSymbol(word));
        EXPECT_EQ(test::Text(word), L"gamma") << seeks;
        EXPECT_EQ(lexer.GetOffset(), text.size() - 1) << seeks;
        lexer.SkipWhitespace();
        EXPECT_EQ(lexer.GetLine(), 4) << seeks;
        EXPECT_EQ(lexer.GetOffset(), text.size()) << seeks;
    }
    std::istringstream rest(text.substr(beta), std::ios::in | std::ios::binary);
    tVellumLexer lexer(rest, beta, 3);
    WString word;
    ASSERT_TRUE(lexer.ReadSymbol(word));
    EXPECT_EQ(lexer.GetOffset(), beta + 4);
    EXPECT_EQ(lexer.GetLine(), 3);
}

}  // namespace
}  // namespace lum
