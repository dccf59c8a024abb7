#include "lum/text/value_problems.h"

#include <atomic>

namespace lum::detail {

namespace {

constinit std::atomic<ValueProblemSink> g_sink{nullptr};

}  // namespace

void SetValueProblemSink(ValueProblemSink sink) { g_sink.store(sink, std::memory_order_release); }

void ReportValueProblem(const wchar_t* format, ...) {
    const ValueProblemSink sink = g_sink.load(std::memory_order_acquire);
    if (sink == nullptr) return;
    va_list args;
    va_start(args, format);
    sink(format, args);
    va_end(args);
}

}  // namespace lum::detail
