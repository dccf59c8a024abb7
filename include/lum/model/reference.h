#pragma once
// TlumReference: a reference feature member. It names objects without owning
// them: storage 0 holds at most one ClumObjectRef (index -1), storage 1 a
// list of them (indices 0 .. count - 1), made on first use.

#include <memory>
#include <vector>

#include "lum/export.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"
#include "lum/model/feature_common.h"
#include "lum/model/object_ref.h"

LUM_API_BEGIN
namespace lum {

class ClumOperation;
class ClumStructuralFeature;

template <int storage>
class tRefStorage_traits;

template <>
class tRefStorage_traits<0> {
protected:
    static constexpr bool Single = true;
    int Count() const { return m_pValue ? 1 : 0; }
    ClumObjectRef* At(long index) const { return index == -1 ? m_pValue.get() : nullptr; }
    // Keeps the first value: a second one is disposed of.
    void Add(ClumObjectRef* value) {
        if (!m_pValue) m_pValue.reset(value);
        else delete value;
    }
    bool HasRoomFor() const { return !m_pValue; }
    // The index is ignored: the one value goes.
    void Erase(long) { m_pValue.reset(); }

private:
    std::unique_ptr<ClumObjectRef> m_pValue;
};

template <>
class tRefStorage_traits<1> {
protected:
    static constexpr bool Single = false;
    int Count() const { return m_pValues ? static_cast<int>(m_pValues->size()) : 0; }
    ClumObjectRef* At(long index) const {
        if (!m_pValues || index < 0 || static_cast<std::size_t>(index) >= m_pValues->size()) return nullptr;
        return (*m_pValues)[static_cast<std::size_t>(index)].get();
    }
    void Add(ClumObjectRef* value) {
        if (!m_pValues) m_pValues = std::make_unique<std::vector<std::unique_ptr<ClumObjectRef>>>();
        m_pValues->emplace_back(value);
    }
    bool HasRoomFor() const { return true; }
    void Erase(long index) {
        if (At(index) != nullptr) m_pValues->erase(m_pValues->begin() + index);
    }

private:
    std::unique_ptr<std::vector<std::unique_ptr<ClumObjectRef>>> m_pValues;
};

namespace detail {

// The checks and messages of binding a reference value (see BindTo).
void BindReference(IlumReference& feature, ClumObjectRef* value, const ClumMetaClass& targetClass,
                   const ClumVellumEntity* object);

}  // namespace detail

template <class Owner, class Target, unsigned index, int storage>
class TlumReference;

// The text decoders of the two references whose file text carries more than
// a name: the exceptions of an operation and the type of an attribute or
// parameter.
void DecodeOperationExceptions(TlumReference<ClumOperation, ClumVellumEntity, 220, 1>& feature,
                               const WString& text);
void DecodeStructuralFeatureType(TlumReference<ClumStructuralFeature, ClumVellumEntity, 66, 0>& feature,
                                 const WString& text);

// How a reference feature reads its text: through DecodeReference, except
// for the two features above.
template <class Owner, unsigned index>
struct ReferenceTextDecoder {
    template <class Feature>
    static void Decode(Feature& feature, const WString& text) { feature.DecodeReference(text); }
};
template <>
struct ReferenceTextDecoder<ClumOperation, 220> {
    template <class Feature>
    static void Decode(Feature& feature, const WString& text) { DecodeOperationExceptions(feature, text); }
};
template <>
struct ReferenceTextDecoder<ClumStructuralFeature, 66> {
    template <class Feature>
    static void Decode(Feature& feature, const WString& text) { DecodeStructuralFeatureType(feature, text); }
};

template <class Owner, class Target, unsigned index, int storage>
class TlumReference : public TlumFeatureCommon<Owner, Target, IlumReference, index>,
                      private tRefStorage_traits<storage> {
    using Storage = tRefStorage_traits<storage>;

public:
    TlumReference() = default;

    bool IsSingle() const override { return Storage::Single; }
    int GetCount() const override { return Storage::Count(); }
    bool IsEmpty() const override { return Storage::Count() == 0; }

    void SetTarget(const ClumVellumEntity* object) override {
        if (object == nullptr || !Storage::HasRoomFor()) return;
        Storage::Add(new ClumObjectRef(object));
    }
    void DecodeReference(const WString& text) override {
        if (!Storage::HasRoomFor()) return;
        if (ClumObjectRef* value = ClumObjectRef::Decode(text)) Storage::Add(value);
    }
    void Decode(const WString& text) override {
        if (!text.empty()) ReferenceTextDecoder<Owner, index>::Decode(*this, text);
    }

    ClumObjectRef* GetObjectRef(long i) override { return Storage::At(i); }
    const ClumObjectRef* GetObjectRef(long i) const override { return Storage::At(i); }
    // The first value (single: the value), typed; null if none.
    const ClumObjectRef* First() const { return Storage::At(Storage::Single ? -1 : 0); }

    void BindTo(const ClumVellumEntity* object, long i) override {
        detail::BindReference(*this, Storage::At(i), *GetMetaFeatureType(), object);
    }
    void Unbind(long i) override {
        if (ClumObjectRef* value = Storage::At(i)) value->Unbind();
    }
    void Remove(long i) override { Storage::Erase(i); }
    ClumVellumEntity* GetTarget(long i) override {
        const ClumObjectRef* value = Storage::At(i);
        return value ? value->Target() : nullptr;
    }
    const ClumVellumEntity* GetTarget(long i) const override {
        const ClumObjectRef* value = Storage::At(i);
        return value ? value->Target() : nullptr;
    }
    void GetValueIdent(ClumIdent& out, long i) const override;
    void EncodeReference(WString& out, long i) const override {
        if (const ClumObjectRef* value = Storage::At(i)) ClumObjectRef::Encode(*value, out);
    }
    // Taken from the metamodel, so that Target may stay incomplete here.
    const ClumMetaClass* GetMetaFeatureType() const override { return this->GetMetaFeature()->GetType(); }
};

template <class Owner, class Target, unsigned index, int storage>
void TlumReference<Owner, Target, index, storage>::GetValueIdent(ClumIdent& out, long i) const {
    const ClumObjectRef* value = Storage::At(i);
    if (value == nullptr) return;
    if (value->GetQualifier() == nullptr) {
        out = value->GetName();
        return;
    }
    WString text;
    ClumObjectRef::Encode(*value, text);
    out = text;
}

}  // namespace lum
LUM_API_END
