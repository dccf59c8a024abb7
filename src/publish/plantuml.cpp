#include "lum/publish/plantuml.h"

#include <cctype>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "lum/uml/presentation.h"

namespace lum::publish {

namespace {

// Stereotypes show backslashes as written and take no line breaks.
enum class tContext { Text, Stereotype };

std::string Escaped(std::string_view utf8, tContext context) {
    std::string out;
    out.reserve(utf8.size());
    char previous = 0;
    const auto entity = [&out](int of) {
        char text[16];
        std::snprintf(text, sizeof text, "&#%d;", of);
        out += text;
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        // Guillemets delimit stereotypes as << >> do.
        if (c == '\xC2' && i + 1 < utf8.size() && (utf8[i + 1] == '\xAB' || utf8[i + 1] == '\xBB')) {
            entity(utf8[++i] == '\xAB' ? 0xAB : 0xBB);
            previous = 0;
            continue;
        }
        // At the start of a line, punctuation would read as a visibility sign, a list bullet, a heading or a rule.
        if (context == tContext::Text && (i == 0 || utf8[i - 1] == '\n') && static_cast<unsigned char>(c) < 0x80 &&
            std::ispunct(static_cast<unsigned char>(c)) != 0) {
            entity(c);
            previous = c;
            continue;
        }
        switch (c) {
            // What would end a quoted text, open markup or an escape, or close a body.
            case '"': case '<': case '>': case '&': case '~': case '{': case '}': case '|': entity(c); break;
            // PlantUML reads "\n" as a line break; a backslash itself is doubled.
            case '\\': out += context == tContext::Text ? "\\\\" : "\\"; break;
            case '\n': out += context == tContext::Text ? "\\n" : " "; break;
            case '\r': break;
            // Doubled, these start bold, italics, monospace, strike-through, underline, ...
            case '*': case '/': case '_': case '-': case '=': case '^': case '\'':
                if (previous == c) entity(c);
                else out += c;
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) out += ' ';
                else out += c;
        }
        previous = c;
    }
    return out;
}

}  // namespace

std::string PlantUmlText(std::string_view utf8) { return Escaped(utf8, tContext::Text); }

bool HasPlantUml(const uml::Diagram& diagram) {
    switch (diagram.sort) {
        case uml::DiagramKind::Class:
        case uml::DiagramKind::UseCase:
        case uml::DiagramKind::State:
        case uml::DiagramKind::Activity:
        case uml::DiagramKind::Component:
        case uml::DiagramKind::Deployment: return true;
        default: return false;
    }
}

namespace {

// PlantUML takes no empty quoted name: an unnamed element shows a blank.
std::string Quoted(std::string_view utf8) {
    std::string quoted(1, '"');
    quoted += utf8.empty() ? std::string(" ") : PlantUmlText(utf8);
    return quoted += '"';
}

// " : TEXT" after a link, or nothing for a text that shows as blanks only:
// PlantUML refuses a link whose label is blank.
std::string Label(std::string_view utf8) {
    std::string text = PlantUmlText(utf8);
    return text.find_first_not_of(' ') == std::string::npos ? std::string() : " : " + text;
}

std::string Numbered(char prefix, std::size_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "%c%zu", prefix, number);
    return text;
}

std::string Stereotype(const uml::Element& element) {
    const ClumIdent stereotype = element.Stereotype();
    if (stereotype.GetLength() == 0) return {};
    return " <<" + Escaped(uml::ShownText(stereotype), tContext::Stereotype) + ">>";
}

class tWriter {
public:
    tWriter(const uml::Diagram& diagram, std::ostream& out)
        : m_diagram(diagram),
          m_out(out),
          m_states(diagram.sort == uml::DiagramKind::State || diagram.sort == uml::DiagramKind::Activity) {}

    void Run() {
        m_out << "@startuml\n";
        m_out << "title " << PlantUmlText(uml::QualifiedName(m_diagram)) << '\n';
        if (m_states) m_out << "hide empty description\n";
        else m_out << "allowmixing\nset separator none\nhide empty members\n";
        for (const uml::Shown& shown : m_diagram.shown) Declare(shown);
        for (const uml::Shown& shown : m_diagram.shown) Connect(*shown.element);
        for (const uml::Shown& shown : m_diagram.shown)
            if (const auto* note = uml::As<uml::Note>(shown.element)) Note(*note);
        m_out << "@enduml\n";
    }

private:
    // The alias of an element declared on this diagram, or empty.
    const std::string& Alias(const uml::Element* element) const {
        static const std::string none;
        const auto found = m_aliases.find(element);
        return found == m_aliases.end() ? none : found->second;
    }

    const std::string& NewAlias(const uml::Element& element) {
        return m_aliases.emplace(&element, Numbered('E', m_aliases.size() + 1)).first->second;
    }

