#include "render/painter.h"

#include <algorithm>
#include <cmath>

#include "lum/text/utf8.h"
#include "render/drawing.h"

namespace lum::render::detail {

std::wstring Wide(const ClumIdent& ident) { return std::wstring(ident.c_str(), ident.GetLength()); }

std::wstring NameOf(const uml::Element* element) { return element == nullptr ? std::wstring() : Wide(element->name); }

// «name»; a text already written with << >> gets guillemets instead.
std::wstring Guillemets(const ClumIdent& stereotype) {
    std::wstring text = Wide(stereotype);
    if (text.empty()) return text;
    if (text.size() >= 4 && text.starts_with(L"<<") && text.ends_with(L">>")) text = text.substr(2, text.size() - 4);
    return L"\u00AB" + text + L"\u00BB";
}

// The written type: the bound element's name, else the text.
std::wstring TypeText(const uml::TypeRef& type) {
    if (type.element != nullptr && type.element->name.GetLength() != 0) return Wide(type.element->name);
    return Wide(type.name);
}

double Length(tPoint a, tPoint b) { return std::hypot(b.x - a.x, b.y - a.y); }

// The unit vector from `from` towards `tip`, or null when they coincide.
bool Direction(tPoint from, tPoint tip, tPoint& unit) {
    const double length = Length(from, tip);
    if (!(length > 1e-9)) return false;
    unit = {(tip.x - from.x) / length, (tip.y - from.y) / length};
    return true;
}

void DrawEnd(tCanvas& canvas, tPoint from, tPoint tip, tEnd end, const std::string& stroke) {
    tPoint d;
    if (!Direction(from, tip, d)) return;
    const tPoint n{-d.y, d.x};
    const double size = 14, half = 6;
    const tPoint back{tip.x - d.x * size, tip.y - d.y * size};
    const tPoint left{back.x + n.x * half, back.y + n.y * half}, right{back.x - n.x * half, back.y - n.y * half};
    switch (end) {
        case tEnd::OpenArrow: canvas.Polyline({left, tip, right}, stroke); break;
        case tEnd::HollowTriangle: canvas.Polygon({left, tip, right}, "#ffffff", stroke); break;
        case tEnd::FilledTriangle: canvas.Polygon({left, tip, right}, stroke, stroke); break;
        case tEnd::HollowDiamond:
        case tEnd::FilledDiamond: {
            const tPoint far{tip.x - d.x * size * 2, tip.y - d.y * size * 2};
            canvas.Polygon({tip, left, far, right}, end == tEnd::FilledDiamond ? stroke : "#ffffff", stroke);
            break;
        }
    }
}

namespace {

std::wstring Sign(uml::Visibility visibility) {
    const char sign = uml::VisibilitySign(visibility);
    return sign == ' ' ? std::wstring() : std::wstring(1, static_cast<wchar_t>(sign)) + L" ";
}

std::wstring AttributeText(const uml::Property& property) {
    std::wstring text = Sign(property.visibility) + (property.isDerived ? L"/" : L"") + Wide(property.name);
    if (property.type.name.GetLength() != 0) text += L" : " + TypeText(property.type);
    if (!property.defaultValue.empty()) text += L" = " + property.defaultValue;
    return text;
}

std::wstring OperationText(const uml::Operation& operation, bool signature) {
    std::wstring text = Sign(operation.visibility) + Wide(operation.name) + L"(";
    if (signature) {
        bool first = true;
        for (const uml::Parameter* parameter : operation.Members<uml::Parameter>()) {
            if (!first) text += L", ";
            first = false;
            text += Wide(parameter->name);
            if (parameter->type.name.GetLength() != 0) text += L" : " + TypeText(parameter->type);
        }
    }
    text += L")";
    if (signature && operation.returnType.name.GetLength() != 0) text += L" : " + TypeText(operation.returnType);
    return text;
}

std::wstring ActionText(const uml::Action& action) {
    static const wchar_t* const kWhen[] = {L"entry", L"exit", L"on ", L"do"};
    std::wstring text = action.when == uml::ActionTime::OnEvent ? L"on " + Wide(action.event) : kWhen[static_cast<int>(action.when)];
    if (!action.condition.empty()) text += L" [" + action.condition + L"]";
    text += L" / ";
    if (action.isSendEvent) text += L"^" + (action.sendTarget.empty() ? std::wstring() : action.sendTarget + L".");
    return text + Wide(action.name);
}

// "event(parameters) [guard] / action ^target.send" of a transition.
std::wstring TransitionText(const uml::Transition& transition) {
    std::wstring text = Wide(transition.event);
    if (!transition.eventParameters.empty()) text += L"(" + transition.eventParameters + L")";
    if (!transition.guard.empty()) text += (text.empty() ? L"[" : L" [") + transition.guard + L"]";
    if (transition.action.GetLength() != 0) text += L" / " + Wide(transition.action);
    if (transition.sendEvent.GetLength() != 0)
        text += L" ^" + (transition.sendTarget.empty() ? std::wstring() : transition.sendTarget + L".") +
                Wide(transition.sendEvent);
    return text.empty() ? Wide(transition.name) : text;
}

// The middle of the polyline's middle segment.
tPoint Middle(const std::vector<tPoint>& points) {
    const std::size_t i = (points.size() - 1) / 2;
    return {(points[i].x + points[i + 1].x) / 2, (points[i].y + points[i + 1].y) / 2};
}

// A text by the middle of a line: above a level segment, else beside it on
// the side where the segment does not run under the text.
void LineText(tCanvas& canvas, const std::vector<tPoint>& points, const std::wstring& text, const tFont& font) {
    const std::size_t i = (points.size() - 1) / 2;
    const tPoint middle = Middle(points);
    const double dx = points[i + 1].x - points[i].x, dy = points[i + 1].y - points[i].y;
    if (std::abs(dy) <= std::abs(dx) * 0.2) return canvas.Text(middle.x, middle.y - 6, text, font);
    const bool right = dx * dy >= 0;
    canvas.Text(middle.x + (right ? 10 : -10), middle.y + font.size * 0.2, text, font, right ? "start" : "end");
}

}  // namespace

tPainter::tPainter(const uml::Diagram& diagram, tCanvas& canvas)
    : m_diagram(diagram), m_canvas(canvas), m_label(L"label"), m_stereotype(L"stereotype") {
    for (const uml::Shown& shown : diagram.shown)
        if (shown.item != nullptr) m_shown.emplace(shown.item, shown.element);
}

void tPainter::Run() {
    const auto& raw = static_cast<const ClumDiagram&>(*m_diagram.raw);
    m_lifelineEnd = LowestInteraction(raw) + 40;
    for (int i = 0; i < raw.items.GetSize(); ++i) {
        const ClumDiagramItem* item = raw.items.Get(i);
        if (item == nullptr) continue;
        Item(*item);
        if (const auto* association = AsRaw<ClumAssociationViewNew>(item)) {
            for (int r = 0; r < association->roleview_list.GetSize(); ++r)
                if (const ClumRoleView* role = association->roleview_list.Get(r))
                    Role(*role, uml::As<uml::AssociationEnd>(ElementOf(*role)));
        }
        // The activations of an object, over its lifeline.
        if (const auto* object = AsRaw<ClumInterObjView>(item)) {
            for (int f = 0; f < object->Focus_Of_Control.GetSize(); ++f)
                if (const ClumFocus_Of_Control* focus = object->Focus_Of_Control.Get(f)) Focus(*focus);
        }
    }
}

const uml::Element* tPainter::ElementOf(const ClumDiagramItem& item) const {
    const auto found = m_shown.find(&item);
    return found == m_shown.end() ? nullptr : found->second;
}

void tPainter::Item(const ClumDiagramItem& item) {
    m_canvas.Begin(item);
    if (const auto* symbol = AsRaw<ClumSymbol>(&item)) Symbol(*symbol, ElementOf(item));
    else if (const auto* line = AsRaw<ClumLine>(&item)) Line(*line, ElementOf(item));
    else if (AsRaw<ClumDestruction_Marker>(&item)) Destruction(item);
    else StoredLabel(item, nullptr, std::wstring(), FontOf(item));  // labels, compartments and markers standing alone
    m_canvas.End();
}

// A symbol's size as stored; the given default where it is missing, zero or negative.
tBox tPainter::BoxOf(const ClumSymbol& symbol, double w, double h) const {
    const tLocation at = symbol.location.Get();
    tBox box{Clamp(at.x), Clamp(at.y), w, h};
    if (symbol.width.Get() > 0) box.w = std::min<double>(symbol.width.Get(), kFar);
    if (symbol.height.Get() > 0) box.h = std::min<double>(symbol.height.Get(), kFar);
    return box;
}

// The stored label of an item. Writers put a symbol's label either by the
// top-left corner of its text block or by its centre: a label left of the
// symbol's centre but inside it is read by its corner, its text centred
// between there and the same distance from the right edge (or, when not
// centred, starting there); any other label by its centre. Line labels are
// read by their centre.
bool tPainter::StoredLabel(const ClumDiagramItem& item, const tBox* box, const std::wstring& fallback,
                           const tFont& itemFont, const char* anchor, bool stereotype, const std::wstring& prefix) {
    const ClumLabel* label = stereotype ? nullptr : AsRaw<ClumLabel>(&item);
    if (label == nullptr) {
        const IlumFeature* feature = const_cast<ClumDiagramItem&>(item).GetFeature(stereotype ? m_stereotype : m_label);
        const IlumLink* link = feature != nullptr ? feature->GetLink() : nullptr;
        if (link != nullptr && link->GetSize() > 0) label = AsRaw<ClumLabel>(link->GetAt(0));
    }
    if (label == nullptr) return false;
    std::wstring text = stereotype ? fallback : Wide(label->label.Get());
    if (text.empty()) text = stereotype ? Guillemets(label->label.Get()) : fallback;
    if (!prefix.empty() && !text.starts_with(prefix)) text = prefix + text;
    const tFont font = label->font.GetTarget(-1) != nullptr ? FontOf(*label) : itemFont;
    const double maxWidth = label->max_width.Get() > 0 ? std::min<double>(label->max_width.Get(), kFar) : 0;
    const std::vector<std::wstring> lines = Wrap(text, font, maxWidth);
    if (lines.empty()) return true;
    const tLocation at = label->location.Get();
    double x = Clamp(at.x), top = Clamp(at.y);
    if (box != nullptr && x >= box->Left() - 1 && x < box->cx) {
        const double right = maxWidth > 0 ? std::min(x + maxWidth, box->Right() - (x - box->Left())) : box->Right() - (x - box->Left());
        if (anchor[0] == 'm') x = (x + right) / 2;
    } else {
        top -= font.LineHeight() * static_cast<double>(lines.size()) / 2;
        if (anchor[0] == 's') x -= std::min(maxWidth, font.Width(std::max_element(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.size() < b.size(); })->size())) / 2;
    }
    m_canvas.Lines(x, top, lines, font, anchor);
    return true;
}

