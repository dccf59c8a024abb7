#pragma once
// FindObjectsToReadAhead: a quick pass over a file for the objects that a
// second thread can read while the file's own reader reads the rest. It
// follows parentheses, quoted strings, bar lines and line feeds only, so a
// file may read otherwise than it guesses: whoever uses a place it gives
// checks it there.

#include <atomic>
#include <cstdint>
#include <istream>
#include <vector>

namespace lum {

// A run of objects, one after another in a list with nothing but white
// space between them: where the first one's construct opens (the offset of
// its parenthesis and its line), and the offset just past the last one's.
struct tObjectStart {
    std::uint64_t offset;
    int line;
    std::uint64_t end;
};

// Runs of objects, in order, inside other constructs: each spans at least
// `minBytes` (a quarter of that where a run ends), and holds no object of
// another run nor a font. Stops where it is once `stop` is set.
std::vector<tObjectStart> FindObjectsToReadAhead(std::istream& in, std::uint64_t minBytes,
                                                 const std::atomic<bool>& stop);

}  // namespace lum
