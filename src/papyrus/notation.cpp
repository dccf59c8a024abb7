// The scale: the drawing unit is 1/300 inch and a font point 300/72 units
// (lum/uml/layout.h); Papyrus draws at 96 pixels per inch, its font heights
// in points. At 96/300 pixels per unit a point is 96/72 pixels in both, so
// every text keeps the share of its box that the layout measured for it:
// the boxes and the fonts scale alike; at 72/300, say, each text would be a
// third too wide for its box. Shapes come out the size of Papyrus's own: an
// action of the shared models is 116x33 pixels at the median, Papyrus's
// example action 113x45.

#include "papyrus/notation.h"

#include <algorithm>
#include <cmath>

#include "lum/uml/presentation.h"

namespace lum::papyrus::detail {

using uml::Figure;

long long Px(double units) { return std::llround(units * kPixelsPerUnit); }

// GMF keeps a colour as red | green << 8 | blue << 16 (FigureUtilities.RGBToInteger);
// the layout's is 0xRRGGBB.
long long GmfColour(uml::Colour colour) {
    const long long red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
    return red | green << 8 | blue << 16;
}

// The tokens of a table field, split at spaces.
std::vector<std::string_view> Tokens(std::string_view field) {
    std::vector<std::string_view> tokens;
    while (!field.empty()) {
        const std::size_t space = field.find(' ');
        if (space != 0) tokens.push_back(field.substr(0, space));
        if (space == std::string_view::npos) break;
        field.remove_prefix(space + 1);
    }
    return tokens;
}

namespace {

// A file name as the path of an href: letters, digits and -._~ as they are, the rest %XX.
std::string UriPath(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~')
            out += c;
        else
            ((out += '%') += kHex[byte >> 4]) += kHex[byte & 0xF];
    }
    return out;
}

// What a figure shows, for the report: "class Account", or the figure's shape.
std::string Describe(const Figure& figure) {
    if (figure.element != nullptr) return std::string(uml::KindName(figure.element->kind)) + " " + uml::NameOrKind(*figure.element);
    for (const uml::TextBlock& text : figure.texts)
        if (!text.lines.empty()) return std::string(uml::ShapeName(figure.shape)) + " \"" + text.lines.front() + "\"";
    return uml::ShapeName(figure.shape);
}

}  // namespace

