// What a diagnostic is about, as text: an object by class and name (or its
// two line ends), a feature of a class, a line of the file, or nothing.

#include <gtest/gtest.h>

#include <string>

#include <lum/lum.h>

namespace lum {
namespace {

class SubjectTextTest : public ::testing::Test {
protected:
    void SetUp() override { InitializeLUM(); }
    void TearDown() override { FinalizeLUM(); }

    static std::wstring Text(const tErrorSubject& subject) { return subject.ToString(); }

    // The meta-feature of that keyword among the class's features.
    static const ClumMetaFeature* Feature(const ClumMetaClass& metaClass, const wchar_t* keyword) {
        for (const ClumMetaFeature* feature : metaClass.m_allFeatures)
            if (feature->GetName() == keyword) return feature;
        ADD_FAILURE() << "no feature " << keyword;
        return nullptr;
    }
};

TEST_F(SubjectTextTest, LinesAndNothing) {
    EXPECT_EQ(Text(tErrorSubject()), L"<no subject>");
    EXPECT_EQ(Text(tErrorSubject(0L)), L"<no subject>");
    EXPECT_EQ(Text(tErrorSubject(12L)), L"line 12");

    tErrorList list;
    list.FormatError(L"about %s", L"nothing");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(Text(list.front().subject), L"<no subject>");
}

TEST_F(SubjectTextTest, ClassesAndFeatures) {
    const ClumMetaClass& cls = ClumClass::StaticGetMetaClass();
    const ClumMetaFeature* operations = Feature(cls, L"operations");
    const ClumMetaFeature* quid = Feature(cls, L"quid");
    EXPECT_EQ(Text(tErrorSubject(&cls)), L"Class");
    EXPECT_EQ(Text(tErrorSubject(&cls, operations)), L"Class::operations");
    // Alone, a feature is named after the class that declares it.
    EXPECT_EQ(Text(tErrorSubject(operations)), L"Class::operations");
    EXPECT_EQ(Text(tErrorSubject(quid)), L"QuidObject::quid");
    // With a class given, that class names it.
    EXPECT_EQ(Text(tErrorSubject(&cls, quid)), L"Class::quid");

    tErrorSubject classAtLine(&cls);
    classAtLine.line = 12;
    EXPECT_EQ(Text(classAtLine), L"Class");
}

TEST_F(SubjectTextTest, ObjectsByClassAndName) {
    ClumClass a;
    a.name.Set(L"A");
    EXPECT_EQ(Text(tErrorSubject(&a)), L"Class A");
    const ClumMetaFeature* quid = Feature(a.GetMetaClass(), L"quid");
    EXPECT_EQ(Text(tErrorSubject(&a, quid)), L"feature quid of Class A");

    // The object comes before a class and a line given with it.
    tErrorSubject everything(&a, quid);
    everything.metaClass = &ClumOperation::StaticGetMetaClass();
    everything.line = 12;
    EXPECT_EQ(Text(everything), L"feature quid of Class A");

    ClumClass unnamed;
    EXPECT_EQ(Text(tErrorSubject(&unnamed)), L"Class ");

    // Unnamed labelled objects show their label instead.
    ClumState_Transition transition;
    transition.label.Set(L"lend");
    EXPECT_EQ(Text(tErrorSubject(&transition)), L"State_Transition lend");
    ClumDependency_Relationship dependency;
    dependency.label.Set(L"uses");
    EXPECT_EQ(Text(tErrorSubject(&dependency, Feature(dependency.GetMetaClass(), L"supplier"))),
              L"feature supplier of Dependency_Relationship uses");
    // A role has a label too, but is no labelled object.
    ClumRole role;
    role.label.Set(L"borrower");
    EXPECT_EQ(Text(tErrorSubject(&role)), L"Role ");
}

TEST_F(SubjectTextTest, LinesBetweenTheirEnds) {
    ClumAssociationViewNew view;
    view.name.Set(L"A");
    view.client.DecodeReference(L"X");
    EXPECT_EQ(Text(tErrorSubject(&view)), L"AssociationViewNew A");  // no supplier end

    // The supplier end through an unbound quidu has no name: not a line.
    view.quidu.DecodeReference(L"4C1B0A7E0023");
    EXPECT_EQ(Text(tErrorSubject(&view)), L"AssociationViewNew A");

    view.supplier.DecodeReference(L"Y");
    EXPECT_EQ(Text(tErrorSubject(&view)), L"Line AssociationViewNew A between 'X' and 'Y'");
    const ClumMetaFeature* quid = Feature(view.GetMetaClass(), L"quid");
    EXPECT_EQ(Text(tErrorSubject(&view, quid)), L"feature quid of AssociationViewNew A between 'X' and 'Y'");

    // The ends' text replaces the label: the name (empty here) leads it.
    ClumState_Transition transition;
    transition.label.Set(L"lend");
    transition.client.DecodeReference(L"Start");
    transition.supplier.DecodeReference(L"Active");
    EXPECT_EQ(Text(tErrorSubject(&transition)), L"Line State_Transition  between 'Start' and 'Active'");
}

}  // namespace
}  // namespace lum
