#include "lum/diagnostics/codes.h"

namespace lum::diag {

const char* Name(Code code) {
    static constexpr const char* names[] = {
        "Unknown",          "BadValue",           "SyntaxError",       "NotTopLevel",
        "UnknownFeature",   "TopLevelDropped",    "UnknownClass",      "AbstractClass",
        "BadLinkValue",     "WrongLinkType",      "BadReference",      "ReferenceNotSet",
        "BindToNull",       "BindToWrongClass",   "Ambiguous",         "AmbiguityCandidate",
        "CodePageChosen",   "UnitFoundElsewhere", "UnitNotFound",      "UndefinedSymbol",
        "CyclicSymbol",     "FileNotReadable",
    };
    static_assert(sizeof names / sizeof names[0] == CodeCount);
    return code < CodeCount ? names[code] : names[Unknown];
}

}  // namespace lum::diag