    void Declare(const uml::Shown& shown) {
        const uml::Element& element = *shown.element;
        if (!Alias(&element).empty()) return;
        if (m_states) return DeclareState(element);
        switch (element.kind) {
            case uml::Kind::Classifier: return DeclareClassifier(static_cast<const uml::Classifier&>(element), shown);
            case uml::Kind::Package: return Simple("package", element, " {\n}");
            case uml::Kind::UseCase: return Simple("usecase", element, "");
            case uml::Kind::Component:
                return Simple(static_cast<const uml::Component&>(element).sort == uml::ComponentKind::Subsystem
                                  ? "package"
                                  : "component",
                              element, "");
            case uml::Kind::Node: return Simple("node", element, "");
            case uml::Kind::Process: return Simple("rectangle", element, "");
            default: return;
        }
    }

    void Simple(const char* keyword, const uml::Element& element, const char* body) {
        const std::string& alias = NewAlias(element);
        m_out << keyword << ' ' << Quoted(uml::ShownText(element.name)) << " as " << alias << Stereotype(element) << body
              << '\n';
    }

    void DeclareClassifier(const uml::Classifier& classifier, const uml::Shown& shown) {
        if (classifier.sort == uml::ClassifierKind::Actor) return Simple("actor", classifier, "");
        const char* keyword = classifier.sort == uml::ClassifierKind::Interface     ? "interface"
                              : classifier.sort == uml::ClassifierKind::Enumeration ? "enum"
                              : classifier.isAbstract                               ? "abstract class"
                                                                                    : "class";
        const std::string& alias = NewAlias(classifier);
        m_out << keyword << ' ' << Quoted(uml::ShownText(classifier.name)) << " as " << alias << Stereotype(classifier)
              << " {\n";
        // What the class symbol shows: its compartments may be suppressed, signatures left out.
        const auto* view = uml::AsRaw<ClumClassView>(shown.item);
        const bool attributes = view == nullptr || !view->SuppressAttribute.Get();
        const bool operations = view == nullptr || !view->SuppressOperation.Get();
        const bool signature = view == nullptr || view->ShowOperationSignature.Get();
        const bool literals = classifier.sort == uml::ClassifierKind::Enumeration;
        if (attributes)
            for (const uml::Property* property : classifier.Members<uml::Property>())
                m_out << "  {field} " << (property->isStatic ? "{static} " : "")
                      << Member(literals ? uml::Visibility::Unspecified : property->visibility,
                                literals ? uml::ShownText(property->name) : uml::AttributeText(*property))
                      << '\n';
        if (operations)
            for (const uml::Operation* operation : classifier.Members<uml::Operation>())
                m_out << "  {method} " << (operation->isStatic ? "{static} " : "")
                      << (operation->isAbstract ? "{abstract} " : "")
                      << Member(operation->visibility, uml::OperationText(*operation, signature ? uml::Signature::Shown
                                                                                           : uml::Signature::Hidden))
                      << '\n';
        m_out << "}\n";
    }

    // A member line: the visibility sign, which PlantUML shows as its icon, then the text.
    static std::string Member(uml::Visibility visibility, const std::string& text) {
        return uml::VisibilityPrefix(visibility) + PlantUmlText(text);
    }

    void DeclareState(const uml::Element& element) {
        std::string name = uml::ShownText(element.name);
        const char* special = "";
        const char* unnamed = "";  // what a history state shows where a PlantUML draws it as a plain state
        if (const auto* state = uml::As<uml::State>(&element)) {
            switch (state->sort) {
                // Not every PlantUML draws a state marked <<start>>: the start is [*], which every one does.
                case uml::StateKind::Initial: m_aliases.emplace(&element, "[*]"); return;
                case uml::StateKind::Final: special = " <<end>>"; break;
                case uml::StateKind::ShallowHistory:
                    special = " <<history>>";
                    unnamed = "H";
                    break;
                case uml::StateKind::DeepHistory:
                    special = " <<history*>>";
                    unnamed = "H*";
                    break;
                case uml::StateKind::Decision: special = " <<choice>>"; break;
                case uml::StateKind::Synchronization: special = " <<fork>>"; break;
                default: break;
            }
        } else if (const auto* object = uml::As<uml::ObjectNode>(&element)) {
            if (object->type.name.GetLength() != 0) (name += " : ") += uml::TypeText(object->type);
        } else {
            return;
        }
        if (name.empty()) name += unnamed;
        const std::string& alias = NewAlias(element);
        m_out << "state " << Quoted(name) << " as " << alias << (*special != 0 ? special : Stereotype(element).c_str())
              << '\n';
        if (const auto* state = uml::As<uml::State>(&element))
            for (const uml::Action& action : state->actions)
                m_out << alias << " : " << PlantUmlText(uml::ActionText(action)) << '\n';
    }

