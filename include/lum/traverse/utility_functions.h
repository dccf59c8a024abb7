#pragma once
// ClumUtilityFunctions: one answer each to questions that hosts and the
// library ask about model objects: names and quids, abstractness, binary
// associations, aggregate and navigable roles, the names of a line's two
// ends, and a file's short name. Null arguments give the stated defaults.

#include "lum/export.h"
#include "lum/text/ident.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumAssociation;
class ClumRole;
class IlumFeature;

class ClumUtilityFunctions {
public:
    // The name without directories (only '\' separates) and without extension.
    static WString GetShortFileName(const WString& path);

    // A "roles" link holding exactly two roles.
    static bool IsBinaryAssociation(const ClumAssociation* association);

    // The object's "name" feature, or null.
    static IlumFeature* IsNamedObject(ClumVellumEntity* entity);
    static const IlumFeature* IsNamedObject(const ClumVellumEntity* entity);
    static bool HasName(const ClumVellumEntity* entity);
    // The name as an identifier; empty when there is none.
    static ClumIdent GetName(const ClumVellumEntity* entity);

    // The same for the object's "quid" feature.
    static IlumFeature* IsQuidObject(ClumVellumEntity* entity);
    static const IlumFeature* IsQuidObject(const ClumVellumEntity* entity);
    static bool HasQuid(const ClumVellumEntity* entity);
    static ClumIdent GetQuid(const ClumVellumEntity* entity);

    static bool IsAggregate(const ClumRole* role);
    static bool IsNavigable(const ClumRole* role);
    // The "abstract" value of a class or a use case; false for anything else.
    static bool IsAbstract(const ClumVellumEntity* entity);

    // The names of the client and supplier ends of a line (a relationship,
    // a view line, ...); both outputs are left as they were unless both ends
    // are found.
    static void GetLineEndNames(const ClumVellumEntity* line, ClumIdent& clientName, ClumIdent& supplierName);
};

}  // namespace lum
LUM_API_END
