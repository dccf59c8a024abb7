#pragma once
// ClumVellumEntity: the root of every model object. An object is free or
// owned by exactly one link feature of one other object; the owner deletes
// what it contains. ClumOwnerLink: how links set and clear the back-link.

#include "lum/export.h"
#include "lum/text/ident.h"

LUM_API_BEGIN
namespace lum {

class ClumMetaClass;
class IlumFeature;

class ClumVellumEntity {
public:
    virtual ~ClumVellumEntity() = default;
    ClumVellumEntity(const ClumVellumEntity&) = delete;
    ClumVellumEntity& operator=(const ClumVellumEntity&) = delete;

    // The feature member of that keyword along the class chain, or null.
    virtual const IlumFeature* GetFeature(const ClumIdent& keyword) const;
    virtual IlumFeature* GetFeature(const ClumIdent& keyword);
    virtual const ClumMetaClass& GetMetaClass() const;

    // The object whose link holds this one, or null for a free object.
    ClumVellumEntity* Owner();
    const ClumVellumEntity* Owner() const;
    // The link that holds this object, or null.
    IlumFeature* OwningFeature() { return m_pOwningFeature; }
    const IlumFeature* OwningFeature() const { return m_pOwningFeature; }
    // Takes this object out of its owner's link and answers the former
    // owner (null if it was free); the caller then owns this object.
    ClumVellumEntity* UnsetOwner();
    // True when this object is `root` or lies inside it, at any depth.
    bool IsWithin(const ClumVellumEntity* root) const;

    static const ClumMetaClass& StaticGetMetaClass() { return *m_pMetaClass; }
    static ClumMetaClass* m_pMetaClass;

protected:
    ClumVellumEntity() = default;

private:
    friend class ClumOwnerLink;
    // Sets the back-link only when the object has none.
    void LinkOwner(IlumFeature& feature);
    // Clears the back-link only when it is `feature`.
    void UnlinkOwner(IlumFeature& feature);

    IlumFeature* m_pOwningFeature = nullptr;
};

class ClumOwnerLink {
protected:
    // Both do nothing for a null object.
    static void LinkOwner(ClumVellumEntity* object, IlumFeature& feature);
    static void UnlinkOwner(ClumVellumEntity* object, IlumFeature& feature);
};

}  // namespace lum
LUM_API_END
