// The first pass of building a view: a walk of the raw containment tree that
// makes one element per raw object of design meaning. Objects that only
// carry data of their owner (values, property values, events, actions,
// conditions, fonts, diagram items) are read by their owner's element; other
// objects without an element of their own (object links, the tool's
// property set) are walked through, so what they contain lands in the
// nearest element above them.

#include <array>
#include <cwctype>
#include <string_view>

#include "lum/traverse/utility_functions.h"
#include "uml/raw_access.h"
#include "uml/view_storage.h"

namespace lum::uml::detail {

namespace {

// What the walk does with an object of a class.
enum class tRaw : std::int8_t {
    Unknown = -1,
    Data,
    PassThrough,
    Design,
    Category,
    SubSystem,
    Processes,
    Module,
    Class,
    ClassAttribute,
    Operation,
    Parameter,
    Association,
    Role,
    Inheritance,
    Realize,
    Instantiation,
    Connection,
    ModuleVisibility,
    Visibility,
    Dependency,
    UseCase,
    StateMachine,
    State,
    Transition,
    Partition,
    Object,
    ObjectFlow,
    Mechanism,
    Message,
    Node,
    Process,
    Diagram,
};

template <class T>
bool KindOf(const ClumMetaClass& c) {
    return c.IsKindOf(&T::StaticGetMetaClass());
}

tRaw Classify(const ClumMetaClass& c) {
    // Most specific first where one class derives from another.
    if (KindOf<ClumVellumPrimitive>(c) || KindOf<ClumVellumValue>(c) || KindOf<ClumAttribute>(c) ||
        KindOf<Clumexternal_doc>(c) || KindOf<ClumSemantic_Info>(c) || KindOf<ClumEvent>(c) || KindOf<Clumaction>(c) ||
        KindOf<ClumActionTime>(c) || KindOf<ClumFont>(c) || KindOf<Clumdefaults>(c) || KindOf<ClumVellum>(c) ||
        KindOf<ClumDiagramItem>(c) || KindOf<ClumVellumIdent>(c))
        return tRaw::Data;
    if (KindOf<ClumDesign>(c)) return tRaw::Design;
    if (KindOf<ClumClass_Category>(c)) return tRaw::Category;
    if (KindOf<ClumSubSystem>(c)) return tRaw::SubSystem;
    if (KindOf<ClumProcesses>(c)) return tRaw::Processes;
    if (KindOf<Clummodule>(c)) return tRaw::Module;
    if (KindOf<ClumClass>(c)) return tRaw::Class;
    if (KindOf<ClumClassAttribute>(c)) return tRaw::ClassAttribute;
    if (KindOf<ClumOperation>(c)) return tRaw::Operation;
    if (KindOf<ClumParameter>(c)) return tRaw::Parameter;
    if (KindOf<ClumAssociation>(c)) return tRaw::Association;
    if (KindOf<ClumRole>(c)) return tRaw::Role;
    if (KindOf<ClumInheritance_Relationship>(c)) return tRaw::Inheritance;
    if (KindOf<ClumRealize_Relationship>(c)) return tRaw::Realize;
    if (KindOf<ClumInstantiation_Relationship>(c)) return tRaw::Instantiation;
    if (KindOf<ClumConnection_Relationship>(c)) return tRaw::Connection;
    if (KindOf<ClumModule_Visibility_Relationship>(c)) return tRaw::ModuleVisibility;
    if (KindOf<ClumVisibility_Relationship>(c)) return tRaw::Visibility;
    if (KindOf<ClumRelationship>(c)) return tRaw::Dependency;
    if (KindOf<ClumUseCase>(c)) return tRaw::UseCase;
    if (KindOf<ClumState_Machine>(c)) return tRaw::StateMachine;
    if (KindOf<ClumPseudoState>(c)) return tRaw::State;
    if (KindOf<ClumState_Transition>(c)) return tRaw::Transition;
    if (KindOf<ClumPartition>(c)) return tRaw::Partition;
    if (KindOf<ClumObject>(c)) return tRaw::Object;
    if (KindOf<ClumObject_Flow>(c)) return tRaw::ObjectFlow;
    if (KindOf<ClumMechanism>(c)) return tRaw::Mechanism;
    if (KindOf<ClumMessage>(c)) return tRaw::Message;
    if (KindOf<ClumNode>(c)) return tRaw::Node;
    if (KindOf<ClumProcess>(c)) return tRaw::Process;
    if (KindOf<ClumDiagram>(c)) return tRaw::Diagram;
    return tRaw::PassThrough;
}

bool StartsWithUnnamed(const ClumIdent& name) {
    static constexpr std::wstring_view kUnnamed = L"$UNNAMED$";
    return std::wstring_view(name.c_str(), name.GetLength()).starts_with(kUnnamed);
}

// Compares an identifier with a lower-case word, ignoring case and blanks.
bool SameWord(const ClumIdent& text, std::wstring_view word) {
    std::size_t at = 0;
    for (const wchar_t* c = text.c_str(); *c != L'\0'; ++c) {
        if (*c == L' ' || *c == L'_') continue;
        if (at == word.size() || static_cast<wchar_t>(std::towlower(*c)) != word[at]) return false;
        ++at;
    }
    return at == word.size();
}

ClassifierKind ClassifierKindOf(const ClumClass& raw, const ClumIdent& stereotype) {
    const ClumMetaClass& c = raw.GetMetaClass();
    if (KindOf<ClumMetaclass>(c)) return ClassifierKind::Metaclass;
    if (KindOf<ClumClass_Utility>(c) || KindOf<ClumParameterized_Class_Utility>(c) ||
        KindOf<ClumInstantiated_Class_Utility>(c))
        return ClassifierKind::Utility;
    if (stereotype.GetLength() == 0) return ClassifierKind::Class;
    if (SameWord(stereotype, L"actor")) return ClassifierKind::Actor;
    if (SameWord(stereotype, L"interface")) return ClassifierKind::Interface;
    if (SameWord(stereotype, L"datatype")) return ClassifierKind::DataType;
    if (SameWord(stereotype, L"enumeration") || SameWord(stereotype, L"enum")) return ClassifierKind::Enumeration;
    if (SameWord(stereotype, L"utility")) return ClassifierKind::Utility;
    return ClassifierKind::Class;
}

StateKind StateKindOf(const ClumPseudoState& raw) {
    const ClumMetaClass& c = raw.GetMetaClass();
    if (KindOf<ClumDecision>(c)) return StateKind::Decision;
    if (KindOf<ClumSynchronizationState>(c)) return StateKind::Synchronization;
    if (!KindOf<ClumState>(c)) return StateKind::Activity;
    switch (static_cast<const ClumState&>(raw).type.Get()) {
        case StateType_StartState: return StateKind::Initial;
        case StateType_EndState: return StateKind::Final;
        case StateType_History: return StateKind::ShallowHistory;
        case StateType_HistoryAll: return StateKind::DeepHistory;
        default: return StateKind::Simple;
    }
}

ActionTime ActionTimeOf(EActionTimeWhen when) {
    switch (when) {
        case ActionTimeWhen_Exit: return ActionTime::Exit;
        case ActionTimeWhen_UponEvent: return ActionTime::OnEvent;
        case ActionTimeWhen_Activity: return ActionTime::Do;
        default: return ActionTime::Entry;
    }
}

Action ActionOf(const Clumaction& raw) {
    Action action;
    action.raw = &raw;
    action.name = raw.name.Get();
    if (!raw.ActionTime.IsEmpty()) {
        const ClumActionTime& time = *raw.ActionTime.Get(0);
        action.when = ActionTimeOf(time.when.Get());
        action.condition = time.condition.Get();
        if (!time.Event.IsEmpty()) action.event = time.Event.Get(0)->name.Get();
    }
    if (KindOf<ClumsendEvent>(raw.GetMetaClass())) {
        const auto& send = static_cast<const ClumsendEvent&>(raw);
        action.isSendEvent = true;
        action.sendTarget = send.target.Get();
        if (action.event.GetLength() == 0 && !send.Event.IsEmpty()) action.event = send.Event.Get(0)->name.Get();
    }
    return action;
}

// The actual arguments of an instantiated class written in its name:
// "List<Book, 10>" gives "Book" and "10".
std::vector<WString> ArgumentsInName(const ClumIdent& name) {
    std::vector<WString> arguments;
    const std::wstring_view text(name.c_str(), name.GetLength());
    const std::size_t open = text.find(L'<');
    const std::size_t close = text.rfind(L'>');
    if (open == std::wstring_view::npos || close == std::wstring_view::npos || close < open) return arguments;
    int depth = 0;
    std::wstring current;
    for (wchar_t c : text.substr(open + 1, close - open - 1)) {
        if (c == L'<') ++depth;
        if (c == L'>') --depth;
        if (c == L',' && depth == 0) {
            arguments.push_back(WString::Trim(WString(current)));
            current.clear();
            continue;
        }
        current += c;
    }
    arguments.push_back(WString::Trim(WString(current)));
    return arguments;
}

class tBuilder {
public:
    explicit tBuilder(View::Storage& storage) : m_storage(storage) { m_kinds.fill(tRaw::Unknown); }

