#pragma once
// ClumPrettyPrinter: writes an object and everything it contains as indented
// text, four blanks a level: "object <class>", then each set attribute
// ("name = value;"), each set reference ("name = ref text;", further values
// of a list one level deeper) and each non-empty link as a "( link name"
// ... ")" block holding its objects.

#include <ostream>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;

class ClumPrettyPrinter {
public:
    // To the standard wide output; a null object prints nothing.
    static void Print(const ClumVellumEntity* entity);
    static void Print(const ClumVellumEntity* entity, std::wostream& out);
};

}  // namespace lum
LUM_API_END
