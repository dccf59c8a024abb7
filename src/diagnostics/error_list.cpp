#include "lum/diagnostics/error_list.h"

namespace lum {

void tErrorList::AddError(const tError& error) {
    if (OnErrorAdded(error)) push_back(error);
}

void tErrorList::ReportV(diag::Code code, const tErrorSubject& subject, tError::Severity severity,
                         const wchar_t* format, va_list args) {
    WString message;
    message.FormatV(format, args);
    AddError(tError(code, subject, severity, std::move(message)));
}

void tErrorList::Report(diag::Code code, const tErrorSubject& subject, tError::Severity severity,
                        const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    ReportV(code, subject, severity, format, args);
    va_end(args);
}

void tErrorList::FormatError(const tErrorSubject& subject, tError::Severity severity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    ReportV(diag::Unknown, subject, severity, format, args);
    va_end(args);
}

void tErrorList::FormatError(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    ReportV(diag::Unknown, tErrorSubject(), tError::Warning, format, args);
    va_end(args);
}

bool tErrorList::OnErrorAdded(const tError&) { return true; }

}  // namespace lum
