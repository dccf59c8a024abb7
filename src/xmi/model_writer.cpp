// The walk over the view and the structural elements: packages,
// classifiers, features, associations, components and nodes.

#include <algorithm>

#include "xmi/exporter.h"

namespace lum::xmi::detail {

namespace {

bool OwnsAttributes(tAs as) {
    return as == tAs::Class || as == tAs::Interface || as == tAs::DataType || as == tAs::Node || as == tAs::Component ||
           as == tAs::Interaction || as == tAs::Activity;
}
bool IsBehaviored(tAs as) {
    return as == tAs::Class || as == tAs::Actor || as == tAs::UseCase || as == tAs::Node || as == tAs::Component;
}
bool IsClassifier(tAs as) {
    return as == tAs::Class || as == tAs::Interface || as == tAs::DataType || as == tAs::Actor || as == tAs::UseCase ||
           as == tAs::Node || as == tAs::Component || as == tAs::Activity || as == tAs::Interaction;
}
bool OwnsPackaged(tAs as) { return as == tAs::Package || as == tAs::Component; }

const uml::Classifier* ClassifierOf(const uml::TypeRef& ref) { return uml::As<uml::Classifier>(ref.element); }

}  // namespace

tExporter::tExporter(const uml::View& view, std::ostream& out, Flavour flavour)
    : m_view(view), m_xml(out), m_flavour(flavour), m_record(flavour == Flavour::Omg), m_ids(view) {
    // An association with a class of its own is written once, as that class.
    for (const uml::Element* element : view.All(uml::Kind::Association)) {
        const auto* association = static_cast<const uml::Association*>(element);
        const uml::Classifier* owner = ClassifierOf(association->associationClass);
        if (owner == nullptr || owner->sort != uml::ClassifierKind::Class) continue;
        if (m_associationClass.emplace(owner, association).second) {
            m_merged.insert(association);
            m_ids.Alias(association, owner);
        }
    }
    for (const uml::Element* element : view.All(uml::Kind::Diagram)) {
        const auto* diagram = static_cast<const uml::Diagram*>(element);
        if (diagram->sort == uml::DiagramKind::Sequence && uml::As<uml::Interaction>(diagram->context.element) != nullptr)
            m_sequences[diagram->context.element].push_back(diagram);
    }
    for (const uml::Element* element : view.All(uml::Kind::Relationship)) {
        const auto* relationship = static_cast<const uml::Relationship*>(element);
        if (relationship->sort == uml::RelationshipKind::Extend && uml::As<uml::UseCase>(relationship->client) &&
            uml::As<uml::UseCase>(relationship->supplier.element))
            m_extended.insert(relationship->supplier.element);
    }
}

void tExporter::Run() {
    m_xml.Declaration();
    const auto& models = m_view.Models();
    m_root = models.size() == 1 ? models.front() : nullptr;
    if (m_flavour == Flavour::Omg) {
        m_xml.Start("xmi:XMI");
        m_xml.Attr("xmi:version", "20131001");
        m_xml.Attr("xmlns:xmi", "http://www.omg.org/spec/XMI/20131001");
        m_xml.Attr("xmlns:uml", "http://www.omg.org/spec/UML/20161101");
        m_xml.Attr("xmlns:umldi", "http://www.omg.org/spec/UML/20161101/UMLDI");
        m_xml.Attr("xmlns:di", "http://www.omg.org/spec/DD/20131001/DI");
        m_xml.Attr("xmlns:dc", "http://www.omg.org/spec/DD/20131001/DC");
    }
    if (m_root != nullptr) {
        Walk(*m_root, "uml:Model");
    } else {
        // Several models (or none) stand in one model of their own.
        m_xml.Start("uml:Model");
        RootAttributes();
        m_xml.Attr("xmi:type", "uml:Model");
        m_xml.Attr("xmi:id", "lum-root");
        m_xml.Attr("name", "models");
        for (const uml::Package* model : models) Walk(*model, "packagedElement");
        TypesPackage();
        m_xml.End();
    }
    if (m_flavour == Flavour::Omg) {
        for (const uml::Diagram* diagram : m_diagrams) Diagram(*diagram);
        m_xml.End();
    }
    m_xml.Flush();
}

void tExporter::RootAttributes() {
    if (m_flavour != Flavour::Eclipse) return;
    m_xml.Attr("xmi:version", "20131001");
    m_xml.Attr("xmlns:xmi", "http://www.omg.org/spec/XMI/20131001");
    m_xml.Attr("xmlns:ecore", "http://www.eclipse.org/emf/2002/Ecore");
    m_xml.Attr("xmlns:uml", "http://www.eclipse.org/uml2/5.0.0/UML");
}

void tExporter::Walk(const uml::Element& top, std::string_view tag) {
    m_stack.emplace_back(&top, tag);
    while (!m_stack.empty()) {
        const std::size_t at = m_stack.size() - 1;
        if (!m_stack[at].open) {
            Expand(at);
            continue;
        }
        if (!m_stack[at].waiting.empty()) {
            std::vector<const uml::Element*> waiting = std::move(m_stack[at].waiting);
            m_stack[at].waiting.clear();
            for (auto element = waiting.rbegin(); element != waiting.rend(); ++element)
                m_stack.emplace_back(*element, "packagedElement");
            continue;
        }
        const tFrame frame = std::move(m_stack[at]);
        m_stack.pop_back();
        if (OwnsPackaged(frame.as)) m_packages.pop_back();
        Close(frame);
    }
}

void tExporter::Expand(std::size_t at) {
    m_stack[at].open = true;
    const uml::Element& element = *m_stack[at].element;
    const tAs as = Open(element, m_stack[at].tag);
    if (as == tAs::Skip) {
        m_stack.pop_back();
        return;
    }
    m_stack[at].as = as;
    if (OwnsPackaged(as)) m_packages.push_back(at);
    const std::size_t first = m_stack.size();
    for (const uml::Element* member : element.members) {
        bool wait = false;
        const std::string_view tag = Place(*member, as, wait);
        if (wait) {
            if (!m_packages.empty()) m_stack[m_packages.back()].waiting.push_back(member);
        } else if (!tag.empty()) {
            m_stack.emplace_back(member, tag);
        }
    }
    std::reverse(m_stack.begin() + static_cast<std::ptrdiff_t>(first), m_stack.end());
}

std::string_view tExporter::Place(const uml::Element& child, tAs owner, bool& wait) {
    using K = uml::Kind;
    wait = false;
    switch (child.kind) {
        case K::Package:
        case K::Component:
            if (OwnsPackaged(owner)) return "packagedElement";
            break;
        case K::Classifier:
            if (OwnsPackaged(owner)) return "packagedElement";
            if (owner == tAs::Class || owner == tAs::Interface || owner == tAs::Node || owner == tAs::Activity ||
                owner == tAs::Interaction)
                return "nestedClassifier";
            break;
        case K::UseCase:
            if (OwnsPackaged(owner)) return "packagedElement";
            if (IsClassifier(owner)) return "ownedUseCase";
            break;
        case K::Property: {
            const auto* classifier = uml::As<uml::Classifier>(child.owner);
            if (owner == tAs::DataType && classifier != nullptr && classifier->sort == uml::ClassifierKind::Enumeration)
                return "ownedLiteral";
            return OwnsAttributes(owner) ? "ownedAttribute" : "";
        }
        case K::Operation:
            return owner == tAs::Class || owner == tAs::Interface || owner == tAs::DataType || owner == tAs::Node ||
                           owner == tAs::Component
                       ? "ownedOperation"
                       : "";
        case K::Parameter:
            return owner == tAs::Operation && !static_cast<const uml::Parameter&>(child).isTemplateParameter
                       ? "ownedParameter"
                       : "";
        case K::Association:
            if (m_merged.count(&child) != 0) return "";
            if (OwnsPackaged(owner)) return "packagedElement";
            break;
        case K::Relationship: {
            const auto& relationship = static_cast<const uml::Relationship&>(child);
            if (!IsStandard(relationship.supplier) && TargetId(relationship.supplier).empty()) return "";
            const uml::Element* supplier = relationship.supplier.element;
            switch (relationship.sort) {
                case uml::RelationshipKind::Generalization:
                    if (IsClassifier(owner)) return "generalization";
                    break;
                case uml::RelationshipKind::Realization: {
                    const uml::Classifier* contract = uml::As<uml::Classifier>(supplier);
                    if (IsBehaviored(owner) && contract != nullptr && contract->sort == uml::ClassifierKind::Interface)
                        return "interfaceRealization";
                    break;
                }
                case uml::RelationshipKind::Import:
                    if (owner == tAs::Package && uml::As<uml::Package>(supplier) != nullptr) return "packageImport";
                    break;
                case uml::RelationshipKind::Include:
                    if (owner == tAs::UseCase && uml::As<uml::UseCase>(supplier) != nullptr) return "include";
                    break;
                case uml::RelationshipKind::Extend:
                    if (owner == tAs::UseCase && uml::As<uml::UseCase>(supplier) != nullptr) return "extend";
                    break;
                default: break;
            }
            break;
        }
        case K::StateMachine:
            if (owner == tAs::Vertex) return "region";
            if (OwnsPackaged(owner)) return "packagedElement";
            if (IsBehaviored(owner)) return "ownedBehavior";
            break;
        case K::State: return owner == tAs::Region ? "subvertex" : owner == tAs::Activity ? "node" : "";
        case K::Partition: return owner == tAs::Activity ? "group" : "";
        case K::ObjectNode: return owner == tAs::Activity ? "node" : "";
        case K::Interaction:
            if (OwnsPackaged(owner)) return "packagedElement";
            if (IsBehaviored(owner)) return "ownedBehavior";
            break;
        case K::Node:
            if (OwnsPackaged(owner)) return "packagedElement";
            if (owner == tAs::Node) return "nestedNode";
            break;
        case K::Process: return owner == tAs::Node ? "nestedClassifier" : "";
        case K::Diagram: return "diagram";
        default: return "";
    }
    wait = true;
    return "";
}

tAs tExporter::Open(const uml::Element& element, std::string_view tag) {
    using K = uml::Kind;
    switch (element.kind) {
        case K::Package: return OpenPackage(static_cast<const uml::Package&>(element), tag);
        case K::Classifier: return OpenClassifier(static_cast<const uml::Classifier&>(element), tag);
        case K::UseCase: {
            const auto& useCase = static_cast<const uml::UseCase&>(element);
            Begin(tag, "uml:UseCase", element);
            if (useCase.isAbstract) m_xml.Attr("isAbstract", "true");
            Common(element);
            if (m_extended.count(&element) != 0) {
                const std::string& id = m_ids.Of(&element);
                m_xml.Start("extensionPoint");
                m_xml.Attr("xmi:type", "uml:ExtensionPoint");
                m_xml.Attr("xmi:id", id, "-xp");
                m_xml.Text("name", Wide(element.name));
                m_xml.End();
            }
            return tAs::UseCase;
        }
        case K::Property: Property(static_cast<const uml::Property&>(element), tag); return tAs::Skip;
        case K::Operation: return OpenOperation(static_cast<const uml::Operation&>(element), tag);
        case K::Parameter: Parameter(static_cast<const uml::Parameter&>(element)); return tAs::Skip;
        case K::Association: {
            Begin(tag, "uml:Association", element);
            if (static_cast<const uml::Association&>(element).isDerived) m_xml.Attr("isDerived", "true");
            AssociationParts(static_cast<const uml::Association&>(element), m_ids.Of(&element));
            return tAs::Association;
        }
        case K::Relationship: Relationship(static_cast<const uml::Relationship&>(element), tag); return tAs::Skip;
        case K::StateMachine: {
            const tAs owner = m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].as : tAs::Package;
            return OpenStateMachine(static_cast<const uml::StateMachine&>(element), tag, owner);
        }
        case K::State:
            if (tag == "node") {
                ActivityNode(element, tag);
                return tAs::ActivityNode;
            }
            return Vertex(static_cast<const uml::State&>(element), tag);
        case K::Partition:
        case K::ObjectNode: ActivityNode(element, tag); return tAs::ActivityNode;
        case K::Interaction: return OpenInteraction(static_cast<const uml::Interaction&>(element), tag);
        case K::Component: return OpenComponent(static_cast<const uml::Component&>(element), tag);
        case K::Node: return OpenNode(static_cast<const uml::Node&>(element), tag);
        case K::Process:
            Begin(tag, "uml:Class", element);
            m_xml.Attr("isActive", "true");
            Common(element);
            m_xml.End();
            return tAs::Skip;
        case K::Diagram: Notes(static_cast<const uml::Diagram&>(element)); return tAs::Skip;
        default: return tAs::Skip;
    }
}

