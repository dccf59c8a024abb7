#include "resolve/collect_reader.h"

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

tCollectReader::tCollectReader() = default;

const tPlan& tCollectReader::PlanOf(const ClumMetaClass& metaClass) {
    const unsigned index = metaClass.GetIndex();
    if (index >= m_plans.size()) m_plans.resize(index + 1);
    tPlan& plan = m_plans[index];
    if (plan.metaClass != nullptr) return plan;
    plan.metaClass = &metaClass;
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

tEntered tCollectReader::Read(const ClumVellumEntity* entity, const tPlan& plan) const {
    tEntered entered;
    entered.entity = entity;
    entered.plan = &plan;
    if (const IlumAttribute* name = plan.isDesign ? nullptr : SetAttribute(plan.name, entity)) {
        ClumIdent text;
        name->GetAsIdent(text);
        entered.name = text.c_str();
        entered.plainName = std::wcschr(entered.name, L':') == nullptr;
    }
    if (const IlumAttribute* quid = SetAttribute(plan.quid, entity)) {
        ClumIdent text;
        quid->GetAsIdent(text);
        entered.quid = text.c_str();
        entered.quidIsLabel = entered.quid[0] == L'@';
    }
    return entered;
}

bool tCollectReader::Gather(const ClumMetaFeature* feature, const ClumVellumEntity* entity, tGathered& gathered,
                            bool& byQuid) {
    const IlumFeature* member = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
    const IlumReference* reference = member ? member->GetReference() : nullptr;
    if (reference == nullptr || reference->IsEmpty()) return false;
    const ClumIdent& name = feature->GetName();
    byQuid = name == m_quidu || name == m_supplierQuidu || name == m_clientQuidu;
    gathered.reference = reference;
    gathered.value = reference->IsSingle() ? reference->GetObjectRef(-1) : nullptr;
    gathered.context = nullptr;
    gathered.companion = CompanionValue(feature, entity, reference);
    return true;
}

const ClumObjectRef* tCollectReader::CompanionValue(const ClumMetaFeature* feature, const ClumVellumEntity* entity,
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

void WalkCollecting(const ClumVellumEntity* root, tCollectReader& reader, tCollectSink& sink) {
    // An object being walked: the plan feature it has reached and the next
    // child inside a link (-1 outside).
    struct tFrame {
        const ClumVellumEntity* entity;
        const tPlan* plan;
        std::size_t feature;
        int child;
    };
    std::vector<tFrame> stack;
    const auto enter = [&](const ClumVellumEntity* entity) {
        if (entity == nullptr) return;
        const tPlan& plan = reader.PlanOf(entity->GetMetaClass());
        if (sink.Enter(entity, plan, stack.size())) stack.push_back({entity, &plan, 0, -1});
    };
    enter(root);
    while (!stack.empty()) {
        tFrame& frame = stack.back();
        const std::vector<const ClumMetaFeature*>& walk = frame.plan->walk;
        auto* owner = const_cast<ClumVellumEntity*>(frame.entity);
        if (frame.child >= 0) {
            // The size is asked again before every step, as the base visitor does.
            const ClumMetaFeature* link = walk[frame.feature];
            if (frame.child < link->m_pfnLinkSize(owner)) {
                const ClumVellumEntity* child = link->m_pfnLinkGetAt(owner, frame.child++);
                enter(child);  // may move the frames: `frame` is not used again
                continue;
            }
            frame.child = -1;
            ++frame.feature;
        }
        for (; frame.feature < walk.size(); ++frame.feature) {
            const ClumMetaFeature* feature = walk[frame.feature];
            if (IsReference(feature)) {
                tGathered gathered;
                bool byQuid = false;
                if (reader.Gather(feature, frame.entity, gathered, byQuid)) sink.Gather(gathered, byQuid, stack.size() - 1);
            }
            if (IsLink(feature)) {
                frame.child = 0;
                break;
            }
        }
        if (frame.child >= 0) continue;
        stack.pop_back();
        sink.Leave();
    }
}

}  // namespace lum
