#pragma once
// How the export is cut so that several threads can write it. tNumbering
// numbers the exported objects in walk order (an object's id) and knows each
// one's subtree and depth; PlanParts picks runs of sibling subtrees, each a
// range of ids, for helper threads to write while the calling thread writes
// what lies around them and takes the runs' text in order (tPartWriter).

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lum/document/model.h"
#include "platform/flat_table.h"

namespace lum::json {

class tNumbering {
public:
    // The subtrees of a large model are walked on `threads` threads (0: one
    // per core) and put in order after; the numbers are those of one walk.
    tNumbering(const Model& model, unsigned threads);

    std::size_t Count() const { return m_order.entities.size(); }
    // -1 for an object outside the exported files.
    long long Of(const ClumVellumEntity* entity) const {
        const std::size_t* id = m_ids.Find(entity);
        return id == nullptr ? -1 : static_cast<long long>(*id);
    }
    // Asks for the memory of a lookup of Of ahead of it.
    void Prefetch(const ClumVellumEntity* entity) const { m_ids.Prefetch(entity); }
    const ClumVellumEntity* At(std::size_t id) const { return m_order.entities[id]; }
    // The objects of the subtree of `id`: itself and all below it, whose ids
    // follow its own.
    std::size_t SubtreeSize(std::size_t id) const { return m_order.subtrees[id]; }
    std::size_t Depth(std::size_t id) const { return m_order.depths[id]; }

private:
    // Objects in walk order with their depths and subtree sizes (32 bits:
    // no model in memory has four billion objects, and the export's peak is
    // set while these are held).
    struct tOrder {
        std::vector<const ClumVellumEntity*> entities;
        std::vector<std::uint32_t> depths;
        std::vector<std::uint32_t> subtrees;
        // Appends an object; the subtrees it leaves (of objects no deeper
        // than it) are closed first.
        void Add(const ClumVellumEntity* entity, std::size_t depth);
        // Appends a whole subtree numbered on its own, its root at `depth`.
        void Add(const tOrder& subtree, std::size_t depth);
        // Closes every subtree still open.
        void Close() { CloseFrom(0); }

    private:
        void CloseFrom(std::size_t depth);
        std::vector<std::size_t> m_open;  // objects whose subtrees are still open, innermost last
    };

    struct tPointerHash {
        std::uint64_t operator()(const ClumVellumEntity* entity) const {
            return platform::MixWord(reinterpret_cast<std::uintptr_t>(entity));
        }
    };

    tOrder m_order;
    platform::tFlatTable<const ClumVellumEntity*, std::size_t, tPointerHash> m_ids;
};

// The subtrees of consecutive siblings of one link (or consecutive files),
// ids [first, end), at walk depth `depth`.
struct tPart {
    std::size_t first;
    std::size_t end;
    std::size_t depth;
};

// Runs of at most `objectsPerPart` objects. An object with a larger subtree
// is left to the calling thread, which goes down into it; runs of fewer than
// an eighth of that are left to it too, as not worth a hand-over.
std::vector<tPart> PlanParts(const tNumbering& numbering, std::size_t objectsPerPart);

// Writes parts on helper threads, at most a few ahead of the part the caller
// takes next, so that the text held in memory stays bounded; the texts taken
// are given back, to be written into again.
class tPartWriter {
public:
    // `write` appends the text of a part to an empty text; it is called on
    // the helpers.
    using tWrite = std::function<void(const tPart&, std::string&)>;
    tPartWriter(const std::vector<tPart>& parts, unsigned helpers, tWrite write);
    ~tPartWriter();
    tPartWriter(const tPartWriter&) = delete;
    tPartWriter& operator=(const tPartWriter&) = delete;

    // The text of the next part in order, once written; what writing it
    // threw is thrown here.
    std::string TakeNext();
    void GiveBack(std::string text);

private:
    void Work();

    const std::vector<tPart>& m_parts;
    tWrite m_write;
    std::size_t m_window;
    std::vector<std::string> m_texts;
    std::vector<bool> m_done;
    std::vector<std::exception_ptr> m_failures;
    std::vector<std::string> m_spare;
    std::size_t m_nextToWrite = 0;
    std::size_t m_nextToTake = 0;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::thread> m_helpers;
};

}  // namespace lum::json
