#include "lum/traverse/visit_on_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"
#include "lum/traverse/depth_first.h"

namespace lum {

namespace {

// Parts per worker: enough that a worker finishing a large subtree early
// finds others left, few enough that taking one costs nothing.
constexpr std::size_t kPartsPerWorker = 32;
// Levels cut at most: a chain of single objects is not worth cutting deeper.
constexpr int kMaxLevels = 8;

// Calls `each` with every object `entity` holds one level down, in walk
// order, until it answers false; false when it did.
template <class Each>
bool ForEachHeld(const ClumVellumEntity* entity, Each each) {
    auto* owner = const_cast<ClumVellumEntity*>(entity);  // only read
    for (const ClumMetaFeature* link : owner->GetMetaClass().m_linkFeatures) {
        if (link->m_pfnLinkSize == nullptr || link->m_pfnLinkGetAt == nullptr) continue;
        const int size = link->m_pfnLinkSize(owner);
        for (int i = 0; i < size; ++i) {
            const ClumVellumEntity* child = link->m_pfnLinkGetAt(owner, i);
            if (child != nullptr && !each(child)) return false;
        }
    }
    return true;
}

bool HoldsOthers(const TreePart& part) {
    return !ForEachHeld(part.entity, [](const ClumVellumEntity*) { return false; });
}

}  // namespace

unsigned WorkersFor(unsigned threads) {
    return threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

void CutIntoParts(const std::vector<const ClumVellumEntity*>& roots, std::size_t wanted,
                  std::vector<TreePart>& parts, std::vector<TreePart>& above) {
    parts.clear();
    above.clear();
    for (const ClumVellumEntity* root : roots) {
        if (root != nullptr) parts.push_back({root, 0});
    }
    // Only parts that hold others count: a level may hold thousands of
    // single objects (a file's fonts) beside one object that holds nearly
    // all the rest.
    std::vector<TreePart> next;
    for (int level = 0; level < kMaxLevels; ++level) {
        const auto holding = static_cast<std::size_t>(std::count_if(parts.begin(), parts.end(), HoldsOthers));
        if (holding == 0 || holding >= wanted) break;
        next.clear();
        for (const TreePart& part : parts) {
            const std::size_t before = next.size();
            ForEachHeld(part.entity, [&](const ClumVellumEntity* child) {
                next.push_back({child, part.depth + 1});
                return true;
            });
            if (next.size() > before) above.push_back(part);
            else next.push_back(part);
        }
        parts.swap(next);
    }
}

void VisitOnThreads(const std::vector<const ClumVellumEntity*>& roots, unsigned threads,
                    const std::function<void(unsigned, const ClumVellumEntity*, std::size_t)>& visit) {
    const unsigned workers = WorkersFor(threads);
    std::vector<TreePart> tops, parts;
    CutIntoParts(roots, workers > 1 ? kPartsPerWorker * workers : 0, parts, tops);

    std::atomic<std::size_t> nextPart{0};
    std::mutex failureMutex;
    std::exception_ptr failure;
    // The first exception is kept; the parts not taken yet are given up.
    const auto fail = [&] {
        nextPart = parts.size();
        const std::lock_guard<std::mutex> lock(failureMutex);
        if (!failure) failure = std::current_exception();
    };
    const auto work = [&](unsigned worker) {
        try {
            for (std::size_t i = nextPart++; i < parts.size(); i = nextPart++) {
                for (const DepthFirst::Step& step : DepthFirst({parts[i].entity})) {
                    visit(worker, step.entity, parts[i].depth + step.depth);
                }
            }
        } catch (...) {
            fail();
        }
    };
    std::vector<std::thread> helpers;
    const std::size_t helperCount = std::min<std::size_t>(workers - 1, parts.size() > 1 ? parts.size() - 1 : 0);
    for (unsigned worker = 1; worker <= helperCount; ++worker) {
        // Where the system has no thread to give, fewer workers visit the parts.
        try {
            helpers.emplace_back(work, worker);
        } catch (const std::system_error&) {
            break;
        }
    }
    try {
        for (const TreePart& top : tops) visit(0, top.entity, top.depth);
    } catch (...) {
        fail();
    }
    work(0);
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace lum
