// The value type of every attribute, told apart by behaviour alone: each
// attribute member of a fresh object is encoded as it is, then given a probe
// text that only one value type reads back in one particular way. An
// attribute whose type was transcribed wrongly (an enumeration held as an
// int, a bool as an int, an identifier as a text) answers another probe.

#include <map>

#include "meta/meta_fixture.h"

namespace lum::test {
namespace {

struct tTypeProbe {
    std::string type;
    WString defaultText;  // a default-constructed value, encoded
    WString input;        // decoded into a fresh member...
    WString output;       // ...encodes as this, without a message
};

// The default is the first literal; the probe is the second literal in
// capitals (decoding ignores case, encoding writes the literal as tabled).
template <class E, void (*Encode)(const E&, WString&)>
tTypeProbe EnumProbe(const char* type)
{
    WString first, second;
    Encode(static_cast<E>(0), first);
    Encode(static_cast<E>(1), second);
    WString shouted = second;
    shouted.MakeUpper();
    return {type, first, shouted, second};
}

std::vector<tTypeProbe> Probes()
{
    const wchar_t withNul[] = {L'a', L'\0', L'b'};
    return {
        {"bool", L"false", L"TRUE", L"true"},
        {"int", L"0", L"  -42  ", L"-42"},
        {"float", L"0.000000", L"3.5abc", L"3.500000"},
        // A text keeps everything; an identifier ends at the first NUL.
        {"WString", L"", WString(withNul, 3), WString(withNul, 3)},
        {"ClumIdent", L"", WString(withNul, 3), L"a"},
        {"tLocation", L"(0 , 0)", L"(10,-20)", L"(10 , -20)"},
        {"tPointVector", L"", L"(1,2) (3,4)", L"(1 , 2)(3 , 4)"},
        EnumProbe<EConcurrency, EncodeEConcurrency>("EConcurrency"),
        EnumProbe<EContainment, EncodeEContainment>("EContainment"),
        EnumProbe<EExportControl, EncodeEExportControl>("EExportControl"),
        EnumProbe<EFrequency, EncodeEFrequency>("EFrequency"),
        EnumProbe<EIconStyle, EncodeEIconStyle>("EIconStyle"),
        EnumProbe<ELanguage, EncodeELanguage>("ELanguage"),
        EnumProbe<EMessageDir, EncodeEMessageDir>("EMessageDir"),
        EnumProbe<EModulePart, EncodeEModulePart>("EModulePart"),
        EnumProbe<EModuleType, EncodeEModuleType>("EModuleType"),
        EnumProbe<EParameterDirection, EncodeEParameterDirection>("EParameterDirection"),
        EnumProbe<EPersistence, EncodeEPersistence>("EPersistence"),
        EnumProbe<EScheduling, EncodeEScheduling>("EScheduling"),
        EnumProbe<EStateType, EncodeEStateType>("EStateType"),
        EnumProbe<ESynchronization, EncodeESynchronization>("ESynchronization"),
        EnumProbe<EActionTimeWhen, EncodeEActionTimeWhen>("EActionTimeWhen"),
    };
}

class AttributeTypes : public MetamodelTest {
protected:
    // The text of the attribute on a fresh carrier, after decoding `input`
    // when one is given.
    WString EncodedOnFreshObject(const ClumMetaFeature& feature, const WString* input)
    {
        auto object = MakeObject(*ConcreteCarrierOf(feature));
        IlumAttribute* attribute = feature.m_pfnGetFeature(object.get())->GetAttribute();
        if (input != nullptr) attribute->Decode(*input);
        WString text = L"(untouched)";
        attribute->Encode(text);
        return text;
    }

    // The one probe this attribute answers, or "" (with a failure) if it
    // answers none or several.
    std::string TypeOf(const ClumMetaFeature& feature, const std::vector<tTypeProbe>& probes)
    {
        const WString initial = EncodedOnFreshObject(feature, nullptr);
        std::string found;
        for (const tTypeProbe& probe : probes) {
            if (initial != probe.defaultText) continue;
            errors.clear();
            if (EncodedOnFreshObject(feature, &probe.input) != probe.output) continue;
            EXPECT_TRUE(errors.empty()) << Describe(feature) << " as " << probe.type;
            EXPECT_TRUE(found.empty()) << Describe(feature) << " is both " << found << " and " << probe.type;
            found = probe.type;
        }
        EXPECT_FALSE(found.empty()) << Describe(feature) << " answers no probe";
        return found;
    }
};

TEST_F(AttributeTypes, CensusOfValueTypes)
{
    const auto probes = Probes();
    std::map<std::string, int> census;
    for (const ClumMetaFeature* feature : AllFeatures()) {
        if (feature->GetKind() != ClumMetaFeature::eAttribute) continue;
        ASSERT_NE(ConcreteCarrierOf(*feature), nullptr) << Describe(*feature);
        ++census[TypeOf(*feature, probes)];
    }
    const std::map<std::string, int> expected = {
        {"bool", 52},         {"int", 44},          {"WString", 32},       {"ClumIdent", 20},
        {"float", 10},        {"tLocation", 5},     {"tPointVector", 1},   {"EExportControl", 7},
        {"EPersistence", 3},  {"EContainment", 2},  {"EIconStyle", 2},     {"EConcurrency", 2},
        {"ELanguage", 2},     {"EStateType", 2},    {"EActionTimeWhen", 1}, {"EFrequency", 1},
        {"ESynchronization", 1}, {"EMessageDir", 1}, {"EScheduling", 1},    {"EModuleType", 1},
        {"EModulePart", 1},   {"EParameterDirection", 1},
    };
    EXPECT_EQ(census, expected);
}

TEST_F(AttributeTypes, SampleAttributesHaveTheirTypes)
{
    const auto probes = Probes();
    const std::pair<unsigned, const char*> samples[] = {
        {0, "ClumIdent"},   // Attribute::tool
        {4, "WString"},     // VellumObject::documentation
        {7, "int"},         // Font::size
        {10, "bool"},       // Font::bold
        {27, "EActionTimeWhen"},
        {30, "ClumIdent"},  // QuidObject::quid
        {31, "float"},      // defaults::rightMargin
        {178, "EConcurrency"},
        {181, "EPersistence"},
        {189, "ELanguage"},
        {190, "bool"},      // Class::nonclass
        {217, "EConcurrency"},
        {218, "EExportControl"},  // Operation::opExportControl
        {278, "EStateType"},
    };
    for (const auto& [index, type] : samples)
        EXPECT_EQ(TypeOf(*Provider().GetMetaFeature(index), probes), type) << "feature " << index;
}

}  // namespace
}  // namespace lum::test
