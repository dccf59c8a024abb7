#include "render/painter.h"

#include <algorithm>
#include <cmath>

namespace lum::render::detail {

namespace {

using uml::Box;
using uml::Colour;
using uml::Point;

constexpr Colour kShade = 0x7F7F7F, kBlack = 0;
constexpr double kArrowLength = 35, kArrowHalfWidth = 15;

// The shape at the end `tip` of a line arriving from `from`.
void DrawEnd(tCanvas& canvas, Point from, Point tip, uml::End end, Colour stroke) {
    const double length = std::hypot(tip.x - from.x, tip.y - from.y);
    if (end == uml::End::None || !(length > 1e-9)) return;
    const Point d{(tip.x - from.x) / length, (tip.y - from.y) / length}, n{-d.y, d.x};
    const Point back{tip.x - d.x * kArrowLength, tip.y - d.y * kArrowLength};
    const Point left{back.x + n.x * kArrowHalfWidth, back.y + n.y * kArrowHalfWidth};
    const Point right{back.x - n.x * kArrowHalfWidth, back.y - n.y * kArrowHalfWidth};
    switch (end) {
        case uml::End::OpenArrow: canvas.Polyline({left, tip, right}, stroke); break;
        case uml::End::HalfArrow: canvas.Polyline({left, tip}, stroke); break;
        case uml::End::HollowTriangle: canvas.Polygon({left, tip, right}, 0xFFFFFF, stroke); break;
        case uml::End::FilledTriangle: canvas.Polygon({left, tip, right}, stroke, stroke); break;
        default: {
            const Point far{tip.x - d.x * kArrowLength * 2, tip.y - d.y * kArrowLength * 2};
            canvas.Polygon({tip, left, far, right}, end == uml::End::FilledDiamond ? stroke : 0xFFFFFF, stroke);
        }
    }
}

// A stick figure filling the box; a business actor's has a slash by its head, a worker's two.
void StickFigure(tCanvas& canvas, const Box& box, Colour fill, Colour stroke, int slashes) {
    const double cx = box.x + box.width / 2, top = box.y, w = box.width, h = box.height;
    const double head = std::min(h * 0.34, w * 0.5), hip = top + h * 0.63, arms = top + h * 0.41;
    const Box circle{cx - head / 2, top, head, head};
    canvas.Ellipse(circle, fill, stroke);
    canvas.Polyline({{cx, top + head}, {cx, hip}}, stroke);
    canvas.Polyline({{cx - w * 0.34, arms}, {cx + w * 0.34, arms}}, stroke);
    canvas.Polyline({{box.x, box.Bottom()}, {cx, hip}, {box.Right(), box.Bottom()}}, stroke);
    for (int i = 0; i < slashes; ++i) {
        const double x = cx + head * (0.1 + 0.25 * i);
        canvas.Polyline({{x - head * 0.2, top + head * 0.55}, {x + head * 0.3, top + head * 0.05}}, stroke);
    }
}

// The boundary, control and entity icons: a circle with a mark, in the box.
void Stereotyped(tCanvas& canvas, const Box& box, uml::Shape shape, Colour fill, Colour stroke) {
    const double d = std::min(box.width * 0.7, box.height * 0.7), cy = box.y + box.height / 2;
    const double cx = shape == uml::Shape::Boundary ? box.Right() - d / 2 : box.x + box.width / 2;
    const Box circle{cx - d / 2, cy - d / 2, d, d};
    canvas.Ellipse(circle, fill, stroke);
    if (shape == uml::Shape::Boundary) {
        canvas.Polyline({{box.x, cy - d / 2}, {box.x, cy + d / 2}}, stroke);
        canvas.Polyline({{box.x, cy}, {circle.x, cy}}, stroke);
    } else if (shape == uml::Shape::Control) {
        canvas.Polyline({{cx + d * 0.15, circle.y - d * 0.15}, {cx, circle.y}, {cx + d * 0.15, circle.y + d * 0.15}}, stroke);
    } else {
        canvas.Polyline({{circle.x, circle.Bottom()}, {circle.Right(), circle.Bottom()}}, stroke);
    }
}

// A 3-D box: the front face is the body, the top and right sides fill the rest of the box.
void Node(tCanvas& canvas, const uml::Figure& figure, Colour sides) {
    const Box& box = figure.box;
    const Box& face = figure.body;
    const double l = box.x, t = box.y, r = box.Right(), b = box.Bottom(), fr = face.Right(), ft = face.y;
    canvas.Polygon({{l, ft}, {l + r - fr, t}, {r, t}, {fr, ft}}, sides, figure.stroke);
    canvas.Polygon({{fr, ft}, {r, t}, {r, b - (ft - t)}, {fr, b}}, sides, figure.stroke);
    canvas.Rect(face, figure.fill, figure.stroke);
}

// A component: the body and two tabs straddling its left edge, in the proportions of the tool's icon.
void Component(tCanvas& canvas, const uml::Figure& figure) {
    const Box& box = figure.box;
    canvas.Rect(figure.body, figure.fill, figure.stroke);
    for (const double at : {0.2, 0.59})
        canvas.Rect({box.x + 3, box.y + box.height * at, box.width * 0.275, box.height * 0.185}, figure.fill, figure.stroke);
}

void Shape(tCanvas& canvas, const uml::Figure& figure) {
    const Box& box = figure.box;
    const Colour fill = figure.fill, stroke = figure.stroke;
    switch (figure.shape) {
        case uml::Shape::Box:
        case uml::Shape::Class:
        case uml::Shape::Object:
        case uml::Shape::Focus: canvas.Rect(box, fill, stroke); break;
        case uml::Shape::MultiObject:
            canvas.Rect({box.x + 12, box.y - 12, box.width, box.height}, fill, stroke);
            canvas.Rect(box, fill, stroke);
            break;
        case uml::Shape::Actor: StickFigure(canvas, box, fill, stroke, 0); break;
        case uml::Shape::BusinessActor: StickFigure(canvas, box, fill, stroke, 1); break;
        case uml::Shape::BusinessWorker: StickFigure(canvas, box, fill, stroke, 2); break;
        case uml::Shape::Boundary:
        case uml::Shape::Control:
        case uml::Shape::Entity: Stereotyped(canvas, box, figure.shape, fill, stroke); break;
        case uml::Shape::UseCase:
        case uml::Shape::Interface: canvas.Ellipse(box, fill, stroke); break;
        case uml::Shape::BusinessUseCase:
            canvas.Ellipse(box, fill, stroke);
            canvas.Polyline({{box.x + box.width * 0.75, box.y + box.height * 0.1}, {box.x + box.width * 0.9, box.y + box.height * 0.4}}, stroke);
            break;
        case uml::Shape::Note: {
            const double fold = std::min({box.width, box.height, 30.0});
            canvas.Polygon({{box.x, box.y}, {box.Right() - fold, box.y}, {box.Right(), box.y + fold}, {box.Right(), box.Bottom()}, {box.x, box.Bottom()}},
                           fill, stroke);
            canvas.Polyline({{box.Right() - fold, box.y}, {box.Right() - fold, box.y + fold}, {box.Right(), box.y + fold}}, stroke);
            break;
        }
        case uml::Shape::Package:
        case uml::Shape::Subsystem:
            canvas.Rect({box.x, box.y, box.width * 0.4, figure.body.y - box.y}, fill, stroke);
            canvas.Rect(figure.body, fill, stroke);
            if (figure.shape == uml::Shape::Subsystem) {
                const double x = box.Right() - 40, y = figure.body.y + 15;
                canvas.Polyline({{x, y + 20}, {x, y}, {x + 20, y}, {x + 20, y + 20}}, stroke);
                canvas.Polyline({{x + 10, y}, {x + 10, y - 10}}, stroke);
            }
            break;
        case uml::Shape::State: canvas.Rect(box, fill, stroke, std::min(box.height / 4, 18.0)); break;
        case uml::Shape::Activity: canvas.Rect(box, fill, stroke, box.height / 2); break;
        case uml::Shape::Initial: canvas.Ellipse(box, fill, stroke); break;
        case uml::Shape::Final: {
            canvas.Ellipse(box, 0xFFFFFF, stroke);
            const double inset = std::min(12.0, std::min(box.width, box.height) * 0.2);
            canvas.Ellipse({box.x + inset, box.y + inset, box.width - 2 * inset, box.height - 2 * inset}, fill, stroke);
            break;
        }
        case uml::Shape::History: canvas.Ellipse(box, fill, stroke); break;
        case uml::Shape::Decision: {
            const Point c = box.Centre();
            canvas.Polygon({{c.x, box.y}, {box.Right(), c.y}, {c.x, box.Bottom()}, {box.x, c.y}}, fill, stroke);
            break;
        }
        case uml::Shape::SyncBar: canvas.Rect(box, fill, stroke); break;
        case uml::Shape::Swimlane:
            canvas.Rect(figure.body, fill, uml::kNoColour);
            canvas.Polyline({{box.Right(), figure.body.Bottom()}, {box.Right(), box.Bottom()}}, stroke);
            break;
        case uml::Shape::Lifeline:
            canvas.Polyline({{box.x + box.width / 2, figure.body.Bottom()}, {box.x + box.width / 2, box.Bottom()}}, kBlack, uml::Dash::Dashed);
            canvas.Rect(figure.body, fill, stroke);
            break;
        case uml::Shape::Component: Component(canvas, figure); break;
        case uml::Shape::MainProgram:
            canvas.Rect(box, fill, stroke);
            canvas.Rect({box.x, box.y, box.width, box.height * 0.135}, kShade, stroke);
            break;
        case uml::Shape::Subprogram: {
            const double cap = std::min(box.height / 6, 40.0);
            canvas.Polygon({{box.x, box.y + cap}, {box.x + box.width / 2, box.y}, {box.Right(), box.y + cap}, {box.Right(), box.Bottom()}, {box.x, box.Bottom()}},
                           fill, stroke);
            break;
        }
        case uml::Shape::PackageSpec:
        case uml::Shape::PackageBody: {
            const double cut = std::min(box.height / 6, 40.0);
            canvas.Polygon({{box.x + cut, box.y}, {box.Right() - cut, box.y}, {box.Right(), box.y + cut}, {box.Right(), box.Bottom()}, {box.x, box.Bottom()}, {box.x, box.y + cut}},
                           fill, stroke);
            if (figure.shape == uml::Shape::PackageBody) canvas.Polyline({{box.x, box.y + cut * 2}, {box.Right(), box.y + cut * 2}}, stroke);
            break;
        }
        case uml::Shape::Task: {
            const double slant = std::min(box.width / 8, 30.0);
            canvas.Polygon({{box.x + slant, box.y}, {box.Right(), box.y}, {box.Right() - slant, box.Bottom()}, {box.x, box.Bottom()}}, fill, stroke);
            break;
        }
        case uml::Shape::Processor: Node(canvas, figure, kShade); break;
        case uml::Shape::Device: Node(canvas, figure, fill); break;
        case uml::Shape::Destruction:
            canvas.Polyline({{box.x, box.y}, {box.Right(), box.Bottom()}}, stroke);
            canvas.Polyline({{box.x, box.Bottom()}, {box.Right(), box.y}}, stroke);
            break;
        case uml::Shape::Line:
            canvas.Polyline(figure.route, stroke, figure.dash);
            if (figure.route.size() >= 2) {
                DrawEnd(canvas, figure.route[figure.route.size() - 2], figure.route.back(), figure.targetEnd, stroke);
                DrawEnd(canvas, figure.route[1], figure.route.front(), figure.sourceEnd, stroke);
            }
            break;
        case uml::Shape::Text: break;
    }
}

}  // namespace

void Paint(const uml::DiagramLayout& layout, tCanvas& canvas) {
    for (const uml::Figure& figure : layout.figures) {
        canvas.Begin(*figure.item);
        Shape(canvas, figure);
        for (const uml::Rule& rule : figure.rules) canvas.Polyline({rule.from, rule.to}, figure.stroke);
        for (const uml::TextBlock& text : figure.texts) canvas.Text(text);
        canvas.End();
    }
}

}  // namespace lum::render::detail
