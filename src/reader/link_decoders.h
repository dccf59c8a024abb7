#pragma once
// The decoders behind ClumLinkDecoder. Feature decoders serve one exact
// meta-feature; type decoders serve every link whose target class is a kind
// of the class they produce. Value decoders make the object from the text.

#include <new>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/meta/meta_provider.h"
#include "lum/model/classes.h"

namespace lum::detail {

class CFeatureDecoder {
public:
    virtual ~CFeatureDecoder() = default;
    virtual const ClumMetaFeature* GetMetaFeature() const = 0;
    virtual ClumVellumEntity* Decode(const WString& text) const = 0;
};

// Serves the meta-feature of the feature member type Link.
template <class Link>
class TFeatureDecoder : public CFeatureDecoder {
public:
    const ClumMetaFeature* GetMetaFeature() const override {
        return ClumMetaProvider::GetInstance().GetMetaFeature(Link::FeatureIndex);
    }
};

template <class Link, class ValueDecoder>
class TSimpleFeatureDecoder : public TFeatureDecoder<Link> {
public:
    ClumVellumEntity* Decode(const WString& text) const override { return ValueDecoder::Decode(text); }
};

class CTypeDecoder {
public:
    virtual ~CTypeDecoder() = default;
    virtual const ClumMetaClass* GetMetaClass() const = 0;
    virtual ClumVellumEntity* Decode(const WString& text) const = 0;
    virtual bool Accepts(const ClumMetaFeature&) const { return true; }
};

template <class Class>
class TTypeDecoder : public CTypeDecoder {
public:
    const ClumMetaClass* GetMetaClass() const override { return &Class::StaticGetMetaClass(); }
};

template <class Class, class ValueDecoder>
class TSimpleTypeDecoder : public TTypeDecoder<Class> {
public:
    ClumVellumEntity* Decode(const WString& text) const override { return ValueDecoder::Decode(text); }
};

// A new object of class Made whose "value" is read from the text; null when
// memory runs out.
template <class Made>
ClumVellumEntity* MakeValueObject(const WString& text) {
    Made* object = new (std::nothrow) Made();
    if (object != nullptr) object->value.Decode(text);
    return object;
}

// Always the same class: an identifier object for T = ClumIdent, a string
// object for T = ClumVellumString.
template <class T>
struct TStrongTypedValueDecoder;

template <>
struct TStrongTypedValueDecoder<ClumIdent> {
    static ClumVellumEntity* Decode(const WString& text) { return MakeValueObject<ClumVellumIdent>(text); }
};

template <>
struct TStrongTypedValueDecoder<ClumVellumString> {
    static ClumVellumEntity* Decode(const WString& text) { return MakeValueObject<ClumVellumString>(text); }
};

// The class follows the text: a boolean, an integer, a real number, or else
// a string (N = 0) or an identifier (N = 1).
template <int N>
struct CVellumPrimitiveDecoder {
    static ClumVellumEntity* Decode(const WString& text) {
        if (WString::Match(text, L"true", false) || WString::Match(text, L"false", false))
            return MakeValueObject<ClumVellumBool>(text);
        if (WString::IsIntegerNumber(text)) return MakeValueObject<ClumVellumInt>(text);
        if (WString::IsRealNumber(text)) return MakeValueObject<ClumVellumFloat>(text);
        if constexpr (N == 0) return MakeValueObject<ClumVellumString>(text);
        else return MakeValueObject<ClumVellumIdent>(text);
    }
};

}  // namespace lum::detail
