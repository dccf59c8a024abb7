// InitializeLUM and FinalizeLUM are counted: only the first start builds the
// metamodel and only the balancing end frees it. These tests run without the
// fixture and expect to find no metamodel, since every other test leaves the
// process-wide count as it found it.

#include "meta/meta_fixture.h"

namespace lum::test {
namespace {

class Lifetime : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_nSavedPage = WString::GetLocalePage();
        ASSERT_EQ(Provider().GetNumberOfMetaClasses(), 0u) << "a metamodel is left over from another test";
    }
    void TearDown() override { WString::SetLocalePage(m_nSavedPage); }

    static bool HoldsFullMetamodel()
    {
        return Provider().GetNumberOfMetaClasses() == 144 && Provider().GetNumberOfMetaFeatures() == 345 &&
               Provider().GetMetaClass(143u) != nullptr;
    }

    unsigned m_nSavedPage = 0;
};

TEST_F(Lifetime, OnlyTheBalancingFinalizeFreesTheMetamodel)
{
    InitializeLUM();
    ASSERT_TRUE(HoldsFullMetamodel());
    const ClumMetaClass* built = Provider().GetMetaClass(53u);
    EXPECT_EQ(ClumClass::m_pMetaClass, built);

    InitializeLUM();  // only counted: nothing is rebuilt
    EXPECT_EQ(Provider().GetMetaClass(53u), built);
    EXPECT_EQ(ClumClass::m_pMetaClass, built);

    FinalizeLUM();  // one start still open
    ASSERT_TRUE(HoldsFullMetamodel());
    EXPECT_EQ(Provider().GetMetaClass(53u), built);
    std::unique_ptr<ClumVellumEntity> object(ClumClassFactory::MakeClass(L"Class"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(&object->GetMetaClass(), built);
    object.reset();

    FinalizeLUM();  // balancing: the provider is gone, a fresh one is empty
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
    EXPECT_EQ(Provider().GetNumberOfMetaFeatures(), 0u);
    EXPECT_EQ(Provider().GetMetaClass(ClumIdent(L"Class")), nullptr);

    InitializeLUM();  // builds anew and points the model classes at it
    ASSERT_TRUE(HoldsFullMetamodel());
    EXPECT_EQ(ClumClass::m_pMetaClass, Provider().GetMetaClass(53u));
    EXPECT_EQ(ClumVellumEntity::m_pMetaClass, Provider().GetMetaClass(0u));
    object.reset(ClumClassFactory::MakeClass(L"Class"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(&object->GetMetaClass(), Provider().GetMetaClass(53u));
    object.reset();
    FinalizeLUM();
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
}

TEST_F(Lifetime, FirstStartSetsTheCodePageLaterStartsLeaveIt)
{
    WString::SetLocalePage(65001);
    InitializeLUM();
    EXPECT_EQ(WString::GetLocalePage(), 1252u);
    WString::SetLocalePage(437);
    InitializeLUM();
    EXPECT_EQ(WString::GetLocalePage(), 437u);
    FinalizeLUM();
    FinalizeLUM();
    EXPECT_EQ(WString::GetLocalePage(), 437u);
}

TEST_F(Lifetime, AnUnbalancedFinalizeIsCountedToo)
{
    FinalizeLUM();  // nothing to free; the count goes below zero
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
    InitializeLUM();  // back to zero: not a first start
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
    InitializeLUM();
    EXPECT_TRUE(HoldsFullMetamodel());
    FinalizeLUM();
    EXPECT_EQ(Provider().GetNumberOfMetaClasses(), 0u);
}

}  // namespace
}  // namespace lum::test
