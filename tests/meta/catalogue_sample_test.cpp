// A sample of the catalogue checked by value, chosen where a slip is most
// likely: lower-case and look-alike keywords, abstract classes under
// concrete ones, classes without features of their own, list references and
// links to the root. The rest of the catalogue is covered by the structural
// and census tests.

#include <type_traits>

#include "meta/meta_fixture.h"

namespace lum::test {
namespace {

using CatalogueSample = MetamodelTest;

TEST_F(CatalogueSample, Classes)
{
    struct tSample {
        unsigned index;
        const wchar_t* keyword;
        bool concrete;
        const wchar_t* base;
    };
    const tSample samples[] = {
        {0, L"VellumEntity", false, nullptr},
        {5, L"external_doc", true, L"VellumEntity"},
        {11, L"QuidObject", false, L"VellumObject"},
        {12, L"defaults", true, L"VellumObject"},
        {14, L"Vellum", true, L"VellumObject"},
        {15, L"Cardinality", true, L"VellumValue"},
        {18, L"Text", true, L"VellumValue"},
        {53, L"Class", true, L"StateMachineOwner"},
        {56, L"module", true, L"UnitObject"},
        {68, L"sendEvent", true, L"action"},
        {96, L"DerivedClass", false, L"Class"},
        {115, L"Instantiated_Class", true, L"DerivedClass"},
        {133, L"Instantiated_Class_Utility", true, L"Instantiated_Class"},
        {143, L"ImportView", true, L"DependencyView"},
    };
    for (const tSample& sample : samples) {
        const ClumMetaClass& metaClass = *Provider().GetMetaClass(sample.index);
        SCOPED_TRACE(Describe(metaClass));
        EXPECT_EQ(NameOf(metaClass), sample.keyword);
        EXPECT_EQ(metaClass.m_pfnCreate != nullptr, sample.concrete);
        if (sample.base == nullptr) {
            EXPECT_TRUE(metaClass.m_bases.empty());
        } else {
            ASSERT_EQ(metaClass.m_bases.size(), 1u);
            EXPECT_EQ(NameOf(*metaClass.m_bases.front()), sample.base);
        }
    }
}

TEST_F(CatalogueSample, Features)
{
    struct tSample {
        unsigned index;
        const wchar_t* owner;
        const wchar_t* keyword;
        ClumMetaFeature::Kind kind;
        const wchar_t* target;  // null for attributes
    };
    using K = ClumMetaFeature;
    const tSample samples[] = {
        {0, L"Attribute", L"tool", K::eAttribute, nullptr},
        {2, L"Attribute", L"value", K::eLink, L"VellumEntity"},
        {3, L"VellumObject", L"stereotype", K::eLink, L"VellumEntity"},
        {24, L"VellumValue", L"value", K::eAttribute, nullptr},
        {25, L"Semantic_Info", L"PDL", K::eAttribute, nullptr},
        {30, L"QuidObject", L"quid", K::eAttribute, nullptr},
        {66, L"StructuralFeature", L"type", K::eReference, L"VellumEntity"},
        {175, L"Class", L"superclasses", K::eLink, L"Inheritance_Relationship"},
        {185, L"Class", L"module", K::eReference, L"module"},
        {186, L"Class", L"quidu", K::eReference, L"module"},
        {192, L"Class", L"parameters", K::eLink, L"Parameter"},
        {220, L"Operation", L"exceptions", K::eReference, L"VellumEntity"},
        {238, L"sendEvent", L"Event", K::eLink, L"Event"},
        {284, L"MessView", L"DataFlowView", K::eReference, L"DataFlowView"},
        {344, L"StateView", L"type", K::eAttribute, nullptr},
    };
    for (const tSample& sample : samples) {
        const ClumMetaFeature& feature = *Provider().GetMetaFeature(sample.index);
        SCOPED_TRACE(Describe(feature));
        EXPECT_EQ(NameOf(feature.GetOwner()), sample.owner);
        EXPECT_EQ(NameOf(feature), sample.keyword);
        EXPECT_EQ(feature.GetKind(), sample.kind);
        if (sample.target == nullptr) {
            EXPECT_EQ(feature.GetType(), nullptr);
        } else {
            ASSERT_NE(feature.GetType(), nullptr);
            EXPECT_EQ(NameOf(*feature.GetType()), sample.target);
        }
    }
}

TEST_F(CatalogueSample, RootClass)
{
    const ClumMetaClass& root = *Provider().GetMetaClass(0u);
    EXPECT_EQ(&root, ClumVellumEntity::m_pMetaClass);
    EXPECT_EQ(&root, &ClumVellumEntity::StaticGetMetaClass());
    EXPECT_TRUE(root.m_ownFeatures.empty());
    EXPECT_EQ(root.m_mask.count(), 1u);
    EXPECT_TRUE(root.m_mask.test(0));
    for (const ClumMetaClass* metaClass : AllClasses()) {
        EXPECT_TRUE(metaClass->IsKindOf(&root)) << Describe(*metaClass);
        if (metaClass != &root) {
            EXPECT_FALSE(root.IsKindOf(metaClass)) << Describe(*metaClass);
        }
    }
}

TEST_F(CatalogueSample, ClassDeclaresEighteenFeaturesAndInheritsTheRest)
{
    const ClumMetaClass& cls = ClassNamed(L"Class");
    ASSERT_EQ(cls.m_ownFeatures.size(), 18u);
    for (unsigned i = 0; i < 18; ++i) EXPECT_EQ(cls.m_ownFeatures[i]->GetIndex(), 175 + i);
    EXPECT_EQ(NameOf(*cls.m_ownFeatures.front()), L"superclasses");
    EXPECT_EQ(NameOf(*cls.m_ownFeatures.back()), L"parameters");
    // ...and the visiting order ends with what every VellumObject carries.
    ASSERT_GT(cls.m_allFeatures.size(), 22u);
    std::vector<std::wstring> last;
    for (auto it = cls.m_allFeatures.end() - 4; it != cls.m_allFeatures.end(); ++it) last.push_back(NameOf(**it));
    EXPECT_EQ(last, (std::vector<std::wstring>{L"stereotype", L"documentation", L"external_docs", L"attributes"}));

    std::vector<std::wstring> derived;
    for (const ClumMetaClass* sub : cls.m_derived) derived.push_back(NameOf(*sub));
    EXPECT_EQ(derived, (std::vector<std::wstring>{L"Metaclass", L"Class_Utility", L"DerivedClass"}));

    // The relatives of Class are kinds of it; the converse never holds.
    for (const wchar_t* keyword : {L"Metaclass", L"Class_Utility", L"DerivedClass", L"Parameterized_Class",
                                   L"Parameterized_Class_Utility", L"Instantiated_Class",
                                   L"Instantiated_Class_Utility"}) {
        EXPECT_TRUE(ClassNamed(keyword).IsKindOf(&cls)) << std::wstring(keyword);
        EXPECT_FALSE(cls.IsKindOf(&ClassNamed(keyword))) << std::wstring(keyword);
    }
    EXPECT_FALSE(ClassNamed(L"Operation").IsKindOf(&cls));
}

TEST_F(CatalogueSample, CardinalityAndTextCarryOnlyTheInheritedValue)
{
    const ClumMetaFeature& value = *Provider().GetMetaFeature(24u);
    for (const wchar_t* keyword : {L"Cardinality", L"Text"}) {
        const ClumMetaClass& metaClass = ClassNamed(keyword);
        EXPECT_TRUE(metaClass.m_ownFeatures.empty());
        EXPECT_EQ(metaClass.m_allFeatures, std::vector<const ClumMetaFeature*>{&value});
    }
    ClumCardinality cardinality;
    EXPECT_EQ(cardinality.GetFeature(ClumIdent(L"value")), &cardinality.value);
    EXPECT_EQ(cardinality.value.GetMetaFeature(), &value);
}

TEST_F(CatalogueSample, EveryViewIsADiagramItem)
{
    const ClumMetaClass& item = ClassNamed(L"DiagramItem");
    int views = 0;
    for (const ClumMetaClass* metaClass : AllClasses()) {
        const std::wstring name = NameOf(*metaClass);
        if (name.size() < 4 || name.compare(name.size() - 4, 4, L"View") != 0) continue;
        ++views;
        EXPECT_TRUE(metaClass->IsKindOf(&item)) << Describe(*metaClass);
    }
    EXPECT_GT(views, 30);
}

TEST_F(CatalogueSample, FeatureCopiesAreEqualInEveryFieldButNotIdentical)
{
    const ClumMetaFeature& original = *Provider().GetMetaFeature(185u);
    const ClumMetaFeature copy = original;
    EXPECT_FALSE(copy == original);
    EXPECT_TRUE(original == *Provider().GetMetaFeature(185u));
    EXPECT_EQ(copy.GetName(), original.GetName());
    EXPECT_EQ(copy.GetKind(), original.GetKind());
    EXPECT_EQ(copy.GetType(), original.GetType());
    EXPECT_EQ(&copy.GetOwner(), &original.GetOwner());
    EXPECT_EQ(copy.GetIndex(), original.GetIndex());
    EXPECT_EQ(copy.m_pfnGetFeature, original.m_pfnGetFeature);
}

// The generated classes follow the catalogue at compile time too: the
// members of Class in declaration order with their exact feature templates,
// the bases, and constructors open only on concrete classes.
template <class Member, class Expected>
constexpr bool kIs = std::is_same_v<Member, Expected>;
static_assert(kIs<decltype(ClumClass::superclasses), TlumLink<ClumClass, ClumInheritance_Relationship, 175>>);
static_assert(kIs<decltype(ClumClass::operations), TlumLink<ClumClass, ClumOperation, 176>>);
static_assert(kIs<decltype(ClumClass::class_attributes), TlumLink<ClumClass, ClumClassAttribute, 177>>);
static_assert(kIs<decltype(ClumClass::concurrency), TlumAttribute<ClumClass, EConcurrency, 178>>);
static_assert(kIs<decltype(ClumClass::exportControl), TlumAttribute<ClumClass, EExportControl, 179>>);
static_assert(kIs<decltype(ClumClass::space), TlumAttribute<ClumClass, WString, 180>>);
static_assert(kIs<decltype(ClumClass::persistence), TlumAttribute<ClumClass, EPersistence, 181>>);
static_assert(kIs<decltype(ClumClass::visible_modules), TlumLink<ClumClass, ClumDependency_Relationship, 182>>);
static_assert(kIs<decltype(ClumClass::realized_interfaces), TlumLink<ClumClass, ClumRealize_Relationship, 183>>);
static_assert(kIs<decltype(ClumClass::cardinality), TlumLink<ClumClass, ClumCardinality, 184>>);
static_assert(kIs<decltype(ClumClass::module), TlumReference<ClumClass, Clummodule, 185, 1>>);
static_assert(kIs<decltype(ClumClass::quidu), TlumReference<ClumClass, Clummodule, 186, 1>>);
static_assert(kIs<decltype(ClumClass::nestedClasses), TlumLink<ClumClass, ClumClass, 187>>);
static_assert(kIs<decltype(ClumClass::used_nodes), TlumLink<ClumClass, ClumUses_Relationship, 188>>);
static_assert(kIs<decltype(ClumClass::language), TlumAttribute<ClumClass, ELanguage, 189>>);
static_assert(kIs<decltype(ClumClass::nonclass), TlumAttribute<ClumClass, bool, 190>>);
static_assert(kIs<decltype(ClumClass::nonclassname), TlumAttribute<ClumClass, WString, 191>>);
static_assert(kIs<decltype(ClumClass::parameters), TlumLink<ClumClass, ClumParameter, 192>>);
static_assert(kIs<decltype(ClumOperation::exceptions), TlumReference<ClumOperation, ClumVellumEntity, 220, 1>>);
static_assert(kIs<decltype(ClumStructuralFeature::type), TlumReference<ClumStructuralFeature, ClumVellumEntity, 66, 0>>);
static_assert(kIs<decltype(ClumVellumObject::stereotype), TlumLink<ClumVellumObject, ClumVellumEntity, 3>>);

static_assert(std::is_base_of_v<ClumStateMachineOwner, ClumClass>);
static_assert(std::is_base_of_v<ClumInstantiated_Class, ClumInstantiated_Class_Utility>);
static_assert(std::is_base_of_v<ClumDerivedClass, ClumInstantiated_Class>);
static_assert(std::is_base_of_v<ClumVellumValue, ClumText>);
static_assert(std::is_base_of_v<ClumVellumEntity, ClumAttribute> && !std::is_base_of_v<ClumVellumObject, ClumAttribute>);
static_assert(std::is_base_of_v<Clumaction, ClumsendEvent>);

static_assert(std::is_default_constructible_v<ClumClass> && std::is_default_constructible_v<Clumdefaults>);
static_assert(!std::is_default_constructible_v<ClumQuidObject>);
static_assert(!std::is_default_constructible_v<ClumDerivedClass>);
static_assert(!std::is_default_constructible_v<ClumVellumEntity>);
static_assert(std::has_virtual_destructor_v<ClumText>);

TEST_F(CatalogueSample, TypedClassesKnowTheirMetaClasses)
{
    EXPECT_EQ(&ClumClass::StaticGetMetaClass(), Provider().GetMetaClass(53u));
    EXPECT_EQ(&ClumQuidObject::StaticGetMetaClass(), Provider().GetMetaClass(11u));
    EXPECT_EQ(&ClumDerivedClass::StaticGetMetaClass(), Provider().GetMetaClass(96u));
    EXPECT_EQ(&ClumInstantiated_Class_Utility::StaticGetMetaClass(), Provider().GetMetaClass(133u));
    EXPECT_EQ(&Clumdefaults::StaticGetMetaClass(), Provider().GetMetaClass(12u));
}

TEST_F(CatalogueSample, KeywordsThatAreCxxWordsReachTheirMembers)
{
    ClumOperation operation;
    EXPECT_EQ(operation.GetFeature(ClumIdent(L"virtual")), &operation.virtual_);
    EXPECT_EQ(operation.GetFeature(ClumIdent(L"const")), &operation.const_);
    EXPECT_EQ(operation.GetFeature(ClumIdent(L"static")), &operation.static_);
    EXPECT_EQ(operation.GetFeature(ClumIdent(L"virtual_")), nullptr);
    ClumObject object;
    EXPECT_EQ(object.GetFeature(ClumIdent(L"class")), &object.class_);
    ClumRole role;
    EXPECT_EQ(role.GetFeature(ClumIdent(L"friend")), &role.friend_);
}

TEST_F(CatalogueSample, ClassFindsInheritedFeaturesByKeyword)
{
    ClumClass cls;
    EXPECT_EQ(cls.GetFeature(ClumIdent(L"superclasses")), &cls.superclasses);
    EXPECT_EQ(cls.GetFeature(ClumIdent(L"quid")), &cls.quid);
    EXPECT_EQ(cls.GetFeature(ClumIdent(L"documentation")), &cls.documentation);
    EXPECT_EQ(cls.GetFeature(ClumIdent(L"Superclasses")), nullptr);
    EXPECT_EQ(cls.GetFeature(ClumIdent(L"")), nullptr);
    EXPECT_EQ(cls.quid.GetMetaFeature(), Provider().GetMetaFeature(30u));
}

}  // namespace
}  // namespace lum::test
