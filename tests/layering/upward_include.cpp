// Compiled as part of the reader layer, this includes a header of the uml
// layer above it. It must not compile: the layering test expects the compiler
// not to find the header.
#include "lum/uml/view.h"
