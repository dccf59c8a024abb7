// The metamodel as generic code sees it: built once per balanced start,
// every concrete class made by keyword, every feature reached by keyword and
// through its accessors, kinds and ancestry that agree with an independent
// reading of the bases. The tables themselves are the generator's
// (tools/generate_catalogue.py --check), not restated here.
#include <memory>
#include <set>

#include "support/lum_test.h"

namespace lum {
namespace {
using test::Strings;
using test::Text;

ClumMetaProvider& Provider() { return ClumMetaProvider::GetInstance(); }

// Runs without the fixture: every other test leaves no metamodel behind.
TEST(Lifetime, OnlyTheBalancingFinalizeFreesTheMetamodelAndOnlyTheFirstStartBuildsIt) {
    ASSERT_EQ(Provider().GetNumberOfMetaClasses(), 0u) << "a metamodel is left over from another test";
    const unsigned savedPage = WString::GetLocalePage();
    WString::SetLocalePage(65001);
    InitializeLUM();
    EXPECT_EQ(WString::GetLocalePage(), 1252u);
    ASSERT_EQ(Provider().GetNumberOfMetaClasses(), 144u);
    ASSERT_EQ(Provider().GetNumberOfMetaFeatures(), 345u);
    const ClumMetaClass* built = &ClumClass::StaticGetMetaClass();
    WString::SetLocalePage(437);
    InitializeLUM();  // only counted: nothing is rebuilt, the code page stays
    EXPECT_EQ(&ClumClass::StaticGetMetaClass(), built);
    EXPECT_EQ(WString::GetLocalePage(), 437u);
    FinalizeLUM();  // one start still open
    std::unique_ptr<ClumVellumEntity> object(ClumClassFactory::MakeClass(L"Class"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(&object->GetMetaClass(), built);
    object.reset();
    FinalizeLUM();
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
    EXPECT_EQ(Provider().GetMetaClass(ClumIdent(L"Class")), nullptr);
    FinalizeLUM();    // unbalanced: counted below zero
    InitializeLUM();  // back to zero, not a first start
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
    InitializeLUM();
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 144u);
    EXPECT_EQ(&ClumClass::StaticGetMetaClass(), Provider().GetMetaClass(ClumIdent(L"Class")));
    FinalizeLUM();
    WString::SetLocalePage(savedPage);
}

using Metamodel = test::LumTest;

// The class and its ancestors, read from m_bases by hand.
std::vector<const ClumMetaClass*> ChainOf(const ClumMetaClass* metaClass) {
    std::vector<const ClumMetaClass*> chain;
    for (; metaClass != nullptr; metaClass = metaClass->m_bases.empty() ? nullptr : metaClass->m_bases.front())
        chain.push_back(metaClass);
    return chain;
}

TEST_F(Metamodel, EveryClassAndFeatureAsGenericCodeSeesIt) {
    const unsigned classCount = Provider().GetNumberOfMetaClasses();
    for (unsigned i = 0; i < Provider().GetNumberOfMetaFeatures(); ++i) {
        ASSERT_NE(Provider().GetMetaFeature(i), nullptr) << i;
        EXPECT_EQ(Provider().GetMetaFeature(i)->GetIndex(), i);
    }
    int concrete = 0;
    for (unsigned c = 0; c < classCount; ++c) {
        const ClumMetaClass* metaClass = Provider().GetMetaClass(c);
        ASSERT_NE(metaClass, nullptr);
        const std::vector<const ClumMetaClass*> chain = ChainOf(metaClass);
        for (unsigned o = 0; o < classCount; ++o) {
            const ClumMetaClass* other = Provider().GetMetaClass(o);
            EXPECT_EQ(metaClass->IsKindOf(other), std::count(chain.begin(), chain.end(), other) == 1)
                << Text(metaClass->GetName()) << " " << Text(other->GetName());
        }
        if (metaClass->m_pfnCreate == nullptr) continue;
        ++concrete;
        std::unique_ptr<ClumVellumEntity> object(ClumClassFactory::MakeClass(WString(metaClass->GetName().c_str())));
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(&object->GetMetaClass(), metaClass);
        EXPECT_EQ(object->Owner(), nullptr);
        // Own features, then inherited ones nearest first; links among them listed apart.
        std::vector<const ClumMetaFeature*> expected, links;
        for (const ClumMetaClass* level : chain) {
            for (const ClumMetaFeature* feature : level->m_ownFeatures) {
                expected.push_back(feature);
                if (feature->GetKind() == ClumMetaFeature::eLink) links.push_back(feature);
            }
        }
        EXPECT_EQ(metaClass->m_allFeatures, expected) << Text(metaClass->GetName());
        EXPECT_EQ(metaClass->m_linkFeatures, links) << Text(metaClass->GetName());
        for (const ClumMetaFeature* feature : metaClass->m_allFeatures) {
            SCOPED_TRACE(Text(metaClass->GetName()) + L"::" + Text(feature->GetName()));
            IlumFeature* member = feature->m_pfnGetFeature(object.get());
            ASSERT_NE(member, nullptr);
            EXPECT_EQ(object->GetFeature(feature->GetName()), member);
            EXPECT_EQ(member->GetMetaFeature(), feature);
            EXPECT_EQ(member->GetOwner(), object.get());
            EXPECT_EQ(member->GetAttribute() != nullptr, feature->GetKind() == ClumMetaFeature::eAttribute);
            EXPECT_EQ(member->GetReference() != nullptr, feature->GetKind() == ClumMetaFeature::eReference);
            EXPECT_EQ(member->GetLink() != nullptr, feature->GetKind() == ClumMetaFeature::eLink);
            if (feature->GetKind() != ClumMetaFeature::eLink) continue;
            // A child of the first concrete class the link accepts, in through the forwarders.
            const ClumMetaClass* childClass = nullptr;
            for (unsigned k = 0; k < classCount && childClass == nullptr; ++k) {
                const ClumMetaClass* candidate = Provider().GetMetaClass(k);
                if (candidate->m_pfnCreate != nullptr && candidate->IsKindOf(feature->GetType())) childClass = candidate;
            }
            ASSERT_NE(childClass, nullptr);
            ClumVellumEntity* first = childClass->m_pfnCreate();
            ClumVellumEntity* second = childClass->m_pfnCreate();
            feature->m_pfnLinkInsert(object.get(), first, -1);
            feature->m_pfnLinkInsert(object.get(), second, 0);
            EXPECT_EQ(feature->m_pfnLinkSize(object.get()), 2);
            EXPECT_EQ(feature->m_pfnLinkGetAt(object.get(), 0), second);
            EXPECT_EQ(feature->m_pfnLinkIndexOf(object.get(), first), 1);
            EXPECT_EQ(first->OwningFeature(), member);
            EXPECT_EQ(feature->m_pfnLinkRemoveAt(object.get(), 0), second);
            EXPECT_EQ(second->Owner(), nullptr);
            delete second;  // `first` goes with the object
        }
        EXPECT_EQ(object->GetFeature(ClumIdent(L"Name")), nullptr);  // keywords are case-sensitive
    }
    EXPECT_EQ(concrete, 117);
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(Metamodel, TheFactoryRefusesAbstractAndUnknownClassesByName) {
    for (const wchar_t* keyword : {L"QuidObject", L"class", L"Class ", L""}) {
        EXPECT_EQ(ClumClassFactory::MakeClass(keyword), nullptr) << keyword;
    }
    EXPECT_EQ(Messages(), (Strings{L"Could not create class 'QuidObject'. This class is an abstract.",
                                   L"Could not create class 'class'. No metaclass found with such a name",
                                   L"Could not create class 'Class '. No metaclass found with such a name",
                                   L"Could not create class ''. No metaclass found with such a name"}));
}

}  // namespace
}  // namespace lum
