// Interaction diagrams. Sequence: an object's location is the centre of its
// head, its width the head's, its height the lifeline's length from that
// centre; the head holds its label's lines; activations are stored by the
// middle of their top. Collaboration: objects (an actor's as a stick
// figure), links (a link to itself as a loop above its object) and message
// views, each standing for the messages of its link in one direction.

#include <algorithm>
#include <cmath>

#include "uml/layout_builder.h"

namespace lum::uml::detail {

namespace {

constexpr double kHeadWidth = 300, kHeadPadding = 10;
constexpr double kFocusWidth = 30, kFocusMinimum = 90;
constexpr double kSelfLoopDepth = 30;
constexpr double kObjectWidth = 180, kObjectHeight = 114;
constexpr double kIconWidth = 116, kIconAspect = 1.3;
constexpr Colour kBusinessHead = 0x66B6FF;  // the head of a business actor's icon

const Element* ClassOf(const Element* element) {
    if (const auto* lifeline = As<Lifeline>(element)) return lifeline->type.element;
    if (const auto* node = As<ObjectNode>(element)) return node->type.element;
    return nullptr;
}

// "name : Class" of an object; ": Class" for an unnamed one.
std::string InstanceText(const ClumSymbol& symbol, const Element* element) {
    const std::string name = ShownName(element, symbol);
    std::string type;
    if (const auto* lifeline = As<Lifeline>(element)) type = TypeText(lifeline->type);
    else if (const auto* node = As<ObjectNode>(element)) type = TypeText(node->type);
    if (type.empty()) return name;
    return (name.empty() ? "" : name + " ") + ": " + type;
}

// The tool underlines an object's name on its last line.
void UnderlineLast(std::vector<TextBlock>& texts) {
    if (texts.empty() || texts.back().lines.empty()) return;
    TextBlock& rest = texts.back();
    TextBlock last = rest;
    last.lines = {rest.lines.back()};
    last.widths = {rest.widths.back()};
    last.box.y += last.lineHeight * static_cast<double>(rest.lines.size() - 1);
    last.box.height = last.lineHeight;
    last.font.underline = true;
    rest.lines.pop_back();
    rest.widths.pop_back();
    rest.box.height -= rest.lineHeight;
    if (rest.lines.empty()) rest = std::move(last);
    else texts.push_back(std::move(last));
}

End ArrowOf(const Message* message) {
    if (message == nullptr) return End::OpenArrow;
    switch (message->synchronicity) {
        case Synchronicity::Synchronous:
        case Synchronicity::ProcedureCall: return End::FilledTriangle;
        case Synchronicity::Asynchronous: return End::HalfArrow;
        default: return End::OpenArrow;
    }
}

Point At(const tLocation& location) { return {Far(location.x), Far(location.y)}; }

}  // namespace

const std::unordered_set<const ClumVellumEntity*>& tLayoutBuilder::Labelled() {
    if (m_labelled.empty())
        for (const Figure& figure : m_layout.figures)
            if (const auto* view = AsRaw<ClumMessView>(figure.item))
                for (int i = 0; i < view->label.GetSize(); ++i)
                    if (const ClumSegLabel* label = view->label.Get(i)) m_labelled.insert(label->quidu.GetTarget(-1));
    return m_labelled;
}

std::string tLayoutBuilder::MessageText(const Message& message, const std::string& name) const {
    std::string number = m_options.storedSequenceNumbers ? ShownText(message.sequence) : std::to_string(message.order + 1);
    return number.empty() ? name : number + ": " + name;
}

void tLayoutBuilder::LifelineView(int index, const ClumInterObjView& view) {
    Figure* figure = &m_layout.figures[static_cast<std::size_t>(index)];
    figure->shape = Shape::Lifeline;
    const TextFont font = FontOf(view);
    const ClumLabel* label = LabelOf(view);
    const int rows = label != nullptr && label->nlines.Get() > 0 ? std::min(label->nlines.Get(), 20) : 2;
    const double headHeight = rows * LineSpacing(font) + 2 * kHeadPadding;
    const double width = view.width.Get() > 0 ? std::min<double>(view.width.Get(), kFarUnits) : kHeadWidth;
    const Point centre = At(view.location.Get());
    const double top = centre.y - headHeight / 2;
    double bottom = centre.y + (view.height.Get() > 0 ? std::min<double>(view.height.Get(), kFarUnits) : 0);
    figure->body = {centre.x - width / 2, top, width, headHeight};
    const std::string text = InstanceText(view, figure->element);
    if (label != nullptr) figure->texts.push_back(PlaceLabel(*label, text, TextRole::Name, font));
    else figure->texts.push_back(SetLines(Wrap(text, font, width, rows), font, TextRole::Name, Align::Centre,
                                          figure->body.x, top + kHeadPadding, width));
    // Bars that overlap are drawn as one: each takes the union of its group.
    const std::size_t first = m_layout.figures.size();
    for (int f = 0; f < view.Focus_Of_Control.GetSize(); ++f) {
        const ClumFocus_Of_Control* focus = view.Focus_Of_Control.Get(f);
        if (focus == nullptr) continue;
        Figure& bar = m_layout.figures[static_cast<std::size_t>(Add(*focus, Shape::Focus, index))];
        const Point at = At(focus->location.Get());
        const double height = std::clamp<double>(focus->height.Get(), kFocusMinimum, kFarUnits);
        bar.box = {at.x - kFocusWidth / 2, at.y, kFocusWidth, height};
        bottom = std::max(bottom, bar.box.Bottom());
    }
    std::vector<Figure*> bars;
    for (std::size_t i = first; i < m_layout.figures.size(); ++i) bars.push_back(&m_layout.figures[i]);
    std::sort(bars.begin(), bars.end(), [](const Figure* a, const Figure* b) { return a->box.y < b->box.y; });
    for (std::size_t start = 0; start < bars.size();) {
        std::size_t end = start + 1;
        double bottom = bars[start]->box.Bottom();
        for (; end < bars.size() && bars[end]->box.y <= bottom; ++end) bottom = std::max(bottom, bars[end]->box.Bottom());
        for (std::size_t i = start; i < end; ++i) {
            Box& box = bars[i]->box;
            box = bars[i]->body = {box.x, bars[start]->box.y, box.width, bottom - bars[start]->box.y};
        }
        start = end;
    }
    figure = &m_layout.figures[static_cast<std::size_t>(index)];
    figure->box = {figure->body.x, top, width, std::max(bottom, figure->body.Bottom()) - top};
}

// An object of a collaboration (or of an activity's object flow): a box with
// its name underlined as the font says, a stick figure for an actor's.
void tLayoutBuilder::ObjectView(Figure& figure, const ClumSymbol& symbol) {
    const Element* type = ClassOf(figure.element);
    const auto* quidu = AsRaw<ClumQuiduSymbol>(&symbol);
    const std::wstring icon = quidu != nullptr ? std::wstring(quidu->icon.Get().c_str()) : std::wstring();
    const auto* classifier = As<Classifier>(type);
    const bool actor = icon == L"Actor" || (classifier != nullptr && classifier->sort == ClassifierKind::Actor);
    const std::string text = InstanceText(symbol, figure.element);
    if (icon == L"Business Actor" || icon == L"Business Worker" || actor) {
        figure.shape = icon == L"Business Actor" ? Shape::BusinessActor : icon == L"Business Worker" ? Shape::BusinessWorker : Shape::Actor;
        // The icon keeps its proportions: its height follows the stored width, whatever height is stored.
        const double width = symbol.width.Get() > 0 ? std::min<double>(symbol.width.Get(), kFarUnits) : kIconWidth;
        const tLocation at = symbol.location.Get();
        figure.box = {Far(at.x) - width / 2, Far(at.y) - width * kIconAspect / 2, width, width * kIconAspect};
        if (figure.shape != Shape::Actor) figure.fill = kBusinessHead;
        if (const ClumLabel* label = LabelOf(symbol)) figure.texts.push_back(PlaceLabel(*label, text, TextRole::Name, FontOf(symbol)));
        if (As<Lifeline>(figure.element) != nullptr) UnderlineLast(figure.texts);
        return;
    }
    const auto* lifeline = As<Lifeline>(figure.element);
    figure.shape = lifeline != nullptr && lifeline->isMulti ? Shape::MultiObject : Shape::Object;
    figure.box = StoredBox(symbol, kObjectWidth, kObjectHeight);
    Name(figure, symbol, text);
    if (lifeline != nullptr) UnderlineLast(figure.texts);
    const auto* flow = AsRaw<ClumObjectView>(&symbol);
    if (flow == nullptr || flow->State.Get().GetLength() == 0 || figure.texts.empty()) return;
    const TextBlock& name = figure.texts.back();
    TextFont font = name.font;
    font.underline = false;
    figure.texts.push_back(SetLines({std::string("[").append(ShownText(flow->State.Get())).append("]")}, font, TextRole::Name, Align::Centre, name.box.x,
                                    name.box.Bottom(), name.box.width));
}

// A message of a sequence diagram: from its origin to its terminus as stored
// (a message to itself a loop out to the terminus and back), its label
// numbered.
void tLayoutBuilder::MessageLine(Figure& figure, const ClumInteractionLine& line) {
    const Point origin = At(line.origin.Get()), terminus = At(line.terminus.Get());
    const auto* message = As<Message>(figure.element);
    if (AsRaw<ClumSelfMessView>(&line) != nullptr) {
        const double x = std::abs(terminus.x - origin.x) > 1 ? terminus.x : origin.x + 150;
        figure.route = {origin, {x, origin.y}, {x, origin.y + kSelfLoopDepth}, {origin.x, origin.y + kSelfLoopDepth}};
    } else {
        figure.route = {origin, terminus};
    }
    figure.targetEnd = ArrowOf(message);
    if (message != nullptr && message->synchronicity == Synchronicity::Return) figure.dash = Dash::Dashed;
    if (const auto* sent = AsRaw<ClumMessageLine>(&line)) {
        figure.source = IndexOf(sent->Focus_Src.GetTarget(-1));
        if (figure.source < 0) figure.source = IndexOf(sent->client.GetTarget(-1));
        figure.target = IndexOf(sent->Focus_Entry.GetTarget(-1));
        if (figure.target < 0) figure.target = IndexOf(sent->supplier.GetTarget(-1));
    }
    std::string name = NameOf(message);
    if (message != nullptr && name.empty()) name = ShownText(message->operation.name);
    const std::string text = message != nullptr ? MessageText(*message, name) : ShownText(line.name.Get());
    if (const ClumLabel* label = LabelOf(line)) figure.texts.push_back(PlaceLabel(*label, text, TextRole::Message, FontOf(line)));
    else if (!text.empty()) {
        const TextFont font = FontOf(line);
        const double width = ScreenWidth(text, font);
        figure.texts.push_back(SetLines({text}, font, TextRole::Message, Align::Centre, (origin.x + terminus.x - width) / 2,
                                        origin.y - LineSpacing(font), width));
    }
    if (!figure.texts.empty()) figure.texts.back().element = message;
}

// A message view of a collaboration: the short arrow beside its link, and
// one numbered line per message it stands for: each where its label is
// stored, the messages of the link in that direction without a label of
// their own under the last.
void tLayoutBuilder::CollaborationMessages(Figure& figure, const ClumMessView& view) {
    figure.route = {At(view.origin.Get()), At(view.terminus.Get())};
    figure.targetEnd = End::OpenArrow;
    figure.dash = Dash::Dashed;
    figure.source = figure.target = IndexOf(view.object_arc.GetTarget(-1));
    std::unordered_map<const ClumVellumEntity*, const Message*> messages;
    if (const auto* interaction = As<Interaction>(m_diagram.context.element))
        for (const Message* message : interaction->Members<Message>()) messages.emplace(message->raw, message);
    const TextFont font = FontOf(view);
    bool labelled = false;
    EMessageDir direction = MessageDir_FromClientToSupplier;
    for (int i = 0; i < view.label.GetSize(); ++i) {
        const ClumSegLabel* label = view.label.Get(i);
        if (label == nullptr || label->hidden.Get()) continue;
        const auto found = messages.find(label->quidu.GetTarget(-1));
        const Message* message = found == messages.end() ? nullptr : found->second;
        std::string text = ShownText(label->label.Get());
        if (message != nullptr) {
            text = MessageText(*message, NameOf(message).empty() ? ShownText(message->operation.name) : NameOf(message));
            if (message->synchronicity != Synchronicity::Return) figure.dash = Dash::Solid;
            figure.targetEnd = ArrowOf(message);
            labelled = true;
            direction = static_cast<const ClumMessage&>(*message->raw).dir.Get();
        }
        figure.texts.push_back(PlaceLabel(*label, text, TextRole::Message, font));
        figure.texts.back().element = message;
    }
    // The link's other messages in the same direction.
    const auto* linkView = AsRaw<ClumLinkView>(view.object_arc.GetTarget(-1));
    const auto* link = linkView != nullptr ? AsRaw<ClumLink>(linkView->quidu.GetTarget(-1)) : nullptr;
    if (link == nullptr || !labelled) return;
    std::vector<const Message*> rest;
    for (int i = 0; i < link->messages.GetSize(); ++i) {
        const ClumMessage* raw = link->messages.Get(i);
        const auto found = messages.find(raw);
        if (raw == nullptr || found == messages.end() || raw->dir.Get() != direction || Labelled().count(raw) != 0) continue;
        rest.push_back(found->second);
    }
    std::sort(rest.begin(), rest.end(), [](const Message* a, const Message* b) { return a->order < b->order; });
    const TextBlock& last = figure.texts.back();
    double top = last.box.Bottom();
    for (const Message* message : rest) {
        const std::string text = MessageText(*message, NameOf(message));
        figure.texts.push_back(SetLines({text}, last.font, TextRole::Message, Align::Centre, last.box.x, top, last.box.width));
        figure.texts.back().element = message;
        top = figure.texts.back().box.Bottom();
    }
}

}  // namespace lum::uml::detail