void tExporter::Close(const tFrame& frame) {
    switch (frame.as) {
        case tAs::Operation: {
            const auto& operation = static_cast<const uml::Operation&>(*frame.element);
            if (operation.returnType.name.GetLength() != 0 || operation.returnType.element != nullptr) {
                const std::string& id = m_ids.Of(&operation);
                m_xml.Start("ownedParameter");
                m_xml.Attr("xmi:type", "uml:Parameter");
                m_xml.Attr("xmi:id", id, "-ret");
                m_xml.Attr("direction", "return");
                TypeAttr("type", operation.returnType);
                TypeChild("type", operation.returnType);
                m_xml.End();
            }
            m_xml.End();
            return;
        }
        case tAs::Region:
            CloseRegion(*frame.element);
            if (frame.tag != "region") m_xml.End();  // the state machine around its region
            return;
        case tAs::Activity: CloseActivity(static_cast<const uml::StateMachine&>(*frame.element)); return;
        default: break;
    }
    if (frame.element == m_root) TypesPackage();
    m_xml.End();
}

void tExporter::Index(WrittenIndex& index) {
    index.elements.clear();
    index.elements.reserve(m_written.size() + m_merged.size());
    for (const auto& [element, type] : m_written) index.elements.emplace(element, Written{m_ids.Of(element), type});
    for (const auto& [owner, association] : m_associationClass) {
        const auto written = m_written.find(owner);
        if (m_merged.count(association) != 0 && written != m_written.end())
            index.elements.emplace(association, Written{m_ids.Of(owner), written->second});
    }
    index.regions = std::move(m_regions);
    index.executions = std::move(m_executions);
    const auto root = m_root != nullptr ? m_written.find(m_root) : m_written.end();
    index.root = root != m_written.end() ? Written{m_ids.Of(m_root), root->second} : Written{"lum-root", "uml:Model"};
}

