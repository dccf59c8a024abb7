// The outline as one JSON document, format "lum-outline/1". Every element
// is an object with an "id" (its position in a depth-first walk of the
// view), its "kind", its own fields and its "members"; references between
// elements are {"name", "ref": id or null}.

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "lum/text/utf8.h"
#include "lum/uml/outline.h"

namespace lum::uml {

namespace {

class tJson {
public:
    explicit tJson(std::ostream& out) : m_out(out) {}

    void String(const std::string& utf8) { m_out << JsonQuote(utf8); }
    void String(const std::wstring& text) { String(ToUtf8(text)); }
    void String(const ClumIdent& ident) { String(ToUtf8(ident.View())); }
    void Key(const char* key) {
        m_out << ",\"" << key << "\":";
    }
    template <class T>
    void Field(const char* key, const T& value) {
        Key(key);
        String(value);
    }
    void Bool(const char* key, bool value) {
        if (value) m_out << ",\"" << key << "\":true";
    }
    void Number(const char* key, long long value) { m_out << ",\"" << key << "\":" << value; }
    void Raw(const char* text) { m_out << text; }
    std::ostream& Out() { return m_out; }

private:
    std::ostream& m_out;
};

class tWriter {
public:
    tWriter(const View& view, std::ostream& out) : m_view(view), m_json(out) {}

    void Run() {
        Number();
        m_json.Raw("{\"format\":\"lum-outline/1\",\"models\":[");
        struct tFrame {
            const Element* element;
            bool first;
            bool close;
        };
        std::vector<tFrame> stack;
        const auto& models = m_view.Models();
        for (std::size_t i = models.size(); i-- > 0;) stack.push_back({models[i], i == 0, false});
        while (!stack.empty()) {
            const tFrame frame = stack.back();
            stack.pop_back();
            if (frame.close) {
                m_json.Raw("]}");
                continue;
            }
            if (!frame.first) m_json.Raw(",");
            Open(*frame.element);
            stack.push_back({frame.element, false, true});
            const auto& members = frame.element->members;
            for (std::size_t i = members.size(); i-- > 0;) stack.push_back({members[i], i == 0, false});
        }
        m_json.Raw("]}\n");
    }

private:
    // Ids in the order the elements are written.
    void Number() {
        std::vector<const Element*> stack(m_view.Models().rbegin(), m_view.Models().rend());
        while (!stack.empty()) {
            const Element* element = stack.back();
            stack.pop_back();
            m_ids.emplace(element, static_cast<long long>(m_ids.size()));
            for (auto member = element->members.rbegin(); member != element->members.rend(); ++member)
                stack.push_back(*member);
        }
    }

    void Ref(const char* key, const Element* element) {
        m_json.Key(key);
        const auto id = element != nullptr ? m_ids.find(element) : m_ids.end();
        if (id == m_ids.end()) m_json.Raw("null");
        else m_json.Out() << id->second;
    }
    void Type(const char* key, const TypeRef& type) {
        m_json.Key(key);
        m_json.Raw("{\"name\":");
        m_json.String(type.name);
        Ref("ref", type.element);
        m_json.Raw("}");
    }
    void Multiplicity(const char* key, const uml::Multiplicity& multiplicity) {
        if (!multiplicity.IsSpecified()) return;
        m_json.Key(key);
        m_json.Raw("{\"text\":");
        m_json.String(multiplicity.text);
        m_json.Raw(",\"ranges\":[");
        for (std::size_t i = 0; i < multiplicity.ranges.size(); ++i) {
            const MultiplicityRange& range = multiplicity.ranges[i];
            m_json.Out() << (i == 0 ? "" : ",") << "{\"lower\":" << range.lower << ",\"upper\":";
            if (range.upper == MultiplicityRange::kUnlimited) m_json.Raw("\"*\"}");
            else m_json.Out() << range.upper << "}";
        }
        m_json.Raw("]}");
    }
    void Visibility(uml::Visibility visibility) {
        if (visibility != uml::Visibility::Unspecified) m_json.Field("visibility", std::string(VisibilityName(visibility)));
    }
    void Text(const char* key, const std::wstring& text) {
        if (!text.empty()) m_json.Field(key, text);
    }
    void Text(const char* key, const ClumIdent& text) {
        if (text.GetLength() != 0) m_json.Field(key, text);
    }
    void Text(const char* key, const WString* text) {
        if (text != nullptr) Text(key, *text);
    }
    void Values(const std::vector<PropertyValue>& values) {
        m_json.Raw("[");
        for (std::size_t i = 0; i < values.size(); ++i) {
            m_json.Raw(i == 0 ? "{\"tool\":" : ",{\"tool\":");
            m_json.String(values[i].tool);
            m_json.Field("name", values[i].name);
            if (values[i].items.empty()) {
                m_json.Field("value", values[i].value);
            } else {
                m_json.Key("items");
                Values(values[i].items);
            }
            m_json.Raw("}");
        }
        m_json.Raw("]");
    }

