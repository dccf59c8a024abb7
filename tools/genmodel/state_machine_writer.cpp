#include "state_machine_writer.h"

#include <string>
#include <vector>

#include "diagram_writer.h"
#include "vocabulary.h"

namespace genmodel {

namespace {

struct tState {
    std::string name;
    std::string quid;
    const char* kind;  // as the state view names it
};

struct tTransition {
    int from;
    int to;
    std::string event;
    std::string quid;
};

}  // namespace

void WriteStateMachine(tModelContext& context, tNotationWriter& out, int depth, std::string_view owner, int& labels) {
    tRandom& random = context.random;
    std::vector<tState> states;
    states.push_back({"$UNNAMED$" + std::to_string(context.unnamed++), context.NewQuid(), "StartState"});
    const int named = random.Between(3, 7);
    for (int i = 0; i < named; ++i) {
        std::string name = StateName(random);
        for (const tState& state : states) {
            if (state.name == name) {
                name += std::to_string(i);
                break;
            }
        }
        states.push_back({name, context.NewQuid(), "Normal"});
    }
    states.push_back({"$UNNAMED$" + std::to_string(context.unnamed++), context.NewQuid(), "EndState"});
    const int last = static_cast<int>(states.size()) - 1;

    std::vector<tTransition> transitions;
    for (int i = 0; i < last; ++i) transitions.push_back({i, i + 1, EventName(random), context.NewQuid()});
    for (int extra = random.Below(4); extra > 0; --extra) {
        transitions.push_back({random.Between(1, last - 1), random.Between(1, last - 1), EventName(random), context.NewQuid()});
    }

    std::string name(owner);
    name += " lifecycle";
    out.ObjectFeature(depth, "statemachine", "State_Machine ");
    out.Append(Quote(name));
    out.Quoted(depth + 1, "quid", context.NewQuid());
    out.ListFeature(depth + 1, "states", "States");
    const int s = depth + 3;
    for (int i = 0; i <= last; ++i) {
        const tState& state = states[static_cast<std::size_t>(i)];
        out.Line(depth + 2, "(object State ");
        out.Append(Quote(state.name));
        out.Quoted(s, "quid", state.quid);
        if (i == 0) out.Quoted(s, "type", "StartState");
        if (i == last) out.Quoted(s, "type", "EndState");
        if (i > 0 && i < last && random.Chance(20)) {
            out.Quoted(s, "documentation", Documentation(random, "state", 1)[0]);
        }
        if (i > 0 && i < last && random.Chance(30)) {
            out.ListFeature(s, "actions", "Actions");
            out.Line(s + 1, "(object action ");
            out.Append(Quote("log " + state.name));
            out.Quoted(s + 2, "quid", context.NewQuid());
            out.ObjectFeature(s + 2, "ActionTime", "ActionTime");
            out.Quoted(s + 3, "when", random.Chance(50) ? "Entry" : "Exit");
            out.Close(3);
        }
        bool any = false;
        for (const tTransition& transition : transitions) {
            if (transition.from != i) continue;
            if (!any) out.ListFeature(s, "transitions", "transition_list");
            any = true;
            const tState& target = states[static_cast<std::size_t>(transition.to)];
            const int t = s + 2;
            out.Line(s + 1, "(object State_Transition");
            out.Quoted(t, "quid", transition.quid);
            out.Quoted(t, "label", transition.event);
            out.Quoted(t, "supplier", target.name);
            out.Quoted(t, "supplier_quidu", target.quid);
            if (random.Chance(20)) out.Quoted(t, "condition", "count > 0");
            out.ObjectFeature(t, "Event", "Event ");
            out.Append(Quote(transition.event));
            out.Quoted(t + 1, "quid", context.NewQuid());
            out.Close(2);
        }
        if (any) out.Close();
        out.Close();
    }
    out.Close();

    out.ListFeature(depth + 1, "statediagrams", "StateDiagrams");
    tDiagramWriter diagram(out, random, labels);
    diagram.BeginDiagram(depth + 2, "State_Diagram", name, context.NewQuid());
    std::vector<int> views;
    std::vector<tPoint> places;
    for (int i = 0; i <= last; ++i) {
        const tState& state = states[static_cast<std::size_t>(i)];
        const tPoint at{160 + 320 * (i % 4), 200 + 260 * (i / 4)};
        places.push_back(at);
        views.push_back(diagram.StateView(state.kind, state.name, state.quid, at));
    }
    for (const tTransition& transition : transitions) {
        const auto from = static_cast<std::size_t>(transition.from), to = static_cast<std::size_t>(transition.to);
        diagram.TransitionView(transition.event, transition.quid, views[from], places[from], views[to], places[to]);
    }
    diagram.EndDiagram();
    out.Close(2);
}

}  // namespace genmodel