    void Walk(const ClumVellumEntity* top, Element* parent) {
        m_stack.push_back({top, parent});
        while (!m_stack.empty()) {
            const tFrame frame = m_stack.back();
            m_stack.pop_back();
            Element* made = Make(*frame.raw, frame.parent);
            if (made != nullptr && made->owner == nullptr) m_storage.models.push_back(static_cast<const Package*>(made));
            PushChildren(*frame.raw, made != nullptr ? made : frame.parent);
        }
    }

private:
    struct tFrame {
        const ClumVellumEntity* raw;
        Element* parent;
    };

    tRaw KindOfRaw(const ClumVellumEntity& raw) {
        const ClumMetaClass& c = raw.GetMetaClass();
        const unsigned index = c.GetIndex();
        if (index >= m_kinds.size()) return Classify(c);
        if (m_kinds[index] == tRaw::Unknown) m_kinds[index] = Classify(c);
        return m_kinds[index];
    }

    // The children to walk, pushed so that they come off the stack in order.
    void PushChildren(const ClumVellumEntity& raw, Element* parent) {
        auto* object = const_cast<ClumVellumEntity*>(&raw);
        const auto& links = raw.GetMetaClass().m_linkFeatures;
        for (auto feature = links.rbegin(); feature != links.rend(); ++feature) {
            for (int i = (*feature)->m_pfnLinkSize(object) - 1; i >= 0; --i) {
                const ClumVellumEntity* child = (*feature)->m_pfnLinkGetAt(object, i);
                if (child != nullptr && KindOfRaw(*child) != tRaw::Data) m_stack.push_back({child, parent});
            }
        }
    }

