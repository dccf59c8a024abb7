#pragma once
// LUM_API_BEGIN and LUM_API_END enclose the declarations of a public header:
// they are the library's interface, exported from the shared library. The
// library is built with hidden visibility, so nothing else it defines is
// visible outside it.

#if defined(__GNUC__) || defined(__clang__)
#define LUM_API_BEGIN _Pragma("GCC visibility push(default)")
#define LUM_API_END _Pragma("GCC visibility pop")
#else
#define LUM_API_BEGIN
#define LUM_API_END
#endif
