#pragma once
// The value type of an attribute feature, for generic code that writes
// values typed (numbers as numbers, enumerations as literals, ...).

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class ClumMetaFeature;

enum class ValueType {
    None,         // a link or a reference
    Bool,
    Int,
    Float,
    String,       // WString
    Ident,        // ClumIdent
    Location,     // tLocation
    PointVector,  // tPointVector
    Enumeration   // one of the enumerations; written as its literal
};

ValueType GetValueType(const ClumMetaFeature& feature);

}  // namespace lum
LUM_API_END
