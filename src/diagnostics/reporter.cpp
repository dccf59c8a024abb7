#include "lum/diagnostics/reporter.h"

namespace lum {

CErrorReporter* CErrorReporter::_instance = nullptr;

namespace {

// Receives whatever is reported while the host has set no list; it lives
// for the whole process and is never handed to anybody.
tDummyErrorList& DefaultList() {
    static tDummyErrorList list;
    return list;
}

}  // namespace

CErrorReporter& CErrorReporter::GetInstance() {
    if (_instance == nullptr) _instance = new CErrorReporter();
    return *_instance;
}

void CErrorReporter::Destroy() {
    delete _instance;
    _instance = nullptr;
}

tErrorList& CErrorReporter::GetErrorList() { return m_pErrorList != nullptr ? *m_pErrorList : DefaultList(); }

}  // namespace lum
