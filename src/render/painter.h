#pragma once
// The painter draws the items of one diagram onto a canvas: symbols by their
// class and the element they show, lines with their ends and labels.

#include <unordered_map>

#include "lum/uml/view.h"
#include "render/canvas.h"

namespace lum::render::detail {

// Where a symbol lies: centre and size, with a default size for missing,
// zero or negative stored sizes.
struct tBox {
    double cx = 0, cy = 0, w = 0, h = 0;
    double Left() const { return cx - w / 2; }
    double Top() const { return cy - h / 2; }
    double Right() const { return cx + w / 2; }
    double Bottom() const { return cy + h / 2; }
};

class tPainter {
public:
    tPainter(const uml::Diagram& diagram, tCanvas& canvas);
    // Draws every item, in the stored order (later items on top).
    void Run();

private:
    void Item(const ClumDiagramItem& item);
    void Symbol(const ClumSymbol& symbol, const uml::Element* element);
    void Line(const ClumLine& line, const uml::Element* element);
    void Role(const ClumRoleView& role, const uml::AssociationEnd* end);
    void RoleTexts(const uml::AssociationEnd& end, tPoint from, tPoint tip, const tFont& font);

    void ClassBox(const ClumClassView& view, const tBox& box, const uml::Element* element);
    void Actor(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void Package(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void Note(const ClumSymbol& symbol, const tBox& box);
    void UseCase(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void State(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void Box(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    // Activity graphs, interactions, components and nodes (interactions.cpp, nodes.cpp).
    void Swimlane(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void Instance(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void Lifeline(const ClumInterObjView& view, const tBox& box, const uml::Element* element);
    void Focus(const ClumFocus_Of_Control& focus);
    void Destruction(const ClumDiagramItem& marker);
    // The label of a message line, its sequence number first; false when the line shows no message.
    bool MessageLabel(const ClumInteractionLine& line, const uml::Element* element, const std::vector<tPoint>& points);
    void Component(const ClumSymbol& symbol, const tBox& box, const uml::Element* element);
    void Node(const ClumSymbol& symbol, const tBox& box, const uml::Element* element, bool device);

    // The item's stored label drawn where stored (see painter.cpp), in its
    // own font, else in `font`; false when it has none.
    // With `stereotype`, the label kept as the item's stereotype instead.
    // With a `prefix`, that text is put before the label's own.
    bool StoredLabel(const ClumDiagramItem& item, const tBox* box, const std::wstring& fallback, const tFont& font,
                     const char* anchor = "middle", bool stereotype = false, const std::wstring& prefix = {});
    // The points of a line: its vertices, else the centres of its ends.
    std::vector<tPoint> PointsOf(const ClumLine& line) const;
    tBox BoxOf(const ClumSymbol& symbol, double w, double h) const;
    const uml::Element* ElementOf(const ClumDiagramItem& item) const;

    const uml::Diagram& m_diagram;
    tCanvas& m_canvas;
    std::unordered_map<const ClumDiagramItem*, const uml::Element*> m_shown;
    // The outline of each symbol drawn so far, where lines ending inside it are cut.
    struct tOutline {
        tBox box;
        bool ellipse = false;
    };
    void Keep(const ClumSymbol& symbol, const tBox& box, bool ellipse = false) { m_outlines[&symbol] = {box, ellipse}; }
    // Moves `end`, when it lies inside the outline of `symbol`, to where the segment from `other` crosses it.
    void Cut(tPoint& end, tPoint other, const ClumVellumEntity* symbol) const;
    bool Inside(tPoint point, const ClumVellumEntity* symbol) const;
    std::unordered_map<const ClumVellumEntity*, tOutline> m_outlines;
    ClumIdent m_label, m_stereotype;
    // Where lifelines end: below the lowest message or focus of control of the diagram.
    double m_lifelineEnd = 0;
};

}  // namespace lum::render::detail
