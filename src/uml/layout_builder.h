#pragma once
// The builder of a diagram layout, shared by the files that lay out each
// kind of view (layout_*.cpp). Symbols are laid out first, in the stored
// order, then the lines, which end on the outlines of what they join.

#include <unordered_map>
#include <unordered_set>

#include "lum/uml/layout.h"
#include "uml/layout_text.h"
#include "uml/raw_access.h"

namespace lum::uml::detail {

class tLayoutBuilder {
public:
    tLayoutBuilder(const Diagram& diagram, const LayoutOptions& options);
    DiagramLayout Run();

private:
    // layout.cpp: figures, stored boxes, what a view shows, containment, bounds.
    int Add(const ClumDiagramItem& item, Shape shape, int parent = -1);
    void Symbol(int index, const ClumSymbol& symbol);
    // The stored box of a symbol: its location is the centre; a size it does
    // not store (or stores as zero or negative) is the given default.
    Box StoredBox(const ClumSymbol& symbol, double width, double height) const;
    const Element* ElementOf(const ClumDiagramItem& item) const;
    int IndexOf(const ClumVellumEntity* item) const;
    void Nest();
    void Bounds();
    // The stored name label placed, else `name` centred in the box's top `lines` lines.
    void Name(Figure& figure, const ClumSymbol& symbol, const std::string& name, TextRole role = TextRole::Name);
    // The "(from Package)" line under the name of an element shown outside its package.
    void FromPackage(Figure& figure);

    // layout_classes.cpp: classes, actors and icons, use cases, notes, packages, plain boxes.
    void ClassView(Figure& figure, const ClumClassView& view);
    void Compartments(Figure& figure, const ClumClassView& view, const Classifier* classifier);
    void Members(Figure& figure, const ClumClassView& view, const Classifier* classifier);
    void Icon(Figure& figure, const ClumSymbol& symbol, Shape shape);
    void UseCaseView(Figure& figure, const ClumSymbol& symbol);
    void NoteView(Figure& figure, const ClumSymbol& symbol);
    void PackageView(Figure& figure, const ClumSymbol& symbol);
    void PlainView(Figure& figure, const ClumSymbol& symbol);

    // layout_states.cpp: states, activities, decisions, bars, swimlanes, object flow objects.
    void StateView(Figure& figure, const ClumSymbol& symbol);
    void Swimlanes();

    // layout_interactions.cpp: lifelines, activations, messages, collaboration objects and messages.
    void LifelineView(int index, const ClumInterObjView& view);
    void ObjectView(Figure& figure, const ClumSymbol& symbol);
    void MessageLine(Figure& figure, const ClumInteractionLine& line);
    void CollaborationMessages(Figure& figure, const ClumMessView& view);
    // The messages the labels of the diagram's message views name.
    const std::unordered_set<const ClumVellumEntity*>& Labelled();
    // "3: name", the flat number or the stored sequence.
    std::string MessageText(const Message& message, const std::string& name) const;

    // layout_nodes.cpp: components and their kinds, processors and devices.
    void ModuleView(Figure& figure, const ClumSymbol& symbol);
    void NodeView(Figure& figure, const ClumSymbol& symbol, bool device);

    // layout_lines.cpp: routes, their ends and labels.
    void Line(int index, const ClumLine& line);
    void Role(int index, const ClumRoleView& role);
    // The route of a line between two figures: stored points, the ends moved onto the outlines.
    std::vector<Point> Route(const ClumLine& line, int source, int target) const;
    void Labels(Figure& figure, const ClumDiagramItem& item, const std::string& name, const std::string& keyword);
    void Finish(Figure& figure);

    const Diagram& m_diagram;
    const LayoutOptions& m_options;
    DiagramLayout m_layout;
    std::unordered_map<const ClumDiagramItem*, const Element*> m_shown;
    std::unordered_map<const ClumVellumEntity*, int> m_index;
    std::unordered_set<const ClumVellumEntity*> m_labelled;
};

}  // namespace lum::uml::detail
