#include "lum/diagnostics/error.h"

#include <cstdint>

namespace lum {

namespace {

std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

}  // namespace

bool tErrorSubject::operator==(const tErrorSubject& other) const {
    return this == &other ||
           (entity == other.entity && metaClass == other.metaClass && metaFeature == other.metaFeature);
}

bool tErrorSubject::operator<(const tErrorSubject& other) const {
    if (entity != other.entity) return Address(entity) < Address(other.entity);
    if (metaClass != other.metaClass) return Address(metaClass) < Address(other.metaClass);
    if (line != other.line) return line < other.line;
    return Address(metaFeature) < Address(other.metaFeature);
}

const wchar_t* tError::ToString(Severity severity) {
    switch (severity) {
        case Information: return L"Information";
        case Warning: return L"Warning";
        case Error: return L"Error";
        case FatalError: return L"FatalError";
        case InternalError: return L"InternalError";
    }
    return L"";
}

bool tError::operator==(const tError& other) const {
    return this == &other || (severity == other.severity && subject == other.subject && message == other.message);
}

bool tError::operator<(const tError& other) const {
    if (severity != other.severity) return severity < other.severity;
    if (subject < other.subject) return true;
    if (subject > other.subject) return false;
    return message < other.message;
}

}  // namespace lum
