#pragma once
// Multiplicity: the ranges of a cardinality text ("1", "0..1", "n", "1..n",
// "0..*", "3..5", or a comma-separated list of them).

#include <cstdint>
#include <string>
#include <vector>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum::uml {

// One range lower..upper; upper is kUnlimited for "*" and "n".
struct MultiplicityRange {
    static constexpr std::int64_t kUnlimited = -1;
    std::int64_t lower = 1;
    std::int64_t upper = 1;
    bool operator==(const MultiplicityRange&) const = default;
};

// A parsed cardinality. Not specified (no text) means the UML default 1;
// a text that is not a cardinality keeps `text` and has no ranges.
struct Multiplicity {
    WString text;                           // as written, trimmed
    std::vector<MultiplicityRange> ranges;  // empty when unspecified or unreadable

    bool IsSpecified() const { return !text.empty(); }
    bool IsValid() const { return !ranges.empty(); }
    // The lowest lower bound and the highest upper bound (1 and 1 when unspecified or unreadable).
    std::int64_t Lower() const;
    std::int64_t Upper() const;

    // Reads a cardinality text; whitespace around numbers is ignored, "n" and
    // "*" stand for unlimited, "n" alone and "*" alone mean 0..*.
    static Multiplicity Parse(const std::wstring& text);
    // UML notation: "1", "0..1", "*", "1..*", "3..5", "1, 3..5"; the written
    // text when it cannot be read; empty when unspecified.
    std::string ToString() const;
};

}  // namespace lum::uml
LUM_API_END
