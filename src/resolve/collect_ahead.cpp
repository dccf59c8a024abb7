#include "resolve/collect_ahead.h"

#include <algorithm>
#include <system_error>

#include "lum/model/entity.h"
#include "lum/traverse/visit_on_threads.h"

namespace lum {

namespace {

// Parts per thread: enough that the threads finish close together, few
// enough that handing parts over costs nothing.
constexpr std::size_t kPartsPerThread = 32;
// How many parts past the collector's each helper may have recorded at
// least, and what share of all the parts the helpers may at most; and how
// many findings (40 bytes each) may be held recorded and not yet claimed,
// whatever the parts' sizes: a loading thread slowed by fresh memory must
// not let the helpers hold megabytes.
constexpr std::size_t kAheadPerHelper = 4;
constexpr std::size_t kAheadShare = 32;
constexpr std::size_t kMostHeld = std::size_t{1} << 16;

// Records what the walk finds in a part.
class tRecorder : public tCollectSink {
public:
    tRecorder(tCollectReader& reader, tFoundList& found) : m_reader(reader), m_found(found) {}

    bool Enter(const ClumVellumEntity* entity, const tPlan& plan, std::size_t depth) override {
        const tEntered entered = m_reader.Read(entity, plan);
        tFound& step = m_found.emplace_back();
        step.kind = tFound::tKind::Enter;
        step.plainName = entered.plainName;
        step.quidIsLabel = entered.quidIsLabel;
        step.depth = static_cast<std::uint32_t>(depth);
        step.entered = {entity, plan.metaClass, entered.name, entered.quid};
        return true;
    }
    void Gather(const tGathered& gathered, bool byQuid, std::size_t ownerDepth) override {
        tFound& step = m_found.emplace_back();
        step.kind = byQuid ? tFound::tKind::QuidReference : tFound::tKind::OtherReference;
        step.depth = static_cast<std::uint32_t>(ownerDepth);
        step.gathered = {gathered.reference, gathered.value, gathered.companion};
    }
    void Leave() override {}

private:
    tCollectReader& m_reader;
    tFoundList& m_found;
};

}  // namespace

tCollectAhead::tCollectAhead(const ClumVellumEntity* root, unsigned helpers, bool recordEach)
    : m_recordEach(recordEach) {
    // The collector walks links in the order the parts are cut in.
    std::vector<TreePart> parts, above;
    CutIntoParts({root}, kPartsPerThread * (helpers + 1), parts, above);
    if (parts.size() < 2) return;
    for (const TreePart& part : parts) m_parts.push_back(part.entity);
    m_states.assign(m_parts.size(), tState::Waiting);
    m_found.resize(m_parts.size());
    m_window = std::max<std::size_t>(kAheadPerHelper * helpers, m_parts.size() / kAheadShare);
    for (unsigned i = 0; i < helpers; ++i) {
        // Where the system has no thread to give, the collector walks more.
        try {
            m_helpers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;
        }
    }
}

tCollectAhead::~tCollectAhead() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& helper : m_helpers) helper.join();
}

std::size_t tCollectAhead::NextWaiting(std::size_t from) {
    if (m_held >= kMostHeld) return m_parts.size();
    while (m_firstWaiting < m_parts.size() && m_states[m_firstWaiting] != tState::Waiting) ++m_firstWaiting;
    const std::size_t end = std::min(m_parts.size(), m_next + m_window);
    for (std::size_t part = std::max(from, m_firstWaiting); part < end; ++part) {
        if (m_states[part] == tState::Waiting) return part;
    }
    return m_parts.size();
}

bool tCollectAhead::Record(std::size_t part, tCollectReader& reader, std::unique_lock<std::mutex>& lock) {
    m_states[part] = tState::Recording;
    std::unique_ptr<tFoundList> found;
    if (!m_spare.empty()) {
        found = std::move(m_spare.back());
        m_spare.pop_back();
    }
    lock.unlock();
    try {
        if (found == nullptr) found = std::make_unique<tFoundList>();
        tRecorder recorder(reader, *found);
        WalkCollecting(m_parts[part], reader, recorder);
    } catch (...) {
        found.reset();
    }
    lock.lock();
    const bool recorded = found != nullptr;
    if (recorded) m_held += found->size();
    m_found[part] = std::move(found);
    m_states[part] = recorded ? tState::Recorded : tState::Claimed;
    m_changed.notify_all();
    return recorded;
}

void tCollectAhead::Work() {
    tCollectReader reader;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        std::size_t part = m_parts.size();
        m_changed.wait(lock, [&] {
            return m_stop || m_next >= m_parts.size() || (part = NextWaiting(m_next)) < m_parts.size();
        });
        if (m_stop || part >= m_parts.size()) return;
        if (!Record(part, reader, lock)) return;
    }
}

std::unique_ptr<tFoundList> tCollectAhead::ClaimNext(tCollectReader& reader) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::size_t part = m_next;
    // While a helper records this part, the parts after it that no helper
    // took yet are recorded here rather than waited idle.
    while (m_states[part] == tState::Recording) {
        if (const std::size_t other = NextWaiting(part + 1); other < m_parts.size()) {
            Record(other, reader, lock);
        } else {
            m_changed.wait(lock, [&] {
                return m_states[part] != tState::Recording || NextWaiting(part + 1) < m_parts.size();
            });
        }
    }
    if (m_recordEach && m_states[part] == tState::Waiting) Record(part, reader, lock);
    // A part that failed to record is walked here; so is one not started.
    m_states[part] = tState::Claimed;
    ++m_next;
    m_changed.notify_all();
    if (m_found[part] != nullptr) m_held -= m_found[part]->size();
    return std::move(m_found[part]);
}

void tCollectAhead::GiveBack(std::unique_ptr<tFoundList> found) {
    found->clear();
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_spare.push_back(std::move(found));
}

}  // namespace lum
