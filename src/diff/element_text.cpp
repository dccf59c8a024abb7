#include "diff/element_text.h"

#include <cstdint>

#include "lum/text/utf8.h"
#include "lum/uml/presentation.h"

namespace lum::diff::detail {

using uml::AsRaw;

namespace {

using uml::ShownText;
using uml::TypeText;

std::string Flag(bool value) { return value ? "true" : "false"; }
// A type as written: renaming a class does not change the elements that refer to it.
std::string Written(const uml::TypeRef& type) { return ShownText(type.name); }

void AddPropertyValues(const std::vector<uml::PropertyValue>& values, const std::string& prefix, tFields& out) {
    for (const uml::PropertyValue& value : values) {
        const std::string name =
            Cat(prefix, ShownText(value.tool), value.tool.GetLength() != 0 ? "." : "", ShownText(value.name));
        if (value.items.empty()) out.emplace_back(Cat("property ", name), ShownText(value.value));
        else AddPropertyValues(value.items, Cat(name, "."), out);
    }
}

std::string Actions(const std::vector<uml::Action>& actions) {
    std::vector<std::string> texts;
    for (const uml::Action& action : actions) texts.push_back(uml::ActionText(action));
    return Join(texts, "; ");
}

std::string Names(const std::vector<const uml::Element*>& elements) {
    std::vector<std::string> names;
    for (const uml::Element* element : elements)
        if (element != nullptr) names.push_back(Label(*element));
    return Join(names, ", ");
}

void AddKindFields(const uml::Element& element, tFields& out) {
    using namespace uml;
    auto add = [&out](const char* name, std::string value) { out.emplace_back(name, std::move(value)); };
    if (const auto* c = As<Classifier>(&element)) {
        add("kind", ClassifierKindName(c->sort));
        add("visibility", VisibilityName(c->visibility));
        add("abstract", Flag(c->isAbstract));
        add("template", Written(c->templateClassifier));
        std::vector<std::string> arguments;
        for (const WString& argument : c->templateArguments) arguments.push_back(ShownText(argument));
        add("template arguments", Join(arguments, ", "));
    } else if (const auto* p = As<Property>(&element)) {
        add("type", Written(p->type));
        add("multiplicity", p->multiplicity.ToString());
        add("default", ShownText(p->defaultValue));
        add("visibility", VisibilityName(p->visibility));
        add("static", Flag(p->isStatic));
        add("derived", Flag(p->isDerived));
        add("aggregation", AggregationName(p->aggregation));
    } else if (const auto* p = As<Parameter>(&element)) {
        add("type", Written(p->type));
        add("default", ShownText(p->defaultValue));
        add("direction", DirectionName(p->direction));
        add("const", Flag(p->isConst));
    } else if (const auto* o = As<Operation>(&element)) {
        add("visibility", VisibilityName(o->visibility));
        add("static", Flag(o->isStatic));
        add("abstract", Flag(o->isAbstract));
        add("query", Flag(o->isQuery));
        add("result", Written(o->returnType));
        std::vector<std::string> exceptions;
        for (const TypeRef& exception : o->exceptions) exceptions.push_back(Written(exception));
        add("raises", Join(exceptions, ", "));
        add("precondition", Shown(o->precondition));
        add("postcondition", Shown(o->postcondition));
        add("semantics", Shown(o->semantics));
    } else if (const auto* a = As<Association>(&element)) {
        add("derived", Flag(a->isDerived));
        add("association class", Written(a->associationClass));
    } else if (const auto* e = As<AssociationEnd>(&element)) {
        add("type", Written(e->type));
        add("multiplicity", e->multiplicity.ToString());
        add("navigable", Flag(e->isNavigable));
        add("aggregation", AggregationName(e->aggregation));
        add("visibility", VisibilityName(e->visibility));
        add("static", Flag(e->isStatic));
        add("ordered", Flag(e->isOrdered));
        add("constraints", Shown(e->constraints));
    } else if (const auto* r = As<Relationship>(&element)) {
        add("kind", RelationshipKindName(r->sort));
        add("supplier", Written(r->supplier));
        add("visibility", VisibilityName(r->visibility));
        add("virtual", Flag(r->isVirtual));
    } else if (const auto* u = As<UseCase>(&element)) {
        add("abstract", Flag(u->isAbstract));
        add("rank", ShownText(u->rank));
    } else if (const auto* s = As<State>(&element)) {
        add("kind", StateKindName(s->sort));
        add("actions", Actions(s->actions));
    } else if (const auto* t = As<Transition>(&element)) {
        add("target", Written(t->target));
        add("event", uml::EventText(t->event, t->eventParameters));
        add("guard", ShownText(t->guard));
        add("action", ShownText(t->action));
        add("send", t->sendEvent.GetLength() != 0 ? uml::SendText(t->sendTarget, t->sendEvent, t->sendParameters) : "");
    } else if (const auto* p = As<Partition>(&element)) {
        add("represents", Written(p->represents));
    } else if (const auto* n = As<ObjectNode>(&element)) {
        add("type", Written(n->type));
    } else if (const auto* f = As<ObjectFlow>(&element)) {
        add("source", Written(f->source));
        add("target", Written(f->target));
        add("state", Written(f->state));
    } else if (const auto* l = As<Lifeline>(&element)) {
        add("type", Written(l->type));
        add("multiple", Flag(l->isMulti));
    } else if (const auto* m = As<Message>(&element)) {
        add("sender", m->sender != nullptr ? Label(*m->sender) : "");
        add("receiver", Written(m->receiver));
        add("sequence", ShownText(m->sequence));
        add("operation", Written(m->operation));
        add("synchronicity", SynchronicityName(m->synchronicity));
        add("creation", Flag(m->isCreation));
    } else if (const auto* c = As<Component>(&element)) {
        add("kind", c->sort == ComponentKind::Module ? "module" : "subsystem");
        add("module type", ShownText(c->moduleType));
        add("module part", ShownText(c->modulePart));
        add("realizes", Names(c->realizedClasses));
    } else if (const auto* n = As<Node>(&element)) {
        add("kind", n->sort == NodeKind::Processor ? "processor" : "device");
        add("characteristics", Shown(n->characteristics));
    } else if (const auto* p = As<Process>(&element)) {
        add("priority", ShownText(p->priority));
    } else if (const auto* n = As<Note>(&element)) {
        add("text", ShownText(n->text));
        add("annotates", Names(n->annotated));
    } else if (const auto* d = As<Diagram>(&element)) {
        add("kind", DiagramKindName(d->sort));
        add("context", Written(d->context));
    } else if (const auto* p = As<Package>(&element)) {
        add("visibility", VisibilityName(p->visibility));
        add("loaded", Flag(!p->unloaded));
    }
}

}  // namespace

std::string Shown(const WString* text) { return text != nullptr ? ShownText(*text) : std::string(); }

std::string Label(const uml::Element& element) {
    using namespace uml;
    if (element.name.GetLength() != 0) return ShownText(element.name);
    if (const auto* end = As<AssociationEnd>(&element)) return Cat("end at ", TypeText(end->type));
    if (const auto* association = As<Association>(&element)) {
        std::vector<std::string> ends;
        for (const AssociationEnd* end : association->Members<AssociationEnd>()) ends.push_back(TypeText(end->type));
        return Cat("association ", Join(ends, " - "));
    }
    if (const auto* relationship = As<Relationship>(&element))
        return Cat(RelationshipKindName(relationship->sort), " to ", TypeText(relationship->supplier));
    if (const auto* transition = As<Transition>(&element)) {
        std::string text = Cat("transition to ", TypeText(transition->target));
        if (transition->event.GetLength() != 0) text += Cat(" on ", ShownText(transition->event));
        return text;
    }
    return uml::NameOrKind(element);
}

std::string Noun(const uml::Element& element) {
    using namespace uml;
    if (const auto* classifier = As<Classifier>(&element)) return ClassifierKindName(classifier->sort);
    if (const auto* package = As<Package>(&element)) return package->isModel ? "model" : "package";
    if (const auto* property = As<Property>(&element)) return property->isQualifier ? "qualifier" : "attribute";
    if (const auto* parameter = As<Parameter>(&element))
        return parameter->isTemplateParameter ? "template parameter" : "parameter";
    if (element.kind == Kind::AssociationEnd) return "association end";
    if (element.kind == Kind::StateMachine) return "state machine";
    if (element.kind == Kind::UseCase) return "use case";
    if (element.kind == Kind::ObjectNode) return "object node";
    if (element.kind == Kind::ObjectFlow) return "object flow";
    return KindName(element.kind);
}

std::wstring_view Quid(const uml::Element& element) {
    const auto* object = AsRaw<ClumQuidObject>(element.raw);
    if (object == nullptr) return {};
    const ClumIdent& ident = object->quid.Get();
    const std::wstring_view quid(ident.c_str(), ident.GetLength());
    return quid.find_first_not_of(L'0') == std::wstring_view::npos ? std::wstring_view() : quid;
}

void Fields(const uml::Element& element, tFields& fields) {
    fields.clear();
    fields.emplace_back("stereotype", ShownText(element.Stereotype()));
    AddKindFields(element, fields);
    AddPropertyValues(element.PropertyValues(), "", fields);
}

}  // namespace lum::diff::detail
