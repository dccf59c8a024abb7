#include "lum/model/reference.h"

#include <cwctype>

#include "lum/diagnostics/reporter.h"
#include "lum/model/classes/ClumOperation.h"
#include "lum/model/classes/ClumParameter.h"

namespace lum {

namespace detail {

void BindReference(IlumReference& feature, ClumObjectRef* value, const ClumMetaClass& targetClass,
                   const ClumVellumEntity* object) {
    tErrorList& errors = CErrorReporter::GetInstance().GetErrorList();
    auto name = [&] { return QualifiedFeatureName(feature.GetMetaFeature()->GetIndex()).c_str(); };
    if (value == nullptr) {
        errors.Report(diag::ReferenceNotSet, tErrorSubject(), tError::Warning,
                      L"Reference '%s' is not set. You cannot bind this reference.", name());
        return;
    }
    if (object == nullptr) {
        errors.Report(diag::BindToNull, tErrorSubject(), tError::Warning, L"Cannot bind reference '%s' to NULL", name());
        return;
    }
    if (&targetClass != &ClumVellumEntity::StaticGetMetaClass() && !object->GetMetaClass().IsKindOf(&targetClass)) {
        errors.Report(diag::BindToWrongClass, tErrorSubject(), tError::Warning,
                      L"Cannot bind reference '%s' to object of metalcass '%s'", name(),
                      object->GetMetaClass().GetName().c_str());
        return;
    }
    value->BindTo(object);
}

}  // namespace detail

void DecodeOperationExceptions(TlumReference<ClumOperation, ClumVellumEntity, 220, 1>& feature,
                               const WString& text) {
    std::vector<WString> pieces;
    WString::Split(text, pieces, L",");
    for (WString& piece : pieces) {
        // A bound written after the name, as in IOError[2], is not part of it.
        const std::size_t open = piece.rfind(L'[');
        if (!piece.empty() && piece.back() == L']' && open != WString::npos) piece.erase(open);
        feature.DecodeReference(piece);
    }
}

void DecodeStructuralFeatureType(TlumReference<ClumStructuralFeature, ClumVellumEntity, 66, 0>& feature,
                                 const WString& text) {
    ClumVellumEntity* owner = feature.GetOwner();
    if (!owner->GetMetaClass().IsKindOf(&ClumParameter::StaticGetMetaClass())) {
        feature.DecodeReference(text);
        return;
    }
    auto* parameter = static_cast<ClumParameter*>(owner);
    // The words before the type name say how the parameter is passed.
    std::size_t i = 0;
    bool anyWord = false;
    while (i < text.size()) {
        while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
        if (i == text.size()) break;
        const std::size_t start = i;
        while (i < text.size() && !std::iswspace(static_cast<wint_t>(text[i]))) ++i;
        const WString word(text.data() + start, i - start);
        anyWord = true;
        if (word == L"in" || word == L"out" || word == L"inout") {
            parameter->dir.Decode(word);
        } else if (word == L"const") {
            parameter->isConst.Set(true);
        } else {
            // The type runs from the first occurrence of this word to the end.
            feature.DecodeReference(WString(text.substr(text.find(word))));
            return;
        }
    }
    if (!anyWord) {
        CErrorReporter::GetInstance().GetErrorList().Report(
            diag::BadReference, tErrorSubject(), tError::Warning, L"Cannot decode reference '%s' from string '%s'",
            detail::QualifiedFeatureName(feature.GetMetaFeature()->GetIndex()).c_str(), text.c_str());
    }
}

}  // namespace lum
