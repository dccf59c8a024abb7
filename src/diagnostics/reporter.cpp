#include "lum/diagnostics/reporter.h"

#include <atomic>

#include "lum/text/value_problems.h"

namespace lum {

namespace {

// Each thread's current list. Plain pointers, so that nothing is destroyed
// when a thread ends.
thread_local tErrorList* t_pErrorList = nullptr;

// Receives whatever a thread reports while it has set no list; never handed
// to anybody.
tDummyErrorList& DefaultList() {
    thread_local tDummyErrorList list;
    return list;
}

// Values that cannot be decoded go to the current list as Warnings without
// subject. Installed when this file is part of the program, that is, as soon
// as anybody can set a list to see them on.
void RecordValueProblem(const wchar_t* format, va_list args) {
    CErrorReporter::GetInstance().GetErrorList().ReportV(diag::BadValue, tErrorSubject(), tError::Warning, format,
                                                         args);
}

[[maybe_unused]] const bool g_bSinkInstalled = (detail::SetValueProblemSink(&RecordValueProblem), true);

}  // namespace

CErrorReporter* CErrorReporter::_instance = nullptr;

CErrorReporter& CErrorReporter::GetInstance() {
    // The reporter holds no state of its own (the lists are per thread), so
    // when two first calls race, one keeps its object and the other's goes.
    std::atomic_ref<CErrorReporter*> instance(_instance);
    CErrorReporter* current = instance.load(std::memory_order_acquire);
    if (current != nullptr) return *current;
    auto* made = new CErrorReporter();
    if (instance.compare_exchange_strong(current, made, std::memory_order_acq_rel)) return *made;
    delete made;
    return *current;
}

void CErrorReporter::Destroy() {
    delete std::atomic_ref<CErrorReporter*>(_instance).exchange(nullptr);
    t_pErrorList = nullptr;
}

void CErrorReporter::SetErrorList(tErrorList& list) { t_pErrorList = &list; }

tErrorList& CErrorReporter::GetErrorList() { return t_pErrorList != nullptr ? *t_pErrorList : DefaultList(); }

void CErrorReporter::ResetReporter() { t_pErrorList = nullptr; }

ErrorListScope::ErrorListScope(tErrorList& list) : m_previous(&CErrorReporter::GetInstance().GetErrorList()) {
    CErrorReporter::GetInstance().SetErrorList(list);
}

ErrorListScope::~ErrorListScope() { CErrorReporter::GetInstance().SetErrorList(*m_previous); }

}  // namespace lum