void tPainter::Symbol(const ClumSymbol& symbol, const uml::Element* element) {
    if (const auto* note = AsRaw<ClumNoteView>(&symbol)) return Note(*note, BoxOf(symbol, 160, 80));
    if (const auto* view = AsRaw<ClumClassView>(&symbol)) {
        const auto* classifier = uml::As<uml::Classifier>(element);
        const auto* quidu = AsRaw<ClumQuiduSymbol>(&symbol);
        const bool actor = (classifier != nullptr && classifier->sort == uml::ClassifierKind::Actor) ||
                           WString::Match(quidu->icon.Get(), L"Actor", false);
        const EIconStyle style = quidu->icon_style.IsEmpty() ? IconStyle_Icon : quidu->icon_style.Get();
        if (actor && style == IconStyle_Icon) return Actor(symbol, BoxOf(symbol, 60, 100), element);
        return ClassBox(*view, BoxOf(symbol, 160, 80), element);
    }
    if (AsRaw<ClumCategoryView>(&symbol) || AsRaw<ClumSubSysView>(&symbol))
        return Package(symbol, BoxOf(symbol, 160, 100), element);
    if (AsRaw<ClumUseCaseView>(&symbol)) return UseCase(symbol, BoxOf(symbol, 160, 70), element);
    if (AsRaw<ClumSwimlane>(&symbol) || AsRaw<ClumTierView>(&symbol)) return Swimlane(symbol, BoxOf(symbol, 300, 600), element);
    if (const auto* object = AsRaw<ClumInterObjView>(&symbol)) return Lifeline(*object, BoxOf(symbol, 150, 40), element);
    if (AsRaw<ClumClassInstanceView>(&symbol) || AsRaw<ClumObjectView>(&symbol))
        return Instance(symbol, BoxOf(symbol, 150, 50), element);
    if (AsRaw<ClumModView>(&symbol)) return Component(symbol, BoxOf(symbol, 160, 70), element);
    if (AsRaw<ClumProcessorView>(&symbol) || AsRaw<ClumDeviceView>(&symbol))
        return Node(symbol, BoxOf(symbol, 160, 90), element, AsRaw<ClumDeviceView>(&symbol) != nullptr);
    if (AsRaw<ClumActivityStateView>(&symbol) || AsRaw<ClumDecisionView>(&symbol) ||
        AsRaw<ClumSynchronizationView>(&symbol))
        return State(symbol, BoxOf(symbol, 120, 60), element);
    Box(symbol, BoxOf(symbol, 120, 60), element);
}

