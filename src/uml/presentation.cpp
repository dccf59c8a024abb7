#include "lum/uml/presentation.h"

#include <cctype>
#include <set>

#include "lum/text/utf8.h"

namespace lum::uml {

namespace {

// The parts' texts, joined.
std::string Flat(const std::vector<TextPart>& parts) {
    std::string text;
    for (const TextPart& part : parts) text += part.text;
    return text;
}

// "a : T" (the tool's symbols), or "inout a : T = 1".
void AddParameter(std::vector<TextPart>& parts, const Parameter& parameter, Signature signature) {
    std::string text;
    if (signature == Signature::Complete && parameter.direction != Direction::In)
        (text += DirectionName(parameter.direction)) += ' ';
    text += ShownText(parameter.name);
    if (parameter.type.name.GetLength() != 0) {
        parts.push_back({text + " : "});
        parts.push_back({TypeText(parameter.type), parameter.type.element});
        text.clear();
    }
    if (signature == Signature::Complete && !parameter.defaultValue.empty())
        (text += " = ") += ShownText(parameter.defaultValue);
    if (!text.empty()) parts.push_back({text});
}

constexpr std::size_t kMaxFileStem = 120;

}  // namespace

std::string ShownText(std::wstring_view stored) {
    if (stored.find(L'\\') == std::wstring_view::npos) return ToUtf8(stored);
    std::wstring shown;
    shown.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i)
        shown += stored[i] == L'\\' && i + 1 < stored.size() ? stored[++i] : stored[i];
    return ToUtf8(shown);
}

std::string NameOrKind(const Element& element) {
    if (element.name.GetLength() != 0) return ShownText(element.name);
    if (const auto* state = As<State>(&element)) return StateKindName(state->sort);
    return KindName(element.kind);
}

std::string TypeText(const TypeRef& type) {
    return ShownText(type.element != nullptr && type.element->name.GetLength() != 0 ? type.element->name : type.name);
}

std::string MultiplicityText(const Multiplicity& multiplicity) { return ShownText(multiplicity.text); }

std::string VisibilityPrefix(Visibility visibility) {
    return visibility == Visibility::Unspecified ? std::string() : std::string(1, VisibilitySign(visibility)) + ' ';
}

std::string StereotypeText(std::string_view name) {
    if (name.empty() || (name.size() >= 4 && name.starts_with("<<") && name.ends_with(">>"))) return std::string(name);
    return "<<" + std::string(name) + ">>";
}

std::string AttributeText(const Property& property) {
    std::string text = property.isDerived ? "/" : "";
    text += ShownText(property.name);
    if (property.type.name.GetLength() != 0) text += " : " + TypeText(property.type);
    if (property.multiplicity.IsSpecified()) ((text += '[') += MultiplicityText(property.multiplicity)) += ']';
    if (!property.defaultValue.empty()) text += " = " + ShownText(property.defaultValue);
    return text;
}

std::vector<TextPart> OperationParts(const Operation& operation, Signature signature) {
    std::vector<TextPart> parts{{ShownText(operation.name) + "("}};
    if (signature != Signature::Hidden) {
        bool first = true;
        for (const Parameter* parameter : operation.Members<Parameter>()) {
            if (!first) parts.push_back({", "});
            first = false;
            AddParameter(parts, *parameter, signature);
        }
    }
    parts.push_back({")"});
    if (signature != Signature::Hidden && operation.returnType.name.GetLength() != 0) {
        parts.push_back({" : "});
        parts.push_back({TypeText(operation.returnType), operation.returnType.element});
    }
    return parts;
}

std::string OperationText(const Operation& operation, Signature signature) {
    return Flat(OperationParts(operation, signature));
}

std::string EventText(const ClumIdent& event, const WString& parameters) {
    std::string text = ShownText(event);
    if (!parameters.empty()) ((text += '(') += ShownText(parameters)) += ')';
    return text;
}

std::string SendText(const WString& target, const ClumIdent& event, const WString& parameters) {
    std::string text(1, '^');
    if (!target.empty()) (text += ShownText(target)) += '.';
    return text += EventText(event, parameters);
}

std::string GuardText(const WString& condition) {
    return condition.empty() ? std::string() : "[ " + ShownText(condition) + " ]";
}

std::string ActionExpression(const Action& action) {
    return action.isSendEvent ? SendText(action.sendTarget, action.name, {}) : ShownText(action.name);
}

std::string ActionText(const Action& action) {
    static const char* const kWhen[] = {"entry", "exit", "event", "do"};
    std::string text = kWhen[static_cast<int>(action.when)];
    if (action.when == ActionTime::OnEvent && action.event.GetLength() != 0) (text += ' ') += ShownText(action.event);
    if (!action.condition.empty()) (text += ' ') += GuardText(action.condition);
    text += '/';
    if (const std::string expression = ActionExpression(action); !expression.empty()) (text += ' ') += expression;
    return text;
}

std::string TransitionText(const Transition& transition) {
    std::vector<std::string> parts;
    if (transition.event.GetLength() != 0) parts.push_back(EventText(transition.event, transition.eventParameters));
    if (!transition.guard.empty()) parts.push_back(GuardText(transition.guard));
    if (transition.action.GetLength() != 0) parts.push_back("/ " + ShownText(transition.action));
    if (transition.sendEvent.GetLength() != 0)
        parts.push_back(SendText(transition.sendTarget, transition.sendEvent, transition.sendParameters));
    return parts.empty() ? ShownText(transition.name) : Join(parts, " ");
}

std::string QualifiedName(const Element& element, std::string_view separator) {
    std::vector<const Element*> chain;
    for (const Element* at = &element; at != nullptr; at = at->owner) {
        const auto* package = As<Package>(at);
        if (at->name.GetLength() != 0 && (package == nullptr || !package->isModel)) chain.push_back(at);
    }
    std::string name;
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
        if (!name.empty()) name += separator;
        name += ShownText((*at)->name);
    }
    return name;
}

std::vector<std::string> FileStems(const std::vector<const Diagram*>& diagrams) {
    std::vector<std::string> stems;
    std::set<std::string> used;
    for (const Diagram* diagram : diagrams) {
        // The names joined by a byte no name holds, which becomes the '.'.
        std::string stem;
        for (const char c : QualifiedName(*diagram, "\x01")) {
            const auto byte = static_cast<unsigned char>(c);
            const bool kept = std::isalnum(byte) || c == '-' || byte >= 0x80 || (c == '.' && !stem.empty());
            stem += c == '\x01' ? '.' : kept ? c : '_';
        }
        if (stem.size() > kMaxFileStem) {
            std::size_t cut = kMaxFileStem;
            while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
            stem.resize(cut);
        }
        if (stem.empty() || stem.front() == '.') stem.insert(0, "diagram");
        std::string unique = stem;
        for (int n = 2; used.count(unique) != 0; ++n) unique = stem + "-" + std::to_string(n);
        used.insert(unique);
        stems.push_back(std::move(unique));
    }
    return stems;
}

}  // namespace lum::uml
