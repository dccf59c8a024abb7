// Text codecs of bool, int and float attribute values.

#include "lum/text/codecs.h"

#include <cstdint>
#include <cwctype>

#include "lum/text/value_problems.h"
#include "platform/numbers.h"

namespace lum {

bool DecodeBool(const WString& text, bool& value)
{
    if (WString::Match(text, L"true", false)) {
        value = true;
        return true;
    }
    if (WString::Match(text, L"false", false)) {
        value = false;
        return true;
    }
    detail::ReportValueProblem(L"Cannot decode bool from string '%s'", text.c_str());
    return false;
}

void EncodeBool(const bool& value, WString& out)
{
    out = value ? L"true" : L"false";
}

bool DecodeInt(const WString& text, int& value)
{
    // Only the space counts as a blank here; a tab is an ordinary character
    // and therefore makes the text fail as a non-digit.
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == L' ')
        ++begin;
    while (end > begin && text[end - 1] == L' ')
        --end;

    bool negative = false;
    if (begin < end && (text[begin] == L'+' || text[begin] == L'-')) {
        negative = text[begin] == L'-';
        ++begin;
    }

    // Unsigned arithmetic gives the 32-bit wrap-around files rely on
    // ("4294967297" reads as 1) without signed overflow.
    std::uint32_t accumulated = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const wchar_t ch = text[i];
        if (!std::iswdigit(static_cast<std::wint_t>(ch))) {
            detail::ReportValueProblem(L"Cannot decode int from string '%s'", text.c_str());
            return false;
        }
        accumulated = accumulated * 10u + static_cast<std::uint32_t>(ch - L'0');
    }
    if (negative)
        accumulated = 0u - accumulated;

    // Modular conversion, well defined since C++20.
    value = static_cast<int>(static_cast<std::int32_t>(accumulated));
    return true;
}

void EncodeInt(const int& value, WString& out)
{
    wchar_t text[platform::IntTextRoom];
    out.assign(text, platform::IntToWide(value, text));
}

bool DecodeFloat(const WString& text, float& value)
{
    value = static_cast<float>(platform::WideToDouble(text.c_str()));
    return true;
}

void EncodeFloat(const float& value, WString& out)
{
    out.Format(L"%f", static_cast<double>(value));
}

}  // namespace lum
