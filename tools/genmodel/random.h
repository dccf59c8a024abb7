#pragma once
// tRandom: the generator's only source of chance. Only the raw output of
// std::mt19937, whose sequence the standard fixes, is used, so one seed gives
// the same model on every machine and library.

#include <cstddef>
#include <cstdint>
#include <random>

namespace genmodel {

class tRandom {
public:
    explicit tRandom(std::uint32_t seed) : m_engine(seed) {}

    std::uint32_t Raw() { return static_cast<std::uint32_t>(m_engine()); }
    // 0 .. below - 1 (below > 0).
    int Below(int below) { return static_cast<int>(Raw() % static_cast<std::uint32_t>(below)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
    }

private:
    std::mt19937 m_engine;
};

}  // namespace genmodel
