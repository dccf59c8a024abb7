#include "lum/model/object_ref.h"

#include <vector>

#include "lum/meta/meta_class.h"
#include "lum/model/entity.h"

namespace lum {

ClumObjectRef::~ClumObjectRef() {
    // The chain is freed without recursion, however long it is.
    ClumObjectRef* next = qualifier;
    while (next != nullptr) {
        ClumObjectRef* after = next->qualifier;
        next->qualifier = nullptr;
        delete next;
        next = after;
    }
}

ClumObjectRef::Kind ClumObjectRef::GetKind() const {
    const bool hasName = name.c_str()[0] != L'\0';
    if (!hasName) return target == nullptr ? eEmpty : eFromObject;
    return name.c_str()[0] == L'@' ? eLabel : eName;
}

void ClumObjectRef::Encode(const ClumObjectRef& ref, WString& out) {
    const Kind kind = ref.GetKind();
    if (kind != eName && kind != eLabel && ref.target != nullptr) {
        out = ref.target->GetMetaClass().GetName().c_str();
        return;
    }
    std::vector<const ClumObjectRef*> chain;
    for (const ClumObjectRef* part = &ref; part != nullptr; part = part->qualifier) chain.push_back(part);
    out.clear();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) out += L"::";
        out += (*it)->name.c_str();
    }
}

ClumObjectRef* ClumObjectRef::Decode(const WString& text) {
    if (text.empty()) return nullptr;
    ClumObjectRef* last = nullptr;
    std::size_t i = 0;
    const std::size_t n = text.size();
    // Colons at the very start give one empty first component.
    if (text[0] == L':') {
        while (i < n && text[i] == L':') ++i;
        last = new ClumObjectRef(ClumIdent());
    }
    while (i < n) {
        const std::size_t start = i;
        while (i < n && text[i] != L':') ++i;
        auto* part = new ClumObjectRef(ClumIdent(text.data() + start, i - start));
        part->qualifier = last;
        last = part;
        while (i < n && text[i] == L':') ++i;
    }
    return last;
}

}  // namespace lum
