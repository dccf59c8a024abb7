// The tree remover: whole trees go without recursion, a root is taken out
// of its owner first, and overlapping roots cost each object one deletion.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

using CountedClass = Counted<ClumClass>;

constexpr int kDepth = 1000000;

// A class nesting a class nesting a class ... `depth` levels below the root.
ClumClass* Chain(int depth, int& deleted) {
    ClumClass* root = new CountedClass(deleted);
    ClumClass* last = root;
    for (int i = 0; i < depth; ++i) last = Add(last->nestedClasses, new CountedClass(deleted));
    return root;
}

using TreeRemoverTest = TraverseTest;

TEST_F(TreeRemoverTest, DeletesAChainAMillionDeep) {
    int deleted = 0;
    TreeRemover().DeleteTree(Chain(kDepth, deleted));
    EXPECT_EQ(deleted, kDepth + 1);
}

TEST_F(TreeRemoverTest, PlainDeleteOfAChainAMillionDeepFinishesToo) {
    int deleted = 0;
    delete Chain(kDepth, deleted);
    EXPECT_EQ(deleted, kDepth + 1);
}

TEST_F(TreeRemoverTest, SubtreeIsTakenOutOfItsOwnerFirst) {
    int deleted = 0;
    ClumClass parent;
    ClumClass* a = Add(parent.nestedClasses, Named(new CountedClass(deleted), L"a"));
    ClumClass* b = Add(parent.nestedClasses, Named(new CountedClass(deleted), L"b"));
    Add(a->nestedClasses, new CountedClass(deleted));
    Add(parent.operations, new Counted<ClumOperation>(deleted));

    TreeRemover remover;
    remover.DeleteTree(a);
    EXPECT_EQ(deleted, 2);
    ASSERT_EQ(parent.nestedClasses.GetSize(), 1);
    EXPECT_EQ(parent.nestedClasses.Get(0), b);
    EXPECT_EQ(b->Owner(), &parent);

    // The same remover serves again; null is ignored.
    remover.DeleteTree(nullptr);
    remover.DeleteTree(b);
    EXPECT_EQ(deleted, 3);
    EXPECT_TRUE(parent.nestedClasses.IsEmpty());
    EXPECT_EQ(parent.operations.GetSize(), 1);
}

TEST_F(TreeRemoverTest, RepeatedAndNestedRootsAreDeletedOnce) {
    // parent holds x (holding x1, which holds x2) and y; each case names
    // some of them (by position; -1 for null) as roots.
    struct Case {
        std::vector<int> roots;
        int deleted;
        int leftInParent;
    };
    const std::vector<Case> cases{
        {{0, 0}, 3, 1},           // x twice
        {{0, 1, 3}, 4, 0},        // x1 inside x
        {{2, 0, 3, 0}, 4, 0},     // x2 before the x that holds it
        {{1, 2, -1}, 2, 2},       // x1 and x2 inside it, and null; x stays
        {{3, 3, 3}, 1, 1},        // y thrice
    };
    for (const Case& c : cases) {
        int deleted = 0;
        ClumClass parent;
        ClumClass* x = Add(parent.nestedClasses, new CountedClass(deleted));
        ClumClass* x1 = Add(x->nestedClasses, new CountedClass(deleted));
        ClumClass* x2 = Add(x1->nestedClasses, new CountedClass(deleted));
        ClumClass* y = Add(parent.nestedClasses, new CountedClass(deleted));
        const std::vector<ClumVellumEntity*> objects{x, x1, x2, y};

        std::vector<ClumVellumEntity*> roots;
        for (int i : c.roots) roots.push_back(i < 0 ? nullptr : objects[i]);
        const std::vector<ClumVellumEntity*> given = roots;
        TreeRemover().DeleteRoots(roots);

        EXPECT_EQ(deleted, c.deleted) << "case " << &c - &cases[0];
        EXPECT_EQ(roots, given) << "case " << &c - &cases[0];
        EXPECT_EQ(parent.nestedClasses.GetSize(), c.leftInParent) << "case " << &c - &cases[0];
    }
}

}  // namespace
}  // namespace lum::test
