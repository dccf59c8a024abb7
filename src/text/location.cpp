// Text form of diagram points "(x , y)" and point lists "(x1 , y1)(x2 , y2)".

#include "lum/text/location.h"

#include <algorithm>
#include <climits>

#include "lum/text/value_problems.h"
#include "platform/numbers.h"

namespace lum {

tLocation tLocation::Decode(const WString& text)
{
    if (text.empty()) {
        detail::ReportValueProblem(L"Cannot decode location from an empty string!");
        return tLocation();
    }

    // Parentheses and spaces may stand anywhere and are dropped, so
    // "( 1 0 , 2 )" reads as (10, 2). Each number may start with one sign;
    // a missing number, or a lone "-", reads as 0, and a number beyond the
    // range of int reads as the end of that range.
    constexpr long long limit = static_cast<long long>(INT_MAX) + 1;  // as far as INT_MIN needs
    long long values[2] = {0, 0};
    bool negative[2] = {false, false};
    int current = 0;
    bool signAllowed = true;
    bool failed = false;
    for (const wchar_t ch : text) {
        if (ch == L'(' || ch == L')' || ch == L' ')
            continue;
        if (ch == L',') {
            if (current == 1) {
                failed = true;
                break;
            }
            current = 1;
            signAllowed = true;
            continue;
        }
        if (signAllowed) {
            signAllowed = false;
            if (ch == L'+')
                continue;
            if (ch == L'-') {
                negative[current] = true;
                continue;
            }
        }
        if (ch < L'0' || ch > L'9') {
            failed = true;
            break;
        }
        values[current] = std::min(values[current] * 10 + (ch - L'0'), limit);
    }

    if (failed) {
        detail::ReportValueProblem(L"Cannot decode location from string %s", text.c_str());
        return tLocation();
    }
    auto toInt = [](long long value, bool minus) {
        if (minus) return static_cast<int>(-value);  // -limit is INT_MIN
        return value > INT_MAX ? INT_MAX : static_cast<int>(value);
    };
    return tLocation(toInt(values[0], negative[0]), toInt(values[1], negative[1]));
}


void tLocation::Encode(const tLocation& value, WString& out)
{
    wchar_t text[2 * platform::IntTextRoom + 5];
    std::size_t length = 0;
    text[length++] = L'(';
    length += platform::IntToWide(value.x, text + length);
    text[length++] = L' ';
    text[length++] = L',';
    text[length++] = L' ';
    length += platform::IntToWide(value.y, text + length);
    text[length++] = L')';
    out.assign(text, length);
}

tPointVector tPointVector::Decode(const WString& text)
{
    // Only what stands inside a pair of parentheses is collected; blanks,
    // commas and line breaks between the points are ignored.
    tPointVector points;
    WString inner;
    bool inside = false;
    bool failed = false;
    for (const wchar_t ch : text) {
        if (ch == L'(') {
            if (inside) {
                failed = true;
                break;
            }
            inside = true;
        } else if (ch == L')') {
            if (!inside) {
                failed = true;
                break;
            }
            inside = false;
            // A bad point still takes its place, as (0, 0), after the point
            // decoder has reported it.
            points.push_back(tLocation::Decode(L"(" + inner + L")"));
            inner.clear();
        } else if (inside) {
            inner += ch;
        }
    }

    if (failed) {
        detail::ReportValueProblem(L"Cannot decode point vector from string %s", text.c_str());
        return tPointVector();
    }
    // A text cut off inside a point keeps the points completed before it.
    return points;
}

void tPointVector::Encode(const tPointVector& value, WString& out)
{
    WString point;
    for (const tLocation& location : value) {
        tLocation::Encode(location, point);
        out += point;
    }
}

}  // namespace lum
