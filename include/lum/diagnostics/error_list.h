#pragma once
// tErrorList: where diagnostics are recorded; a std::list<tError> whose
// OnErrorAdded hook lets a derived list observe or filter each new error.
// tDummyErrorList: the process-wide list used while the host has set none.

#include <cstdarg>
#include <list>

#include "lum/diagnostics/error.h"
#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class tErrorList : public std::list<tError> {
public:
    tErrorList() = default;
    tErrorList(const tErrorList&) = default;
    tErrorList& operator=(const tErrorList&) = default;
    virtual ~tErrorList() = default;

    // Appends a copy of `error` if OnErrorAdded accepts it.
    void AddError(const tError& error);
    // Formats the message (%s takes a wide text) and adds the error.
    void FormatError(const tErrorSubject& subject, tError::Severity severity, const wchar_t* format, ...);
    // A Warning without subject.
    void FormatError(const wchar_t* format, ...);
    // FormatError with the diagnostic's code.
    void Report(diag::Code code, const tErrorSubject& subject, tError::Severity severity, const wchar_t* format, ...);
    void ReportV(diag::Code code, const tErrorSubject& subject, tError::Severity severity, const wchar_t* format,
                 va_list args);

    // Called before each error is added; false drops the error.
    virtual bool OnErrorAdded(const tError& error);
};

class tDummyErrorList : public tErrorList {};

}  // namespace lum
LUM_API_END
