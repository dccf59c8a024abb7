#pragma once
// lum::Diagnostic: one diagnostic as a plain value, in UTF-8, with the file
// it came from; and the one-line form every program of ours prints:
// "file:line: Severity: message [subject]".

#include <string>

#include "lum/diagnostics/codes.h"
#include "lum/diagnostics/error.h"
#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

struct Diagnostic {
    diag::Code code = diag::Unknown;
    tError::Severity severity = tError::Information;
    std::string file;     // as the user named it, or relative to the main file; may be empty
    long line = 0;        // 0 when not known
    std::string message;
    std::string subject;  // what it is about; empty when only the line is known

    // The diagnostic of a recorded error, read in `file`.
    static Diagnostic From(const tError& error, std::string file);
};

// The parts that are known of "file:line: Severity: message [subject]"; a
// line without a file is written "line N: ...".
std::string FormatDiagnostic(const Diagnostic& diagnostic);

// "Information", "Warning", "Error", "FatalError" or "InternalError".
const char* SeverityName(tError::Severity severity);

}  // namespace lum
LUM_API_END
