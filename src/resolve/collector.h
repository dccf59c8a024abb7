#pragma once
// ClumNrCollector: walks a tree once, filling the resolver's indexes and
// gathering every reference feature that holds a value: the quid references
// (quidu, supplier_quidu, client_quidu) apart from the others, since they
// are bound first. @ labels are indexed in the innermost file or plainly
// named category around their object; a gathered reference carries the
// innermost category or file around it, however named, where binding looks
// its labels up. The walk keeps its own stack, so a tree of any depth is
// collected on an ordinary thread stack.

#include <deque>
#include <vector>

#include "lum/traverse/meta_visitor.h"
#include "resolve/feature_finder.h"
#include "resolve/resolver_cache.h"

namespace lum {

class ClumNrCollector : public TlumMetaVisitor<const ClumVellumEntity> {
public:
    ClumNrCollector(tResolverCache& cache, tReferenceList& quidReferences, tReferenceList& otherReferences)
        : m_quidReferences(quidReferences), m_otherReferences(otherReferences), m_cache(cache) {}

    // Indexes the object and everything below it, depth first in the base
    // visitor's order, looking only at the features that matter here
    // (references and links).
    void Visit(const ClumVellumEntity* entity) override;
    // Gathers a reference feature, then goes on as the base visitor does.
    void VisitMetaFeature(const ClumMetaFeature* feature, const ClumVellumEntity* entity) override;

private:
    // What the collector needs of a class, worked out once per class.
    struct tPlan {
        bool known = false;
        bool isDesign = false;
        bool isContext = false;  // a category or a file
        bool isFile = false;
        const ClumMetaFeature* name = nullptr;
        const ClumMetaFeature* quid = nullptr;
        std::vector<const ClumMetaFeature*> walk;  // reference and link features, in visiting order
    };

    // An object being walked: the plan feature it has reached, the next
    // child inside a link (-1 outside), and what to undo when it is left.
    struct tFrame {
        const ClumVellumEntity* entity;
        const tPlan* plan;
        std::size_t feature = 0;
        int child = -1;
        bool popPath = false;        // it pushed its name onto m_path
        bool popLabelContext = false;
        bool indexQuidOnLeave = false;
    };

    const tPlan& PlanOf(const ClumMetaClass& metaClass);
    // Indexes the object's name (and, unless it has a plain name, its quid)
    // and pushes its frame.
    void Enter(const ClumVellumEntity* entity);
    void Leave(const tFrame& frame);
    void Gather(const ClumMetaFeature* feature, const ClumVellumEntity* entity);
    void IndexQuid(const tPlan& plan, const ClumVellumEntity* entity, const ClumMetaClass& metaClass);
    // The single value of the quid reference that stands beside `reference`
    // in its owner: supplier_quidu and client_quidu for a transition's
    // supplier and client, quidu otherwise; null when there is none.
    const ClumObjectRef* CompanionValue(const ClumMetaFeature* feature, const ClumVellumEntity* entity,
                                        const IlumReference* reference);

    tReferenceList& m_quidReferences;
    tReferenceList& m_otherReferences;
    tResolverCache& m_cache;
    std::vector<std::uint32_t> m_path{tResolverCache::Root};  // name nodes of the enclosing named objects
    std::vector<const ClumVellumEntity*> m_contexts;           // where labels are indexed
    std::vector<const ClumVellumEntity*> m_referenceContexts;  // every enclosing category and file
    // By class index; a deque, so that a plan in use stays put while the
    // walk below it adds plans of other classes.
    std::deque<tPlan> m_plans;
    std::vector<tFrame> m_stack;
    tNamePath m_parts;  // the parts of a qualified name, reused
    ClumIdent m_quidu{L"quidu"}, m_supplierQuidu{L"supplier_quidu"}, m_clientQuidu{L"client_quidu"};
    ClumIdent m_supplier{L"supplier"}, m_client{L"client"};
    tFeatureFinder m_quiduFinder{m_quidu}, m_supplierQuiduFinder{m_supplierQuidu}, m_clientQuiduFinder{m_clientQuidu};
};

// A qualified name cut at every run of ':' into `path`, top down (a leading
// run gives one empty first component, a trailing one nothing).
void SplitQualifiedName(const wchar_t* text, std::size_t length, tNamePath& path);

}  // namespace lum
