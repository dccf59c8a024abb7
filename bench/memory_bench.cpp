// What fresh memory costs on the machine at hand: a baseline for the
// figures of the stages that build large structures.
//
// Each iteration takes a 64 MB block, writes one byte of every 4 KB page and
// gives the block back, so every page is a fresh page fault:
//   FreshPagesFromHeap    a block from malloc (the C library maps a block
//                         this large on its own, in ordinary pages)
//   FreshPagesInBlocks    a block from the library's large-block allocator,
//                         which asks for huge pages (one fault per 2 MB)
// Both report bytes per second. Where page faults are slow, for instance in
// some virtual machines, the first can be a hundred times slower than the
// second; the resolver keeps its indexes in large blocks for that reason.

#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/large_blocks.h"

namespace {

constexpr std::size_t kBytes = std::size_t{64} << 20;
constexpr std::size_t kPage = 4096;

void Touch(benchmark::State& state, unsigned char* block) {
    for (std::size_t at = 0; at < kBytes; at += kPage) block[at] = 1;
    benchmark::DoNotOptimize(block);
    state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(kBytes));
}

void FreshPagesFromHeap(benchmark::State& state) {
    for (auto _ : state) {
        auto* block = static_cast<unsigned char*>(std::malloc(kBytes));
        if (block == nullptr) {
            state.SkipWithError("out of memory");
            return;
        }
        Touch(state, block);
        std::free(block);
    }
}
BENCHMARK(FreshPagesFromHeap)->Unit(benchmark::kMillisecond);

void FreshPagesInBlocks(benchmark::State& state) {
    for (auto _ : state) {
        auto* block = static_cast<unsigned char*>(lum::platform::AllocateZeroed(kBytes));
        Touch(state, block);
        lum::platform::FreeZeroed(block, kBytes);
    }
}
BENCHMARK(FreshPagesInBlocks)->Unit(benchmark::kMillisecond);

}  // namespace
