#include "lum/meta/meta_feature.h"

namespace lum {

ClumMetaFeature::ClumMetaFeature(unsigned index, const wchar_t* name, Kind kind, ClumMetaClass* type)
    : m_name(name),
      m_kind(kind),
      m_pOwner(nullptr),
      m_pType(type),
      m_nIndex(index),
      m_pfnLinkGetAt(nullptr),
      m_pfnLinkIndexOf(nullptr),
      m_pfnLinkInsert(nullptr),
      m_pfnLinkRemoveAt(nullptr),
      m_pfnLinkSize(nullptr),
      m_pfnGetFeature(nullptr) {}

}  // namespace lum
