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

class VellumReaderTest : public ::testing::Test {
protected:
    // Reads `text` and expects no messages.
    Events Read(const std::string& text) {
        Events events = ReadEvents(text);
        EXPECT_EQ(errors.Lines(), Events{});
        return events;
    }

    test::tCapturedErrors errors;
};

TEST_F(VellumReaderTest, EmptyAndBlankInputsGiveNoEvents) {
    EXPECT_EQ(Read(""), Events{});
    EXPECT_EQ(Read(" \t\r\n\n\v\f "), Events{});

    std::istringstream in(" \r\n\r\n\n", std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    test::tEventRecorder recorder;
    recorder.Run(lexer);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(lexer.GetLine(), 4);
}

TEST_F(VellumReaderTest, ObjectConstructWithHeaderArguments) {
    // The header is read up to the next token that is not a string or an @
    // token, line breaks included: the construct event carries that line.
    EXPECT_EQ(Read("(object Class \"Name\" @12\n"
                   "    name \"x\")"),
              (Events{"C object|Class|[Name,@12] @2", "F name|x|1 @2", "X @2"}));

    EXPECT_EQ(Read("(object Class \"A\" \"B\" \"C\" @1 @ @\"q\" quid \"x\")"),
              (Events{"C object|Class|[A,B,C,@1,@,@q] @1", "F quid|x|1 @1", "X @1"}));

    EXPECT_EQ(Read("(value Text\n|line one\n|line two\n)"),
              (Events{"C value|Text|[line one\\r\\nline two] @4", "X @4"}));
}

TEST_F(VellumReaderTest, ClassWordAndArgumentsAreOptional) {
    EXPECT_EQ(Read("(list)"), (Events{"C list||[] @1", "X @1"}));
    EXPECT_EQ(Read("(object \"Name\")"), (Events{"C object||[Name] @1", "X @1"}));
    EXPECT_EQ(Read("(value Text \"abc\" \"def\")"), (Events{"C value|Text|[abc,def] @1", "X @1"}));
    EXPECT_EQ(Read("(object Class \"Na"), (Events{"C object|Class|[Na] @1"}));
}

TEST_F(VellumReaderTest, EachConstructStartsWithFreshTexts) {
    // Arguments and class words of one construct never leak into the next.
    EXPECT_EQ(Read("(object A \"x\" @1)\n\"bare\"\n(object B)\n(list)\n(raw)"),
              (Events{"C object|A|[x,@1] @1", "X @1", "C lumElement|bare|[] @2", "C object|B|[] @3", "X @3",
                      "C list||[] @4", "X @4", "C lumElement|(raw)|[] @5"}));
}

TEST_F(VellumReaderTest, WhitespaceAfterTheParenthesisIsSkipped) {
    EXPECT_EQ(Read("( object Foo\n)\n(\n\tlist Bar)"),
              (Events{"C object|Foo|[] @2", "X @2", "C list|Bar|[] @4", "X @4"}));
}

TEST_F(VellumReaderTest, OtherWordsMakeRawConstructs) {
    // Keywords compare case-sensitively; the keyword is an argument of the
    // text, never a format.
    EXPECT_EQ(Read("(Object Foo)\n(LIST x)\n(objects y)\n(lumElement z)\n(%s%d w)"),
              (Events{"C lumElement|(Object Foo)|[] @1", "C lumElement|(LIST x)|[] @2",
                      "C lumElement|(objects y)|[] @3", "C lumElement|(lumElement z)|[] @4",
                      "C lumElement|(%s%d w)|[] @5"}));
}

TEST_F(VellumReaderTest, RawConstructsKeepNestedParentheses) {
    EXPECT_EQ(Read("(1 (2) 3)"), (Events{"C lumElement|(1 (2) 3)|[] @1"}));
    EXPECT_EQ(Read("( 1 (2)\n 3) x"), (Events{"C lumElement|(1 (2)\\n 3)|[] @2", "F x||0 @2"}));
    EXPECT_EQ(Read("()"), (Events{"C lumElement|()|[] @1"}));
    EXPECT_EQ(Read("( \n )"), (Events{"C lumElement|()|[] @2"}));
    // Unbalanced at the end of the file: the text read so far, no message.
    EXPECT_EQ(Read("(1 (2\n"), (Events{"C lumElement|(1 (2\\n|[] @2"}));
}

TEST_F(VellumReaderTest, RawConstructsCountParenthesesInsideQuotes) {
    // Strings mean nothing to a raw construct: the quoted parenthesis closes
    // it, and the quote after it opens a string that runs to the end.
    EXPECT_EQ(Read(R"~(("a)" b))~"), (Events{R"~(C lumElement|("a)|[] @1)~", "C lumElement| b)|[] @1"}));
}