void tPainter::ClassBox(const ClumClassView& view, const tBox& stored, const uml::Element* element) {
    const auto* classifier = uml::As<uml::Classifier>(element);
    tFont font = FontOf(view);
    tFont nameFont = font;
    nameFont.bold = true;
    if (classifier != nullptr && classifier->isAbstract) nameFont.italic = true;

    std::vector<std::wstring> header;
    if (element != nullptr && element->Stereotype().GetLength() != 0) header.push_back(Guillemets(element->Stereotype()));
    std::vector<std::wstring> attributes, operations;
    if (classifier != nullptr) {
        if (!view.SuppressAttribute.Get())
            for (const uml::Property* property : classifier->Members<uml::Property>()) attributes.push_back(AttributeText(*property));
        if (!view.SuppressOperation.Get())
            for (const uml::Operation* operation : classifier->Members<uml::Operation>())
                operations.push_back(OperationText(*operation, view.ShowOperationSignature.Get()));
    }
    const double line = font.LineHeight(), pad = 4;
    double headerHeight = line * static_cast<double>(header.size() + 1) + 2 * pad;
    // The compartments begin below the name wherever its label is stored.
    if (!view.label.IsEmpty() && view.label.Get(0) != nullptr) {
        const tLocation at = view.label.Get(0)->location.Get();
        const bool corner = at.x >= stored.Left() - 1 && at.x < stored.cx;
        const double bottom = Clamp(at.y) + (corner ? line : line / 2) + pad;
        if (bottom > stored.Top() && bottom < stored.Bottom()) headerHeight = std::max(headerHeight, bottom - stored.Top());
    }
    auto compartment = [&](const std::vector<std::wstring>& texts) { return line * static_cast<double>(texts.size()) + 2 * pad; };
    const bool showAttributes = !view.SuppressAttribute.Get(), showOperations = !view.SuppressOperation.Get();
    const double needed = headerHeight + (showAttributes ? compartment(attributes) : 0) +
                          (showOperations ? compartment(operations) : 0);
    // A view that resizes itself grows downwards to hold what it shows.
    tBox box = stored;
    if (view.autoResize.Get() && needed > box.h) {
        box.cy += (needed - box.h) / 2;
        box.h = needed;
    }
    Keep(view, box);
    const std::string stroke = LineColour(view, "#990033");
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, FillColour(view, "#ffffcc"), stroke);

    double y = box.Top() + pad;
    for (const std::wstring& text : header) {
        y += line;
        if (!StoredLabel(view, &box, text, font, "middle", true)) m_canvas.Text(box.cx, y - line * 0.25, text, font);
    }
    std::wstring name = NameOf(element);
    if (!StoredLabel(view, &box, name, nameFont)) {
        if (name.empty()) name = Wide(view.name.Get());
        // A box that shows no compartments has its name in the middle.
        const bool bare = header.empty() && !showAttributes && !showOperations;
        m_canvas.Text(box.cx, bare ? box.cy + nameFont.size * 0.35 : y + line * 0.75, name, nameFont);
    }
    y = box.Top() + headerHeight;
    auto section = [&](const std::vector<std::wstring>& texts) {
        if (y >= box.Bottom()) return;
        m_canvas.Line({box.Left(), y}, {box.Right(), y}, stroke);
        y += pad;
        for (const std::wstring& text : texts) {
            if (y + line > box.Bottom()) break;
            y += line;
            m_canvas.Text(box.Left() + 6, y - line * 0.25, text, font, "start");
        }
        y += pad;
    };
    if (showAttributes) section(attributes);
    if (showOperations) section(operations);
}

