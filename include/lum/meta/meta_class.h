#pragma once
// ClumMetaClass: the run-time description of one model class: its keyword,
// index, abstractness, ancestors (as a bit mask), feature lists and creation
// function. Built once by InitializeLUM and owned by the ClumMetaProvider;
// the lists are public for reading and written only by the builder.

#include <bitset>
#include <vector>

#include "lum/export.h"
#include "lum/text/ident.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumMetaFeature;

class ClumMetaClass {
public:
    using CreateFunction = ClumVellumEntity* (*)();
    // Class indices are bit positions of the ancestor mask.
    static constexpr unsigned MaxClasses = 512;

    ClumMetaClass(const wchar_t* name, unsigned index, bool abstract);
    ClumMetaClass(const ClumMetaClass&) = delete;
    ClumMetaClass& operator=(const ClumMetaClass&) = delete;

    // The class keyword as written in model files.
    const ClumIdent& GetName() const { return m_name; }
    unsigned GetIndex() const { return m_nIndex; }
    bool IsAbstract() const { return m_bAbstract; }
    // This class is `other` or derives from it; false for null. One bit test.
    bool IsKindOf(const ClumMetaClass* other) const;
    bool operator==(const ClumMetaClass& other) const { return this == &other; }

    ClumIdent m_name;
    bool m_bAbstract;
    unsigned m_nIndex;
    std::bitset<MaxClasses> m_mask;  // bit i: class i is this class or an ancestor
    std::vector<const ClumMetaFeature*> m_ownFeatures;   // declared here, in index order
    std::vector<const ClumMetaFeature*> m_allFeatures;   // own, then each ancestor's; empty if abstract
    std::vector<const ClumMetaFeature*> m_linkFeatures;  // the links of m_allFeatures, same order
    std::vector<const ClumMetaClass*> m_bases;           // the one direct base; none for the root
    std::vector<const ClumMetaClass*> m_derived;         // direct subclasses, ascending index
    CreateFunction m_pfnCreate;                           // null for abstract classes

private:
    friend class tMetamodelBuilder;
    // Sets the bits of this class and all its ancestors; needs the bases linked.
    void InitializeMask();
};

}  // namespace lum
LUM_API_END
