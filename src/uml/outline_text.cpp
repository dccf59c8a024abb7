// The outline as indented text: one line per element, members indented
// below their owner.

#include <string>
#include <vector>

#include "lum/text/utf8.h"
#include "lum/uml/outline.h"
#include "lum/uml/presentation.h"

namespace lum::uml {

namespace {

std::string WithStereotype(const Element& element, const std::string& line) {
    const std::string stereotype = StereotypeText(ShownText(element.Stereotype()));
    return stereotype.empty() ? line : stereotype + " " + line;
}

std::string Named(const char* word, const Element& element) {
    std::string line = word;
    if (element.name.GetLength() != 0) (line += ' ') += ShownText(element.name);
    return line;
}

std::string Bracketed(const Multiplicity& multiplicity) {
    return multiplicity.IsSpecified() ? " [" + MultiplicityText(multiplicity) + "]" : "";
}

std::string ClassifierLine(const Classifier& classifier) {
    std::string line;
    if (classifier.isAbstract) line += "abstract ";
    line += ClassifierKindName(classifier.sort);
    (line += ' ') += ShownText(classifier.name);
    std::vector<std::string> parameters;
    for (const Parameter* parameter : classifier.Members<Parameter>()) {
        std::string text = ShownText(parameter->name);
        if (parameter->type.name.GetLength() != 0) text += " : " + TypeText(parameter->type);
        parameters.push_back(text);
    }
    if (!parameters.empty()) ((line += '<') += Join(parameters, ", ")) += '>';
    if (classifier.isInstantiated && classifier.templateClassifier.name.GetLength() != 0)
        line += " binds " + TypeText(classifier.templateClassifier);
    return line;
}

std::string PropertyLine(const Property& property) {
    std::string line = property.isQualifier ? "qualifier " : VisibilityPrefix(property.visibility);
    line += AttributeText(property);
    if (property.isStatic) line += " {static}";
    if (property.aggregation == Aggregation::Composite) line += " {by value}";
    return line;
}

std::string OperationLine(const Operation& operation) {
    std::string line = VisibilityPrefix(operation.visibility) + OperationText(operation, Signature::Complete);
    std::vector<std::string> properties;
    if (operation.isAbstract) properties.push_back("abstract");
    if (operation.isStatic) properties.push_back("static");
    if (operation.isQuery) properties.push_back("query");
    if (!properties.empty()) line += " {" + Join(properties, ", ") + "}";
    if (!operation.exceptions.empty()) {
        std::vector<std::string> names;
        for (const TypeRef& exception : operation.exceptions) names.push_back(TypeText(exception));
        line += " raises " + Join(names, ", ");
    }
    return line;
}

// "Member [1] borrower ◆<--> loans [0..*] Loan": multiplicities and role
// names sit at their own class, an arrowhead at each navigable end, a
// diamond at the whole.
std::string AssociationLine(const Association& association) {
    std::string line = Named(association.IsCommunication() ? "communication" : "association", association);
    const std::vector<const AssociationEnd*> ends = association.Members<AssociationEnd>();
    if (ends.size() != 2) {
        for (const AssociationEnd* end : ends) {
            (line += " | ") += TypeText(end->type);
            line += Bracketed(end->multiplicity);
            if (end->name.GetLength() != 0) (line += ' ') += ShownText(end->name);
        }
        return line;
    }
    const AssociationEnd& left = *ends[0];
    const AssociationEnd& right = *ends[1];
    auto diamond = [](Aggregation aggregation) {
        return aggregation == Aggregation::Composite ? "\xE2\x97\x86" : aggregation == Aggregation::Shared ? "\xE2\x97\x87" : "";
    };
    line += ": " + TypeText(left.type) + Bracketed(left.multiplicity);
    if (left.name.GetLength() != 0) (line += ' ') += ShownText(left.name);
    line += std::string(" ") + diamond(right.aggregation) + (left.isNavigable ? "<" : "") + "--" +
            (right.isNavigable ? ">" : "") + diamond(left.aggregation) + " ";
    if (right.name.GetLength() != 0) line += ShownText(right.name) + " ";
    if (right.multiplicity.IsSpecified()) ((line += '[') += MultiplicityText(right.multiplicity)) += "] ";
    line += TypeText(right.type);
    return line;
}

std::string RelationshipLine(const Relationship& relationship) {
    static const char* const arrows[] = {"--|>", "..|>", "..>", "..>", "..>", "..>", "..>", "---"};
    std::string line = RelationshipKindName(relationship.sort);
    if (relationship.name.GetLength() != 0) (line += ' ') += ShownText(relationship.name);
    return line + " " + arrows[static_cast<int>(relationship.sort)] + " " + TypeText(relationship.supplier);
}

std::string StateLine(const State& state) {
    std::string line = state.isComposite ? std::string("composite state") : std::string(StateKindName(state.sort));
    if (state.sort == StateKind::Simple && !state.isComposite) line = "state";
    if (state.name.GetLength() != 0) (line += ' ') += ShownText(state.name);
    for (const Action& action : state.actions) (line += "; ") += ActionText(action);
    return line;
}

std::string TransitionLine(const Transition& transition) {
    std::string line = "transition ";
    line += transition.source != nullptr ? NameOrKind(*transition.source) : std::string("?");
    line += " --> " + (transition.target.element != nullptr ? NameOrKind(*transition.target.element)
                                                           : TypeText(transition.target));
    if (const std::string label = TransitionText(transition); !label.empty()) line += " : " + label;
    return line;
}

std::string MessageLine(const Message& message) {
    std::string line = "message ";
    line += message.sequence.GetLength() != 0 ? ShownText(message.sequence) : std::to_string(message.order);
    line += ": " + (message.sender != nullptr ? NameOrKind(*message.sender) : std::string("?"));
    line += " -> " + TypeText(message.receiver);
    line += " : " + TypeText(message.operation);
    if (message.synchronicity != Synchronicity::Simple) line += std::string(" {") + SynchronicityName(message.synchronicity) + "}";
    return line;
}

std::string Line(const Element& element) {
    switch (element.kind) {
        case Kind::Package: {
            const auto& package = static_cast<const Package&>(element);
            std::string line = Named(package.isModel ? "model" : "package", package);
            return package.unloaded ? line + " (unit not loaded)" : line;
        }
        case Kind::Classifier: return ClassifierLine(static_cast<const Classifier&>(element));
        case Kind::Property: return PropertyLine(static_cast<const Property&>(element));
        case Kind::Operation: return OperationLine(static_cast<const Operation&>(element));
        case Kind::Association: return AssociationLine(static_cast<const Association&>(element));
        case Kind::Relationship: return RelationshipLine(static_cast<const Relationship&>(element));
        case Kind::UseCase: return Named("use case", element);
        case Kind::StateMachine: return Named("state machine", element);
        case Kind::State: return StateLine(static_cast<const State&>(element));
        case Kind::Transition: return TransitionLine(static_cast<const Transition&>(element));
        case Kind::Partition: {
            const auto& partition = static_cast<const Partition&>(element);
            std::string line = Named("swimlane", partition);
            return partition.represents.name.GetLength() != 0 ? line + " : " + TypeText(partition.represents) : line;
        }
        case Kind::ObjectNode: {
            const auto& node = static_cast<const ObjectNode&>(element);
            return Named("object", node) + (node.type.name.GetLength() != 0 ? " : " + TypeText(node.type) : "");
        }
        case Kind::ObjectFlow: {
            const auto& flow = static_cast<const ObjectFlow&>(element);
            return Named("object flow", flow) + " " + TypeText(flow.source) + " --> " + TypeText(flow.target);
        }
        case Kind::Interaction: return Named("interaction", element);
        case Kind::Lifeline: {
            const auto& lifeline = static_cast<const Lifeline&>(element);
            return Named("lifeline", lifeline) + (lifeline.type.name.GetLength() != 0 ? " : " + TypeText(lifeline.type) : "");
        }
        case Kind::Message: return MessageLine(static_cast<const Message&>(element));
        case Kind::Component: {
            const auto& component = static_cast<const Component&>(element);
            std::string line = Named(component.sort == ComponentKind::Subsystem ? "subsystem" : "component", component);
            std::vector<std::string> names;
            for (const Element* realized : component.realizedClasses) names.push_back(ShownText(realized->name));
            return names.empty() ? line : line + " realizes " + Join(names, ", ");
        }
        case Kind::Node:
            return Named(static_cast<const Node&>(element).sort == NodeKind::Device ? "device" : "processor", element);
        case Kind::Process: return Named("process", element);
        case Kind::Note: {
            std::string text = ShownText(static_cast<const Note&>(element).text);
            const std::size_t end = text.find('\n');
            if (end != std::string::npos) text = text.substr(0, end) + " ...";
            return "note \"" + text + "\"";
        }
        case Kind::Diagram: {
            const auto& diagram = static_cast<const Diagram&>(element);
            return std::string(DiagramKindName(diagram.sort)) + " diagram " + ShownText(diagram.name) + " (" +
                   std::to_string(diagram.shown.size()) + " shown)";
        }
        default: return Named(KindName(element.kind), element);
    }
}

// Parameters are written in their operation's signature or their class's
// header, association ends in their association's line.
bool HasOwnLine(const Element& element) {
    if (element.kind == Kind::AssociationEnd) return false;
    return element.kind != Kind::Parameter;
}

}  // namespace

bool WriteOutline(const View& view, std::ostream& out) {
    struct tFrame {
        const Element* element;
        int depth;
    };
    std::vector<tFrame> stack;
    for (auto model = view.Models().rbegin(); model != view.Models().rend(); ++model) stack.push_back({*model, 0});
    while (!stack.empty()) {
        const tFrame frame = stack.back();
        stack.pop_back();
        const Element& element = *frame.element;
        out << std::string(2 * static_cast<std::size_t>(std::min(frame.depth, kOutlineIndentLevels)), ' ');
        out << (element.kind == Kind::Classifier || element.kind == Kind::Relationship || element.kind == Kind::UseCase ||
                        element.kind == Kind::Package || element.kind == Kind::Component
                    ? WithStereotype(element, Line(element))
                    : Line(element))
            << '\n';
        for (auto member = element.members.rbegin(); member != element.members.rend(); ++member) {
            if (HasOwnLine(**member)) stack.push_back({*member, frame.depth + 1});
            // Qualifiers of an end are shown below its association.
            else if ((*member)->kind == Kind::AssociationEnd)
                for (auto q = (*member)->members.rbegin(); q != (*member)->members.rend(); ++q)
                    stack.push_back({*q, frame.depth + 1});
        }
    }
    return static_cast<bool>(out.flush());
}

}  // namespace lum::uml
