#pragma once
// ClumMetaFeature: the run-time description of one feature (named slot) of a
// model class: keyword, global index, kind, target class, declaring class,
// and direct accessor functions that reach the feature member of any object
// of the declaring class without a lookup by name.

#include "lum/export.h"
#include "lum/text/ident.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumMetaClass;
class IlumFeature;

class ClumMetaFeature {
public:
    enum Kind { eAttribute = 0, eReference = 1, eLink = 2 };

    using LinkGetAtFunction = ClumVellumEntity* (*)(ClumVellumEntity* owner, int i);
    using LinkIndexOfFunction = int (*)(ClumVellumEntity* owner, ClumVellumEntity* object);
    using LinkInsertFunction = void (*)(ClumVellumEntity* owner, ClumVellumEntity* object, int position);
    using LinkRemoveAtFunction = ClumVellumEntity* (*)(ClumVellumEntity* owner, int i);
    using LinkSizeFunction = int (*)(ClumVellumEntity* owner);
    using GetFeatureFunction = IlumFeature* (*)(ClumVellumEntity* owner);

    ClumMetaFeature(unsigned index, const wchar_t* name, Kind kind, ClumMetaClass* type);
    ClumMetaFeature(const ClumMetaFeature&) = default;
    ClumMetaFeature& operator=(const ClumMetaFeature&) = default;

    // The feature keyword as written in model files.
    const ClumIdent& GetName() const { return m_name; }
    Kind GetKind() const { return m_kind; }
    // The target class of a link or reference; null for attributes.
    const ClumMetaClass* GetType() const { return m_pType; }
    // The class that declares the feature.
    const ClumMetaClass& GetOwner() const { return *m_pOwner; }
    unsigned GetIndex() const { return m_nIndex; }
    bool operator==(const ClumMetaFeature& other) const { return this == &other; }

    ClumIdent m_name;
    Kind m_kind;
    const ClumMetaClass* m_pOwner;
    ClumMetaClass* m_pType;
    unsigned m_nIndex;
    // Links only (null otherwise); the owner must be of the declaring class.
    LinkGetAtFunction m_pfnLinkGetAt;
    LinkIndexOfFunction m_pfnLinkIndexOf;
    LinkInsertFunction m_pfnLinkInsert;
    LinkRemoveAtFunction m_pfnLinkRemoveAt;
    LinkSizeFunction m_pfnLinkSize;
    // Every kind: the feature member inside the given owner.
    GetFeatureFunction m_pfnGetFeature;

private:
    friend class tMetamodelBuilder;
    void SetOwner(const ClumMetaClass& owner) { m_pOwner = &owner; }
};

}  // namespace lum
LUM_API_END
