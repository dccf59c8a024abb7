// The grammar of tVellumReader: the exact events, with the lexer's line at
// each event, for every form of the notation, and the syntax messages.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "reader/event_recorder.h"

namespace lum {
namespace {

using Events = std::vector<std::string>;
using test::ReadEvents;

struct tCase {
    std::string text;
    Events events;
};

class VellumReaderTest : public ::testing::Test {
protected:
    // Reads each text and expects its events and no messages.
    void Expect(const std::vector<tCase>& cases) {
        for (const tCase& c : cases) {
            SCOPED_TRACE(c.text);
            EXPECT_EQ(ReadEvents(c.text), c.events);
            EXPECT_EQ(errors.Lines(), Events{});
        }
    }

    test::tCapturedErrors errors;
};

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char ch : text) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    return out;
}

TEST_F(VellumReaderTest, BlankInputsGiveNoEventsButCountLines) {
    Expect({{"", {}}, {" \t\r\n\n\v\f ", {}}});
    std::istringstream in(" \r\n\r\n\n", std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    test::tEventRecorder recorder;
    recorder.Run(lexer);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(lexer.GetLine(), 4);
}

TEST_F(VellumReaderTest, ConstructHeaders) {
    // The header runs up to the next token that is not a string or an @
    // token, line breaks included; class word and arguments are optional and
    // never leak into the next construct.
    Expect({
        {"(object Class \"Name\" @12\n    name \"x\")", {"C object|Class|[Name,@12] @2", "F name|x|1 @2", "X @2"}},
        {"(object Class \"A\" \"B\" \"C\" @1 @ @\"q\" quid \"x\")",
         {"C object|Class|[A,B,C,@1,@,@q] @1", "F quid|x|1 @1", "X @1"}},
        {"(value Text\n|line one\n|line two\n)", {"C value|Text|[line one\\r\\nline two] @4", "X @4"}},
        {"(list)", {"C list||[] @1", "X @1"}},
        {"(object \"Name\")", {"C object||[Name] @1", "X @1"}},
        {"(object Class \"Na", {"C object|Class|[Na] @1"}},
        {"(object C @)", {"C object|C|[@] @1", "X @1"}},
        {"(object C @", {"C object|C|[@] @1"}},
        {"(object A \"x\" @1)\n\"bare\"\n(object B)\n(list)\n(raw)",
         {"C object|A|[x,@1] @1", "X @1", "C lumElement|bare|[] @2", "C object|B|[] @3", "X @3", "C list||[] @4",
          "X @4", "C lumElement|(raw)|[] @5"}},
        {"( object Foo\n)\n(\n\tlist Bar)", {"C object|Foo|[] @2", "X @2", "C list|Bar|[] @4", "X @4"}},
        // Outside a header an @ word is a plain symbol.
        {"ref @12\n@7 x", {"F ref|@12|1 @1", "F @7|x|1 @2"}},
    });
}

TEST_F(VellumReaderTest, RawConstructs) {
    // Other keywords (compared case-sensitively, never used as a format),
    // nested parentheses, and quotes that mean nothing inside; unbalanced at
    // the end gives the text read so far.
    Expect({
        {"(Object Foo)\n(LIST x)\n(objects y)\n(lumElement z)\n(%s%d w)",
         {"C lumElement|(Object Foo)|[] @1", "C lumElement|(LIST x)|[] @2", "C lumElement|(objects y)|[] @3",
          "C lumElement|(lumElement z)|[] @4", "C lumElement|(%s%d w)|[] @5"}},
        {"(1 (2) 3)", {"C lumElement|(1 (2) 3)|[] @1"}},
        {"( 1 (2)\n 3) x", {"C lumElement|(1 (2)\\n 3)|[] @2", "F x||0 @2"}},
        {"( \n )", {"C lumElement|()|[] @2"}},
        {"(1 (2\n", {"C lumElement|(1 (2\\n|[] @2"}},
        {R"~(("a)" b))~", {R"~(C lumElement|("a)|[] @1)~", "C lumElement| b)|[] @1"}},
        {"location (100, 200)\nPoints (list Points (10, 20) (30, 40))",
         {"F location||0 @1", "C lumElement|(100, 200)|[] @1", "F Points||0 @2", "C list|Points|[] @2",
          "C lumElement|(10, 20)|[] @2", "C lumElement|(30, 40)|[] @2", "X @2"}},
    });
}

