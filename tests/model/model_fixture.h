#pragma once
// Shared ground for the object model tests: a fixture that holds the
// metamodel and a private error list for the length of one test, and a
// deletion probe that counts how many model objects of a test were deleted.
//
// InitializeLUM/FinalizeLUM keep a process-wide count; every test leaves it
// at zero, as it found it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeLUM();
        CErrorReporter::GetInstance().SetErrorList(errors);
    }
    void TearDown() override
    {
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }

    std::vector<std::wstring> Messages() const
    {
        std::vector<std::wstring> texts;
        for (const tError& error : errors) texts.push_back(error.message);
        return texts;
    }

    // Exactly one warning without subject, with exactly this text; the list
    // is emptied for the next step of the test.
    void ExpectOnlyMessage(const std::wstring& expected)
    {
        EXPECT_EQ(Messages(), std::vector<std::wstring>{expected});
        if (!errors.empty()) {
            EXPECT_EQ(errors.front().severity, tError::Warning);
            EXPECT_TRUE(errors.front().subject == tErrorSubject());
        }
        errors.clear();
    }
    void ExpectNoMessage() { EXPECT_EQ(Messages(), std::vector<std::wstring>{}); }

    tErrorList errors;
};

// A model class that counts its deletions. Its meta-class is still that of
// Base, so links accept it wherever they accept Base. The destructor also
// notes whether the object had already been taken out of its owner's link,
// which a deleting link does before it deletes.
struct tDeletionLog {
    int deleted = 0;
    int stillOwned = 0;
};

template <class Base>
struct Counted : Base {
    explicit Counted(tDeletionLog& log_) : log(log_) {}
    ~Counted() override
    {
        ++log.deleted;
        if (this->OwningFeature() != nullptr) ++log.stillOwned;
    }
    tDeletionLog& log;
};

inline std::wstring Text(const WString& text) { return std::wstring(text); }
inline std::wstring Text(const ClumIdent& ident) { return ident.c_str(); }

}  // namespace lum::test
