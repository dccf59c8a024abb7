// Diagrams in the OMG flavour: UML diagram interchange (UMLDI) after the
// model. Each item that shows an element becomes a UMLShape with its
// bounds (the stored position is the symbol's centre; DC bounds are its
// top-left corner and size) or a UMLEdge with its stored points as
// waypoints, pointing to the element it shows. UMLDI wants two waypoints
// or more; a line that stores fewer takes them from elsewhere: a message
// of an interaction diagram runs from its origin to its terminus, an
// association along its two role views (each from the association's middle
// to its class, by its points or its ends), any other line from the centre
// of the item at one end to the centre of the other, through its one
// stored point. A line with neither is its one point, or its own place,
// twice.

#include <algorithm>

#include "lum/model/classes.h"
#include "xmi/exporter.h"

namespace lum::xmi::detail {

namespace {

const char* DiagramType(uml::DiagramKind kind) {
    switch (kind) {
        case uml::DiagramKind::UseCase: return "umldi:UMLUseCaseDiagram";
        case uml::DiagramKind::State: return "umldi:UMLStateMachineDiagram";
        case uml::DiagramKind::Activity: return "umldi:UMLActivityDiagram";
        case uml::DiagramKind::Sequence: return "umldi:UMLInteractionDiagram";
        case uml::DiagramKind::Collaboration: return "umldi:UMLObjectDiagram";
        case uml::DiagramKind::Component: return "umldi:UMLComponentDiagram";
        case uml::DiagramKind::Deployment: return "umldi:UMLDeploymentDiagram";
        default: return "umldi:UMLClassDiagram";
    }
}

// The centres of the diagram items at a line's two ends; fewer where an end is no item.
std::vector<tLocation> Ends(const ClumSimpleLine& line) {
    std::vector<tLocation> points;
    for (const ClumVellumEntity* end : {line.client.GetTarget(-1), line.supplier.GetTarget(-1)})
        if (end != nullptr && end->GetMetaClass().IsKindOf(&ClumDiagramItem::StaticGetMetaClass()))
            points.push_back(static_cast<const ClumDiagramItem*>(end)->location.Get());
    return points;
}

// A role view's points, from the association's middle to the class: its own, else its ends' centres.
std::vector<tLocation> RolePoints(const ClumRoleView& role) {
    const tPointVector& stored = role.vertices.Get();
    return stored.size() >= 2 ? std::vector<tLocation>(stored.begin(), stored.end()) : Ends(role);
}

std::vector<tLocation> AlongRoles(const ClumAssociationViewNew& association) {
    if (association.roleview_list.GetSize() != 2) return {};
    const ClumRoleView* first = association.roleview_list.Get(0);
    const ClumRoleView* second = association.roleview_list.Get(1);
    if (first == nullptr || second == nullptr) return {};
    std::vector<tLocation> path = RolePoints(*first);
    std::reverse(path.begin(), path.end());
    for (const tLocation& point : RolePoints(*second))
        if (path.empty() || path.back() != point) path.push_back(point);
    return path;
}

std::vector<tLocation> Route(const ClumDiagramItem& item, std::vector<tLocation> points) {
    if (points.size() >= 2) return points;
    const ClumMetaClass& c = item.GetMetaClass();
    std::vector<tLocation> route;
    if (c.IsKindOf(&ClumInteractionLine::StaticGetMetaClass())) {
        const auto& line = static_cast<const ClumInteractionLine&>(item);
        route = {line.origin.Get(), line.terminus.Get()};
    } else if (c.IsKindOf(&ClumAssociationViewNew::StaticGetMetaClass())) {
        route = AlongRoles(static_cast<const ClumAssociationViewNew&>(item));
    }
    if (route.size() < 2 && c.IsKindOf(&ClumSimpleLine::StaticGetMetaClass())) {
        route = Ends(static_cast<const ClumSimpleLine&>(item));
        if (route.size() == 2 && points.size() == 1) route.insert(route.begin() + 1, points.front());
    }
    if (route.size() >= 2) return route;
    if (points.empty()) points.push_back(item.location.Get());
    points.push_back(points.back());
    return points;
}

// Half units: a coordinate that is a whole number or a half.
std::string Halves(long long twice) {
    std::string text = std::to_string(twice / 2);
    if (twice % 2 != 0) text = (twice < 0 && twice / 2 == 0 ? "-0" : text) + ".5";
    return text;
}

}  // namespace

void tExporter::Diagram(const uml::Diagram& diagram) {
    const char* type = DiagramType(diagram.sort);
    const std::string& id = m_ids.Of(&diagram);
    m_xml.Start(type);
    m_xml.Attr("xmi:type", type);
    m_xml.Attr("xmi:id", id);
    Named(diagram);
    if (diagram.owner != nullptr && m_written.count(diagram.owner) != 0) m_xml.Attr("modelElement", m_ids.Of(diagram.owner));
    for (std::size_t i = 0; i < diagram.shown.size(); ++i) {
        const uml::Shown& shown = diagram.shown[i];
        const uml::Geometry where = shown.Where();
        const bool edge = where.points != nullptr;
        m_xml.Start("ownedElement");
        m_xml.Attr("xmi:type", edge ? "umldi:UMLEdge" : "umldi:UMLShape");
        m_xml.Attr("xmi:id", id + "-s", std::to_string(i));
        // An association written as its association class is shown as that class.
        if (shown.element != nullptr && (m_written.count(shown.element) != 0 || m_merged.count(shown.element) != 0))
            m_xml.Attr("modelElement", m_ids.Of(shown.element));
        if (edge) {
            for (const tLocation& point : Route(*shown.item, {where.points->begin(), where.points->end()})) {
                m_xml.Start("waypoint");
                m_xml.Attr("xmi:type", "dc:Point");
                m_xml.Attr("x", static_cast<long long>(point.x));
                m_xml.Attr("y", static_cast<long long>(point.y));
                m_xml.End();
            }
        } else {
            const long long width = std::max(where.width, 0), height = std::max(where.height, 0);
            m_xml.Start("bounds");
            m_xml.Attr("xmi:type", "dc:Bounds");
            m_xml.Attr("x", Halves(2LL * where.location.x - width));
            m_xml.Attr("y", Halves(2LL * where.location.y - height));
            m_xml.Attr("width", width);
            m_xml.Attr("height", height);
            m_xml.End();
        }
        m_xml.End();
    }
    m_xml.End();
}

}  // namespace lum::xmi::detail
