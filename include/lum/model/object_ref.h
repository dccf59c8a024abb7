#pragma once
// ClumObjectRef: the value of a reference feature. It keeps how the target
// was written (a name, a quid or an @ label; a qualified name A::B::C is the
// chain C -> B -> A through `qualifier`) and, once bound, the target itself.
// It owns its qualifier chain, never its target.

#include "lum/export.h"
#include "lum/text/ident.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;

class ClumObjectRef {
public:
    enum Kind {
        eEmpty = 0,       // no name, no target
        eName = 1,        // a name or a quid
        eLabel = 2,       // a file-local label: the name starts with '@'
        eFromObject = 3   // made from an object: no text, a target
    };

    ClumObjectRef() = default;
    // The name as given, not split at "::".
    explicit ClumObjectRef(const ClumIdent& name) : name(name) {}
    explicit ClumObjectRef(const WString& name) : name(name) {}
    explicit ClumObjectRef(const wchar_t* name) : name(name) {}
    explicit ClumObjectRef(const ClumVellumEntity* object) : target(object) {}
    ~ClumObjectRef();
    ClumObjectRef(const ClumObjectRef&) = delete;
    ClumObjectRef& operator=(const ClumObjectRef&) = delete;

    // Replace the name only.
    void Set(const ClumIdent& text) { name = text; }
    void Set(const WString& text) { name = text; }
    void Set(const wchar_t* text) { name = text; }
    // Set the target (binding does not change the written value).
    void Set(const ClumVellumEntity* object) const { target = object; }
    void BindTo(const ClumVellumEntity* object) const { target = object; }
    void Unbind() const { target = nullptr; }

    const ClumIdent& GetName() const { return name; }
    ClumObjectRef* GetQualifier() { return qualifier; }
    const ClumObjectRef* GetQualifier() const { return qualifier; }
    // Binding is allowed on const references; the target is not owned.
    ClumVellumEntity* Target() const { return const_cast<ClumVellumEntity*>(target); }
    Kind GetKind() const;

    // A::B::C along the qualifier chain; a bound reference of another kind
    // than name or label gives its target's class keyword.
    static void Encode(const ClumObjectRef& ref, WString& out);
    // A new chain owned by the caller, cut at every run of ':'; null for "".
    static ClumObjectRef* Decode(const WString& text);

private:
    ClumObjectRef* qualifier = nullptr;
    ClumIdent name;
    mutable const ClumVellumEntity* target = nullptr;
};

}  // namespace lum
LUM_API_END
