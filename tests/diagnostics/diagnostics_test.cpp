// Diagnostics: errors and their subjects, error lists, the reporter, the
// library's exceptions, and the text that names a subject.
#include <algorithm>
#include <vector>

#include "support/lum_test.h"

namespace lum {
namespace {

// Stand-ins for model objects and metamodel entries: subjects only compare addresses.
const auto* ObjectA = reinterpret_cast<const ClumVellumEntity*>(0x1000);
const auto* ObjectB = reinterpret_cast<const ClumVellumEntity*>(0x2000);
const auto* ClassA = reinterpret_cast<const ClumMetaClass*>(0x3000);
const auto* FeatureA = reinterpret_cast<const ClumMetaFeature*>(0x4000);

tErrorSubject AtLine(tErrorSubject subject, long line) {
    subject.line = line;
    return subject;
}

TEST(Diagnostics, SubjectsOrderByEntityClassLineFeatureButLinesDoNotMakeThemDiffer) {
    EXPECT_TRUE(tErrorSubject(3L) == tErrorSubject(7L));
    EXPECT_TRUE(tErrorSubject(3L) < tErrorSubject(7L) && !(tErrorSubject(7L) < tErrorSubject(3L)));
    EXPECT_TRUE(tErrorSubject(ObjectA) < tErrorSubject(ObjectB));
    EXPECT_TRUE(tErrorSubject(FeatureA) < AtLine(tErrorSubject(ClassA), 1));
    EXPECT_TRUE(tErrorSubject(1L) < AtLine(tErrorSubject(FeatureA), 1));
    EXPECT_TRUE(tErrorSubject(FeatureA) < tErrorSubject(1L));
    const tError a(tErrorSubject(3L), tError::Warning, L"same"), b(tErrorSubject(9L), tError::Warning, L"same");
    const tError x(tErrorSubject(3L), tError::Warning, L"x"), info(tErrorSubject(99L), tError::Information, L"zzz");
    EXPECT_TRUE(a == b && a < b && !(b < a));
    EXPECT_FALSE(a == x);
    EXPECT_TRUE(info < a && a < x);
    std::vector<tError> sorted{x, info, b, a};
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<tError>{info, a, x, b}));
    const wchar_t* names[] = {L"Information", L"Warning", L"Error", L"FatalError", L"InternalError"};
    for (int severity = tError::Information; severity <= tError::InternalError; ++severity)
        EXPECT_STREQ(tError::ToString(static_cast<tError::Severity>(severity)), names[severity]);
}

TEST(Diagnostics, ListsHooksTheReporterAndExceptions) {
    struct Refusing : tErrorList {
        bool OnErrorAdded(const tError&) override { return ++seen, false; }
        int seen = 0;
    } refusing;
    refusing.FormatError(tErrorSubject(4L), tError::Error, L"%s", L"bad");
    refusing.FormatError(L"bad");
    EXPECT_TRUE(refusing.empty());
    EXPECT_EQ(refusing.seen, 2);
    CErrorReporter& reporter = CErrorReporter::GetInstance();
    reporter.ResetReporter();
    tErrorList& fallback = reporter.GetErrorList();
    EXPECT_NE(dynamic_cast<tDummyErrorList*>(&fallback), nullptr);
    tErrorList mine;
    reporter.SetErrorList(mine);
    reporter.GetErrorList().FormatError(L"x %d", 5);
    reporter.GetErrorList().FormatError(tErrorSubject(12L), tError::Error, L"at %s", L"12");
    reporter.ResetReporter();
    EXPECT_EQ(&reporter.GetErrorList(), &fallback);
    EXPECT_EQ(test::Lines(mine), (test::Strings{L"Warning: x 5", L"Error 12: at 12"}));
    EXPECT_TRUE(mine.front().subject == tErrorSubject());
    reporter.SetErrorList(mine);
    CErrorReporter::Destroy();
    CErrorReporter::GetInstance().GetErrorList().FormatError(L"lost");
    EXPECT_EQ(mine.size(), 2u);
    WString out;
    try {
        throw tCannotOpenFileException(L"models/m\u00e4in.mdl");
    } catch (LUMException& e) {
        e.ToString(out);
    }
    EXPECT_EQ(out, L"Cannot open file models/m\u00e4in.mdl");
}

class SubjectText : public test::LumTest {
protected:
    static std::wstring Of(const tErrorSubject& subject) { return subject.ToString(); }
    static const ClumMetaFeature* Feature(const ClumMetaClass& metaClass, const wchar_t* keyword) {
        for (const ClumMetaFeature* feature : metaClass.m_allFeatures)
            if (feature->GetName() == keyword) return feature;
        return nullptr;
    }
};

TEST_F(SubjectText, NamesObjectsLineEndsFeaturesAndLines) {
    const ClumMetaClass& cls = ClumClass::StaticGetMetaClass();
    const ClumMetaFeature* quid = Feature(cls, L"quid");
    EXPECT_EQ(Of(tErrorSubject()), L"<no subject>");
    EXPECT_EQ(Of(tErrorSubject(12L)), L"line 12");
    EXPECT_EQ(Of(AtLine(tErrorSubject(&cls), 12)), L"Class");
    EXPECT_EQ(Of(tErrorSubject(&cls, Feature(cls, L"operations"))), L"Class::operations");
    EXPECT_EQ(Of(tErrorSubject(quid)), L"QuidObject::quid");  // alone, by the class that declares it
    EXPECT_EQ(Of(tErrorSubject(&cls, quid)), L"Class::quid");
    ClumClass a;
    a.name.Set(L"A");
    tErrorSubject everything(&a, quid);
    everything.metaClass = &ClumOperation::StaticGetMetaClass();
    EXPECT_EQ(Of(AtLine(everything, 12)), L"feature quid of Class A");
    EXPECT_EQ(Of(tErrorSubject(&a)), L"Class A");
    ClumState_Transition transition;  // unnamed labelled objects show their label
    transition.label.Set(L"lend");
    EXPECT_EQ(Of(tErrorSubject(&transition)), L"State_Transition lend");
    ClumRole role;  // a role has a label too, but is no labelled object
    role.label.Set(L"borrower");
    EXPECT_EQ(Of(tErrorSubject(&role)), L"Role ");
    ClumAssociationViewNew view;
    view.name.Set(L"A");
    view.client.DecodeReference(L"X");
    view.quidu.DecodeReference(L"4C1B0A7E0023");  // an unbound supplier end has no name: not a line
    EXPECT_EQ(Of(tErrorSubject(&view)), L"AssociationViewNew A");
    view.supplier.DecodeReference(L"Y");
    EXPECT_EQ(Of(tErrorSubject(&view, Feature(view.GetMetaClass(), L"quid"))),
              L"feature quid of AssociationViewNew A between 'X' and 'Y'");
    EXPECT_EQ(Of(tErrorSubject(&view)), L"Line AssociationViewNew A between 'X' and 'Y'");
}

}  // namespace
}  // namespace lum
