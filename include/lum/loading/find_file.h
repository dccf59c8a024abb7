#pragma once
// Finding a stored file name on this system: backslashes are directory
// separators, and a name not found as written is matched component by
// component without regard to case (models saved on case-insensitive file
// systems write names in any case).

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

// The name under which `name` exists here, or false when nothing matches.
bool FindExistingFile(const WString& name, WString& found);

}  // namespace lum
LUM_API_END