void tExporter::Begin(std::string_view tag, std::string_view type, const uml::Element& element) {
    m_xml.Start(tag);
    m_xml.Attr("xmi:type", type);
    m_xml.Attr("xmi:id", m_ids.Of(&element));
    Named(element);
    if (m_record) m_written.emplace(&element, type);
}

tAs tExporter::OpenPackage(const uml::Package& package, std::string_view tag) {
    m_xml.Start(tag);
    if (&package == m_root) RootAttributes();
    m_xml.Attr("xmi:type", package.isModel ? "uml:Model" : "uml:Package");
    m_xml.Attr("xmi:id", m_ids.Of(&package));
    Named(package);
    if (m_record) m_written.emplace(&package, package.isModel ? "uml:Model" : "uml:Package");
    Visibility(package.visibility);
    Common(package);
    return tAs::Package;
}

tAs tExporter::OpenClassifier(const uml::Classifier& classifier, std::string_view tag) {
    using C = uml::ClassifierKind;
    const auto merged = m_associationClass.find(&classifier);
    const uml::Association* association = merged != m_associationClass.end() ? merged->second : nullptr;
    std::string_view type = "uml:Class";
    tAs as = tAs::Class;
    std::wstring_view keyword;
    switch (classifier.sort) {
        case C::Interface: type = "uml:Interface", as = tAs::Interface; break;
        case C::Actor: type = "uml:Actor", as = tAs::Actor; break;
        case C::DataType: type = "uml:DataType", as = tAs::DataType; break;
        case C::Enumeration: type = "uml:Enumeration", as = tAs::DataType; break;
        case C::Utility: keyword = L"utility"; break;
        case C::Metaclass: keyword = L"metaclass"; break;
        case C::Class: break;
    }
    if (association != nullptr) type = "uml:AssociationClass";
    Begin(tag, type, classifier);
    Visibility(classifier.visibility);
    if (classifier.isAbstract) m_xml.Attr("isAbstract", "true");
    if (association != nullptr && association->isDerived) m_xml.Attr("isDerived", "true");
    const std::string& id = m_ids.Of(&classifier);
    if (association != nullptr) {
        AssociationParts(*association, id);
    } else {
        Common(classifier, keyword);
    }
    if (classifier.isParameterized) TemplateSignature(classifier);
    return as;
}

