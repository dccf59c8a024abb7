#include "resolve/collector.h"

#include <cwchar>

#include "lum/model/classes.h"
#include "lum/model/object_ref.h"

namespace lum {

void SplitQualifiedName(const wchar_t* text, std::size_t length, tNamePath& path) {
    path.clear();
    std::size_t i = 0;
    if (length > 0 && text[0] == L':') {
        while (i < length && text[i] == L':') ++i;
        path.emplace_back();
    }
    while (i < length) {
        const std::size_t start = i;
        while (i < length && text[i] != L':') ++i;
        path.emplace_back(text + start, i - start);
        while (i < length && text[i] == L':') ++i;
    }
}

namespace {

bool IsLink(const ClumMetaFeature* feature) {
    return feature->GetKind() == ClumMetaFeature::eLink && feature->m_pfnLinkSize != nullptr &&
           feature->m_pfnLinkGetAt != nullptr;
}

bool IsReference(const ClumMetaFeature* feature) {
    return feature->GetKind() == ClumMetaFeature::eReference && feature->m_pfnGetFeature != nullptr;
}

// The attribute of a feature of the object, when it is set.
const IlumAttribute* SetAttribute(const ClumMetaFeature* feature, const ClumVellumEntity* entity) {
    if (feature == nullptr) return nullptr;
    const IlumFeature* member = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
    return member != nullptr && !member->IsEmpty() ? member->GetAttribute() : nullptr;
}

}  // namespace

const ClumNrCollector::tPlan& ClumNrCollector::PlanOf(const ClumMetaClass& metaClass) {
    const unsigned index = metaClass.GetIndex();
    if (index >= m_plans.size()) m_plans.resize(index + 1);
    tPlan& plan = m_plans[index];
    if (plan.known) return plan;
    plan.known = true;
    plan.isDesign = metaClass.IsKindOf(&ClumDesign::StaticGetMetaClass());
    plan.isFile = metaClass.IsKindOf(&ClumVellumFile::StaticGetMetaClass());
    plan.isContext = plan.isFile || metaClass.IsKindOf(&ClumClass_Category::StaticGetMetaClass());
    const ClumIdent name(L"name"), quid(L"quid");
    for (const ClumMetaFeature* feature : metaClass.m_allFeatures) {
        if (feature->m_pfnGetFeature != nullptr && feature->GetName() == name) plan.name = feature;
        if (feature->m_pfnGetFeature != nullptr && feature->GetName() == quid) plan.quid = feature;
        if (IsLink(feature) || IsReference(feature)) plan.walk.push_back(feature);
    }
    return plan;
}

void ClumNrCollector::Visit(const ClumVellumEntity* root) {
    const std::size_t base = m_stack.size();
    Enter(root);
    while (m_stack.size() > base) {
        tFrame& frame = m_stack.back();
        const std::vector<const ClumMetaFeature*>& walk = frame.plan->walk;
        auto* owner = const_cast<ClumVellumEntity*>(frame.entity);
        if (frame.child >= 0) {
            // The size is asked again before every step, as the base visitor does.
            const ClumMetaFeature* link = walk[frame.feature];
            if (frame.child < link->m_pfnLinkSize(owner)) {
                const ClumVellumEntity* child = link->m_pfnLinkGetAt(owner, frame.child++);
                Enter(child);  // may move the frames: `frame` is not used again
                continue;
            }
            frame.child = -1;
            ++frame.feature;
        }
        for (; frame.feature < walk.size(); ++frame.feature) {
            const ClumMetaFeature* feature = walk[frame.feature];
            if (IsReference(feature)) Gather(feature, frame.entity);
            if (IsLink(feature)) {
                frame.child = 0;
                break;
            }
        }
        if (frame.child >= 0) continue;
        const tFrame done = frame;
        m_stack.pop_back();
        Leave(done);
    }
}

void ClumNrCollector::Enter(const ClumVellumEntity* entity) {
    if (entity == nullptr) return;
    const ClumMetaClass& metaClass = entity->GetMetaClass();
    const tPlan& plan = PlanOf(metaClass);
    tFrame frame{entity, &plan};
    const IlumAttribute* nameAttribute = plan.isDesign ? nullptr : SetAttribute(plan.name, entity);
    bool plainName = false;
    if (nameAttribute != nullptr) {
        ClumIdent name;
        nameAttribute->GetAsIdent(name);
        plainName = std::wcschr(name.c_str(), L':') == nullptr;
        if (plainName) {
            m_path.push_back(m_cache.Child(m_path.back(), name));
            m_cache.AddToName(m_path.back(), entity, metaClass);
            frame.popPath = true;
            // Its quid is indexed once everything below it is.
            frame.indexQuidOnLeave = true;
        } else {
            // A qualified name stands for its own path.
            std::uint32_t node = tResolverCache::Root;
            SplitQualifiedName(name.c_str(), name.GetLength(), m_parts);
            for (const ClumIdent& part : m_parts) node = m_cache.Child(node, part);
            m_cache.AddToName(node, entity, metaClass);
        }
    }
    if (!frame.indexQuidOnLeave) IndexQuid(plan, entity, metaClass);
    // A file is the context of the labels in it, named or not; a category
    // only with a plain name.
    frame.popLabelContext = plan.isFile || (plan.isContext && plainName);
    if (frame.popLabelContext) m_contexts.push_back(entity);
    // References look their labels up in the nearest category or file,
    // however named.
    if (plan.isContext) m_referenceContexts.push_back(entity);
    m_stack.push_back(frame);
}

void ClumNrCollector::Leave(const tFrame& frame) {
    if (frame.plan->isContext) m_referenceContexts.pop_back();
    if (frame.popLabelContext) m_contexts.pop_back();
    if (frame.popPath) m_path.pop_back();
    if (frame.indexQuidOnLeave) IndexQuid(*frame.plan, frame.entity, frame.entity->GetMetaClass());
}

void ClumNrCollector::IndexQuid(const tPlan& plan, const ClumVellumEntity* entity, const ClumMetaClass& metaClass) {
    const IlumAttribute* quidAttribute = SetAttribute(plan.quid, entity);
    if (quidAttribute == nullptr) return;
    ClumIdent quid;
    quidAttribute->GetAsIdent(quid);
    m_cache.AddToQuid(quid, entity, metaClass);
    if (!m_contexts.empty() && quid.c_str()[0] == L'@') m_cache.AddToLabel(m_contexts.back(), quid, entity, metaClass);
}

void ClumNrCollector::VisitMetaFeature(const ClumMetaFeature* feature, const ClumVellumEntity* entity) {
    if (IsReference(feature)) Gather(feature, entity);
    TlumMetaVisitor::VisitMetaFeature(feature, entity);
}

void ClumNrCollector::Gather(const ClumMetaFeature* feature, const ClumVellumEntity* entity) {
    const IlumFeature* member = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
    const IlumReference* reference = member ? member->GetReference() : nullptr;
    if (reference == nullptr || reference->IsEmpty()) return;
    const ClumIdent& name = feature->GetName();
    const bool byQuid = name == m_quidu || name == m_supplierQuidu || name == m_clientQuidu;
    const ClumObjectRef* value = reference->IsSingle() ? reference->GetObjectRef(-1) : nullptr;
    const ClumVellumEntity* context = m_referenceContexts.empty() ? nullptr : m_referenceContexts.back();
    const ClumObjectRef* companion = CompanionValue(feature, entity, reference);
    (byQuid ? m_quidReferences : m_otherReferences).push_back(tGathered{reference, value, context, companion});
}

const ClumObjectRef* ClumNrCollector::CompanionValue(const ClumMetaFeature* feature, const ClumVellumEntity* entity,
                                                     const IlumReference* reference) {
    tFeatureFinder* finder = &m_quiduFinder;
    if (feature->GetOwner() == ClumState_Transition::StaticGetMetaClass()) {
        if (feature->GetName() == m_supplier) finder = &m_supplierQuiduFinder;
        else if (feature->GetName() == m_client) finder = &m_clientQuiduFinder;
    }
    const IlumFeature* member = finder->Of(entity);
    const IlumReference* companion = member ? member->GetReference() : nullptr;
    if (companion == nullptr || companion == reference || !companion->IsSingle()) return nullptr;
    return companion->GetObjectRef(-1);
}

}  // namespace lum
