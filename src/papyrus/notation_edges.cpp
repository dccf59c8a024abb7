// The edges of a diagram: a line of the layout whose element the .uml
// holds, between the views of its ends, its route as absolute bendpoints.

#include <algorithm>
#include <charconv>
#include <cmath>

#include "papyrus/notation.h"

namespace lum::papyrus::detail {

namespace {

using uml::Figure;

// Papyrus's mark of a bendpoint given in absolute diagram coordinates.
constexpr std::string_view kAbsolute = "-643984, -643984";

// A fraction of a side for an anchor: "0.0", "0.25", "1.0".
std::string Fraction(double value) {
    value = std::clamp(std::isfinite(value) ? value : 0.5, 0.0, 1.0);
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::round(value * 100) / 100, std::chars_format::fixed, 2).ptr;
    std::string text(buffer, end);
    while (text.size() > 3 && text.back() == '0') text.pop_back();
    return text;
}

const char* MessageSort(const uml::Message& message) {
    if (message.isCreation) return "createMessage";
    if (message.synchronicity == uml::Synchronicity::Return) return "reply";
    if (message.synchronicity == uml::Synchronicity::Asynchronous) return "asynchCall";
    return "synchCall";
}

// Continues a route that ends on `trunk` with the trunk's points after the
// segment it meets.
void JoinTrunk(std::vector<uml::Point>& route, const std::vector<uml::Point>& trunk) {
    if (route.empty() || trunk.size() < 2) return;
    const uml::Point at = route.back();
    std::size_t nearest = 0;
    double best = -1;
    for (std::size_t k = 0; k + 1 < trunk.size(); ++k) {
        const uml::Point a = trunk[k], b = trunk[k + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
        const double t = length > 0 ? std::clamp(((at.x - a.x) * dx + (at.y - a.y) * dy) / length, 0.0, 1.0) : 0;
        const double ex = a.x + t * dx - at.x, ey = a.y + t * dy - at.y, distance = ex * ex + ey * ey;
        if (best < 0 || distance < best) best = distance, nearest = k;
    }
    route.insert(route.end(), trunk.begin() + static_cast<std::ptrdiff_t>(nearest) + 1, trunk.end());
}

}  // namespace

// The view a line ends on: the figure's own, or for a focus of control its lifeline's.
std::string tNotation::ViewOf(int figure) const {
    for (std::size_t steps = 0; figure >= 0 && steps < 2; ++steps) {
        const std::size_t at = static_cast<std::size_t>(figure);
        if (m_places[at].type != nullptr) return m_places[at].id;
        if (m_layout.figures[at].shape != uml::Shape::Focus) return {};
        figure = m_layout.figures[at].parent;
    }
    return {};
}

void tNotation::Edges() {
    const auto& figures = m_layout.figures;
    const auto isNote = [&](int at) { return at >= 0 && uml::As<uml::Note>(figures[static_cast<std::size_t>(at)].element) != nullptr; };
    // The trunk of an inheritance tree, which the branches end on, is drawn as part of each branch.
    std::vector<bool> trunk(figures.size());
    for (const Figure& figure : figures)
        if (figure.IsLine() && figure.target >= 0 && figure.source != figure.target &&
            figures[static_cast<std::size_t>(figure.target)].IsLine())
            trunk[static_cast<std::size_t>(figure.target)] = true;
    // Collaborations: the first message each link carries, from the message arrows beside it.
    std::vector<const uml::Element*> carried(m_kind == uml::DiagramKind::Collaboration ? figures.size() : 0);
    for (const Figure& arrow : figures) {
        if (carried.empty() || !arrow.IsLine() || arrow.source < 0 || carried[static_cast<std::size_t>(arrow.source)] != nullptr) continue;
        for (const uml::TextBlock& text : arrow.texts)
            if (uml::As<uml::Message>(text.element) != nullptr && Find(text.element) != nullptr) {
                carried[static_cast<std::size_t>(arrow.source)] = text.element;
                break;
            }
    }
    struct tAttachment {
        std::size_t line;
        int note, target;
    };
    std::vector<tAttachment> attachments;
    m_edges.assign(figures.size(), false);
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const Figure& figure = figures[i];
        if (!figure.IsLine() || uml::As<uml::AssociationEnd>(figure.element) != nullptr) continue;
        if (trunk[i] && Find(figure.element) == nullptr) continue;
        int source = figure.source, target = figure.target;
        // An association drawn by its roles runs from the first role's class to the second's.
        if (uml::As<uml::Association>(figure.element) != nullptr && (source < 0 || target < 0)) {
            std::vector<int> ends;
            for (std::size_t r = i + 1; r < figures.size() && figures[r].parent == static_cast<int>(i); ++r) ends.push_back(figures[r].target);
            if (ends.size() == 2) source = ends[0], target = ends[1];
        }
        const uml::Element* shown = figure.element;
        if (m_kind == uml::DiagramKind::Collaboration) {
            // A link becomes a path carrying its first message; the message arrows go with it.
            if (source >= 0 && figures[static_cast<std::size_t>(source)].IsLine()) continue;
            shown = carried[i];
            if (shown == nullptr && !isNote(source) && !isNote(target)) {
                Leave(figure, "a link without a message: Papyrus draws a link as the messages it carries");
                continue;
            }
        }
        const xmi::Written* written = Find(shown);
        if (written == nullptr && (isNote(source) || isNote(target))) {
            if (isNote(target)) std::swap(source, target);
            // An attachment to a line waits until the lines are written.
            if (target >= 0 && figures[static_cast<std::size_t>(target)].IsLine()) attachments.push_back({i, source, target});
            else Attachment(i, source, target);
            continue;
        }
        if (written == nullptr) {
            Leave(figure, figure.element == nullptr ? "it shows no element of the model" : "its element is not in the .uml");
            continue;
        }
        std::string key(written->type);
        if (const auto* message = uml::As<uml::Message>(shown); message != nullptr && m_kind == uml::DiagramKind::Sequence)
            key = key + "#" + MessageSort(*message);
        const tEdgeType* type = EdgeType(m_kind, key);
        if (type == nullptr) {
            Leave(figure, "Papyrus has no edge for a " + key + " on a " + uml::DiagramKindName(m_kind) + " diagram");
            continue;
        }
        // A branch of an inheritance tree ends on the trunk: it goes on along the trunk to the trunk's end.
        std::vector<uml::Point> route = figure.route;
        for (std::size_t steps = 0; target >= 0 && figures[static_cast<std::size_t>(target)].IsLine() && steps < figures.size(); ++steps) {
            const Figure& trunk = figures[static_cast<std::size_t>(target)];
            JoinTrunk(route, trunk.route);
            target = trunk.target;
        }
        const std::string from = ViewOf(source), to = ViewOf(target);
        if (from.empty() || to.empty()) {
            Leave(figure, "an end of it is not shown");
            continue;
        }
        Edge(i, *type, *written, from, to, source, target, route);
    }
    for (const auto& [line, note, target] : attachments) Attachment(line, note, target);
}

