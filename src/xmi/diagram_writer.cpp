// Diagrams in the OMG flavour: UML diagram interchange (UMLDI) after the
// model, from the diagram layout, the one reading of a stored diagram that
// the pictures use too. Each figure becomes a UMLShape with the bounds of
// its outline, or for a line a UMLEdge with its route as waypoints (two or
// more, its ends on the borders of what it joins), pointing to the element
// it shows. Coordinates are the file's drawing units.

#include <charconv>
#include <cmath>

#include "lum/uml/layout.h"
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

// A coordinate to a hundredth of a unit, without trailing zeros ("12", "-3.5").
std::string Units(double value) {
    double rounded = std::round(value * 100) / 100;
    if (rounded == 0) rounded = 0;  // no "-0"
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 2).ptr;
    std::string text(buffer, end);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
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
    const uml::DiagramLayout layout = uml::DiagramLayout::Of(diagram);
    for (std::size_t i = 0; i < layout.figures.size(); ++i) {
        const uml::Figure& figure = layout.figures[i];
        m_xml.Start("ownedElement");
        m_xml.Attr("xmi:type", figure.IsLine() ? "umldi:UMLEdge" : "umldi:UMLShape");
        m_xml.Attr("xmi:id", id + "-s", std::to_string(i));
        // An association written as its association class is shown as that class.
        if (figure.element != nullptr && (m_written.count(figure.element) != 0 || m_merged.count(figure.element) != 0))
            m_xml.Attr("modelElement", m_ids.Of(figure.element));
        if (figure.IsLine()) {
            for (const uml::Point& point : figure.route) {
                m_xml.Start("waypoint");
                m_xml.Attr("xmi:type", "dc:Point");
                m_xml.Attr("x", Units(point.x));
                m_xml.Attr("y", Units(point.y));
                m_xml.End();
            }
        } else {
            m_xml.Start("bounds");
            m_xml.Attr("xmi:type", "dc:Bounds");
            m_xml.Attr("x", Units(figure.box.x));
            m_xml.Attr("y", Units(figure.box.y));
            m_xml.Attr("width", Units(figure.box.width));
            m_xml.Attr("height", Units(figure.box.height));
            m_xml.End();
        }
        m_xml.End();
    }
    m_xml.End();
}

}  // namespace lum::xmi::detail