void tPainter::Actor(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    Keep(symbol, box);
    const std::string stroke = LineColour(symbol, "#990033");
    const double h = std::min(box.h, box.w * 2), top = box.cy - h / 2, r = h * 0.12;
    const double neck = top + 2 * r, hip = top + h * 0.62, shoulder = neck + h * 0.1;
    m_canvas.Ellipse(box.cx, top + r, r, r, FillColour(symbol, "#ffffff"), stroke);
    m_canvas.Line({box.cx, neck}, {box.cx, hip}, stroke);
    m_canvas.Line({box.cx - h * 0.25, shoulder}, {box.cx + h * 0.25, shoulder}, stroke);
    m_canvas.Polyline({{box.cx - h * 0.22, top + h}, {box.cx, hip}, {box.cx + h * 0.22, top + h}}, stroke);
    if (!StoredLabel(symbol, &box, NameOf(element), FontOf(symbol)))
        m_canvas.Text(box.cx, top + h + FontOf(symbol).LineHeight(), NameOf(element), FontOf(symbol));
}

void tPainter::Package(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    Keep(symbol, box);
    const std::string stroke = LineColour(symbol, "#990033"), fill = FillColour(symbol, "#ffffcc");
    const double tab = std::min(box.h * 0.2, 24.0);
    m_canvas.Rect(box.Left(), box.Top() - tab, box.w * 0.4, tab, fill, stroke);
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, fill, stroke);
    tFont font = FontOf(symbol);
    double top = box.Top();
    if (AsRaw<ClumSubSysView>(&symbol)) {
        top += font.LineHeight();
        m_canvas.Text(box.cx, top, L"\u00ABsubsystem\u00BB", font);
    }
    font.bold = true;
    if (!StoredLabel(symbol, &box, NameOf(element), font)) {
        m_canvas.Text(box.cx, top + font.LineHeight(), NameOf(element), font);
    }
}

