#include "uml/layout_text.h"

#include <algorithm>
#include <cmath>

#include "lum/text/utf8.h"
#include "uml/raw_access.h"

namespace lum::uml::detail {

namespace {

// Measured on the drawing tool's pictures: its screen fonts set lines 1.08 em
// apart, and glyphs narrower than the faces' own advances: every wrap point
// of the pictures comes out with widths between 0.9210 and 0.9217 of them.
constexpr double kLineSpacing = 1.08, kScreenWidth = 0.9215;
// The baseline's depth in the line: the faces' ascent over their ascent and descent.
constexpr double kBaseline = 0.905 / (0.905 + 0.212);

std::wstring Wide(const ClumIdent& ident) { return std::wstring(ident.c_str(), ident.GetLength()); }

}  // namespace

double Far(double value) {
    if (!std::isfinite(value)) return 0;
    return std::clamp(value, -kFarUnits, kFarUnits);
}

TextFont FontOf(const ClumDiagramItem& item) {
    TextFont font;
    font.face = "Arial";
    const auto* stored = AsRaw<ClumFont>(item.font.GetTarget(-1));
    if (stored == nullptr) return font;
    if (!stored->size.IsEmpty() && stored->size.Get() > 0) font.points = std::min(stored->size.Get(), 200);
    if (stored->face.Get().GetLength() != 0) font.face = ShownText(stored->face.Get());
    font.bold = stored->bold.Get();
    font.italic = stored->italics.Get();
    font.underline = stored->underline.Get();
    font.strike = stored->strike.Get();
    if (!stored->color.IsEmpty() && !stored->default_color.Get()) {
        const auto bgr = static_cast<std::uint32_t>(stored->color.Get());
        font.colour = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }
    return font;
}

double LineSpacing(const TextFont& font) { return font.Size() * kLineSpacing; }

double ScreenWidth(std::string_view utf8, const TextFont& font) { return TextWidth(utf8, font) * kScreenWidth; }

std::vector<std::string> Wrap(std::string_view utf8, const TextFont& font, double maxWidth, int maxLines) {
    return WrapText(utf8, font, maxWidth > 0 ? maxWidth / kScreenWidth : 0, maxLines);
}

std::string CutLine(std::string_view utf8, const TextFont& font, double maxWidth) {
    if (maxWidth <= 0 || ScreenWidth(utf8, font) <= maxWidth) return std::string(utf8);
    const double room = maxWidth - ScreenWidth("...", font);
    double used = 0;
    std::size_t fits = 0;
    while (fits < utf8.size()) {
        std::size_t next = fits + 1;
        while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) ++next;
        used += ScreenWidth(utf8.substr(fits, next - fits), font);
        if (used > room) break;
        fits = next;
    }
    return std::string(utf8.substr(0, fits)) + "...";
}

const ClumLabel* LabelOf(const ClumDiagramItem& item, bool stereotype) {
    if (!stereotype)
        if (const auto* label = AsRaw<ClumLabel>(&item)) return label;
    const IlumFeature* feature = item.GetFeature(ClumIdent(stereotype ? L"stereotype" : L"label"));
    const IlumLink* link = feature != nullptr ? feature->GetLink() : nullptr;
    return link != nullptr && link->GetSize() > 0 ? AsRaw<ClumLabel>(link->GetAt(0)) : nullptr;
}

TextBlock PlaceLabel(const ClumLabel& label, std::string_view text, TextRole role, const TextFont& font) {
    const TextFont own = AsRaw<ClumFont>(label.font.GetTarget(-1)) != nullptr ? FontOf(label) : font;
    const double maxWidth = label.max_width.Get() > 0 ? std::min<double>(label.max_width.Get(), kFarUnits) : 0;
    const int maxLines = std::max(label.nlines.Get(), 0);
    // A one-line label is neither wrapped nor cut: files store labels narrower than their text.
    std::vector<std::string> lines = maxLines == 1 ? Wrap(text, own, 0, 0) : Wrap(text, own, maxWidth, maxLines);
    double width = maxWidth;
    for (const std::string& line : lines) width = std::max(width, ScreenWidth(line, own));
    const Align align = label.justify.Get() == 1 ? Align::Left : label.justify.Get() == 2 ? Align::Right : Align::Centre;
    const tLocation at = label.location.Get();
    double left = Far(at.x), top = Far(at.y);
    const double rows = static_cast<double>(std::max<std::size_t>(static_cast<std::size_t>(maxLines), lines.size()));
    const auto* anchored = AsRaw<ClumElementLabel>(&label);
    if (anchored != nullptr && !anchored->anchor_loc.IsEmpty()) {
        top -= rows * LineSpacing(own) / 2;
        left -= align == Align::Left ? 0 : align == Align::Right ? width : width / 2;
    }
    TextBlock block = SetLines(std::move(lines), own, role, align, left, top, width);
    block.box.height = rows * block.lineHeight;
    return block;
}

TextBlock SetLines(std::vector<std::string> lines, const TextFont& font, TextRole role, Align align, double left,
                   double top, double width) {
    TextBlock block;
    block.role = role;
    block.font = font;
    block.align = align;
    block.lineHeight = LineSpacing(font);
    block.baseline = block.lineHeight * kBaseline;
    block.box = {left, top, width, block.lineHeight * static_cast<double>(lines.size())};
    for (const std::string& line : lines) block.widths.push_back(ScreenWidth(line, font));
    block.lines = std::move(lines);
    return block;
}

std::string NameOf(const Element* element) { return element == nullptr ? std::string() : ShownText(element->name); }

std::string ShownName(const Element* element, const ClumDiagramItem& item) {
    if (element != nullptr) return ShownText(element->name);
    const auto* named = AsRaw<ClumNamedSymbol>(&item);
    if (named == nullptr) return {};
    const std::wstring name = Wide(named->name.Get());
    if (name.starts_with(L"$UNNAMED$")) return {};
    const std::size_t scope = name.rfind(L"::");
    return ShownText(scope == std::wstring::npos ? name : name.substr(scope + 2));
}

}  // namespace lum::uml::detail
