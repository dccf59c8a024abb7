// Choosing among several candidates by their distance from the referring
// object, and the report of a tie.

#include <map>

#include "resolve/resolve_fixture.h"

namespace lum::test {
namespace {

using RankingTest = ResolveTest;

// Where a candidate sits relative to the referring role "owner":
//   Model > Logical View > Geo > { Other > cousin,  Holds > { owner > child, sibling } }
// and a class in a model collected before, unrelated to the owner.
enum Place { Self, Sibling, Child, Container, Grandparent, GreatGrandparent, Cousin, Unrelated };

struct Case {
    std::vector<Place> holders;  // the objects that carry the quid "Q"
    int winner;                  // index into holders; -1 for a tie
};

TEST_F(RankingTest, NearestCandidateWins) {
    const Case cases[] = {
        {{Cousin, Sibling}, 1},           // sibling 0 beats a candidate in another branch (2)
        {{Cousin, Child}, 1},             // a child scores 1
        {{Child, Sibling}, 1},
        {{Child, Self}, 1},               // the owner itself scores 0
        {{Child, Grandparent}, 1},        // the grandparent scores 0
        {{Unrelated, Cousin}, 1},         // no relation comes after every score
        {{Cousin, Container}, 0},         // the owner's own container counts as no relation
        {{Sibling, Grandparent}, -1},
        {{Container, Unrelated}, -1},
        {{Child, GreatGrandparent}, -1},  // both 1
    };
    for (const Case& c : cases) {
        const auto quid = [&](Place place) {
            return std::find(c.holders.begin(), c.holders.end(), place) != c.holders.end() ? L"Q" : L"";
        };
        ClumNameResolver local;
        ClumClass_Category* elsewhere = NewModel(L"Elsewhere");
        std::map<Place, const ClumVellumEntity*> at;
        at[Unrelated] = Class(elsewhere, L"Stray", quid(Unrelated));
        ClumClass_Category* root = NewModel(L"Logical View", quid(GreatGrandparent));
        at[GreatGrandparent] = root;
        ClumClass_Category* geo = Category(root, L"Geo", quid(Grandparent));
        at[Grandparent] = geo;
        auto* other = Add(geo->logical_models, Make<ClumAssociation>(L"Other"));
        at[Cousin] = Role(other, L"cousin", L"", L"", quid(Cousin));
        auto* holds = Add(geo->logical_models, Make<ClumAssociation>(L"Holds", quid(Container)));
        at[Container] = holds;
        ClumRole* owner = Role(holds, L"owner", L"", L"Q", quid(Self));
        at[Self] = owner;
        at[Child] = Add(owner->keys, Make<ClumClassAttribute>(L"child", quid(Child)));
        at[Sibling] = Role(holds, L"sibling", L"", L"", quid(Sibling));

        References unresolved;
        local.CollectAndBind(Top(elsewhere), unresolved);
        local.CollectAndBind(Top(root), unresolved);
        if (c.winner >= 0) {
            EXPECT_EQ(owner->quidu.GetTarget(-1), at[c.holders[c.winner]]) << "case " << &c - cases;
            EXPECT_EQ(unresolved, References{});
            EXPECT_EQ(Messages(), Strings{});
        } else {
            EXPECT_EQ(owner->quidu.GetTarget(-1), nullptr) << "case " << &c - cases;
            EXPECT_EQ(unresolved, References{&owner->quidu});
            EXPECT_EQ(Messages().size(), 3u);  // the reference, then both candidates
        }
        errors.clear();
        models.clear();
    }
}

// Three objects share the path Logical View::Geo::Dup; the reference sits in
// the first, its own container, which ranks after the other two.
TEST_F(RankingTest, TieIsReportedWithTheCandidatesInRankOrder) {
    const Strings candidates = {
        L"    Candidate 'Association Model::Logical View::Geo::Dup'",
        L"    Candidate 'Class_Utility Model::Logical View::Geo::Dup'",
    };
    const auto build = [&](const wchar_t* exceptions) {
        models.clear();
        resolver.ClearCaches();
        ClumClass_Category* geo = Category(NewModel(), L"Geo");
        ClumClass* dup = Class(geo, L"Dup");
        Add(geo->logical_models, Make<ClumAssociation>(L"Dup"));
        Add(geo->logical_models, Make<ClumClass_Utility>(L"Dup"));
        if (exceptions == nullptr) return static_cast<IlumReference*>(&Attribute(dup, L"Logical View::Geo::Dup")->type);
        auto* operation = Add(dup->operations, Make<ClumOperation>());  // an empty name still counts in the path
        Write(operation->exceptions, exceptions);
        return static_cast<IlumReference*>(&operation->exceptions);
    };

    IlumReference* type = build(nullptr);
    EXPECT_EQ(Bind(type->GetOwner()), References{type});
    EXPECT_EQ(type->GetTarget(-1), nullptr);
    Strings expected = {L"Name resolution: several matches for reference 'Logical View::Geo::Dup' from "
                        L"'StructuralFeature::type' in context 'Model::Logical View::Geo::Dup::a'"};
    expected.insert(expected.end(), candidates.begin(), candidates.end());
    EXPECT_EQ(Messages(), expected);
    errors.clear();

    // A list names all its values in the report, whichever of them is ambiguous.
    IlumReference* exceptions = build(L"Missing, Logical View::Geo::Dup");
    EXPECT_EQ(Bind(exceptions->GetOwner()), References{exceptions});
    expected[0] = L"Name resolution: several matches for reference 'Missing,Logical View::Geo::Dup' from "
                  L"'Operation::exceptions' in context 'Model::Logical View::Geo::Dup::'";
    EXPECT_EQ(Messages(), expected);
}

}  // namespace
}  // namespace lum::test
