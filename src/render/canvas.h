#pragma once
// The drawing surface of the SVG renderer: escaped texts, numbers that stay
// finite, colours and fonts as SVG writes them.

#include <string>
#include <string_view>
#include <vector>

#include "lum/model/classes.h"
#include "lum/uml/layout.h"

namespace lum::render::detail {

// "#rrggbb", or "none" for kNoColour.
std::string ColourOf(uml::Colour colour);

class tCanvas {
public:
    // Opens the group of one view: its class, its quid and the quid of what it shows.
    void Begin(const ClumDiagramItem& item);
    void End() { m_out += "</g>\n"; }

    void Rect(const uml::Box& box, uml::Colour fill, uml::Colour stroke, double radius = 0);
    void Ellipse(const uml::Box& box, uml::Colour fill, uml::Colour stroke);
    void Polyline(const std::vector<uml::Point>& points, uml::Colour stroke, uml::Dash dash = uml::Dash::Solid);
    void Polygon(const std::vector<uml::Point>& points, uml::Colour fill, uml::Colour stroke);
    // Each line of the block at its baseline, anchored by its alignment.
    void Text(const uml::TextBlock& block);

    const std::string& Body() const { return m_out; }

private:
    void Number(double value);
    void Points(const std::vector<uml::Point>& points);
    void Paint(uml::Colour fill, uml::Colour stroke);
    std::string m_out;
};

}  // namespace lum::render::detail