void tExporter::TemplateSignature(const uml::Classifier& classifier) {
    const auto parameters = classifier.Members<uml::Parameter>();
    if (parameters.empty()) return;
    m_xml.Start("ownedTemplateSignature");
    m_xml.Attr("xmi:type", "uml:RedefinableTemplateSignature");
    m_xml.Attr("xmi:id", m_ids.Of(&classifier), "-sig");
    m_xml.ListStart("parameter");
    for (const uml::Parameter* parameter : parameters) m_xml.Item(m_ids.Of(parameter));
    m_xml.ListEnd();
    for (const uml::Parameter* parameter : parameters) {
        const std::string& id = m_ids.Of(parameter);
        m_xml.Start("ownedParameter");
        m_xml.Attr("xmi:type", "uml:ClassifierTemplateParameter");
        m_xml.Attr("xmi:id", id);
        m_xml.Attr("parameteredElement", id, "-el");
        m_xml.Start("ownedParameteredElement");
        m_xml.Attr("xmi:type", "uml:Class");
        m_xml.Attr("xmi:id", id, "-el");
        Named(*parameter);
        m_xml.End();
        m_xml.End();
    }
    m_xml.End();
}

void tExporter::Property(const uml::Property& property, std::string_view tag) {
    if (tag == "ownedLiteral") {
        Begin(tag, "uml:EnumerationLiteral", property);
        Common(property);
        m_xml.End();
        return;
    }
    Begin(tag, "uml:Property", property);
    Visibility(property.visibility);
    if (property.isStatic) m_xml.Attr("isStatic", "true");
    if (property.isDerived) m_xml.Attr("isDerived", "true");
    if (property.aggregation == uml::Aggregation::Composite) m_xml.Attr("aggregation", "composite");
    TypeAttr("type", property.type);
    Common(property);
    TypeChild("type", property.type);
    const std::string& id = m_ids.Of(&property);
    Multiplicity(property.multiplicity, id);
    if (!property.defaultValue.empty()) Opaque("defaultValue", "uml:OpaqueExpression", id + "-default", property.defaultValue);
    m_xml.End();
}

