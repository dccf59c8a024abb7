// lum_footprint: what model objects cost in memory. Prints the size of a few
// model classes and feature members, then counts the heap bytes that making
// 1,000,000 class attributes, each with a name and a quid, allocates.

#include <cstdio>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace {

// Live heap bytes and allocations made so far; each block carries its size
// in a header of its own.
std::size_t g_liveBytes = 0;
std::size_t g_allocations = 0;
constexpr std::size_t Header = alignof(std::max_align_t);

}  // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + Header));
    if (block == nullptr) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    g_liveBytes += size;
    ++g_allocations;
    return block + Header;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    auto* block = static_cast<unsigned char*>(p) - Header;
    g_liveBytes -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

int main() {
    using namespace lum;
    InitializeLUM();
    ClumClass probe;
    std::printf("sizeof(ClumClass)            %zu\n", sizeof(ClumClass));
    std::printf("sizeof(ClumClassView)        %zu\n", sizeof(ClumClassView));
    std::printf("sizeof(ClumFont)             %zu\n", sizeof(ClumFont));
    std::printf("sizeof(ClumClassAttribute)   %zu\n", sizeof(ClumClassAttribute));
    std::printf("attribute, value in member   %zu (int), %zu (ClumIdent)\n", sizeof(probe.nonclass),
                sizeof(probe.quid));
    std::printf("attribute, value object      %zu (WString)\n", sizeof(probe.space));
    std::printf("link                         %zu\n", sizeof(probe.operations));
    std::printf("reference, single / list     %zu / %zu\n", sizeof(ClumParameter().type), sizeof(probe.module));

    constexpr int Count = 1000000;
    std::vector<ClumClassAttribute*> objects;
    objects.reserve(Count);
    const std::size_t bytesBefore = g_liveBytes;
    const std::size_t allocationsBefore = g_allocations;
    for (int i = 0; i < Count; ++i) {
        auto* attribute = new ClumClassAttribute();
        attribute->name.Set(ClumIdent(WString(L"attribute" + std::to_wstring(i))));
        attribute->quid.Set(ClumIdent(WString(L"3A5B0C1D" + std::to_wstring(1000000 + i))));
        objects.push_back(attribute);
    }
    const std::size_t bytes = g_liveBytes - bytesBefore;
    const std::size_t allocations = g_allocations - allocationsBefore;
    std::printf("%d class attributes with name and quid: %zu bytes live after %zu allocations, %.1f bytes "
                "each (the objects %zu, the identifier pool the rest)\n",
                Count, bytes, allocations, static_cast<double>(bytes) / Count, sizeof(ClumClassAttribute) * Count);
    for (ClumClassAttribute* attribute : objects) delete attribute;
    FinalizeLUM();
    return 0;
}
