// The tables follow Papyrus's example models: a shape gets every label and
// compartment that all its views in the examples have (optional decorations
// such as the stereotype comment or the image compartment are left out);
// shapes no example shows follow the generated deployment and use-case
// editors' registries, which give their children in the same pattern.

#include "papyrus/view_types.h"

#include <iterator>

namespace lum::papyrus::detail {

namespace {

using D = uml::DiagramKind;

constexpr tDiagramType kDiagrams[] = {
    {"PapyrusUMLClassDiagram", "org.eclipse.papyrus.uml.diagram.class"},
    {"UseCase", "org.eclipse.papyrus.uml.diagram.useCase"},
    {"PapyrusUMLStateMachineDiagram", "org.eclipse.papyrus.uml.diagram.stateMachine"},
    {"PapyrusUMLActivityDiagram", "org.eclipse.papyrus.uml.diagram.activity"},
    {"PapyrusUMLSequenceDiagram", "org.eclipse.papyrus.uml.diagram.sequence"},
    {"PapyrusUMLCommunicationDiagram", "org.eclipse.papyrus.uml.diagram.communication"},
    {"PapyrusUMLComponentDiagram", "org.eclipse.papyrus.uml.diagram.component.root.package"},
    {"PapyrusUMLDeploymentDiagram", "org.eclipse.papyrus.uml.diagram.deployment"},
};

// First match wins: specific compartments before "*", metaclasses before "*".
constexpr tShapeType kShapes[] = {
    // Class diagrams.
    {D::Class, "", "uml:Class", "Class_Shape", "Class_NameLabel Class_FloatingNameLabel@15",
     "Class_AttributeCompartment=Property_ClassAttributeLabel Class_OperationCompartment=Operation_ClassOperationLabel "
     "Class_NestedClassifierCompartment"},
    {D::Class, "*", "uml:Class", "Class_Shape_CN", "Class_NameLabel_CN Class_FloatingNameLabel_CN@15",
     "Class_AttributeCompartment_CN=Property_ClassAttributeLabel Class_OperationCompartment_CN=Operation_ClassOperationLabel "
     "Class_NestedClassifierCompartment_CN"},
    {D::Class, "", "uml:AssociationClass", "AssociationClass_Shape",
     "AssociationClass_NameLabel AssociationClass_FloatingNameLabel@15",
     "AssociationClass_AttributeCompartment=Property_ClassAttributeLabel "
     "AssociationClass_OperationCompartment=Operation_ClassOperationLabel AssociationClass_NestedClassifierCompartment"},
    {D::Class, "", "uml:Interface", "Interface_Shape", "Interface_NameLabel Interface_FloatingNameLabel@15",
     "Interface_AttributeCompartment=Property_InterfaceAttributeLabel "
     "Interface_OperationCompartment=Operation_InterfaceOperationLabel Interface_NestedClassifierCompartment"},
    {D::Class, "*", "uml:Interface", "Interface_Shape_CN", "Interface_NameLabel_CN Interface_FloatingNameLabel_CN@15",
     "Interface_AttributeCompartment_CN=Property_InterfaceAttributeLabel "
     "Interface_OperationCompartment_CN=Operation_InterfaceOperationLabel Interface_NestedClassifierCompartment_CN"},
    {D::Class, "", "uml:DataType", "DataType_Shape", "DataType_NameLabel DataType_FloatingNameLabel@15",
     "DataType_AttributeCompartment=Property_DataTypeAttributeLabel DataType_OperationCompartment=Operation_DataTypeOperationLabel"},
    {D::Class, "*", "uml:DataType", "DataType_Shape_CN", "DataType_NameLabel_CN DataType_FloatingNameLabel_CN@15",
     "DataType_AttributeCompartment_CN=Property_DataTypeAttributeLabel "
     "DataType_OperationCompartment_CN=Operation_DataTypeOperationLabel"},
    {D::Class, "", "uml:Enumeration", "Enumeration_Shape", "Enumeration_NameLabel Enumeration_FloatingNameLabel@15",
     "Enumeration_LiteralCompartment=EnumerationLiteral_LiteralLabel"},
    {D::Class, "*", "uml:Enumeration", "Enumeration_Shape_CN", "Enumeration_NameLabel_CN Enumeration_FloatingNameLabel_CN@15",
     "Enumeration_LiteralCompartment_CN=EnumerationLiteral_LiteralLabel"},
    {D::Class, "", "uml:Component", "Component_Shape", "Component_NameLabel Component_FloatingNameLabel@15",
     "Component_AttributeCompartment=Property_ComponentAttributeLabel "
     "Component_OperationCompartment=Operation_ComponentOperationLabel Component_NestedClassifierCompartment"},
    {D::Class, "*", "uml:Component", "Component_Shape_CN", "Component_NameLabel_CN Component_FloatingNameLabel_CN@15",
     "Component_AttributeCompartment_CN=Property_ComponentAttributeLabel "
     "Component_OperationCompartment_CN=Operation_ComponentOperationLabel Component_NestedClassifierCompartment_CN"},
    {D::Class, "", "uml:Model", "Model_Shape", "Model_NameLabel", "Model_PackagedElementCompartment*"},
    {D::Class, "*", "uml:Model", "Model_Shape_CN", "Model_NameLabel_CN", "Model_PackagedElementCompartment_CN*"},
    {D::Class, "", "uml:Package", "Package_Shape", "Package_NameLabel", "Package_PackagedElementCompartment*"},
    {D::Class, "*", "uml:Package", "Package_Shape_CN", "Package_NameLabel_CN", "Package_PackagedElementCompartment_CN*"},
    {D::Class, "", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},
    {D::Class, "*", "uml:Comment", "Comment_Shape_CN", "Comment_BodyLabel_CN", ""},
    {D::Class, "", "*", "NamedElement_DefaultShape", "NamedElement_NameLabel", ""},

    // Use case diagrams.
    {D::UseCase, "", "uml:Actor", "Actor_Shape",
     "Actor_NameLabel@ Actor_StereotypeLabel@ Actor_QualifiedNameLabel@ Actor_FloatingNameLabel@", ""},
    {D::UseCase, "Classifier_UseCaseCompartment", "uml:Actor", "Actor_Shape_CCN", "Actor_NameLabel_CCN Actor_FloatingNameLabel_CCN@", ""},
    {D::UseCase, "*", "uml:Actor", "Actor_Shape_CN", "Actor_NameLabel_CN Actor_FloatingNameLabel_CN@", ""},
    {D::UseCase, "", "uml:UseCase", "UseCase_Shape", "UseCase_NameLabel UseCase_FloatingNameLabel@",
     "UseCase_ExtensionPointCompartment"},
    {D::UseCase, "Classifier_UseCaseCompartment", "uml:UseCase", "UseCase_Shape_CCN",
     "UseCase_NameLabel_CCN UseCase_FloatingNameLabel_CCN@", "UseCase_ExtensionPointCompartment_CCN"},
    {D::UseCase, "*", "uml:UseCase", "UseCase_Shape_CN", "UseCase_NameLabel_CN UseCase_FloatingNameLabel_CN@",
     "UseCase_ExtensionPointCompartment_CN"},
    {D::UseCase, "", "uml:Component", "Classifier_SubjectShape", "Classifier_NameLabel Classifier_FloatingNameLabel@",
     "Classifier_UseCaseCompartment*"},
    {D::UseCase, "", "uml:Package", "Package_Shape", "Package_NameLabel", "Package_PackagedElementCompartment*"},
    {D::UseCase, "", "uml:Model", "Package_Shape", "Package_NameLabel", "Package_PackagedElementCompartment*"},
    {D::UseCase, "*", "uml:Package", "Package_Shape_CN", "Package_NameLabel_CN", "Package_PackagedElementCompartment_CN*"},
    {D::UseCase, "*", "uml:Model", "Package_Shape_CN", "Package_NameLabel_CN", "Package_PackagedElementCompartment_CN*"},
    {D::UseCase, "", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},
    {D::UseCase, "*", "uml:Comment", "Comment_Shape_CN", "Comment_BodyLabel_CN", ""},
    {D::UseCase, "", "*", "NamedElement_DefaultShape", "NamedElement_NameLabel", ""},

    // State machine diagrams: the machine's frame and region, states in regions.
    {D::State, "frame", "uml:StateMachine", "StateMachine_Shape", "StateMachine_NameLabel", "StateMachine_RegionCompartment*region"},
    {D::State, "*", "uml:State", "State_Shape", "State_NameLabel State_FloatingNameLabel@", "State_RegionCompartment*region"},
    {D::State, "*", "uml:FinalState", "FinalState_Shape", "FinalState_FloatingNameLabel@ FinalState_StereotypeLabel@", ""},
    {D::State, "*", "uml:Pseudostate#initial", "Pseudostate_InitialShape",
     "Pseudostate_InitialFloatingNameLabel@ Pseudostate_InitialStereotypeLabel@", ""},
    {D::State, "*", "uml:Pseudostate#shallowHistory", "Pseudostate_ShallowHistoryShape",
     "Pseudostate_ShallowHistoryFloatingNameLabel@", ""},
    {D::State, "*", "uml:Pseudostate#deepHistory", "Pseudostate_DeepHistoryShape", "Pseudostate_DeepHistoryFloatingNameLabel@", ""},
    {D::State, "*", "uml:Pseudostate#choice", "Pseudostate_ChoiceShape", "Pseudostate_ChoiceFloatingNameLabel@", ""},
    {D::State, "*", "uml:Pseudostate#fork", "Pseudostate_ForkShape", "Pseudostate_ForkFloatingNameLabel@", ""},
    {D::State, "*", "uml:Pseudostate#join", "Pseudostate_JoinShape", "Pseudostate_JoinFloatingNameLabel@", ""},
    {D::State, "", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},

    // Activity diagrams: the activity's frame, its nodes and partitions.
    {D::Activity, "frame", "uml:Activity", "Activity_Shape", "Activity_NameLabel Activity_KeywordLabel",
     "Activity_ParameterCompartment Activity_PreconditionCompartment Activity_PostconditionCompartment "
     "Activity_ActivityNodeCompartment*"},
    {D::Activity, "*", "uml:OpaqueAction", "OpaqueAction_Shape", "OpaqueAction_NameLabel OpaqueAction_FloatingNameLabel@", ""},
    {D::Activity, "*", "uml:InitialNode", "InitialNode_Shape", "InitialNode_FloatingNameLabel@ InitialNode_StereotypeLabel@", ""},
    {D::Activity, "*", "uml:ActivityFinalNode", "ActivityFinalNode_Shape",
     "ActivityFinalNode_FloatingNameLabel@ ActivityFinalNode_StereotypeLabel@", ""},
    {D::Activity, "*", "uml:DecisionNode", "DecisionNode_Shape",
     "DecisionNode_DecisionInputLabel@ DecisionNode_FloatingNameLabel@ DecisionNode_StereotypeLabel@", ""},
    {D::Activity, "*", "uml:MergeNode", "MergeNode_Shape", "MergeNode_FloatingNameLabel@", ""},
    {D::Activity, "*", "uml:ForkNode", "ForkNode_Shape", "ForkNode_FloatingNameLabel@", ""},
    {D::Activity, "*", "uml:JoinNode", "JoinNode_Shape", "JoinNode_FloatingNameLabel@ JoinNode_JoinSpecLabel@", ""},
    {D::Activity, "*", "uml:CentralBufferNode", "CentralBufferNode_Shape",
     "CentralBufferNode_NameLabel CentralBufferNode_FloatingNameLabel@", ""},
    {D::Activity, "*", "uml:ActivityPartition", "ActivityPartition_Shape",
     "ActivityPartition_NameLabel ActivityPartition_FloatingNameLabel@", "ActivityPartition_ActivityNodeCompartment*"},
    {D::Activity, "*", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},

    // Sequence diagrams: lifelines in the interaction's frame.
    {D::Sequence, "frame", "uml:Interaction", "Interaction_Shape", "Interaction_NameLabel", "Interaction_SubfragmentCompartment*"},
    {D::Sequence, "*", "uml:Lifeline", "Lifeline_Shape", "Lifeline_NameLabel", ""},
    {D::Sequence, "Lifeline_Shape", "uml:BehaviorExecutionSpecification", "BehaviorExecutionSpecification_Shape",
     "BehaviorExecutionSpecification_Behavior@", ""},
    {D::Sequence, "*", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},

    // Communication diagrams.
    {D::Collaboration, "frame", "uml:Interaction", "Interaction_Shape", "Interaction_NameLabel Interaction_FloatingNameLabel@",
     "Interaction_SubfragmentCompartment*"},
    {D::Collaboration, "*", "uml:Lifeline", "Lifeline_Shape", "Lifeline_NameLabel Lifeline_FloatingNameLabel@", ""},
    {D::Collaboration, "", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},

    // Component diagrams.
    {D::Component, "", "uml:Component", "Component_PackagedElementShape",
     "Component_NameLabel Component_FloatingNameLabel@", "Component_StructureCompartment compartment_shape_display"},
    {D::Component, "*", "uml:Component", "Component_PackagedElementShape_CN",
     "Component_NameLabel_CN Component_FloatingNameLabel_CN@", "Component_StructureCompartment_CN"},
    {D::Component, "", "uml:Interface", "Interface_Shape", "Interface_NameLabel Interface_FloatingNameLabel@",
     "Interface_AttributeCompartment=Property_InterfaceAttributeLabel Interface_OperationCompartment=Operation_InterfaceOperationLabel"},
    {D::Component, "*", "uml:Interface", "Interface_Shape_CN", "Interface_NameLabel_CN Interface_FloatingNameLabel_CN@",
     "Interface_AttributeCompartment_CN=Property_InterfaceAttributeLabel "
     "Interface_OperationCompartment_CN=Operation_InterfaceOperationLabel"},
    {D::Component, "", "uml:Model", "Model_Shape", "Model_NameLabel", "Model_PackagedElementCompartment*"},
    {D::Component, "*", "uml:Model", "Model_Shape_CN", "Model_NameLabel_CN", "Model_PackagedElementCompartment_CN*"},
    {D::Component, "", "uml:Package", "Package_Shape", "Package_NameLabel", "Package_PackagedElementCompartment*"},
    {D::Component, "*", "uml:Package", "Package_Shape_CN", "Package_NameLabel_CN", "Package_PackagedElementCompartment_CN*"},
    {D::Component, "", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},
    {D::Component, "*", "uml:Comment", "Comment_Shape_CN", "Comment_BodyLabel_CN", ""},
    {D::Component, "", "*", "NamedElement_DefaultShape", "NamedElement_NameLabel", ""},

    // Deployment diagrams: nodes and devices, in nodes or packages.
    {D::Deployment, "", "uml:Device", "Device_Shape", "Device_NameLabel", "Device_NestedNodeCompartment*"},
    {D::Deployment, "Package_PackagedElementCompartment", "uml:Device", "Device_Shape_CN", "Device_NameLabel_CN",
     "Device_NestedNodeCompartment_CN*"},
    {D::Deployment, "*", "uml:Device", "Device_Shape_CCN", "Device_NameLabel_CCN", ""},
    {D::Deployment, "", "uml:Node", "Node_Shape", "Node_NameLabel", "Node_NestedNodeCompartment*"},
    {D::Deployment, "Package_PackagedElementCompartment", "uml:Node", "Node_Shape_CN", "Node_NameLabel_CN",
     "Node_NestedNodeCompartment_CN*"},
    {D::Deployment, "*", "uml:Node", "Node_Shape_CCN", "Node_NameLabel_CCN", ""},
    {D::Deployment, "", "uml:Package", "Package_Shape", "Package_NameLabel", "Package_PackagedElementCompartment*"},
    {D::Deployment, "", "uml:Comment", "Comment_Shape", "Comment_BodyLabel", ""},
    {D::Deployment, "Package_PackagedElementCompartment", "uml:Comment", "Comment_Shape_CN", "Comment_BodyLabel_CN", ""},
    {D::Deployment, "", "*", "NamedElement_DefaultShape", "NamedElement_NameLabel", ""},
};

constexpr tEdgeType kEdges[] = {
    {D::Class, "uml:Association", "Association_Edge",
     "Association_StereotypeLabel@ Association_NameLabel@ Association_TargetRoleLabel@ Association_SourceRoleLabel@ "
     "Association_SourceMultiplicityLabel@ Association_TargetMultiplicityLabel@"},
    {D::Class, "uml:AssociationClass", "AssociationClass_Edge", "AssociationClass_SourceRoleLabel@ AssociationClass_TargetRoleLabel@"},
    {D::Class, "uml:Generalization", "Generalization_Edge", "Generalization_StereotypeLabel@"},
    {D::Class, "uml:InterfaceRealization", "InterfaceRealization_Edge",
     "InterfaceRealization_StereotypeLabel@ InterfaceRealization_NameLabel@"},
    {D::Class, "uml:Realization", "Realization_Edge", "Realization_NameLabel@ Realization_StereotypeLabel@"},
    {D::Class, "uml:Usage", "Usage_Edge", "Usage_NameLabel@ Usage_StereotypeLabel@"},
    {D::Class, "uml:Dependency", "Dependency_Edge", "Dependency_NameLabel@ Dependency_StereotypeLabel@"},
    {D::Class, "uml:PackageImport", "PackageImport_Edge", "PackageImport_StereotypeLabel@"},
    {D::UseCase, "uml:Association", "Association_Edge", "Association_NameLabel@ Association_StereotypeLabel@"},
    {D::UseCase, "uml:Generalization", "Generalization_Edge", "Generalization_StereotypeLabel@"},
    {D::UseCase, "uml:Include", "Include_Edge", "Include_KeywordLabel@ Include_StereotypeLabel@"},
    {D::UseCase, "uml:Extend", "Extend_Edge", "Extend_KeywordLabel@ Extend_StereotypeLabel@"},
    {D::UseCase, "uml:Usage", "Usage_Edge", "Usage_NameLabel@"},
    {D::UseCase, "uml:Dependency", "Dependency_Edge", "Dependency_NameLabel@"},
    {D::State, "uml:Transition", "Transition_Edge", "Transition_NameLabel@ Transition_GuardLabel@ Transition_StereotypeLabel@"},
    {D::Activity, "uml:ControlFlow", "ControlFlow_Edge",
     "ControlFlow_NameLabel@ ControlFlow_WeightLabel@ ControlFlow_GuardLabel@ ControlFlow_StereotypeLabel@"},
    {D::Activity, "uml:ObjectFlow", "ObjectFlow_Edge",
     "ObjectFlow_NameLabel@ ObjectFlow_WeightLabel@ ObjectFlow_GuardLabel@ ObjectFlow_StereotypeLabel@"},
    {D::Sequence, "uml:Message#synchCall", "Message_SynchEdge", "Message_SynchNameLabel@ Message_SynchStereotypeLabel@"},
    {D::Sequence, "uml:Message#asynchCall", "Message_AsynchEdge", "Message_AsynchNameLabel@ Message_AsynchStereotypeLabel@"},
    {D::Sequence, "uml:Message#reply", "Message_ReplyEdge", "Message_ReplyNameLabel@ Message_ReplyStereotypeLabel@"},
    {D::Sequence, "uml:Message#createMessage", "Message_CreateEdge", "Message_CreateNameLabel@ Message_CreateStereotypeLabel@"},
    {D::Collaboration, "uml:Message", "Path_Edge", "Path_MessageLabel@ Path_StereotypeLabel@"},
    {D::Component, "uml:Usage", "Usage_Edge", "Usage_NameLabel@ Usage_StereotypeLabel@"},
    {D::Component, "uml:Dependency", "Dependency_Edge", "Dependency_NameLabel@ Dependency_StereotypeLabel@"},
    {D::Deployment, "uml:CommunicationPath", "CommunicationPath_Edge",
     "CommunicationPath_NameLabel@ CommunicationPath_StereotypeLabel@"},
    {D::Deployment, "uml:Generalization", "Generalization_Edge", "Generalization_StereotypeLabel@"},
    {D::Deployment, "uml:Dependency", "Dependency_Edge", "Dependency_NameLabel@ Dependency_StereotypeLabel@"},
};

}  // namespace

const tDiagramType* DiagramType(uml::DiagramKind kind) {
    const auto at = static_cast<std::size_t>(kind);
    return at < std::size(kDiagrams) ? &kDiagrams[at] : nullptr;
}

const tShapeType* ShapeType(uml::DiagramKind diagram, std::string_view in, std::string_view metaclass) {
    const bool compartment = !in.empty() && in != "frame";
    for (const tShapeType& shape : kShapes) {
        if (shape.diagram != diagram) continue;
        if (shape.in != in && !(compartment && shape.in == "*")) continue;
        if (shape.metaclass == metaclass || shape.metaclass == "*") return &shape;
    }
    return nullptr;
}

const tShapeType* AffixedType(uml::DiagramKind diagram, std::string_view host, std::string_view metaclass) {
    for (const tShapeType& shape : kShapes)
        if (shape.diagram == diagram && shape.in == host && shape.metaclass == metaclass) return &shape;
    return nullptr;
}

const tEdgeType* EdgeType(uml::DiagramKind diagram, std::string_view metaclass) {
    for (const tEdgeType& edge : kEdges)
        if (edge.diagram == diagram && edge.metaclass == metaclass) return &edge;
    return nullptr;
}

const tShapeType* ShapeTypes(std::size_t& count) {
    count = std::size(kShapes);
    return kShapes;
}

const tEdgeType* EdgeTypes(std::size_t& count) {
    count = std::size(kEdges);
    return kEdges;
}

}  // namespace lum::papyrus::detail
