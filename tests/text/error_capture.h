#pragma once
// A fixture that gives every test a fresh error list of its own, and checks
// on what was reported to it.

#include <gtest/gtest.h>

#include <string>

#include "lum/diagnostics/reporter.h"

namespace lum::test {

class ErrorCaptureTest : public ::testing::Test {
protected:
    void SetUp() override { CErrorReporter::GetInstance().SetErrorList(errors); }
    void TearDown() override { CErrorReporter::GetInstance().ResetReporter(); }

    // Exactly one warning, without subject, with exactly this text.
    void ExpectOnlyMessage(const std::wstring& expected)
    {
        ASSERT_EQ(errors.size(), 1u);
        const tError& error = errors.front();
        EXPECT_EQ(std::wstring(error.message), expected);
        EXPECT_EQ(error.severity, tError::Warning);
        EXPECT_TRUE(error.subject == tErrorSubject());
    }

    void ExpectNoMessage()
    {
        EXPECT_TRUE(errors.empty()) << "first message: " << ::testing::PrintToString(std::wstring(errors.front().message));
    }

    tErrorList errors;
};

}  // namespace lum::test