    // Writes the element up to the opening of its members.
    void Open(const Element& element) {
        m_json.Raw("{\"id\":");
        m_json.Out() << m_ids.at(&element);
        m_json.Field("kind", std::string(KindName(element.kind)));
        m_json.Field("name", element.name);
        Text("stereotype", element.Stereotype());
        Text("documentation", element.Documentation());
        if (const std::vector<PropertyValue> values = element.PropertyValues(); !values.empty()) {
            m_json.Key("propertyValues");
            Values(values);
        }
        Fields(element);
        m_json.Raw(",\"members\":[");
    }

    void Fields(const Element& element) {
        switch (element.kind) {
            case Kind::Package: {
                const auto& package = static_cast<const Package&>(element);
                m_json.Bool("isModel", package.isModel);
                m_json.Bool("unloaded", package.unloaded);
                Visibility(package.visibility);
                break;
            }
            case Kind::Classifier: {
                const auto& classifier = static_cast<const Classifier&>(element);
                m_json.Field("sort", std::string(ClassifierKindName(classifier.sort)));
                Visibility(classifier.visibility);
                m_json.Bool("isAbstract", classifier.isAbstract);
                m_json.Bool("isParameterized", classifier.isParameterized);
                if (classifier.isInstantiated) {
                    Type("template", classifier.templateClassifier);
                    m_json.Key("templateArguments");
                    m_json.Raw("[");
                    for (std::size_t i = 0; i < classifier.templateArguments.size(); ++i) {
                        if (i != 0) m_json.Raw(",");
                        m_json.String(classifier.templateArguments[i]);
                    }
                    m_json.Raw("]");
                }
                break;
            }
            case Kind::Property: {
                const auto& property = static_cast<const Property&>(element);
                Type("type", property.type);
                Multiplicity("multiplicity", property.multiplicity);
                Text("default", property.defaultValue);
                Visibility(property.visibility);
                m_json.Bool("isStatic", property.isStatic);
                m_json.Bool("isDerived", property.isDerived);
                m_json.Bool("isQualifier", property.isQualifier);
                m_json.Field("aggregation", std::string(AggregationName(property.aggregation)));
                break;
            }
            case Kind::Parameter: {
                const auto& parameter = static_cast<const Parameter&>(element);
                Type("type", parameter.type);
                Text("default", parameter.defaultValue);
                m_json.Field("direction", std::string(DirectionName(parameter.direction)));
                m_json.Bool("isConst", parameter.isConst);
                m_json.Bool("isTemplateParameter", parameter.isTemplateParameter);
                break;
            }
            case Kind::Operation: {
                const auto& operation = static_cast<const Operation&>(element);
                Visibility(operation.visibility);
                m_json.Bool("isStatic", operation.isStatic);
                m_json.Bool("isAbstract", operation.isAbstract);
                m_json.Bool("isQuery", operation.isQuery);
                if (operation.returnType.name.GetLength() != 0) Type("returnType", operation.returnType);
                if (!operation.exceptions.empty()) {
                    m_json.Key("exceptions");
                    m_json.Raw("[");
                    for (std::size_t i = 0; i < operation.exceptions.size(); ++i) {
                        m_json.Raw(i == 0 ? "{\"name\":" : ",{\"name\":");
                        m_json.String(operation.exceptions[i].name);
                        Ref("ref", operation.exceptions[i].element);
                        m_json.Raw("}");
                    }
                    m_json.Raw("]");
                }
                Text("precondition", operation.precondition);
                Text("postcondition", operation.postcondition);
                Text("semantics", operation.semantics);
                break;
            }
            case Kind::Association: {
                const auto& association = static_cast<const Association&>(element);
                m_json.Bool("isDerived", association.isDerived);
                m_json.Bool("isCommunication", association.IsCommunication());
                if (association.associationClass.IsBound()) Type("associationClass", association.associationClass);
                break;
            }
            case Kind::AssociationEnd: {
                const auto& end = static_cast<const AssociationEnd&>(element);
                Type("type", end.type);
                Multiplicity("multiplicity", end.multiplicity);
                m_json.Bool("isNavigable", end.isNavigable);
                m_json.Field("aggregation", std::string(AggregationName(end.aggregation)));
                Visibility(end.visibility);
                m_json.Bool("isStatic", end.isStatic);
                m_json.Bool("isOrdered", end.isOrdered);
                Text("constraints", end.constraints);
                break;
            }
            case Kind::Relationship: {
                const auto& relationship = static_cast<const Relationship&>(element);
                m_json.Field("sort", std::string(RelationshipKindName(relationship.sort)));
                Ref("client", relationship.client);
                Type("supplier", relationship.supplier);
                Visibility(relationship.visibility);
                m_json.Bool("isVirtual", relationship.isVirtual);
                break;
            }
            case Kind::UseCase: {
                const auto& useCase = static_cast<const UseCase&>(element);
                m_json.Bool("isAbstract", useCase.isAbstract);
                Text("rank", useCase.rank);
                break;
            }
            case Kind::State: {
                const auto& state = static_cast<const State&>(element);
                m_json.Field("sort", std::string(StateKindName(state.sort)));
                m_json.Bool("isComposite", state.isComposite);
                if (state.actions.empty()) break;
                m_json.Key("actions");
                m_json.Raw("[");
                for (std::size_t i = 0; i < state.actions.size(); ++i) {
                    const Action& action = state.actions[i];
                    m_json.Raw(i == 0 ? "{\"name\":" : ",{\"name\":");
                    m_json.String(action.name);
                    m_json.Field("when", std::string(ActionTimeName(action.when)));
                    Text("event", action.event);
                    Text("condition", action.condition);
                    m_json.Bool("isSendEvent", action.isSendEvent);
                    Text("target", action.sendTarget);
                    m_json.Raw("}");
                }
                m_json.Raw("]");
                break;
            }
            case Kind::Transition: {
                const auto& transition = static_cast<const Transition&>(element);
                Ref("source", transition.source);
                Type("target", transition.target);
                Text("event", transition.event);
                Text("eventParameters", transition.eventParameters);
                Text("guard", transition.guard);
                Text("action", transition.action);
                Text("sendEvent", transition.sendEvent);
                Text("sendTarget", transition.sendTarget);
                Text("sendParameters", transition.sendParameters);
                break;
            }
            case Kind::Partition: Type("represents", static_cast<const Partition&>(element).represents); break;
            case Kind::ObjectNode: Type("type", static_cast<const ObjectNode&>(element).type); break;
            case Kind::ObjectFlow: {
                const auto& flow = static_cast<const ObjectFlow&>(element);
                Type("source", flow.source);
                Type("target", flow.target);
                if (flow.state.IsBound()) Type("state", flow.state);
                break;
            }
            case Kind::Lifeline: {
                const auto& lifeline = static_cast<const Lifeline&>(element);
                Type("type", lifeline.type);
                m_json.Bool("isMulti", lifeline.isMulti);
                break;
            }
            case Kind::Message: {
                const auto& message = static_cast<const Message&>(element);
                Ref("sender", message.sender);
                Type("receiver", message.receiver);
                m_json.Number("order", message.order);
                Text("sequence", message.sequence);
                Type("operation", message.operation);
                m_json.Field("synchronicity", std::string(SynchronicityName(message.synchronicity)));
                m_json.Bool("isCreation", message.isCreation);
                break;
            }
            case Kind::Component: {
                const auto& component = static_cast<const Component&>(element);
                m_json.Field("sort", std::string(component.sort == ComponentKind::Subsystem ? "subsystem" : "module"));
                Text("moduleType", component.moduleType);
                Text("modulePart", component.modulePart);
                IdList("realizedClasses", component.realizedClasses);
                break;
            }
            case Kind::Node: {
                const auto& node = static_cast<const Node&>(element);
                m_json.Field("sort", std::string(node.sort == NodeKind::Device ? "device" : "processor"));
                Text("characteristics", node.characteristics);
                break;
            }
            case Kind::Process: Text("priority", static_cast<const Process&>(element).priority); break;
            case Kind::Note: {
                const auto& note = static_cast<const Note&>(element);
                m_json.Field("text", note.text);
                IdList("annotated", note.annotated);
                break;
            }
            case Kind::Diagram: Diagram(static_cast<const uml::Diagram&>(element)); break;
            default: break;
        }
    }

