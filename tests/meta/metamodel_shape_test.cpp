// The shape of the metamodel as a whole: table sizes and counts, the
// inheritance tree, feature numbering and the precomputed per-class lists,
// each checked against an independent reading of the same tables.

#include <set>
#include <stdexcept>

#include "meta/meta_fixture.h"

namespace lum::test {
namespace {

using MetamodelShape = MetamodelTest;

TEST_F(MetamodelShape, TablesAreDenseAndEachEntrySitsAtItsOwnIndex)
{
    ASSERT_EQ(Provider().GetNumberOfMetaClasses(), 144u);
    ASSERT_EQ(Provider().GetNumberOfMetaFeatures(), 345u);

    std::set<std::wstring> names;
    for (unsigned i = 0; i < 144; ++i) {
        const ClumMetaClass* metaClass = Provider().GetMetaClass(i);
        ASSERT_NE(metaClass, nullptr) << "class slot " << i;
        EXPECT_EQ(metaClass->GetIndex(), i);
        EXPECT_TRUE(names.insert(NameOf(*metaClass)).second) << "keyword twice: " << Describe(*metaClass);
        EXPECT_EQ(Provider().GetMetaClass(metaClass->GetName()), metaClass) << Describe(*metaClass);
    }
    for (unsigned i = 0; i < 345; ++i) {
        const ClumMetaFeature* feature = Provider().GetMetaFeature(i);
        ASSERT_NE(feature, nullptr) << "feature slot " << i;
        EXPECT_EQ(feature->GetIndex(), i);
    }
    EXPECT_EQ(Provider().GetMetaClass(144u), nullptr);
    EXPECT_EQ(Provider().GetMetaFeature(345u), nullptr);
}

TEST_F(MetamodelShape, ConcreteAndAbstractClassesAreCountedByTheirCreationFunction)
{
    int concrete = 0;
    for (const ClumMetaClass* metaClass : AllClasses()) {
        EXPECT_EQ(metaClass->IsAbstract(), metaClass->m_pfnCreate == nullptr) << Describe(*metaClass);
        if (metaClass->m_pfnCreate != nullptr) ++concrete;
    }
    EXPECT_EQ(concrete, 117);
    EXPECT_EQ(144 - concrete, 27);
}

TEST_F(MetamodelShape, FeatureKindsAndTargetTypes)
{
    int byKind[3] = {0, 0, 0};
    for (const ClumMetaFeature* feature : AllFeatures()) {
        ASSERT_GE(feature->GetKind(), ClumMetaFeature::eAttribute);
        ASSERT_LE(feature->GetKind(), ClumMetaFeature::eLink);
        ++byKind[feature->GetKind()];
        if (feature->GetKind() == ClumMetaFeature::eAttribute) {
            EXPECT_EQ(feature->GetType(), nullptr) << Describe(*feature);
        } else {
            // The target is one of the registered classes, not a copy.
            ASSERT_NE(feature->GetType(), nullptr) << Describe(*feature);
            EXPECT_EQ(Provider().GetMetaClass(feature->GetType()->GetIndex()), feature->GetType()) << Describe(*feature);
        }
    }
    EXPECT_EQ(byKind[ClumMetaFeature::eAttribute], 192);
    EXPECT_EQ(byKind[ClumMetaFeature::eReference], 63);
    EXPECT_EQ(byKind[ClumMetaFeature::eLink], 90);
}

TEST_F(MetamodelShape, FourReferencesHoldListsTheRestOneTarget)
{
    std::vector<unsigned> lists;
    for (const ClumMetaFeature* feature : AllFeatures()) {
        if (feature->GetKind() != ClumMetaFeature::eReference) continue;
        const ClumMetaClass* carrier = ConcreteCarrierOf(*feature);
        ASSERT_NE(carrier, nullptr) << Describe(*feature);
        auto object = MakeObject(*carrier);
        IlumReference* reference = feature->m_pfnGetFeature(object.get())->GetReference();
        ASSERT_NE(reference, nullptr) << Describe(*feature);
        if (!reference->IsSingle()) lists.push_back(feature->GetIndex());
    }
    EXPECT_EQ(lists, (std::vector<unsigned>{185, 186, 220, 284}));
}

TEST_F(MetamodelShape, SingleInheritanceTreeWithBasesBeforeSubclasses)
{
    const auto classes = AllClasses();
    EXPECT_TRUE(classes[0]->m_bases.empty());
    for (const ClumMetaClass* metaClass : classes) {
        if (metaClass->GetIndex() == 0) continue;
        ASSERT_EQ(metaClass->m_bases.size(), 1u) << Describe(*metaClass);
        EXPECT_LT(metaClass->m_bases.front()->GetIndex(), metaClass->GetIndex()) << Describe(*metaClass);
        // Hence every chain ends at the root.
        EXPECT_EQ(ChainOf(*metaClass).back(), classes[0]) << Describe(*metaClass);
    }
}

TEST_F(MetamodelShape, DerivedListsAreTheInverseOfTheBasesInAscendingOrder)
{
    const auto classes = AllClasses();
    std::vector<std::vector<const ClumMetaClass*>> expected(classes.size());
    for (const ClumMetaClass* metaClass : classes)
        for (const ClumMetaClass* base : metaClass->m_bases) expected[base->GetIndex()].push_back(metaClass);
    for (const ClumMetaClass* metaClass : classes)
        EXPECT_EQ(metaClass->m_derived, expected[metaClass->GetIndex()]) << Describe(*metaClass);
}

TEST_F(MetamodelShape, OwnFeaturesNumberTheWholeMetamodelClassByClass)
{
    // Concatenating every class's own features in class order gives the
    // feature table itself: consecutive within a class, classes ascending.
    std::vector<const ClumMetaFeature*> concatenated;
    for (const ClumMetaClass* metaClass : AllClasses()) {
        for (const ClumMetaFeature* feature : metaClass->m_ownFeatures) {
            EXPECT_EQ(&feature->GetOwner(), metaClass) << Describe(*feature);
            concatenated.push_back(feature);
        }
    }
    EXPECT_EQ(concatenated, AllFeatures());
}

TEST_F(MetamodelShape, NoKeywordRepeatsAlongAClassChain)
{
    for (const ClumMetaClass* metaClass : AllClasses()) {
        std::set<std::wstring> seen;
        for (const ClumMetaClass* level : ChainOf(*metaClass))
            for (const ClumMetaFeature* feature : level->m_ownFeatures)
                EXPECT_TRUE(seen.insert(NameOf(*feature)).second)
                    << Describe(*feature) << " repeats a keyword in the chain of " << Describe(*metaClass);
    }
}

TEST_F(MetamodelShape, ConcreteClassesListOwnThenInheritedFeaturesNearestFirst)
{
    for (const ClumMetaClass* metaClass : AllClasses()) {
        if (metaClass->m_pfnCreate == nullptr) {
            EXPECT_TRUE(metaClass->m_allFeatures.empty()) << Describe(*metaClass);
            EXPECT_TRUE(metaClass->m_linkFeatures.empty()) << Describe(*metaClass);
            continue;
        }
        std::vector<const ClumMetaFeature*> all, links;
        for (const ClumMetaClass* level : ChainOf(*metaClass)) {
            for (const ClumMetaFeature* feature : level->m_ownFeatures) {
                all.push_back(feature);
                if (feature->GetKind() == ClumMetaFeature::eLink) links.push_back(feature);
            }
        }
        EXPECT_EQ(metaClass->m_allFeatures, all) << Describe(*metaClass);
        EXPECT_EQ(metaClass->m_linkFeatures, links) << Describe(*metaClass);
    }
}

TEST_F(MetamodelShape, EveryFeatureIsCarriedBySomeConcreteClass)
{
    // A feature that no concrete class carries could never be read.
    for (const ClumMetaFeature* feature : AllFeatures())
        EXPECT_NE(ConcreteCarrierOf(*feature), nullptr) << Describe(*feature);
}

TEST_F(MetamodelShape, IsKindOfIsExactlyTheAncestorRelation)
{
    const auto classes = AllClasses();
    for (const ClumMetaClass* metaClass : classes) {
        EXPECT_FALSE(metaClass->IsKindOf(nullptr)) << Describe(*metaClass);
        EXPECT_EQ(metaClass->m_mask.count(), ChainOf(*metaClass).size()) << Describe(*metaClass);
        for (const ClumMetaClass* other : classes)
            EXPECT_EQ(metaClass->IsKindOf(other), IsAncestorOrSelf(*metaClass, *other))
                << Describe(*metaClass) << " kind of " << Describe(*other);
    }
}

TEST(MetaObjects, NewClassesAndFeaturesAreBareUntilTheBuilderFillsThem)
{
    const ClumMetaClass metaClass(L"Loose", 7, true);
    EXPECT_EQ(NameOf(metaClass), L"Loose");
    EXPECT_EQ(metaClass.GetIndex(), 7u);
    EXPECT_TRUE(metaClass.IsAbstract());
    EXPECT_TRUE(metaClass.m_mask.none());
    EXPECT_TRUE(metaClass.m_ownFeatures.empty() && metaClass.m_allFeatures.empty() &&
                metaClass.m_linkFeatures.empty() && metaClass.m_bases.empty() && metaClass.m_derived.empty());
    EXPECT_EQ(metaClass.m_pfnCreate, nullptr);
    // Identity comes first; the mask is not consulted for the class itself.
    EXPECT_TRUE(metaClass.IsKindOf(&metaClass));

    const ClumMetaFeature feature(9, L"loose", ClumMetaFeature::eLink, nullptr);
    EXPECT_EQ(NameOf(feature), L"loose");
    EXPECT_EQ(feature.GetIndex(), 9u);
    EXPECT_EQ(feature.GetKind(), ClumMetaFeature::eLink);
    EXPECT_EQ(feature.GetType(), nullptr);
    EXPECT_EQ(feature.m_pOwner, nullptr);
    EXPECT_TRUE(feature.m_pfnGetFeature == nullptr && feature.m_pfnLinkGetAt == nullptr &&
                feature.m_pfnLinkIndexOf == nullptr && feature.m_pfnLinkInsert == nullptr &&
                feature.m_pfnLinkRemoveAt == nullptr && feature.m_pfnLinkSize == nullptr);
}

TEST(MetaObjects, TheAncestorMaskBoundsClassIndicesAt512)
{
    const ClumMetaClass inside(L"Inside", 511, false);
    const ClumMetaClass outside(L"Outside", 512, false);
    try {
        (void)inside.IsKindOf(&outside);
        ADD_FAILURE() << "no exception for class index 512";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid bitset<N> position");
    }
    EXPECT_FALSE(outside.IsKindOf(&inside));
}

}  // namespace
}  // namespace lum::test
