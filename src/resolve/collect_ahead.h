#pragma once
// tCollectAhead: walks parts of a large tree on helper threads while the
// collector walks the rest. The tree is cut into parts, subtrees in walk
// order, and the few objects above them (CutIntoParts). The helpers record
// what the walk finds in the parts just ahead of the collector's walk; the
// collector claims each part as its walk reaches it: recorded already (it
// indexes what was recorded, in order, without touching the objects
// again), being recorded (meanwhile it records the next waiting ones
// itself), or not started (it walks it itself). What it indexes is
// therefore what walking alone indexes, in the same order.
//
// How far ahead the helpers may record is bounded: four parts per helper,
// or a 32nd of the parts where a level of the tree holds thousands of small
// ones (the classes of a model's packages), so that the helpers seldom wait
// for the collector or it for them; and never more than 65,536 findings
// held recorded (2.5 MB), whatever the parts' sizes.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "resolve/collect_reader.h"

namespace lum {

// One finding of a part walked ahead: an object entered at a depth below
// the part's root, or a reference feature of the object at a depth. An
// object is left when a later finding stands at its depth or above, or when
// the part ends.
struct tFound {
    enum class tKind : std::uint8_t { Enter, QuidReference, OtherReference };
    tKind kind;
    bool plainName;
    bool quidIsLabel;
    std::uint32_t depth;
    union {
        struct {
            const ClumVellumEntity* entity;
            const ClumMetaClass* metaClass;
            const wchar_t* name;
            const wchar_t* quid;
        } entered;
        struct {
            const IlumReference* reference;
            const ClumObjectRef* value;
            const ClumObjectRef* companion;
        } gathered;
    };
};

// What was recorded of one part.
using tFoundList = std::vector<tFound>;

class tCollectAhead {
public:
    // Cuts the tree under `root` and starts `helpers` threads on it (none
    // when the tree gives fewer than two parts). With `recordEach` the
    // collector records a part it reaches unrecorded, instead of walking it
    // (for tests: every part then goes through recording).
    tCollectAhead(const ClumVellumEntity* root, unsigned helpers, bool recordEach = false);
    // Stops the helpers after the parts they are recording.
    ~tCollectAhead();
    tCollectAhead(const tCollectAhead&) = delete;
    tCollectAhead& operator=(const tCollectAhead&) = delete;

    // Whether `entity` is the root of the next part the collector's walk
    // will reach (parts lie in walk order).
    bool IsNextPart(const ClumVellumEntity* entity) const {
        return m_next < m_parts.size() && m_parts[m_next] == entity;
    }
    // Claims the next part: what was recorded of it, or null when the
    // collector should walk it itself. `reader` serves the calling thread.
    std::unique_ptr<tFoundList> ClaimNext(tCollectReader& reader);
    // Takes back a list the collector is done with, to record another part
    // in: the lists are reused rather than freed, so that recording ahead
    // holds no more memory than the few lists in use.
    void GiveBack(std::unique_ptr<tFoundList> found);

private:
    enum class tState : unsigned char { Waiting, Recording, Recorded, Claimed };

    void Work();
    // The first waiting part from `from` on within reach of the helpers, or
    // the number of parts when there is none.
    std::size_t NextWaiting(std::size_t from);
    // Records part `part` with the lock released; false when that failed
    // (out of memory: the part is left to the collector).
    bool Record(std::size_t part, tCollectReader& reader, std::unique_lock<std::mutex>& lock);

    std::vector<const ClumVellumEntity*> m_parts;
    std::vector<tState> m_states;
    std::vector<std::unique_ptr<tFoundList>> m_found;
    std::vector<std::unique_ptr<tFoundList>> m_spare;  // lists given back, emptied
    std::size_t m_next = 0;          // the next part the collector will reach
    std::size_t m_window = 0;        // how many parts past m_next may be recorded
    std::size_t m_firstWaiting = 0;  // no part before it is waiting (parts only leave that state)
    std::size_t m_held = 0;          // findings recorded and not claimed yet
    bool m_recordEach;
    bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread> m_helpers;
};

}  // namespace lum
