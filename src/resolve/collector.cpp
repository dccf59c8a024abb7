#include "resolve/collector.h"

#include <cwchar>
#include <memory>

#include "lum/model/classes.h"
#include "lum/model/object_ref.h"
#include "lum/traverse/utility_functions.h"

namespace lum {

tNamePath SplitQualifiedName(const WString& text) {
    tNamePath path;
    std::unique_ptr<ClumObjectRef> chain(ClumObjectRef::Decode(text));
    for (const ClumObjectRef* part = chain.get(); part != nullptr; part = part->GetQualifier()) {
        path.push_back(part->GetName());
    }
    return tNamePath(path.rbegin(), path.rend());
}

void ClumNrCollector::Visit(const ClumVellumEntity* entity) {
    if (entity == nullptr) return;
    const ClumMetaClass& metaClass = entity->GetMetaClass();
    // The name feature is looked up once: "has a name" is a set name attribute.
    const IlumFeature* nameFeature = m_name.Of(entity);
    const IlumAttribute* nameAttribute = nameFeature && !nameFeature->IsEmpty() ? nameFeature->GetAttribute() : nullptr;
    if (!metaClass.IsKindOf(&ClumDesign::StaticGetMetaClass()) && nameAttribute != nullptr) {
        ClumIdent name;
        nameAttribute->GetAsIdent(name);
        if (std::wcschr(name.c_str(), L':') == nullptr) {
            m_path.push_back(m_cache.Child(m_path.back(), name));
            m_cache.AddToName(m_path.back(), entity, metaClass);
            const bool isContext = metaClass.IsKindOf(&ClumClass_Category::StaticGetMetaClass()) ||
                                   metaClass.IsKindOf(&ClumVellumFile::StaticGetMetaClass());
            if (isContext) m_contexts.push_back(entity);
            TlumMetaVisitor::Visit(entity);
            if (isContext) m_contexts.pop_back();
            m_path.pop_back();
            IndexQuid(entity, metaClass);
            return;
        }
        // A qualified name stands for its own path.
        std::uint32_t node = tResolverCache::Root;
        for (const ClumIdent& part : SplitQualifiedName(name.c_str())) node = m_cache.Child(node, part);
        m_cache.AddToName(node, entity, metaClass);
    }
    IndexQuid(entity, metaClass);
    // A file is the context of the labels in it, named or not.
    const bool isFile = metaClass.IsKindOf(&ClumVellumFile::StaticGetMetaClass());
    if (isFile) m_contexts.push_back(entity);
    TlumMetaVisitor::Visit(entity);
    if (isFile) m_contexts.pop_back();
}

void ClumNrCollector::IndexQuid(const ClumVellumEntity* entity, const ClumMetaClass& metaClass) {
    const IlumFeature* quidFeature = m_quid.Of(entity);
    const IlumAttribute* quidAttribute = quidFeature && !quidFeature->IsEmpty() ? quidFeature->GetAttribute() : nullptr;
    if (quidAttribute == nullptr) return;
    ClumIdent quid;
    quidAttribute->GetAsIdent(quid);
    m_cache.AddToQuid(quid, entity, metaClass);
    if (!m_contexts.empty() && quid.c_str()[0] == L'@') m_cache.AddToLabel(m_contexts.back(), quid, entity, metaClass);
}

void ClumNrCollector::VisitMetaFeature(const ClumMetaFeature* feature, const ClumVellumEntity* entity) {
    if (feature->GetKind() == ClumMetaFeature::eReference && feature->m_pfnGetFeature != nullptr) {
        const IlumFeature* member = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
        const IlumReference* reference = member ? member->GetReference() : nullptr;
        if (reference != nullptr && !reference->IsEmpty()) {
            const ClumIdent& name = feature->GetName();
            const bool byQuid = name == m_quidu || name == m_supplierQuidu || name == m_clientQuidu;
            (byQuid ? m_quidReferences : m_otherReferences).push_back(reference);
        }
    }
    TlumMetaVisitor::VisitMetaFeature(feature, entity);
}

}  // namespace lum
