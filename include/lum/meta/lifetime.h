#pragma once
// Start and end of the library. Calls are counted: the first InitializeLUM
// builds the metamodel (and sets WString's code page to the system's ANSI
// code page, 1252 where the system has none); the balancing FinalizeLUM
// frees it. No model object may outlive the metamodel.

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

void InitializeLUM();
void FinalizeLUM();

}  // namespace lum
LUM_API_END
