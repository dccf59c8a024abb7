// Text: wide strings and their code pages, identifiers, and the codecs of
// attribute values (bool, int, float, enumerations, points).
#include <climits>
#include <cstring>
#include <clocale>
#include <sstream>
#include <string>
#include <vector>

#include "support/lum_test.h"

namespace lum {
static void PrintTo(const tLocation& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {
using test::Strings;
using TextCodecs = test::CaptureTest;

TEST(WString, NarrowTextFollowsTheCodePage) {
    test::tCodePage utf8(65001);
    EXPECT_EQ(WString("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), L"Grüße €");
    EXPECT_EQ(WString(static_cast<const char*>(nullptr)), L"");
    WString s;
    s += 'a';
    s += '\xC3';  // a lead byte alone is not a character
    EXPECT_EQ(s, L"a\uFFFD");
    std::string narrow(100000, 'x');  // grows the shared buffer, which still serves short texts
    const WString wide((narrow + "\xC3\xA9").c_str());
    EXPECT_EQ(wide.size(), 100001u);
    EXPECT_EQ(WString("short"), L"short");
    test::tCodePage cp1252(1252);
    s = "\x80";
    EXPECT_EQ(s + WString('\xE9'), L"€é");
}

TEST(WString, FormatOrderMatchTrimSplitAndNumberSyntax) {
    WString s;
    EXPECT_EQ(s.Format(L"%s::%s (%d)", L"Class", WString(L"ops").c_str(), -4), L"Class::ops (-4)");
    EXPECT_EQ(s.Format(L"<%s>", std::wstring(200000, L'q').c_str()).size(), 200002u);
    EXPECT_TRUE(WString(L"ab") < WString(L"abc") && WString(L"B") < WString(L"a") && WString(L"z") < WString(L"\u00e9"));
    EXPECT_TRUE(WString(L"b") > WString(L"a") && WString(L"a") <= WString(L"a") && !(WString(L"a") > WString(L"a")));
    EXPECT_TRUE(WString::Match(L"TRUE", L"true", false));
    EXPECT_FALSE(WString::Match(L"TRUE", L"true", true));
    EXPECT_FALSE(WString::Match(L"true", L"truex", false) || WString::Match(L"a", nullptr, false));
    EXPECT_EQ(WString::Trim(L" \ta b "), L"a b");
    std::vector<WString> out{L"kept"};
    WString::Split(L" a , ,b;, ", out, L",;");
    WString::Split(L" whole ", out, nullptr);
    EXPECT_EQ(out, (std::vector<WString>{L"kept", L"a", L"b", L" whole "}));
    for (const wchar_t* yes : {L"-12", L"007"}) EXPECT_TRUE(WString::IsIntegerNumber(yes)) << yes;
    for (const wchar_t* no : {L"+", L" 12", L"", L"1.0"}) EXPECT_FALSE(WString::IsIntegerNumber(no)) << no;
    for (const wchar_t* yes : {L"3.", L".5", L"-.5", L"+2"}) EXPECT_TRUE(WString::IsRealNumber(yes)) << yes;
    for (const wchar_t* no : {L".", L"+", L"1.2.3", L"1e5", L""}) EXPECT_FALSE(WString::IsRealNumber(no)) << no;
    s = L"MiXed";
    EXPECT_EQ(s.MakeLower(), L"mixed");
    EXPECT_EQ(ToUtf8(L"\u00E9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
    for (const char* valid : {"a\xC3\xA9", "\xE0\xA0\x80", "\xF4\x8F\xBF\xBF", ""}) EXPECT_TRUE(IsValidUtf8(valid, std::strlen(valid)));
    for (const char* invalid : {"\xC0\xAF", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xF5"}) {
        EXPECT_FALSE(IsValidUtf8(invalid, std::strlen(invalid))) << testing::PrintToString(std::string(invalid));
        // After runs of ASCII of every length, taken eight bytes at a time.
        for (std::size_t ascii = 1; ascii < 20; ++ascii) {
            const std::string text = std::string(ascii, 'a') + invalid + std::string(ascii, 'b');
            EXPECT_FALSE(IsValidUtf8(text.data(), text.size())) << ascii;
            EXPECT_TRUE(IsValidUtf8(text.data(), ascii)) << ascii;
        }
    }
}

TEST(ClumIdent, EqualTextsShareOnePooledCopy) {
    EXPECT_EQ(ClumIdent(L"Category").c_str(), ClumIdent(WString(L"Category")).c_str());
    EXPECT_NE(ClumIdent(L"Name"), ClumIdent(L"name"));
    EXPECT_NE(ClumIdent(L"abc"), ClumIdent(L"ab"));
    const wchar_t* qualified = L"Logical View::Geo";  // a slice is the identifier of that slice alone
    EXPECT_EQ(ClumIdent(qualified + 14, 3), ClumIdent(L"Geo"));
    EXPECT_EQ(ClumIdent(qualified, 0), ClumIdent());
    const ClumIdent id(L"quid");
    EXPECT_TRUE(id == L"quid" && id != L"Quid" && id != L"qui");
    EXPECT_FALSE(id == static_cast<const wchar_t*>(nullptr));
    alignas(ClumIdent) unsigned char raw[sizeof(ClumIdent)] = {};  // never constructed
    const auto& null = *reinterpret_cast<const ClumIdent*>(raw);
    EXPECT_TRUE(!null && null.GetLength() == 0 && std::wstring(null.c_str()).empty());
    // Enough texts to grow the pool's table several times and fill pages.
    std::vector<const wchar_t*> pointers;
    for (int i = 0; i < 50000; ++i) pointers.push_back(ClumIdent(WString(L"ident_" + std::to_wstring(i))).c_str());
    for (int i = 0; i < 50000; i += 997) EXPECT_EQ(ClumIdent(WString(L"ident_" + std::to_wstring(i))).c_str(), pointers[i]);
    const std::wstring huge(100000, L'h');  // larger than a page
    EXPECT_EQ(ClumIdent(WString(huge)).c_str(), ClumIdent(WString(huge)).c_str());
}

TEST_F(TextCodecs, BoolAndIntDecodeOrReportTheWholeText) {
    for (const auto& [text, expected] : {std::pair{L"tRuE", true}, {L"FALSE", false}}) {
        bool value = !expected;
        EXPECT_TRUE(DecodeBool(text, value));
        EXPECT_EQ(value, expected);
    }
    const std::pair<const wchar_t*, int> ints[] = {
        {L"  -42  ", -42}, {L"+7", 7}, {L"2147483647", INT_MAX}, {L"-2147483648", INT_MIN},
        {L"2147483648", INT_MIN}, {L"4294967297", 1}, {L"", 0}, {L" + ", 0},
    };
    for (const auto& [text, expected] : ints) {
        int value = 99;
        EXPECT_TRUE(DecodeInt(text, value));
        EXPECT_EQ(value, expected) << text;
    }
    EXPECT_EQ(Messages(), Strings{});
    bool flag = true;
    int number = 99;
    EXPECT_FALSE(DecodeBool(L" true", flag));
    EXPECT_FALSE(DecodeInt(L"4 2", number) || DecodeInt(L"\t5", number) || DecodeInt(L"1.5", number));
    EXPECT_TRUE(flag && number == 99);
    EXPECT_EQ(Messages(), (Strings{L"Cannot decode bool from string ' true'", L"Cannot decode int from string '4 2'",
                                   L"Cannot decode int from string '\t5'", L"Cannot decode int from string '1.5'"}));
    EXPECT_EQ(errors.front().severity, tError::Warning);
    WString out = L"previous";
    EncodeBool(false, out);
    EXPECT_EQ(out, L"false");
    EncodeInt(INT_MIN, out);
    EXPECT_EQ(out, L"-2147483648");
}

TEST_F(TextCodecs, FloatsReadTheLeadingNumberAndWriteSixDecimals) {
    for (const auto& [text, expected] : {std::pair{L"3.5abc", 3.5f}, {L"abc", 0.0f}, {L"1e3", 1000.0f}, {L"7,5", 7.0f}}) {
        float value = 42.0f;
        EXPECT_TRUE(DecodeFloat(text, value));
        EXPECT_EQ(value, expected) << text;
    }
    WString out;
    EncodeFloat(-0.25f, out);
    EXPECT_EQ(out, L"-0.250000");
    EncodeFloat(1e10f, out);
    EXPECT_EQ(out, L"10000000000.000000");
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    EncodeFloat(3.5f, out);
    float value = 0.0f;
    DecodeFloat(L"2.75", value);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(out, L"3.500000");
    EXPECT_EQ(value, 2.75f);
}

// Each enumeration through int, with the literals of the file format written
// out here independently of the library's tables.
struct EnumCase {
    const wchar_t* typeName;
    std::vector<const wchar_t*> literals;
    bool (*decode)(const WString&, int&);
    void (*encode)(int, WString&);
};
template <typename E, bool (*Decode)(const WString&, E&), void (*Encode)(const E&, WString&)>
EnumCase Describe(const wchar_t* typeName, std::vector<const wchar_t*> literals) {
    return {typeName, std::move(literals),
            [](const WString& text, int& value) {
                E e = static_cast<E>(value);
                const bool ok = Decode(text, e);
                value = e;
                return ok;
            },
            [](int value, WString& out) { Encode(static_cast<E>(value), out); }};
}
#define LUM_ENUM(E, ...) Describe<E, Decode##E, Encode##E>(L"" #E, {__VA_ARGS__})

TEST_F(TextCodecs, EveryEnumerationLiteralEncodesExactlyAndDecodesInAnyCase) {
    const EnumCase enums[] = {
        LUM_ENUM(EConcurrency, L"Sequential", L"Guarded", L"Active", L"Synchronous"),
        LUM_ENUM(EContainment, L"By Reference", L"By Value"),
        LUM_ENUM(EExportControl, L"NoVisibility", L"Private", L"Protected", L"Implementation", L"Public"),
        LUM_ENUM(EFrequency, L"Aperiodic", L"Periodic"),
        LUM_ENUM(EIconStyle, L"None", L"Label", L"Decoration", L"Icon"),
        LUM_ENUM(ELanguage, L"none", L"Ada83", L"Ada95", L"Analysis", L"ANSI C++", L"C++", L"COM", L"CORBA",
                 L"Data Modeler", L"DOT", L"Java", L"ObjectSwitch", L"Oracle8", L"VC++", L"Visual Basic",
                 L"Web Modeler", L"XML_DTD"),
        LUM_ENUM(EMessageDir, L"FromClientToSupplier", L"ToClientFromSupplier"),
        LUM_ENUM(EModulePart, L"NotAModulePart", L"Body", L"Generic", L"Main", L"Specification"),
        LUM_ENUM(EModuleType, L"NotAModuleType", L"PackageType", L"SubType", L"TaskType"),
        LUM_ENUM(EParameterDirection, L"in", L"out", L"inout"),
        LUM_ENUM(EPersistence, L"Transient", L"Persistent", L"Static"),
        LUM_ENUM(EScheduling, L"Preemptive", L"NonPreemptive", L"Cyclic", L"Executive", L"Manual"),
        LUM_ENUM(EStateType, L"Normal", L"StartState", L"EndState", L"History", L"HistoryAll"),
        LUM_ENUM(ESynchronization, L"Simple", L"Synchronous", L"Balking", L"Timeout", L"ProcedureCall",
                 L"Asynchronous", L"Return"),
        LUM_ENUM(EActionTimeWhen, L"Entry", L"Exit", L"UponEvent", L"Activity"),
    };
    for (const EnumCase& e : enums) {
        for (int index = 0; index < static_cast<int>(e.literals.size()); ++index) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(e.typeName) + L" " + e.literals[index]));
            WString out = L"previous";
            e.encode(index, out);
            EXPECT_EQ(std::wstring(out), e.literals[index]);
            out.MakeUpper();
            int value = index == 0 ? 1 : 0;  // a decode that stores nothing shows
            EXPECT_TRUE(e.decode(out, value));
            EXPECT_EQ(value, index);
        }
        int value = 1;
        EXPECT_FALSE(e.decode(L" in", value));
        EXPECT_EQ(value, 1);
        EXPECT_EQ(Take(), Strings{L"Cannot decode type '" + std::wstring(e.typeName) + L"' from string ' in'"});
    }
    WString kept = L"kept";
    EncodeELanguage(static_cast<ELanguage>(17), kept);
    EXPECT_EQ(kept, L"kept");
}

TEST_F(TextCodecs, LocationsAndPointLists) {
    const std::pair<const wchar_t*, tLocation> good[] = {
        {L"(10 , -20)", {10, -20}}, {L"-3,+4", {-3, 4}}, {L"( 1 0 , 2 )", {10, 2}}, {L"(5)", {5, 0}},
        {L"(,7)", {0, 7}}, {L"(- 8, 1)", {-8, 1}},
    };
    for (const auto& [text, expected] : good) EXPECT_EQ(tLocation::Decode(text), expected) << text;
    EXPECT_EQ(Messages(), Strings{});
    for (const wchar_t* bad : {L"(1,2,3)", L"(a, 2)", L"(1-2, 3)", L"(1,\t2)", L""}) {
        EXPECT_EQ(tLocation::Decode(bad), tLocation());
    }
    EXPECT_EQ(Take(), (Strings{L"Cannot decode location from string (1,2,3)", L"Cannot decode location from string (a, 2)",
                               L"Cannot decode location from string (1-2, 3)", L"Cannot decode location from string (1,\t2)",
                               L"Cannot decode location from an empty string!"}));
    WString out = L"previous";
    tLocation::Encode(tLocation(INT_MIN, INT_MAX), out);
    EXPECT_EQ(out, L"(-2147483648 , 2147483647)");
    EXPECT_EQ(tLocation::Decode(out), tLocation(INT_MIN, INT_MAX));
    EXPECT_EQ(tLocation::Decode(L"(99999999999 , -99999999999)"), tLocation(INT_MAX, INT_MIN));  // saturated
    EXPECT_TRUE(tLocation(1, 5) < tLocation(2, 0) && tLocation(1, 5) > tLocation(1, 4) && tLocation(-1, 9) < tLocation(0, -9));
    EXPECT_EQ(tPointVector::Decode(L" (1,2),\r\n(x,3)(5,6)(7,8"), tPointVector({{1, 2}, {0, 0}, {5, 6}}));
    EXPECT_EQ(Take(), Strings{L"Cannot decode location from string (x,3)"});
    for (const wchar_t* bad : {L")(", L"((1,2))"}) EXPECT_TRUE(tPointVector::Decode(bad).empty());
    EXPECT_EQ(Take(), (Strings{L"Cannot decode point vector from string )(", L"Cannot decode point vector from string ((1,2))"}));
    out = L"kept";
    tPointVector::Encode(tPointVector{{1, 2}, {3, -4}}, out);
    EXPECT_EQ(out, L"kept(1 , 2)(3 , -4)");
}

TEST(Markup, OneEscaperForContentAndAttributes) {
    // Wide and UTF-8 texts give the same markup; what XML forbids is left out.
    const struct {
        std::wstring wide;
        std::string utf8;
        MarkupPlace place;
        std::string expected;
    } rows[] = {
        {L"a<b>&\"'\u00E9", "a<b>&\"'\xC3\xA9", MarkupPlace::Content, "a&lt;b&gt;&amp;&quot;&#39;\xC3\xA9"},
        {L"x\ty\nz\r\x01", "x\ty\nz\r\x01", MarkupPlace::Content, "x\ty\nz&#13;"},
        {L"x\ty\nz\r\x01", "x\ty\nz\r\x01", MarkupPlace::Attribute, "x&#9;y&#10;z&#13;"},
        {std::wstring(L"\uFFFE\uFFFF") + wchar_t(0xD83D) + wchar_t(0xDE00), "\xEF\xBF\xBE\xEF\xBF\xBF\xF0\x9F\x98\x80",
         MarkupPlace::Content, "\xF0\x9F\x98\x80"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Markup(row.wide, row.place), row.expected) << row.utf8;
        EXPECT_EQ(Markup(row.utf8, row.place), row.expected) << row.utf8;
    }
    // A lone surrogate and a value beyond Unicode are left out; a broken UTF-8 sequence is U+FFFD.
    EXPECT_EQ(Markup(std::wstring{L'a', wchar_t(0xDC00), static_cast<wchar_t>(0x110000)}), "a");
    EXPECT_EQ(Markup(std::string_view("a\xC3")), "a\xEF\xBF\xBD");
}

TEST(JsonWriter, EscapesConvertsAndGathersEveryKindOfText) {
    // Wide and UTF-8 texts give the same literal: escapes, code points
    // beyond the basic plane from a surrogate pair, U+FFFD for a lone
    // surrogate and for a value beyond Unicode.
    const std::wstring wide = std::wstring(L"q\"b\\n\nr\rt\t\x01\x7F\u00E9") + wchar_t(0xD83D) + wchar_t(0xDE00) +
                              wchar_t(0xDC00) + static_cast<wchar_t>(0x110000);
    const std::string utf8 = "q\\\"b\\\\n\\nr\\rt\\t\\u0001\x7F\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD";
    std::string quoted;
    AppendJsonQuoted(quoted, wide);
    EXPECT_EQ(quoted, "\"" + utf8 + "\"");
    std::string narrowQuoted = "kept";
    AppendJsonQuoted(narrowQuoted, "a\"\x1F\xC3\xA9");
    EXPECT_EQ(narrowQuoted, "kept\"a\\\"\\u001f\xC3\xA9\"");

    // A document larger than what the writer gathers before it hands text
    // to the stream, with texts longer than that, is the same written to a
    // stream and into a text; keys and values quoted ahead go in as given.
    const std::wstring longText(100000, L'\x02');
    const auto write = [&](JsonWriter& json) {
        json.BeginObject();
        json.QuotedKey("\"k\"");
        json.QuotedString("\"v\"");
        json.Key(L"long");
        json.String(longText);
        json.Key("list");
        json.BeginArray();
        for (int i = 0; i < 20000; ++i) json.Number(static_cast<long long>(i) * 1000003);
        json.EndArray();
        json.EndObject();
    };
    std::ostringstream streamed;
    {
        JsonWriter json(streamed, true);
        write(json);
    }
    std::string gathered = "kept";
    {
        JsonWriter json(gathered, true, 0);
        write(json);
    }
    EXPECT_EQ("kept" + streamed.str(), gathered);
    EXPECT_EQ(streamed.str().substr(0, 29), "{\"k\":\"v\",\"long\":\"\\u0002\\u0002");
    EXPECT_NE(streamed.str().find(",19999059997]}\n"), std::string::npos);
}

}  // namespace
}  // namespace lum
