// Attribute features: emptiness per storage kind, decoding from file text
// (with the codecs' messages), encoding back, and the generic interface.

#include "model/model_fixture.h"

namespace lum::test {
namespace {

using Attributes = ModelTest;

TEST_F(Attributes, EmptinessFollowsTheStorageKind)
{
    ClumFont font;
    EXPECT_TRUE(font.size.IsEmpty());
    font.size.Set(0);
    EXPECT_TRUE(font.size.IsEmpty());
    font.size.Set(5);
    EXPECT_FALSE(font.size.IsEmpty());
    EXPECT_EQ(font.size.Get(), 5);

    ClumVellumFloat number;
    EXPECT_FALSE(number.value.IsEmpty());
    EXPECT_EQ(number.value.Get(), 0.0f);

    ClumClass cls;
    EXPECT_TRUE(cls.space.IsEmpty());
    cls.space.Set(L"");
    cls.space.Decode(L"");
    EXPECT_TRUE(cls.space.IsEmpty());
    EXPECT_EQ(Text(cls.space.Get()), L"");
    cls.space.Set(L"heap");
    EXPECT_FALSE(cls.space.IsEmpty());
    EXPECT_EQ(Text(cls.space.Get()), L"heap");

    EXPECT_TRUE(cls.name.IsEmpty());
    cls.name.Set(ClumIdent(L"Shape"));
    EXPECT_FALSE(cls.name.IsEmpty());
    EXPECT_TRUE(cls.exportControl.IsEmpty());
    cls.exportControl.Set(EExportControl(4));
    EXPECT_FALSE(cls.exportControl.IsEmpty());
    ExpectNoMessage();
}

TEST_F(Attributes, UndecodableTextReportsAndStoresZero)
{
    ClumFont font;
    font.size.Set(5);
    font.size.Decode(L"x1");
    ExpectOnlyMessage(L"Cannot decode int from string 'x1'");
    EXPECT_EQ(font.size.Get(), 0);
    EXPECT_TRUE(font.size.IsEmpty());

    font.size.Set(5);
    font.size.Decode(L"");
    ExpectNoMessage();
    EXPECT_EQ(font.size.Get(), 5);

    font.bold.Set(true);
    font.bold.Decode(L"yes");
    ExpectOnlyMessage(L"Cannot decode bool from string 'yes'");
    EXPECT_FALSE(font.bold.Get());

    ClumClass cls;
    cls.exportControl.Decode(L"Public");
    cls.exportControl.Decode(L"Publik");
    ExpectOnlyMessage(L"Cannot decode type 'EExportControl' from string 'Publik'");
    EXPECT_EQ(cls.exportControl.Get(), EExportControl(0));

    // A failed point decode into an unset location leaves it without value.
    ClumCompartment compartment;
    compartment.location.Decode(L"(a, 2)");
    ExpectOnlyMessage(L"Cannot decode location from string (a, 2)");
    EXPECT_TRUE(compartment.location.IsEmpty());
}

TEST_F(Attributes, TextsDecodeAndEncodeThroughTheirCodecs)
{
    WString out;
    ClumFont font;
    font.size.Decode(L"  -42  ");
    EXPECT_EQ(font.size.Get(), -42);
    font.size.Encode(out);
    EXPECT_EQ(Text(out), L"-42");
    font.bold.Decode(L"TRUE");
    EXPECT_TRUE(font.bold.Get());
    font.bold.Encode(out);
    EXPECT_EQ(Text(out), L"true");

    ClumVellumFloat number;
    number.value.Decode(L"3.5abc");
    EXPECT_EQ(number.value.Get(), 3.5f);
    number.value.Encode(out);
    EXPECT_EQ(Text(out), L"3.500000");

    // Enumerations read without regard to case and write their literal.
    ClumClass cls;
    cls.exportControl.Decode(L"pUbLiC");
    EXPECT_EQ(cls.exportControl.Get(), EExportControl(4));
    cls.exportControl.Encode(out);
    EXPECT_EQ(Text(out), L"Public");
    cls.language.Decode(L"ansi c++");
    cls.language.Encode(out);
    EXPECT_EQ(Text(out), L"ANSI C++");

    // A string is kept exactly as read: no quotes stripped, no escapes.
    const WString raw = L"\"C:\\models\\a \\\"b\\\"\" and 'c'";
    cls.space.Decode(raw);
    EXPECT_EQ(Text(cls.space.Get()), Text(raw));
    cls.space.Encode(out);
    EXPECT_EQ(Text(out), Text(raw));

    // An unset string encodes as the empty text.
    ClumClass fresh;
    out = L"previous";
    fresh.space.Encode(out);
    EXPECT_EQ(Text(out), L"");

    // An identifier ends at the first NUL.
    cls.name.Decode(WString(L"Shape\0Tail", 10));
    EXPECT_TRUE(cls.name.Get() == ClumIdent(L"Shape"));

    ClumCompartment compartment;
    compartment.location.Decode(L"(120, -45)");
    EXPECT_TRUE(compartment.location.Get() == tLocation(120, -45));
    compartment.location.Encode(out);
    EXPECT_EQ(Text(out), L"(120 , -45)");

    ClumAttachView line;
    line.vertices.Decode(L"(1,2) (3,4)");
    ASSERT_EQ(line.vertices.Get().size(), 2u);
    EXPECT_TRUE(line.vertices.Get()[1] == tLocation(3, 4));
    line.vertices.Encode(out);
    EXPECT_EQ(Text(out), L"(1 , 2)(3 , 4)");
    ExpectNoMessage();
}

TEST_F(Attributes, GetAsIdentInternsTheEncodedText)
{
    ClumFont font;
    font.size.Set(42);
    ClumIdent ident;
    font.size.GetAsIdent(ident);
    EXPECT_TRUE(ident == ClumIdent(L"42"));

    ClumClass cls;
    cls.concurrency.Decode(L"guarded");
    cls.concurrency.GetAsIdent(ident);
    EXPECT_TRUE(ident == ClumIdent(L"Guarded"));

    cls.name.Set(ClumIdent(L"Shape"));
    cls.name.GetAsIdent(ident);
    EXPECT_TRUE(ident == ClumIdent(L"Shape"));

    ClumClass fresh;
    fresh.space.GetAsIdent(ident);
    EXPECT_TRUE(ident == ClumIdent());
    ExpectNoMessage();
}

TEST_F(Attributes, GenericInterfaceOfEachFeatureKind)
{
    ClumClass cls;
    IlumFeature& quid = cls.quid;
    EXPECT_EQ(quid.GetAttribute(), &cls.quid);
    EXPECT_EQ(quid.GetLink(), nullptr);
    EXPECT_EQ(quid.GetReference(), nullptr);
    EXPECT_EQ(quid.GetOwner(), &cls);
    EXPECT_EQ(static_cast<const IlumFeature&>(quid).GetOwner(), &cls);
    EXPECT_EQ(Text(quid.GetMetaFeature()->GetName()), L"quid");
    EXPECT_EQ(quid.GetMetaFeatureType(), nullptr);
    ExpectOnlyMessage(L"GetMetaFeatureType() was called for attribute quid. "
                      L"This method is not available for attributes. .");

    IlumFeature& operations = cls.operations;
    EXPECT_EQ(operations.GetLink(), &cls.operations);
    EXPECT_EQ(operations.GetAttribute(), nullptr);
    EXPECT_EQ(operations.GetMetaFeatureType(), &ClumOperation::StaticGetMetaClass());

    IlumFeature& module = cls.module;
    EXPECT_EQ(module.GetReference(), &cls.module);
    EXPECT_EQ(module.GetLink(), nullptr);
    EXPECT_EQ(module.GetMetaFeatureType(), &Clummodule::StaticGetMetaClass());

    ClumParameter parameter;
    EXPECT_EQ(parameter.type.GetMetaFeatureType(), &ClumVellumEntity::StaticGetMetaClass());
    EXPECT_EQ(parameter.initv.GetMetaFeatureType(), &ClumVellumEntity::StaticGetMetaClass());
    ExpectNoMessage();
}

}  // namespace
}  // namespace lum::test