TEST_F(VellumReaderTest, TuplesAfterAFeatureName) {
    EXPECT_EQ(Read("location (100, 200)\nPoints (list Points (10, 20) (30, 40))"),
              (Events{"F location||0 @1", "C lumElement|(100, 200)|[] @1", "F Points||0 @2", "C list|Points|[] @2",
                      "C lumElement|(10, 20)|[] @2", "C lumElement|(30, 40)|[] @2", "X @2"}));
}

TEST_F(VellumReaderTest, FeatureValuesOnTheSameOrTheNextLine) {
    EXPECT_EQ(Read("(object Class \"A\"\n"
                   "    name\n"
                   "        \"value\"\n"
                   "    count\n"
                   "        42\n"
                   "    flag\tTRUE\n"
                   "    ratio 3.5\n"
                   "    ref @12\n"
                   "    logical_models\n"
                   "        (list unit_reference_list\n"
                   "            (object Class \"B\")))"),
              (Events{"C object|Class|[A] @2", "F name|value|1 @3", "F count|42|1 @5", "F flag|TRUE|1 @6",
                      "F ratio|3.5|1 @7", "F ref|@12|1 @8", "F logical_models||0 @10",
                      "C list|unit_reference_list|[] @11", "C object|Class|[B] @11", "X @11", "X @11",
                      "X @11"}));
}

TEST_F(VellumReaderTest, ANameOnTheNextLineIsTakenAsTheValue) {
    EXPECT_EQ(Read("(object A\n  a\n  b \"v\"\n  c)"),
              (Events{"C object|A|[] @2", "F a|b|1 @3", "C lumElement|v|[] @3", "F c||0 @4", "X @4"}));
}

TEST_F(VellumReaderTest, QuotedStringsKeepEscapesAsWritten) {
    EXPECT_EQ(Read(R"~(doc "say \"hi\" (twice)" path "C:\dir\\" empty "" next v)~"),
              (Events{R"~(F doc|say \\"hi\\" (twice)|1 @1)~", R"~(F path|C:\\dir\\\\|1 @1)~", "F empty||1 @1",
                      "F next|v|1 @1"}));
    EXPECT_EQ(Read("note \"one\r\ntwo\""), (Events{"F note|one\\r\\ntwo|1 @2"}));
}

TEST_F(VellumReaderTest, UnterminatedStringRunsToTheEnd) {
    EXPECT_EQ(Read("(object Note\n  text \"abc\ndef (x)"), (Events{"C object|Note|[] @2", "F text|abc\\ndef (x)|1 @3"}));
    EXPECT_EQ(Read("\"lonely"), (Events{"C lumElement|lonely|[] @1"}));
    EXPECT_EQ(Read("name \"ends in a backslash\\"), (Events{"F name|ends in a backslash\\\\|1 @1"}));
}

// Indentation before bar lines and a blank line between two of them.
const char* const kBarText =
    "(object Class \"A\"\n"
    "    documentation\n"
    "|first line\n"
    "    |second \"line\" (2)\n"
    "\n"
    "    |third line\n"
    "    quid \"x\")";
const Events kBarEvents = {"C object|Class|[A] @2",
                           "F documentation|first line\\r\\nsecond \"line\" (2)\\r\\nthird line|1 @7",
                           "F quid|x|1 @7", "X @7"};

