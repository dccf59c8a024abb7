#pragma once
// Visiting every object of large trees on several threads, for questions
// whose answer does not depend on the order in which objects come (counts,
// sums, sets). The trees are cut into parts: the few objects near the
// roots, which the calling thread visits, and the subtrees below them,
// which the threads take in turn.
//
//   std::vector<std::size_t> perWorker(lum::WorkersFor(threads));
//   lum::VisitOnThreads(roots, threads, [&](unsigned worker, const lum::ClumVellumEntity*, std::size_t) {
//       ++perWorker[worker];
//   });

#include <cstddef>
#include <functional>
#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;

// How many workers VisitOnThreads may use for `threads` (0: one per core).
unsigned WorkersFor(unsigned threads);

// An object of a tree with its depth below the root of its tree.
struct TreePart {
    const ClumVellumEntity* entity;
    std::size_t depth;
};

// Cuts the trees under `roots` into parts for walking on several threads:
// level by level from the roots, each object that holds others gives way to
// the objects it holds and goes to `above`, until `wanted` parts hold
// others (single objects count for nothing) or eight levels are cut. The parts, subtrees that together with `above`
// hold every object once, come in depth-first order (links in feature
// order, the objects of each link in position order); `above` in no
// particular order. Null roots are passed over.
void CutIntoParts(const std::vector<const ClumVellumEntity*>& roots, std::size_t wanted,
                  std::vector<TreePart>& parts, std::vector<TreePart>& above);

// Calls `visit(worker, object, depth)` once for every object under `roots`,
// the roots included (depth 0), in no particular order, on up to
// WorkersFor(threads) threads, the calling thread among them (worker 0).
// Calls with the same worker number never overlap, so each worker may keep
// state of its own. Returns when every call has; an exception thrown by a
// call stops the visit and is thrown again here. Null roots are passed over.
void VisitOnThreads(const std::vector<const ClumVellumEntity*>& roots, unsigned threads,
                    const std::function<void(unsigned worker, const ClumVellumEntity* object, std::size_t depth)>& visit);

}  // namespace lum
LUM_API_END
