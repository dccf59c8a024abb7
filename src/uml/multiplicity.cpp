#include "lum/uml/multiplicity.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string_view>

#include "lum/text/utf8.h"

namespace lum::uml {

namespace {

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
    return text;
}

bool IsUnlimited(std::wstring_view text) { return text == L"*" || text == L"n" || text == L"N"; }

// A bound of up to 18 digits.
std::optional<std::int64_t> Number(std::wstring_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    return value;
}

std::optional<MultiplicityRange> Range(std::wstring_view text) {
    text = Trim(text);
    if (IsUnlimited(text)) return MultiplicityRange{0, MultiplicityRange::kUnlimited};
    const std::size_t dots = text.find(L"..");
    if (dots == std::wstring_view::npos) {
        const auto value = Number(text);
        if (!value) return std::nullopt;
        return MultiplicityRange{*value, *value};
    }
    const auto lower = Number(Trim(text.substr(0, dots)));
    const std::wstring_view upperText = Trim(text.substr(dots + 2));
    if (!lower) return std::nullopt;
    if (IsUnlimited(upperText)) return MultiplicityRange{*lower, MultiplicityRange::kUnlimited};
    const auto upper = Number(upperText);
    if (!upper || *upper < *lower) return std::nullopt;
    return MultiplicityRange{*lower, *upper};
}

std::string Bound(std::int64_t value) {
    return value == MultiplicityRange::kUnlimited ? std::string("*") : std::to_string(value);
}

}  // namespace

Multiplicity Multiplicity::Parse(const std::wstring& text) {
    Multiplicity result;
    const std::wstring_view trimmed = Trim(text);
    result.text = WString(std::wstring(trimmed));
    std::wstring_view rest = trimmed;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(L',');
        const std::wstring_view piece = rest.substr(0, comma);
        rest = comma == std::wstring_view::npos ? std::wstring_view() : rest.substr(comma + 1);
        const auto range = Range(piece);
        if (!range) {
            result.ranges.clear();
            return result;
        }
        result.ranges.push_back(*range);
    }
    return result;
}

std::int64_t Multiplicity::Lower() const {
    if (ranges.empty()) return 1;
    std::int64_t lower = ranges.front().lower;
    for (const MultiplicityRange& range : ranges) lower = std::min(lower, range.lower);
    return lower;
}

std::int64_t Multiplicity::Upper() const {
    if (ranges.empty()) return 1;
    std::int64_t upper = 0;
    for (const MultiplicityRange& range : ranges) {
        if (range.upper == MultiplicityRange::kUnlimited) return MultiplicityRange::kUnlimited;
        upper = std::max(upper, range.upper);
    }
    return upper;
}

std::string Multiplicity::ToString() const {
    if (ranges.empty()) return ToUtf8(text);
    std::string out;
    for (const MultiplicityRange& range : ranges) {
        if (!out.empty()) out += ", ";
        out += Bound(range.lower);
        if (range.upper != range.lower) out += ".." + Bound(range.upper);
    }
    return out;
}

}  // namespace lum::uml
