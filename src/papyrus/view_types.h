#pragma once
// The view types of Papyrus's diagrams: for each kind of diagram of the
// notation, the Papyrus diagram it becomes and, per metaclass of the .uml,
// the shape or edge that shows it with the labels and compartments Papyrus's
// own files give that shape. The type strings are Papyrus's (its generated
// visual ids); where Papyrus keeps a shape apart inside a compartment (the
// "_CN" types), the table says which compartments take which type.

#include <string_view>

#include "lum/uml/elements.h"

namespace lum::papyrus::detail {

struct tDiagramType {
    std::string_view type;    // Diagram.type
    std::string_view kindId;  // the representation kind of the UML architecture
};
// Null for a kind Papyrus has no diagram for.
const tDiagramType* DiagramType(uml::DiagramKind kind);

// A shape type. `labels` are label view types separated by spaces, each
// with "@" when Papyrus gives it a Location (and "@y" its offset);
// `compartments` likewise, each either empty, "=ROW" listing rows of view
// type ROW (attributes, operations or literals), "*" holding shapes, or
// "*region" holding shapes in a region.
struct tShapeType {
    uml::DiagramKind diagram;
    // "" on the diagram, "frame" as the diagram's frame, a compartment type, "*" any compartment, or a shape
    // type: affixed to that shape (an execution on its lifeline)
    std::string_view in;
    std::string_view metaclass;  // as the .uml writes it; "*" any
    std::string_view type;
    std::string_view labels;
    std::string_view compartments;
};
// The shape for an element written as `metaclass` (a pseudostate as
// "uml:Pseudostate#kind"), placed in the compartment `in` ("" on the
// diagram, "frame" for the diagram's frame); null when Papyrus has none.
const tShapeType* ShapeType(uml::DiagramKind diagram, std::string_view in, std::string_view metaclass);

// The shape affixed to a shape of type `host` (not in one of its compartments); null when none is.
const tShapeType* AffixedType(uml::DiagramKind diagram, std::string_view host, std::string_view metaclass);

struct tEdgeType {
    uml::DiagramKind diagram;
    std::string_view metaclass;  // a message as "uml:Message#sort"
    std::string_view type;
    std::string_view labels;
};
const tEdgeType* EdgeType(uml::DiagramKind diagram, std::string_view metaclass);

// Every shape and edge type of the tables, for checks over them.
const tShapeType* ShapeTypes(std::size_t& count);
const tEdgeType* EdgeTypes(std::size_t& count);

}  // namespace lum::papyrus::detail
