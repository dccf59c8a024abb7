// Enumeration codecs.

#include "lum/text/enums.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "error_capture.h"

namespace lum {
namespace {

using EnumsTest = test::ErrorCaptureTest;

// One enumeration's codecs seen through int, with the literals the file
// format defines for it, in value order (written out independently of the
// library's own tables).
struct EnumCase {
    const wchar_t* typeName;
    std::vector<const wchar_t*> literals;
    bool (*decode)(const WString&, int&);
    void (*encode)(int, WString&);
};

template <typename E, bool (*Decode)(const WString&, E&), void (*Encode)(const E&, WString&)>
EnumCase Describe(const wchar_t* typeName, std::vector<const wchar_t*> literals)
{
    return {typeName, std::move(literals),
            [](const WString& text, int& value) {
                E e = static_cast<E>(value);
                const bool ok = Decode(text, e);
                value = e;
                return ok;
            },
            [](int value, WString& out) { Encode(static_cast<E>(value), out); }};
}

const std::vector<EnumCase>& AllEnums()
{
    static const std::vector<EnumCase> all = {
        Describe<EConcurrency, DecodeEConcurrency, EncodeEConcurrency>(
            L"EConcurrency", {L"Sequential", L"Guarded", L"Active", L"Synchronous"}),
        Describe<EContainment, DecodeEContainment, EncodeEContainment>(L"EContainment",
                                                                       {L"By Reference", L"By Value"}),
        Describe<EExportControl, DecodeEExportControl, EncodeEExportControl>(
            L"EExportControl", {L"NoVisibility", L"Private", L"Protected", L"Implementation", L"Public"}),
        Describe<EFrequency, DecodeEFrequency, EncodeEFrequency>(L"EFrequency", {L"Aperiodic", L"Periodic"}),
        Describe<EIconStyle, DecodeEIconStyle, EncodeEIconStyle>(L"EIconStyle",
                                                                 {L"None", L"Label", L"Decoration", L"Icon"}),
        Describe<ELanguage, DecodeELanguage, EncodeELanguage>(
            L"ELanguage", {L"none", L"Ada83", L"Ada95", L"Analysis", L"ANSI C++", L"C++", L"COM", L"CORBA",
                           L"Data Modeler", L"DOT", L"Java", L"ObjectSwitch", L"Oracle8", L"VC++", L"Visual Basic",
                           L"Web Modeler", L"XML_DTD"}),
        Describe<EMessageDir, DecodeEMessageDir, EncodeEMessageDir>(
            L"EMessageDir", {L"FromClientToSupplier", L"ToClientFromSupplier"}),
        Describe<EModulePart, DecodeEModulePart, EncodeEModulePart>(
            L"EModulePart", {L"NotAModulePart", L"Body", L"Generic", L"Main", L"Specification"}),
        Describe<EModuleType, DecodeEModuleType, EncodeEModuleType>(
            L"EModuleType", {L"NotAModuleType", L"PackageType", L"SubType", L"TaskType"}),
        Describe<EParameterDirection, DecodeEParameterDirection, EncodeEParameterDirection>(
            L"EParameterDirection", {L"in", L"out", L"inout"}),
        Describe<EPersistence, DecodeEPersistence, EncodeEPersistence>(L"EPersistence",
                                                                       {L"Transient", L"Persistent", L"Static"}),
        Describe<EScheduling, DecodeEScheduling, EncodeEScheduling>(
            L"EScheduling", {L"Preemptive", L"NonPreemptive", L"Cyclic", L"Executive", L"Manual"}),
        Describe<EStateType, DecodeEStateType, EncodeEStateType>(
            L"EStateType", {L"Normal", L"StartState", L"EndState", L"History", L"HistoryAll"}),
        Describe<ESynchronization, DecodeESynchronization, EncodeESynchronization>(
            L"ESynchronization",
            {L"Simple", L"Synchronous", L"Balking", L"Timeout", L"ProcedureCall", L"Asynchronous", L"Return"}),
        Describe<EActionTimeWhen, DecodeEActionTimeWhen, EncodeEActionTimeWhen>(
            L"EActionTimeWhen", {L"Entry", L"Exit", L"UponEvent", L"Activity"}),
    };
    return all;
}

TEST_F(EnumsTest, EveryLiteralEncodesExactlyAndDecodesInAnyCase)
{
    ASSERT_EQ(AllEnums().size(), 15u);
    for (const EnumCase& e : AllEnums()) {
        for (int index = 0; index < static_cast<int>(e.literals.size()); ++index) {
            const std::wstring literal = e.literals[index];
            SCOPED_TRACE(testing::PrintToString(std::wstring(e.typeName) + L" " + literal));

            WString out = L"previous";
            e.encode(index, out);
            EXPECT_EQ(std::wstring(out), literal);

            // Start from another value so that a decode that stores nothing shows.
            int value = index == 0 ? 1 : 0;
            EXPECT_TRUE(e.decode(literal, value));
            EXPECT_EQ(value, index);

            WString upper = literal;
            upper.MakeUpper();
            value = index == 0 ? 1 : 0;
            EXPECT_TRUE(e.decode(upper, value));
            EXPECT_EQ(value, index);
        }
    }
    ExpectNoMessage();
}

TEST_F(EnumsTest, UnknownTextNamesTheTypeAndLeavesValue)
{
    for (const EnumCase& e : AllEnums()) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(e.typeName)));
        errors.clear();
        int value = 1;
        EXPECT_FALSE(e.decode(L"Publik", value));
        EXPECT_EQ(value, 1);
        ExpectOnlyMessage(L"Cannot decode type '" + std::wstring(e.typeName) + L"' from string 'Publik'");
    }
}

TEST_F(EnumsTest, DecodeComparesWholeTextWithoutTrimming)
{
    EContainment containment = Containment_ByReference;
    EXPECT_TRUE(DecodeEContainment(L"by value", containment));
    EXPECT_EQ(containment, Containment_ByValue);
    ExpectNoMessage();

    EParameterDirection direction = ParameterDirection_out;
    EXPECT_FALSE(DecodeEParameterDirection(L" in", direction));
    EXPECT_EQ(direction, ParameterDirection_out);
    ExpectOnlyMessage(L"Cannot decode type 'EParameterDirection' from string ' in'");
}

TEST_F(EnumsTest, ValueOutsideTableLeavesOutputUntouched)
{
    WString out = L"kept";
    EncodeELanguage(static_cast<ELanguage>(17), out);
    EXPECT_EQ(std::wstring(out), L"kept");
    EncodeEParameterDirection(ParameterDirection_inout, out);
    EXPECT_EQ(std::wstring(out), L"inout");
}

}  // namespace
}  // namespace lum