    template <class T>
    T& New(Kind kind, const ClumVellumEntity& raw, Element* owner) {
        T& element = m_storage.New<T>(kind, &raw, owner);
        if (const auto* named = AsRaw<ClumNamedObject>(&raw)) {
            const ClumIdent& name = named->name.Get();
            if (!StartsWithUnnamed(name)) element.name = name;
        } else if (const auto* labeled = AsRaw<ClumLabeledObject>(&raw)) {
            element.name = labeled->label.Get();
        }
        return element;
    }

    Element* Make(const ClumVellumEntity& raw, Element* parent) {
        switch (KindOfRaw(raw)) {
            case tRaw::Design: {
                auto& model = New<Package>(Kind::Package, raw, parent);
                model.isModel = true;
                return &model;
            }
            case tRaw::Category: return &MakePackage(static_cast<const ClumClass_Category&>(raw), parent);
            case tRaw::SubSystem: {
                // The component view itself is a package; subsystems inside it are components.
                const bool isView = AsRaw<ClumSubSystem>(raw.Owner()) == nullptr;
                if (isView) return &New<Package>(Kind::Package, raw, parent);
                auto& component = New<Component>(Kind::Component, raw, parent);
                component.sort = ComponentKind::Subsystem;
                return &component;
            }
            case tRaw::Processes: return &New<Package>(Kind::Package, raw, parent);
            case tRaw::Module: return &MakeModule(static_cast<const Clummodule&>(raw), parent);
            case tRaw::Class: return &MakeClassifier(static_cast<const ClumClass&>(raw), parent);
            case tRaw::ClassAttribute: return &MakeProperty(static_cast<const ClumClassAttribute&>(raw), parent);
            case tRaw::Operation: return &MakeOperation(static_cast<const ClumOperation&>(raw), parent);
            case tRaw::Parameter: return &MakeParameter(static_cast<const ClumParameter&>(raw), parent);
            case tRaw::Association: {
                const auto& association = static_cast<const ClumAssociation&>(raw);
                auto& element = New<Association>(Kind::Association, raw, parent);
                element.isDerived = association.derived.Get();
                return &element;
            }
            case tRaw::Role: return &MakeEnd(static_cast<const ClumRole&>(raw), parent);
            case tRaw::Inheritance: {
                auto& relationship = MakeRelationship(raw, parent, RelationshipKind::Generalization);
                const auto& inheritance = static_cast<const ClumInheritance_Relationship&>(raw);
                relationship.visibility = VisibilityOf(inheritance.exportControl.Get());
                relationship.isVirtual = inheritance.virtual_.Get();
                return &relationship;
            }
            case tRaw::Realize: return &MakeRelationship(raw, parent, RelationshipKind::Realization);
            case tRaw::Instantiation: return &MakeRelationship(raw, parent, RelationshipKind::Instantiation);
            case tRaw::Connection: return &MakeRelationship(raw, parent, RelationshipKind::Connection);
            case tRaw::ModuleVisibility: return &MakeRelationship(raw, parent, RelationshipKind::Dependency);
            case tRaw::Visibility:
                return &MakeRelationship(raw, parent,
                                         parent != nullptr && parent->kind == Kind::Package ? RelationshipKind::Import
                                                                                            : RelationshipKind::Dependency);
            case tRaw::Dependency: return &MakeDependency(raw, parent);
            case tRaw::UseCase: {
                const auto& useCase = static_cast<const ClumUseCase&>(raw);
                auto& element = New<UseCase>(Kind::UseCase, raw, parent);
                element.isAbstract = useCase.abstract.Get();
                element.rank = useCase.rank.Get();
                return &element;
            }
            case tRaw::StateMachine: {
                auto* state = parent != nullptr && parent->kind == Kind::State ? static_cast<State*>(parent) : nullptr;
                if (state != nullptr && !static_cast<const ClumState_Machine&>(raw).states.IsEmpty())
                    state->isComposite = true;
                return &New<StateMachine>(Kind::StateMachine, raw, parent);
            }
            case tRaw::State: return &MakeState(static_cast<const ClumPseudoState&>(raw), parent);
            case tRaw::Transition: return &MakeTransition(static_cast<const ClumState_Transition&>(raw), parent);
            case tRaw::Partition: return &New<Partition>(Kind::Partition, raw, parent);
            case tRaw::Object: {
                if (parent != nullptr && parent->kind == Kind::StateMachine)
                    return &New<ObjectNode>(Kind::ObjectNode, raw, parent);
                auto& lifeline = New<Lifeline>(Kind::Lifeline, raw, parent);
                lifeline.isMulti = static_cast<const ClumObject&>(raw).multi.Get();
                return &lifeline;
            }
            case tRaw::ObjectFlow: return &New<ObjectFlow>(Kind::ObjectFlow, raw, parent);
            case tRaw::Mechanism: return &New<Interaction>(Kind::Interaction, raw, parent);
            case tRaw::Message: return &MakeMessage(static_cast<const ClumMessage&>(raw), parent);
            case tRaw::Node: {
                const auto& node = static_cast<const ClumNode&>(raw);
                auto& element = New<Node>(Kind::Node, raw, parent);
                element.sort = AsRaw<ClumDevice>(&raw) != nullptr ? NodeKind::Device : NodeKind::Processor;
                if (!node.characteristics.IsEmpty()) element.characteristics = &node.characteristics.Get();
                return &element;
            }
            case tRaw::Process: {
                auto& process = New<Process>(Kind::Process, raw, parent);
                process.priority = static_cast<const ClumProcess&>(raw).priority.Get();
                return &process;
            }
            case tRaw::Diagram: return &MakeDiagram(static_cast<const ClumDiagram&>(raw), parent);
            default: return nullptr;
        }
    }

