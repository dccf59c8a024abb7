// The resolver's lookups and the life of its indexes across calls.

#include "resolve/resolve_fixture.h"

namespace lum::test {
namespace {

using IndexTest = ResolveTest;

TEST_F(IndexTest, NameLookupsMatchWholePaths) {
    ClumClass_Category* root = NewModel();
    ClumClass_Category* geo = Category(root, L"Geo");
    ClumClass* point = Class(geo, L"Point", L"Q-POINT");
    ClumClassView* view = View(geo, L"Logical View::Geo::Point", L"@1");
    auto* loose = Make<ClumClass_Category>(L"Loose");  // collected as a root of its own
    models.emplace_back(loose);
    Bind(root);
    Bind(loose);

    EXPECT_EQ(resolver.GetEntitiesWithName(ClumIdent(L"Logical View")), Entities{root});
    EXPECT_EQ(resolver.GetEntitiesWithName(ClumIdent(L"Loose")), Entities{loose});
    EXPECT_EQ(resolver.GetEntitiesWithName(ClumIdent(L"Model")), Entities{});  // designs have no path
    EXPECT_EQ(resolver.GetEntitiesWithName(WString(L"Logical View::Geo::Point")), (Entities{point, view}));
    EXPECT_EQ(resolver.GetEntitiesWithName(L"Logical View:Geo"), Entities{geo});
    EXPECT_EQ(resolver.GetEntitiesWithName(std::vector<ClumIdent>{L"Logical View", L"Geo"}), Entities{geo});
    EXPECT_EQ(resolver.GetEntitiesWithName(L"Geo::Point"), Entities{});
    EXPECT_EQ(resolver.GetEntitiesWithName(ClumIdent(L"Point")), Entities{});

    EXPECT_EQ(resolver.GetEntitiesWithQuid(ClumIdent(L"Q-POINT")), Entities{point});
    EXPECT_EQ(resolver.GetEntitiesWithQuid(ClumIdent(L"@1")), Entities{view});
    EXPECT_EQ(resolver.GetEntitiesWithQuid(ClumIdent(L"Q-NONE")), Entities{});
    EXPECT_EQ(resolver.GetReferringEntities(point), References{});
    EXPECT_EQ(resolver.GetReferringEntities(nullptr), References{});
}

// A path known only as the way to another object, asked for before the
// object of its own is collected.
TEST_F(IndexTest, AVectorHandedOutEmptyFollowsLaterObjects) {
    ClumClass_Category* first = NewModel(L"First");
    View(first, L"Shared::Geo::Point", L"Q-VIEW");
    Bind(first);
    const Entities& geo = resolver.GetEntitiesWithName(L"Shared::Geo");
    EXPECT_EQ(geo, Entities{});

    ClumClass_Category* shared = NewModel(L"Shared");
    ClumClass_Category* category = Category(shared, L"Geo");
    auto* user = Attribute(Class(shared, L"User"), L"Shared::Geo");
    EXPECT_EQ(Bind(shared), References{});
    EXPECT_EQ(geo, Entities{category});
    EXPECT_EQ(user->type.GetTarget(-1), category);
}

TEST_F(IndexTest, IndexesServeLaterCallsUntilCleared) {
    ClumClass_Category* shared = NewModel(L"Shared");
    ClumClass* point = Class(shared, L"Point", L"Q-POINT");
    ClumClass* user = Class(NewModel(L"Client"), L"User");
    auto* byName = Attribute(user, L"Shared::Point");
    auto* byQuid = Attribute(user, L"", L"Q-POINT");

    EXPECT_EQ(Bind(shared), References{});
    EXPECT_EQ(Bind(user), References{});
    EXPECT_EQ(byName->type.GetTarget(-1), point);
    EXPECT_EQ(byQuid->quidu.GetTarget(-1), point);
    const References& referrers = resolver.GetReferringEntities(point);
    EXPECT_EQ(referrers, (References{&byQuid->quidu, &byName->type}));
    // A later call adds to the vector already handed out.
    auto* later = Attribute(Class(NewModel(L"Later"), L"Late"), L"", L"Q-POINT");
    Bind(later);
    EXPECT_EQ(referrers, (References{&byQuid->quidu, &byName->type, &later->quidu}));

    const Entities& kept = resolver.GetEntitiesWithQuid(ClumIdent(L"Q-POINT"));
    Bind(shared);  // collected twice, listed twice
    EXPECT_EQ(kept, (Entities{point, point}));

    resolver.ClearCaches();
    EXPECT_EQ(resolver.GetEntitiesWithQuid(ClumIdent(L"Q-POINT")), Entities{});
    EXPECT_EQ(resolver.GetEntitiesWithName(L"Shared::Point"), Entities{});
    EXPECT_EQ(resolver.GetReferringEntities(point), References{});
    byName->type.Unbind(-1);
    byQuid->quidu.Unbind(-1);
    References unresolved = {nullptr};  // appended to, not cleared
    resolver.CollectAndBind(Top(user), unresolved);
    EXPECT_EQ(Sorted(unresolved), Sorted({nullptr, &byName->type, &byQuid->quidu}));
    EXPECT_EQ(Messages(), Strings{});

    // Twice collected, the same object is a tie with itself.
    Bind(shared);
    Bind(shared);
    EXPECT_EQ(Sorted(Bind(user)), Sorted({&byName->type, &byQuid->quidu}));
    EXPECT_EQ(Messages().size(), 6u);
}

TEST_F(IndexTest, FeatureQueryTellsWhetherTheSingleValueIsBound) {
    ClumClass_Category* root = NewModel();
    ClumClass* user = Class(root, L"User");
    auto* attribute = Attribute(user, L"Logical View::User");
    auto* operation = Add(user->operations, Make<ClumOperation>(L"op"));
    Write(operation->exceptions, L"Logical View::User");

    EXPECT_FALSE(resolver.CollectAndBind(static_cast<const IlumFeature*>(nullptr)));
    EXPECT_FALSE(resolver.CollectAndBind(&attribute->type));  // neither collects nor binds
    EXPECT_EQ(attribute->type.GetTarget(-1), nullptr);
    EXPECT_EQ(resolver.GetEntitiesWithName(L"Logical View::User"), Entities{});

    EXPECT_EQ(Bind(root), References{});
    EXPECT_TRUE(resolver.CollectAndBind(&attribute->type));
    EXPECT_FALSE(resolver.CollectAndBind(&operation->exceptions));  // a list has no value at -1
    EXPECT_FALSE(resolver.CollectAndBind(&user->name));
}

}  // namespace
}  // namespace lum::test