TEST_F(VellumReaderTest, BarStringOverLineFeeds) { EXPECT_EQ(Read(kBarText), kBarEvents); }

TEST_F(VellumReaderTest, BarStringOverCarriageReturnLineFeeds) {
    std::string text;
    for (const char* p = kBarText; *p; ++p) {
        if (*p == '\n') text += '\r';
        text += *p;
    }
    EXPECT_EQ(Read(text), kBarEvents);
}

TEST_F(VellumReaderTest, BarLineWithALoneCarriageReturn) {
    EXPECT_EQ(Read("doc\n|a\rb\n|c\n"), (Events{"F doc|a\\r\\nb\\r\\nc|1 @4"}));
}

TEST_F(VellumReaderTest, StringsInLists) {
    // Right after the class word a string is a header argument; after a
    // nested construct it is a bare value.
    EXPECT_EQ(Read("(list L\n|x\n)"), (Events{"C list|L|[x] @3", "X @3"}));
    EXPECT_EQ(Read("(list L (object A) \"x\")"),
              (Events{"C list|L|[] @1", "C object|A|[] @1", "X @1", "C lumElement|x|[] @1", "X @1"}));
    // A bar is a symbol character, so a bar line in that place is read as a
    // feature name.
    EXPECT_EQ(Read("(list L (object A) |x\n)"),
              (Events{"C list|L|[] @1", "C object|A|[] @1", "X @1", "F |x||0 @2", "X @2"}));
}

TEST_F(VellumReaderTest, AtTokens) {
    EXPECT_EQ(Read("(object Class \"A\" @ \"B\")"), (Events{"C object|Class|[A,@,B] @1", "X @1"}));
    EXPECT_EQ(Read("(object C @12)"), (Events{"C object|C|[@12] @1", "X @1"}));
    EXPECT_EQ(Read("(object C @\"x\")"), (Events{"C object|C|[@x] @1", "X @1"}));
    EXPECT_EQ(Read("(object C @)"), (Events{"C object|C|[@] @1", "X @1"}));
    EXPECT_EQ(Read("(object C @"), (Events{"C object|C|[@] @1"}));
    // Outside a header an @ word is a plain symbol.
    EXPECT_EQ(Read("ref @12\n@7 x"), (Events{"F ref|@12|1 @1", "F @7|x|1 @2"}));
}

TEST_F(VellumReaderTest, ClosingParenthesesAreEventsOfTheirOwn) {
    // Unmatched ones included, and constructs left open are not reported.
    EXPECT_EQ(Read(")\n))"), (Events{"X @1", "X @2", "X @2"}));
    EXPECT_EQ(Read("(object A\n(object B"), (Events{"C object|A|[] @2", "C object|B|[] @2"}));
}

TEST_F(VellumReaderTest, NulBytesGiveSyntaxErrorsWithTheirLine) {
    const char bytes[] =
        "(object Class \"A\"\n"
        "  \0\0 )\n"
        "\0(object B)\n"
        "\0 word\n"
        "\0\"text\"\n"
        "na\0me value\n"
        "\0\n";
    const std::string text(bytes, sizeof bytes - 1);
    EXPECT_EQ(ReadEvents(text),
              (Events{"C object|Class|[A] @2", "X @2", "C object|B|[] @3", "X @3", "C lumElement|word|[] @4",
                      "C lumElement|text|[] @5", "F na|value|1 @6"}));
    EXPECT_EQ(errors.Lines(),
              (Events{"Error 2: Vellum syntax error near )", "Error 3: Vellum syntax error near ("}));
    for (const tError& error : errors.List()) {
        EXPECT_EQ(error.subject.entity, nullptr);
        EXPECT_EQ(error.subject.metaClass, nullptr);
        EXPECT_EQ(error.subject.metaFeature, nullptr);
    }
}

