// Link decoding: how the text value of a containment feature becomes a
// primitive object, which decoder is chosen (by exact feature first, then by
// target class), and what happens to text that does not fit the link.

#include "model/model_fixture.h"

#include <memory>

namespace lum::test {
namespace {

// Feature indices past the catalogue, for the links below.
constexpr unsigned kIntsIndex = 900;
constexpr unsigned kPrimitivesIndex = 901;
constexpr unsigned kAnythingIndex = 902;

// No catalogued link targets VellumInt or VellumPrimitive, and every
// catalogued link to the root has a decoder of its own; this holder has
// such links, so that the choice by target class can be seen in full.
class ProbeHolder : public ClumVellumEntity {
public:
    TlumLink<ProbeHolder, ClumVellumInt, kIntsIndex> ints;
    TlumLink<ProbeHolder, ClumVellumPrimitive, kPrimitivesIndex> primitives;
    TlumLink<ProbeHolder, ClumVellumEntity, kAnythingIndex> anything;
};

}  // namespace
}  // namespace lum::test

namespace lum {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
template <> struct tFeatureOffset<test::ProbeHolder, test::kIntsIndex> {
    static constexpr std::size_t value = offsetof(test::ProbeHolder, ints);
};
template <> struct tFeatureOffset<test::ProbeHolder, test::kPrimitivesIndex> {
    static constexpr std::size_t value = offsetof(test::ProbeHolder, primitives);
};
template <> struct tFeatureOffset<test::ProbeHolder, test::kAnythingIndex> {
    static constexpr std::size_t value = offsetof(test::ProbeHolder, anything);
};
#pragma GCC diagnostic pop
}  // namespace lum

namespace lum::test {
namespace {

class LinkDecoding : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        static ClumMetaClass probeClass(L"Probe", 200, false);
        Register(kIntsIndex, L"ints", ClumVellumInt::m_pMetaClass, probeClass);
        Register(kPrimitivesIndex, L"primitives", ClumVellumPrimitive::m_pMetaClass, probeClass);
        Register(kAnythingIndex, L"anything", ClumVellumEntity::m_pMetaClass, probeClass);
    }

    // The provider owns the feature and frees it with the rest of the metamodel.
    static void Register(unsigned index, const wchar_t* name, ClumMetaClass* target, const ClumMetaClass& owner)
    {
        auto* feature = new ClumMetaFeature(index, name, ClumMetaFeature::eLink, target);
        feature->m_pOwner = &owner;
        ClumMetaProvider::GetInstance().RegisterMetaFeature(feature, index);
    }

    // The keyword of the class of the link's i-th object, or "" if none.
    static std::wstring ClassAt(const IlumLink& link, int i)
    {
        const ClumVellumEntity* object = i < link.GetSize() ? link.GetAt(i) : nullptr;
        return object ? Text(object->GetMetaClass().GetName()) : L"";
    }
};

