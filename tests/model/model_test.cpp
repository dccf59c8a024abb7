// The object model: who owns an object and what deleting it takes along,
// attributes decoded and encoded through their codecs, references as text
// and as bindings, and link values decoded into value objects.
#include <memory>
#include <string>
#include <vector>

#include "support/lum_test.h"

namespace lum {
namespace {
using test::Strings;
using test::Text;
using Model = test::LumTest;

// The values of a reference as written.
Strings Names(const IlumReference& feature) {
    Strings names;
    for (int i = 0; i < feature.GetCount(); ++i) {
        WString out;
        feature.EncodeReference(out, feature.IsSingle() ? -1 : i);
        names.push_back(out);
    }
    return names;
}

TEST_F(Model, LinksOwnWhatTheyTakeInOrderAndRefuseWhatTheyCannot) {
    ClumClass cls, other;
    auto* a = test::Add(cls.operations, new ClumOperation);
    auto* b = test::Add(cls.operations, new ClumOperation);
    auto* c = new ClumOperation;
    cls.operations.Insert(c, 0);
    auto* d = new ClumOperation;
    cls.operations.Insert(d, 2);
    EXPECT_EQ((std::vector<ClumVellumEntity*>{c, a, d, b}), test::Children(&cls, L"operations"));
    EXPECT_EQ(cls.operations.IndexOf(b), 3);
    EXPECT_EQ(a->Owner(), &cls);
    EXPECT_EQ(a->OwningFeature(), &cls.operations);
    std::unique_ptr<ClumVellumEntity> removed(cls.operations.RemoveAt(0));
    EXPECT_EQ(removed.get(), c);
    EXPECT_EQ(c->Owner(), nullptr);
    EXPECT_EQ(d->UnsetOwner(), &cls);
    delete d;
    EXPECT_EQ((std::vector<ClumVellumEntity*>{a, b}), test::Children(&cls, L"operations"));
    EXPECT_EQ(removed->UnsetOwner(), nullptr);
    other.operations.Insert(a, -1);  // owned already, by another link or by this one
    cls.operations.Insert(a, -1);
    cls.operations.Insert(nullptr, -1);
    ClumParameter parameter;  // the wrong class: the caller keeps it, free
    cls.operations.Insert(&parameter, -1);
    EXPECT_EQ(Take(), Strings(4, L"Cannot insert object into the feature 'Class::operations'"));
    EXPECT_EQ(a->Owner(), &cls);
    EXPECT_EQ(cls.operations.GetSize(), 2);
    EXPECT_TRUE(other.operations.IsEmpty());
    EXPECT_EQ(parameter.OwningFeature(), nullptr);
    auto* utility = test::Add(cls.nestedClasses, new ClumClass_Utility);  // a subclass of the target
    EXPECT_EQ(utility->Owner(), &cls);
    auto* attribute = test::Add(cls.attributes, new ClumAttribute);  // an inherited link
    EXPECT_EQ(attribute->UnsetOwner(), &cls);
    delete attribute;
    EXPECT_EQ(cls.attributes.RemoveAt(0), nullptr);
    EXPECT_EQ(Take(), Strings{L"Cannot remove object from the feature 'VellumObject::attributes'"});
    ClumClass single;  // one child is answered and removed whatever the index
    auto* only = test::Add(single.operations, new ClumOperation);
    EXPECT_EQ(single.operations.GetAt(3), only);
    delete single.operations.RemoveAt(7);
    EXPECT_TRUE(single.operations.IsEmpty());
}

TEST_F(Model, DeletingARootDeletesItsSubtreeButNotWhatItReferences) {
    int deleted = 0, referencedDeleted = 0;
    auto* root = new test::Counted<ClumClass_Category>(deleted);
    auto* cls = test::Add(root->logical_models, new test::Counted<ClumClass>(deleted));
    test::Add(cls->nestedClasses, new test::Counted<ClumClass>(deleted));
    auto* operation = test::Add(cls->operations, new test::Counted<ClumOperation>(deleted));
    auto* parameter = test::Add(operation->parameters, new test::Counted<ClumParameter>(deleted));
    auto* result = new test::Counted<ClumClass>(referencedDeleted);
    parameter->type.DecodeReference(L"Result");
    parameter->type.BindTo(result, -1);
    operation->result.SetTarget(result);
    delete root;
    EXPECT_EQ(deleted, 5);
    EXPECT_EQ(referencedDeleted, 0);
    delete result;
    // A chain deeper than any stack is deleted without recursing.
    auto* top = new ClumClass_Category;
    ClumClass_Category* deepest = top;
    for (int i = 0; i < 200000; ++i) deepest = test::Add(deepest->logical_models, new ClumClass_Category);
    delete top;
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(Model, AttributesDecodeEncodeAndKnowWhenTheyAreEmpty) {
    ClumFont font;
    EXPECT_TRUE(font.size.IsEmpty());
    font.size.Decode(L"  -42  ");
    font.bold.Decode(L"TRUE");
    ClumClass cls;
    cls.exportControl.Decode(L"pUbLiC");
    cls.language.Decode(L"ansi c++");
    const WString raw = L"\"C:\\models\\a \\\"b\\\"\" and 'c'";  // kept exactly: no quotes stripped, no escapes
    cls.space.Decode(raw);
    cls.name.Decode(WString(L"Shape\0Tail", 10));  // an identifier ends at the first NUL
    ClumCompartment compartment;
    compartment.location.Decode(L"(120, -45)");
    ClumAttachView line;
    line.vertices.Decode(L"(1,2) (3,4)");
    ClumVellumFloat number;
    number.value.Decode(L"3.5abc");
    const std::pair<const IlumAttribute*, std::wstring> encoded[] = {
        {&font.size, L"-42"}, {&font.bold, L"true"}, {&cls.exportControl, L"Public"}, {&cls.language, L"ANSI C++"},
        {&cls.space, Text(raw)}, {&cls.name, L"Shape"}, {&compartment.location, L"(120 , -45)"},
        {&line.vertices, L"(1 , 2)(3 , 4)"}, {&number.value, L"3.500000"},
    };
    for (const auto& [attribute, expected] : encoded) {
        WString out = L"previous";
        attribute->Encode(out);
        EXPECT_EQ(Text(out), expected);
        EXPECT_FALSE(attribute->IsEmpty()) << expected;
    }
    ClumIdent ident;
    cls.exportControl.GetAsIdent(ident);
    EXPECT_EQ(Text(ident), L"Public");
    EXPECT_EQ(Messages(), Strings{});
    font.size.Decode(L"x1");  // undecodable: reported, stored as zero
    cls.exportControl.Decode(L"Publik");
    ClumCompartment fresh;
    fresh.location.Decode(L"(a, 2)");
    EXPECT_EQ(Take(), (Strings{L"Cannot decode int from string 'x1'",
                               L"Cannot decode type 'EExportControl' from string 'Publik'",
                               L"Cannot decode location from string (a, 2)"}));
    EXPECT_TRUE(font.size.IsEmpty() && fresh.location.IsEmpty());
    EXPECT_EQ(cls.exportControl.Get(), EExportControl(0));
    font.size.Set(5);
    font.size.Decode(L"");  // an empty text changes nothing
    EXPECT_EQ(font.size.Get(), 5);
    EXPECT_EQ(cls.quid.GetMetaFeatureType(), nullptr);
    EXPECT_EQ(Take(), Strings{L"GetMetaFeatureType() was called for attribute quid. This method is not available for attributes. ."});
}

TEST_F(Model, ReferenceValuesAreCutAtColonRunsAndKeepTheirText) {
    const struct {
        const wchar_t* text;
        const wchar_t* encoded;
        const wchar_t* last;
    } cases[] = {
        {L"A::B::C", L"A::B::C", L"C"}, {L"A:::B", L"A::B", L"B"}, {L"::A", L"::A", L"A"},
        {L"A::", L"A", L"A"}, {L" A :: B ", L" A :: B ", L" B "},
    };
    for (const auto& c : cases) {
        std::unique_ptr<ClumObjectRef> ref(ClumObjectRef::Decode(c.text));
        WString out(L"the text of another value, replaced");
        ClumObjectRef::Encode(*ref, out);
        EXPECT_EQ(Text(out), c.encoded);
        EXPECT_EQ(Text(ref->GetName()), c.last);
    }
    EXPECT_EQ(ClumObjectRef::Decode(L""), nullptr);
    EXPECT_EQ(ClumObjectRef(L"@12").GetKind(), ClumObjectRef::eLabel);
    EXPECT_EQ(ClumObjectRef(L"Pkg").GetKind(), ClumObjectRef::eName);
    EXPECT_EQ(ClumObjectRef().GetKind(), ClumObjectRef::eEmpty);
    ClumClass cls;
    std::unique_ptr<ClumObjectRef> named(ClumObjectRef::Decode(L"Pkg::Shape"));
    named->BindTo(&cls);  // binding never changes the text
    named->Set(L"Circle");
    WString out;
    ClumObjectRef::Encode(*named, out);
    EXPECT_EQ(Text(out), L"Pkg::Circle");
    EXPECT_EQ(named->Target(), &cls);
    ClumObject object;  // single: the first value stays
    object.class_.Decode(L"Shapes::Circle");
    object.class_.DecodeReference(L"Other");
    EXPECT_EQ(Names(object.class_), Strings{L"Shapes::Circle"});
    cls.module.DecodeReference(L"first");  // list: values append
    cls.module.Decode(L"Sub::second");
    Clummodule target;
    cls.module.SetTarget(&target);
    EXPECT_EQ(Names(cls.module), (Strings{L"first", L"Sub::second", L"module"}));
    EXPECT_EQ(cls.module.GetTarget(2), &target);
    cls.module.Remove(0);
    EXPECT_EQ(Names(cls.module), (Strings{L"Sub::second", L"module"}));
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(Model, BindingChecksTheValueTheObjectAndItsClass) {
    ClumClass_Category category;
    ClumClass cls;
    ClumSubSystem subsystem, other;
    category.subsystem.BindTo(&subsystem, -1);
    category.subsystem.DecodeReference(L"Logical View::Sub");
    category.subsystem.BindTo(&subsystem, -1);
    EXPECT_EQ(Messages(), Strings{L"Reference 'Class_Category::subsystem' is not set. You cannot bind this reference."});
    EXPECT_EQ(category.subsystem.GetTarget(-1), &subsystem);
    errors.clear();
    category.subsystem.BindTo(nullptr, -1);
    category.subsystem.BindTo(&cls, -1);
    EXPECT_EQ(Take(), (Strings{L"Cannot bind reference 'Class_Category::subsystem' to NULL",
                               L"Cannot bind reference 'Class_Category::subsystem' to object of metalcass 'Class'"}));
    EXPECT_EQ(category.subsystem.GetTarget(-1), &subsystem);
    category.subsystem.BindTo(&other, -1);
    EXPECT_EQ(category.subsystem.GetTarget(-1), &other);
    ClumObject object;  // a reference to the root takes anything
    object.class_.DecodeReference(L"Anything");
    ClumFont font;
    object.class_.BindTo(&font, -1);
    EXPECT_EQ(object.class_.GetTarget(-1), &font);
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(Model, ExceptionAndParameterTypeTextsCarryMoreThanAName) {
    ClumOperation operation;
    operation.exceptions.Decode(L" , Errors::Range , IOError[2], Table[3][4],, Odd] , Half[open");
    EXPECT_EQ(Names(operation.exceptions), (Strings{L"Errors::Range", L"IOError", L"Table[3]", L"Odd]", L"Half[open"}));
    ClumParameter parameter;
    parameter.dir.Set(EParameterDirection(1));
    parameter.type.Decode(L"const in Geometry::Point");
    EXPECT_TRUE(parameter.isConst.Get());
    EXPECT_EQ(parameter.dir.Get(), EParameterDirection(0));
    EXPECT_EQ(Names(parameter.type), Strings{L"Geometry::Point"});
    ClumParameter words;
    words.type.Decode(L"\tinout  unsigned long ");
    EXPECT_EQ(words.dir.Get(), EParameterDirection(2));
    EXPECT_EQ(Names(words.type), Strings{L"unsigned long "});
    ClumParameter capital;  // direction words are case-sensitive
    capital.type.Decode(L"In Stream");
    EXPECT_EQ(Names(capital.type), Strings{L"In Stream"});
    ClumClassAttribute attribute;  // elsewhere the whole text is the name
    attribute.type.Decode(L"const in Geometry::Point");
    EXPECT_EQ(Names(attribute.type), Strings{L"const in Geometry::Point"});
    EXPECT_EQ(Messages(), Strings{});
    ClumParameter empty;
    empty.type.Decode(L"   ");
    EXPECT_EQ(Messages(), Strings{L"Cannot decode reference 'StructuralFeature::type' from string '   '"});
}

TEST_F(Model, LinkValuesBecomeValueObjectsOfTheClassTheTextShows) {
    ClumClassAttribute attribute;
    for (const wchar_t* text : {L"TRUE", L"42", L"-7", L"3.5", L"abc", L"4 2", L""}) attribute.initv.Decode(text);
    EXPECT_EQ(test::Shown(test::Children(&attribute, L"initv")),
              (Strings{L"VellumBool true", L"VellumInt 42", L"VellumInt -7", L"VellumFloat 3.500000",
                       L"VellumIdent abc", L"VellumIdent 4 2"}));
    EXPECT_EQ(attribute.initv.GetAt(0)->Owner(), &attribute);
    ClumClass cls;  // stereotypes are identifiers whatever they look like
    cls.stereotype.Decode(L"true");
    ClumCompartment compartment;  // a string link keeps numbers as text
    compartment.compartmentItems.Decode(L"42");
    EXPECT_EQ(test::Shown(test::Children(&cls, L"stereotype")), Strings{L"VellumIdent true"});
    EXPECT_EQ(test::Shown(test::Children(&compartment, L"compartmentItems")), Strings{L"VellumString 42"});
    ClumVellumFile file;
    file.fonts.Decode(L"12");
    EXPECT_EQ(Messages(), Strings{L"Cannot decode value '12' for link 'VellumFile::fonts'"});
    EXPECT_TRUE(file.fonts.IsEmpty());
}

}  // namespace
}  // namespace lum