TEST_F(VellumReaderTest, MultiByteCharactersInEveryKindOfToken) {
    const std::string text =
        "(object Class \"caf\xC3\xA9\" @caf\xC3\xA9\n"
        "  name caf\xC3\xA9\n"
        "  doc |caf\xC3\xA9\n"
        "  (caf\xC3\xA9 caf\xC3\xA9))";
    // With UTF-8 a symbol converts as one text, a string byte by byte.
    test::tCodePage utf8(65001);
    EXPECT_EQ(Read(text), (Events{"C object|Class|[caf\\u{FFFD}\\u{FFFD},@caf\\u{E9}] @2", "F name|caf\\u{E9}|1 @2",
                                  "F doc|caf\\u{FFFD}\\u{FFFD}|1 @4",
                                  "C lumElement|(caf\\u{E9} caf\\u{FFFD}\\u{FFFD})|[] @4", "X @4"}));
    // A single-byte code page gives the same text everywhere.
    test::tCodePage page(1252);
    EXPECT_EQ(Read(text), (Events{"C object|Class|[caf\\u{C3}\\u{A9},@caf\\u{C3}\\u{A9}] @2",
                                  "F name|caf\\u{C3}\\u{A9}|1 @2", "F doc|caf\\u{C3}\\u{A9}|1 @4",
                                  "C lumElement|(caf\\u{C3}\\u{A9} caf\\u{C3}\\u{A9})|[] @4", "X @4"}));
    EXPECT_EQ(Read("\x80\xFF \"\x80\xFF\""), (Events{"F \\u{20AC}\\u{FF}|\\u{20AC}\\u{FF}|1 @1"}));
}

// A recorder that reports a message on every feature.
class tReportingRecorder : public test::tEventRecorder {
protected:
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        tEventRecorder::OnFeature(name, value, hasValue);
        ReportAtLine(tError::Warning, L"feature %s, %d", name.c_str(), 7);
        ReportAtLine(tError::InternalError, L"dropped %s", name.c_str());
    }
};

TEST_F(VellumReaderTest, ReportAtLineUsesTheCurrentLineAndDropsInternalErrors) {
    std::istringstream in("\n\nname\n\nvalue\nother 1", std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    tReportingRecorder recorder;
    recorder.Run(lexer);
    EXPECT_EQ(recorder.events, (Events{"F name|value|1 @5", "F other|1|1 @6"}));
    EXPECT_EQ(errors.Lines(), (Events{"Warning 5: feature name, 7", "Warning 6: feature other, 7"}));
}

// A recorder that marks its stream as broken at the first feature.
class tBreakingRecorder : public test::tEventRecorder {
public:
    explicit tBreakingRecorder(std::istream& in) : m_in(in) {}

protected:
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        tEventRecorder::OnFeature(name, value, hasValue);
        m_in.setstate(std::ios::badbit);
    }

private:
    std::istream& m_in;
};

TEST_F(VellumReaderTest, HardStreamErrorEndsTheLoop) {
    std::istringstream in("(object A \"x\"\n a 1 \"b\" \n b 2)\n(object B)", std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    tBreakingRecorder recorder(in);
    recorder.Run(lexer);
    EXPECT_EQ(recorder.events, (Events{"C object|A|[x] @2", "F a|1|1 @2"}));
    EXPECT_TRUE(errors.Lines().empty());
}

const char* const kModel = R"~((object Vellum
    version 	47
    _written 	"lum test writer 1.0"
    charSet 	0)

(object Design "Logical View"
    is_unit 	TRUE
    is_loaded 	TRUE
    quid 	"4A0F1C2B0001"
    root_category 	(object Class_Category "Logical View"
	quid 	"4A0F1C2B0002"
	exportControl 	"Public"
	logical_models 	(list unit_reference_list
	    (object Class "Order"
		quid 	"4A0F1C2B0003"
		documentation
|An order placed by a customer.
|It holds one line per product.

		operations 	(list Operations
		    (object Operation "Total"
			quid 	"4A0F1C2B0004"
			result 	"Money"
			uid 	0)))
	    (object Class_Category "Sales"
		is_unit 	TRUE
		is_loaded 	FALSE
		file_name 	"$MODELS\sales.cat"))
	logical_presentations 	(list unit_reference_list
	    (object ClassDiagram "Main"
		items 	(list diagram_item_list
		    (object ClassView "Class" "Logical View::Order" @1
			location 	(320, 240)
			font 	(object Font
			    size 	10
			    face 	"Sans"
			    bold 	FALSE)
			label 	(object ItemLabel
			    Parent_View 	@1
			    location 	(206, 156)
			    label 	"Order")
			width 	300)
		    (object AttachView "" @2
			client 	@1
			supplier 	@3
			Points (list Points (10, 20) (30, 40))))))))
)~";

