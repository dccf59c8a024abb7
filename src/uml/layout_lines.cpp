// Lines: their routes through the stored points, the ends moved onto the
// outlines of what they join; a line from a symbol to itself a loop; end
// decorations and dashes by kind; labels where stored.

#include <algorithm>
#include <cmath>

#include "uml/layout_builder.h"

namespace lum::uml::detail {

namespace {

constexpr double kEpsilon = 1e-9;
constexpr int kLoopSegments = 12;
// How far outside a figure's box a stored line end may lie and still be taken as on it.
constexpr double kTolerance = 3;

enum class tOutline { Rectangle, Ellipse, Diamond };

tOutline OutlineOf(Shape shape) {
    switch (shape) {
        case Shape::UseCase:
        case Shape::BusinessUseCase:
        case Shape::Interface:
        case Shape::Initial:
        case Shape::Final:
        case Shape::History: return tOutline::Ellipse;
        case Shape::Decision: return tOutline::Diamond;
        default: return tOutline::Rectangle;
    }
}

// The smallest t > 0 where a + t·d crosses the segment p–q, if smaller than `best`.
void CrossSegment(Point a, Point d, Point p, Point q, double& best) {
    const Point e{q.x - p.x, q.y - p.y};
    const double denominator = d.x * e.y - d.y * e.x;
    if (std::abs(denominator) < kEpsilon) return;
    const Point w{p.x - a.x, p.y - a.y};
    const double t = (w.x * e.y - w.y * e.x) / denominator, s = (w.x * d.y - w.y * d.x) / denominator;
    if (t > kEpsilon && s >= -kEpsilon && s <= 1 + kEpsilon && t < best) best = t;
}

Point At(const tLocation& location) { return {Far(location.x), Far(location.y)}; }

// A half ellipse from `from` over `top` to `to`: a loop of a symbol to itself.
std::vector<Point> Loop(Point from, Point to, double top) {
    const Point centre{(from.x + to.x) / 2, (from.y + to.y) / 2};
    const double rx = (to.x - from.x) / 2, ry = centre.y - top;
    std::vector<Point> points;
    for (int i = 0; i <= kLoopSegments; ++i) {
        const double angle = M_PI * (1.0 - static_cast<double>(i) / kLoopSegments);
        points.push_back({centre.x + rx * std::cos(angle), centre.y - ry * std::sin(angle)});
    }
    points.front() = from;
    points.back() = to;
    return points;
}

// Where lines end on a figure: its box; on a node's 3-D box, halfway into its depth.
Box ClipBox(const Figure& figure) {
    if (figure.shape != Shape::Processor && figure.shape != Shape::Device) return figure.box;
    const Box& box = figure.box;
    const double dx = (box.width - figure.body.width) / 2, dy = (figure.body.y - box.y) / 2;
    return {box.x, box.y + dy, box.width - dx, box.height - dy};
}

void Bound(Figure& figure) {
    if (figure.route.empty()) return;
    double left = figure.route[0].x, top = figure.route[0].y, right = left, bottom = top;
    for (const Point& point : figure.route) {
        left = std::min(left, point.x);
        right = std::max(right, point.x);
        top = std::min(top, point.y);
        bottom = std::max(bottom, point.y);
    }
    figure.box = figure.body = {left, top, right - left, bottom - top};
}

bool Inside(const Figure& figure, Point point) {
    const Box box = ClipBox(figure);
    if (!(box.width > 0 && box.height > 0)) return false;
    const Point centre = box.Centre();
    const double dx = (point.x - centre.x) / (box.width / 2), dy = (point.y - centre.y) / (box.height / 2);
    switch (OutlineOf(figure.shape)) {
        case tOutline::Ellipse: return dx * dx + dy * dy < 1;
        case tOutline::Diamond: return std::abs(dx) + std::abs(dy) < 1;
        default: return std::abs(dx) < 1 && std::abs(dy) < 1;
    }
}

// The point where the ray from `from` through `towards` first meets the
// outline of a figure's shape (rectangle, ellipse or diamond of its box);
// false when it misses.
bool OnOutline(const Figure& figure, Point from, Point towards, Point& meet) {
    const Box box = ClipBox(figure);
    const Point d{towards.x - from.x, towards.y - from.y};
    if (!(box.width > 0 && box.height > 0) || std::hypot(d.x, d.y) < kEpsilon) return false;
    const Point c = box.Centre();
    double best = INFINITY;
    switch (OutlineOf(figure.shape)) {
        case tOutline::Ellipse: {
            // (x - cx)²/rx² + (y - cy)²/ry² = 1 along from + t·d.
            const double rx = box.width / 2, ry = box.height / 2;
            const double px = (from.x - c.x) / rx, py = (from.y - c.y) / ry, qx = d.x / rx, qy = d.y / ry;
            const double a = qx * qx + qy * qy, b = 2 * (px * qx + py * qy), cc = px * px + py * py - 1;
            const double discriminant = b * b - 4 * a * cc;
            if (discriminant < 0) return false;
            for (const double t : {(-b - std::sqrt(discriminant)) / (2 * a), (-b + std::sqrt(discriminant)) / (2 * a)})
                if (t > kEpsilon && t < best) best = t;
            break;
        }
        case tOutline::Diamond: {
            const Point n{c.x, box.y}, e{box.Right(), c.y}, s{c.x, box.Bottom()}, w{box.x, c.y};
            CrossSegment(from, d, n, e, best);
            CrossSegment(from, d, e, s, best);
            CrossSegment(from, d, s, w, best);
            CrossSegment(from, d, w, n, best);
            break;
        }
        default: {
            const Point tl{box.x, box.y}, tr{box.Right(), box.y}, br{box.Right(), box.Bottom()}, bl{box.x, box.Bottom()};
            CrossSegment(from, d, tl, tr, best);
            CrossSegment(from, d, tr, br, best);
            CrossSegment(from, d, br, bl, best);
            CrossSegment(from, d, bl, tl, best);
        }
    }
    if (!std::isfinite(best)) return false;
    meet = {from.x + best * d.x, from.y + best * d.y};
    return true;
}

}  // namespace

std::vector<Point> tLayoutBuilder::Route(const ClumLine& line, int source, int target) const {
    const Figure* from = source >= 0 ? &m_layout.figures[static_cast<std::size_t>(source)] : nullptr;
    const Figure* to = target >= 0 ? &m_layout.figures[static_cast<std::size_t>(target)] : nullptr;
    std::vector<Point> points;
    for (const tLocation& at : line.vertices.Get()) points.push_back(At(at));
    // A line of a symbol to itself: a loop from its first point over its location to its last.
    if (from != nullptr && from == to && points.size() == 2 && !from->IsLine()) {
        const double top = std::min(Far(line.location.Get().y), std::min(points[0].y, points[1].y) - 60);
        return Loop(points[0], points[1], top);
    }
    if (points.size() < 2) {
        points.clear();
        for (const Figure* end : {from, to})
            if (end != nullptr) points.push_back(end->box.Centre());
        if (points.size() < 2) return points;
    }
    // Points inside an end's outline, before the one where the line leaves it, are left out.
    std::size_t first = 0, last = points.size() - 1;
    if (from != nullptr && !from->IsLine())
        while (first + 1 < last && Inside(*from, points[first + 1])) ++first;
    if (to != nullptr && !to->IsLine())
        while (last > first + 1 && Inside(*to, points[last - 1])) --last;
    points = std::vector<Point>(points.begin() + static_cast<std::ptrdiff_t>(first), points.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    // An end on or in the figure's box moves onto its outline; one the file
    // stores further out stays (the tool ends lines at an icon's name too).
    auto onto = [&](const Figure* figure, Point next, Point& end) {
        if (figure == nullptr || figure->IsLine() || from == to) return;
        const Box& box = figure->box;
        if (end.x >= box.x - kTolerance && end.x <= box.Right() + kTolerance && end.y >= box.y - kTolerance &&
            end.y <= box.Bottom() + kTolerance)
            OnOutline(*figure, next, end, end);
    };
    onto(from, points[1], points[0]);
    onto(to, points[points.size() - 2], points.back());
    return points;
}

void tLayoutBuilder::Line(int index, const ClumLine& line) {
    Figure& figure = m_layout.figures[static_cast<std::size_t>(index)];
    if (const auto* messages = AsRaw<ClumMessView>(&line)) {
        CollaborationMessages(figure, *messages);
        return Finish(figure);
    }
    if (const auto* message = AsRaw<ClumInteractionLine>(&line)) {
        MessageLine(figure, *message);
        return Finish(figure);
    }
    if (const auto* simple = AsRaw<ClumSimpleLine>(&line)) {
        figure.source = IndexOf(simple->client.GetTarget(-1));
        figure.target = IndexOf(simple->supplier.GetTarget(-1));
    }
    // A generalization drawn into a tree ends on the tree's bar, level with the tree's foot.
    const auto* branch = AsRaw<ClumInheritView>(&line);
    const int tree = branch != nullptr ? IndexOf(branch->drawSupplier.GetTarget(-1)) : -1;
    if (tree >= 0) figure.target = tree;
    figure.route = Route(line, figure.source, figure.target);
    const auto* bar = tree >= 0 ? AsRaw<ClumLine>(m_layout.figures[static_cast<std::size_t>(tree)].item) : nullptr;
    if (bar != nullptr) {
        const tPointVector& trunk = bar->vertices.Get();
        if (!trunk.empty() && !figure.route.empty() && std::abs(figure.route.back().x - Far(trunk.front().x)) > kEpsilon)
            figure.route.push_back({Far(trunk.front().x), figure.route.back().y});
    }
    const auto* relationship = As<Relationship>(figure.element);
    std::string text = NameOf(figure.element), keyword;
    if (AsRaw<ClumInheritView>(&line) || AsRaw<ClumInheritTreeView>(&line)) {
        figure.targetEnd = End::HollowTriangle;
    } else if (AsRaw<ClumRealizeView>(&line)) {
        figure.targetEnd = End::HollowTriangle;
        figure.dash = Dash::Dashed;
    } else if (AsRaw<ClumDependencyView>(&line) || AsRaw<ClumInstantiateView>(&line)) {
        figure.targetEnd = End::OpenArrow;
        figure.dash = Dash::Dashed;
        if (relationship != nullptr) keyword = StereotypeText(ShownText(relationship->Stereotype()));
    } else if (AsRaw<ClumAttachView>(&line) || AsRaw<ClumAssocAttachView>(&line) || AsRaw<ClumAssocConstraintView>(&line)) {
        figure.dash = Dash::Dotted;
    } else if (const auto* transition = As<Transition>(figure.element)) {
        figure.targetEnd = End::OpenArrow;
        text = TransitionText(*transition);
    } else if (AsRaw<ClumTransView>(&line)) {
        figure.targetEnd = End::OpenArrow;
    } else if (AsRaw<ClumObject_Flow_View>(&line)) {
        figure.targetEnd = End::OpenArrow;
        figure.dash = Dash::Dashed;
    } else if (AsRaw<ClumAssociationViewNew>(&line) != nullptr && figure.route.size() < 2) {
        // An association is drawn by its roles (the figures after it): its own route runs along the first two.
        figure.route.clear();
        for (std::size_t r = static_cast<std::size_t>(index) + 1; r < m_layout.figures.size() && m_layout.figures[r].parent == index; ++r) {
            const std::vector<Point>& half = m_layout.figures[r].route;
            if (figure.route.empty()) figure.route.assign(half.rbegin(), half.rend());
            else if (!half.empty()) figure.route.insert(figure.route.end(), half.begin() + 1, half.end());
            if (r > static_cast<std::size_t>(index) + 1) break;
        }
    }
    Labels(figure, line, text, keyword);
    Finish(figure);
}

// An association end: the line from the association's middle to the class;
// the diamond of a whole at its class where the other end says the class
// holds it, an arrow where only this end is navigable; its labels where
// stored, else its name and multiplicity by the class.
void tLayoutBuilder::Role(int index, const ClumRoleView& role) {
    Figure& figure = m_layout.figures[static_cast<std::size_t>(index)];
    figure.source = figure.parent;
    figure.target = IndexOf(role.supplier.GetTarget(-1));
    figure.route = Route(role, -1, figure.target);
    // A role without points runs from its association's place to its class.
    if (role.vertices.Get().size() < 2 && figure.target >= 0) {
        const Figure& type = m_layout.figures[static_cast<std::size_t>(figure.target)];
        const Point from = At(m_layout.figures[static_cast<std::size_t>(figure.parent)].item->location.Get());
        Point end = type.box.Centre();
        OnOutline(type, from, end, end);
        figure.route = {from, end};
    }
    const auto* end = As<AssociationEnd>(figure.element);
    const AssociationEnd* other = nullptr;
    if (end != nullptr && end->owner != nullptr)
        for (const AssociationEnd* sibling : end->owner->Members<AssociationEnd>())
            if (sibling != end) other = sibling;
    if (other != nullptr && other->aggregation != Aggregation::None)
        figure.targetEnd = other->aggregation == Aggregation::Composite ? End::FilledDiamond : End::HollowDiamond;
    else if (end != nullptr && end->isNavigable && (other == nullptr || !other->isNavigable))
        figure.targetEnd = End::OpenArrow;
    const TextFont font = FontOf(role);
    for (int i = 0; i < role.label.GetSize(); ++i)
        if (const ClumSegLabel* label = role.label.Get(i); label != nullptr && !label->hidden.Get())
            figure.texts.push_back(PlaceLabel(*label, ShownText(label->label.Get()), i == 0 ? TextRole::Role : TextRole::Multiplicity, font));
    if (figure.texts.empty() && end != nullptr && figure.route.size() >= 2) {
        const Point tip = figure.route.back(), back = figure.route[figure.route.size() - 2];
        const double length = std::hypot(tip.x - back.x, tip.y - back.y);
        if (length > kEpsilon) {
            const double step = std::min(length / 2, 80.0);
            const Point base{tip.x + (back.x - tip.x) / length * step, tip.y + (back.y - tip.y) / length * step};
            const double line = LineSpacing(font);
            for (const auto& [text, role] : {std::pair{NameOf(end), TextRole::Role}, std::pair{ShownText(end->multiplicity.text), TextRole::Multiplicity}}) {
                if (text.empty()) continue;
                const double width = ScreenWidth(text, font);
                const double top = role == TextRole::Role ? base.y - line - 8 : base.y + 8;
                figure.texts.push_back(SetLines({text}, font, role, Align::Centre, base.x - width / 2, top, width));
            }
        }
    }
    Finish(figure);
}

// The line's stored name label with `name` (its own text where that is
// empty) and its stored stereotype label with `keyword`; neither stored: the
// keyword, else the name, above the middle of the route.
void tLayoutBuilder::Labels(Figure& figure, const ClumDiagramItem& item, const std::string& name, const std::string& keyword) {
    const TextFont font = FontOf(item);
    bool placed = false;
    for (const bool stereotype : {false, true}) {
        const ClumLabel* label = LabelOf(item, stereotype);
        const auto* segment = AsRaw<ClumSegLabel>(label);
        if (label == nullptr || (segment != nullptr && segment->hidden.Get())) continue;
        std::string text = stereotype ? keyword : name;
        if (text.empty()) text = stereotype ? StereotypeText(ShownText(label->label.Get())) : ShownText(label->label.Get());
        figure.texts.push_back(PlaceLabel(*label, text, stereotype ? TextRole::Stereotype : TextRole::Label, font));
        placed = true;
    }
    const std::string& text = keyword.empty() ? name : keyword;
    if (placed || text.empty() || figure.route.size() < 2) return;
    const std::size_t i = (figure.route.size() - 1) / 2;
    const Point middle{(figure.route[i].x + figure.route[i + 1].x) / 2, (figure.route[i].y + figure.route[i + 1].y) / 2};
    const double width = ScreenWidth(text, font), line = LineSpacing(font);
    figure.texts.push_back(SetLines({text}, font, keyword.empty() ? TextRole::Label : TextRole::Stereotype, Align::Centre,
                                    middle.x - width / 2, middle.y - line, width));
}

// A line with fewer than two points is its one point, or its location, twice.
void tLayoutBuilder::Finish(Figure& figure) {
    if (figure.route.size() < 2) {
        const Point point = figure.route.empty() ? At(figure.item->location.Get()) : figure.route.front();
        figure.route = {point, point};
    }
    Bound(figure);
}

}  // namespace lum::uml::detail