TEST_F(VellumReaderTest, FeaturesAndClosings) {
    Expect({
        {"(object Class \"A\"\n    name\n        \"value\"\n    count\n        42\n    flag\tTRUE\n    ref @12\n"
         "    models\n        (list L\n            (object Class \"B\")))",
         {"C object|Class|[A] @2", "F name|value|1 @3", "F count|42|1 @5", "F flag|TRUE|1 @6", "F ref|@12|1 @7",
          "F models||0 @9", "C list|L|[] @10", "C object|Class|[B] @10", "X @10", "X @10", "X @10"}},
        // A name on the next line is taken as the value.
        {"(object A\n  a\n  b \"v\"\n  c)",
         {"C object|A|[] @2", "F a|b|1 @3", "C lumElement|v|[] @3", "F c||0 @4", "X @4"}},
        // Unmatched closings are events too; constructs left open are not reported.
        {")\n))", {"X @1", "X @2", "X @2"}},
        {"(object A\n(object B", {"C object|A|[] @2", "C object|B|[] @2"}},
    });
}

TEST_F(VellumReaderTest, Strings) {
    const std::string bar = "(object Class \"A\"\n    documentation\n|first line\n    |second \"line\" (2)\n\n"
                            "    |third line\n    quid \"x\")";
    const Events barEvents = {"C object|Class|[A] @2",
                              "F documentation|first line\\r\\nsecond \"line\" (2)\\r\\nthird line|1 @7",
                              "F quid|x|1 @7", "X @7"};
    Expect({
        {R"~(doc "say \"hi\" (twice)" path "C:\dir\\" empty "" next v)~",
         {R"~(F doc|say \\"hi\\" (twice)|1 @1)~", R"~(F path|C:\\dir\\\\|1 @1)~", "F empty||1 @1", "F next|v|1 @1"}},
        {"note \"one\r\ntwo\"", {"F note|one\\r\\ntwo|1 @2"}},
        // Unterminated strings run to the end.
        {"(object Note\n  text \"abc\ndef (x)", {"C object|Note|[] @2", "F text|abc\\ndef (x)|1 @3"}},
        {"\"lonely", {"C lumElement|lonely|[] @1"}},
        {"name \"ends in a backslash\\", {"F name|ends in a backslash\\\\|1 @1"}},
        // Bar lines join with CR LF whichever line ends the file uses.
        {bar, barEvents},
        {WithCrLf(bar), barEvents},
        {"doc\n|a\rb\n|c\n", {"F doc|a\\r\\nb\\r\\nc|1 @4"}},
        // In a list, a string right after the class word is a header argument,
        // after a nested construct a bare value; a bar there starts a symbol.
        {"(list L\n|x\n)", {"C list|L|[x] @3", "X @3"}},
        {"(list L (object A) \"x\")",
         {"C list|L|[] @1", "C object|A|[] @1", "X @1", "C lumElement|x|[] @1", "X @1"}},
        {"(list L (object A) |x\n)", {"C list|L|[] @1", "C object|A|[] @1", "X @1", "F |x||0 @2", "X @2"}},
    });
}

TEST_F(VellumReaderTest, NulBytesGiveSyntaxErrorsWithTheirLine) {
    const char bytes[] = "(object Class \"A\"\n  \0\0 )\n\0(object B)\n\0 word\n\0\"text\"\nna\0me value\n\0\n";
    EXPECT_EQ(ReadEvents(std::string(bytes, sizeof bytes - 1)),
              (Events{"C object|Class|[A] @2", "X @2", "C object|B|[] @3", "X @3", "C lumElement|word|[] @4",
                      "C lumElement|text|[] @5", "F na|value|1 @6"}));
    EXPECT_EQ(errors.Lines(), (Events{"Error 2: Vellum syntax error near )", "Error 3: Vellum syntax error near ("}));
    for (const tError& error : errors.List()) {
        EXPECT_EQ(error.subject.entity, nullptr);
        EXPECT_EQ(error.subject.metaClass, nullptr);
        EXPECT_EQ(error.subject.metaFeature, nullptr);
    }
}

