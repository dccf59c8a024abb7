#include "text/ident_pool.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace lum::detail {

namespace {

constexpr std::size_t BucketCount = 16384;
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
    tEntry* buckets[BucketCount] = {};
    tPage* current = nullptr;

    ~tPool() {
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

std::uint32_t BucketHash(const wchar_t* text, std::size_t length) {
    std::uint32_t h = static_cast<std::uint32_t>(length) * 997u;
    for (std::size_t i = 0; i < length; ++i) h = h * 5u + static_cast<std::uint32_t>(text[i]);
    return h & (BucketCount - 1);
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
    tEntry** link = &g_pool.buckets[BucketHash(text, length)];
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
    return stored;
}

}  // namespace lum::detail
