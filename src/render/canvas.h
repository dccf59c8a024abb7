#pragma once
// The drawing surface of the SVG renderer: escaped texts, numbers that stay
// finite and bounded, colours, fonts, and the bounds of what was drawn.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lum/model/classes.h"
#include "lum/text/wstring.h"

namespace lum::render::detail {

// Coordinates beyond this are clamped: a file may store anything an int
// holds, and a picture still comes out.
inline constexpr double kFar = 1.0e7;
double Clamp(double value);

// Text as XML character data or attribute value: UTF-8 with & < > " '
// escaped and characters XML 1.0 does not allow dropped.
std::string Escape(std::wstring_view text);
std::string Escape(std::string_view utf8);

// "#rrggbb" of a stored colour (0x00BBGGRR), or the fallback when unset.
std::string ColourOf(int colorref);
std::string LineColour(const ClumDiagramItem& item, const char* fallback = "#000000");
std::string FillColour(const ClumDiagramItem& item, const char* fallback = "#ffffff");

// How text of an item is set: size in drawing units, family, style.
struct tFont {
    double size = 13.9;  // 10 points
    std::string family = "sans-serif";
    bool bold = false, italic = false, underline = false;
    std::string colour = "#000000";
    double LineHeight() const { return size * 1.2; }
    // A width estimate of a text of `characters` characters.
    double Width(std::size_t characters) const { return size * 0.55 * static_cast<double>(characters); }
};
tFont FontOf(const ClumDiagramItem& item);

// Lines of text: cut at stored line breaks, then wrapped at `maxWidth`
// (when positive) between words.
std::vector<std::wstring> Wrap(std::wstring_view text, const tFont& font, double maxWidth);

struct tPoint {
    double x = 0, y = 0;
};

class tCanvas {
public:
    // Opens the group of one view.
    void Begin(const ClumDiagramItem& item);
    void End() { m_out += "</g>\n"; }

    void Rect(double x, double y, double w, double h, const std::string& fill, const std::string& stroke,
              double radius = 0, const char* extra = "");
    void Ellipse(double cx, double cy, double rx, double ry, const std::string& fill, const std::string& stroke,
                 const char* extra = "");
    void Line(tPoint a, tPoint b, const std::string& stroke, const char* extra = "");
    void Polyline(const std::vector<tPoint>& points, const std::string& stroke, const char* extra = "");
    void Polygon(const std::vector<tPoint>& points, const std::string& fill, const std::string& stroke,
                 const char* extra = "");
    // One text line; anchor "start", "middle" or "end"; y is the baseline.
    void Text(double x, double y, std::wstring_view text, const tFont& font, const char* anchor = "middle");
    // Lines centred on x (or starting at x), the first line's top at y; returns the height used.
    double Lines(double x, double top, const std::vector<std::wstring>& lines, const tFont& font,
                 const char* anchor = "middle");

    // Grows the bounds of the picture.
    void Cover(double x, double y);
    const std::string& Body() const { return m_out; }
    bool Empty() const { return m_minX > m_maxX; }
    double MinX() const { return m_minX; }
    double MinY() const { return m_minY; }
    double MaxX() const { return m_maxX; }
    double MaxY() const { return m_maxY; }

private:
    void Number(double value);
    void Points(const std::vector<tPoint>& points);
    std::string m_out;
    double m_minX = kFar, m_minY = kFar, m_maxX = -kFar, m_maxY = -kFar;
};

}  // namespace lum::render::detail