    Package& MakePackage(const ClumClass_Category& raw, Element* parent) {
        auto& package = New<Package>(Kind::Package, raw, parent);
        package.visibility = VisibilityOf(raw.exportControl.Get());
        // A stub whose unit file was not loaded; a unit that is a file's top object is the file's content.
        package.unloaded = raw.is_unit.Get() && !raw.is_loaded.Get() && !raw.file_name.IsEmpty() &&
                           AsRaw<ClumVellumFile>(raw.Owner()) == nullptr;
        return package;
    }

    Component& MakeModule(const Clummodule& raw, Element* parent) {
        auto& component = New<Component>(Kind::Component, raw, parent);
        WString text;
        raw.type.Encode(text);
        component.moduleType = text;
        text.clear();
        raw.part.Encode(text);
        component.modulePart = text;
        return component;
    }

    Classifier& MakeClassifier(const ClumClass& raw, Element* parent) {
        auto& classifier = New<Classifier>(Kind::Classifier, raw, parent);
        classifier.sort = ClassifierKindOf(raw, classifier.Stereotype());
        classifier.visibility = VisibilityOf(raw.exportControl.Get());
        classifier.isAbstract = raw.abstract.Get();
        const ClumMetaClass& c = raw.GetMetaClass();
        classifier.isParameterized = KindOf<ClumParameterized_Class>(c);
        classifier.isInstantiated = KindOf<ClumInstantiated_Class>(c);
        if (classifier.isInstantiated) classifier.templateArguments = ArgumentsInName(raw.name.Get());
        return classifier;
    }

