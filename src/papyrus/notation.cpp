// The scale: the drawing unit is 1/300 inch and a font point 300/72 units
// (lum/uml/layout.h); Papyrus draws at 96 pixels per inch, its font heights
// in points. At 96/300 pixels per unit a point is 96/72 pixels in both, so
// every text keeps the share of its box that the layout measured for it:
// the boxes and the fonts scale alike. (A class of the shared models 1,500
// units wide becomes 480 pixels, the size of Papyrus's own example classes.)

#include "papyrus/notation.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "lum/uml/presentation.h"

namespace lum::papyrus::detail {

namespace {

using uml::Figure;

// The margin round the shapes of a frame and the height of its title.
constexpr long long kFrameMargin = 20, kFrameTitle = 20;
// Papyrus's mark of a bendpoint given in absolute diagram coordinates.
constexpr std::string_view kAbsolute = "-643984, -643984";

long long Px(double units) { return std::llround(units * kPixelsPerUnit); }

// GMF keeps a colour as red | green << 8 | blue << 16 (FigureUtilities.RGBToInteger);
// the layout's is 0xRRGGBB.
long long GmfColour(uml::Colour colour) {
    const long long red = (colour >> 16) & 0xFF, green = (colour >> 8) & 0xFF, blue = colour & 0xFF;
    return red | green << 8 | blue << 16;
}

// A fraction of a side for an anchor: "0.0", "0.25", "1.0".
std::string Fraction(double value) {
    value = std::clamp(std::isfinite(value) ? value : 0.5, 0.0, 1.0);
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::round(value * 100) / 100, std::chars_format::fixed, 2).ptr;
    std::string text(buffer, end);
    while (text.size() > 3 && text.back() == '0') text.pop_back();
    return text;
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

const char* MessageSort(const uml::Message& message) {
    if (message.isCreation) return "createMessage";
    if (message.synchronicity == uml::Synchronicity::Return) return "reply";
    if (message.synchronicity == uml::Synchronicity::Asynchronous) return "asynchCall";
    return "synchCall";
}

// What a figure shows, for the report: "class Account", or the figure's shape.
std::string Describe(const Figure& figure) {
    if (figure.element != nullptr) return std::string(uml::KindName(figure.element->kind)) + " " + uml::NameOrKind(*figure.element);
    for (const uml::TextBlock& text : figure.texts)
        if (!text.lines.empty()) return std::string(uml::ShapeName(figure.shape)) + " \"" + text.lines.front() + "\"";
    return uml::ShapeName(figure.shape);
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

tNotation::tNotation(std::ostream& out, const xmi::WrittenIndex& index, std::string_view uml, const Options& options,
                     Summary& summary)
    : m_xml(out), m_index(index), m_uml(UriPath(uml)), m_options(options), m_summary(summary) {
    m_xml.Start("xmi:XMI");
    m_xml.Attr("xmi:version", "2.0");
    m_xml.Attr("xmlns:xmi", "http://www.omg.org/XMI");
    m_xml.Attr("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
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
    const tShapeType* frame = ShapeType(m_kind, "frame", "");
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
    frame = ShapeType(m_kind, "frame", element != nullptr ? element->type : "");
    const bool framed = m_kind == uml::DiagramKind::State || m_kind == uml::DiagramKind::Activity ||
                        m_kind == uml::DiagramKind::Sequence || m_kind == uml::DiagramKind::Collaboration;
    if (framed && (frame == nullptr || (m_kind == uml::DiagramKind::State && m_index.regions.count(diagram.owner) == 0))) {
        LeaveText("the whole diagram", "what it draws is not a state machine, activity or interaction of the model");
        return;
    }

    m_layout = uml::DiagramLayout::Of(diagram, {.storedSequenceNumbers = m_options.storedSequenceNumbers});
    const std::size_t count = m_layout.figures.size();
    m_places.assign(count, {});
    m_hosted.assign(count, {});
    m_affixed.assign(count, {});
    m_inFrame.clear();
    m_top.clear();
    m_prefix = "d" + std::to_string(m_count++);
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

// A figure goes into the compartment of the nearest enclosing figure whose
// shape has one that takes it; else into the frame, else onto the diagram.
void tNotation::Resolve(std::size_t index) {
    tPlace& place = m_places[index];
    if (place.resolved || place.visiting) return;
    place.visiting = true;
    const Figure& figure = m_layout.figures[index];
    const std::string key = Key(figure);
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
        if (parent >= 0) {
            // Affixed to its parent's shape, where the table says so.
            Resolve(static_cast<std::size_t>(parent));
            const tShapeType* host = m_places[static_cast<std::size_t>(parent)].type;
            if (host != nullptr && (place.type = AffixedType(m_kind, host->type, key)) != nullptr) {
                place.host = parent;
                place.affixed = true;
            }
        }
        for (std::size_t steps = 0; place.type == nullptr && parent >= 0 && steps < m_layout.figures.size(); ++steps) {
            Resolve(static_cast<std::size_t>(parent));
            const std::string_view holder = Holder(parent);
            if (!holder.empty()) {
                if (const tShapeType* type = ShapeType(m_kind, holder, key)) {
                    place.type = type;
                    place.host = parent;
                    break;
                }
            }
            parent = m_layout.figures[static_cast<std::size_t>(parent)].parent;
        }
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

void tNotation::Element(const xmi::Written& written) {
    m_xml.Start("element");
    m_xml.Attr("xmi:type", written.type);
    m_xml.Attr("href", m_uml + "#" + written.id);
    m_xml.End();
}

void tNotation::Bounds(const std::string& id, long long x, long long y, long long width, long long height) {
    m_xml.Start("layoutConstraint");
    m_xml.Attr("xmi:type", "notation:Bounds");
    m_xml.Attr("xmi:id", id + "-b");
    if (x != 0) m_xml.Attr("x", x);
    if (y != 0) m_xml.Attr("y", y);
    m_xml.Attr("width", width);
    m_xml.Attr("height", height);
    m_xml.End();
}

void tNotation::Labels(std::string_view labels, const std::string& id) {
    int k = 0;
    for (const std::string_view token : Tokens(labels)) {
        const std::size_t at = token.find('@');
        const std::string label = id + "-l" + std::to_string(k++);
        m_xml.Start("children");
        m_xml.Attr("xmi:type", "notation:DecorationNode");
        m_xml.Attr("xmi:id", label);
        m_xml.Attr("type", token.substr(0, at));
        if (at != std::string_view::npos) {
            m_xml.Start("layoutConstraint");
            m_xml.Attr("xmi:type", "notation:Location");
            m_xml.Attr("xmi:id", label + "-b");
            if (at + 1 < token.size()) m_xml.Attr("y", token.substr(at + 1));
            m_xml.End();
        }
        m_xml.End();
    }
}

// The frame of a behaviour's diagram: round every shape it holds, its
// compartment (and a state machine's region) as large as itself below the title.
void tNotation::Frame(const tShapeType& frame, const xmi::Written& element) {
    const uml::Box& bounds = m_layout.bounds;
    const long long width = Px(bounds.width) + 2 * kFrameMargin, height = Px(bounds.height) + 2 * kFrameMargin;
    const std::string id = m_prefix + "f";
    m_xml.Start("children");
    m_xml.Attr("xmi:type", "notation:Shape");
    m_xml.Attr("xmi:id", id);
    m_xml.Attr("type", frame.type);
    Labels(frame.labels, id);
    int k = 0;
    const tOrigin origin{m_frameOrigin.x, m_frameOrigin.y};
    for (const std::string_view token : Tokens(frame.compartments)) {
        const std::string compartment = id + "-c" + std::to_string(k++);
        m_xml.Start("children");
        m_xml.Attr("xmi:type", "notation:BasicCompartment");
        m_xml.Attr("xmi:id", compartment);
        m_xml.Attr("type", token.substr(0, token.find('*')));
        if (token.ends_with("*region")) {
            Region(m_index.regions.at(m_diagram->owner), compartment, m_inFrame, origin, width, height);
        } else if (token.ends_with('*')) {
            for (const std::size_t i : m_inFrame) Shape(i, origin);
        }
        m_xml.Start("styles");
        m_xml.Attr("xmi:type", "notation:TitleStyle");
        m_xml.Attr("xmi:id", compartment + "-t");
        m_xml.End();
        if (token.ends_with('*')) Bounds(compartment, 0, kFrameTitle, width, height);
        else Bounds(compartment, 0, 0, -1, -1);
        m_xml.End();
    }
    Element(element);
    Bounds(id, m_frameOrigin.x, m_frameOrigin.y - kFrameTitle, width, height + kFrameTitle);
    m_xml.End();
    m_summary.views += 1;
}

void tNotation::Region(const std::string& region, const std::string& id, std::vector<std::size_t> hosted, tOrigin origin,
                       long long width, long long height) {
    m_xml.Start("children");
    m_xml.Attr("xmi:type", "notation:Shape");
    m_xml.Attr("xmi:id", id + "-r");
    m_xml.Attr("type", "Region_Shape");
    m_xml.Start("children");
    m_xml.Attr("xmi:type", "notation:BasicCompartment");
    m_xml.Attr("xmi:id", id + "-rc");
    m_xml.Attr("type", "Region_SubvertexCompartment");
    for (const std::size_t i : hosted) Shape(i, origin);
    m_xml.Start("styles");
    m_xml.Attr("xmi:type", "notation:TitleStyle");
    m_xml.Attr("xmi:id", id + "-rc-t");
    m_xml.End();
    Bounds(id + "-rc", 0, 0, -1, -1);
    m_xml.End();
    m_xml.Start("element");
    m_xml.Attr("xmi:type", "uml:Region");
    m_xml.Attr("href", m_uml + "#" + region);
    m_xml.End();
    Bounds(id + "-r", 0, 0, width, height);
    m_xml.End();
}

void tNotation::FontAttrs(const Figure& figure) {
    const uml::TextBlock* text = nullptr;
    for (const uml::TextBlock& block : figure.texts)
        if (text == nullptr || block.role == uml::TextRole::Name) {
            text = &block;
            if (block.role == uml::TextRole::Name) break;
        }
    if (text == nullptr) return;
    m_xml.Text("fontName", text->font.face);
    m_xml.Attr("fontHeight", std::max<long long>(1, std::llround(text->font.points)));
    if (text->font.bold) m_xml.Attr("bold", "true");
    if (text->font.italic) m_xml.Attr("italic", "true");
    if (text->font.underline) m_xml.Attr("underline", "true");
    if (text->font.colour != 0) m_xml.Attr("fontColor", GmfColour(text->font.colour));
}

void tNotation::Shape(std::size_t index, tOrigin origin) {
    const Figure& figure = m_layout.figures[index];
    const tPlace& place = m_places[index];
    const tShapeType& type = *place.type;
    m_xml.Start("children");
    m_xml.Attr("xmi:type", "notation:Shape");
    m_xml.Attr("xmi:id", place.id);
    m_xml.Attr("type", type.type);
    FontAttrs(figure);
    if (figure.fill != uml::kNoColour) m_xml.Attr("fillColor", GmfColour(figure.fill));
    if (figure.stroke != uml::kNoColour) m_xml.Attr("lineColor", GmfColour(figure.stroke));
    Labels(type.labels, place.id);
    Compartments(index, type, place.id);
    for (const std::size_t i : m_affixed[index]) Shape(i, {Px(figure.box.x), Px(figure.box.y)});
    Element(*WrittenOf(figure));
    // Inside a compartment nothing lies left of or above its content.
    const long long x = std::max(0LL, Px(figure.box.x) - origin.x), y = std::max(0LL, Px(figure.box.y) - origin.y);
    Bounds(place.id, x, y, Px(figure.box.Right()) - Px(figure.box.x), Px(figure.box.Bottom()) - Px(figure.box.y));
    m_xml.End();
    m_summary.views += 1;
}

void tNotation::Compartments(std::size_t index, const tShapeType& type, const std::string& id) {
    const Figure& figure = m_layout.figures[index];
    // Which lists the symbol shows: the rows it lists, and a rule for a list shown empty.
    std::size_t rows[2] = {0, 0};
    for (const uml::TextBlock& text : figure.texts) {
        if (text.role == uml::TextRole::Attribute) rows[0] += text.lines.size();
        else if (text.role == uml::TextRole::Operation) rows[1] += text.lines.size();
    }
    const std::size_t rules = figure.shape == uml::Shape::Class ? figure.rules.size() : 0;
    int k = 0;
    for (const std::string_view token : Tokens(type.compartments)) {
        const std::string compartment = id + "-c" + std::to_string(k++);
        const std::size_t equals = token.find('='), star = token.find('*');
        const std::string_view name = token.substr(0, std::min(equals, star));
        const bool list = equals != std::string_view::npos;
        const bool operations = list && token.substr(equals + 1).starts_with("Operation_");
        bool visible = star != std::string_view::npos;
        if (list) visible = rows[operations ? 1 : 0] > 0 || rules >= 2 || (rules == 1 && !operations && rows[1] == 0);
        m_xml.Start("children");
        m_xml.Attr("xmi:type", "notation:BasicCompartment");
        m_xml.Attr("xmi:id", compartment);
        m_xml.Attr("type", name);
        if (!visible) m_xml.Attr("visible", "false");
        if (list) {
            Rows(index, token.substr(equals + 1), operations, visible);
        } else if (token.ends_with("*region")) {
            if (!m_hosted[index].empty()) {
                const uml::Element* machine = nullptr;
                for (const uml::Element* member : figure.element->members)
                    if (member->kind == uml::Kind::StateMachine && Find(member) != nullptr) machine = member;
                const tOrigin origin = ContentOrigin(figure);
                Region(Find(machine)->id, compartment, m_hosted[index], origin, Px(figure.box.Right()) - origin.x,
                       Px(figure.box.Bottom()) - origin.y);
            }
        } else if (star != std::string_view::npos) {
            const tOrigin origin = ContentOrigin(figure);
            for (const std::size_t i : m_hosted[index]) Shape(i, origin);
        }
        for (const char* style : {"notation:TitleStyle", "notation:SortingStyle", "notation:FilteringStyle"}) {
            if (!list && style != std::string_view("notation:TitleStyle")) break;
            m_xml.Start("styles");
            m_xml.Attr("xmi:type", style);
            m_xml.Attr("xmi:id", compartment + "-s" + style[9]);
            m_xml.End();
        }
        m_xml.Start("layoutConstraint");
        m_xml.Attr("xmi:type", "notation:Bounds");
        m_xml.Attr("xmi:id", compartment + "-b");
        m_xml.End();
        m_xml.End();
    }
}

// The rows of a list compartment: the members the symbol lists, in order.
// A class lists its first attributes and operations in their blocks; an
// interface's icon lists both in one block, the attributes first.
void tNotation::Rows(std::size_t index, std::string_view row, bool operations, bool& visible) {
    const Figure& figure = m_layout.figures[index];
    if (figure.element == nullptr) return;
    std::vector<const uml::Element*> properties, calls;
    for (const uml::Element* member : figure.element->members) {
        if (member->kind == uml::Kind::Property) properties.push_back(member);
        else if (member->kind == uml::Kind::Operation) calls.push_back(member);
    }
    std::size_t shown[2] = {0, 0};
    for (const uml::TextBlock& text : figure.texts) {
        if (text.role == uml::TextRole::Attribute) {
            shown[0] += text.lines.size();
        } else if (text.role == uml::TextRole::Operation && figure.shape != uml::Shape::Class) {
            const std::size_t attributes = std::min(text.lines.size(), properties.size());
            shown[0] += attributes;
            shown[1] += text.lines.size() - attributes;
        } else if (text.role == uml::TextRole::Operation) {
            shown[1] += text.lines.size();
        }
    }
    const std::vector<const uml::Element*>& members = operations ? calls : properties;
    const std::size_t count = std::min(shown[operations ? 1 : 0], members.size());
    if (count > 0) visible = true;
    for (std::size_t i = 0; i < count; ++i) {
        const xmi::Written* written = Find(members[i]);
        if (written == nullptr) continue;
        const std::string id = m_places[index].id + (operations ? "-o" : "-a") + std::to_string(i);
        m_xml.Start("children");
        m_xml.Attr("xmi:type", "notation:Shape");
        m_xml.Attr("xmi:id", id);
        m_xml.Attr("type", row);
        Element(*written);
        m_xml.Start("layoutConstraint");
        m_xml.Attr("xmi:type", "notation:Location");
        m_xml.Attr("xmi:id", id + "-b");
        m_xml.End();
        m_xml.End();
    }
}

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
            shown = nullptr;
            for (std::size_t m = 0; m < figures.size() && shown == nullptr; ++m) {
                if (!figures[m].IsLine() || figures[m].source != static_cast<int>(i)) continue;
                for (const uml::TextBlock& text : figures[m].texts)
                    if (uml::As<uml::Message>(text.element) != nullptr && Find(text.element) != nullptr) {
                        shown = text.element;
                        break;
                    }
            }
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
    if (figure.stroke != uml::kNoColour) m_xml.Attr("lineColor", GmfColour(figure.stroke));
    Labels(type.labels, id);
    m_xml.Start("styles");
    m_xml.Attr("xmi:type", "notation:FontStyle");
    m_xml.Attr("xmi:id", id + "-f");
    FontAttrs(figure);
    m_xml.End();
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
        const uml::Box& box = m_layout.figures[static_cast<std::size_t>(shown)].box;
        m_xml.Start(tag);
        m_xml.Attr("xmi:type", "notation:IdentityAnchor");
        m_xml.Attr("xmi:id", id + suffix);
        if (box.width > 0 && box.height > 0)
            m_xml.Attr("id", "(" + Fraction((at.x - box.x) / box.width) + "," + Fraction((at.y - box.y) / box.height) + ")");
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