void tPainter::Note(const ClumSymbol& symbol, const tBox& box) {
    Keep(symbol, box);
    const double fold = std::min({box.w, box.h, 30.0}) / 2;
    const std::string stroke = LineColour(symbol);
    m_canvas.Polygon({{box.Left(), box.Top()},
                      {box.Right() - fold, box.Top()},
                      {box.Right(), box.Top() + fold},
                      {box.Right(), box.Bottom()},
                      {box.Left(), box.Bottom()}},
                     FillColour(symbol, "#ffffcc"), stroke);
    m_canvas.Polyline({{box.Right() - fold, box.Top()}, {box.Right() - fold, box.Top() + fold}, {box.Right(), box.Top() + fold}},
                      stroke);
    StoredLabel(symbol, &box, std::wstring(), FontOf(symbol), "start");
}

void tPainter::UseCase(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    Keep(symbol, box, true);
    m_canvas.Ellipse(box.cx, box.cy, box.w / 2, box.h / 2, FillColour(symbol, "#ffffcc"), LineColour(symbol, "#990033"));
    const tFont font = FontOf(symbol);
    if (!StoredLabel(symbol, &box, NameOf(element), font)) {
        const auto lines = Wrap(NameOf(element), font, box.w * 0.8);
        m_canvas.Lines(box.cx, box.cy - font.LineHeight() * static_cast<double>(lines.size()) / 2, lines, font);
    }
}

