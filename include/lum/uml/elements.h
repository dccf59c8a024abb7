#pragma once
// The elements of the UML view: read-only interpretations of the raw model
// objects. Every element keeps a pointer to the raw object it comes from and
// is owned by the View that built it; neither outlives the raw model.

#include <cstdint>
#include <string>
#include <vector>

#include "lum/export.h"
#include "lum/model/classes.h"
#include "lum/text/ident.h"
#include "lum/text/location.h"
#include "lum/text/wstring.h"
#include "lum/uml/multiplicity.h"

LUM_API_BEGIN
namespace lum::uml {

// The kind of an element selects its type: Package, Classifier, ... .
enum class Kind : std::uint8_t {
    Package,
    Classifier,
    Property,
    Operation,
    Parameter,
    Association,
    AssociationEnd,
    Relationship,
    UseCase,
    StateMachine,
    State,
    Transition,
    Partition,
    ObjectNode,
    ObjectFlow,
    Interaction,
    Lifeline,
    Message,
    Component,
    Node,
    Process,
    Note,
    Diagram,
};
inline constexpr int kKindCount = static_cast<int>(Kind::Diagram) + 1;
const char* KindName(Kind kind);

enum class Visibility : std::uint8_t { Unspecified, Public, Protected, Private, Package };
const char* VisibilityName(Visibility visibility);
// The UML sign of a visibility: '+', '#', '-', '~', or ' ' when unspecified.
char VisibilitySign(Visibility visibility);

enum class Aggregation : std::uint8_t { None, Shared, Composite };
const char* AggregationName(Aggregation aggregation);

class Element;

// A typed thing an element refers to: the element the raw reference is bound
// to (null when it is unbound or bound to something the view does not show)
// and the name as written (the type text of an attribute, a result, ...).
struct TypeRef {
    const Element* element = nullptr;
    const ClumVellumEntity* target = nullptr;  // the raw object bound, if any
    ClumIdent name;
    bool IsBound() const { return target != nullptr; }
};

// One property value of the tool that wrote the model: a tool, a name and a
// value text; a value that is itself a set of property values has `items`.
struct PropertyValue {
    ClumIdent tool;
    ClumIdent name;
    WString value;
    std::vector<PropertyValue> items;
    const ClumAttribute* raw = nullptr;
};

// The text of a value object (an identifier, string, number, boolean, text
// or cardinality); empty for anything else or null.
WString ValueText(const ClumVellumEntity* value);

// What all elements share. `members` are the elements it owns, in the order
// the raw model holds them. Owner and members are handed out read-only.
class Element {
public:
    Element(Kind kind, const ClumVellumEntity* raw, const Element* owner) : kind(kind), raw(raw), owner(owner) {}
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    Kind kind;
    const ClumVellumEntity* raw;
    const Element* owner;
    ClumIdent name;  // empty for the unnamed ("$UNNAMED$...") objects of the notation
    std::vector<const Element*> members;

    // The stereotype as written; empty when there is none.
    ClumIdent Stereotype() const;
    // The documentation text; empty when there is none.
    const WString& Documentation() const;
    // The property values kept with the raw object, in order.
    std::vector<PropertyValue> PropertyValues() const;
    // The owned members of type T, in order.
    template <class T>
    std::vector<const T*> Members() const {
        std::vector<const T*> out;
        for (const Element* member : members)
            if (T::Is(member->kind)) out.push_back(static_cast<const T*>(member));
        return out;
    }
};

// The element as T when its kind is T's, else null.
template <class T>
const T* As(const Element* element) {
    return element != nullptr && T::Is(element->kind) ? static_cast<const T*>(element) : nullptr;
}

// The raw object as the model class T when its class is T or derives from
// it, else null: how the view and the outputs read an element's raw object.
template <class T>
const T* AsRaw(const ClumVellumEntity* object) {
    return object != nullptr && object->GetMetaClass().IsKindOf(&T::StaticGetMetaClass()) ? static_cast<const T*>(object)
                                                                                           : nullptr;
}

#define LUM_UML_KIND(K) \
    static bool Is(Kind k) { return k == Kind::K; }

// A package: the model of a design, a logical or use-case package, the
// component view or the deployment view. `unloaded` marks a package whose
// unit file was not loaded.
class Package : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Package)
    bool isModel = false;
    bool unloaded = false;
    Visibility visibility = Visibility::Unspecified;
};

