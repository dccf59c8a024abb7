// The diagram layout's driver: one figure per view in the stored order,
// symbols first, then lines, swimlanes, containment and the bounds.

#include <algorithm>

#include "uml/layout_builder.h"

namespace lum::uml {

const char* ShapeName(Shape shape) {
    static const char* const kNames[] = {
        "box",        "class",       "interface",   "actor",       "use case",      "note",           "package",
        "subsystem",  "state",       "initial",     "final",       "history",       "activity",       "decision",
        "sync bar",   "swimlane",    "object",      "multi-object", "lifeline",     "focus",          "component",
        "main program", "subprogram", "package specification", "package body", "task",        "processor",      "device",
        "boundary",   "control",     "entity",      "business actor", "business worker", "business use case", "text",
        "destruction", "line"};
    const auto at = static_cast<std::size_t>(shape);
    return at < std::size(kNames) ? kNames[at] : "?";
}

DiagramLayout DiagramLayout::Of(const Diagram& diagram, const LayoutOptions& options) {
    return detail::tLayoutBuilder(diagram, options).Run();
}

namespace detail {

namespace {

// Where nothing is stored (or black, which a file cannot tell from nothing): white fills and black lines.
constexpr Colour kFill = 0xFFFFFF, kStroke = 0;

// A stored colour is 0x00BBGGRR.
template <class Attribute>
Colour StoredColour(const Attribute& colour, Colour fallback) {
    if (colour.IsEmpty()) return fallback;
    const auto bgr = static_cast<std::uint32_t>(colour.Get());
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

void Cover(Box& bounds, bool& any, const Box& box) {
    if (!(box.width >= 0 && box.height >= 0)) return;
    if (!any) {
        bounds = box;
        any = true;
        return;
    }
    const double right = std::max(bounds.Right(), box.Right()), bottom = std::max(bounds.Bottom(), box.Bottom());
    bounds.x = std::min(bounds.x, box.x);
    bounds.y = std::min(bounds.y, box.y);
    bounds.width = right - bounds.x;
    bounds.height = bottom - bounds.y;
}

// A box cut to ±kFarUnits.
void Confine(Box& box) {
    const double left = std::clamp(box.x, -kFarUnits, kFarUnits), top = std::clamp(box.y, -kFarUnits, kFarUnits);
    box = {left, top, std::clamp(box.Right(), left, kFarUnits) - left, std::clamp(box.Bottom(), top, kFarUnits) - top};
}

bool Within(const Box& inner, const Box& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom();
}

}  // namespace

tLayoutBuilder::tLayoutBuilder(const Diagram& diagram, const LayoutOptions& options)
    : m_diagram(diagram), m_options(options) {
    for (const Shown& shown : diagram.shown)
        if (shown.item != nullptr) m_shown.emplace(shown.item, shown.element);
}

DiagramLayout tLayoutBuilder::Run() {
    const auto* raw = AsRaw<ClumDiagram>(m_diagram.raw);
    if (raw == nullptr) return {};
    // Figures are held by reference while they are laid out: room for all is made first.
    std::size_t count = 0;
    for (int i = 0; i < raw->items.GetSize(); ++i) {
        const ClumDiagramItem* item = raw->items.Get(i);
        if (item == nullptr) continue;
        ++count;
        if (const auto* association = AsRaw<ClumAssociationViewNew>(item))
            count += static_cast<std::size_t>(association->roleview_list.GetSize());
        if (const auto* object = AsRaw<ClumInterObjView>(item))
            count += static_cast<std::size_t>(object->Focus_Of_Control.GetSize());
    }
    m_layout.figures.reserve(count);
    std::vector<std::pair<int, const ClumLine*>> lines;
    for (int i = 0; i < raw->items.GetSize(); ++i) {
        const ClumDiagramItem* item = raw->items.Get(i);
        if (item == nullptr) continue;
        if (const auto* symbol = AsRaw<ClumSymbol>(item)) {
            Symbol(Add(*item, Shape::Box), *symbol);
        } else if (const auto* line = AsRaw<ClumLine>(item)) {
            // An association's roles are laid out before it: its route runs along theirs.
            const int index = Add(*item, Shape::Line);
            if (const auto* association = AsRaw<ClumAssociationViewNew>(item))
                for (int r = 0; r < association->roleview_list.GetSize(); ++r)
                    if (const ClumRoleView* role = association->roleview_list.Get(r))
                        lines.emplace_back(Add(*role, Shape::Line, index), role);
            lines.emplace_back(index, line);
        } else if (AsRaw<ClumDestruction_Marker>(item)) {
            Figure& figure = m_layout.figures[static_cast<std::size_t>(Add(*item, Shape::Destruction))];
            const tLocation at = item->location.Get();
            figure.box = figure.body = {Far(at.x) - 20, Far(at.y) - 20, 40, 40};
        } else {
            // A label, compartment or other item standing alone: its text where stored.
            Figure& figure = m_layout.figures[static_cast<std::size_t>(Add(*item, Shape::Text))];
            if (const ClumLabel* label = LabelOf(*item)) {
                figure.texts.push_back(PlaceLabel(*label, ShownText(label->label.Get()), TextRole::Label, FontOf(*item)));
                figure.box = figure.body = figure.texts.back().box;
            } else {
                const tLocation at = item->location.Get();
                figure.box = figure.body = {Far(at.x), Far(at.y), 0, 0};
            }
        }
    }
    for (const auto& [index, line] : lines) {
        if (const auto* role = AsRaw<ClumRoleView>(line)) Role(index, *role);
        else Line(index, *line);
    }
    Swimlanes();
    Nest();
    Bounds();
    return std::move(m_layout);
}

int tLayoutBuilder::Add(const ClumDiagramItem& item, Shape shape, int parent) {
    Figure figure;
    figure.item = &item;
    figure.element = ElementOf(item);
    figure.shape = shape;
    figure.parent = parent;
    const bool line = shape == Shape::Line;
    figure.stroke = StoredColour(item.line_color, kStroke);
    figure.fill = line || shape == Shape::Text ? kNoColour : StoredColour(item.fill_color, kFill);
    m_layout.figures.push_back(std::move(figure));
    const int index = static_cast<int>(m_layout.figures.size()) - 1;
    m_index.emplace(&item, index);
    return index;
}

const Element* tLayoutBuilder::ElementOf(const ClumDiagramItem& item) const {
    const auto found = m_shown.find(&item);
    return found == m_shown.end() ? nullptr : found->second;
}

int tLayoutBuilder::IndexOf(const ClumVellumEntity* item) const {
    const auto found = m_index.find(item);
    return item == nullptr || found == m_index.end() ? -1 : found->second;
}

Box tLayoutBuilder::StoredBox(const ClumSymbol& symbol, double width, double height) const {
    const tLocation at = symbol.location.Get();
    if (symbol.width.Get() > 0) width = std::min<double>(symbol.width.Get(), kFarUnits);
    if (symbol.height.Get() > 0) height = std::min<double>(symbol.height.Get(), kFarUnits);
    return {Far(at.x) - width / 2, Far(at.y) - height / 2, width, height};
}

void tLayoutBuilder::Symbol(int index, const ClumSymbol& symbol) {
    Figure& figure = m_layout.figures[static_cast<std::size_t>(index)];
    if (AsRaw<ClumNoteView>(&symbol)) NoteView(figure, symbol);
    else if (const auto* view = AsRaw<ClumClassView>(&symbol)) ClassView(figure, *view);
    else if (AsRaw<ClumCategoryView>(&symbol) || AsRaw<ClumSubSysView>(&symbol)) PackageView(figure, symbol);
    else if (AsRaw<ClumUseCaseView>(&symbol)) UseCaseView(figure, symbol);
    else if (AsRaw<ClumSwimlane>(&symbol) || AsRaw<ClumTierView>(&symbol)) figure.shape = Shape::Swimlane;
    else if (const auto* object = AsRaw<ClumInterObjView>(&symbol)) LifelineView(index, *object);
    else if (AsRaw<ClumClassInstanceView>(&symbol) || AsRaw<ClumObjectView>(&symbol)) ObjectView(figure, symbol);
    else if (AsRaw<ClumModView>(&symbol)) ModuleView(figure, symbol);
    else if (AsRaw<ClumProcessorView>(&symbol) || AsRaw<ClumDeviceView>(&symbol))
        NodeView(figure, symbol, AsRaw<ClumDeviceView>(&symbol) != nullptr);
    else if (AsRaw<ClumPseudoStateView>(&symbol)) StateView(figure, symbol);
    else PlainView(figure, symbol);
    if (figure.body.width == 0 && figure.body.height == 0) figure.body = figure.box;
}

void tLayoutBuilder::Name(Figure& figure, const ClumSymbol& symbol, const std::string& name, TextRole role) {
    const TextFont font = FontOf(symbol);
    if (const ClumLabel* label = LabelOf(symbol)) {
        figure.texts.push_back(PlaceLabel(*label, name, role, font));
        return;
    }
    if (name.empty()) return;
    const Box& box = figure.body.width > 0 ? figure.body : figure.box;
    figure.texts.push_back(SetLines(Wrap(name, font, box.width, 0), font, role, Align::Centre, box.x,
                                    box.y + LineSpacing(font) / 4, box.width));
}

void tLayoutBuilder::FromPackage(Figure& figure) {
    const Element* element = figure.element;
    if (element == nullptr || element->owner == nullptr || figure.texts.empty()) return;
    const Element* home = m_diagram.owner;
    while (home != nullptr && home->kind != Kind::Package) home = home->owner;
    if (element->owner == home || element->owner->kind != Kind::Package || element->owner->name.GetLength() == 0) return;
    // Measured on the tool's pictures: 0.85 of the name's size, its top 0.18
    // of the name's line height below the middle of the name's stored block
    // and half a line more for each line of the name.
    const TextBlock& name = figure.texts.front();
    double middle = name.box.y + name.box.height / 2;
    if (const ClumLabel* label = LabelOf(*figure.item)) {
        const auto* anchored = AsRaw<ClumElementLabel>(label);
        const double rows = std::max<double>(label->nlines.Get(), static_cast<double>(name.lines.size()));
        middle = anchored != nullptr && !anchored->anchor_loc.IsEmpty() ? Far(label->location.Get().y)
                                                                        : name.box.y + rows * name.lineHeight / 2;
    }
    TextFont font = name.font;
    font.points *= 0.85;
    font.bold = font.italic = font.underline = false;
    const std::string text = "(from " + ShownText(element->owner->name) + ")";
    const double top = middle + name.lineHeight * (0.18 + 0.49 * static_cast<double>(name.lines.size()));
    figure.texts.push_back(SetLines({text}, font, TextRole::Package, Align::Centre, name.box.x, top, name.box.width));
}

// A symbol's parent is the view it names as its own (Parent_View), else the
// smallest package or swimlane that holds its box.
void tLayoutBuilder::Nest() {
    auto& figures = m_layout.figures;
    std::vector<std::size_t> containers;
    for (std::size_t j = 0; j < figures.size(); ++j)
        if (figures[j].shape == Shape::Package || figures[j].shape == Shape::Subsystem || figures[j].shape == Shape::Swimlane)
            containers.push_back(j);
    for (std::size_t i = 0; i < figures.size(); ++i) {
        Figure& figure = figures[i];
        if (figure.parent >= 0 || figure.IsLine()) continue;
        const ClumVellumEntity* stored = nullptr;
        if (const auto* view = AsRaw<ClumPseudoStateView>(figure.item)) stored = view->Parent_View.GetTarget(-1);
        else if (const auto* note = AsRaw<ClumNoteView>(figure.item)) stored = note->Parent_View.GetTarget(-1);
        const int named = IndexOf(stored);
        if (named >= 0 && static_cast<std::size_t>(named) != i) {
            figure.parent = named;
            continue;
        }
        double smallest = 0;
        for (const std::size_t j : containers) {
            const Figure& outer = figures[j];
            if (j == i) continue;
            const double area = outer.box.width * outer.box.height;
            if (Within(figure.box, outer.box) && (figure.parent < 0 || area < smallest)) {
                figure.parent = static_cast<int>(j);
                smallest = area;
            }
        }
    }
}

void tLayoutBuilder::Bounds() {
    bool any = false;
    Box bounds;
    for (Figure& figure : m_layout.figures) {
        Confine(figure.box);
        Confine(figure.body);
        for (TextBlock& text : figure.texts) Confine(text.box);
        for (Point& point : figure.route) point = {Far(point.x), Far(point.y)};
        for (Rule& rule : figure.rules) rule = {{Far(rule.from.x), Far(rule.from.y)}, {Far(rule.to.x), Far(rule.to.y)}};
        if (figure.shape != Shape::Text || !figure.texts.empty()) Cover(bounds, any, figure.box);
        for (const TextBlock& text : figure.texts) Cover(bounds, any, text.box);
    }
    m_layout.bounds = bounds;
}

}  // namespace detail
}  // namespace lum::uml