void tPainter::State(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    const auto* state = uml::As<uml::State>(element);
    uml::StateKind sort = state != nullptr ? state->sort : uml::StateKind::Simple;
    if (const auto* view = AsRaw<ClumStateView>(&symbol); view != nullptr && !view->type.IsEmpty()) {
        static const uml::StateKind kTypes[] = {uml::StateKind::Simple, uml::StateKind::Initial, uml::StateKind::Final,
                                                uml::StateKind::ShallowHistory, uml::StateKind::DeepHistory};
        const int type = static_cast<int>(view->type.Get());
        if (type >= 0 && type < 5 && (state == nullptr || type != 0)) sort = kTypes[type];
    }
    if (AsRaw<ClumDecisionView>(&symbol)) sort = uml::StateKind::Decision;
    if (AsRaw<ClumSynchronizationView>(&symbol)) sort = uml::StateKind::Synchronization;
    Keep(symbol, box, sort == uml::StateKind::Initial || sort == uml::StateKind::Final);
    const std::string stroke = LineColour(symbol, "#990033"), fill = FillColour(symbol, "#ffffcc");
    const double r = std::min(box.w, box.h) / 2;
    const tFont font = FontOf(symbol);
    switch (sort) {
        case uml::StateKind::Initial: m_canvas.Ellipse(box.cx, box.cy, r, r, stroke, stroke); return;
        case uml::StateKind::Final:
            m_canvas.Ellipse(box.cx, box.cy, r, r, "#ffffff", stroke);
            m_canvas.Ellipse(box.cx, box.cy, r * 0.6, r * 0.6, stroke, stroke);
            return;
        case uml::StateKind::ShallowHistory:
        case uml::StateKind::DeepHistory:
            m_canvas.Ellipse(box.cx, box.cy, r, r, fill, stroke);
            m_canvas.Text(box.cx, box.cy + font.size * 0.35, sort == uml::StateKind::DeepHistory ? L"H*" : L"H", font);
            return;
        case uml::StateKind::Decision:
            m_canvas.Polygon({{box.cx, box.Top()}, {box.Right(), box.cy}, {box.cx, box.Bottom()}, {box.Left(), box.cy}},
                             fill, stroke);
            StoredLabel(symbol, &box, NameOf(element), font);
            return;
        case uml::StateKind::Synchronization: {
            const auto* sync = AsRaw<ClumSynchronizationView>(&symbol);
            const bool horizontal = sync == nullptr || sync->sync_is_horizontal.IsEmpty() || sync->sync_is_horizontal.Get();
            if (horizontal) m_canvas.Rect(box.Left(), box.cy - 3, box.w, 6, stroke, stroke);
            else m_canvas.Rect(box.cx - 3, box.Top(), 6, box.h, stroke, stroke);
            return;
        }
        default: break;
    }
    const bool activity = sort == uml::StateKind::Activity;
    const bool actions = state != nullptr && !state->actions.empty();
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, fill, stroke, activity ? r : std::min(r, 14.0));
    const std::wstring name = NameOf(element);
    const double line = font.LineHeight();
    if (activity) {
        // An activity: its name and actions centred in the middle, without a compartment.
        std::vector<std::wstring> lines{name};
        if (state != nullptr)
            for (const uml::Action& action : state->actions) lines.push_back(ActionText(action));
        const double height = line * static_cast<double>(lines.size());
        if (!StoredLabel(symbol, &box, name, font)) m_canvas.Lines(box.cx, box.cy - height / 2, lines, font);
        return;
    }
    if (!StoredLabel(symbol, &box, name, font)) m_canvas.Text(box.cx, box.Top() + line, name, font);
    if (!actions) return;
    // The actions below the name, in a compartment of their own.
    double y = box.Top() + line * 1.5;
    if (!symbol.label.IsEmpty()) {
        const tLocation at = symbol.label.Get(0)->location.Get();
        y = std::max(y, Clamp(at.y) + line * 0.75);
    }
    m_canvas.Line({box.Left(), y}, {box.Right(), y}, stroke);
    for (const uml::Action& action : state->actions) {
        if (y + line > box.Bottom()) break;
        y += line;
        m_canvas.Text(box.Left() + 6, y - line * 0.25, ActionText(action), font, "start");
    }
}

void tPainter::Box(const ClumSymbol& symbol, const tBox& box, const uml::Element* element) {
    Keep(symbol, box);
    m_canvas.Rect(box.Left(), box.Top(), box.w, box.h, FillColour(symbol), LineColour(symbol));
    std::wstring name = NameOf(element);
    if (name.empty())
        if (const auto* named = AsRaw<ClumNamedSymbol>(&symbol)) name = Wide(named->name.Get());
    const tFont font = FontOf(symbol);
    if (!StoredLabel(symbol, &box, name, font)) {
        m_canvas.Text(box.cx, box.cy + font.size * 0.35, name, font);
    }
}

bool tPainter::Inside(tPoint point, const ClumVellumEntity* symbol) const {
    const auto found = m_outlines.find(symbol);
    if (found == m_outlines.end()) return false;
    const tBox& box = found->second.box;
    if (!(box.w > 0 && box.h > 0)) return false;
    const double dx = (point.x - box.cx) / (box.w / 2), dy = (point.y - box.cy) / (box.h / 2);
    return found->second.ellipse ? dx * dx + dy * dy < 1 : std::abs(dx) < 1 && std::abs(dy) < 1;
}