tAs tExporter::OpenOperation(const uml::Operation& operation, std::string_view tag) {
    Begin(tag, "uml:Operation", operation);
    Visibility(operation.visibility);
    if (operation.isStatic) m_xml.Attr("isStatic", "true");
    if (operation.isAbstract) m_xml.Attr("isAbstract", "true");
    if (operation.isQuery) m_xml.Attr("isQuery", "true");
    const std::string& id = m_ids.Of(&operation);
    if (operation.precondition != nullptr) m_xml.Attr("precondition", id, "-pre");
    if (operation.postcondition != nullptr) m_xml.Attr("postcondition", id, "-post");
    bool listed = false;
    for (const uml::TypeRef& exception : operation.exceptions) {
        if (IsStandard(exception)) continue;
        const std::string target = TypeId(exception);
        if (target.empty()) continue;
        if (!listed) m_xml.ListStart("raisedException");
        listed = true;
        m_xml.Item(target);
    }
    if (listed) m_xml.ListEnd();
    Common(operation);
    for (const uml::TypeRef& exception : operation.exceptions) TypeChild("raisedException", exception);
    if (operation.semantics != nullptr) Comment(id + "-sem", id, *operation.semantics);
    const auto rule = [&](const WString* text, const char* suffix, const wchar_t* name) {
        if (text == nullptr) return;
        m_xml.Start("ownedRule");
        m_xml.Attr("xmi:type", "uml:Constraint");
        m_xml.Attr("xmi:id", id, suffix);
        m_xml.Text("name", name);
        Opaque("specification", "uml:OpaqueExpression", id + suffix + "-spec", *text);
        m_xml.End();
    };
    rule(operation.precondition, "-pre", L"pre");
    rule(operation.postcondition, "-post", L"post");
    return tAs::Operation;
}