enum class ClassifierKind : std::uint8_t { Class, Interface, Actor, DataType, Enumeration, Utility, Metaclass };
const char* ClassifierKindName(ClassifierKind kind);

// A class, interface, actor, data type, enumeration, class utility or
// metaclass; parameterized classes carry their template parameters among
// their members (Parameter elements with `isTemplateParameter`), instantiated
// classes the template they bind and the argument texts.
class Classifier : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Classifier)
    ClassifierKind sort = ClassifierKind::Class;
    Visibility visibility = Visibility::Unspecified;
    bool isAbstract = false;
    bool isParameterized = false;
    bool isInstantiated = false;
    TypeRef templateClassifier;           // instantiated classes: the class they instantiate
    std::vector<WString> templateArguments;  // instantiated classes: the actual arguments
    std::vector<const Element*> components;  // the components (modules) that realize it
};

// An attribute, or a qualifier of an association end.
class Property : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Property)
    TypeRef type;
    Multiplicity multiplicity;
    WString defaultValue;
    Visibility visibility = Visibility::Unspecified;
    bool isStatic = false;
    bool isDerived = false;
    bool isQualifier = false;
    Aggregation aggregation = Aggregation::None;  // Composite for containment by value
};

enum class Direction : std::uint8_t { In, Out, InOut };
const char* DirectionName(Direction direction);

// A parameter of an operation, or a template parameter of a class.
class Parameter : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Parameter)
    TypeRef type;
    WString defaultValue;
    Direction direction = Direction::In;
    bool isConst = false;
    bool isTemplateParameter = false;
};

class Operation : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Operation)
    Visibility visibility = Visibility::Unspecified;
    bool isStatic = false;
    bool isAbstract = false;
    bool isQuery = false;  // written const
    TypeRef returnType;    // name empty when there is no result
    std::vector<TypeRef> exceptions;
    const WString* precondition = nullptr;   // null when not stored
    const WString* postcondition = nullptr;
    const WString* semantics = nullptr;
};

// An association; its ends are its AssociationEnd members, in order.
class Association : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Association)
    bool isDerived = false;
    TypeRef associationClass;
    // True between an actor and a use case.
    bool IsCommunication() const;
};

// One end of an association: the end at `type`, with the multiplicity of
// that end. Navigable means the association can be followed towards `type`;
// the aggregation kind is UML's: an end typed by the part says how the
// classifier at the other end holds it. Qualifiers are Property members.
class AssociationEnd : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(AssociationEnd)
    TypeRef type;
    Multiplicity multiplicity;
    bool isNavigable = false;
    Aggregation aggregation = Aggregation::None;
    Visibility visibility = Visibility::Unspecified;
    bool isStatic = false;
    bool isOrdered = false;
    const WString* constraints = nullptr;
};

enum class RelationshipKind : std::uint8_t {
    Generalization,
    Realization,
    Dependency,
    Import,
    Instantiation,
    Include,
    Extend,
    Connection,
};
const char* RelationshipKindName(RelationshipKind kind);

// A directed relationship from `client` (the element that holds it) to
// `supplier`.
class Relationship : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Relationship)
    RelationshipKind sort = RelationshipKind::Dependency;
    const Element* client = nullptr;
    TypeRef supplier;
    Visibility visibility = Visibility::Unspecified;
    bool isVirtual = false;
};

class UseCase : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(UseCase)
    bool isAbstract = false;
    WString rank;
};

// A state machine or activity graph: states, transitions, partitions, object
// nodes, object flows and diagrams are its members.
class StateMachine : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(StateMachine)
};

enum class StateKind : std::uint8_t {
    Simple,
    Initial,
    Final,
    ShallowHistory,
    DeepHistory,
    Decision,
    Synchronization,
    Activity,
};
const char* StateKindName(StateKind kind);

