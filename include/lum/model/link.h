#pragma once
// TlumLink: a containment feature member. It owns the objects it holds
// (each a kind of Target), sets their owner back-link, and deletes them when
// it is destroyed. Costs a virtual table pointer and one word.

#include "lum/diagnostics/reporter.h"
#include "lum/export.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"
#include "lum/model/feature_common.h"
#include "lum/model/vector.h"

LUM_API_BEGIN
namespace lum {

namespace detail {

// Makes the object that `text` stands for as a value of the link feature and
// inserts it, or reports why it cannot.
void DecodeLinkText(IlumLink& link, const WString& text);

}  // namespace detail

template <class Owner, class Target, unsigned index>
class TlumLink : public TlumFeatureCommon<Owner, Target, IlumLink, index>,
                 private TlumVector<ClumVellumEntity>,
                 private ClumOwnerLink {
    using Vector = TlumVector<ClumVellumEntity>;

public:
    TlumLink() = default;
    // Children are unlinked first, then deleted with the container.
    ~TlumLink() {
        const int size = Vector::Size();
        for (int i = 0; i < size; ++i) ClumOwnerLink::UnlinkOwner(Vector::At(i), *this);
    }

    int GetSize() const override { return Vector::Size(); }
    const ClumVellumEntity* GetAt(int i) const override { return Vector::At(i); }
    ClumVellumEntity* GetAt(int i) override { return Vector::At(i); }
    // Typed access to the i-th object.
    Target* Get(int i) const { return static_cast<Target*>(Vector::At(i)); }

    // An object is refused when it is owned already, not of the target
    // class, or the owner itself (which would make it contain itself).
    void Insert(ClumVellumEntity* object, int position) override {
        if (object == nullptr || object->OwningFeature() != nullptr || object == this->GetOwner() ||
            !object->GetMetaClass().IsKindOf(TargetClass())) {
            CErrorReporter::GetInstance().GetErrorList().FormatError(L"Cannot insert object into the feature '%s'",
                                                                     this->QualifiedName().c_str());
            return;
        }
        Vector::InsertAt(object, position);
        ClumOwnerLink::LinkOwner(object, *this);
    }
    ClumVellumEntity* RemoveAt(int i) override {
        ClumVellumEntity* object = Vector::TakeAt(i);
        if (object == nullptr) {
            CErrorReporter::GetInstance().GetErrorList().FormatError(L"Cannot remove object from the feature '%s'",
                                                                     this->QualifiedName().c_str());
            return nullptr;
        }
        ClumOwnerLink::UnlinkOwner(object, *this);
        return object;
    }
    // An object is held at most once (an owned object is refused), so the
    // search runs from the back: detaching children last to first is then
    // linear in the number of children.
    int IndexOf(const ClumVellumEntity* object) const override {
        for (int i = Vector::Size() - 1; i >= 0; --i) {
            if (Vector::At(i) == object) return i;
        }
        return -1;
    }

    bool IsEmpty() const override { return Vector::Size() == 0; }
    void Decode(const WString& text) override {
        if (!text.empty()) detail::DecodeLinkText(*this, text);
    }
    const ClumMetaClass* GetMetaFeatureType() const override { return TargetClass(); }

private:
    // Target may be incomplete where a class header is all that is included,
    // so the target class is taken from the metamodel.
    const ClumMetaClass* TargetClass() const { return this->GetMetaFeature()->GetType(); }
};

}  // namespace lum
LUM_API_END
