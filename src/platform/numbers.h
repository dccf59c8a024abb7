#pragma once
// Text-to-number conversions of the C library's wide family, independent of
// the process locale: '.' is always the decimal separator; and the decimal
// text of an int, as "%d" writes it.

#include <cstddef>

namespace lum::platform {

// As _wtof: skips leading white space, reads the longest prefix that is a
// decimal number ([+-]digits[.digits][e[+-]digits], or inf / nan), and gives
// 0 when there is none. Out-of-range values give +-HUGE_VAL or 0.
double WideToDouble(const wchar_t* text);

// As _wtoi: skips leading white space, optional sign, decimal digits up to
// the first non-digit; 0 when there is none. Saturates at INT_MIN / INT_MAX.
int WideToInt(const wchar_t* text);

// Room for the text of any int: a sign and ten digits.
inline constexpr std::size_t IntTextRoom = 11;
// Writes `value` as "%d" does into `out` (IntTextRoom characters, no
// terminator) and answers the length.
std::size_t IntToWide(int value, wchar_t* out);

}  // namespace lum::platform
