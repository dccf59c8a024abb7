#include "json/export_parts.h"

#include <atomic>
#include <system_error>
#include <thread>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "lum/model/entity.h"
#include "lum/traverse/depth_first.h"
#include "lum/traverse/visit_on_threads.h"

namespace lum::json {

void tNumbering::tOrder::Add(const ClumVellumEntity* entity, std::size_t depth) {
    CloseFrom(depth);
    m_open.push_back(entities.size());
    entities.push_back(entity);
    depths.push_back(static_cast<std::uint32_t>(depth));
    subtrees.push_back(1);
}

void tNumbering::tOrder::Add(const tOrder& subtree, std::size_t depth) {
    CloseFrom(depth);
    entities.insert(entities.end(), subtree.entities.begin(), subtree.entities.end());
    for (const std::uint32_t inner : subtree.depths) depths.push_back(static_cast<std::uint32_t>(inner + depth));
    subtrees.insert(subtrees.end(), subtree.subtrees.begin(), subtree.subtrees.end());
}

void tNumbering::tOrder::CloseFrom(std::size_t depth) {
    while (!m_open.empty() && depths[m_open.back()] >= depth) {
        subtrees[m_open.back()] = static_cast<std::uint32_t>(entities.size() - m_open.back());
        m_open.pop_back();
    }
}

tNumbering::tNumbering(const Model& model, unsigned threads) {
    // The subtrees below the top levels are numbered on their own, on every
    // core; then a walk of the top levels puts each one in place of its
    // root. The parts come in walk order, so the walk meets them in turn.
    const std::vector<const ClumVellumEntity*> roots(model.Files().begin(), model.Files().end());
    const unsigned workers = WorkersFor(threads);
    std::vector<TreePart> parts, above;
    CutIntoParts(roots, workers > 1 ? 32 * workers : 0, parts, above);
    std::vector<tOrder> numbered(parts.size());
    std::atomic<std::size_t> next{0};
    const auto number = [&] {
        for (std::size_t i = next++; i < parts.size(); i = next++) {
            for (const DepthFirst::Step& step : DepthFirst({parts[i].entity})) numbered[i].Add(step.entity, step.depth);
            numbered[i].Close();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (unsigned i = 1; i < workers && i < parts.size(); ++i) {
            // Where the system has no thread to give, fewer number the parts.
            try {
                helpers.emplace_back(number);
            } catch (const std::system_error&) {
                break;
            }
        }
        number();
    }
    std::size_t count = 0;
    for (const tOrder& part : numbered) count += part.entities.size();
    count += above.size();
    m_order.entities.reserve(count);
    m_order.depths.reserve(count);
    m_order.subtrees.reserve(count);

    struct tFrame {
        const ClumVellumEntity* entity;
        std::size_t depth;
        std::size_t link;
        int child;
    };
    std::vector<tFrame> stack;
    std::size_t nextPart = 0;
    const auto place = [&](const ClumVellumEntity* entity, std::size_t depth) {
        if (nextPart < parts.size() && parts[nextPart].entity == entity) {
            m_order.Add(numbered[nextPart++], depth);
            return;
        }
        m_order.Add(entity, depth);
        stack.push_back({entity, depth, 0, 0});
    };
    for (const ClumVellumEntity* root : roots) {
        if (root != nullptr) place(root, 0);
        while (!stack.empty()) {
            tFrame& frame = stack.back();
            auto* owner = const_cast<ClumVellumEntity*>(frame.entity);  // only read
            const auto& links = owner->GetMetaClass().m_linkFeatures;
            if (frame.link == links.size()) {
                stack.pop_back();
                continue;
            }
            const ClumMetaFeature& link = *links[frame.link];
            if (link.m_pfnLinkSize == nullptr || link.m_pfnLinkGetAt == nullptr ||
                frame.child >= link.m_pfnLinkSize(owner)) {
                ++frame.link;
                frame.child = 0;
                continue;
            }
            const ClumVellumEntity* child = link.m_pfnLinkGetAt(owner, frame.child++);
            if (child != nullptr) place(child, frame.depth + 1);  // may move the frames
        }
    }
    m_order.Close();
    // The ids go into their table after the walk, each slot asked for a few
    // objects ahead, so that the inserts do not wait on one another's misses.
    const std::vector<const ClumVellumEntity*>& entities = m_order.entities;
    m_ids.Reserve(entities.size());
    constexpr std::size_t Ahead = 8;
    for (std::size_t id = 0; id < entities.size(); ++id) {
        if (id + Ahead < entities.size()) m_ids.Prefetch(entities[id + Ahead]);
        m_ids[entities[id]] = id;
    }
}

std::vector<tPart> PlanParts(const tNumbering& numbering, std::size_t objectsPerPart) {
    std::vector<tPart> parts;
    const std::size_t count = numbering.Count();
    const std::size_t worthIt = std::max<std::size_t>(objectsPerPart / 8, 1);
    for (std::size_t id = 0; id < count;) {
        if (numbering.SubtreeSize(id) > objectsPerPart) {
            ++id;
            continue;
        }
        // The following siblings in the same link join while the run fits.
        const std::size_t depth = numbering.Depth(id);
        const IlumFeature* link = numbering.At(id)->OwningFeature();
        std::size_t end = id + numbering.SubtreeSize(id);
        while (end < count && numbering.Depth(end) == depth && numbering.At(end)->OwningFeature() == link &&
               end + numbering.SubtreeSize(end) - id <= objectsPerPart) {
            end += numbering.SubtreeSize(end);
        }
        if (end - id >= worthIt) parts.push_back(tPart{id, end, depth});
        id = end;
    }
    return parts;
}

tPartWriter::tPartWriter(const std::vector<tPart>& parts, unsigned helpers, tWrite write)
    : m_parts(parts),
      m_write(std::move(write)),
      m_window(2 * std::size_t{helpers}),
      m_texts(parts.size()),
      m_done(parts.size(), false),
      m_failures(parts.size()) {
    for (unsigned i = 0; i < helpers; ++i) m_helpers.emplace_back([this] { Work(); });
}

tPartWriter::~tPartWriter() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& helper : m_helpers) helper.join();
}

std::string tPartWriter::TakeNext() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::size_t part = m_nextToTake;
    m_changed.wait(lock, [&] { return m_done[part]; });
    std::string text = std::move(m_texts[part]);
    const std::exception_ptr failure = m_failures[part];
    ++m_nextToTake;
    lock.unlock();
    m_changed.notify_all();
    if (failure) std::rethrow_exception(failure);
    return text;
}

void tPartWriter::GiveBack(std::string text) {
    text.clear();
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_spare.push_back(std::move(text));
}

void tPartWriter::Work() {
    for (;;) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] {
            return m_stopping || m_nextToWrite >= m_parts.size() || m_nextToWrite < m_nextToTake + m_window;
        });
        if (m_stopping || m_nextToWrite >= m_parts.size()) return;
        const std::size_t part = m_nextToWrite++;
        std::string text;
        if (!m_spare.empty()) {
            text = std::move(m_spare.back());
            m_spare.pop_back();
        }
        lock.unlock();
        std::exception_ptr failure;
        try {
            m_write(m_parts[part], text);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        m_texts[part] = std::move(text);
        m_failures[part] = failure;
        m_done[part] = true;
        lock.unlock();
        m_changed.notify_all();
    }
}

}  // namespace lum::json