void tPainter::Cut(tPoint& end, tPoint other, const ClumVellumEntity* symbol) const {
    auto inside = [&](tPoint p) { return Inside(p, symbol); };
    if (!inside(end) || inside(other)) return;
    // Bisection along the segment: the crossing of the outline within a tenth of a unit.
    tPoint in = end, out = other;
    for (int step = 0; step < 60 && Length(in, out) > 0.1; ++step) {
        const tPoint middle{(in.x + out.x) / 2, (in.y + out.y) / 2};
        (inside(middle) ? in : out) = middle;
    }
    end = out;
}

// Line ends stored inside the symbols they join (writers often store the
// centres) are cut back to the symbols' outlines; other vertices stay.
std::vector<tPoint> tPainter::PointsOf(const ClumLine& line) const {
    std::vector<tPoint> points;
    for (const tLocation& at : line.vertices.Get()) points.push_back({Clamp(at.x), Clamp(at.y)});
    const auto* simple = AsRaw<ClumSimpleLine>(&line);
    if (points.size() >= 2) {
        if (simple != nullptr) {
            // Vertices inside an end's symbol, before the one where the line leaves it, are left out.
            const ClumVellumEntity* client = simple->client.GetTarget(-1);
            const ClumVellumEntity* supplier = simple->supplier.GetTarget(-1);
            // A line from a symbol back to itself stored within it: a loop over its top right corner.
            if (client == supplier && Inside(points.front(), client) && Inside(points.back(), client)) {
                const tBox& box = m_outlines.at(client).box;
                const double x = box.cx + box.w / 4, y = box.cy - box.h / 4;
                return {{x, box.Top()}, {x, box.Top() - 24}, {box.Right() + 24, box.Top() - 24}, {box.Right() + 24, y}, {box.Right(), y}};
            }
            std::size_t first = 0, last = points.size() - 1;
            while (first + 1 < last && Inside(points[first + 1], client)) ++first;
            while (last > first + 1 && Inside(points[last - 1], supplier)) --last;
            points = std::vector<tPoint>(points.begin() + static_cast<std::ptrdiff_t>(first),
                                         points.begin() + static_cast<std::ptrdiff_t>(last) + 1);
            Cut(points.front(), points[1], client);
            Cut(points.back(), points[points.size() - 2], supplier);
        }
        return points;
    }
    points.clear();
    if (simple != nullptr) {
        for (const ClumVellumEntity* end : {simple->client.GetTarget(-1), simple->supplier.GetTarget(-1)})
            if (const auto* item = AsRaw<ClumDiagramItem>(end)) {
                const tLocation at = item->location.Get();
                points.push_back({Clamp(at.x), Clamp(at.y)});
            }
    } else if (const auto* interaction = AsRaw<ClumInteractionLine>(&line)) {
        for (const tLocation& at : {interaction->origin.Get(), interaction->terminus.Get()})
            points.push_back({Clamp(at.x), Clamp(at.y)});
    }
    if (points.size() < 2) points.clear();
    return points;
}