TEST_F(LinkDecoding, InitialValueClassFollowsTheText)
{
    ClumClassAttribute attribute;
    for (const wchar_t* text : {L"TRUE", L"True", L"false", L"42", L"-7", L"3.5", L"abc", L"4 2"})
        attribute.initv.Decode(text);
    ExpectNoMessage();
    ASSERT_EQ(attribute.initv.GetSize(), 8);
    const std::vector<std::wstring> expected = {L"VellumBool",  L"VellumBool", L"VellumBool",  L"VellumInt",
                                                L"VellumInt",   L"VellumFloat", L"VellumIdent", L"VellumIdent"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(ClassAt(attribute.initv, i), expected[i]) << i;

    auto& initv = attribute.initv;
    EXPECT_TRUE(static_cast<ClumVellumBool*>(initv.Get(0))->value.Get());
    EXPECT_TRUE(static_cast<ClumVellumBool*>(initv.Get(1))->value.Get());
    EXPECT_FALSE(static_cast<ClumVellumBool*>(initv.Get(2))->value.Get());
    EXPECT_EQ(static_cast<ClumVellumInt*>(initv.Get(3))->value.Get(), 42);
    EXPECT_EQ(static_cast<ClumVellumInt*>(initv.Get(4))->value.Get(), -7);
    EXPECT_EQ(static_cast<ClumVellumFloat*>(initv.Get(5))->value.Get(), 3.5f);
    EXPECT_EQ(Text(static_cast<ClumVellumIdent*>(initv.Get(6))->value.Get()), L"abc");
    EXPECT_EQ(Text(static_cast<ClumVellumIdent*>(initv.Get(7))->value.Get()), L"4 2");
    EXPECT_EQ(initv.GetAt(0)->Owner(), &attribute);
}

TEST_F(LinkDecoding, FeatureDecodersComeBeforeTheTargetClass)
{
    // Stereotypes and property values are identifiers, whatever they look like.
    ClumClass cls;
    cls.stereotype.Decode(L"true");
    ClumAttribute property;
    property.value.Decode(L"42");
    ExpectNoMessage();
    EXPECT_EQ(ClassAt(cls.stereotype, 0), L"VellumIdent");
    EXPECT_EQ(Text(static_cast<ClumVellumIdent*>(cls.stereotype.Get(0))->value.Get()), L"true");
    EXPECT_EQ(ClassAt(property.value, 0), L"VellumIdent");

    std::unique_ptr<ClumVellumEntity> made(
        ClumLinkDecoder::DecodeLink(L"interface", *cls.stereotype.GetMetaFeature()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Owner(), nullptr);
    EXPECT_EQ(Text(made->GetMetaClass().GetName()), L"VellumIdent");
}

TEST_F(LinkDecoding, TargetClassChoosesStringBeforePrimitive)
{
    // A string link keeps numbers as text.
    ClumCompartment compartment;
    compartment.compartmentItems.Decode(L"42");
    compartment.compartmentItems.Decode(L"a \"quoted\" \\ item");
    ExpectNoMessage();
    ASSERT_EQ(compartment.compartmentItems.GetSize(), 2);
    EXPECT_EQ(Text(compartment.compartmentItems.Get(0)->value.Get()), L"42");
    EXPECT_EQ(Text(compartment.compartmentItems.Get(1)->value.Get()), L"a \"quoted\" \\ item");

    // A primitive link reads what the text looks like, and a word as a string.
    ProbeHolder holder;
    holder.primitives.Decode(L"abc");
    holder.primitives.Decode(L"FALSE");
    holder.primitives.Decode(L"+12");
    holder.primitives.Decode(L".5");
    ExpectNoMessage();
    EXPECT_EQ(ClassAt(holder.primitives, 0), L"VellumString");
    EXPECT_EQ(ClassAt(holder.primitives, 1), L"VellumBool");
    EXPECT_EQ(ClassAt(holder.primitives, 2), L"VellumInt");
    EXPECT_EQ(ClassAt(holder.primitives, 3), L"VellumFloat");
    EXPECT_EQ(static_cast<ClumVellumInt*>(holder.primitives.Get(2))->value.Get(), 12);
    EXPECT_EQ(holder.primitives.GetAt(0)->Owner(), &holder);
}

TEST_F(LinkDecoding, ObjectOfTheWrongClassIsDroppedWithAWarning)
{
    ProbeHolder holder;
    holder.ints.Decode(L"17");
    ExpectNoMessage();
    holder.ints.Decode(L"abc");
    ExpectOnlyMessage(L"Error while decoding feature 'Probe::ints'. String 'abc' was decoded as 'VellumString'. "
                      L"This type cannot be converted to 'VellumInt'.");
    holder.ints.Decode(L"true");
    ExpectOnlyMessage(L"Error while decoding feature 'Probe::ints'. String 'true' was decoded as 'VellumBool'. "
                      L"This type cannot be converted to 'VellumInt'.");
    ASSERT_EQ(holder.ints.GetSize(), 1);
    EXPECT_EQ(holder.ints.Get(0)->value.Get(), 17);
}

TEST_F(LinkDecoding, LinksWithoutADecoderReportTheText)
{
    ProbeHolder holder;
    holder.anything.Decode(L"abc");
    ExpectOnlyMessage(L"Cannot decode value 'abc' for link 'Probe::anything'");
    EXPECT_TRUE(holder.anything.IsEmpty());
    EXPECT_EQ(ClumLinkDecoder::DecodeLink(L"abc", *holder.anything.GetMetaFeature()), nullptr);

    ClumVellumFile file;
    file.fonts.Decode(L"12");
    ExpectOnlyMessage(L"Cannot decode value '12' for link 'VellumFile::fonts'");
    EXPECT_TRUE(file.fonts.IsEmpty());
}

TEST_F(LinkDecoding, EmptyTextChangesNoKindOfFeature)
{
    ProbeHolder holder;
    ClumVellumFile file;
    ClumParameter parameter;
    ClumCompartment compartment;
    ClumOperation operation;
    holder.ints.Decode(L"");
    holder.anything.Decode(L"");
    file.fonts.Decode(L"");
    parameter.initv.Decode(L"");
    parameter.stereotype.Decode(L"");
    parameter.type.Decode(L"");
    compartment.compartmentItems.Decode(L"");
    operation.exceptions.Decode(L"");
    compartment.location.Decode(L"");
    ExpectNoMessage();
    EXPECT_TRUE(holder.ints.IsEmpty() && holder.anything.IsEmpty() && file.fonts.IsEmpty());
    EXPECT_TRUE(parameter.initv.IsEmpty() && parameter.stereotype.IsEmpty() && parameter.type.IsEmpty());
    EXPECT_TRUE(compartment.compartmentItems.IsEmpty() && operation.exceptions.IsEmpty());
    EXPECT_TRUE(compartment.location.IsEmpty());
}

}  // namespace
}  // namespace lum::test
