// The composite filter: combination and short-circuiting of the answers,
// access to its filters and ownership of them.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

// Answers a fixed value, noting its id in `asked` and its deletion in `deleted`.
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

using Operation = ClumCompositeFilter::Operation;

class CompositeFilterTest : public TraverseTest {
protected:
    // Filters 1, 2, ... answering `answers` in that order.
    ClumCompositeFilter Make(Operation operation, const std::vector<bool>& answers) {
        ClumCompositeFilter composite(operation);
        for (std::size_t i = 0; i < answers.size(); ++i)
            composite.Add(new Recording(answers[i], static_cast<int>(i) + 1, asked, deleted));
        return composite;
    }

    // The answer to the object question; the feature question must get the
    // same answer from the same filters.
    bool Answer(ClumCompositeFilter& composite) {
        asked.clear();
        const bool forObject = composite.IsEnabled(nullptr);
        const std::vector<int> askedForObject = asked;
        asked.clear();
        const ClumMetaClass& metaClass = ClumClass::StaticGetMetaClass();
        EXPECT_EQ(composite.IsEnabled(metaClass, *metaClass.m_allFeatures.front()), forObject);
        EXPECT_EQ(asked, askedForObject);
        return forObject;
    }

    std::vector<int> asked;
    int deleted = 0;
};

TEST_F(CompositeFilterTest, EmptyDisablesAndOneFilterDecidesAlone) {
    const auto unknown = static_cast<Operation>(3);  // within the enumeration's range
    for (Operation operation : {ClumCompositeFilter::eAnd, ClumCompositeFilter::eOr, ClumCompositeFilter::eXor, unknown}) {
        ClumCompositeFilter empty(operation);
        EXPECT_FALSE(Answer(empty)) << operation;
        for (bool answer : {true, false}) {
            ClumCompositeFilter one = Make(operation, {answer});
            EXPECT_EQ(Answer(one), answer) << operation;
        }
    }
    // Two filters under an operation the composite does not know: none is asked.
    ClumCompositeFilter two = Make(unknown, {true, true});
    EXPECT_FALSE(Answer(two));
    EXPECT_TRUE(asked.empty());
}

TEST_F(CompositeFilterTest, StopsAtTheFirstDecidingAnswer) {
    struct Case {
        Operation operation;
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
        {ClumCompositeFilter::eXor, {false, false, false}, false, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        ClumCompositeFilter composite = Make(c.operation, c.answers);
        EXPECT_EQ(Answer(composite), c.expected) << "case " << &c - cases.data();
        EXPECT_EQ(asked, c.asked) << "case " << &c - cases.data();
    }

    ClumCompositeFilter composite = Make(ClumCompositeFilter::eAnd, {true, false});
    composite.SetOperation(ClumCompositeFilter::eOr);
    EXPECT_EQ(composite.GetOperation(), ClumCompositeFilter::eOr);
    EXPECT_TRUE(Answer(composite));
}

TEST_F(CompositeFilterTest, GetAndRemoveGiveFiltersBackWithoutDeleting) {
    ClumCompositeFilter composite = Make(ClumCompositeFilter::eAnd, {true, true, true});
    composite.Add(nullptr);
    ASSERT_EQ(composite.Count(), 3u);
    IlumFilter* first = composite.Get(0);
    IlumFilter* second = composite.Get(1);
    IlumFilter* third = composite.Get(2);
    EXPECT_EQ(composite.Get(composite.Count()), nullptr);

    ClumEnableAllFilter stranger;
    composite.Remove(composite.Count());
    composite.Remove(&stranger);
    EXPECT_EQ(composite.Count(), 3u);

    composite.Remove(second);
    composite.Remove(0u);
    EXPECT_EQ(deleted, 0);
    ASSERT_EQ(composite.Count(), 1u);
    EXPECT_EQ(composite.Get(0), third);
    delete first;
    delete second;
}

TEST_F(CompositeFilterTest, DeletesOwnedFiltersExactlyOnceAlsoAfterMoves) {
    {
        ClumCompositeFilter composite = Make(ClumCompositeFilter::eOr, {true, false});
        composite.Add(new ClumCompositeFilter(Make(ClumCompositeFilter::eAnd, {true})));  // owned like any filter
    }
    EXPECT_EQ(deleted, 3);

    deleted = 0;
    {
        ClumCompositeFilter source = Make(ClumCompositeFilter::eXor, {true, false});
        ClumCompositeFilter moved(std::move(source));
        ClumCompositeFilter target = Make(ClumCompositeFilter::eAnd, {false});
        target = std::move(moved);
        EXPECT_EQ(deleted, 1);  // the target's own filter
        EXPECT_EQ(target.Count(), 2u);
        EXPECT_EQ(target.GetOperation(), ClumCompositeFilter::eXor);
        EXPECT_TRUE(Answer(target));
    }
    EXPECT_EQ(deleted, 3);
}

}  // namespace
}  // namespace lum::test
