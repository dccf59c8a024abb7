// Symbols of activity partitions, components and nodes: swimlanes, the
// component icon, and the box of a processor or device.

#include <algorithm>
#include <cwctype>

#include "render/drawing.h"
#include "render/painter.h"

namespace lum::render::detail {

// A lane: its outline, unfilled unless a fill is stored, and its name in a
// header across the top.
void tPainter::Swimlane(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    const std::string stroke = LineColour(symbol, "#990033");
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, symbol.fill_color.IsEmpty() ? "none" : FillColour(symbol), stroke);
    tFont font = FontOf(symbol);
    font.bold = true;
    std::wstring name = NameOf(element);
    if (name.empty())
        if (const auto* named = AsRaw<ClumNamedSymbol>(&symbol)) name = Wide(named->name.Get());
    const double header = std::min(font.LineHeight() * 2, box.h);
    m_canvas.Line({box.Left(), box.Top() + header}, {box.Right(), box.Top() + header}, stroke);
    m_canvas.Text(box.cx, box.Top() + header / 2 + font.size * 0.35, name, font);
}

// A box with the two small rectangles of a component on its left edge; its
// stereotype, or the part of a module («main», «specification», «body»),
// above its name.
void tPainter::Component(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    const double tabW = std::min(20.0, box.w / 4), tabH = std::min(12.0, box.h / 5);
    // Lines stop at the outer edge of the small rectangles.
    Keep(symbol, {box.cx - tabW / 4, box.cy, box.w + tabW / 2, box.h});
    const std::string stroke = LineColour(symbol, "#990033"), fill = FillColour(symbol, "#ffffcc");
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, fill, stroke);
    for (double at : {0.3, 0.7})
        m_canvas.Rect(box.Left() - tabW / 2, box.Top() + box.h * at - tabH / 2, tabW, tabH, fill, stroke);
    std::wstring keyword;
    if (element != nullptr && element->Stereotype().GetLength() != 0) keyword = Guillemets(element->Stereotype());
    else if (const auto* component = uml::As<uml::Component>(element)) {
        std::wstring part = Wide(component->modulePart);
        if (!part.empty() && !part.starts_with(L"NotA")) {
            part[0] = static_cast<wchar_t>(std::towlower(part[0]));
            keyword = L"\u00AB" + part + L"\u00BB";
        }
    }
    tFont font = FontOf(symbol);
    const double line = font.LineHeight();
    double y = box.cy + font.size * 0.35 - (keyword.empty() ? 0 : line / 2);
    if (!keyword.empty()) m_canvas.Text(box.cx + tabW / 4, y, keyword, font);
    font.bold = true;
    m_canvas.Text(box.cx + tabW / 4, keyword.empty() ? y : y + line, NameOf(element), font);
}

// A processor or device: a box seen from above right, its name (a device's
// after «device») and the processes that run on it.
void tPainter::Node(const ClumSymbol& symbol, const tBox& box, const uml::Element* element, bool device) {
    Keep(symbol, box);
    const std::string stroke = LineColour(symbol, "#990033"), fill = FillColour(symbol, "#ffffcc");
    const double d = std::min({12.0, box.w / 6, box.h / 6});
    const double l = box.Left(), t = box.Top(), r = box.Right(), b = box.Bottom();
    m_canvas.Polygon({{l, t + d}, {l + d, t}, {r, t}, {r - d, t + d}}, fill, stroke);
    m_canvas.Polygon({{r - d, t + d}, {r, t}, {r, b - d}, {r - d, b}}, fill, stroke);
    m_canvas.Rect(l, t + d, box.w - d, box.h - d, fill, stroke);
    tFont font = FontOf(symbol);
    const double cx = l + (box.w - d) / 2, line = font.LineHeight();
    double y = t + d + line;
    if (device) {
        m_canvas.Text(cx, y, L"\u00ABdevice\u00BB", font);
        y += line;
    }
    tFont nameFont = font;
    nameFont.bold = true;
    m_canvas.Text(cx, y, NameOf(element), nameFont);
    if (element == nullptr) return;
    y += line * 0.5;
    for (const uml::Process* process : element->Members<uml::Process>()) {
        if (y + line > b) break;
        y += line;
        m_canvas.Text(l + 8, y, NameOf(process), font, "start");
    }
}

}  // namespace lum::render::detail