    void Connect(const uml::Element& element) {
        if (uml::As<uml::Note>(&element) != nullptr || !m_written.emplace(&element, true).second) return;
        if (const auto* association = uml::As<uml::Association>(&element)) return Association(*association);
        if (const auto* relationship = uml::As<uml::Relationship>(&element)) return Relationship(*relationship);
        if (const auto* transition = uml::As<uml::Transition>(&element)) return Transition(*transition);
        if (const auto* flow = uml::As<uml::ObjectFlow>(&element)) {
            const std::string &from = Alias(flow->source.element), &to = Alias(flow->target.element);
            if (!from.empty() && !to.empty()) m_out << from << " --> " << to << '\n';
        }
    }

    static std::string EndLabel(const uml::AssociationEnd& end) {
        std::string label = uml::ShownText(end.name);
        if (end.multiplicity.IsSpecified()) {
            if (!label.empty()) label += ' ';
            label += uml::MultiplicityText(end.multiplicity);
        }
        return label.empty() ? std::string() : Quoted(label) + ' ';
    }

    static const char* Diamond(uml::Aggregation aggregation) {
        return aggregation == uml::Aggregation::Composite ? "*" : aggregation == uml::Aggregation::Shared ? "o" : "";
    }

    void Association(const uml::Association& association) {
        const auto ends = association.Members<uml::AssociationEnd>();
        if (ends.size() != 2) return;
        const uml::AssociationEnd &left = *ends[0], &right = *ends[1];
        const std::string &from = Alias(left.type.element), &to = Alias(right.type.element);
        if (from.empty() || to.empty()) return;
        // The aggregation stands on the end typed by the part; the diamond is
        // drawn at the whole, the other end.
        const char* head = Diamond(right.aggregation);
        const char* tail = Diamond(left.aggregation);
        if (*head == 0 && left.isNavigable && !right.isNavigable) head = "<";
        if (*tail == 0 && right.isNavigable && !left.isNavigable) tail = ">";
        m_out << from << ' ' << EndLabel(left) << head << "--" << tail << ' ' << EndLabel(right) << to;
        m_out << Label(uml::ShownText(association.name)) << '\n';
    }

    void Relationship(const uml::Relationship& relationship) {
        const std::string &from = Alias(relationship.client), &to = Alias(relationship.supplier.element);
        if (from.empty() || to.empty()) return;
        const char* arrow = "..>";
        // A parent is written first, with the arrow pointing back, so that PlantUML lays it above its children.
        bool parentFirst = false;
        std::string label = uml::ShownText(relationship.name);
        std::string stereotype = uml::ShownText(relationship.Stereotype());
        switch (relationship.sort) {
            case uml::RelationshipKind::Generalization:
                arrow = "<|--";
                parentFirst = true;
                break;
            case uml::RelationshipKind::Realization:
                arrow = "<|..";
                parentFirst = true;
                break;
            case uml::RelationshipKind::Connection: arrow = "--"; break;
            case uml::RelationshipKind::Import:
            case uml::RelationshipKind::Include:
            case uml::RelationshipKind::Extend:
                if (stereotype.empty()) stereotype = uml::RelationshipKindName(relationship.sort);
                break;
            case uml::RelationshipKind::Instantiation:
                if (stereotype.empty()) stereotype = "bind";
                break;
            case uml::RelationshipKind::Dependency: break;
        }
        if (!stereotype.empty()) label = uml::StereotypeText(stereotype) + (label.empty() ? "" : " " + label);
        m_out << (parentFirst ? to : from) << ' ' << arrow << ' ' << (parentFirst ? from : to) << Label(label) << '\n';
    }

    void Transition(const uml::Transition& transition) {
        const std::string &from = Alias(transition.source), &to = Alias(transition.target.element);
        if (from.empty() || to.empty()) return;
        m_out << from << " --> " << to << Label(uml::TransitionText(transition)) << '\n';
    }

    void Note(const uml::Note& note) {
        if (!m_written.emplace(&note, true).second) return;
        const std::string text = Quoted(uml::ShownText(note.text));
        std::vector<const std::string*> annotated;
        for (const uml::Element* element : note.annotated)
            if (!Alias(element).empty() && Alias(element) != "[*]") annotated.push_back(&Alias(element));
        // State diagrams take no lines from a note: the note is written beside each element it annotates.
        if (m_states && !annotated.empty()) {
            for (const std::string* alias : annotated)
                m_out << "note right of " << *alias << " : " << PlantUmlText(uml::ShownText(note.text)) << '\n';
            return;
        }
        const std::string alias = Numbered('N', ++m_notes);
        m_out << "note " << text << " as " << alias << '\n';
        for (const std::string* element : annotated) m_out << alias << " .. " << *element << '\n';
    }

    const uml::Diagram& m_diagram;
    std::ostream& m_out;
    const bool m_states;
    std::unordered_map<const uml::Element*, std::string> m_aliases;
    std::unordered_map<const uml::Element*, bool> m_written;  // connections and notes
    std::size_t m_notes = 0;
};

}  // namespace

bool WritePlantUml(const uml::Diagram& diagram, std::ostream& out) {
    tWriter(diagram, out).Run();
    return static_cast<bool>(out.flush());
}

}  // namespace lum::publish