    Property& MakeProperty(const ClumClassAttribute& raw, Element* parent) {
        auto& property = New<Property>(Kind::Property, raw, parent);
        property.visibility = VisibilityOf(raw.exportControl.Get());
        property.isStatic = raw.static_.Get();
        property.isDerived = raw.derived.Get();
        property.isQualifier = parent != nullptr && parent->kind == Kind::AssociationEnd;
        if (raw.Containment.Get() == Containment_ByValue) property.aggregation = Aggregation::Composite;
        if (!raw.initv.IsEmpty()) property.defaultValue = ValueText(raw.initv.GetAt(0));
        return property;
    }

    Operation& MakeOperation(const ClumOperation& raw, Element* parent) {
        auto& operation = New<Operation>(Kind::Operation, raw, parent);
        operation.visibility = VisibilityOf(raw.opExportControl.Get());
        operation.isStatic = raw.static_.Get();
        operation.isAbstract = raw.abstract.Get();
        operation.isQuery = raw.const_.Get();
        if (!raw.pre_condition.IsEmpty()) operation.precondition = &raw.pre_condition.Get(0)->PDL.Get();
        if (!raw.post_condition.IsEmpty()) operation.postcondition = &raw.post_condition.Get(0)->PDL.Get();
        if (!raw.semantics.IsEmpty()) operation.semantics = &raw.semantics.Get(0)->PDL.Get();
        return operation;
    }

    Parameter& MakeParameter(const ClumParameter& raw, Element* parent) {
        auto& parameter = New<Parameter>(Kind::Parameter, raw, parent);
        parameter.isTemplateParameter = parent != nullptr && parent->kind == Kind::Classifier;
        switch (raw.dir.Get()) {
            case ParameterDirection_out: parameter.direction = Direction::Out; break;
            case ParameterDirection_inout: parameter.direction = Direction::InOut; break;
            default: parameter.direction = Direction::In; break;
        }
        parameter.isConst = raw.isConst.Get();
        if (!raw.initv.IsEmpty()) parameter.defaultValue = ValueText(raw.initv.GetAt(0));
        return parameter;
    }

    AssociationEnd& MakeEnd(const ClumRole& raw, Element* parent) {
        auto& end = New<AssociationEnd>(Kind::AssociationEnd, raw, parent);
        if (end.name.GetLength() == 0 && !StartsWithUnnamed(raw.label.Get())) end.name = raw.label.Get();
        end.isNavigable = raw.is_navigable.Get();
        end.aggregation = raw.Containment.Get() == Containment_ByValue ? Aggregation::Composite
                          : raw.is_aggregate.Get()                       ? Aggregation::Shared
                                                                         : Aggregation::None;
        end.visibility = VisibilityOf(raw.exportControl.Get());
        end.isStatic = raw.static_.Get();
        if (!raw.Constraints.IsEmpty()) {
            end.constraints = &raw.Constraints.Get();
            end.isOrdered = ContainsWord(*end.constraints, L"ordered");
        }
        if (!raw.client_cardinality.IsEmpty())
            end.multiplicity = Multiplicity::Parse(ValueText(raw.client_cardinality.GetAt(0)));
        return end;
    }

    Relationship& MakeRelationship(const ClumVellumEntity& raw, Element* parent, RelationshipKind sort) {
        auto& relationship = New<Relationship>(Kind::Relationship, raw, parent);
        relationship.sort = sort;
        relationship.client = parent;
        return relationship;
    }

    // Uses and plain dependencies; between use cases a stereotype makes them
    // include or extend.
    Relationship& MakeDependency(const ClumVellumEntity& raw, Element* parent) {
        auto& relationship = MakeRelationship(raw, parent, RelationshipKind::Dependency);
        if (parent != nullptr && parent->kind == Kind::UseCase) {
            const ClumIdent stereotype = relationship.Stereotype();
            if (SameWord(stereotype, L"include") || SameWord(stereotype, L"includes") || SameWord(stereotype, L"uses"))
                relationship.sort = RelationshipKind::Include;
            else if (SameWord(stereotype, L"extend") || SameWord(stereotype, L"extends"))
                relationship.sort = RelationshipKind::Extend;
        }
        if (const auto* uses = AsRaw<ClumUses_Relationship>(&raw))
            relationship.visibility = VisibilityOf(uses->exportControl.Get());
        return relationship;
    }

