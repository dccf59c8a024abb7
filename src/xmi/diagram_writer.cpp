// Diagrams in the OMG flavour: UML diagram interchange (UMLDI) after the
// model. Each item that shows an element becomes a UMLShape with its
// bounds (the stored position is the symbol's centre; DC bounds are its
// top-left corner and size) or a UMLEdge with its stored points as
// waypoints, pointing to the element it shows.

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
        if (shown.element != nullptr && m_written.count(shown.element) != 0)
            m_xml.Attr("modelElement", m_ids.Of(shown.element));
        if (edge) {
            for (const tLocation& point : *where.points) {
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
