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

// Where an object's construct opens: the offset of its parenthesis and the
// line it is on.
struct tObjectStart {
    std::uint64_t offset;
    int line;
};

// The objects of the stream, in order, that sit inside another construct,
// span at least `minBytes`, hold no such object themselves and are not
// fonts. Stops where it is once `stop` is set.
std::vector<tObjectStart> FindObjectsToReadAhead(std::istream& in, std::uint64_t minBytes,
                                                 const std::atomic<bool>& stop);

}  // namespace lum
