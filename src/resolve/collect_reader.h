#pragma once
// What the collector reads of a tree, apart from what it does with it: the
// walk, depth first in the order of the class's features, and what each
// object and reference feature gives. The walk hands its findings to a
// sink; the collector's own sink indexes them at once, another records them
// for a walk on another thread (see collect_ahead.h). One reader serves one
// thread: it keeps what it worked out per class. The walk keeps its own
// stack, so a tree of any depth is walked on an ordinary thread stack.

#include <cstddef>
#include <deque>
#include <vector>

#include "lum/text/ident.h"
#include "resolve/feature_finder.h"
#include "resolve/resolver_cache.h"

namespace lum {

class ClumMetaClass;
class ClumMetaFeature;
class ClumObjectRef;
class ClumVellumEntity;
class IlumReference;

// What the collector needs of a class, worked out once per class.
struct tPlan {
    const ClumMetaClass* metaClass = nullptr;  // null until worked out
    bool isDesign = false;
    bool isContext = false;  // a category or a file
    bool isFile = false;
    const ClumMetaFeature* name = nullptr;
    const ClumMetaFeature* quid = nullptr;
    std::vector<const ClumMetaFeature*> walk;  // reference and link features, in visiting order
};

// What indexing an object takes from it. Texts are interned (null when
// unset); a design's name is not indexed.
struct tEntered {
    const ClumVellumEntity* entity = nullptr;
    const tPlan* plan = nullptr;
    const wchar_t* name = nullptr;
    const wchar_t* quid = nullptr;
    bool plainName = false;    // a name without ':' (a qualified name stands for its own path)
    bool quidIsLabel = false;  // an @ label
};

class tCollectReader {
public:
    tCollectReader();

    const tPlan& PlanOf(const ClumMetaClass& metaClass);
    tEntered Read(const ClumVellumEntity* entity, const tPlan& plan) const;
    // The entry of a reference feature that holds a value, its context left
    // null, and whether it is a quid reference (quidu, supplier_quidu,
    // client_quidu: bound first); false when it holds none.
    bool Gather(const ClumMetaFeature* feature, const ClumVellumEntity* entity, tGathered& gathered, bool& byQuid);

private:
    // The single value of the quid reference that stands beside `reference`
    // in its owner: supplier_quidu and client_quidu for a transition's
    // supplier and client, quidu otherwise; null when there is none.
    const ClumObjectRef* CompanionValue(const ClumMetaFeature* feature, const ClumVellumEntity* entity,
                                        const IlumReference* reference);

    // By class index; a deque, so that a plan in use stays put while plans
    // of other classes are added.
    std::deque<tPlan> m_plans;
    ClumIdent m_quidu{L"quidu"}, m_supplierQuidu{L"supplier_quidu"}, m_clientQuidu{L"client_quidu"};
    ClumIdent m_supplier{L"supplier"}, m_client{L"client"};
    tFeatureFinder m_quiduFinder{m_quidu}, m_supplierQuiduFinder{m_supplierQuidu}, m_clientQuiduFinder{m_clientQuidu};
};

// What a walk finds, in the order found.
class tCollectSink {
public:
    virtual ~tCollectSink() = default;
    // An object met at `depth` below the walk's start; false keeps its
    // contents from being walked (and its Leave from coming).
    virtual bool Enter(const ClumVellumEntity* entity, const tPlan& plan, std::size_t depth) = 0;
    // A reference feature of the object at `ownerDepth`.
    virtual void Gather(const tGathered& gathered, bool byQuid, std::size_t ownerDepth) = 0;
    // The last object entered and not left is left.
    virtual void Leave() = 0;
};

// Walks `root` and everything below it (links in feature order, the
// objects of each link in position order), telling `sink`.
void WalkCollecting(const ClumVellumEntity* root, tCollectReader& reader, tCollectSink& sink);

// A qualified name cut at every run of ':' into `path`, top down (a leading
// run gives one empty first component, a trailing one nothing).
void SplitQualifiedName(const wchar_t* text, std::size_t length, tNamePath& path);

}  // namespace lum
