#pragma once
// ClumNrCollector: walks a tree once, filling the resolver's indexes and
// gathering every reference feature that holds a value: the quid references
// (quidu, supplier_quidu, client_quidu) apart from the others, since they
// are bound first. @ labels are indexed in the innermost file or plainly
// named category around their object; a gathered reference carries the
// innermost category or file around it, however named, where binding looks
// its labels up. With helpers, parts of a large tree are walked ahead on
// other threads (see collect_ahead.h); the indexes and lists come out the
// same, in the same order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "resolve/collect_ahead.h"
#include "resolve/collect_reader.h"
#include "resolve/resolver_cache.h"

namespace lum {

class ClumNrCollector : private tCollectSink {
public:
    ClumNrCollector(tResolverCache& cache, tReferenceList& quidReferences, tReferenceList& otherReferences)
        : m_quidReferences(quidReferences), m_otherReferences(otherReferences), m_cache(cache) {}

    // Indexes the object and everything below it, depth first in the
    // visitor's order, looking only at the features that matter here
    // (references and links), with `helpers` threads walking ahead (see
    // tCollectAhead for `recordEach`).
    void Visit(const ClumVellumEntity* root, unsigned helpers = 0, bool recordEach = false);

private:
    // An object entered and not left yet, with what to undo when it is.
    struct tFrame {
        const ClumVellumEntity* entity;
        const tPlan* plan;
        const wchar_t* quid;
        bool quidIsLabel;
        bool popPath = false;  // it pushed its name onto m_path
        bool popLabelContext = false;
        bool indexQuidOnLeave = false;
    };

    bool Enter(const ClumVellumEntity* entity, const tPlan& plan, std::size_t depth) override;
    void Gather(const tGathered& gathered, bool byQuid, std::size_t ownerDepth) override;
    void Leave() override;

    // Indexes the object's name (and, unless it has a plain name, its quid)
    // and pushes its frame.
    void Index(const tEntered& entered);
    void IndexQuid(const tFrame& frame);
    // Indexes what was recorded of a part walked ahead, as if walking it.
    void Replay(const tFoundList& found);

    tReferenceList& m_quidReferences;
    tReferenceList& m_otherReferences;
    tResolverCache& m_cache;
    tCollectReader m_reader;
    tCollectAhead* m_pAhead = nullptr;  // while parts are walked ahead
    std::vector<std::uint32_t> m_path{tResolverCache::Root};  // name nodes of the enclosing named objects
    std::vector<const ClumVellumEntity*> m_contexts;           // where labels are indexed
    std::vector<const ClumVellumEntity*> m_referenceContexts;  // every enclosing category and file
    std::vector<tFrame> m_frames;
    tNamePath m_parts;  // the parts of a qualified name, reused
};

}  // namespace lum
