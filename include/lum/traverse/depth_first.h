#pragma once
// Depth-first, pre-order walks over model objects, in the order the
// recursive visitor takes (features in metamodel order, the objects of each
// link in position order), with a stack of their own: safe at any depth.
//
//   for (const lum::DepthFirst::Step& step : lum::DepthFirst(roots)) ...
//
// DepthFirst gives every object with its depth (a root is at depth 0).
// WalkDepthFirst reports every feature of every object to a handler, with
// the objects of link features between EnterLink and LeaveLink.

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "lum/export.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"

LUM_API_BEGIN
namespace lum {

class DepthFirst {
public:
    struct Step {
        const ClumVellumEntity* entity;
        std::size_t depth;
    };

    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Step;
        using difference_type = std::ptrdiff_t;
        using pointer = const Step*;
        using reference = const Step&;

        iterator() = default;
        const Step& operator*() const { return m_step; }
        const Step* operator->() const { return &m_step; }
        iterator& operator++();
        bool operator==(const iterator& other) const { return m_pWalk == other.m_pWalk; }

    private:
        friend class DepthFirst;
        explicit iterator(DepthFirst* walk);

        DepthFirst* m_pWalk = nullptr;  // null at the end
        Step m_step{};
    };

    // Null roots are passed over. The roots must outlive the walk.
    explicit DepthFirst(std::vector<const ClumVellumEntity*> roots);
    DepthFirst(std::initializer_list<const ClumVellumEntity*> roots)
        : DepthFirst(std::vector<const ClumVellumEntity*>(roots)) {}
    template <class Range>
    explicit DepthFirst(const Range& roots) : DepthFirst(std::vector<const ClumVellumEntity*>(roots.begin(), roots.end())) {}

    // One pass: begin() may be called once.
    iterator begin() { return iterator(this); }
    iterator end() { return iterator(); }

private:
    // An object whose contents are being walked: the link feature reached
    // and the next object in it.
    struct Frame {
        const ClumVellumEntity* entity;
        std::size_t link;
        int child;
    };
    // The next object, or null when the walk is over.
    const ClumVellumEntity* Next(std::size_t& depth);

    std::vector<const ClumVellumEntity*> m_roots;
    std::size_t m_nextRoot = 0;
    std::vector<Frame> m_stack;
};

// What WalkDepthFirst reports. Every feature of an object comes in metamodel
// order, set or not: attributes and references through Feature, links
// through EnterLink, the link's objects, then LeaveLink.
class WalkHandler {
public:
    virtual ~WalkHandler() = default;
    // False keeps the object's features from being reported (Leave still comes).
    virtual bool Enter(const ClumVellumEntity*) { return true; }
    virtual void Feature(const ClumVellumEntity*, const ClumMetaFeature&) {}
    virtual void EnterLink(const ClumVellumEntity*, const ClumMetaFeature&) {}
    virtual void LeaveLink(const ClumVellumEntity*, const ClumMetaFeature&) {}
    virtual void Leave(const ClumVellumEntity*) {}
};

void WalkDepthFirst(const ClumVellumEntity* root, WalkHandler& handler);

}  // namespace lum
LUM_API_END
