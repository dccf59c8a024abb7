// What the object model costs in memory: feature members are small, a new
// object is one allocation, and a link with a single child needs no
// container of its own. Allocations are counted by replacing the global
// operator new for this test program; it counts only while a test asks it to.

#include <cstdlib>
#include <new>

#include "meta/meta_fixture.h"

namespace {

bool g_bCounting = false;
std::size_t g_nAllocations = 0;

// Counts the allocations made while it lives.
class AllocationCounter {
public:
    AllocationCounter()
    {
        g_nAllocations = 0;
        g_bCounting = true;
    }
    ~AllocationCounter() { g_bCounting = false; }
    std::size_t Count() const { return g_nAllocations; }
};

}  // namespace

// The replacements hand out malloc blocks and free them again, which some
// compilers take for a mismatch once they inline these into the tests.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size)
{
    if (g_bCounting) ++g_nAllocations;
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace lum::test {
namespace {

constexpr std::size_t kWord = sizeof(void*);

static_assert(sizeof(decltype(ClumClass::superclasses)) == 2 * kWord, "a link is a vtable pointer and one word");
static_assert(sizeof(decltype(ClumClass::space)) <= 2 * kWord, "a text attribute holds a pointer until set");
static_assert(sizeof(decltype(ClumClass::nonclass)) <= 2 * kWord);
static_assert(sizeof(decltype(ClumClass::module)) <= 2 * kWord, "a list reference holds a pointer until used");
static_assert(sizeof(decltype(ClumStructuralFeature::type)) <= 2 * kWord);

using Footprint = MetamodelTest;

TEST_F(Footprint, ANewObjectIsASingleAllocation)
{
    for (const ClumMetaClass* metaClass : ConcreteClasses()) {
        ClumVellumEntity* object = nullptr;
        std::size_t allocations = 0;
        {
            AllocationCounter counter;
            object = metaClass->m_pfnCreate();
            allocations = counter.Count();
        }
        EXPECT_EQ(allocations, 1u) << Describe(*metaClass);
        delete object;
    }
}

TEST_F(Footprint, ALinkHoldsOneChildWithoutAllocating)
{
    ClumClass owner;
    ClumOperation* first = new ClumOperation;
    ClumOperation* second = new ClumOperation;
    {
        AllocationCounter counter;
        owner.operations.Insert(first, -1);
        EXPECT_EQ(owner.operations.GetSize(), 1);
        EXPECT_EQ(owner.operations.IndexOf(first), 0);
        EXPECT_EQ(owner.operations.Get(0), first);
        EXPECT_EQ(counter.Count(), 0u);
    }
    {
        AllocationCounter counter;
        owner.operations.Insert(second, -1);
        EXPECT_GT(counter.Count(), 0u);  // from the second child on, a vector
    }
    EXPECT_EQ(owner.operations.GetSize(), 2);
    EXPECT_EQ(first->Owner(), &owner);
    EXPECT_EQ(second->Owner(), &owner);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace lum::test
