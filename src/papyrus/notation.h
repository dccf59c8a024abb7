#pragma once
// tNotation: the .notation file, one notation:Diagram per stored diagram,
// each from the diagram layout. Shapes stand where the layout puts them, in
// pixels (kPixelsPerUnit); a shape inside another is written in that one's
// compartment, relative to it; lines are edges with their routes as
// absolute bendpoints and anchors where they meet their ends.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "lum/papyrus/papyrus.h"
#include "lum/uml/layout.h"
#include "lum/xmi/xmi.h"
#include "papyrus/view_types.h"
#include "lum/text/xml_writer.h"

namespace lum::papyrus::detail {

// How deep shapes are nested in compartments at most; a shape deeper down
// stands in the frame or on the diagram, where it is drawn.
inline constexpr std::size_t kMaxNesting = 100;
// The margin round the shapes of a frame and the height of its title, in pixels.
inline constexpr long long kFrameMargin = 20, kFrameTitle = 20;

// Drawing units as whole pixels.
long long Px(double units);
// A colour of the layout (0xRRGGBB) as GMF keeps it.
long long GmfColour(uml::Colour colour);
// The tokens of a table field (view_types.h), split at spaces.
std::vector<std::string_view> Tokens(std::string_view field);

class tNotation {
public:
    // `uml` is the .uml file's name as the hrefs give it.
    tNotation(std::ostream& out, const xmi::WrittenIndex& index, std::string_view uml, Summary& summary);
    void Diagram(const uml::Diagram& diagram);
    // Ends the file; false when the stream failed.
    bool Finish();

private:
    // Where a figure goes: its shape type, the figure whose compartment holds
    // it (-1: the diagram's frame or the diagram), and its view's id.
    struct tPlace {
        const tShapeType* type = nullptr;
        int host = -1;
        bool inFrame = false;
        bool affixed = false;  // a child of the host shape itself, not of a compartment
        bool visiting = false, resolved = false;
        std::size_t depth = 0;  // of compartments it stands in
        std::string id;
    };
    struct tOrigin {
        long long x = 0, y = 0;
    };

    const xmi::Written* Find(const uml::Element* element) const;
    // What the figure shows in the .uml: its element, or the execution a focus of control was written as.
    std::optional<xmi::Written> WrittenOf(const uml::Figure& figure) const;
    const xmi::Written* PackageOf(const uml::Element* element) const;
    std::string Key(const uml::Figure& figure) const;
    void Resolve(std::size_t figure);
    void Place(std::size_t figure);
    // The compartment of a figure's shape that holds shapes, as nested types name it; empty when none can.
    std::string_view Holder(int figure) const;
    tOrigin ContentOrigin(const uml::Figure& figure) const;
    void Leave(const uml::Figure& figure, std::string why);
    void LeaveText(std::string what, std::string why);

    void Frame(const tShapeType& frame, const xmi::Written& element);
    void Shape(std::size_t figure, tOrigin origin);
    void Labels(std::string_view labels, const std::string& id);
    void Compartments(std::size_t figure, const tShapeType& type, const std::string& id);
    void Rows(std::size_t figure, std::string_view row, bool operations, bool& visible);
    void Region(const std::string& region, const std::string& id, std::vector<std::size_t> hosted, tOrigin origin,
                long long width, long long height);
    void Edges();
    // A note's attachment to the view of `target`: a shape, or a line written as an edge.
    void Attachment(std::size_t line, int note, int target);
    void Edge(std::size_t figure, const tEdgeType& type, const xmi::Written& element, const std::string& source,
              const std::string& target, int sourceFigure, int targetFigure, const std::vector<uml::Point>& route);
    void Element(const xmi::Written& written);
    void Bounds(const std::string& id, long long x, long long y, long long width, long long height);
    void EmptyBounds(const std::string& id);
    // The figure's font and colours as style attributes of the view being started; `keys` gets their names.
    void FontAttrs(const uml::Figure& figure, std::vector<std::string_view>& keys);
    void ColourAttrs(const uml::Figure& figure, std::vector<std::string_view>& keys);
    void Forced(const std::string& id, const std::vector<std::string_view>& keys);
    std::string ViewOf(int figure) const;

    XmlWriter m_xml;
    const xmi::WrittenIndex& m_index;
    std::string m_uml;
    Summary& m_summary;
    std::size_t m_count = 0;  // diagrams written

    // The diagram being written.
    const uml::Diagram* m_diagram = nullptr;
    uml::DiagramKind m_kind = uml::DiagramKind::Other;
    std::string m_name;    // qualified, for the report
    std::string m_prefix;  // of its views' ids
    uml::DiagramLayout m_layout;
    std::vector<tPlace> m_places;
    std::vector<std::vector<std::size_t>> m_hosted;   // per figure, the figures its compartment holds
    std::vector<std::vector<std::size_t>> m_affixed;  // per figure, the figures affixed to it
    std::vector<std::size_t> m_inFrame, m_top;
    std::vector<bool> m_edges;  // per figure, written as an edge
    std::string m_frameHolder;  // the frame's compartment for nested types; empty without a frame
    tOrigin m_frameOrigin;
};

}  // namespace lum::papyrus::detail
