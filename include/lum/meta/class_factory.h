#pragma once
// ClumClassFactory: makes a model object from its class keyword.

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;

class ClumClassFactory {
public:
    // A new, free object of the class with that keyword, owned by the caller;
    // null, with a message on the current error list, for a keyword no class
    // bears or an abstract class.
    static ClumVellumEntity* MakeClass(const WString& name);
};

}  // namespace lum
LUM_API_END
