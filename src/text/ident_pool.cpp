#include "text/ident_pool.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <atomic>
#include <mutex>
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
// Each shard's table starts with 8192 buckets and doubles whenever it holds
// more entries than buckets, so that chains stay short in models with
// millions of names and quids.
constexpr std::size_t FirstBucketCount = 8192;
constexpr std::size_t EntriesPerBucket = 1;
// Pages start at 64 KB, so that a small model costs little, and double up
// to 2 MB: texts are read at random while models are bound, and pages of
// that size can each be backed by one huge page. A shard's last page is
// partly empty, so more or larger pages would cost memory.
constexpr std::size_t FirstPageUnits = (std::size_t{64} << 10) / sizeof(wchar_t);
constexpr std::size_t LastPageUnits = (std::size_t{2} << 20) / sizeof(wchar_t);

// An entry is its chain link, the text's hash and length, then the text and
// its NUL. Sizes are in code units; the header takes the units of 16 bytes.
struct tEntry {
    tEntry* next;
    std::uint32_t hash;
    std::uint32_t length;
    wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
};
static_assert(sizeof(tEntry) % sizeof(wchar_t) == 0 && sizeof(tEntry) == 16);
constexpr std::size_t HeaderUnits = sizeof(tEntry) / sizeof(wchar_t);

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
    tEntry* firstBuckets[FirstBucketCount] = {};
    tEntry** buckets = firstBuckets;
    std::size_t bucketCount = FirstBucketCount;
    std::size_t entryCount = 0;
    tPage* current = nullptr;

    ~tShard() {
        if (buckets != firstBuckets) platform::FreeZeroed(buckets, bucketCount * sizeof(tEntry*));
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
// cache, by hash. Entries never move, so a cached entry stays good; keywords,
// feature names and common values are found there without taking the lock.
constexpr std::size_t CacheSlots = 2048;
thread_local tEntry* t_cache[CacheSlots];

// The bucket hash: every code unit is mixed in with a 64-bit multiply and
// the result is folded, so that quids, which differ in a few hex digits, and
// names, which share long prefixes, spread evenly. (A short multiplier such
// as h * 5 + c gives the same value to "05" and "10".)
std::uint32_t TextHash(const wchar_t* text, std::size_t length) {
    std::uint64_t h = 0xCBF29CE484222325ull ^ length;
    for (std::size_t i = 0; i < length; ++i) {
        h = (h ^ static_cast<std::uint32_t>(text[i])) * 0x100000001B3ull;
    }
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

// Doubles the table. The entries are taken page by page, in the order they
// lie in memory, and each goes to the end of its new chain.
void Grow(tShard& shard) {
    const std::size_t count = shard.bucketCount * 2;
    auto** buckets = static_cast<tEntry**>(platform::AllocateZeroed(count * sizeof(tEntry*)));
    for (tPage* page = shard.current; page != nullptr; page = page->previous) {
        for (std::size_t at = 0; at < page->used;) {
            auto* entry = reinterpret_cast<tEntry*>(page->buffer + at);
            at += EntryUnits(entry->length);
            tEntry** link = &buckets[entry->hash & (count - 1)];
            entry->next = *link;
            *link = entry;
        }
    }
    if (shard.buckets != shard.firstBuckets) platform::FreeZeroed(shard.buckets, shard.bucketCount * sizeof(tEntry*));
    shard.buckets = buckets;
    shard.bucketCount = count;
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
    tEntry** link = &shard.buckets[hash & (shard.bucketCount - 1)];
    for (; *link != nullptr; link = &(*link)->next) {
        if (Holds(*link, hash, text, length)) return *link;
    }
    tEntry* entry = Carve(shard, EntryUnits(length));
    entry->next = nullptr;
    entry->hash = hash;
    entry->length = static_cast<std::uint32_t>(length);
    wchar_t* stored = entry->Text();
    std::wmemcpy(stored, text, length);
    stored[length] = L'\0';
    *link = entry;
    if (++shard.entryCount > shard.bucketCount * EntriesPerBucket) Grow(shard);
    return entry;
}

}  // namespace

std::size_t InternedLength(const wchar_t* interned) {
    return reinterpret_cast<const tEntry*>(interned)[-1].length;
}

const wchar_t* Intern(const wchar_t* text, std::size_t length) {
    const std::uint32_t hash = TextHash(text, length);
    tEntry*& cached = t_cache[hash & (CacheSlots - 1)];
    if (cached == nullptr || !Holds(cached, hash, text, length)) cached = FindOrAdd(hash, text, length);
    return cached->Text();
}

}  // namespace lum::detail
