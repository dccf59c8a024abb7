// The pretty printer's exact text: headers, set attributes and references,
// link blocks, four blanks a level, features in the class's order.

#include <iostream>
#include <sstream>

#include "traverse_fixture.h"

namespace lum::test {
namespace {

std::wstring Printed(const ClumVellumEntity* entity) {
    std::wostringstream out;
    ClumPrettyPrinter::Print(entity, out);
    return out.str();
}

using PrettyPrinterTest = TraverseTest;

TEST_F(PrettyPrinterTest, ObjectWithNothingSetIsOneLine) {
    ClumClass empty;
    EXPECT_EQ(Printed(&empty), L"object Class\n");

    // An int holding 0 and a bool holding false count as not set.
    ClumOperation operation;
    operation.uid.Set(0);
    operation.abstract.Set(false);
    EXPECT_EQ(Printed(&operation), L"object Operation\n");

    EXPECT_EQ(Printed(nullptr), L"");
}

TEST_F(PrettyPrinterTest, FloatsAlwaysPrintOtherAttributesOnceSet) {
    ClumVellumFloat number;
    EXPECT_EQ(Printed(&number), L"object VellumFloat\n    value = 0.000000;\n");

    Clumdefaults defaults;
    defaults.gridX.Set(16);
    defaults.snapToGrid.Set(true);
    defaults.leftMargin.Set(0.25f);
    EXPECT_EQ(Printed(&defaults),
              L"object defaults\n"
              L"    rightMargin = 0.000000;\n"
              L"    leftMargin = 0.250000;\n"
              L"    topMargin = 0.000000;\n"
              L"    bottomMargin = 0.000000;\n"
              L"    pageOverlap = 0.000000;\n"
              L"    snapToGrid = true;\n"
              L"    gridX = 16;\n");

    // A text prints once it holds a value, even when that value is emptied.
    ClumClass withText;
    withText.documentation.Set(L"");
    EXPECT_EQ(Printed(&withText), L"object Class\n");
    withText.documentation.Set(L"about");
    EXPECT_EQ(Printed(&withText), L"object Class\n    documentation = about;\n");
    withText.documentation.Set(L"");
    EXPECT_EQ(Printed(&withText), L"object Class\n    documentation = ;\n");
}

TEST_F(PrettyPrinterTest, SingleAndListReferences) {
    ClumInheritance_Relationship relationship;
    relationship.supplier.DecodeReference(L"Logical View::Catalog::Item");
    relationship.quidu.DecodeReference(L"4C1B0A7E0011");
    EXPECT_EQ(Printed(&relationship),
              L"object Inheritance_Relationship\n"
              L"    supplier = ref Logical View::Catalog::Item;\n"
              L"    quidu = ref 4C1B0A7E0011;\n");

    ClumClass owner;
    for (const wchar_t* text : {L"first", L"Pkg::second", L"third"}) owner.module.DecodeReference(text);
    EXPECT_EQ(Printed(&owner),
              L"object Class\n"
              L"    module = ref first;\n"
              L"        Pkg::second;\n"
              L"        third;\n");
}

TEST_F(PrettyPrinterTest, LinksOpenBlocksOneLevelDeeper) {
    ClumClass root;
    ClumOperation* f = Add(root.operations, Named(new ClumOperation, L"f"));
    Add(f->parameters, Named(new ClumParameter, L"p"));
    Add(root.operations, Named(new ClumOperation, L"g"));
    root.module.DecodeReference(L"m");
    root.name.Set(L"R");
    root.quid.Set(L"Q1");
    root.documentation.Set(L"doc");

    const std::wstring expected =
        L"object Class\n"
        L"    ( link operations\n"
        L"        object Operation\n"
        L"            ( link parameters\n"
        L"                object Parameter\n"
        L"                    name = p;\n"
        L"            )\n"
        L"            name = f;\n"
        L"        object Operation\n"
        L"            name = g;\n"
        L"    )\n"
        L"    module = ref m;\n"
        L"    name = R;\n"
        L"    quid = Q1;\n"
        L"    documentation = doc;\n";
    EXPECT_EQ(Printed(&root), expected);

    // The standard wide output gets the same text.
    std::wostringstream captured;
    std::wstreambuf* saved = std::wcout.rdbuf(captured.rdbuf());
    ClumPrettyPrinter::Print(&root);
    std::wcout.rdbuf(saved);
    EXPECT_EQ(captured.str(), expected);
}

TEST_F(PrettyPrinterTest, ObjectOfTheSampleModel) {
    ClumVellumFile file;
    ReadSample(file);
    ClumVellumEntity* loans = Find(&file, L"Role", L"loans");
    ASSERT_NE(loans, nullptr);
    EXPECT_EQ(Printed(loans),
              L"object Role\n"
              L"    supplier = ref Logical View::Lending::Loan;\n"
              L"    quidu = ref 4C1B0A7E0021;\n"
              L"    is_navigable = true;\n"
              L"    label = loans;\n"
              L"    is_aggregate = true;\n"
              L"    Containment = By Value;\n"
              L"    ( link client_cardinality\n"
              L"        object Cardinality\n"
              L"            value = 0..n;\n"
              L"    )\n"
              L"    name = loans;\n"
              L"    quid = 4C1B0A7E0025;\n");
}

}  // namespace
}  // namespace lum::test
