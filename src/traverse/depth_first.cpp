#include "lum/traverse/depth_first.h"

#include "lum/meta/meta_class.h"

namespace lum {

namespace {

ClumVellumEntity* Mutable(const ClumVellumEntity* entity) { return const_cast<ClumVellumEntity*>(entity); }

}  // namespace

DepthFirst::DepthFirst(std::vector<const ClumVellumEntity*> roots) : m_roots(std::move(roots)) {}

const ClumVellumEntity* DepthFirst::Next(std::size_t& depth) {
    while (!m_stack.empty()) {
        Frame& frame = m_stack.back();
        const auto& links = frame.entity->GetMetaClass().m_linkFeatures;
        while (frame.link < links.size()) {
            const ClumMetaFeature& link = *links[frame.link];
            if (frame.child < link.m_pfnLinkSize(Mutable(frame.entity))) {
                const ClumVellumEntity* child = link.m_pfnLinkGetAt(Mutable(frame.entity), frame.child++);
                if (child == nullptr) continue;
                depth = m_stack.size();
                m_stack.push_back({child, 0, 0});
                return child;
            }
            ++frame.link;
            frame.child = 0;
        }
        m_stack.pop_back();
    }
    while (m_nextRoot < m_roots.size()) {
        const ClumVellumEntity* root = m_roots[m_nextRoot++];
        if (root == nullptr) continue;
        depth = 0;
        m_stack.push_back({root, 0, 0});
        return root;
    }
    return nullptr;
}

DepthFirst::iterator::iterator(DepthFirst* walk) : m_pWalk(walk) { ++*this; }

DepthFirst::iterator& DepthFirst::iterator::operator++() {
    m_step.entity = m_pWalk->Next(m_step.depth);
    if (m_step.entity == nullptr) m_pWalk = nullptr;
    return *this;
}

void WalkDepthFirst(const ClumVellumEntity* root, WalkHandler& handler) {
    struct Frame {
        const ClumVellumEntity* entity;
        std::size_t feature;
        int child;  // -1: not inside a link
    };
    if (root == nullptr) return;
    std::vector<Frame> stack;
    auto enter = [&](const ClumVellumEntity* entity) {
        if (handler.Enter(entity)) {
            stack.push_back({entity, 0, -1});
        } else {
            handler.Leave(entity);
        }
    };
    enter(root);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const ClumVellumEntity* entity = frame.entity;
        const auto& features = entity->GetMetaClass().m_allFeatures;
        if (frame.child >= 0) {
            const ClumMetaFeature& link = *features[frame.feature];
            if (frame.child < link.m_pfnLinkSize(Mutable(entity))) {
                const ClumVellumEntity* child = link.m_pfnLinkGetAt(Mutable(entity), frame.child++);
                if (child != nullptr) enter(child);  // may move the frames
                continue;
            }
            frame.child = -1;
            handler.LeaveLink(entity, link);
            ++frame.feature;
        }
        for (; frame.feature < features.size(); ++frame.feature) {
            const ClumMetaFeature& feature = *features[frame.feature];
            if (feature.GetKind() == ClumMetaFeature::eLink && feature.m_pfnLinkSize != nullptr) {
                handler.EnterLink(entity, feature);
                frame.child = 0;
                break;
            }
            handler.Feature(entity, feature);
        }
        if (frame.child >= 0) continue;
        stack.pop_back();
        handler.Leave(entity);
    }
}

}  // namespace lum
