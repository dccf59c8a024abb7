#include "lum/meta/class_factory.h"

#include "lum/diagnostics/reporter.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_provider.h"

namespace lum {

ClumVellumEntity* ClumClassFactory::MakeClass(const WString& name) {
    const ClumMetaClass* metaClass = ClumMetaProvider::GetInstance().GetMetaClass(ClumIdent(name));
    if (metaClass == nullptr) {
        CErrorReporter::GetInstance().GetErrorList().Report(
            diag::UnknownClass, tErrorSubject(), tError::Warning, L"Could not create class '%s'. No metaclass found with such a name", name.c_str());
        return nullptr;
    }
    if (metaClass->m_pfnCreate == nullptr) {
        CErrorReporter::GetInstance().GetErrorList().Report(
            diag::AbstractClass, tErrorSubject(), tError::Warning, L"Could not create class '%s'. This class is an abstract.", name.c_str());
        return nullptr;
    }
    return metaClass->m_pfnCreate();
}

}  // namespace lum
