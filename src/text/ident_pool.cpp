#include "text/ident_pool.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <atomic>
#include <mutex>
#include <new>
#include <thread>

#include "platform/large_blocks.h"

namespace lum::detail {

namespace {

// The pool is split into shards by the top bits of the hash, each with its
// own lock, table and pages, so that threads reading files at the same time
// seldom wait for one another, and a shard's table doubling holds up only
// the texts that fall into it. Two serve two cores: on the 100 MB model more
// shards read no faster, and each adds a part-filled page and table.
constexpr std::size_t ShardBits = 1;
constexpr std::size_t ShardCount = std::size_t{1} << ShardBits;
// Each shard's table starts with 8192 slots and doubles whenever it is more
// than three quarters full, so that probe runs stay short in models with
// millions of names and quids.
constexpr std::size_t FirstSlotCount = 8192;
// Pages start at 64 KB, so that a small model costs little, and double up
// to 2 MB: texts are read at random while models are bound, and pages of
// that size can each be backed by one huge page. A shard's last page is
// partly empty, so more or larger pages would cost memory.
constexpr std::size_t FirstPageUnits = (std::size_t{64} << 10) / sizeof(wchar_t);
constexpr std::size_t LastPageUnits = (std::size_t{2} << 20) / sizeof(wchar_t);

// An entry is the text's hash and length, then the text and its NUL. Sizes
// are in code units.
struct tEntry {
    std::uint32_t hash;
    std::uint32_t length;
    wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
};
static_assert(sizeof(tEntry) % sizeof(wchar_t) == 0);
constexpr std::size_t HeaderUnits = sizeof(tEntry) / sizeof(wchar_t);

// A table slot holds an entry's address with a tag of its hash in the bits
// above it, 0 when free, so that a probe looks at the entry itself only when
// the tags agree: finding a text costs one miss in the table and one in the
// entry, and adding a new one only the miss in the table. Where addresses
// take 64 bits the tag takes the top 16, which user-space addresses leave
// clear on the platforms we build for; a page placed above them is refused
// as if memory had run out (see Carve).
using tSlot = std::uint64_t;
constexpr unsigned AddressBits = sizeof(void*) >= 8 ? 48 : 32;
constexpr tSlot AddressMask = (tSlot{1} << AddressBits) - 1;

tSlot Tag(std::uint32_t hash) {
    // Derived from the whole hash by a multiply, so that entries whose
    // low bits (their home slot) are alike still get unlike tags.
    return ((hash * tSlot{0x9E3779B97F4A7C15ull}) >> AddressBits) << AddressBits;
}
tSlot MakeSlot(tEntry* entry) {
    return Tag(entry->hash) | reinterpret_cast<std::uintptr_t>(entry);
}
tEntry* SlotEntry(tSlot slot) { return reinterpret_cast<tEntry*>(static_cast<std::uintptr_t>(slot & AddressMask)); }

struct tPage {
    wchar_t* buffer;
    std::size_t size;
    std::size_t used;
    tPage* previous;
};

// A lock held for a few hundred nanoseconds at a time: a thread that finds it
// taken spins until it is free, yielding now and then, instead of going to
// sleep in the system and being woken again, which costs far more.
class tSpinLock {
public:
    void lock() {
        for (int spins = 0; m_taken.exchange(true, std::memory_order_acquire); ++spins) {
            while (m_taken.load(std::memory_order_relaxed)) {
                if (++spins % 1024 == 0) std::this_thread::yield();
            }
        }
    }
    void unlock() { m_taken.store(false, std::memory_order_release); }

private:
    std::atomic<bool> m_taken{false};
};

struct tShard {
    tSpinLock lock;
    tSlot firstSlots[FirstSlotCount] = {};
    tSlot* slots = firstSlots;
    std::size_t slotCount = FirstSlotCount;
    std::size_t entryCount = 0;
    tPage* current = nullptr;