TEST_F(VellumReaderTest, MultiByteCharactersInEveryKindOfToken) {
    const std::string text = "(object Class \"caf\xC3\xA9\" @caf\xC3\xA9\n  name caf\xC3\xA9\n  doc |caf\xC3\xA9\n"
                             "  (caf\xC3\xA9 caf\xC3\xA9))";
    {
        // With UTF-8 a symbol converts as one text, a string byte by byte.
        test::tCodePage utf8(65001);
        Expect({{text,
                 {"C object|Class|[caf\\u{FFFD}\\u{FFFD},@caf\\u{E9}] @2", "F name|caf\\u{E9}|1 @2",
                  "F doc|caf\\u{FFFD}\\u{FFFD}|1 @4", "C lumElement|(caf\\u{E9} caf\\u{FFFD}\\u{FFFD})|[] @4",
                  "X @4"}}});
    }
    test::tCodePage page(1252);
    Expect({{text,
             {"C object|Class|[caf\\u{C3}\\u{A9},@caf\\u{C3}\\u{A9}] @2", "F name|caf\\u{C3}\\u{A9}|1 @2",
              "F doc|caf\\u{C3}\\u{A9}|1 @4", "C lumElement|(caf\\u{C3}\\u{A9} caf\\u{C3}\\u{A9})|[] @4", "X @4"}},
            {"\x80\xFF \"\x80\xFF\"", {"F \\u{20AC}\\u{FF}|\\u{20AC}\\u{FF}|1 @1"}}});
}

// Reports a warning and an internal error on every feature, or breaks the
// stream at the first one.
class tReactingRecorder : public test::tEventRecorder {
public:
    std::istream* breakAt = nullptr;

protected:
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        tEventRecorder::OnFeature(name, value, hasValue);
        if (breakAt != nullptr) {
            breakAt->setstate(std::ios::badbit);
            return;
        }
        ReportAtLine(tError::Warning, L"feature %s, %d", name.c_str(), 7);
        ReportAtLine(tError::InternalError, L"dropped %s", name.c_str());
    }
};

TEST_F(VellumReaderTest, ReportAtLineUsesTheCurrentLineAndDropsInternalErrors) {
    std::istringstream in("\n\nname\n\nvalue\nother 1", std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    tReactingRecorder recorder;
    recorder.Run(lexer);
    EXPECT_EQ(recorder.events, (Events{"F name|value|1 @5", "F other|1|1 @6"}));
    EXPECT_EQ(errors.Lines(), (Events{"Warning 5: feature name, 7", "Warning 6: feature other, 7"}));
}

TEST_F(VellumReaderTest, HardStreamErrorEndsTheLoop) {
    std::istringstream in("(object A \"x\"\n a 1 \"b\" \n b 2)\n(object B)", std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    tReactingRecorder recorder;
    recorder.breakAt = &in;
    recorder.Run(lexer);
    EXPECT_EQ(recorder.events, (Events{"C object|A|[x] @2", "F a|1|1 @2"}));
    EXPECT_TRUE(errors.Lines().empty());
}

TEST_F(VellumReaderTest, ModelFragmentWhateverTheLineEndsAndDelivery) {
    const std::string model = R"~((object Design "Logical View"
    is_unit 	TRUE
    root_category 	(object Class_Category "Logical View"
	logical_models 	(list unit_reference_list
	    (object Class "Order"
		documentation
|An order.
|One line per product.

		file_name 	"$MODELS\sales.cat")
	    (object ClassView "Class" "Logical View::Order" @1
		location 	(320, 240)
		Points (list Points (10, 20) (30, 40))))))
)~";
    const Events events = {
        "C object|Design|[Logical View] @2", "F is_unit|TRUE|1 @2", "F root_category||0 @3",
        "C object|Class_Category|[Logical View] @4", "F logical_models||0 @4", "C list|unit_reference_list|[] @5",
        "C object|Class|[Order] @6", "F documentation|An order.\\r\\nOne line per product.|1 @10",
        "F file_name|$MODELS\\\\sales.cat|1 @10", "X @10", "C object|ClassView|[Class,Logical View::Order,@1] @12",
        "F location||0 @12", "C lumElement|(320, 240)|[] @12", "F Points||0 @13", "C list|Points|[] @13",
        "C lumElement|(10, 20)|[] @13", "C lumElement|(30, 40)|[] @13", "X @13", "X @13", "X @13", "X @13",
        "X @13"};
    Expect({{model, events}, {WithCrLf(model), events}});
    for (std::size_t chunk : {1u, 2u, 5u, 64u}) {
        for (bool shortReads : {false, true}) {
            EXPECT_EQ(test::ReadEventsTrickled(model, chunk, shortReads), events) << chunk << " " << shortReads;
        }
    }
}

}  // namespace
}  // namespace lum
