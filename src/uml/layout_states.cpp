// State and activity diagrams: states with their action compartment, start
// and end states, history states, activities, decisions, synchronisation
// bars and swimlanes. Sizes the files leave out are the drawing tool's, read
// off its pictures and the line ends stored on their borders.

#include <algorithm>

#include "uml/layout_builder.h"

namespace lum::uml::detail {

namespace {

constexpr double kStateWidth = 300, kStateHeight = 136;
constexpr double kStartSize = 60, kEndSize = 84, kHistorySize = 60;
constexpr double kActivityWidth = 375, kActivityHeight = 106;
// An activity is drawn this far inside its stored box on each side.
constexpr double kActivityInsetX = 12, kActivityInsetY = 2;
constexpr double kDecisionWidth = 150, kDecisionHeight = 75;
constexpr double kBarLength = 300, kBarThickness = 16;
// A swimlane's header band above its top, and the band's colour.
constexpr double kHeaderHeight = 60;
constexpr Colour kHeaderFill = 0xC0C0C0, kBlack = 0;
// Where a state's actions go when the file does not say: from its left and top, and the room they leave on the right.
constexpr double kActionsLeft = 57, kActionsTop = 89.5, kActionsRight = 45;

// The kind the view draws: its stored type, else its element's, else by its class.
StateKind KindOf(const ClumSymbol& symbol, const State* state) {
    if (AsRaw<ClumDecisionView>(&symbol)) return StateKind::Decision;
    if (AsRaw<ClumSynchronizationView>(&symbol)) return StateKind::Synchronization;
    if (const auto* view = AsRaw<ClumStateView>(&symbol); view != nullptr && !view->type.IsEmpty()) {
        switch (view->type.Get()) {
            case StateType_StartState: return StateKind::Initial;
            case StateType_EndState: return StateKind::Final;
            case StateType_History: return StateKind::ShallowHistory;
            case StateType_HistoryAll: return StateKind::DeepHistory;
            default: break;
        }
    }
    if (state != nullptr) return state->sort;
    return AsRaw<ClumStateView>(&symbol) != nullptr ? StateKind::Simple : StateKind::Activity;
}

}  // namespace

void tLayoutBuilder::StateView(Figure& figure, const ClumSymbol& symbol) {
    const auto* state = As<State>(figure.element);
    const StateKind sort = KindOf(symbol, state);
    switch (sort) {
        case StateKind::Initial:
        case StateKind::Final: {
            // A black disc; an end state's in a ring; the name where its label is stored.
            const bool start = sort == StateKind::Initial;
            figure.shape = start ? Shape::Initial : Shape::Final;
            figure.box = StoredBox(symbol, start ? kStartSize : kEndSize, start ? kStartSize : kEndSize);
            figure.fill = kBlack;
            if (const ClumLabel* label = LabelOf(symbol))
                figure.texts.push_back(PlaceLabel(*label, NameOf(figure.element), TextRole::Name, FontOf(symbol)));
            return;
        }
        case StateKind::ShallowHistory:
        case StateKind::DeepHistory: {
            figure.shape = Shape::History;
            figure.box = StoredBox(symbol, kHistorySize, kHistorySize);
            const TextFont font = FontOf(symbol);
            const double line = LineSpacing(font);
            figure.texts.push_back(SetLines({sort == StateKind::DeepHistory ? "H*" : "H"}, font, TextRole::Name,
                                            Align::Centre, figure.box.x, figure.box.Centre().y - line / 2, figure.box.width));
            return;
        }
        case StateKind::Decision:
            figure.shape = Shape::Decision;
            figure.box = StoredBox(symbol, kDecisionWidth, kDecisionHeight);
            if (const ClumLabel* label = LabelOf(symbol))
                figure.texts.push_back(PlaceLabel(*label, NameOf(figure.element), TextRole::Name, FontOf(symbol)));
            return;
        case StateKind::Synchronization: {
            figure.shape = Shape::SyncBar;
            const auto* bar = AsRaw<ClumSynchronizationView>(&symbol);
            const bool across = bar != nullptr && bar->sync_is_horizontal.Get();
            figure.box = across ? StoredBox(symbol, kBarLength, kBarThickness) : StoredBox(symbol, kBarThickness, kBarLength);
            figure.fill = figure.stroke;
            return;
        }
        default: break;
    }
    const bool activity = sort == StateKind::Activity;
    figure.shape = activity ? Shape::Activity : Shape::State;
    figure.box = activity ? StoredBox(symbol, kActivityWidth, kActivityHeight) : StoredBox(symbol, kStateWidth, kStateHeight);
    if (activity && figure.box.width > 2 * kActivityInsetX && figure.box.height > 2 * kActivityInsetY)
        figure.box = {figure.box.x + kActivityInsetX, figure.box.y + kActivityInsetY, figure.box.width - 2 * kActivityInsetX,
                      figure.box.height - 2 * kActivityInsetY};
    const std::string name = ShownName(figure.element, symbol);
    Name(figure, symbol, name);
    // The actions as the file lists them, else as the state holds them, left-aligned under a rule.
    const auto* view = AsRaw<ClumActivityStateView>(&symbol);
    const ClumCompartment* stored = view != nullptr && !view->compartment.IsEmpty() ? view->compartment.Get(0) : nullptr;
    std::vector<std::string> actions;
    if (stored != nullptr)
        for (int i = 0; i < stored->compartmentItems.GetSize(); ++i)
            if (const ClumVellumString* item = stored->compartmentItems.Get(i)) actions.push_back(ShownText(item->value.Get()));
    if (actions.empty() && state != nullptr)
        for (const Action& action : state->actions) actions.push_back(ActionText(action));
    if (actions.empty()) return;
    const TextFont font = stored != nullptr ? FontOf(*stored) : FontOf(symbol);
    const double line = LineSpacing(font);
    const Box& box = figure.box;
    double left = box.x + kActionsLeft, top = box.y + kActionsTop, width = box.width - kActionsLeft - kActionsRight;
    if (stored != nullptr) {
        const tLocation at = stored->location.Get();
        left = Far(at.x);
        top = Far(at.y);
        if (stored->max_width.Get() > 0) width = std::min<double>(stored->max_width.Get(), kFarUnits);
    }
    figure.rules.push_back({{left, top - line / 9}, {box.Right() - kActionsLeft, top - line / 9}});
    for (std::string& action : actions) action = CutLine(action, font, width);
    figure.texts.push_back(SetLines(std::move(actions), font, TextRole::Action, Align::Left, left, top, width));
}

// A swimlane is a column from its stored left edge, as wide as stored, from
// its top to the bottom of the drawing, with its name in a header band above
// its top. One that names nothing is not drawn.
void tLayoutBuilder::Swimlanes() {
    double bottom = 0;
    for (const Figure& figure : m_layout.figures) {
        if (figure.shape == Shape::Swimlane) continue;
        bottom = std::max(bottom, figure.box.Bottom());
        for (const TextBlock& text : figure.texts) bottom = std::max(bottom, text.box.Bottom());
    }
    for (Figure& figure : m_layout.figures) {
        if (figure.shape != Shape::Swimlane) continue;
        const auto& lane = static_cast<const ClumSymbol&>(*figure.item);
        const std::string name = ShownName(figure.element, lane);
        const tLocation at = lane.location.Get();
        const double width = lane.width.Get() > 0 ? std::min<double>(lane.width.Get(), kFarUnits) : 0;
        const double top = Far(at.y) - kHeaderHeight;
        figure.box = {Far(at.x), top, width, std::max(bottom, Far(at.y)) - top};
        figure.body = {figure.box.x, top, width, kHeaderHeight};
        if (name.empty()) {
            figure.shape = Shape::Text;
            figure.fill = kNoColour;
            continue;
        }
        figure.fill = kHeaderFill;
        // Measured: the names are bold and smaller than the stored font.
        TextFont font = FontOf(lane);
        font.points *= 0.8;
        font.bold = true;
        const double line = LineSpacing(font);
        figure.texts.push_back(SetLines(Wrap(name, font, width, 1), font, TextRole::Name, Align::Centre, figure.box.x,
                                        top + (kHeaderHeight - line) / 2, width));
    }
}

}  // namespace lum::uml::detail
