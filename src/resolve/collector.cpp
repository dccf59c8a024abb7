#include "resolve/collector.h"

#include <cwchar>

#include "lum/model/entity.h"

namespace lum {

void ClumNrCollector::Visit(const ClumVellumEntity* root, unsigned helpers, bool recordEach) {
    if (root == nullptr) return;
    if (helpers == 0) {
        WalkCollecting(root, m_reader, *this);
        return;
    }
    tCollectAhead ahead(root, helpers, recordEach);
    m_pAhead = &ahead;
    struct tDone {
        tCollectAhead*& ahead;
        ~tDone() { ahead = nullptr; }
    } done{m_pAhead};
    WalkCollecting(root, m_reader, *this);
}

bool ClumNrCollector::Enter(const ClumVellumEntity* entity, const tPlan& plan, std::size_t) {
    if (m_pAhead != nullptr && m_pAhead->IsNextPart(entity)) {
        if (std::unique_ptr<tFoundList> found = m_pAhead->ClaimNext(m_reader)) {
            Replay(*found);
            m_pAhead->GiveBack(std::move(found));
            return false;
        }
    }
    Index(m_reader.Read(entity, plan));
    return true;
}

void ClumNrCollector::Index(const tEntered& entered) {
    const ClumMetaClass& metaClass = *entered.plan->metaClass;
    tFrame frame{entered.entity, entered.plan, entered.quid, entered.quidIsLabel};
    if (entered.name != nullptr) {
        if (entered.plainName) {
            m_path.push_back(m_cache.Child(m_path.back(), entered.name));
            m_cache.AddToName(m_path.back(), entered.entity, metaClass);
            frame.popPath = true;
            // Its quid is indexed once everything below it is.
            frame.indexQuidOnLeave = true;
        } else {
            // A qualified name stands for its own path.
            std::uint32_t node = tResolverCache::Root;
            SplitQualifiedName(entered.name, std::wcslen(entered.name), m_parts);
            for (const ClumIdent& part : m_parts) node = m_cache.Child(node, part.c_str());
            m_cache.AddToName(node, entered.entity, metaClass);
        }
    }
    if (!frame.indexQuidOnLeave) IndexQuid(frame);
    // A file is the context of the labels in it, named or not; a category
    // only with a plain name.
    frame.popLabelContext = entered.plan->isFile || (entered.plan->isContext && entered.plainName);
    if (frame.popLabelContext) m_contexts.push_back(entered.entity);
    // References look their labels up in the nearest category or file,
    // however named.
    if (entered.plan->isContext) m_referenceContexts.push_back(entered.entity);
    m_frames.push_back(frame);
}

void ClumNrCollector::Leave() {
    const tFrame frame = m_frames.back();
    m_frames.pop_back();
    if (frame.plan->isContext) m_referenceContexts.pop_back();
    if (frame.popLabelContext) m_contexts.pop_back();
    if (frame.popPath) m_path.pop_back();
    if (frame.indexQuidOnLeave) IndexQuid(frame);
}

void ClumNrCollector::IndexQuid(const tFrame& frame) {
    if (frame.quid == nullptr) return;
    const ClumMetaClass& metaClass = *frame.plan->metaClass;
    m_cache.AddToQuid(frame.quid, frame.entity, metaClass);
    if (!m_contexts.empty() && frame.quidIsLabel) m_cache.AddToLabel(m_contexts.back(), frame.quid, frame.entity, metaClass);
}

void ClumNrCollector::Gather(const tGathered& gathered, bool byQuid, std::size_t) {
    tGathered& added = (byQuid ? m_quidReferences : m_otherReferences).emplace_back();
    added = gathered;
    added.context = m_referenceContexts.empty() ? nullptr : m_referenceContexts.back();
}

void ClumNrCollector::Replay(const tFoundList& found) {
    const std::size_t base = m_frames.size();
    for (const tFound& step : found) {
        if (step.kind == tFound::tKind::Enter) {
            while (m_frames.size() > base + step.depth) Leave();
            const auto& entered = step.entered;
            Index({entered.entity, &m_reader.PlanOf(*entered.metaClass), entered.name, entered.quid, step.plainName,
                   step.quidIsLabel});
        } else {
            while (m_frames.size() > base + step.depth + 1) Leave();
            const auto& gathered = step.gathered;
            Gather({gathered.reference, gathered.value, nullptr, gathered.companion},
                   step.kind == tFound::tKind::QuidReference, step.depth);
        }
    }
    while (m_frames.size() > base) Leave();
}

}  // namespace lum
