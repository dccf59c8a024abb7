// Behaviours: state machines (a region of states and pseudostates and the
// transitions between them), activity graphs (activities of nodes, groups
// and edges) and interactions (lifelines, messages and the occurrences that
// send and receive them). Transitions are members of their source state in
// the view but belong to the region in UML: the region writes them when
// its states are written.

#include <algorithm>

#include "lum/uml/layout.h"
#include "lum/uml/presentation.h"
#include "xmi/exporter.h"

namespace lum::xmi::detail {

namespace {

// The body of an action's behaviour: what it does, and the condition it waits for.
std::string ActionBody(const uml::Action& action) {
    std::string body = uml::ActionExpression(action);
    if (!action.condition.empty()) (body += ' ') += uml::GuardText(action.condition);
    return body;
}

std::size_t Outgoing(const uml::Element& state) { return state.Members<uml::Transition>().size(); }

const char* PseudostateKind(const uml::State& state) {
    switch (state.sort) {
        case uml::StateKind::Initial: return "initial";
        case uml::StateKind::ShallowHistory: return "shallowHistory";
        case uml::StateKind::DeepHistory: return "deepHistory";
        case uml::StateKind::Decision: return "choice";
        case uml::StateKind::Synchronization: return Outgoing(state) > 1 ? "fork" : "join";
        default: return nullptr;
    }
}

bool IsNodeElement(const uml::Element* element) {
    return element != nullptr && (element->kind == uml::Kind::State || element->kind == uml::Kind::ObjectNode);
}

}  // namespace

bool tExporter::IsActivity(const uml::StateMachine& machine) const {
    for (const uml::Element* member : machine.members) {
        switch (member->kind) {
            case uml::Kind::Partition:
            case uml::Kind::ObjectNode:
            case uml::Kind::ObjectFlow: return true;
            case uml::Kind::State:
                if (static_cast<const uml::State*>(member)->sort == uml::StateKind::Activity) return true;
                break;
            case uml::Kind::Diagram:
                if (static_cast<const uml::Diagram*>(member)->sort == uml::DiagramKind::Activity) return true;
                break;
            default: break;
        }
    }
    return false;
}

tAs tExporter::OpenStateMachine(const uml::StateMachine& machine, std::string_view tag, tAs owner) {
    if (owner == tAs::Vertex) {
        // The nested machine of a composite state is one of its regions.
        Begin(tag, "uml:Region", machine);
        Common(machine);
        return tAs::Region;
    }
    if (IsActivity(machine)) {
        Begin(tag, "uml:Activity", machine);
        Common(machine);
        return tAs::Activity;
    }
    Begin(tag, "uml:StateMachine", machine);
    Common(machine);
    m_xml.Start("region");
    m_xml.Attr("xmi:type", "uml:Region");
    m_xml.Attr("xmi:id", m_ids.Of(&machine), "-region");
    if (m_record) m_regions.emplace(&machine, m_ids.Of(&machine) + "-region");
    return tAs::Region;
}

tAs tExporter::Vertex(const uml::State& state, std::string_view tag) {
    const char* kind = PseudostateKind(state);
    const bool isState = kind == nullptr && state.sort != uml::StateKind::Final;
    Begin(tag, kind != nullptr ? "uml:Pseudostate" : isState ? "uml:State" : "uml:FinalState", state);
    if (kind != nullptr) m_xml.Attr("kind", kind);
    Common(state);
    if (!isState) return tAs::Other;
    const std::string& id = m_ids.Of(&state);
    const struct {
        uml::ActionTime when;
        const char* tag;
        const char* suffix;
    } kTimes[] = {{uml::ActionTime::Entry, "entry", "-entry"},
                  {uml::ActionTime::Exit, "exit", "-exit"},
                  {uml::ActionTime::Do, "doActivity", "-do"}};
    for (const auto& time : kTimes) {
        bool open = false;
        for (const uml::Action& action : state.actions) {
            if (action.when != time.when) continue;
            if (!open) {
                m_xml.Start(time.tag);
                m_xml.Attr("xmi:type", "uml:OpaqueBehavior");
                m_xml.Attr("xmi:id", id, time.suffix);
                m_xml.Text("name", Wide(action.name));
                open = true;
            }
            m_xml.TextElement("body", ActionBody(action));
        }
        if (open) m_xml.End();
    }
    return tAs::Vertex;
}

void tExporter::CloseRegion(const uml::Element& machine) {
    for (const uml::State* state : machine.Members<uml::State>()) {
        for (const uml::Transition* transition : state->Members<uml::Transition>()) Transition(*transition);
        InternalTransitions(*state);
    }
    // Transitions the machine holds itself, from one of its states.
    for (const uml::Transition* transition : machine.Members<uml::Transition>())
        if (uml::As<uml::State>(transition->source) != nullptr) Transition(*transition);
    m_xml.End();
}

void tExporter::Transition(const uml::Transition& transition) {
    const std::string& id = m_ids.Of(&transition);
    const bool bound = uml::As<uml::State>(transition.target.element) != nullptr;
    Begin("transition", "uml:Transition", transition);
    m_xml.Attr("source", transition.source != nullptr ? m_ids.Of(transition.source) : m_ids.Of(transition.owner));
    if (bound) m_xml.Attr("target", m_ids.Of(transition.target.element));
    else m_xml.Attr("target", id, "-to");
    if (!transition.guard.empty()) m_xml.Attr("guard", id, "-guard");
    Common(transition);
    if (transition.event.GetLength() != 0) {
        m_xml.Start("trigger");
        m_xml.Attr("xmi:type", "uml:Trigger");
        m_xml.Attr("xmi:id", id, "-trigger");
        m_xml.Attr("event", EventId(Wide(transition.event)));
        m_xml.Text("name", uml::EventText(transition.event, transition.eventParameters));
        m_xml.End();
    }
    if (!transition.guard.empty()) {
        m_xml.Start("ownedRule");
        m_xml.Attr("xmi:type", "uml:Constraint");
        m_xml.Attr("xmi:id", id, "-guard");
        Opaque("specification", "uml:OpaqueExpression", id + "-guard-expr", transition.guard);
        m_xml.End();
    }
    if (transition.action.GetLength() != 0 || transition.sendEvent.GetLength() != 0) {
        m_xml.Start("effect");
        m_xml.Attr("xmi:type", "uml:OpaqueBehavior");
        m_xml.Attr("xmi:id", id, "-effect");
        if (transition.action.GetLength() != 0) {
            m_xml.Text("name", Wide(transition.action));
            m_xml.TextElement("body", Wide(transition.action));
        }
        if (transition.sendEvent.GetLength() != 0)
            m_xml.TextElement("body",
                              uml::SendText(transition.sendTarget, transition.sendEvent, transition.sendParameters));
        m_xml.End();
    }
    m_xml.End();
    if (!bound) {
        // A target that did not bind: a junction named as written stands in for it.
        m_xml.Start("subvertex");
        m_xml.Attr("xmi:type", "uml:Pseudostate");
        m_xml.Attr("xmi:id", id, "-to");
        m_xml.Attr("kind", "junction");
        m_xml.Text("name", Wide(transition.target.name));
        m_xml.End();
    }
}

// Actions on an event are internal transitions of their state.
void tExporter::InternalTransitions(const uml::State& state) {
    const std::string& id = m_ids.Of(&state);
    std::size_t count = 0;
    for (const uml::Action& action : state.actions) {
        if (action.when != uml::ActionTime::OnEvent) continue;
        const std::string transitionId = id + "-int" + std::to_string(count++);
        m_xml.Start("transition");
        m_xml.Attr("xmi:type", "uml:Transition");
        m_xml.Attr("xmi:id", transitionId);
        m_xml.Attr("kind", "internal");
        m_xml.Attr("source", id);
        m_xml.Attr("target", id);
        if (action.event.GetLength() != 0) {
            m_xml.Start("trigger");
            m_xml.Attr("xmi:type", "uml:Trigger");
            m_xml.Attr("xmi:id", transitionId, "-trigger");
            m_xml.Attr("event", EventId(Wide(action.event)));
            m_xml.Text("name", Wide(action.event));
            m_xml.End();
        }
        m_xml.Start("effect");
        m_xml.Attr("xmi:type", "uml:OpaqueBehavior");
        m_xml.Attr("xmi:id", transitionId, "-effect");
        m_xml.Text("name", Wide(action.name));
        m_xml.TextElement("body", ActionBody(action));
        m_xml.End();
        m_xml.End();
    }
}

void tExporter::ActivityNode(const uml::Element& element, std::string_view tag) {
    if (const auto* partition = uml::As<uml::Partition>(&element)) {
        Begin(tag, "uml:ActivityPartition", element);
        if (partition->represents.element != nullptr) m_xml.Attr("represents", m_ids.Of(partition->represents.element));
        Common(element);
        return;
    }
    if (const auto* object = uml::As<uml::ObjectNode>(&element)) {
        Begin(tag, "uml:CentralBufferNode", element);
        TypeAttr("type", object->type);
        Common(element);
        TypeChild("type", object->type);
        return;
    }
    const auto& state = static_cast<const uml::State&>(element);
    const char* type = "uml:OpaqueAction";
    switch (state.sort) {
        case uml::StateKind::Initial: type = "uml:InitialNode"; break;
        case uml::StateKind::Final: type = "uml:ActivityFinalNode"; break;
        case uml::StateKind::Decision: type = "uml:DecisionNode"; break;
        case uml::StateKind::Synchronization: type = Outgoing(state) > 1 ? "uml:ForkNode" : "uml:JoinNode"; break;
        case uml::StateKind::ShallowHistory:
        case uml::StateKind::DeepHistory: type = "uml:MergeNode"; break;
        default: break;
    }
    Begin(tag, type, element);
    Common(element);
    if (std::string_view(type) == "uml:OpaqueAction")
        for (const uml::Action& action : state.actions) m_xml.TextElement("body", ActionBody(action));
}

void tExporter::CloseActivity(const uml::StateMachine& activity) {
    // An end that did not bind to a node of the activity gets a merge node in its place.
    const auto edge = [&](const std::string& id, const char* type, const std::string* source, const std::string* target,
                          const uml::Element& element, const WString* guard) {
        m_xml.Start("edge");
        m_xml.Attr("xmi:type", type);
        m_xml.Attr("xmi:id", id);
        if (m_record) m_written.emplace(&element, type);
        Named(element);
        if (source != nullptr) m_xml.Attr("source", *source);
        else m_xml.Attr("source", id, "-from");
        if (target != nullptr) m_xml.Attr("target", *target);
        else m_xml.Attr("target", id, "-to");
        Common(element);
        if (guard != nullptr && !guard->empty()) Opaque("guard", "uml:OpaqueExpression", id + "-guard", *guard);
        m_xml.End();
        for (int end = 0; end < 2; ++end) {
            if ((end == 0 ? source : target) != nullptr) continue;
            m_xml.Start("node");
            m_xml.Attr("xmi:type", "uml:MergeNode");
            m_xml.Attr("xmi:id", id, end == 0 ? "-from" : "-to");
            m_xml.End();
        }
    };
    for (const uml::State* state : activity.Members<uml::State>()) {
        for (const uml::Transition* transition : state->Members<uml::Transition>()) {
            const std::string& source = m_ids.Of(state);
            const std::string* target = IsNodeElement(transition->target.element) ? &m_ids.Of(transition->target.element) : nullptr;
            edge(m_ids.Of(transition), "uml:ControlFlow", &source, target, *transition, &transition->guard);
        }
    }
    for (const uml::Transition* transition : activity.Members<uml::Transition>()) {
        if (!IsNodeElement(transition->source)) continue;
        const std::string& source = m_ids.Of(transition->source);
        const std::string* target = IsNodeElement(transition->target.element) ? &m_ids.Of(transition->target.element) : nullptr;
        edge(m_ids.Of(transition), "uml:ControlFlow", &source, target, *transition, &transition->guard);
    }
    for (const uml::ObjectFlow* flow : activity.Members<uml::ObjectFlow>()) {
        const std::string* source = IsNodeElement(flow->source.element) ? &m_ids.Of(flow->source.element) : nullptr;
        const std::string* target = IsNodeElement(flow->target.element) ? &m_ids.Of(flow->target.element) : nullptr;
        edge(m_ids.Of(flow), "uml:ObjectFlow", source, target, *flow, nullptr);
    }
    m_xml.End();
}

tAs tExporter::OpenInteraction(const uml::Interaction& interaction, std::string_view tag) {
    Begin(tag, "uml:Interaction", interaction);
    Common(interaction);
    const auto lifelines = interaction.Members<uml::Lifeline>();
    auto messages = interaction.Members<uml::Message>();
    std::stable_sort(messages.begin(), messages.end(),
                     [](const uml::Message* a, const uml::Message* b) { return a->order < b->order; });
    // Each lifeline represents a part of the interaction typed by its class.
    for (const uml::Lifeline* lifeline : lifelines) {
        const std::string& id = m_ids.Of(lifeline);
        m_xml.Start("ownedAttribute");
        m_xml.Attr("xmi:type", "uml:Property");
        m_xml.Attr("xmi:id", id, "-part");
        Named(*lifeline);
        TypeAttr("type", lifeline->type);
        TypeChild("type", lifeline->type);
        m_xml.End();
    }
    for (const uml::Lifeline* lifeline : lifelines) {
        Begin("lifeline", "uml:Lifeline", *lifeline);
        m_xml.Attr("represents", m_ids.Of(lifeline), "-part");
        Common(*lifeline);
        m_xml.End();
    }
    const auto occurrence = [&](const std::string& message, const char* suffix, const uml::Element* on) {
        m_xml.Start("fragment");
        m_xml.Attr("xmi:type", "uml:MessageOccurrenceSpecification");
        m_xml.Attr("xmi:id", message, suffix);
        m_xml.Attr("covered", m_ids.Of(on));
        m_xml.Attr("message", message);
        m_xml.End();
    };
    for (const uml::Message* message : messages) {
        const std::string& id = m_ids.Of(message);
        if (uml::As<uml::Lifeline>(message->sender) != nullptr) occurrence(id, "-send", message->sender);
        if (uml::As<uml::Lifeline>(message->receiver.element) != nullptr) occurrence(id, "-receive", message->receiver.element);
    }
    Executions(interaction);
    for (const uml::Message* message : messages) {
        const std::string& id = m_ids.Of(message);
        Begin("message", "uml:Message", *message);
        if (message->isCreation) m_xml.Attr("messageSort", "createMessage");
        else if (message->synchronicity == uml::Synchronicity::Return) m_xml.Attr("messageSort", "reply");
        else if (message->synchronicity == uml::Synchronicity::Asynchronous) m_xml.Attr("messageSort", "asynchCall");
        if (uml::As<uml::Lifeline>(message->sender) != nullptr) m_xml.Attr("sendEvent", id, "-send");
        if (uml::As<uml::Lifeline>(message->receiver.element) != nullptr) m_xml.Attr("receiveEvent", id, "-receive");
        if (uml::As<uml::Operation>(message->operation.element) != nullptr)
            m_xml.Attr("signature", m_ids.Of(message->operation.element));
        Common(*message);
        m_xml.End();
    }
    return tAs::Interaction;
}

// Each focus of control that a sequence diagram draws on a lifeline of the
// interaction is an execution of the lifeline, between a start and a finish.
void tExporter::Executions(const uml::Interaction& interaction) {
    const auto diagrams = m_sequences.find(&interaction);
    if (diagrams == m_sequences.end()) return;
    std::unordered_map<const uml::Element*, std::size_t> counts;
    const auto occurrence = [&](const std::string& id, const char* suffix, const std::string& covered) {
        m_xml.Start("fragment");
        m_xml.Attr("xmi:type", "uml:ExecutionOccurrenceSpecification");
        m_xml.Attr("xmi:id", id, suffix);
        m_xml.Attr("covered", covered);
        m_xml.Attr("execution", id);
        m_xml.End();
    };
    for (const uml::Diagram* diagram : diagrams->second) {
        const uml::DiagramLayout layout = uml::DiagramLayout::Of(*diagram);
        for (const uml::Figure& figure : layout.figures) {
            if (figure.shape != uml::Shape::Focus || figure.parent < 0) continue;
            const uml::Element* lifeline = layout.figures[static_cast<std::size_t>(figure.parent)].element;
            if (uml::As<uml::Lifeline>(lifeline) == nullptr || lifeline->owner != &interaction) continue;
            const std::string& covered = m_ids.Of(lifeline);
            const std::string id = covered + "-exec" + std::to_string(counts[lifeline]++);
            occurrence(id, "-start", covered);
            m_xml.Start("fragment");
            m_xml.Attr("xmi:type", "uml:BehaviorExecutionSpecification");
            m_xml.Attr("xmi:id", id);
            m_xml.Attr("covered", covered);
            m_xml.Attr("start", id, "-start");
            m_xml.Attr("finish", id, "-finish");
            m_xml.End();
            occurrence(id, "-finish", covered);
            if (m_record) m_executions.emplace(figure.item, id);
        }
    }
}

}  // namespace lum::xmi::detail