const Events kModelEvents = {
    "C object|Vellum|[] @2",
    "F version|47|1 @2",
    "F _written|lum test writer 1.0|1 @3",
    "F charSet|0|1 @4",
    "X @4",
    "C object|Design|[Logical View] @7",
    "F is_unit|TRUE|1 @7",
    "F is_loaded|TRUE|1 @8",
    "F quid|4A0F1C2B0001|1 @9",
    "F root_category||0 @10",
    "C object|Class_Category|[Logical View] @11",
    "F quid|4A0F1C2B0002|1 @11",
    "F exportControl|Public|1 @12",
    "F logical_models||0 @13",
    "C list|unit_reference_list|[] @14",
    "C object|Class|[Order] @15",
    "F quid|4A0F1C2B0003|1 @15",
    "F documentation|An order placed by a customer.\\r\\nIt holds one line per product.|1 @20",
    "F operations||0 @20",
    "C list|Operations|[] @21",
    "C object|Operation|[Total] @22",
    "F quid|4A0F1C2B0004|1 @22",
    "F result|Money|1 @23",
    "F uid|0|1 @24",
    "X @24",
    "X @24",
    "X @24",
    "C object|Class_Category|[Sales] @26",
    "F is_unit|TRUE|1 @26",
    "F is_loaded|FALSE|1 @27",
    "F file_name|$MODELS\\\\sales.cat|1 @28",
    "X @28",
    "X @28",
    "F logical_presentations||0 @29",
    "C list|unit_reference_list|[] @30",
    "C object|ClassDiagram|[Main] @31",
    "F items||0 @31",
    "C list|diagram_item_list|[] @32",
    "C object|ClassView|[Class,Logical View::Order,@1] @33",
    "F location||0 @33",
    "C lumElement|(320, 240)|[] @33",
    "F font||0 @34",
    "C object|Font|[] @35",
    "F size|10|1 @35",
    "F face|Sans|1 @36",
    "F bold|FALSE|1 @37",
    "X @37",
    "F label||0 @38",
    "C object|ItemLabel|[] @39",
    "F Parent_View|@1|1 @39",
    "F location||0 @40",
    "C lumElement|(206, 156)|[] @40",
    "F label|Order|1 @41",
    "X @41",
    "F width|300|1 @42",
    "X @42",
    "C object|AttachView|[,@2] @44",
    "F client|@1|1 @44",
    "F supplier|@3|1 @45",
    "F Points||0 @46",
    "C list|Points|[] @46",
    "C lumElement|(10, 20)|[] @46",
    "C lumElement|(30, 40)|[] @46",
    "X @46",
    "X @46",
    "X @46",
    "X @46",
    "X @46",
    "X @46",
    "X @46",
};

TEST_F(VellumReaderTest, ModelFragment) {
    EXPECT_EQ(Read(kModel), kModelEvents);

    std::string crlf;
    for (const char* p = kModel; *p; ++p) {
        if (*p == '\n') crlf += '\r';
        crlf += *p;
    }
    EXPECT_EQ(Read(crlf), kModelEvents);
}

TEST_F(VellumReaderTest, EventsDoNotDependOnHowTheBytesArrive) {
    for (std::size_t chunk : {1u, 2u, 5u, 64u}) {
        EXPECT_EQ(test::ReadEventsTrickled(kModel, chunk, false), kModelEvents) << "chunk " << chunk;
        EXPECT_EQ(test::ReadEventsTrickled(kModel, chunk, true), kModelEvents) << "short reads, chunk " << chunk;
    }
}

}  // namespace
}  // namespace lum