void tNotation::Attachment(std::size_t line, int note, int target) {
    const Figure& figure = m_layout.figures[line];
    const bool toLine = target >= 0 && m_layout.figures[static_cast<std::size_t>(target)].IsLine();
    const std::string from = ViewOf(note);
    const std::string to = toLine ? (m_edges[static_cast<std::size_t>(target)] ? m_places[static_cast<std::size_t>(target)].id : "")
                                  : ViewOf(target);
    if (from.empty() || to.empty()) {
        Leave(figure, "a note's attachment whose other end is not shown");
        return;
    }
    Edge(line, {m_kind, "", "Comment_AnnotatedElementEdge", ""}, {}, from, to, note, target, figure.route);
}

void tNotation::Edge(std::size_t index, const tEdgeType& type, const xmi::Written& element, const std::string& source,
                     const std::string& target, int sourceFigure, int targetFigure, const std::vector<uml::Point>& route) {
    const Figure& figure = m_layout.figures[index];
    const std::string& id = m_places[index].id;
    m_xml.Start("edges");
    m_xml.Attr("xmi:type", "notation:Connector");
    m_xml.Attr("xmi:id", id);
    m_xml.Attr("type", type.type);
    m_xml.Attr("source", source);
    m_xml.Attr("target", target);
    std::vector<std::string_view> forced;
    ColourAttrs(figure, forced);
    Labels(type.labels, id);
    m_xml.Start("styles");
    m_xml.Attr("xmi:type", "notation:FontStyle");
    m_xml.Attr("xmi:id", id + "-f");
    FontAttrs(figure, forced);
    m_xml.End();
    Forced(id, forced);
    if (element.id.empty()) {
        m_xml.Start("element");
        m_xml.Attr("xsi:nil", "true");
        m_xml.End();
    } else {
        Element(element);
    }
    std::string points;
    for (const uml::Point& point : route) {
        if (!points.empty()) points += '$';
        ((((points += '[') += std::to_string(Px(point.x))) += ", ") += std::to_string(Px(point.y))) += ", ";
        (points += kAbsolute) += ']';
    }
    m_xml.Start("bendpoints");
    m_xml.Attr("xmi:type", "notation:RelativeBendpoints");
    m_xml.Attr("xmi:id", id + "-p");
    m_xml.Attr("points", points);
    m_xml.End();
    // The anchors: where the route meets each end, as fractions of its box.
    m_edges[index] = true;
    const auto anchor = [&](const char* tag, int end, const uml::Point& at, const char* suffix) {
        if (m_layout.figures[static_cast<std::size_t>(end)].IsLine()) return;
        int shown = end;
        if (m_places[static_cast<std::size_t>(end)].type == nullptr) shown = m_layout.figures[static_cast<std::size_t>(end)].parent;
        m_xml.Start(tag);
        m_xml.Attr("xmi:type", "notation:IdentityAnchor");
        m_xml.Attr("xmi:id", id + suffix);
        const uml::Box* box = shown >= 0 ? &m_layout.figures[static_cast<std::size_t>(shown)].box : nullptr;
        if (box != nullptr && box->width > 0 && box->height > 0) {
            std::string point = "(";
            ((point += Fraction((at.x - box->x) / box->width)) += ',') += Fraction((at.y - box->y) / box->height);
            m_xml.Attr("id", point += ')');
        }
        m_xml.End();
    };
    if (!route.empty()) {
        anchor("sourceAnchor", sourceFigure, route.front(), "-sa");
        anchor("targetAnchor", targetFigure, route.back(), "-ta");
    }
    m_xml.End();
    m_summary.views += 1;
}


}  // namespace lum::papyrus::detail
