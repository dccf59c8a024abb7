#include "lum/render/svg.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "lum/text/markup.h"
#include "lum/uml/presentation.h"
#include "render/canvas.h"
#include "render/painter.h"

namespace lum::render {

namespace {

// The picture's size in pixels at 96 to the inch (a drawing unit is 1/300
// inch), at most this many on its larger side: bigger diagrams are scaled
// down through the view box, so that a viewer does not allocate gigabytes.
constexpr double kPixelsPerUnit = 96.0 / 300.0;
constexpr double kMaxPixels = 8000;
constexpr double kMargin = 60;
// Lines one pixel wide at that size.
constexpr double kStrokeWidth = 3;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

}  // namespace

bool WriteSvg(const uml::Diagram& diagram, std::ostream& out, const uml::LayoutOptions& options) {
    const uml::DiagramLayout layout = uml::DiagramLayout::Of(diagram, options);
    detail::tCanvas canvas;
    detail::Paint(layout, canvas);
    const uml::Box& bounds = layout.bounds;
    const double minX = bounds.x - kMargin, minY = bounds.y - kMargin;
    const double width = bounds.width + 2 * kMargin, height = bounds.height + 2 * kMargin;
    const double scale = std::min(kPixelsPerUnit, kMaxPixels / std::max(width, height));
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << Number(std::max(1.0, width * scale))
        << "\" height=\"" << Number(std::max(1.0, height * scale)) << "\" viewBox=\"" << Number(minX) << ' '
        << Number(minY) << ' ' << Number(width) << ' ' << Number(height) << "\" stroke-width=\"" << Number(kStrokeWidth)
        << "\" data-kind=\"" << uml::DiagramKindName(diagram.sort) << "\">\n"
        << "<title>" << Markup(uml::QualifiedName(diagram)) << "</title>\n"
        << "<rect x=\"" << Number(minX) << "\" y=\"" << Number(minY) << "\" width=\"" << Number(width)
        << "\" height=\"" << Number(height) << "\" fill=\"#ffffff\" stroke=\"none\"/>\n"
        << canvas.Body() << "</svg>\n";
    return static_cast<bool>(out.flush());
}

std::string RenderSvg(const uml::Diagram& diagram, const uml::LayoutOptions& options) {
    std::ostringstream out;
    WriteSvg(diagram, out, options);
    return out.str();
}

std::size_t ViewCount(const uml::Diagram& diagram) {
    const auto& raw = static_cast<const ClumDiagram&>(*diagram.raw);
    std::size_t count = 0;
    for (int i = 0; i < raw.items.GetSize(); ++i) {
        const ClumDiagramItem* item = raw.items.Get(i);
        if (item == nullptr) continue;
        ++count;
        if (item->GetMetaClass().IsKindOf(&ClumAssociationViewNew::StaticGetMetaClass()))
            count += static_cast<std::size_t>(static_cast<const ClumAssociationViewNew*>(item)->roleview_list.GetSize());
        if (item->GetMetaClass().IsKindOf(&ClumInterObjView::StaticGetMetaClass()))
            count += static_cast<std::size_t>(static_cast<const ClumInterObjView*>(item)->Focus_Of_Control.GetSize());
    }
    return count;
}

}  // namespace lum::render
