#include "lum/reader/link_decoder.h"

#include "lum/diagnostics/reporter.h"
#include "lum/model/link.h"
#include "reader/link_decoders.h"

namespace lum {

namespace {

using namespace detail;

// Tried first, in this order: the exact features with a decoder of their own.
const TSimpleFeatureDecoder<decltype(ClumStructuralFeature::initv), CVellumPrimitiveDecoder<1>> InitialValue;
const TSimpleFeatureDecoder<decltype(ClumVellumObject::stereotype), TStrongTypedValueDecoder<ClumIdent>> Stereotype;
const TSimpleFeatureDecoder<decltype(ClumAttribute::value), TStrongTypedValueDecoder<ClumIdent>> PropertyValue;
const CFeatureDecoder* const FeatureDecoders[] = {&InitialValue, &Stereotype, &PropertyValue, nullptr};

// Tried next, in this order: by the link's target class.
const TSimpleTypeDecoder<ClumVellumIdent, TStrongTypedValueDecoder<ClumIdent>> IdentObjects;
const TSimpleTypeDecoder<ClumVellumString, TStrongTypedValueDecoder<ClumVellumString>> StringObjects;
const TSimpleTypeDecoder<ClumVellumPrimitive, CVellumPrimitiveDecoder<0>> PrimitiveObjects;
const CTypeDecoder* const TypeDecoders[] = {&IdentObjects, &StringObjects, &PrimitiveObjects, nullptr};

}  // namespace

ClumVellumEntity* ClumLinkDecoder::DecodeLink(const WString& text, const ClumMetaFeature& feature) {
    for (const CFeatureDecoder* const* decoder = FeatureDecoders; *decoder != nullptr; ++decoder) {
        if ((*decoder)->GetMetaFeature() == &feature) return (*decoder)->Decode(text);
    }
    const ClumMetaClass* target = feature.GetType();
    if (target == nullptr) return nullptr;
    for (const CTypeDecoder* const* decoder = TypeDecoders; *decoder != nullptr; ++decoder) {
        if (target->IsKindOf((*decoder)->GetMetaClass()) && (*decoder)->Accepts(feature)) {
            return (*decoder)->Decode(text);
        }
    }
    return nullptr;
}

namespace detail {

void DecodeLinkText(IlumLink& link, const WString& text) {
    const ClumMetaFeature& feature = *link.GetMetaFeature();
    auto name = [&] { return QualifiedFeatureName(feature.GetIndex()).c_str(); };
    tErrorList& errors = CErrorReporter::GetInstance().GetErrorList();
    ClumVellumEntity* object = ClumLinkDecoder::DecodeLink(text, feature);
    if (object == nullptr) {
        errors.Report(diag::BadLinkValue, tErrorSubject(), tError::Warning, L"Cannot decode value '%s' for link '%s'",
                      text.c_str(), name());
        return;
    }
    if (object->GetMetaClass().IsKindOf(feature.GetType())) {
        link.Insert(object, -1);
        return;
    }
    errors.Report(
        diag::WrongLinkType, tErrorSubject(), tError::Warning,
        L"Error while decoding feature '%s'. String '%s' was decoded as '%s'. This type cannot be converted to '%s'.",
        name(), text.c_str(), object->GetMetaClass().GetName().c_str(), feature.GetType()->GetName().c_str());
    delete object;
}

}  // namespace detail

}  // namespace lum
