// The UML view in Python: lum.uml.View and one Python type per kind of
// element, with plain attributes and lists. Enumerations come out as their
// names ("Public", "Composite", ...), multiplicities in UML notation.

#include <pybind11/stl.h>

#include "handles.h"

namespace lumpy {

namespace {

using namespace lum::uml;

// lum.uml.TypeRef: what an element refers to, bound or by name alone.
struct TypeRefValue {
    std::string name;
    py::object element;  // the element bound, or None
    py::object target;   // the raw object bound, or None
};

struct ViewHandle {
    ModelPtr model;
    const View& Get() const { return View::Of(*model); }
};

py::object Ref(const ModelPtr& model, const TypeRef& ref) {
    return py::cast(TypeRefValue{Utf8(ref.name), Wrap(model, ref.element), Wrap(model, ref.target)});
}

py::object OptionalText(const lum::WString* text) { return text == nullptr ? py::object(py::none()) : py::str(Utf8(*text)); }

template <class Range>
py::list Elements(const ModelPtr& model, const Range& elements) {
    py::list out;
    for (const Element* element : elements) out.append(Wrap(model, element));
    return out;
}

py::object Namespace(const py::dict& values) { return py::module_::import("types").attr("SimpleNamespace")(**values); }

py::list PropertyValues(const std::vector<PropertyValue>& values) {
    py::list out;
    for (const PropertyValue& value : values)
        out.append(Namespace(py::dict(py::arg("tool") = Utf8(value.tool), py::arg("name") = Utf8(value.name),
                                      py::arg("value") = Utf8(value.value), py::arg("items") = PropertyValues(value.items))));
    return out;
}

py::list Actions(const std::vector<Action>& actions) {
    py::list out;
    for (const Action& action : actions)
        out.append(Namespace(py::dict(py::arg("name") = Utf8(action.name), py::arg("when") = ActionTimeName(action.when),
                                      py::arg("event") = Utf8(action.event), py::arg("condition") = Utf8(action.condition),
                                      py::arg("is_send_event") = action.isSendEvent,
                                      py::arg("send_target") = Utf8(action.sendTarget))));
    return out;
}

py::list ShownItems(const ModelPtr& model, const std::vector<Shown>& shown) {
    py::list out;
    for (const Shown& item : shown) {
        const Geometry where = item.Where();
        py::list points;
        if (where.points != nullptr)
            for (const lum::tLocation& point : *where.points) points.append(py::make_tuple(point.x, point.y));
        out.append(Namespace(py::dict(py::arg("element") = Wrap(model, item.element),
                                      py::arg("location") = py::make_tuple(where.location.x, where.location.y),
                                      py::arg("width") = where.width, py::arg("height") = where.height,
                                      py::arg("points") = points)));
    }
    return out;
}

// Attributes of an element of type T, read through a member function of its handle.
template <class T>
using Kind_ = py::class_<ElementOf<T>, ElementHandle>;

#define LUM_TEXT(T, field) [](const ElementOf<T>& e) { return Utf8(e.Get().field); }
#define LUM_VALUE(T, field) [](const ElementOf<T>& e) { return e.Get().field; }
#define LUM_NAMED(T, field, Namer) [](const ElementOf<T>& e) { return Namer(e.Get().field); }
#define LUM_REF(T, field) [](const ElementOf<T>& e) { return Ref(e.model, e.Get().field); }
#define LUM_ELEMENT(T, field) [](const ElementOf<T>& e) { return Wrap(e.model, e.Get().field); }
#define LUM_LIST(T, field) [](const ElementOf<T>& e) { return Elements(e.model, e.Get().field); }
#define LUM_MEMBERS(T, M) [](const ElementOf<T>& e) { return Elements(e.model, e.Get().template Members<M>()); }

const char* ComponentKindName(ComponentKind kind) { return kind == ComponentKind::Module ? "module" : "subsystem"; }
const char* NodeKindName(NodeKind kind) { return kind == NodeKind::Processor ? "processor" : "device"; }

void BindKinds(py::module_& m) {
    Kind_<Package>(m, "Package", "A package, or the model of a design (is_model).")
        .def_property_readonly("is_model", LUM_VALUE(Package, isModel))
        .def_property_readonly("unloaded", LUM_VALUE(Package, unloaded), "its unit file was not loaded")
        .def_property_readonly("visibility", LUM_NAMED(Package, visibility, VisibilityName))
        .def_property_readonly("packages", LUM_MEMBERS(Package, Package))
        .def_property_readonly("classes", LUM_MEMBERS(Package, Classifier));
    Kind_<Classifier>(m, "Classifier", "A class, interface, actor, data type, enumeration, utility or metaclass.")
        .def_property_readonly("sort", LUM_NAMED(Classifier, sort, ClassifierKindName), "\"Class\", \"Interface\", \"Actor\", ...")
        .def_property_readonly("visibility", LUM_NAMED(Classifier, visibility, VisibilityName))
        .def_property_readonly("is_abstract", LUM_VALUE(Classifier, isAbstract))
        .def_property_readonly("is_parameterized", LUM_VALUE(Classifier, isParameterized))
        .def_property_readonly("is_instantiated", LUM_VALUE(Classifier, isInstantiated))
        .def_property_readonly("template_classifier", LUM_REF(Classifier, templateClassifier))
        .def_property_readonly("template_arguments", [](const ElementOf<Classifier>& e) {
            std::vector<std::string> out;
            for (const lum::WString& argument : e.Get().templateArguments) out.push_back(Utf8(argument));
            return out;
        })
        .def_property_readonly("components", LUM_LIST(Classifier, components))
        .def_property_readonly("attributes", LUM_MEMBERS(Classifier, Property))
        .def_property_readonly("operations", LUM_MEMBERS(Classifier, Operation));
    Kind_<Property>(m, "Property", "An attribute, or a qualifier of an association end.")
        .def_property_readonly("type", LUM_REF(Property, type))
        .def_property_readonly("multiplicity", [](const ElementOf<Property>& e) { return e.Get().multiplicity.ToString(); })
        .def_property_readonly("default_value", LUM_TEXT(Property, defaultValue))
        .def_property_readonly("visibility", LUM_NAMED(Property, visibility, VisibilityName))
        .def_property_readonly("is_static", LUM_VALUE(Property, isStatic))
        .def_property_readonly("is_derived", LUM_VALUE(Property, isDerived))
        .def_property_readonly("is_qualifier", LUM_VALUE(Property, isQualifier))
        .def_property_readonly("aggregation", LUM_NAMED(Property, aggregation, AggregationName));
    Kind_<Parameter>(m, "Parameter", "A parameter of an operation, or a template parameter of a class.")
        .def_property_readonly("type", LUM_REF(Parameter, type))
        .def_property_readonly("default_value", LUM_TEXT(Parameter, defaultValue))
        .def_property_readonly("direction", LUM_NAMED(Parameter, direction, DirectionName))
        .def_property_readonly("is_const", LUM_VALUE(Parameter, isConst))
        .def_property_readonly("is_template_parameter", LUM_VALUE(Parameter, isTemplateParameter));
    Kind_<Operation>(m, "Operation")
        .def_property_readonly("visibility", LUM_NAMED(Operation, visibility, VisibilityName))
        .def_property_readonly("is_static", LUM_VALUE(Operation, isStatic))
        .def_property_readonly("is_abstract", LUM_VALUE(Operation, isAbstract))
        .def_property_readonly("is_query", LUM_VALUE(Operation, isQuery))
        .def_property_readonly("return_type", LUM_REF(Operation, returnType), "name empty when there is no result")
        .def_property_readonly("exceptions", [](const ElementOf<Operation>& e) {
            py::list out;
            for (const TypeRef& ref : e.Get().exceptions) out.append(Ref(e.model, ref));
            return out;
        })
        .def_property_readonly("precondition", [](const ElementOf<Operation>& e) { return OptionalText(e.Get().precondition); })
        .def_property_readonly("postcondition", [](const ElementOf<Operation>& e) { return OptionalText(e.Get().postcondition); })
        .def_property_readonly("semantics", [](const ElementOf<Operation>& e) { return OptionalText(e.Get().semantics); })
        .def_property_readonly("parameters", LUM_MEMBERS(Operation, Parameter));
    Kind_<Association>(m, "Association")
        .def_property_readonly("is_derived", LUM_VALUE(Association, isDerived))
        .def_property_readonly("association_class", LUM_REF(Association, associationClass))
        .def_property_readonly("is_communication", [](const ElementOf<Association>& e) { return e.Get().IsCommunication(); })
        .def_property_readonly("ends", LUM_MEMBERS(Association, AssociationEnd));
    Kind_<AssociationEnd>(m, "AssociationEnd", "One end of an association: the end at `type`.")
        .def_property_readonly("type", LUM_REF(AssociationEnd, type))
        .def_property_readonly("multiplicity", [](const ElementOf<AssociationEnd>& e) { return e.Get().multiplicity.ToString(); })
        .def_property_readonly("is_navigable", LUM_VALUE(AssociationEnd, isNavigable))
        .def_property_readonly("aggregation", LUM_NAMED(AssociationEnd, aggregation, AggregationName))
        .def_property_readonly("visibility", LUM_NAMED(AssociationEnd, visibility, VisibilityName))
        .def_property_readonly("is_static", LUM_VALUE(AssociationEnd, isStatic))
        .def_property_readonly("is_ordered", LUM_VALUE(AssociationEnd, isOrdered))
        .def_property_readonly("constraints", [](const ElementOf<AssociationEnd>& e) { return OptionalText(e.Get().constraints); })
        .def_property_readonly("qualifiers", LUM_MEMBERS(AssociationEnd, Property));
    Kind_<Relationship>(m, "Relationship", "A directed relationship from client to supplier.")
        .def_property_readonly("sort", LUM_NAMED(Relationship, sort, RelationshipKindName))
        .def_property_readonly("client", LUM_ELEMENT(Relationship, client))
        .def_property_readonly("supplier", LUM_REF(Relationship, supplier))
        .def_property_readonly("visibility", LUM_NAMED(Relationship, visibility, VisibilityName))
        .def_property_readonly("is_virtual", LUM_VALUE(Relationship, isVirtual));
    Kind_<UseCase>(m, "UseCase")
        .def_property_readonly("is_abstract", LUM_VALUE(UseCase, isAbstract))
        .def_property_readonly("rank", LUM_TEXT(UseCase, rank));
    Kind_<StateMachine>(m, "StateMachine", "A state machine or activity graph; its states and transitions are members.");
    Kind_<State>(m, "State")
        .def_property_readonly("sort", LUM_NAMED(State, sort, StateKindName))
        .def_property_readonly("is_composite", LUM_VALUE(State, isComposite))
        .def_property_readonly("actions", [](const ElementOf<State>& e) { return Actions(e.Get().actions); });
    Kind_<Transition>(m, "Transition")
        .def_property_readonly("source", LUM_ELEMENT(Transition, source))
        .def_property_readonly("target", LUM_REF(Transition, target))
        .def_property_readonly("event", LUM_TEXT(Transition, event))
        .def_property_readonly("event_parameters", LUM_TEXT(Transition, eventParameters))
        .def_property_readonly("guard", LUM_TEXT(Transition, guard))
        .def_property_readonly("action", LUM_TEXT(Transition, action))
        .def_property_readonly("send_event", LUM_TEXT(Transition, sendEvent))
        .def_property_readonly("send_target", LUM_TEXT(Transition, sendTarget))
        .def_property_readonly("send_parameters", LUM_TEXT(Transition, sendParameters));
    Kind_<Partition>(m, "Partition").def_property_readonly("represents", LUM_REF(Partition, represents));
    Kind_<ObjectNode>(m, "ObjectNode").def_property_readonly("type", LUM_REF(ObjectNode, type));
    Kind_<ObjectFlow>(m, "ObjectFlow")
        .def_property_readonly("source", LUM_REF(ObjectFlow, source))
        .def_property_readonly("target", LUM_REF(ObjectFlow, target))
        .def_property_readonly("state", LUM_REF(ObjectFlow, state));
    Kind_<Interaction>(m, "Interaction");
    Kind_<Lifeline>(m, "Lifeline")
        .def_property_readonly("type", LUM_REF(Lifeline, type))
        .def_property_readonly("is_multi", LUM_VALUE(Lifeline, isMulti));
    Kind_<Message>(m, "Message")
        .def_property_readonly("sender", LUM_ELEMENT(Message, sender))
        .def_property_readonly("receiver", LUM_REF(Message, receiver))
        .def_property_readonly("order", LUM_VALUE(Message, order))
        .def_property_readonly("sequence", LUM_TEXT(Message, sequence))
        .def_property_readonly("operation", LUM_REF(Message, operation))
        .def_property_readonly("synchronicity", LUM_NAMED(Message, synchronicity, SynchronicityName))
        .def_property_readonly("is_creation", LUM_VALUE(Message, isCreation));
    Kind_<Component>(m, "Component")
        .def_property_readonly("sort", LUM_NAMED(Component, sort, ComponentKindName))
        .def_property_readonly("module_type", LUM_TEXT(Component, moduleType))
        .def_property_readonly("module_part", LUM_TEXT(Component, modulePart))
        .def_property_readonly("realized_classes", LUM_LIST(Component, realizedClasses));
    Kind_<Node>(m, "Node")
        .def_property_readonly("sort", LUM_NAMED(Node, sort, NodeKindName))
        .def_property_readonly("characteristics", [](const ElementOf<Node>& e) { return OptionalText(e.Get().characteristics); });
    Kind_<Process>(m, "Process").def_property_readonly("priority", LUM_TEXT(Process, priority));
    Kind_<Note>(m, "Note")
        .def_property_readonly("text", LUM_TEXT(Note, text))
        .def_property_readonly("annotated", LUM_LIST(Note, annotated));
    Kind_<Diagram>(m, "Diagram")
        .def_property_readonly("sort", LUM_NAMED(Diagram, sort, DiagramKindName))
        .def_property_readonly("shown", [](const ElementOf<Diagram>& e) { return ShownItems(e.model, e.Get().shown); },
                               "what it shows, in drawing order: element, location, width, height, points")
        .def_property_readonly("context", LUM_REF(Diagram, context));
}

// The kinds as View attributes, in the order of lum::uml::Kind.
const std::pair<const char*, Kind> kViewLists[] = {
    {"packages", Kind::Package},       {"classes", Kind::Classifier},        {"attributes", Kind::Property},
    {"operations", Kind::Operation},   {"parameters", Kind::Parameter},      {"associations", Kind::Association},
    {"association_ends", Kind::AssociationEnd}, {"relationships", Kind::Relationship}, {"use_cases", Kind::UseCase},
    {"state_machines", Kind::StateMachine}, {"states", Kind::State},       {"transitions", Kind::Transition},
    {"partitions", Kind::Partition},   {"object_nodes", Kind::ObjectNode},   {"object_flows", Kind::ObjectFlow},
    {"interactions", Kind::Interaction}, {"lifelines", Kind::Lifeline},     {"messages", Kind::Message},
    {"components", Kind::Component},   {"nodes", Kind::Node},                {"processes", Kind::Process},
    {"notes", Kind::Note},             {"diagrams", Kind::Diagram},
};

}  // namespace

py::object Wrap(const ModelPtr& model, const Element* element) {
    if (element == nullptr) return py::none();
    switch (element->kind) {
#define LUM_CASE(K) \
    case Kind::K: return py::cast(ElementOf<K>{{model, element}});
        LUM_CASE(Package) LUM_CASE(Classifier) LUM_CASE(Property) LUM_CASE(Operation) LUM_CASE(Parameter)
        LUM_CASE(Association) LUM_CASE(AssociationEnd) LUM_CASE(Relationship) LUM_CASE(UseCase)
        LUM_CASE(StateMachine) LUM_CASE(State) LUM_CASE(Transition) LUM_CASE(Partition) LUM_CASE(ObjectNode)
        LUM_CASE(ObjectFlow) LUM_CASE(Interaction) LUM_CASE(Lifeline) LUM_CASE(Message) LUM_CASE(Component)
        LUM_CASE(Node) LUM_CASE(Process) LUM_CASE(Note) LUM_CASE(Diagram)
#undef LUM_CASE
    }
    return py::cast(ElementHandle{model, element});
}

void BindUml(py::module_& module) {
    py::module_ m = module.def_submodule("uml", "The model as its authors meant it: packages, classes, associations, ...");

    py::class_<TypeRefValue>(m, "TypeRef", "What an element refers to: the element and raw object bound, and the name as written.")
        .def_readonly("name", &TypeRefValue::name)
        .def_readonly("element", &TypeRefValue::element, "the element bound, or None")
        .def_readonly("target", &TypeRefValue::target, "the raw object bound, or None")
        .def_property_readonly("is_bound", [](const TypeRefValue& r) { return !r.target.is_none(); })
        .def("__str__", [](const TypeRefValue& r) { return r.name; })
        .def("__repr__", [](const TypeRefValue& r) { return "<lum.uml.TypeRef " + r.name + ">"; });

    py::class_<ElementHandle>(m, "Element", "What all elements share; keeps its model alive.")
        .def_property_readonly("kind", [](const ElementHandle& e) { return KindName(e.element->kind); })
        .def_property_readonly("name", [](const ElementHandle& e) { return Utf8(e.element->name); },
                               "empty for unnamed objects")
        .def_property_readonly("owner", [](const ElementHandle& e) { return Wrap(e.model, e.element->owner); })
        .def_property_readonly("members", [](const ElementHandle& e) { return Elements(e.model, e.element->members); })
        .def_property_readonly("raw", [](const ElementHandle& e) { return Wrap(e.model, e.element->raw); },
                               "the raw object it interprets")
        .def_property_readonly("path", [](const ElementHandle& e) { return lum::Model::PathOf(e.element->raw); })
        .def_property_readonly("stereotype", [](const ElementHandle& e) { return Utf8(e.element->Stereotype()); })
        .def_property_readonly("documentation", [](const ElementHandle& e) { return Utf8(e.element->Documentation()); })
        .def_property_readonly("property_values", [](const ElementHandle& e) { return PropertyValues(e.element->PropertyValues()); },
                               "the property values of the tool that wrote the model: tool, name, value, items")
        .def_property_readonly("notes", [](const ElementHandle& e) {
            return Elements(e.model, View::Of(*e.model).NotesOf(*e.element));
        }, "the notes attached to it on any diagram")
        .def("__eq__", [](const ElementHandle& a, const py::object& b) {
            return py::isinstance<ElementHandle>(b) && b.cast<const ElementHandle&>().element == a.element;
        })
        .def("__hash__", [](const ElementHandle& e) { return std::hash<const void*>()(e.element); })
        .def("__repr__", [](const ElementHandle& e) {
            return std::string("<lum.uml.") + KindName(e.element->kind) + " " + lum::Model::PathOf(e.element->raw) + ">";
        });
    BindKinds(m);

    py::class_<ViewHandle> view(m, "View", "The UML view of a model; every list is in building order.");
    view.def_property_readonly("models", [](const ViewHandle& v) { return Elements(v.model, v.Get().Models()); },
                               "the top packages, one per design")
        .def("element_of", [](const ViewHandle& v, const ObjectHandle& raw) { return Wrap(v.model, v.Get().Find(raw.entity)); },
             py::arg("obj"), "the element that interprets a raw object, or None");
    for (const auto& [attribute, kind] : kViewLists) {
        const Kind each = kind;
        view.def_property_readonly(attribute, [each](const ViewHandle& v) { return Elements(v.model, v.Get().All(each)); });
    }

    py::class_<ModelHandle> model = py::reinterpret_borrow<py::class_<ModelHandle>>(module.attr("Model"));
    model.def_property_readonly("uml", [](const ModelHandle& m) { return ViewHandle{m.model}; },
                                "the UML view, built on first use")
        .def_property_readonly("diagrams", [](const ModelHandle& m) {
            return Elements(m.model, View::Of(*m.model).All(Kind::Diagram));
        }, "every diagram of the UML view")
        .def("render_svg", [](const ModelHandle& m, const ElementOf<Diagram>& diagram) {
            if (diagram.model != m.model) throw py::value_error("the diagram belongs to another model");
            std::string svg;
            {
                py::gil_scoped_release unlocked;
                svg = lum::render::RenderSvg(diagram.Get());
            }
            return svg;
        }, py::arg("diagram"),
             "the diagram as one SVG document, at the positions, sizes, colours and fonts its file stores; "
             "the GIL is released while drawing");
}

}  // namespace lumpy
