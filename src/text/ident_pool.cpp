#include "text/ident_pool.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace lum::detail {

namespace {

// The table starts with 16384 buckets and doubles whenever it holds more
// entries than buckets, so that chains stay short in models with millions
// of names and quids.
constexpr std::size_t FirstBucketCount = 16384;
constexpr std::size_t EntriesPerBucket = 1;
constexpr std::size_t PageUnits = 65536;

// An entry is its chain link followed by the text and its NUL. Sizes are in
// code units; a link takes the units of one pointer.
struct tEntry {
    tEntry* next;
    wchar_t* Text() { return reinterpret_cast<wchar_t*>(this + 1); }
};
static_assert(sizeof(tEntry) % sizeof(wchar_t) == 0);

struct tPage {
    wchar_t* buffer;
    std::size_t size;
    std::size_t used;
    tPage* previous;
};

struct tPool {
    tEntry* firstBuckets[FirstBucketCount] = {};
    tEntry** buckets = firstBuckets;
    std::size_t bucketCount = FirstBucketCount;
    std::size_t entryCount = 0;
    tPage* current = nullptr;

    ~tPool() {
        if (buckets != firstBuckets) delete[] buckets;
        while (current != nullptr) {
            tPage* previous = current->previous;
            delete[] current->buffer;
            delete current;
            current = previous;
        }
    }
};

// Constant-initialised, so identifiers in static storage may be made before
// any dynamic initialisation runs.
constinit tPool g_pool;

// The bucket hash: every code unit is mixed in with a 64-bit multiply and
// the result is folded, so that quids, which differ in a few hex digits, and
// names, which share long prefixes, spread evenly. (A short multiplier such
// as h * 5 + c gives the same value to "05" and "10".)
std::uint64_t TextHash(const wchar_t* text, std::size_t length) {
    std::uint64_t h = 0xCBF29CE484222325ull ^ length;
    for (std::size_t i = 0; i < length; ++i) {
        h = (h ^ static_cast<std::uint32_t>(text[i])) * 0x100000001B3ull;
    }
    h ^= h >> 29;
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 32);
}

// Doubles the table, keeping the order of each chain's entries.
void Grow() {
    const std::size_t count = g_pool.bucketCount * 2;
    auto** buckets = new tEntry*[count]();
    auto** tails = new tEntry**[count];
    for (std::size_t i = 0; i < count; ++i) tails[i] = &buckets[i];
    for (std::size_t i = 0; i < g_pool.bucketCount; ++i) {
        for (tEntry* entry = g_pool.buckets[i]; entry != nullptr;) {
            tEntry* next = entry->next;
            const wchar_t* text = entry->Text();
            const std::size_t slot = TextHash(text, std::wcslen(text)) & (count - 1);
            entry->next = nullptr;
            *tails[slot] = entry;
            tails[slot] = &entry->next;
            entry = next;
        }
    }
    delete[] tails;
    if (g_pool.buckets != g_pool.firstBuckets) delete[] g_pool.buckets;
    g_pool.buckets = buckets;
    g_pool.bucketCount = count;
}

// Units an entry of `length` code units takes: link, text and NUL, rounded
// to a multiple of four so that the next entry's link stays aligned.
std::size_t EntryUnits(std::size_t length) { return (length + 7) & ~std::size_t{3}; }
static_assert(sizeof(tEntry) / sizeof(wchar_t) <= 3, "a link must fit the three spare units of an entry");

tEntry* Carve(std::size_t units) {
    tPage* page = g_pool.current;
    if (page == nullptr || page->size - page->used <= units) {
        const std::size_t size = units > PageUnits ? units : PageUnits;
        page = new tPage{new wchar_t[size], size, 0, g_pool.current};
        g_pool.current = page;
    }
    auto* entry = reinterpret_cast<tEntry*>(page->buffer + page->used);
    page->used += units;
    return entry;
}

}  // namespace

const wchar_t* Intern(const wchar_t* text, std::size_t length) {
    tEntry** link = &g_pool.buckets[TextHash(text, length) & (g_pool.bucketCount - 1)];
    for (; *link != nullptr; link = &(*link)->next) {
        wchar_t* stored = (*link)->Text();
        if (std::wmemcmp(stored, text, length) == 0 && stored[length] == L'\0') return stored;
    }
    tEntry* entry = Carve(EntryUnits(length));
    entry->next = nullptr;
    wchar_t* stored = entry->Text();
    std::wmemcpy(stored, text, length);
    stored[length] = L'\0';
    *link = entry;
    if (++g_pool.entryCount > g_pool.bucketCount * EntriesPerBucket) Grow();
    return stored;
}

}  // namespace lum::detail
