#pragma once
// The feature interfaces through which generic code reads and changes any
// feature of any object: IlumFeature, and its three kinds IlumAttribute (a
// value), IlumLink (owned children) and IlumReference (named targets).

#include "lum/export.h"
#include "lum/text/ident.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumMetaClass;
class ClumMetaFeature;
class ClumObjectRef;
class IlumAttribute;
class IlumLink;
class IlumReference;

class IlumFeature {
public:
    virtual ~IlumFeature() = default;
    // This feature as the interface of its kind, or null.
    virtual IlumReference* GetReference() { return nullptr; }
    virtual IlumAttribute* GetAttribute() { return nullptr; }
    virtual IlumLink* GetLink() { return nullptr; }
    virtual const ClumMetaFeature* GetMetaFeature() const = 0;
    // The target class of a link or reference; null (and a message) for an attribute.
    virtual const ClumMetaClass* GetMetaFeatureType() const = 0;
    // The object that holds this feature member.
    virtual ClumVellumEntity* GetOwner() = 0;
    virtual const ClumVellumEntity* GetOwner() const = 0;
    virtual bool IsEmpty() const = 0;
    // Sets or adds the feature's value from its text in a model file; an
    // empty text changes nothing.
    virtual void Decode(const WString& text) = 0;

    const IlumReference* GetReference() const { return const_cast<IlumFeature*>(this)->GetReference(); }
    const IlumAttribute* GetAttribute() const { return const_cast<IlumFeature*>(this)->GetAttribute(); }
    const IlumLink* GetLink() const { return const_cast<IlumFeature*>(this)->GetLink(); }

protected:
    IlumFeature() = default;
    IlumFeature(const IlumFeature&) = default;
    IlumFeature& operator=(const IlumFeature&) = default;
};

class IlumAttribute : public IlumFeature {
public:
    using IlumFeature::GetAttribute;
    IlumAttribute* GetAttribute() override { return this; }
    // The value's text, interned.
    virtual void GetAsIdent(ClumIdent& out) const = 0;
    // The value's text as written in a model file.
    virtual void Encode(WString& out) const = 0;
};

class IlumLink : public IlumFeature {
public:
    using IlumFeature::GetLink;
    IlumLink* GetLink() override { return this; }
    virtual int GetSize() const = 0;
    virtual const ClumVellumEntity* GetAt(int i) const = 0;
    virtual ClumVellumEntity* GetAt(int i) = 0;
    // Takes ownership of a free object of the target class; position -1
    // appends. A refused object stays with the caller (with a message).
    virtual void Insert(ClumVellumEntity* object, int position) = 0;
    // Gives up the i-th object to the caller; null (with a message) if none.
    virtual ClumVellumEntity* RemoveAt(int i) = 0;
    // Position of the object, -1 when absent.
    virtual int IndexOf(const ClumVellumEntity* object) const = 0;
};

// Values are addressed by index: -1 for a single-valued reference,
// 0 .. GetCount() - 1 for a list; any other index designates no value.
class IlumReference : public IlumFeature {
public:
    using IlumFeature::GetReference;
    IlumReference* GetReference() override { return this; }
    virtual bool IsSingle() const = 0;
    virtual int GetCount() const = 0;
    // Adds a value made from the object (single: only when none is held).
    virtual void SetTarget(const ClumVellumEntity* object) = 0;
    // Adds the value written as `text` (single: only when none is held).
    virtual void DecodeReference(const WString& text) = 0;
    virtual ClumObjectRef* GetObjectRef(long index) = 0;
    virtual const ClumObjectRef* GetObjectRef(long index) const = 0;
    // Binds the value at the index, checking the target class (messages on failure).
    virtual void BindTo(const ClumVellumEntity* object, long index) = 0;
    virtual void Unbind(long index) = 0;
    virtual void Remove(long index) = 0;
    virtual ClumVellumEntity* GetTarget(long index) = 0;
    virtual const ClumVellumEntity* GetTarget(long index) const = 0;
    // The written text of the value, interned; `out` unchanged if no value.
    virtual void GetValueIdent(ClumIdent& out, long index) const = 0;
    // The text form of the value; `out` unchanged if no value.
    virtual void EncodeReference(WString& out, long index) const = 0;

    bool IsBound(long index) const { return GetTarget(index) != nullptr; }
};

}  // namespace lum
LUM_API_END