void tPainter::Line(const ClumLine& line, const uml::Element* element) {
    const std::vector<tPoint> points = PointsOf(line);
    const std::string stroke = LineColour(line, AsRaw<ClumAttachView>(&line) ? "#000000" : "#990033");
    const auto* relationship = uml::As<uml::Relationship>(element);
    std::wstring fallback;
    const char* dash = "";
    bool hasEnd = true;
    tEnd end = tEnd::OpenArrow;
    if (AsRaw<ClumInheritView>(&line) || AsRaw<ClumInheritTreeView>(&line)) {
        end = tEnd::HollowTriangle;
    } else if (AsRaw<ClumRealizeView>(&line)) {
        end = tEnd::HollowTriangle;
        dash = kDashed;
    } else if (AsRaw<ClumDependencyView>(&line) || AsRaw<ClumInstantiateView>(&line)) {
        dash = kDashed;
        if (relationship != nullptr) {
            if (relationship->sort == uml::RelationshipKind::Include) fallback = L"\u00ABinclude\u00BB";
            else if (relationship->sort == uml::RelationshipKind::Extend) fallback = L"\u00ABextend\u00BB";
            else if (relationship->sort == uml::RelationshipKind::Import) fallback = L"\u00ABimport\u00BB";
            else fallback = Guillemets(relationship->Stereotype());
        }
    } else if (AsRaw<ClumAttachView>(&line) || AsRaw<ClumAssocAttachView>(&line) || AsRaw<ClumAssocConstraintView>(&line)) {
        dash = " stroke-dasharray=\"3,3\"";
        hasEnd = false;
    } else if (const auto* message = uml::As<uml::Message>(element)) {
        // A call that waits for its answer gets a filled head; an answer is dashed.
        if (message->synchronicity == uml::Synchronicity::Synchronous ||
            message->synchronicity == uml::Synchronicity::ProcedureCall)
            end = tEnd::FilledTriangle;
        if (message->synchronicity == uml::Synchronicity::Return) dash = kDashed;
    } else if (const auto* transition = uml::As<uml::Transition>(element)) {
        fallback = TransitionText(*transition);
    } else if (AsRaw<ClumTransView>(&line) || AsRaw<ClumObject_Flow_View>(&line) || AsRaw<ClumInteractionLine>(&line)) {
        fallback = NameOf(element);
        if (AsRaw<ClumObject_Flow_View>(&line)) dash = kDashed;
    } else {
        // Associations (their ends are their role views), links, connections.
        hasEnd = false;
        fallback = NameOf(element);
    }
    if (AsRaw<ClumTransView>(&line)) hasEnd = true;
    if (points.size() >= 2) {
        m_canvas.Polyline(points, stroke, dash);
        if (hasEnd) DrawEnd(m_canvas, points[points.size() - 2], points.back(), end, stroke);
    }
    if (const auto* interaction = AsRaw<ClumInteractionLine>(&line); interaction != nullptr && MessageLabel(*interaction, element, points))
        return;
    if (!StoredLabel(line, nullptr, fallback, FontOf(line)) && !fallback.empty() && points.size() >= 2) {
        LineText(m_canvas, points, fallback, FontOf(line));
    }
}

// An association end: the line from the association to the class, the
// diamond of a whole held by the part at the other end, the arrow of a
// one-way association, the end's name and multiplicity near the class.
void tPainter::Role(const ClumRoleView& role, const uml::AssociationEnd* end) {
    m_canvas.Begin(role);
    const std::vector<tPoint> points = PointsOf(role);
    const std::string stroke = LineColour(role, "#990033");
    if (points.size() >= 2) {
        m_canvas.Polyline(points, stroke);
        const tPoint tip = points.back(), from = points[points.size() - 2];
        const uml::AssociationEnd* other = nullptr;
        bool otherNavigable = false;
        if (end != nullptr && end->owner != nullptr)
            for (const auto* sibling : end->owner->Members<uml::AssociationEnd>())
                if (sibling != end) {
                    other = sibling;
                    otherNavigable = sibling->isNavigable;
                }
        if (other != nullptr && other->aggregation != uml::Aggregation::None)
            DrawEnd(m_canvas, from, tip,
                    other->aggregation == uml::Aggregation::Composite ? tEnd::FilledDiamond : tEnd::HollowDiamond, stroke);
        else if (end != nullptr && end->isNavigable && !otherNavigable)
            DrawEnd(m_canvas, from, tip, tEnd::OpenArrow, stroke);
        if (!StoredLabel(role, nullptr, std::wstring(), FontOf(role)) && end != nullptr) RoleTexts(*end, from, tip, FontOf(role));
    } else {
        StoredLabel(role, nullptr, std::wstring(), FontOf(role));
    }
    m_canvas.End();
}

// The end's name on one side of the line near the class, its multiplicity
// on the other: above and below a level line, left and right of a steep one.
void tPainter::RoleTexts(const uml::AssociationEnd& end, tPoint from, tPoint tip, const tFont& font) {
    tPoint d;
    if (!Direction(from, tip, d)) return;
    const double back = std::min(Length(from, tip) / 2, 34.0);
    const tPoint base{tip.x - d.x * back, tip.y - d.y * back};
    const std::wstring name = Sign(end.visibility) + NameOf(&end);
    if (std::abs(d.x) >= std::abs(d.y)) {
        m_canvas.Text(base.x, base.y - 6, name, font);
        m_canvas.Text(base.x, base.y + 6 + font.size * 0.8, end.multiplicity.text, font);
    } else {
        m_canvas.Text(base.x - 8, base.y + font.size * 0.35, name, font, "end");
        m_canvas.Text(base.x + 8, base.y + font.size * 0.35, end.multiplicity.text, font, "start");
    }
}

}  // namespace lum::render::detail
