// The utility questions: short file names, names and quids, roles,
// abstractness, binary associations and the names of a line's ends.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

using U = ClumUtilityFunctions;

using UtilityFunctionsTest = TraverseTest;

TEST_F(UtilityFunctionsTest, ShortFileName) {
    const std::vector<std::pair<std::wstring, std::wstring>> cases{
        {L"C:\\m\\pkg.cat", L"pkg"},  {L"pkg.old.cat", L"pkg"},     {L"dir/f.cat", L"dir/f"},
        {L"name", L"name"},           {L".cat", L".cat"},           {L"", L""},
        {L"C:\\dir.d\\file", L"file"}, {L"\\pkg.cat", L"\\pkg"},    {L"dir\\", L""},
        {L"a", L"a"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(std::wstring(U::GetShortFileName(path)), expected) << path;
}

TEST_F(UtilityFunctionsTest, NamesAndQuids) {
    ClumClass named;
    const ClumVellumEntity& constNamed = named;
    ClumFont font;  // has neither name nor quid
    EXPECT_NE(U::IsNamedObject(&named), nullptr);
    EXPECT_EQ(U::IsNamedObject(&named), U::IsNamedObject(&constNamed));
    EXPECT_FALSE(U::HasName(&named));
    EXPECT_EQ(Text(U::GetName(&named)), L"");
    named.name.Set(L"Customer");
    EXPECT_TRUE(U::HasName(&named));
    EXPECT_EQ(Text(U::GetName(&named)), L"Customer");

    EXPECT_EQ(U::IsNamedObject(&font), nullptr);
    EXPECT_FALSE(U::HasName(&font));
    EXPECT_EQ(Text(U::GetName(&font)), L"");
    EXPECT_EQ(U::IsNamedObject(static_cast<ClumVellumEntity*>(nullptr)), nullptr);
    EXPECT_EQ(Text(U::GetName(nullptr)), L"");

    EXPECT_NE(U::IsQuidObject(&constNamed), nullptr);
    EXPECT_FALSE(U::HasQuid(&named));
    named.quid.Set(L"4C1B0A7E0011");
    EXPECT_TRUE(U::HasQuid(&named));
    EXPECT_EQ(Text(U::GetQuid(&named)), L"4C1B0A7E0011");
    EXPECT_EQ(U::IsQuidObject(&font), nullptr);
    EXPECT_FALSE(U::HasQuid(&font));
    EXPECT_FALSE(U::HasQuid(nullptr));
    EXPECT_EQ(Text(U::GetQuid(&font)), L"");
}

TEST_F(UtilityFunctionsTest, RolesAssociationsAndAbstractness) {
    ClumRole role;
    EXPECT_FALSE(U::IsAggregate(&role));
    EXPECT_FALSE(U::IsNavigable(&role));
    role.is_aggregate.Set(true);
    EXPECT_TRUE(U::IsAggregate(&role));
    EXPECT_FALSE(U::IsNavigable(&role));
    role.is_navigable.Set(true);
    EXPECT_TRUE(U::IsNavigable(&role));
    EXPECT_FALSE(U::IsAggregate(nullptr));
    EXPECT_FALSE(U::IsNavigable(nullptr));

    ClumAssociation association;
    std::vector<bool> binary;
    for (int roles = 0; roles < 4; ++roles) {
        binary.push_back(U::IsBinaryAssociation(&association));
        Add(association.roles, new ClumRole);
    }
    EXPECT_EQ(binary, (std::vector<bool>{false, false, true, false}));
    EXPECT_FALSE(U::IsBinaryAssociation(nullptr));

    ClumClass cls;
    ClumMetaclass derived;  // a kind of class
    ClumUseCase useCase;
    ClumOperation operation;  // has an "abstract" feature, but is neither
    EXPECT_FALSE(U::IsAbstract(&cls));
    EXPECT_FALSE(U::IsAbstract(&useCase));
    cls.abstract.Set(true);
    derived.abstract.Set(true);
    useCase.abstract.Set(true);
    operation.abstract.Set(true);
    EXPECT_TRUE(U::IsAbstract(&cls));
    EXPECT_TRUE(U::IsAbstract(&derived));
    EXPECT_TRUE(U::IsAbstract(&useCase));
    EXPECT_FALSE(U::IsAbstract(&operation));
    EXPECT_FALSE(U::IsAbstract(nullptr));
}

using EndNames = std::pair<std::wstring, std::wstring>;
const EndNames kUnchanged{L"unchanged", L"unchanged"};

// The end names of `line`, starting from "unchanged" on both sides.
EndNames Ends(const ClumVellumEntity* line) {
    ClumIdent client(kUnchanged.first.c_str()), supplier(kUnchanged.second.c_str());
    U::GetLineEndNames(line, client, supplier);
    return {Text(client), Text(supplier)};
}

// A class view with the given labels.
ClumClassView* View(std::initializer_list<const wchar_t*> labels) {
    auto* view = new ClumClassView;
    for (const wchar_t* text : labels) Add(view->label, new ClumItemLabel)->label.Set(text);
    return view;
}

TEST_F(UtilityFunctionsTest, LineEndsWithoutClientAreLeftAlone) {
    ClumAssociationViewNew line;
    EXPECT_EQ(Ends(&line), kUnchanged);
    line.supplier.DecodeReference(L"S");
    line.quidu.DecodeReference(L"Q");
    EXPECT_EQ(Ends(&line), kUnchanged);
    EXPECT_EQ(Ends(nullptr), kUnchanged);
}

TEST_F(UtilityFunctionsTest, DirectEndsGiveWrittenTextOrTheOneLabel) {
    ClumAssociationViewNew line;
    line.client.DecodeReference(L"@11");
    line.supplier.DecodeReference(L"Pkg::Item");
    EXPECT_EQ(Ends(&line), EndNames(L"@11", L"Pkg::Item"));

    std::unique_ptr<ClumClassView> oneLabel(View({L"Book"}));
    std::unique_ptr<ClumClassView> twoLabels(View({L"Item", L"Other"}));
    line.client.BindTo(oneLabel.get(), -1);
    line.supplier.BindTo(twoLabels.get(), -1);
    EXPECT_EQ(Ends(&line), EndNames(L"Book", L"Pkg::Item"));

    // A bound object that is not a symbol: the written text still.
    ClumClass target;
    line.client.BindTo(Named(&target, L"Target"), -1);
    EXPECT_EQ(Ends(&line), EndNames(L"@11", L"Pkg::Item"));
}

TEST_F(UtilityFunctionsTest, IndirectEndsGiveTheBoundObjectsName) {
    ClumClass source, target, other;
    Named(&source, L"Src");
    Named(&target, L"Dst");
    Named(&other, L"Other");
    std::unique_ptr<ClumClassView> labelled(View({L"Shown"}));

    ClumObject_Flow flow;
    flow.client_quidu.DecodeReference(L"quid1");
    flow.supplier_quidu.DecodeReference(L"quid2");
    flow.quidu.DecodeReference(L"quid3");
    EXPECT_EQ(Ends(&flow), EndNames(L"", L""));  // unbound: no names
    flow.client_quidu.BindTo(&source, -1);
    flow.supplier_quidu.BindTo(&target, -1);
    flow.quidu.BindTo(&other, -1);
    EXPECT_EQ(Ends(&flow), EndNames(L"Src", L"Dst"));

    // Without supplier_quidu the supplier is found through quidu.
    flow.supplier_quidu.Remove(-1);
    EXPECT_EQ(Ends(&flow), EndNames(L"Src", L"Other"));

    // A direct client wins over client_quidu; a symbol shows its label.
    flow.client.DecodeReference(L"written");
    EXPECT_EQ(Ends(&flow), EndNames(L"written", L"Other"));
    flow.quidu.BindTo(labelled.get(), -1);
    EXPECT_EQ(Ends(&flow), EndNames(L"written", L"Shown"));

    // A line with a direct client and its supplier through quidu.
    ClumAssociationViewNew line;
    line.client.DecodeReference(L"C");
    line.quidu.DecodeReference(L"quid4");
    line.quidu.BindTo(&target, -1);
    EXPECT_EQ(Ends(&line), EndNames(L"C", L"Dst"));
}

TEST_F(UtilityFunctionsTest, AnswersOnTheSampleModel) {
    ClumVellumFile file;
    ReadSample(file);

    ClumVellumEntity* item = Find(&file, L"Class", L"Item");
    ClumVellumEntity* book = Find(&file, L"Class", L"Book");
    ASSERT_TRUE(item && book);
    EXPECT_TRUE(U::IsAbstract(item));
    EXPECT_FALSE(U::IsAbstract(book));
    EXPECT_EQ(Text(U::GetQuid(item)), L"4C1B0A7E0011");
    EXPECT_TRUE(U::HasName(Find(&file, L"UseCase", L"Borrow a copy")));

    auto* borrows = static_cast<ClumAssociation*>(Find(&file, L"Association", L"Borrows"));
    ASSERT_NE(borrows, nullptr);
    EXPECT_TRUE(U::IsBinaryAssociation(borrows));
    const ClumRole* borrower = borrows->roles.Get(0);
    const ClumRole* loans = borrows->roles.Get(1);
    EXPECT_TRUE(U::IsNavigable(borrower));
    EXPECT_FALSE(U::IsAggregate(borrower));
    EXPECT_TRUE(U::IsNavigable(loans));
    EXPECT_TRUE(U::IsAggregate(loans));

    // The inheritance line on the catalog diagram: label references until
    // they are bound to the class views, then the views' labels.
    auto* inherit = static_cast<ClumInheritView*>(Find(&file, L"InheritView"));
    ASSERT_NE(inherit, nullptr);
    EXPECT_EQ(Ends(inherit), EndNames(L"@11", L"@10"));
    inherit->client.BindTo(Find(&file, L"ClassView", L"Logical View::Catalog::Book"), -1);
    inherit->supplier.BindTo(Find(&file, L"ClassView", L"Logical View::Catalog::Item"), -1);
    EXPECT_EQ(Ends(inherit), EndNames(L"Book", L"Item"));

    EXPECT_EQ(std::wstring(U::GetShortFileName(L"$CURDIR\\people.cat")), L"people");
}

}  // namespace
}  // namespace lum::test
