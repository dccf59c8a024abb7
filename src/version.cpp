#include "lum/version.h"

namespace lum {

const char* Version() { return LUM_VERSION_STRING; }

}  // namespace lum
