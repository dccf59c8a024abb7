// References: the text form of a reference value, single and list storage
// in reference features, binding with its checks, and the two references
// whose file text carries more than a name.

#include "model/model_fixture.h"

#include <memory>

namespace lum::test {
namespace {

using References = ModelTest;

// The names of a chain, outermost first.
std::vector<std::wstring> Components(const ClumObjectRef* ref)
{
    std::vector<std::wstring> names;
    for (; ref != nullptr; ref = ref->GetQualifier()) names.insert(names.begin(), Text(ref->GetName()));
    return names;
}

std::wstring Encoded(const ClumObjectRef& ref)
{
    WString out = L"(untouched)";
    ClumObjectRef::Encode(ref, out);
    return Text(out);
}

std::vector<std::wstring> Names(const IlumReference& feature)
{
    std::vector<std::wstring> names;
    for (long i = 0; i < feature.GetCount(); ++i) {
        WString out;
        feature.EncodeReference(out, feature.IsSingle() ? -1 : i);
        names.push_back(Text(out));
    }
    return names;
}

TEST_F(References, DecodeCutsAtColonRunsAndEncodeJoinsWithDoubleColons)
{
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> components;
        const wchar_t* encoded;
    };
    const Case cases[] = {
        {L"A::B::C", {L"A", L"B", L"C"}, L"A::B::C"},
        {L"A:B", {L"A", L"B"}, L"A::B"},
        {L"A:::B", {L"A", L"B"}, L"A::B"},
        {L"::A", {L"", L"A"}, L"::A"},
        {L"A::", {L"A"}, L"A"},
        {L":::", {L""}, L""},
        {L"Top Level::Pkg::Class", {L"Top Level", L"Pkg", L"Class"}, L"Top Level::Pkg::Class"},
        {L" A :: B ", {L" A ", L" B "}, L" A :: B "},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ClumObjectRef> ref(ClumObjectRef::Decode(c.text));
        ASSERT_NE(ref, nullptr) << ::testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(Components(ref.get()), c.components) << ::testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(Encoded(*ref), c.encoded);
        EXPECT_EQ(ref->Target(), nullptr);
    }
    EXPECT_EQ(ClumObjectRef::Decode(L""), nullptr);
    ExpectNoMessage();
}

TEST_F(References, KindAndTextFollowNameAndTarget)
{
    ClumClass cls;
    EXPECT_EQ(ClumObjectRef().GetKind(), ClumObjectRef::eEmpty);
    EXPECT_EQ(Encoded(ClumObjectRef()), L"");
    EXPECT_EQ(ClumObjectRef(L"@12").GetKind(), ClumObjectRef::eLabel);
    EXPECT_EQ(ClumObjectRef(L"Pkg").GetKind(), ClumObjectRef::eName);
    EXPECT_EQ(Text(ClumObjectRef(L"A::B").GetName()), L"A::B");  // constructors do not split

    cls.name.Set(ClumIdent(L"Shape"));
    ClumObjectRef fromObject(&cls);
    EXPECT_EQ(fromObject.GetKind(), ClumObjectRef::eFromObject);
    EXPECT_EQ(Encoded(fromObject), L"Class");
    fromObject.Unbind();
    EXPECT_EQ(fromObject.GetKind(), ClumObjectRef::eEmpty);
    EXPECT_EQ(Encoded(fromObject), L"");

    // A bound name keeps printing as written; binding never changes the text.
    std::unique_ptr<ClumObjectRef> named(ClumObjectRef::Decode(L"Pkg::Shape"));
    named->BindTo(&cls);
    EXPECT_EQ(named->Target(), &cls);
    EXPECT_EQ(named->GetKind(), ClumObjectRef::eName);
    EXPECT_EQ(Encoded(*named), L"Pkg::Shape");
    ClumObjectRef label(L"@3");
    label.Set(&cls);
    EXPECT_EQ(Encoded(label), L"@3");
    // Renaming keeps the qualifier and the target.
    named->Set(L"Circle");
    EXPECT_EQ(Encoded(*named), L"Pkg::Circle");
    EXPECT_EQ(named->Target(), &cls);
}

TEST_F(References, SingleReferenceKeepsTheFirstValueAtIndexMinusOne)
{
    ClumObject object;
    IlumReference& ref = object.class_;
    EXPECT_TRUE(ref.IsSingle());
    EXPECT_TRUE(ref.IsEmpty());
    EXPECT_EQ(ref.GetCount(), 0);

    ref.Decode(L"");
    EXPECT_TRUE(ref.IsEmpty());
    ref.Decode(L"Shapes::Circle");
    ref.DecodeReference(L"Other");
    EXPECT_EQ(ref.GetCount(), 1);
    EXPECT_EQ(Names(ref), std::vector<std::wstring>{L"Shapes::Circle"});
    EXPECT_NE(ref.GetObjectRef(-1), nullptr);
    EXPECT_EQ(ref.GetObjectRef(0), nullptr);
    EXPECT_EQ(ref.GetObjectRef(1), nullptr);

    ClumClass cls;
    ref.SetTarget(&cls);  // a value is held already
    EXPECT_EQ(ref.GetTarget(-1), nullptr);

    ref.Remove(5);  // the index is ignored
    EXPECT_TRUE(ref.IsEmpty());
    ref.SetTarget(nullptr);
    EXPECT_TRUE(ref.IsEmpty());
    ref.SetTarget(&cls);
    EXPECT_EQ(ref.GetTarget(-1), &cls);
    EXPECT_TRUE(ref.IsBound(-1));
    EXPECT_EQ(ref.GetObjectRef(-1)->GetKind(), ClumObjectRef::eFromObject);
    ExpectNoMessage();
}

TEST_F(References, ListReferenceAppendsAtIndicesFromZero)
{
    ClumClass cls;
    IlumReference& ref = cls.module;
    EXPECT_FALSE(ref.IsSingle());
    EXPECT_TRUE(ref.IsEmpty());
    EXPECT_EQ(ref.GetObjectRef(0), nullptr);

    ref.DecodeReference(L"first");
    ref.Decode(L"Sub::second");
    Clummodule target;
    ref.SetTarget(nullptr);
    ref.SetTarget(&target);
    EXPECT_EQ(ref.GetCount(), 3);
    EXPECT_EQ(Names(ref), (std::vector<std::wstring>{L"first", L"Sub::second", L"module"}));
    EXPECT_EQ(ref.GetObjectRef(-1), nullptr);
    EXPECT_EQ(ref.GetObjectRef(3), nullptr);
    EXPECT_EQ(ref.GetTarget(2), &target);

    ref.Remove(7);
    ref.Remove(-1);
    EXPECT_EQ(ref.GetCount(), 3);
    ref.Remove(0);
    EXPECT_EQ(Names(ref), (std::vector<std::wstring>{L"Sub::second", L"module"}));
    ref.Remove(1);
    ref.Remove(0);
    EXPECT_TRUE(ref.IsEmpty());
    ExpectNoMessage();
}

TEST_F(References, BindingChecksTheValueTheObjectAndItsClass)
{
    ClumClass_Category category;
    ClumClass cls;
    ClumSubSystem subsystem;
    ClumSubSystem other;
    IlumReference& ref = category.subsystem;

    ref.BindTo(&subsystem, -1);
    ExpectOnlyMessage(L"Reference 'Class_Category::subsystem' is not set. You cannot bind this reference.");

    ref.DecodeReference(L"Logical View::Sub");
    ref.BindTo(&subsystem, 0);
    ExpectOnlyMessage(L"Reference 'Class_Category::subsystem' is not set. You cannot bind this reference.");
    EXPECT_FALSE(ref.IsBound(-1));

    ref.BindTo(&subsystem, -1);
    ExpectNoMessage();
    EXPECT_EQ(ref.GetTarget(-1), &subsystem);

    ref.BindTo(nullptr, -1);
    ExpectOnlyMessage(L"Cannot bind reference 'Class_Category::subsystem' to NULL");
    ref.BindTo(&cls, -1);
    ExpectOnlyMessage(L"Cannot bind reference 'Class_Category::subsystem' to object of metalcass 'Class'");
    EXPECT_EQ(ref.GetTarget(-1), &subsystem);

    ref.BindTo(&other, -1);  // a new binding replaces the old one
    EXPECT_EQ(ref.GetTarget(-1), &other);
    ref.Unbind(-1);
    EXPECT_EQ(ref.GetTarget(-1), nullptr);
    WString text;
    ref.EncodeReference(text, -1);
    EXPECT_EQ(Text(text), L"Logical View::Sub");

    // A reference to a base class takes its subclasses; one to the root takes anything.
    ClumObject object;
    object.quidu.DecodeReference(L"3A0F");
    object.quidu.BindTo(&cls, -1);
    EXPECT_EQ(object.quidu.GetTarget(-1), &cls);
    object.class_.DecodeReference(L"Anything");
    ClumFont font;
    object.class_.BindTo(&font, -1);
    EXPECT_EQ(object.class_.GetTarget(-1), &font);
    ExpectNoMessage();

    // A list reference names the same feature in its messages.
    cls.module.BindTo(&subsystem, 0);
    ExpectOnlyMessage(L"Reference 'Class::module' is not set. You cannot bind this reference.");
}

TEST_F(References, ValueIdentAndEncodingLeaveTheOutputAloneWithoutValue)
{
    ClumClass cls;
    ClumIdent ident(L"unchanged");
    WString text = L"unchanged";
    cls.module.GetValueIdent(ident, 0);
    cls.module.EncodeReference(text, 0);
    EXPECT_TRUE(ident == ClumIdent(L"unchanged"));
    EXPECT_EQ(Text(text), L"unchanged");

    cls.module.DecodeReference(L"A::B");
    cls.module.DecodeReference(L"B");
    cls.module.GetValueIdent(ident, 0);
    EXPECT_TRUE(ident == ClumIdent(L"A::B"));
    cls.module.GetValueIdent(ident, 1);
    EXPECT_TRUE(ident == ClumIdent(L"B"));
    cls.module.GetValueIdent(ident, 2);
    EXPECT_TRUE(ident == ClumIdent(L"B"));

    // A value made from an object has no written text, only its class name.
    Clummodule target;
    cls.module.SetTarget(&target);
    cls.module.GetValueIdent(ident, 2);
    EXPECT_TRUE(ident == ClumIdent());
    cls.module.EncodeReference(text, 2);
    EXPECT_EQ(Text(text), L"module");
}

TEST_F(References, OperationExceptionsAreAListOfNamesWithoutBounds)
{
    ClumOperation operation;
    operation.exceptions.Decode(L"Overflow, IOError[2]");
    EXPECT_EQ(Names(operation.exceptions), (std::vector<std::wstring>{L"Overflow", L"IOError"}));

    ClumOperation other;
    other.exceptions.Decode(L" , Errors::Range , Table[3][4],, Odd] , Half[open, Spaced [1], [9]");
    EXPECT_EQ(Names(other.exceptions),
              (std::vector<std::wstring>{L"Errors::Range", L"Table[3]", L"Odd]", L"Half[open", L"Spaced "}));
    ExpectNoMessage();
}

TEST_F(References, ParameterTypeTextCarriesDirectionAndConstness)
{
    ClumParameter parameter;
    parameter.dir.Set(EParameterDirection(1));
    parameter.type.Decode(L"const in Geometry::Point");
    EXPECT_TRUE(parameter.isConst.Get());
    EXPECT_EQ(parameter.dir.Get(), EParameterDirection(0));
    EXPECT_EQ(Names(parameter.type), std::vector<std::wstring>{L"Geometry::Point"});
    EXPECT_EQ(Components(parameter.type.GetObjectRef(-1)), (std::vector<std::wstring>{L"Geometry", L"Point"}));

    ClumParameter direction;
    direction.type.Decode(L"inout");
    EXPECT_EQ(direction.dir.Get(), EParameterDirection(2));
    EXPECT_FALSE(direction.isConst.Get());
    EXPECT_TRUE(direction.type.IsEmpty());

    ClumParameter blanks;
    blanks.type.Decode(L"\tout  unsigned long ");
    EXPECT_EQ(blanks.dir.Get(), EParameterDirection(1));
    EXPECT_EQ(Names(blanks.type), std::vector<std::wstring>{L"unsigned long "});

    // The type runs from the first occurrence of its first word in the
    // whole text, even where that lies inside an earlier word.
    ClumParameter early;
    early.type.Decode(L"in n");
    EXPECT_EQ(Names(early.type), std::vector<std::wstring>{L"n n"});

    // The direction words are case-sensitive: "In" begins the type.
    ClumParameter capital;
    capital.type.Decode(L"In Stream");
    EXPECT_EQ(Names(capital.type), std::vector<std::wstring>{L"In Stream"});
    EXPECT_TRUE(capital.dir.IsEmpty());
    ExpectNoMessage();

    ClumParameter empty;
    empty.type.Decode(L"   ");
    ExpectOnlyMessage(L"Cannot decode reference 'StructuralFeature::type' from string '   '");
    EXPECT_TRUE(empty.type.IsEmpty());
    EXPECT_TRUE(empty.dir.IsEmpty());
}

TEST_F(References, AttributeTypeTextIsAllName)
{
    ClumClassAttribute attribute;
    attribute.type.Decode(L"const in Geometry::Point");
    EXPECT_EQ(Names(attribute.type), std::vector<std::wstring>{L"const in Geometry::Point"});
    EXPECT_EQ(Text(attribute.type.GetObjectRef(-1)->GetName()), L"Point");

    ClumClassAttribute blank;
    blank.type.Decode(L"   ");
    EXPECT_EQ(Names(blank.type), std::vector<std::wstring>{L"   "});
    ExpectNoMessage();
}

}  // namespace
}  // namespace lum::test
