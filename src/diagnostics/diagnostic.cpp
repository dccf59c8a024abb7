#include "lum/diagnostics/diagnostic.h"

#include "lum/text/utf8.h"

namespace lum {

Diagnostic Diagnostic::From(const tError& error, std::string file) {
    Diagnostic diagnostic;
    diagnostic.code = error.code;
    diagnostic.severity = error.severity;
    diagnostic.file = std::move(file);
    diagnostic.line = error.subject.line;
    diagnostic.message = ToUtf8(error.message);
    const tErrorSubject& subject = error.subject;
    if (subject.entity != nullptr || subject.metaClass != nullptr || subject.metaFeature != nullptr) {
        diagnostic.subject = ToUtf8(subject.ToString());
    }
    return diagnostic;
}

const char* SeverityName(tError::Severity severity) {
    switch (severity) {
        case tError::Information: return "Information";
        case tError::Warning: return "Warning";
        case tError::Error: return "Error";
        case tError::FatalError: return "FatalError";
        case tError::InternalError: return "InternalError";
    }
    return "Error";
}

std::string FormatDiagnostic(const Diagnostic& diagnostic) {
    std::string line;
    if (!diagnostic.file.empty()) {
        line = diagnostic.file + ":";
        if (diagnostic.line != 0) line += std::to_string(diagnostic.line) + ":";
        line += " ";
    } else if (diagnostic.line != 0) {
        line = "line " + std::to_string(diagnostic.line) + ": ";
    }
    line += SeverityName(diagnostic.severity);
    line += ": " + diagnostic.message;
    if (!diagnostic.subject.empty()) line += " [" + diagnostic.subject + "]";
    return line;
}

}  // namespace lum
