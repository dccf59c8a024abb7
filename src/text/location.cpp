// Text form of diagram points "(x , y)" and point lists "(x1 , y1)(x2 , y2)".

#include "lum/text/location.h"

#include <cwctype>

#include "text/value_problems.h"
#include "platform/numbers.h"

namespace lum {

tLocation tLocation::Decode(const WString& text)
{
    if (text.empty()) {
        detail::ReportValueProblem(L"Cannot decode location from an empty string!");
        return tLocation();
    }

    // Parentheses and spaces may stand anywhere and are dropped, so
    // "( 1 0 , 2 )" reads as (10, 2). Each number may start with one sign.
    WString digits[2];
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
                digits[current] += ch;
                continue;
            }
        }
        if (!std::iswdigit(static_cast<std::wint_t>(ch))) {
            failed = true;
            break;
        }
        digits[current] += ch;
    }

    if (failed) {
        detail::ReportValueProblem(L"Cannot decode location from string %s", text.c_str());
        return tLocation();
    }
    // A missing number, or a lone "-", reads as 0.
    return tLocation(platform::WideToInt(digits[0].c_str()), platform::WideToInt(digits[1].c_str()));
}

void tLocation::Encode(const tLocation& value, WString& out)
{
    out.Format(L"(%d , %d)", value.x, value.y);
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