void tExporter::Parameter(const uml::Parameter& parameter) {
    Begin("ownedParameter", "uml:Parameter", parameter);
    if (parameter.direction == uml::Direction::Out) m_xml.Attr("direction", "out");
    if (parameter.direction == uml::Direction::InOut) m_xml.Attr("direction", "inout");
    TypeAttr("type", parameter.type);
    Common(parameter);
    TypeChild("type", parameter.type);
    if (!parameter.defaultValue.empty())
        Opaque("defaultValue", "uml:OpaqueExpression", m_ids.Of(&parameter) + "-default", parameter.defaultValue);
    m_xml.End();
}

// memberEnd and navigableOwnedEnd (attributes), then the association's own
// parts and its ends, all owned by the association.
void tExporter::AssociationParts(const uml::Association& association, const std::string& associationId) {
    const auto ends = association.Members<uml::AssociationEnd>();
    if (!ends.empty()) {
        m_xml.ListStart("memberEnd");
        for (const uml::AssociationEnd* end : ends) m_xml.Item(m_ids.Of(end));
        m_xml.ListEnd();
    }
    bool listed = false;
    for (const uml::AssociationEnd* end : ends) {
        if (!end->isNavigable) continue;
        if (!listed) m_xml.ListStart("navigableOwnedEnd");
        listed = true;
        m_xml.Item(m_ids.Of(end));
    }
    if (listed) m_xml.ListEnd();
    Common(association);
    for (const uml::AssociationEnd* end : ends) End(*end, associationId);
}

void tExporter::End(const uml::AssociationEnd& end, const std::string& associationId) {
    Begin("ownedEnd", "uml:Property", end);
    Visibility(end.visibility);
    if (end.isStatic) m_xml.Attr("isStatic", "true");
    if (end.isOrdered) m_xml.Attr("isOrdered", "true");
    if (end.aggregation == uml::Aggregation::Shared) m_xml.Attr("aggregation", "shared");
    if (end.aggregation == uml::Aggregation::Composite) m_xml.Attr("aggregation", "composite");
    m_xml.Attr("association", associationId);
    TypeAttr("type", end.type);
    Common(end);
    TypeChild("type", end.type);
    const std::string& id = m_ids.Of(&end);
    Multiplicity(end.multiplicity, id);
    for (const uml::Property* qualifier : end.Members<uml::Property>()) Property(*qualifier, "qualifier");
    m_xml.End();
}

tAs tExporter::OpenComponent(const uml::Component& component, std::string_view tag) {
    Begin(tag, "uml:Component", component);
    Common(component);
    const std::string& id = m_ids.Of(&component);
    for (std::size_t i = 0; i < component.realizedClasses.size(); ++i) {
        const std::string& realizer = m_ids.Of(component.realizedClasses[i]);
        m_xml.Start("realization");
        m_xml.Attr("xmi:type", "uml:ComponentRealization");
        m_xml.Attr("xmi:id", id + "-r", std::to_string(i));
        m_xml.Attr("client", realizer);
        m_xml.Attr("supplier", id);
        m_xml.Attr("realizingClassifier", realizer);
        m_xml.End();
    }
    return tAs::Component;
}

tAs tExporter::OpenNode(const uml::Node& node, std::string_view tag) {
    Begin(tag, node.sort == uml::NodeKind::Device ? "uml:Device" : "uml:Node", node);
    Common(node);
    if (node.characteristics != nullptr && !node.characteristics->empty()) {
        const std::string& id = m_ids.Of(&node);
        Comment(id + "-chr", id, *node.characteristics);
    }
    return tAs::Node;
}

// A diagram's notes become comments of the element that holds the diagram;
// the OMG flavour keeps the diagram itself for the diagram interchange part.
void tExporter::Notes(const uml::Diagram& diagram) {
    if (m_flavour == Flavour::Omg) m_diagrams.push_back(&diagram);
    for (const uml::Note* note : diagram.Members<uml::Note>()) {
        m_xml.Start("ownedComment");
        m_xml.Attr("xmi:type", "uml:Comment");
        m_xml.Attr("xmi:id", m_ids.Of(note));
        if (m_record) m_written.emplace(note, "uml:Comment");
        if (!note->annotated.empty()) {
            m_xml.ListStart("annotatedElement");
            for (const uml::Element* annotated : note->annotated) m_xml.Item(m_ids.Of(annotated));
            m_xml.ListEnd();
        }
        m_xml.TextElement("body", note->text);
        m_xml.End();
    }
}

}  // namespace lum::xmi::detail
