#pragma once
// tLocation: a point of a diagram, written "(x , y)".
// tPointVector: a list of points, written "(x1 , y1)(x2 , y2)...".

#include <vector>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

struct tLocation {
    int x;
    int y;

    tLocation() : x(0), y(0) {}
    tLocation(int x_, int y_) : x(x_), y(y_) {}

    bool operator==(const tLocation& o) const { return x == o.x && y == o.y; }
    bool operator!=(const tLocation& o) const { return !(*this == o); }
    bool operator<(const tLocation& o) const { return x < o.x || (x == o.x && y < o.y); }
    bool operator>(const tLocation& o) const { return o < *this; }
    bool operator<=(const tLocation& o) const { return *this == o || *this < o; }
    bool operator>=(const tLocation& o) const { return o <= *this; }

    // The point of the text; (0, 0) after reporting when it cannot be read.
    static tLocation Decode(const WString& text);
    // out = "(x , y)".
    static void Encode(const tLocation& value, WString& out);
};

class tPointVector : public std::vector<tLocation> {
public:
    using std::vector<tLocation>::vector;

    // The points in text order; empty after reporting when it cannot be read.
    static tPointVector Decode(const WString& text);
    // Appends every point's text to `out`, nothing in between.
    static void Encode(const tPointVector& value, WString& out);
};

}  // namespace lum
LUM_API_END