    ~tShard() {
        if (slots != firstSlots) platform::FreeZeroed(slots, slotCount * sizeof(tSlot));
        while (current != nullptr) {
            tPage* previous = current->previous;
            platform::FreeZeroed(current->buffer, current->size * sizeof(wchar_t));
            delete current;
            current = previous;
        }
    }
};

// Constant-initialised, so identifiers in static storage may be made before
// any dynamic initialisation runs. The braces matter: g++ 12 leaves an array
// of them default-initialised without its members' initial values.
constinit tShard g_shards[ShardCount] = {};

// Each thread keeps the entries it asked for last in a small direct-mapped
// cache of slots, by hash. Entries never move, so a cached entry stays good;
// keywords, feature names and common values are found there without taking
// the lock, and the tag spares a look at entries of other texts.
constexpr std::size_t CacheSlots = 2048;
thread_local tSlot t_cache[CacheSlots];

// The bucket hash: the code units are mixed in two at a time with a 64-bit
// multiply, and the result is folded, so that quids, which differ in a few
// hex digits, and names, which share long prefixes, spread evenly. (A short
// multiplier such as h * 5 + c gives the same value to "05" and "10".)
std::uint32_t TextHash(const wchar_t* text, std::size_t length) {
    constexpr std::uint64_t Prime = 0x100000001B3ull;
    std::uint64_t h = 0xCBF29CE484222325ull ^ length;
    std::size_t i = 0;
    for (; i + 2 <= length; i += 2) {
        const std::uint64_t pair = static_cast<std::uint32_t>(text[i]) |
                                   std::uint64_t{static_cast<std::uint32_t>(text[i + 1])} << 32;
        h = (h ^ pair) * Prime;
        h ^= h >> 32;
    }
    if (i < length) h = (h ^ static_cast<std::uint32_t>(text[i])) * Prime;
    h ^= h >> 29;
    h *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::uint32_t>(h >> 32);
}

// Units an entry of `length` code units takes: header, text and NUL,
// rounded up so that the next entry's header stays aligned.
constexpr std::size_t AlignUnits = alignof(tEntry) / sizeof(wchar_t) > 0 ? alignof(tEntry) / sizeof(wchar_t) : 1;
std::size_t EntryUnits(std::size_t length) {
    return (HeaderUnits + length + 1 + AlignUnits - 1) / AlignUnits * AlignUnits;
}

// The slot of `hash`'s probe run that holds the entry or, if none does, the
// free slot that ends the run.
template <class Matches>
tSlot* Probe(tSlot* slots, std::size_t count, std::uint32_t hash, Matches matches) {
    const tSlot tag = Tag(hash);
    for (std::size_t at = hash & (count - 1);; at = (at + 1) & (count - 1)) {
        const tSlot slot = slots[at];
        if (slot == 0 || ((slot & ~AddressMask) == tag && matches(SlotEntry(slot)))) return &slots[at];
    }
}

// Doubles the table. The entries are taken page by page, in the order they
// lie in memory.
void Grow(tShard& shard) {
    const std::size_t count = shard.slotCount * 2;
    auto* slots = static_cast<tSlot*>(platform::AllocateZeroed(count * sizeof(tSlot)));
    for (tPage* page = shard.current; page != nullptr; page = page->previous) {
        for (std::size_t at = 0; at < page->used;) {
            auto* entry = reinterpret_cast<tEntry*>(page->buffer + at);
            at += EntryUnits(entry->length);
            *Probe(slots, count, entry->hash, [](const tEntry*) { return false; }) = MakeSlot(entry);
        }
    }
    if (shard.slots != shard.firstSlots) platform::FreeZeroed(shard.slots, shard.slotCount * sizeof(tSlot));
    shard.slots = slots;
    shard.slotCount = count;
}

tEntry* Carve(tShard& shard, std::size_t units) {
    tPage* page = shard.current;
    if (page == nullptr || page->size - page->used < units) {
        // Doubling stops short of a page that would be mapped on its own but
        // fill only half of its huge page.
        const std::size_t doubled = page == nullptr ? FirstPageUnits : page->size * 2;
        const std::size_t next = doubled * 2 >= LastPageUnits ? LastPageUnits : doubled;
        const std::size_t size = std::max(units, next);
        auto* buffer = static_cast<wchar_t*>(platform::AllocateZeroed(size * sizeof(wchar_t)));
        if ((reinterpret_cast<std::uintptr_t>(buffer + size) & ~AddressMask) != 0) {
            platform::FreeZeroed(buffer, size * sizeof(wchar_t));
            throw std::bad_alloc();
        }
        page = new tPage{buffer, size, 0, shard.current};
        shard.current = page;
    }
    auto* entry = reinterpret_cast<tEntry*>(page->buffer + page->used);
    page->used += units;
    return entry;
}

bool Holds(const tEntry* entry, std::uint32_t hash, const wchar_t* text, std::size_t length) {
    return entry->hash == hash && entry->length == length &&
           std::wmemcmp(const_cast<tEntry*>(entry)->Text(), text, length) == 0;
}

tEntry* FindOrAdd(std::uint32_t hash, const wchar_t* text, std::size_t length) {
    tShard& shard = g_shards[hash >> (32 - ShardBits)];
    const std::lock_guard<tSpinLock> guard(shard.lock);
    tSlot* slot = Probe(shard.slots, shard.slotCount, hash,
                        [&](const tEntry* entry) { return Holds(entry, hash, text, length); });
    if (*slot != 0) return SlotEntry(*slot);
    tEntry* entry = Carve(shard, EntryUnits(length));
    entry->hash = hash;
    entry->length = static_cast<std::uint32_t>(length);
    wchar_t* stored = entry->Text();
    std::wmemcpy(stored, text, length);
    stored[length] = L'\0';
    *slot = MakeSlot(entry);
    if (++shard.entryCount * 4 > shard.slotCount * 3) Grow(shard);
    return entry;
}

}  // namespace

std::size_t InternedLength(const wchar_t* interned) {
    return reinterpret_cast<const tEntry*>(interned)[-1].length;
}

const wchar_t* Intern(const wchar_t* text, std::size_t length) {
    const std::uint32_t hash = TextHash(text, length);
    tSlot& cached = t_cache[hash & (CacheSlots - 1)];
    if (cached == 0 || (cached & ~AddressMask) != Tag(hash) || !Holds(SlotEntry(cached), hash, text, length)) {
        cached = MakeSlot(FindOrAdd(hash, text, length));
    }
    return SlotEntry(cached)->Text();
}

}  // namespace lum::detail
