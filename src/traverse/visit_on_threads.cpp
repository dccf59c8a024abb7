#include "lum/traverse/visit_on_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"
#include "lum/traverse/depth_first.h"

namespace lum {

namespace {

struct tPart {
    const ClumVellumEntity* entity;
    std::size_t depth;
};

// Parts per worker: enough that a worker finishing a large subtree early
// finds others left, few enough that taking one costs nothing.
constexpr std::size_t kPartsPerWorker = 32;
// Levels cut at most: a chain of single objects is not worth cutting deeper.
constexpr int kMaxLevels = 6;

// Appends the objects held by `part`'s object one level down; false when it holds none.
bool AddChildren(const tPart& part, std::vector<tPart>& to) {
    auto* entity = const_cast<ClumVellumEntity*>(part.entity);  // only read
    bool any = false;
    for (const ClumMetaFeature* link : entity->GetMetaClass().m_linkFeatures) {
        if (link->m_pfnLinkSize == nullptr || link->m_pfnLinkGetAt == nullptr) continue;
        const int size = link->m_pfnLinkSize(entity);
        for (int i = 0; i < size; ++i) {
            if (const ClumVellumEntity* child = link->m_pfnLinkGetAt(entity, i)) {
                to.push_back({child, part.depth + 1});
                any = true;
            }
        }
    }
    return any;
}

}  // namespace

unsigned WorkersFor(unsigned threads) {
    return threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

void VisitOnThreads(const std::vector<const ClumVellumEntity*>& roots, unsigned threads,
                    const std::function<void(unsigned, const ClumVellumEntity*, std::size_t)>& visit) {
    const unsigned workers = WorkersFor(threads);
    // Level by level, each object that holds others becomes a top and its
    // children parts, until there are parts enough for the workers.
    std::vector<tPart> tops, parts;
    for (const ClumVellumEntity* root : roots) {
        if (root != nullptr) parts.push_back({root, 0});
    }
    for (int level = 0; workers > 1 && level < kMaxLevels && parts.size() < kPartsPerWorker * workers; ++level) {
        std::vector<tPart> next;
        bool cut = false;
        for (const tPart& part : parts) {
            if (AddChildren(part, next)) {
                tops.push_back(part);
                cut = true;
            } else {
                next.push_back(part);
            }
        }
        parts.swap(next);
        if (!cut) break;
    }

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
                for (const tDepthFirst::tStep& step : tDepthFirst({parts[i].entity})) {
                    visit(worker, step.entity, parts[i].depth + step.depth);
                }
            }
        } catch (...) {
            fail();
        }
    };
    std::vector<std::thread> helpers;
    const std::size_t helperCount = std::min<std::size_t>(workers - 1, parts.size() > 1 ? parts.size() - 1 : 0);
    for (unsigned worker = 1; worker <= helperCount; ++worker) helpers.emplace_back(work, worker);
    try {
        for (const tPart& top : tops) visit(0, top.entity, top.depth);
    } catch (...) {
        fail();
    }
    work(0);
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace lum