tNotation::tNotation(std::ostream& out, const xmi::WrittenIndex& index, std::string_view uml, Summary& summary)
    : m_xml(out), m_index(index), m_uml(UriPath(uml)), m_summary(summary) {
    m_xml.Declaration();
    m_xml.Start("xmi:XMI");
    m_xml.Attr("xmi:version", "2.0");
    m_xml.Attr("xmlns:xmi", "http://www.omg.org/XMI");
    m_xml.Attr("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    m_xml.Attr("xmlns:ecore", "http://www.eclipse.org/emf/2002/Ecore");
    m_xml.Attr("xmlns:notation", "http://www.eclipse.org/gmf/runtime/1.0.3/notation");
    m_xml.Attr("xmlns:style", "http://www.eclipse.org/papyrus/infra/gmfdiag/style");
    m_xml.Attr("xmlns:uml", "http://www.eclipse.org/uml2/5.0.0/UML");
}

bool tNotation::Finish() { return m_xml.Finish(); }

const xmi::Written* tNotation::Find(const uml::Element* element) const {
    const auto found = element != nullptr ? m_index.elements.find(element) : m_index.elements.end();
    return found != m_index.elements.end() ? &found->second : nullptr;
}

const xmi::Written* tNotation::PackageOf(const uml::Element* element) const {
    for (std::size_t steps = 0; element != nullptr && steps < m_index.elements.size(); element = element->owner, ++steps) {
        const xmi::Written* written = Find(element);
        if (written != nullptr && (written->type == "uml:Package" || written->type == "uml:Model")) return written;
    }
    return &m_index.root;
}

void tNotation::LeaveText(std::string what, std::string why) {
    m_summary.leftOut.push_back({m_name, std::move(what), std::move(why)});
}

void tNotation::Leave(const Figure& figure, std::string why) { LeaveText(Describe(figure), std::move(why)); }

void tNotation::Diagram(const uml::Diagram& diagram) {
    m_diagram = &diagram;
    m_kind = diagram.sort;
    m_name = uml::QualifiedName(diagram);
    const tDiagramType* type = DiagramType(m_kind);
    if (type == nullptr) {
        LeaveText("the whole diagram", std::string("Papyrus has no diagram of the kind '") + uml::DiagramKindName(m_kind) + "'");
        return;
    }
    // The element a diagram shows: its package, or the behaviour it draws in a frame.
    const xmi::Written* element = PackageOf(diagram.owner);
    const xmi::Written* owner = element;
    if (m_kind == uml::DiagramKind::State || m_kind == uml::DiagramKind::Activity) {
        // A machine of activities is written as an activity, a machine of states as a state machine: the diagram follows.
        element = Find(diagram.owner);
        owner = PackageOf(diagram.owner != nullptr ? diagram.owner->owner : nullptr);
        if (element != nullptr && element->type == "uml:Activity") m_kind = uml::DiagramKind::Activity;
        if (element != nullptr && element->type == "uml:StateMachine") m_kind = uml::DiagramKind::State;
        type = DiagramType(m_kind);
    } else if (m_kind == uml::DiagramKind::Sequence || m_kind == uml::DiagramKind::Collaboration) {
        element = Find(diagram.context.element != nullptr ? diagram.context.element : diagram.owner);
        owner = PackageOf(diagram.owner);
    }
    const tShapeType* frame = ShapeType(m_kind, "frame", element != nullptr ? element->type : "");
    const bool framed = m_kind == uml::DiagramKind::State || m_kind == uml::DiagramKind::Activity ||
                        m_kind == uml::DiagramKind::Sequence || m_kind == uml::DiagramKind::Collaboration;
    if (framed && (frame == nullptr || (m_kind == uml::DiagramKind::State && m_index.regions.count(diagram.owner) == 0))) {
        LeaveText("the whole diagram", "what it draws is not a state machine, activity or interaction of the model");
        return;
    }

    m_layout = uml::DiagramLayout::Of(diagram);
    const std::size_t count = m_layout.figures.size();
    m_places.assign(count, {});
    m_hosted.assign(count, {});
    m_affixed.assign(count, {});
    m_inFrame.clear();
    m_top.clear();
    m_prefix = "d";
    m_prefix += std::to_string(m_count++);
    const std::string& prefix = m_prefix;
    for (std::size_t i = 0; i < count; ++i) m_places[i].id = prefix + "v" + std::to_string(i);
    m_frameHolder.clear();
    if (framed) {
        for (const std::string_view token : Tokens(frame->compartments))
            if (token.find('*') != std::string_view::npos)
                m_frameHolder = token.ends_with("*region") ? std::string("Region_SubvertexCompartment")
                                                            : std::string(token.substr(0, token.find('*')));
        const uml::Box& bounds = m_layout.bounds;
        m_frameOrigin = {Px(bounds.x) - kFrameMargin, Px(bounds.y) - kFrameMargin};
    }
    for (std::size_t i = 0; i < count; ++i) {
        const Figure& figure = m_layout.figures[i];
        if (figure.IsLine()) continue;
        Resolve(i);
        const tPlace& place = m_places[i];
        if (place.type == nullptr) continue;
        if (place.affixed) m_affixed[static_cast<std::size_t>(place.host)].push_back(i);
        else if (place.host >= 0) m_hosted[static_cast<std::size_t>(place.host)].push_back(i);
        else (place.inFrame ? m_inFrame : m_top).push_back(i);
    }

    m_xml.Start("notation:Diagram");
    m_xml.Attr("xmi:id", prefix);
    m_xml.Attr("type", type->type);
    m_xml.Text("name", uml::ShownText(diagram.name));
    m_xml.Attr("measurementUnit", "Pixel");
    if (framed) Frame(*frame, *element);
    for (const std::size_t i : m_top) Shape(i, {});
    m_xml.Start("styles");
    m_xml.Attr("xmi:type", "notation:StringValueStyle");
    m_xml.Attr("xmi:id", prefix + "-version");
    m_xml.Attr("name", "diagram_compatibility_version");
    m_xml.Attr("stringValue", "1.4.0");
    m_xml.End();
    m_xml.Start("styles");
    m_xml.Attr("xmi:type", "notation:DiagramStyle");
    m_xml.Attr("xmi:id", prefix + "-style");
    m_xml.End();
    m_xml.Start("styles");
    m_xml.Attr("xmi:type", "style:PapyrusDiagramStyle");
    m_xml.Attr("xmi:id", prefix + "-kind");
    m_xml.Attr("diagramKindId", type->kindId);
    m_xml.Start("owner");
    m_xml.Attr("xmi:type", owner->type);
    m_xml.Attr("href", m_uml + "#" + owner->id);
    m_xml.End();
    m_xml.End();
    Element(*element);
    Edges();
    m_xml.End();
    ++m_summary.diagrams[static_cast<std::size_t>(m_kind)];
}

std::optional<xmi::Written> tNotation::WrittenOf(const Figure& figure) const {
    if (figure.shape == uml::Shape::Focus) {
        const auto found = m_index.executions.find(figure.item);
        if (found == m_index.executions.end()) return std::nullopt;
        return xmi::Written{found->second, "uml:BehaviorExecutionSpecification"};
    }
    const xmi::Written* written = Find(figure.element);
    return written != nullptr ? std::optional<xmi::Written>(*written) : std::nullopt;
}

std::string tNotation::Key(const Figure& figure) const {
    const std::optional<xmi::Written> written = WrittenOf(figure);
    if (!written) return {};
    std::string key(written->type);
    if (const auto* state = uml::As<uml::State>(figure.element); state != nullptr && key == "uml:Pseudostate") {
        switch (state->sort) {
            case uml::StateKind::Initial: key += "#initial"; break;
            case uml::StateKind::ShallowHistory: key += "#shallowHistory"; break;
            case uml::StateKind::DeepHistory: key += "#deepHistory"; break;
            case uml::StateKind::Decision: key += "#choice"; break;
            default: key += state->Members<uml::Transition>().size() > 1 ? "#fork" : "#join"; break;
        }
    }
    return key;
}

std::string_view tNotation::Holder(int figure) const {
    const tPlace& place = m_places[static_cast<std::size_t>(figure)];
    if (place.type == nullptr) return {};
    for (const std::string_view token : Tokens(place.type->compartments)) {
        if (token.ends_with("*region")) {
            // Shapes go into the region of the state's nested machine, if it has one.
            for (const uml::Element* member : m_layout.figures[static_cast<std::size_t>(figure)].element->members)
                if (member->kind == uml::Kind::StateMachine && Find(member) != nullptr) return "Region_SubvertexCompartment";
            return {};
        }
        if (token.ends_with('*')) return token.substr(0, token.size() - 1);
    }
    return {};
}

// Resolves the figure after its enclosing figures, outermost first, with a
// stack of its own, so that nesting of any depth is resolved.
void tNotation::Resolve(std::size_t index) {
    std::vector<std::size_t> chain;
    for (int at = static_cast<int>(index); at >= 0 && chain.size() < m_places.size();
         at = m_layout.figures[static_cast<std::size_t>(at)].parent) {
        tPlace& place = m_places[static_cast<std::size_t>(at)];
        if (place.resolved || place.visiting) break;
        place.visiting = true;
        chain.push_back(static_cast<std::size_t>(at));
    }
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) Place(*at);
}

