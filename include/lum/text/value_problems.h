#pragma once
// Value texts that cannot be decoded are reported through a sink, so that
// this layer needs nothing above it. The diagnostics layer installs the sink
// that records each one on the current error list as a Warning without
// subject; with no sink installed they are dropped. Between the library's
// layers: programs read such warnings from the error list.

#include <cstdarg>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum::detail {

using ValueProblemSink = void (*)(const wchar_t* format, va_list args);

void SetValueProblemSink(ValueProblemSink sink);
// Formats (as WString::Format does) and hands the message to the sink.
void ReportValueProblem(const wchar_t* format, ...);

}  // namespace lum::detail
LUM_API_END
