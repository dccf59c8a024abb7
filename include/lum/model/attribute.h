#pragma once
// TlumAttribute: a feature member holding one value. Small values (int,
// bool, float, enumerations, identifiers) live in the member; texts,
// locations and point lists cost one pointer until first given a value.

#include <memory>
#include <type_traits>

#include "lum/diagnostics/reporter.h"
#include "lum/export.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/attribute_codec.h"
#include "lum/model/feature_common.h"

LUM_API_BEGIN
namespace lum {

// Storage of an attribute value: byValue 1 holds it in the member, 0 holds a
// pointer to a value object made on the first non-empty assignment.
template <class T, int byValue>
class tAttrStorage_traits;

template <class T>
class tAttrStorage_traits<T, 1> {
protected:
    const T& Load() const { return m_value; }
    void Store(const T& value) { m_value = value; }
    // Empty means the type's default value; a float is never empty.
    bool HoldsNothing() const {
        if constexpr (std::is_same_v<T, float>) return false;
        else return m_value == T();
    }

private:
    T m_value{};
};

template <class T>
class tAttrStorage_traits<T, 0> {
protected:
    const T& Load() const { return m_pValue ? *m_pValue : Empty(); }
    void Store(const T& value) {
        if (m_pValue) *m_pValue = value;
        else if (!(value == Empty())) m_pValue = std::make_unique<T>(value);
    }
    bool HoldsNothing() const { return !m_pValue; }

private:
    static const T& Empty() {
        static const T empty;
        return empty;
    }
    std::unique_ptr<T> m_pValue;
};

template <class T>
inline constexpr int AttrStorageKind =
    std::is_same_v<T, WString> || std::is_same_v<T, tLocation> || std::is_same_v<T, tPointVector> ? 0 : 1;

template <class Owner, class T, unsigned index>
class TlumAttribute : public TlumFeatureCommon<Owner, T, IlumAttribute, index>,
                      private tAttrStorage_traits<T, AttrStorageKind<T>> {
    using Storage = tAttrStorage_traits<T, AttrStorageKind<T>>;

public:
    using ValueType = T;

    TlumAttribute() = default;

    const T& Get() const { return Storage::Load(); }
    // Storing the empty value into an attribute that never held one keeps
    // it without a value object.
    void Set(const T& value) { Storage::Store(value); }

    bool IsEmpty() const override { return Storage::HoldsNothing(); }
    void Decode(const WString& text) override {
        if (text.empty()) return;
        T value{};
        detail::DecodeValue(text, value);
        Set(value);
    }
    void Encode(WString& out) const override { detail::EncodeValue(Get(), out); }
    void GetAsIdent(ClumIdent& out) const override {
        if constexpr (std::is_same_v<T, ClumIdent>) {
            out = Get();
        } else {
            WString text;
            Encode(text);
            out = text;
        }
    }
    const ClumMetaClass* GetMetaFeatureType() const override {
        CErrorReporter::GetInstance().GetErrorList().FormatError(
            L"GetMetaFeatureType() was called for attribute %s. This method is not available for attributes. .",
            this->GetMetaFeature()->GetName().c_str());
        return nullptr;
    }
};

}  // namespace lum
LUM_API_END
