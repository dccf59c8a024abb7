#include "lum/diagnostics/error.h"

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes/ClumLabeledObject.h"
#include "lum/traverse/utility_functions.h"

namespace lum {

WString tErrorSubject::ToString() const {
    WString text;
    if (entity != nullptr) {
        const ClumIdent name = ClumUtilityFunctions::GetName(entity);
        WString description = name.c_str();
        if (description.empty() && entity->GetMetaClass().IsKindOf(&ClumLabeledObject::StaticGetMetaClass())) {
            description = static_cast<const ClumLabeledObject*>(entity)->label.Get().c_str();
        }
        ClumIdent clientName, supplierName;
        ClumUtilityFunctions::GetLineEndNames(entity, clientName, supplierName);
        const bool isLine = clientName.GetLength() != 0 && supplierName.GetLength() != 0;
        if (isLine) {
            description.Format(L"%s between '%s' and '%s'", name.c_str(), clientName.c_str(), supplierName.c_str());
        }
        const wchar_t* className = entity->GetMetaClass().GetName().c_str();
        if (metaFeature == nullptr) {
            text.Format(L"%s%s %s", isLine ? L"Line " : L"", className, description.c_str());
        } else {
            text.Format(L"feature %s of %s %s", metaFeature->GetName().c_str(), className, description.c_str());
        }
    } else if (metaClass != nullptr) {
        if (metaFeature == nullptr) text.Format(L"%s", metaClass->GetName().c_str());
        else text.Format(L"%s::%s", metaClass->GetName().c_str(), metaFeature->GetName().c_str());
    } else if (metaFeature != nullptr) {
        text.Format(L"%s::%s", metaFeature->GetOwner().GetName().c_str(), metaFeature->GetName().c_str());
    } else if (line != 0) {
        text.Format(L"line %d", static_cast<int>(line));
    } else {
        text = L"<no subject>";
    }
    return text;
}

}  // namespace lum
