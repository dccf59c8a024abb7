#include "heap_tuning.h"

#include <cstdlib>
#include <string>

#if defined(__GLIBC__)
#include <malloc.h>
#include <unistd.h>
#endif

namespace lumcli {

void TuneHeap(char** argv) {
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 1);
    const char* plain = std::getenv("LUM_PLAIN_HEAP");
    if (plain != nullptr && *plain != '\0') return;
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    const std::string current = tunables != nullptr ? tunables : "";
    if (current.find("glibc.malloc.hugetlb") != std::string::npos) return;
    const std::string wanted = current.empty() ? "glibc.malloc.hugetlb=1" : current + ":glibc.malloc.hugetlb=1";
    if (setenv("GLIBC_TUNABLES", wanted.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Not started again (no /proc, say): go on as things are.
    if (tunables != nullptr) setenv("GLIBC_TUNABLES", tunables, 1);
    else unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

}  // namespace lumcli
