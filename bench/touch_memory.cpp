// lum_touch_memory MB: takes MB megabytes of fresh memory in one region
// advised for transparent huge pages (the fewest page faults the system
// offers) and writes to every page of it, then exits. Timed as a process beside `lum check`
// (bench/compare_xmllint.py), it is the floor of a run that needs that much
// memory: the system's cost of handing out cleared pages, with no work done
// in them.

#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>

int main(int argc, char** argv) {
    const long megabytes = argc == 2 ? std::strtol(argv[1], nullptr, 10) : 0;
    if (megabytes <= 0) {
        std::fprintf(stderr, "usage: lum_touch_memory MB\n");
        return 2;
    }
    const std::size_t bytes = static_cast<std::size_t>(megabytes) << 20;
    auto* memory = static_cast<volatile char*>(
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (memory == MAP_FAILED) return 1;
#if defined(MADV_HUGEPAGE)
    madvise(const_cast<char*>(memory), bytes, MADV_HUGEPAGE);
#endif
    for (std::size_t at = 0; at < bytes; at += 4096) memory[at] = 1;
    return 0;
}
