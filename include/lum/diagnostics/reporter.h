#pragma once
// CErrorReporter: the singleton that knows the current error list. The host
// sets its own list before reading; every reporting part asks for it here.
// The current list belongs to the calling thread, so that models read on
// several threads at once each keep their own diagnostics.

#include "lum/diagnostics/error_list.h"
#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class CErrorReporter {
public:
    // Created on first use with no list set.
    static CErrorReporter& GetInstance();
    // Deletes the singleton and forgets the calling thread's list; the next
    // GetInstance makes a new one.
    static void Destroy();

    // Not owned: the host keeps the list alive while it is set. For the
    // calling thread only.
    void SetErrorList(tErrorList& list);
    // The calling thread's current list, or its own tDummyErrorList when none
    // is set.
    tErrorList& GetErrorList();
    void ResetReporter();

    CErrorReporter& operator=(const CErrorReporter&) = default;

private:
    CErrorReporter() = default;
    CErrorReporter(const CErrorReporter&) = default;

    static CErrorReporter* _instance;
};

// Points the calling thread's reporter at `list` for the scope, and back at
// the list it had before.
class ErrorListScope {
public:
    explicit ErrorListScope(tErrorList& list);
    ~ErrorListScope();
    ErrorListScope(const ErrorListScope&) = delete;
    ErrorListScope& operator=(const ErrorListScope&) = delete;

private:
    tErrorList* m_previous;
};

}  // namespace lum
LUM_API_END
