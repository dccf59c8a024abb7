# Types of lum.uml, the UML view. Enumerations are their lower-case names.
from types import SimpleNamespace

from . import Object

class TypeRef:
    @property
    def name(self) -> str: ...
    @property
    def element(self) -> Element | None: ...
    @property
    def target(self) -> Object | None: ...
    @property
    def is_bound(self) -> bool: ...

class Element:
    kind: str
    name: str
    owner: Element | None
    members: list[Element]
    raw: Object
    path: str
    stereotype: str
    documentation: str
    property_values: list[SimpleNamespace]
    notes: list[Note]

class Package(Element):
    is_model: bool
    unloaded: bool
    visibility: str
    packages: list[Package]
    classes: list[Classifier]

class Classifier(Element):
    sort: str
    visibility: str
    is_abstract: bool
    is_parameterized: bool
    is_instantiated: bool
    template_classifier: TypeRef
    template_arguments: list[str]
    components: list[Element]
    attributes: list[Property]
    operations: list[Operation]

class Property(Element):
    type: TypeRef
    multiplicity: str
    default_value: str
    visibility: str
    is_static: bool
    is_derived: bool
    is_qualifier: bool
    aggregation: str

class Parameter(Element):
    type: TypeRef
    default_value: str
    direction: str
    is_const: bool
    is_template_parameter: bool

class Operation(Element):
    visibility: str
    is_static: bool
    is_abstract: bool
    is_query: bool
    return_type: TypeRef
    exceptions: list[TypeRef]
    precondition: str | None
    postcondition: str | None
    semantics: str | None
    parameters: list[Parameter]

class Association(Element):
    is_derived: bool
    association_class: TypeRef
    is_communication: bool
    ends: list[AssociationEnd]

class AssociationEnd(Element):
    type: TypeRef
    multiplicity: str
    is_navigable: bool
    aggregation: str
    visibility: str
    is_static: bool
    is_ordered: bool
    constraints: str | None
    qualifiers: list[Property]

class Relationship(Element):
    sort: str
    client: Element | None
    supplier: TypeRef
    visibility: str
    is_virtual: bool

class UseCase(Element):
    is_abstract: bool
    rank: str

class StateMachine(Element): ...

class State(Element):
    sort: str
    is_composite: bool
    actions: list[SimpleNamespace]

class Transition(Element):
    source: Element | None
    target: TypeRef
    event: str
    event_parameters: str
    guard: str
    action: str
    send_event: str
    send_target: str
    send_parameters: str

class Partition(Element):
    represents: TypeRef

class ObjectNode(Element):
    type: TypeRef

class ObjectFlow(Element):
    source: TypeRef
    target: TypeRef
    state: TypeRef

class Interaction(Element): ...

class Lifeline(Element):
    type: TypeRef
    is_multi: bool

class Message(Element):
    sender: Element | None
    receiver: TypeRef
    order: int
    sequence: str
    operation: TypeRef
    synchronicity: str
    is_creation: bool

class Component(Element):
    sort: str
    module_type: str
    module_part: str
    realized_classes: list[Element]

class Node(Element):
    sort: str
    characteristics: str | None

class Process(Element):
    priority: str

class Note(Element):
    text: str
    annotated: list[Element]

class Diagram(Element):
    sort: str
    shown: list[SimpleNamespace]
    context: TypeRef

class View:
    models: list[Package]
    packages: list[Package]
    classes: list[Classifier]
    attributes: list[Property]
    operations: list[Operation]
    parameters: list[Parameter]
    associations: list[Association]
    association_ends: list[AssociationEnd]
    relationships: list[Relationship]
    use_cases: list[UseCase]
    state_machines: list[StateMachine]
    states: list[State]
    transitions: list[Transition]
    partitions: list[Partition]
    object_nodes: list[ObjectNode]
    object_flows: list[ObjectFlow]
    interactions: list[Interaction]
    lifelines: list[Lifeline]
    messages: list[Message]
    components: list[Component]
    nodes: list[Node]
    processes: list[Process]
    notes: list[Note]
    diagrams: list[Diagram]
    def element_of(self, obj: Object) -> Element | None: ...
