// The composite filter: combination of the answers, short-circuiting,
// access to its filters and ownership of them.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

// Answers a fixed value to both questions, noting its id in `asked` each
// time it is asked and counting its deletions in `deleted`.
struct Recording : IlumFilter {
    Recording(bool answer_, int id_, std::vector<int>& asked_, int& deleted_)
        : answer(answer_), id(id_), asked(asked_), deleted(deleted_) {}
    ~Recording() override { ++deleted; }
    bool IsEnabled(const ClumMetaClass&, const ClumMetaFeature&) override { return Note(); }
    bool IsEnabled(const ClumVellumEntity*) override { return Note(); }
    bool Note() {
        asked.push_back(id);
        return answer;
    }
    bool answer;
    int id;
    std::vector<int>& asked;
    int& deleted;
};

class CompositeFilterTest : public TraverseTest {
protected:
    // A composite of filters 1, 2, ... answering `answers` in that order.
    ClumCompositeFilter Make(ClumCompositeFilter::Operation operation, std::vector<bool> answers) {
        ClumCompositeFilter composite(operation);
        for (bool answer : answers) composite.Add(new Recording(answer, ++ids, asked, deleted));
        ids = 0;
        return composite;
    }

    // The composite's answer to the object question, which must equal its
    // answer to the feature question, asked of the same filters.
    bool Answer(ClumCompositeFilter& composite) {
        asked.clear();
        const bool forObject = composite.IsEnabled(&object);
        const std::vector<int> askedForObject = asked;
        asked.clear();
        const ClumMetaClass& metaClass = ClumClass::StaticGetMetaClass();
        const bool forFeature = composite.IsEnabled(metaClass, *metaClass.m_allFeatures.front());
        EXPECT_EQ(forObject, forFeature);
        EXPECT_EQ(askedForObject, asked);
        return forObject;
    }

    ClumClass object;
    std::vector<int> asked;
    int deleted = 0;
    int ids = 0;
};

using Ops = std::vector<ClumCompositeFilter::Operation>;
const Ops kAllOperations{ClumCompositeFilter::eAnd, ClumCompositeFilter::eOr, ClumCompositeFilter::eXor};

TEST_F(CompositeFilterTest, EmptyDisablesAndOneFilterDecidesAlone) {
    for (auto operation : kAllOperations) {
        ClumCompositeFilter empty(operation);
        EXPECT_FALSE(Answer(empty)) << operation;
        for (bool answer : {true, false}) {
            ClumCompositeFilter one = Make(operation, {answer});
            EXPECT_EQ(Answer(one), answer) << operation;
        }
    }
    // Even an operation the composite does not know: one filter still
    // decides; two are not asked at all.
    const auto unknown = static_cast<ClumCompositeFilter::Operation>(7);
    ClumCompositeFilter one = Make(unknown, {true});
    EXPECT_TRUE(Answer(one));
    ClumCompositeFilter two = Make(unknown, {true, true});
    EXPECT_FALSE(Answer(two));
    EXPECT_TRUE(asked.empty());
}

TEST_F(CompositeFilterTest, StopsAtTheFirstDecidingAnswer) {
    struct Case {
        ClumCompositeFilter::Operation operation;
        std::vector<bool> answers;
        bool expected;
        std::vector<int> asked;
    };
    const std::vector<Case> cases{
        {ClumCompositeFilter::eAnd, {true, false, true}, false, {1, 2}},
        {ClumCompositeFilter::eAnd, {true, true, true}, true, {1, 2, 3}},
        {ClumCompositeFilter::eOr, {false, true, false}, true, {1, 2}},
        {ClumCompositeFilter::eOr, {false, false}, false, {1, 2}},
        {ClumCompositeFilter::eXor, {true, true, true}, false, {1, 2}},
        {ClumCompositeFilter::eXor, {false, true, true}, false, {1, 2, 3}},
        {ClumCompositeFilter::eXor, {false, false, true}, true, {1, 2, 3}},
        {ClumCompositeFilter::eXor, {true, false, false}, true, {1, 2, 3}},
        {ClumCompositeFilter::eXor, {false, false, false}, false, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        ClumCompositeFilter composite = Make(c.operation, c.answers);
        EXPECT_EQ(Answer(composite), c.expected) << "operation " << c.operation << ", case " << (&c - &cases[0]);
        EXPECT_EQ(asked, c.asked) << "operation " << c.operation << ", case " << (&c - &cases[0]);
    }
}

TEST_F(CompositeFilterTest, OperationCanBeReplaced) {
    ClumCompositeFilter composite = Make(ClumCompositeFilter::eAnd, {true, false});
    EXPECT_EQ(composite.GetOperation(), ClumCompositeFilter::eAnd);
    EXPECT_FALSE(Answer(composite));
    composite.SetOperation(ClumCompositeFilter::eOr);
    EXPECT_EQ(composite.GetOperation(), ClumCompositeFilter::eOr);
    EXPECT_TRUE(Answer(composite));
}

TEST_F(CompositeFilterTest, GetAndRemoveByIndexOrPointer) {
    ClumCompositeFilter composite = Make(ClumCompositeFilter::eAnd, {true, true, true});
    composite.Add(nullptr);
    ASSERT_EQ(composite.Count(), 3u);
    IlumFilter* first = composite.Get(0);
    IlumFilter* second = composite.Get(1);
    IlumFilter* third = composite.Get(2);
    EXPECT_EQ(composite.Get(composite.Count()), nullptr);

    composite.Remove(composite.Count());
    ClumEnableAllFilter stranger;
    composite.Remove(&stranger);
    EXPECT_EQ(composite.Count(), 3u);

    composite.Remove(second);  // given back, not deleted
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(composite.Count(), 2u);
    EXPECT_EQ(composite.Get(0), first);
    EXPECT_EQ(composite.Get(1), third);
    delete second;

    composite.Remove(0u);
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(composite.Count(), 1u);
    EXPECT_EQ(composite.Get(0), third);
    delete first;
}

TEST_F(CompositeFilterTest, DeletesOwnedFiltersExactlyOnceAlsoAfterMoves) {
    {
        ClumCompositeFilter composite = Make(ClumCompositeFilter::eOr, {true, false});
        // A nested composite is owned like any filter.
        ClumCompositeFilter* inner = new ClumCompositeFilter(Make(ClumCompositeFilter::eAnd, {true}));
        composite.Add(inner);
    }
    EXPECT_EQ(deleted, 3);

    deleted = 0;
    {
        ClumCompositeFilter source = Make(ClumCompositeFilter::eXor, {true, false});
        ClumCompositeFilter moved(std::move(source));
        EXPECT_EQ(moved.Count(), 2u);
        EXPECT_EQ(moved.GetOperation(), ClumCompositeFilter::eXor);
        EXPECT_TRUE(Answer(moved));

        ClumCompositeFilter target = Make(ClumCompositeFilter::eAnd, {false});
        target = std::move(moved);  // the target's own filter goes
        EXPECT_EQ(deleted, 1);
        EXPECT_EQ(target.Count(), 2u);
        EXPECT_EQ(target.GetOperation(), ClumCompositeFilter::eXor);
    }
    EXPECT_EQ(deleted, 3);
}

}  // namespace
}  // namespace lum::test
