// Diagrams in the OMG flavour: UML diagram interchange (UMLDI) after the
// model. Each item that shows an element becomes a UMLShape with its
// bounds (the stored position is the symbol's centre; DC bounds are its
// top-left corner and size) or a UMLEdge with its stored points as
// waypoints, pointing to the element it shows. Two kinds of line keep their
// points elsewhere: a message of an interaction diagram runs from its origin
// to its terminus, and an association runs along its two role views (each
// from the association's middle to its class).

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

std::vector<tLocation> StoredElsewhere(const ClumDiagramItem& item, std::vector<tLocation> points) {
    const ClumMetaClass& c = item.GetMetaClass();
    if (c.IsKindOf(&ClumInteractionLine::StaticGetMetaClass())) {
        const auto& line = static_cast<const ClumInteractionLine&>(item);
        return {line.origin.Get(), line.terminus.Get()};
    }
    if (!c.IsKindOf(&ClumAssociationViewNew::StaticGetMetaClass())) return points;
    const auto& association = static_cast<const ClumAssociationViewNew&>(item);
    if (association.roleview_list.GetSize() != 2) return points;
    const ClumRoleView* first = association.roleview_list.Get(0);
    const ClumRoleView* second = association.roleview_list.Get(1);
    if (first == nullptr || second == nullptr) return points;
    std::vector<tLocation> path(first->vertices.Get().rbegin(), first->vertices.Get().rend());
    for (const tLocation& point : second->vertices.Get())
        if (path.empty() || path.back() != point) path.push_back(point);
    return path.size() >= 2 ? path : points;
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
            std::vector<tLocation> points(where.points->begin(), where.points->end());
            if (points.size() < 2 && shown.item != nullptr) points = StoredElsewhere(*shown.item, points);
            for (const tLocation& point : points) {
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
