// The shapes of a diagram: each with its labels, its compartments (the rows
// they list, the shapes they hold) and its bounds; the frame of a
// behaviour's diagram; the region a state machine's shapes stand in.

#include <algorithm>
#include <cmath>

#include "papyrus/notation.h"

namespace lum::papyrus::detail {

using uml::Figure;

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

// The constraint of a view its container lays out: a compartment.
void tNotation::EmptyBounds(const std::string& id) {
    m_xml.Start("layoutConstraint");
    m_xml.Attr("xmi:type", "notation:Bounds");
    m_xml.Attr("xmi:id", id + "-b");
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
        else EmptyBounds(compartment);
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
    EmptyBounds(id + "-rc");
    m_xml.End();
    m_xml.Start("element");
    m_xml.Attr("xmi:type", "uml:Region");
    m_xml.Attr("href", m_uml + "#" + region);
    m_xml.End();
    Bounds(id + "-r", 0, 0, width, height);
    m_xml.End();
}

void tNotation::FontAttrs(const Figure& figure, std::vector<std::string_view>& keys) {
    const uml::TextBlock* text = nullptr;
    for (const uml::TextBlock& block : figure.texts)
        if (text == nullptr || block.role == uml::TextRole::Name) {
            text = &block;
            if (block.role == uml::TextRole::Name) break;
        }
    if (text == nullptr) return;
    m_xml.Text("fontName", text->font.face);
    m_xml.Attr("fontHeight", std::max<long long>(1, std::llround(text->font.points)));
    keys.insert(keys.end(), {"fontName", "fontHeight"});
    const struct {
        bool set;
        std::string_view key;
    } kFlags[] = {{text->font.bold, "bold"}, {text->font.italic, "italic"}, {text->font.underline, "underline"}};
    for (const auto& flag : kFlags) {
        if (!flag.set) continue;
        m_xml.Attr(flag.key, "true");
        keys.push_back(flag.key);
    }
    if (text->font.colour != 0) {
        m_xml.Attr("fontColor", GmfColour(text->font.colour));
        keys.push_back("fontColor");
    }
}

void tNotation::ColourAttrs(const Figure& figure, std::vector<std::string_view>& keys) {
    if (figure.fill != uml::kNoColour && !figure.IsLine()) {
        m_xml.Attr("fillColor", GmfColour(figure.fill));
        keys.push_back("fillColor");
    }
    if (figure.stroke != uml::kNoColour) {
        m_xml.Attr("lineColor", GmfColour(figure.stroke));
        keys.push_back("lineColor");
    }
}

// Papyrus's style sheets give every view its theme's fonts and colours
// unless the view marks its own as forced, as a user's choice is.
void tNotation::Forced(const std::string& id, const std::vector<std::string_view>& keys) {
    if (keys.empty()) return;
    m_xml.Start("eAnnotations");
    m_xml.Attr("xmi:type", "ecore:EAnnotation");
    m_xml.Attr("xmi:id", id + "-css");
    m_xml.Attr("source", "PapyrusCSSForceValue");
    for (std::size_t k = 0; k < keys.size(); ++k) {
        m_xml.Start("details");
        m_xml.Attr("xmi:type", "ecore:EStringToStringMapEntry");
        m_xml.Attr("xmi:id", id + "-css" + std::to_string(k));
        m_xml.Attr("key", keys[k]);
        m_xml.Attr("value", "true");
        m_xml.End();
    }
    m_xml.End();
}

void tNotation::Shape(std::size_t index, tOrigin origin) {
    const Figure& figure = m_layout.figures[index];
    const tPlace& place = m_places[index];
    const tShapeType& type = *place.type;
    m_xml.Start("children");
    m_xml.Attr("xmi:type", "notation:Shape");
    m_xml.Attr("xmi:id", place.id);
    m_xml.Attr("type", type.type);
    std::vector<std::string_view> forced;
    FontAttrs(figure, forced);
    ColourAttrs(figure, forced);
    Forced(place.id, forced);
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
        EmptyBounds(compartment);
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

}  // namespace lum::papyrus::detail
