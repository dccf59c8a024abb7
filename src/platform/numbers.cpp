// Text-to-number conversions that do not look at the process locale. The
// number's text is scanned here, narrowed to ASCII and handed to
// std::from_chars, which always reads '.' as the decimal separator.

#include "platform/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cwctype>
#include <limits>
#include <string>

namespace lum::platform {

namespace {

bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

const wchar_t* SkipSpace(const wchar_t* p) {
    while (*p != L'\0' && std::iswspace(static_cast<wint_t>(*p))) ++p;
    return p;
}

// True when `p` starts with the lower-case ASCII `word`, in any letter case.
bool StartsWithWord(const wchar_t* p, const char* word) {
    for (; *word != '\0'; ++p, ++word) {
        if (*p == L'\0' || std::towlower(static_cast<wint_t>(*p)) != static_cast<wint_t>(*word)) return false;
    }
    return true;
}

// The non-finite values: "inf", "infinity" and "nan" (with an optional
// "(chars)" tail, which only ends the number), in any letter case.
bool ReadNonFinite(const wchar_t* p, bool negative, double& value) {
    if (StartsWithWord(p, "inf")) {
        value = negative ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (StartsWithWord(p, "nan")) {
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), negative ? -1.0 : 1.0);
        return true;
    }
    return false;
}

}  // namespace

double WideToDouble(const wchar_t* text) {
    if (text == nullptr) return 0.0;
    const wchar_t* p = SkipSpace(text);
    const bool negative = *p == L'-';
    if (*p == L'+' || *p == L'-') ++p;

    double value = 0.0;
    if (ReadNonFinite(p, negative, value)) return value;

    // The longest prefix of the form digits[.digits][e[+-]digits], with at
    // least one digit before the exponent. Along the way, the place of the
    // first significant digit is kept (n digits before the point: n; the n-th
    // after it: -n), so that a value out of range can be told to be too large
    // or too small.
    std::string ascii;
    long long magnitude = 0;
    bool significant = false;
    bool anyDigit = false;
    for (; IsDigit(*p); ++p) {
        ascii += static_cast<char>(*p);
        anyDigit = true;
        if (*p != L'0') significant = true;
        if (significant) ++magnitude;
    }
    if (*p == L'.') {
        ascii += '.';
        for (++p; IsDigit(*p); ++p) {
            ascii += static_cast<char>(*p);
            anyDigit = true;
            if (!significant) {
                --magnitude;
                if (*p != L'0') significant = true;
            }
        }
    }
    if (!anyDigit) return 0.0;
    if (!significant) return negative ? -0.0 : 0.0;

    long long exponent = 0;
    if (*p == L'e' || *p == L'E') {
        const wchar_t* q = p + 1;
        const bool negativeExponent = *q == L'-';
        if (*q == L'+' || *q == L'-') ++q;
        if (IsDigit(*q)) {
            ascii += 'e';
            if (negativeExponent) ascii += '-';
            for (; IsDigit(*q); ++q) {
                ascii += static_cast<char>(*q);
                if (exponent < INT_MAX) exponent = exponent * 10 + (*q - L'0');
            }
            if (negativeExponent) exponent = -exponent;
        }
    }

    const std::from_chars_result result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = magnitude + exponent > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

int WideToInt(const wchar_t* text) {
    if (text == nullptr) return 0;
    const wchar_t* p = SkipSpace(text);
    const bool negative = *p == L'-';
    if (*p == L'+' || *p == L'-') ++p;

    // Accumulates up to one past INT_MAX, which is as far as INT_MIN needs.
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    long long value = 0;
    for (; IsDigit(*p); ++p) {
        value = value * 10 + (*p - L'0');
        if (value > limit) value = limit;
    }
    if (negative) return static_cast<int>(-value);  // -limit is INT_MIN
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::size_t IntToWide(int value, wchar_t* out) {
    char narrow[IntTextRoom];
    const std::size_t length = static_cast<std::size_t>(std::to_chars(narrow, narrow + IntTextRoom, value).ptr - narrow);
    for (std::size_t i = 0; i < length; ++i) out[i] = static_cast<wchar_t>(narrow[i]);
    return length;
}

}  // namespace lum::platform
