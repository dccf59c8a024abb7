// Objects and their messages: sequence diagrams (heads, lifelines, focus of
// control, destruction) and collaboration diagrams (objects, numbered
// messages along their links).

#include <algorithm>

#include "render/drawing.h"
#include "render/painter.h"

namespace lum::render::detail {

namespace {

// "name : Class" of an object; the class alone for an anonymous one.
std::wstring InstanceText(const ClumSymbol& symbol, const uml::Element* element) {
    std::wstring name = NameOf(element);
    if (name.empty())
        if (const auto* named = AsRaw<ClumNamedSymbol>(&symbol)) name = Wide(named->name.Get());
    std::wstring type;
    if (const auto* lifeline = uml::As<uml::Lifeline>(element)) type = TypeText(lifeline->type);
    else if (const auto* node = uml::As<uml::ObjectNode>(element)) type = TypeText(node->type);
    if (type.empty()) return name;
    return (name.empty() ? L"" : name + L" ") + L": " + type;
}

}  // namespace

double LowestInteraction(const ClumDiagram& diagram) {
    double lowest = -kFar;
    for (int i = 0; i < diagram.items.GetSize(); ++i) {
        const ClumDiagramItem* item = diagram.items.Get(i);
        if (const auto* line = AsRaw<ClumInteractionLine>(item)) {
            lowest = std::max({lowest, Clamp(line->origin.Get().y), Clamp(line->terminus.Get().y)});
            for (const tLocation& at : line->vertices.Get()) lowest = std::max(lowest, Clamp(at.y));
        } else if (const auto* object = AsRaw<ClumInterObjView>(item)) {
            for (int f = 0; f < object->Focus_Of_Control.GetSize(); ++f)
                if (const ClumFocus_Of_Control* focus = object->Focus_Of_Control.Get(f))
                    lowest = std::max(lowest, Clamp(focus->location.Get().y) + std::clamp(focus->height.Get(), 0, 100000) / 2.0);
        }
    }
    return lowest;
}

void tPainter::Instance(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    Keep(symbol, box);
    const std::string stroke = LineColour(symbol, "#990033"), fill = FillColour(symbol, "#ffffcc");
    const auto* lifeline = uml::As<uml::Lifeline>(element);
    // A multi-object: a second box behind the first.
    if (lifeline != nullptr && lifeline->isMulti) m_canvas.Rect(box.Left() + 6, box.Top() - 6, box.w, box.h, fill, stroke);
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, fill, stroke);
    tFont font = FontOf(symbol);
    font.underline = true;
    std::vector<std::wstring> lines = Wrap(InstanceText(symbol, element), font, box.w - 8);
    const auto* flowObject = AsRaw<ClumObjectView>(&symbol);
    const std::wstring state = flowObject != nullptr ? Wide(flowObject->State.Get()) : std::wstring();
    const double height = font.LineHeight() * static_cast<double>(lines.size() + (state.empty() ? 0 : 1));
    const double bottom = m_canvas.Lines(box.cx, box.cy - height / 2, lines, font) + box.cy - height / 2;
    font.underline = false;
    if (!state.empty()) m_canvas.Lines(box.cx, bottom, {L"[" + state + L"]"}, font);
}

// The head of an object and its lifeline, dashed down to below the lowest
// message or activation of the diagram.
void tPainter::Lifeline(const ClumInterObjView& view, const tBox& box, const uml::Element* element) {
    Instance(view, box, element);
    const double end = std::max(m_lifelineEnd, box.Bottom() + 40);
    m_canvas.Line({box.cx, box.Bottom()}, {box.cx, end}, LineColour(view, "#990033"), kDashed);
}

// An activation: a narrow box centred on its location, over the lifeline.
void tPainter::Focus(const ClumFocus_Of_Control& focus) {
    m_canvas.Begin(focus);
    const tBox box = BoxOf(focus, 12, 40);
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, FillColour(focus, "#ffffff"), LineColour(focus, "#990033"));
    m_canvas.End();
}

// The end of an object's life: a cross at the marker's location.
void tPainter::Destruction(const ClumDiagramItem& marker) {
    const tLocation at = marker.location.Get();
    const double x = Clamp(at.x), y = Clamp(at.y), r = 10;
    const std::string stroke = LineColour(marker, "#990033");
    m_canvas.Line({x - r, y - r}, {x + r, y + r}, stroke, " stroke-width=\"2\"");
    m_canvas.Line({x - r, y + r}, {x + r, y - r}, stroke, " stroke-width=\"2\"");
}

bool tPainter::MessageLabel(const ClumInteractionLine& line, const uml::Element* element, const std::vector<tPoint>& points) {
    const auto* message = uml::As<uml::Message>(element);
    if (message == nullptr) return false;
    std::wstring prefix = Wide(message->sequence);
    if (!prefix.empty()) prefix += L": ";
    std::wstring text = NameOf(message);
    if (text.empty()) text = Wide(message->operation.name);
    const tFont font = FontOf(line);
    if (!StoredLabel(line, nullptr, text, font, "middle", false, prefix) && points.size() >= 2) {
        const tPoint a = points.front(), b = points.back();
        m_canvas.Text((a.x + b.x) / 2, (a.y + b.y) / 2 - 6, prefix + text, font);
    }
    return true;
}

}  // namespace lum::render::detail