    State& MakeState(const ClumPseudoState& raw, Element* parent) {
        auto& state = New<State>(Kind::State, raw, parent);
        state.sort = StateKindOf(raw);
        if (const auto* activity = AsRaw<ClumActivityState>(&raw)) {
            for (int i = 0; i < activity->actions.GetSize(); ++i) state.actions.push_back(ActionOf(*activity->actions.Get(i)));
        }
        return state;
    }

    Transition& MakeTransition(const ClumState_Transition& raw, Element* parent) {
        auto& transition = New<Transition>(Kind::Transition, raw, parent);
        transition.guard = raw.condition.Get();
        if (!raw.Event.IsEmpty()) {
            const ClumEvent& event = *raw.Event.Get(0);
            transition.event = event.name.Get();
            transition.eventParameters = event.parameters.Get();
        }
        if (!raw.action.IsEmpty()) transition.action = raw.action.Get(0)->name.Get();
        if (!raw.sendEvent.IsEmpty()) {
            const ClumsendEvent& send = *raw.sendEvent.Get(0);
            transition.sendEvent = send.name.Get();
            if (transition.sendEvent.GetLength() == 0 && !send.Event.IsEmpty())
                transition.sendEvent = send.Event.Get(0)->name.Get();
            transition.sendTarget = send.target.Get();
            transition.sendParameters = send.parameters.Get();
        }
        return transition;
    }

    // A message belongs to the interaction its objects are in (found again by
    // its raw object, since owners are read-only).
    Message& MakeMessage(const ClumMessage& raw, Element* parent) {
        const Element* interaction = parent;
        while (interaction != nullptr && interaction->kind != Kind::Interaction) interaction = interaction->owner;
        auto& message =
            New<Message>(Kind::Message, raw, interaction != nullptr ? m_storage.index.Find(interaction->raw) : parent);
        message.order = raw.ordinal.Get();
        message.sequence = raw.sequence.Get();
        message.synchronicity = static_cast<Synchronicity>(raw.synchronization.Get());
        message.isCreation = raw.creation.Get();
        return message;
    }

    Diagram& MakeDiagram(const ClumDiagram& raw, Element* parent) {
        auto& diagram = New<Diagram>(Kind::Diagram, raw, parent);
        const ClumMetaClass& c = raw.GetMetaClass();
        diagram.sort = KindOf<ClumClassDiagram>(c)         ? DiagramKind::Class
                       : KindOf<ClumUseCaseDiagram>(c)     ? DiagramKind::UseCase
                       : KindOf<ClumActivityDiagram>(c)    ? DiagramKind::Activity
                       : KindOf<ClumState_Diagram>(c)      ? DiagramKind::State
                       : KindOf<ClumInteractionDiagram>(c) ? DiagramKind::Sequence
                       : KindOf<ClumObjectDiagram>(c)      ? DiagramKind::Collaboration
                       : KindOf<ClumModule_Diagram>(c)     ? DiagramKind::Component
                       : KindOf<ClumProcess_Diagram>(c)    ? DiagramKind::Deployment
                                                           : DiagramKind::Other;
        return diagram;
    }

    View::Storage& m_storage;
    std::vector<tFrame> m_stack;
    std::array<tRaw, 256> m_kinds;
};

}  // namespace

void BuildElements(View::Storage& storage, std::span<const ClumVellumFile* const> roots) {
    tBuilder builder(storage);
    for (const ClumVellumFile* file : roots) {
        if (file == nullptr) continue;
        for (int i = 0; i < file->design.GetSize(); ++i) builder.Walk(file->design.Get(i), nullptr);
        if (file->unit.IsEmpty()) continue;
        // A file of units without a design (a unit file read on its own) is a model of its own.
        auto& model = storage.New<Package>(Kind::Package, file, nullptr);
        model.isModel = true;
        model.name = ClumUtilityFunctions::GetShortFileName(file->fileName.Get());
        storage.models.push_back(&model);
        for (int i = 0; i < file->unit.GetSize(); ++i) builder.Walk(file->unit.Get(i), &model);
    }
}

}  // namespace lum::uml::detail
