#include "lum/model/object_ref.h"

#include <cwchar>

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
        const ClumIdent& name = ref.target->GetMetaClass().GetName();
        out.assign(name.c_str(), name.GetLength());
        return;
    }
    // The chain runs from the last name to the outermost qualifier: the text
    // is sized first and filled from its end, without a list of the parts.
    std::size_t length = 0;
    for (const ClumObjectRef* part = &ref; part != nullptr; part = part->qualifier) {
        length += part->name.GetLength() + (part->qualifier != nullptr ? 2 : 0);
    }
    out.resize(length);
    std::size_t end = length;
    for (const ClumObjectRef* part = &ref; part != nullptr; part = part->qualifier) {
        const std::size_t size = part->name.GetLength();
        end -= size;
        std::wmemcpy(out.data() + end, part->name.c_str(), size);
        if (part->qualifier != nullptr) {
            end -= 2;
            out[end] = L':';
            out[end + 1] = L':';
        }
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
