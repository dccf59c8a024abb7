#include "lum/traverse/utility_functions.h"

#include "lum/model/classes.h"

namespace lum {

namespace {

// Feature keywords, interned once.
struct tKeywords {
    ClumIdent name{L"name"};
    ClumIdent quid{L"quid"};
    ClumIdent client{L"client"};
    ClumIdent clientQuidu{L"client_quidu"};
    ClumIdent supplier{L"supplier"};
    ClumIdent supplierQuidu{L"supplier_quidu"};
    ClumIdent quidu{L"quidu"};
};

const tKeywords& Keywords() {
    static const tKeywords keywords;
    return keywords;
}

ClumIdent AttributeIdent(const IlumFeature* feature) {
    ClumIdent value;
    if (const IlumAttribute* attribute = feature ? feature->GetAttribute() : nullptr) attribute->GetAsIdent(value);
    return value;
}

const IlumReference* NonEmptyReference(const ClumVellumEntity* entity, const ClumIdent& keyword) {
    const IlumFeature* feature = entity->GetFeature(keyword);
    const IlumReference* reference = feature ? feature->GetReference() : nullptr;
    return reference && !reference->IsEmpty() ? reference : nullptr;
}

const IlumReference* Reference(const ClumVellumEntity* entity, const ClumIdent& keyword) {
    const IlumFeature* feature = entity->GetFeature(keyword);
    return feature ? feature->GetReference() : nullptr;
}

// The name of one end: the label of a bound symbol with exactly one label,
// else the written text (direct end) or the bound object's name (indirect).
ClumIdent EndName(const IlumReference& end, bool direct) {
    const ClumVellumEntity* target = end.GetTarget(-1);
    if (target != nullptr && target->GetMetaClass().IsKindOf(&ClumSymbol::StaticGetMetaClass())) {
        const auto* symbol = static_cast<const ClumSymbol*>(target);
        if (symbol->label.GetSize() == 1) return symbol->label.Get(0)->label.Get();
    }
    if (!direct) return ClumUtilityFunctions::GetName(target);
    ClumIdent name;
    end.GetValueIdent(name, -1);
    return name;
}

}  // namespace

WString ClumUtilityFunctions::GetShortFileName(const WString& path) {
    if (path.empty()) return WString();
    std::size_t start = 0;
    std::size_t end = path.size();
    for (std::size_t i = path.size() - 1; i >= 1; --i) {
        if (path[i] == L'\\') {
            start = i + 1;
            break;
        }
        if (path[i] == L'.') end = i;
    }
    return WString(path.data() + start, end - start);
}

bool ClumUtilityFunctions::IsBinaryAssociation(const ClumAssociation* association) {
    return association != nullptr && association->roles.GetSize() == 2;
}

IlumFeature* ClumUtilityFunctions::IsNamedObject(ClumVellumEntity* entity) {
    return entity ? entity->GetFeature(Keywords().name) : nullptr;
}

const IlumFeature* ClumUtilityFunctions::IsNamedObject(const ClumVellumEntity* entity) {
    return entity ? entity->GetFeature(Keywords().name) : nullptr;
}

bool ClumUtilityFunctions::HasName(const ClumVellumEntity* entity) {
    const IlumFeature* feature = IsNamedObject(entity);
    return feature != nullptr && !feature->IsEmpty();
}

ClumIdent ClumUtilityFunctions::GetName(const ClumVellumEntity* entity) { return AttributeIdent(IsNamedObject(entity)); }

IlumFeature* ClumUtilityFunctions::IsQuidObject(ClumVellumEntity* entity) {
    return entity ? entity->GetFeature(Keywords().quid) : nullptr;
}

const IlumFeature* ClumUtilityFunctions::IsQuidObject(const ClumVellumEntity* entity) {
    return entity ? entity->GetFeature(Keywords().quid) : nullptr;
}

bool ClumUtilityFunctions::HasQuid(const ClumVellumEntity* entity) {
    const IlumFeature* feature = IsQuidObject(entity);
    return feature != nullptr && !feature->IsEmpty();
}

ClumIdent ClumUtilityFunctions::GetQuid(const ClumVellumEntity* entity) { return AttributeIdent(IsQuidObject(entity)); }

bool ClumUtilityFunctions::IsAggregate(const ClumRole* role) { return role != nullptr && role->is_aggregate.Get(); }

bool ClumUtilityFunctions::IsNavigable(const ClumRole* role) { return role != nullptr && role->is_navigable.Get(); }

bool ClumUtilityFunctions::IsAbstract(const ClumVellumEntity* entity) {
    if (entity == nullptr) return false;
    const ClumMetaClass& metaClass = entity->GetMetaClass();
    if (metaClass.IsKindOf(&ClumClass::StaticGetMetaClass())) return static_cast<const ClumClass*>(entity)->abstract.Get();
    if (metaClass.IsKindOf(&ClumUseCase::StaticGetMetaClass()))
        return static_cast<const ClumUseCase*>(entity)->abstract.Get();
    return false;
}

void ClumUtilityFunctions::GetLineEndNames(const ClumVellumEntity* line, ClumIdent& clientName,
                                           ClumIdent& supplierName) {
    if (line == nullptr) return;
    const tKeywords& keywords = Keywords();
    bool clientDirect = true;
    const IlumReference* client = NonEmptyReference(line, keywords.client);
    if (client == nullptr) {
        clientDirect = false;
        client = Reference(line, keywords.clientQuidu);
    }
    if (client == nullptr) return;
    bool supplierDirect = true;
    const IlumReference* supplier = NonEmptyReference(line, keywords.supplier);
    if (supplier == nullptr) {
        supplierDirect = false;
        supplier = NonEmptyReference(line, keywords.supplierQuidu);
        if (supplier == nullptr) supplier = Reference(line, keywords.quidu);
    }
    if (supplier == nullptr || !client->IsSingle() || !supplier->IsSingle()) return;
    clientName = EndName(*client, clientDirect);
    supplierName = EndName(*supplier, supplierDirect);
}

}  // namespace lum