// A figure goes into the compartment of the nearest enclosing figure whose
// shape has one that takes it (unless that one is nested kMaxNesting deep
// already); else into the frame, else onto the diagram.
void tNotation::Place(std::size_t index) {
    tPlace& place = m_places[index];
    const Figure& figure = m_layout.figures[index];
    const std::string key = Key(figure);
    const auto usable = [&](int host) {
        const tPlace& outer = m_places[static_cast<std::size_t>(host)];
        return outer.resolved && outer.type != nullptr && outer.depth < kMaxNesting;
    };
    if (figure.shape == uml::Shape::Text) {
        Leave(figure, "free text: Papyrus shows texts of model elements only");
    } else if (figure.shape == uml::Shape::Destruction) {
        Leave(figure, "the model holds no destruction for it");
    } else if (figure.shape == uml::Shape::Focus && key.empty()) {
        Leave(figure, "the model holds no execution for it");
    } else if (key.empty()) {
        Leave(figure, figure.element == nullptr ? "it shows no element of the model" : "its element is not in the .uml");
    } else {
        int parent = figure.parent;
        // Affixed to its parent's shape, where the table says so.
        if (parent >= 0 && usable(parent) &&
            (place.type = AffixedType(m_kind, m_places[static_cast<std::size_t>(parent)].type->type, key)) != nullptr) {
            place.host = parent;
            place.affixed = true;
        }
        for (std::size_t steps = 0; place.type == nullptr && parent >= 0 && steps < m_layout.figures.size(); ++steps) {
            const std::string_view holder = usable(parent) ? Holder(parent) : std::string_view();
            if (!holder.empty()) {
                if (const tShapeType* type = ShapeType(m_kind, holder, key)) {
                    place.type = type;
                    place.host = parent;
                    break;
                }
            }
            parent = m_layout.figures[static_cast<std::size_t>(parent)].parent;
        }
        if (place.host >= 0) place.depth = m_places[static_cast<std::size_t>(place.host)].depth + 1;
        if (place.type == nullptr && !m_frameHolder.empty()) {
            place.type = ShapeType(m_kind, m_frameHolder, key);
            place.inFrame = place.type != nullptr;
        }
        if (place.type == nullptr) place.type = ShapeType(m_kind, "", key);
        if (place.type == nullptr)
            Leave(figure, "Papyrus has no view of a " + key + " on a " + uml::DiagramKindName(m_kind) + " diagram");
    }
    place.visiting = false;
    place.resolved = true;
}

// Shapes in a compartment start under their container's name: a package's
// below its tab, a swimlane's below its header band.
tNotation::tOrigin tNotation::ContentOrigin(const Figure& figure) const {
    double top = figure.box.y;
    if (figure.shape == uml::Shape::Package || figure.shape == uml::Shape::Subsystem) top = figure.body.y;
    else if (figure.shape == uml::Shape::Swimlane) top = figure.body.Bottom();
    else if (!figure.texts.empty() && figure.texts.front().role == uml::TextRole::Name) top = figure.texts.front().box.Bottom();
    return {Px(figure.box.x), Px(std::clamp(top, figure.box.y, figure.box.Bottom()))};
}

}  // namespace lum::papyrus::detail