    void IdList(const char* key, const std::vector<const Element*>& elements) {
        m_json.Key(key);
        m_json.Raw("[");
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const auto id = m_ids.find(elements[i]);
            m_json.Out() << (i == 0 ? "" : ",");
            if (id == m_ids.end()) m_json.Raw("null");
            else m_json.Out() << id->second;
        }
        m_json.Raw("]");
    }

    void Diagram(const uml::Diagram& diagram) {
        m_json.Field("sort", std::string(DiagramKindName(diagram.sort)));
        if (diagram.context.IsBound()) Type("context", diagram.context);
        m_json.Key("shown");
        m_json.Raw("[");
        for (std::size_t i = 0; i < diagram.shown.size(); ++i) {
            const Shown& shown = diagram.shown[i];
            const Geometry where = shown.Where();
            m_json.Raw(i == 0 ? "{" : ",{");
            m_json.Raw("\"element\":");
            const auto id = m_ids.find(shown.element);
            if (id == m_ids.end()) m_json.Raw("null");
            else m_json.Out() << id->second;
            m_json.Field("view", ToUtf8(shown.item->GetMetaClass().GetName().View()));
            m_json.Out() << ",\"location\":[" << where.location.x << "," << where.location.y << "]";
            if (where.width != 0 || where.height != 0)
                m_json.Out() << ",\"size\":[" << where.width << "," << where.height << "]";
            if (where.points != nullptr && !where.points->empty()) {
                m_json.Raw(",\"points\":[");
                for (std::size_t p = 0; p < where.points->size(); ++p)
                    m_json.Out() << (p == 0 ? "[" : ",[") << (*where.points)[p].x << "," << (*where.points)[p].y << "]";
                m_json.Raw("]");
            }
            m_json.Raw("}");
        }
        m_json.Raw("]");
    }

    const View& m_view;
    tJson m_json;
    std::unordered_map<const Element*, long long> m_ids;
};

}  // namespace

bool WriteOutlineJson(const View& view, std::ostream& out) {
    tWriter(view, out).Run();
    return static_cast<bool>(out.flush());
}

}  // namespace lum::uml
