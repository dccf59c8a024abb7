#include "json/export_parts.h"

#include "lum/model/entity.h"

namespace lum::json {

tNumbering::tNumbering(const Model& model) {
    std::size_t count = model.Files().size();
    for (const auto& entry : model.CountByClass()) count += entry.second;
    m_entities.reserve(count);
    m_subtree.reserve(count);
    m_depth.reserve(count);
    m_ids.Reserve(count);
    // The objects whose subtrees are still open, innermost last; each closes
    // when an object no deeper than it comes, or at the end.
    std::vector<std::size_t> open;
    const auto close = [&](std::size_t depth) {
        while (!open.empty() && m_depth[open.back()] >= depth) {
            m_subtree[open.back()] = m_entities.size() - open.back();
            open.pop_back();
        }
    };
    for (const tDepthFirst::tStep& step : model.Walk()) {
        close(step.depth);
        open.push_back(m_entities.size());
        m_entities.push_back(step.entity);
        m_subtree.push_back(1);
        m_depth.push_back(step.depth);
    }
    close(0);
    // The ids go into their table after the walk, each slot asked for a few
    // objects ahead, so that the inserts do not wait on one another's misses.
    constexpr std::size_t Ahead = 8;
    for (std::size_t id = 0; id < m_entities.size(); ++id) {
        if (id + Ahead < m_entities.size()) m_ids.Prefetch(m_entities[id + Ahead]);
        m_ids[m_entities[id]] = id;
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
