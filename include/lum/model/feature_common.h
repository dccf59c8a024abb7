#pragma once
// TlumFeatureCommon: what every feature member shares. It knows its global
// feature index, finds its meta-feature by that index, and finds the object
// that holds it from its own address: FeatureOffset<Owner, index> (given
// for each member by the model class headers) is the member's offset inside
// its declaring class.

#include <cstddef>

#include "lum/export.h"
#include "lum/meta/meta_provider.h"
#include "lum/model/feature.h"

LUM_API_BEGIN
namespace lum {

template <class Owner, unsigned index>
struct FeatureOffset;

namespace detail {

// "Class::feature": the declaring class's keyword and the feature keyword,
// built on first use and kept.
const WString& QualifiedFeatureName(unsigned index);

}  // namespace detail

template <class Owner, class T, class Interface, unsigned index>
class TlumFeatureCommon : public Interface {
public:
    static constexpr unsigned FeatureIndex = index;

    const ClumMetaFeature* GetMetaFeature() const override {
        return ClumMetaProvider::GetInstance().GetMetaFeature(index);
    }
    ClumVellumEntity* GetOwner() override { return &OwnerObject(); }
    const ClumVellumEntity* GetOwner() const override {
        return &const_cast<TlumFeatureCommon*>(this)->OwnerObject();
    }

protected:
    TlumFeatureCommon() = default;
    TlumFeatureCommon(const TlumFeatureCommon&) = delete;
    TlumFeatureCommon& operator=(const TlumFeatureCommon&) = delete;

    Owner& OwnerObject() {
        return *reinterpret_cast<Owner*>(reinterpret_cast<char*>(this) - FeatureOffset<Owner, index>::value);
    }
    static const WString& QualifiedName() { return detail::QualifiedFeatureName(index); }
};

}  // namespace lum
LUM_API_END