enum class ActionTime : std::uint8_t { Entry, Exit, OnEvent, Do };
const char* ActionTimeName(ActionTime when);

// An action of a state (entry, exit, do, or on an event) or of a transition.
struct Action {
    ClumIdent name;
    ActionTime when = ActionTime::Entry;
    ClumIdent event;
    WString condition;
    bool isSendEvent = false;
    WString sendTarget;
    const Clumaction* raw = nullptr;
};

// A state, pseudo-state or activity state. A composite state holds its
// nested state machine among its members; transitions it is the source of
// are members too.
class State : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(State)
    StateKind sort = StateKind::Simple;
    bool isComposite = false;
    std::vector<Action> actions;
};

// A transition from `source` to `target`: event, guard, action and sent event.
class Transition : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Transition)
    const Element* source = nullptr;
    TypeRef target;
    ClumIdent event;
    WString eventParameters;
    WString guard;
    ClumIdent action;
    ClumIdent sendEvent;
    WString sendTarget;
    WString sendParameters;
};

// A swimlane of an activity graph and the classifier it stands for.
class Partition : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Partition)
    TypeRef represents;
};

// An object in an activity graph.
class ObjectNode : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(ObjectNode)
    TypeRef type;
};

class ObjectFlow : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(ObjectFlow)
    TypeRef source;
    TypeRef target;
    TypeRef state;
};

// A collaboration of objects (lifelines) exchanging messages.
class Interaction : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Interaction)
};

// An object of an interaction and its class.
class Lifeline : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Lifeline)
    TypeRef type;
    bool isMulti = false;
};

enum class Synchronicity : std::uint8_t {
    Simple,
    Synchronous,
    Balking,
    Timeout,
    ProcedureCall,
    Asynchronous,
    Return,
};
const char* SynchronicityName(Synchronicity kind);

// A message between two lifelines, in the order of its sequence number.
class Message : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Message)
    const Element* sender = nullptr;
    TypeRef receiver;
    int order = 0;
    ClumIdent sequence;
    TypeRef operation;  // the operation called: bound, or the text written
    Synchronicity synchronicity = Synchronicity::Simple;
    bool isCreation = false;
};

enum class ComponentKind : std::uint8_t { Module, Subsystem };

// A module or subsystem of the component view; `realizedClasses` are the
// classes assigned to a module.
class Component : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Component)
    ComponentKind sort = ComponentKind::Module;
    ClumIdent moduleType;
    ClumIdent modulePart;
    std::vector<const Element*> realizedClasses;
};

enum class NodeKind : std::uint8_t { Processor, Device };

// A processor or device of the deployment view; its connections are
// Relationship members, its processes Process members.
class Node : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Node)
    NodeKind sort = NodeKind::Processor;
    const WString* characteristics = nullptr;
};

class Process : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Process)
    WString priority;
};

// A note of a diagram and the elements it is attached to.
class Note : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Note)
    WString text;
    std::vector<const Element*> annotated;
};

enum class DiagramKind : std::uint8_t {
    Class,
    UseCase,
    State,
    Activity,
    Sequence,
    Collaboration,
    Component,
    Deployment,
    Other,
};
const char* DiagramKindName(DiagramKind kind);

// Where and how big an item is drawn: symbols have a location and a size,
// lines their points.
struct Geometry {
    tLocation location;
    int width = 0;
    int height = 0;
    const tPointVector* points = nullptr;  // null for symbols
};

// One item of a diagram that shows an element.
struct Shown {
    const Element* element = nullptr;
    const ClumDiagramItem* item = nullptr;
    Geometry Where() const;
};

class Diagram : public Element {
public:
    using Element::Element;
    LUM_UML_KIND(Diagram)
    DiagramKind sort = DiagramKind::Other;
    std::vector<Shown> shown;     // in drawing order
    TypeRef context;              // interaction diagrams: the interaction shown
};

#undef LUM_UML_KIND

}  // namespace lum::uml
LUM_API_END
