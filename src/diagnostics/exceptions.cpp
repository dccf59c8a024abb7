#include "lum/diagnostics/exceptions.h"

namespace lum {

void LUMException::ToString(WString& out) { out = L"LUMException"; }

void tCannotOpenFileException::ToString(WString& out) { out.Format(L"Cannot open file %s", m_strFileName.c_str()); }

}  // namespace lum
