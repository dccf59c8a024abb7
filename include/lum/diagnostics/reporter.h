#pragma once
// CErrorReporter: the singleton that knows the current error list. The host
// sets its own list before reading; every reporting part asks for it here.

#include "lum/diagnostics/error_list.h"

namespace lum {

class CErrorReporter {
public:
    // Created on first use with no list set.
    static CErrorReporter& GetInstance();
    // Deletes the singleton; the next GetInstance makes a new one.
    static void Destroy();

    // Not owned: the host keeps the list alive while it is set.
    void SetErrorList(tErrorList& list) { m_pErrorList = &list; }
    // The current list, or the process-wide tDummyErrorList when none is set.
    tErrorList& GetErrorList();
    void ResetReporter() { m_pErrorList = nullptr; }

    CErrorReporter& operator=(const CErrorReporter&) = default;

private:
    CErrorReporter() = default;
    CErrorReporter(const CErrorReporter&) = default;

    tErrorList* m_pErrorList = nullptr;
    static CErrorReporter* _instance;
};

}  // namespace lum
