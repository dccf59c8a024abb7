#include "lum/diagnostics/error_list.h"

namespace lum {

void tErrorList::AddError(const tError& error) {
    if (OnErrorAdded(error)) push_back(error);
}

void tErrorList::FormatError(const tErrorSubject& subject, tError::Severity severity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    WString message;
    message.FormatV(format, args);
    va_end(args);
    AddError(tError(subject, severity, std::move(message)));
}

void tErrorList::FormatError(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    WString message;
    message.FormatV(format, args);
    va_end(args);
    AddError(tError(tErrorSubject(), tError::Warning, std::move(message)));
}

bool tErrorList::OnErrorAdded(const tError&) { return true; }

}  // namespace lum
