#include <gtest/gtest.h>

#include "lum/diagnostics/exceptions.h"
#include "lum/diagnostics/reporter.h"

using namespace lum;

namespace {

// Counts what arrives and refuses all of it.
class RefusingList : public tErrorList {
public:
    bool OnErrorAdded(const tError&) override {
        ++seen;
        return false;
    }
    int seen = 0;
};

}  // namespace

TEST(CErrorReporter, DefaultListIsProcessWideUntilAListIsSet) {
    CErrorReporter& reporter = CErrorReporter::GetInstance();
    reporter.ResetReporter();
    tErrorList& fallback = reporter.GetErrorList();
    EXPECT_NE(dynamic_cast<tDummyErrorList*>(&fallback), nullptr);

    tErrorList mine;
    reporter.SetErrorList(mine);
    EXPECT_EQ(&reporter.GetErrorList(), &mine);
    reporter.GetErrorList().FormatError(L"x %d", 5);
    reporter.ResetReporter();
    EXPECT_EQ(&reporter.GetErrorList(), &fallback);

    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine.front().message, L"x 5");
    EXPECT_EQ(mine.front().severity, tError::Warning);
    EXPECT_TRUE(mine.front().subject == tErrorSubject());
    EXPECT_EQ(mine.front().subject.line, 0);
}

TEST(CErrorReporter, DestroyForgetsTheList) {
    tErrorList mine;
    CErrorReporter::GetInstance().SetErrorList(mine);
    CErrorReporter::Destroy();
    CErrorReporter& fresh = CErrorReporter::GetInstance();
    EXPECT_NE(&fresh.GetErrorList(), &mine);
    fresh.GetErrorList().FormatError(L"lost");
    EXPECT_TRUE(mine.empty());
}

TEST(tErrorList, HookCanRefuseEverything) {
    RefusingList list;
    list.FormatError(tErrorSubject(4L), tError::Error, L"%s at %d", L"bad", 4);
    list.AddError(tError());
    EXPECT_EQ(list.seen, 2);
    EXPECT_TRUE(list.empty());
}

TEST(tErrorList, FormatWithSubjectAndCopies) {
    tErrorList list;
    list.FormatError(tErrorSubject(12L), tError::Error, L"Cannot decode %s from string '%s'", L"bool", L"yes");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front().message, L"Cannot decode bool from string 'yes'");
    EXPECT_EQ(list.front().severity, tError::Error);
    EXPECT_EQ(list.front().subject.line, 12);

    tErrorList copy(list);
    copy.AddError(tError());
    EXPECT_EQ(copy.size(), 2u);
    EXPECT_EQ(list.size(), 1u);
}

TEST(LUMException, Texts) {
    WString out;
    LUMException base;
    base.ToString(out);
    EXPECT_EQ(out, L"LUMException");

    try {
        throw tCannotOpenFileException(L"models/m\u00e4in.mdl");
    } catch (LUMException& e) {
        e.ToString(out);
    }
    EXPECT_EQ(out, L"Cannot open file models/m\u00e4in.mdl");
}
