#pragma once
// tExporter: one XMI export of a view. It walks the view with its own
// stack and writes each element as it is reached. Where UML wants an
// element somewhere else than the view keeps it (a dependency held by a
// class must be a packaged element), the element waits in the nearest
// enclosing package and is written when that package's own members are.
// The layout of each element (tag, metaclass, parts) is chosen from what
// its owner was written as.

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "lum/xmi/xmi.h"
#include "xmi/ids.h"
#include "lum/text/xml_writer.h"

namespace lum::xmi::detail {

// What an element was written as, so far as its members care.
enum class tAs : std::uint8_t {
    Skip,         // not written
    Package,      // packages and models
    Class,        // classes and association classes: attributes, operations, nested classifiers
    Interface,
    DataType,     // data types and enumerations
    Actor,
    UseCase,
    Node,
    Component,    // a component: packaged elements like a package, a classifier otherwise
    Operation,
    Association,
    Region,       // a state machine, or the nested one of a composite state
    Vertex,       // a state or pseudostate
    Activity,
    ActivityNode,
    Interaction,
    Other,
};

class tExporter {
public:
    tExporter(const uml::View& view, std::ostream& out, Flavour flavour);
    void Run();
    bool Good() const { return m_xml.Good(); }
    // What Run wrote, handed over (the exporter keeps nothing of it).
    void Index(WrittenIndex& index);
    // Records what is written even in the Eclipse flavour, for Index.
    void Record() { m_record = true; }

private:
    struct tFrame {
        tFrame(const uml::Element* element, std::string_view tag) : element(element), tag(tag) {}
        const uml::Element* element;
        std::string_view tag;
        tAs as = tAs::Skip;
        bool open = false;
        std::vector<const uml::Element*> waiting;  // packaged elements that wait for this package
    };

    // Walking (model_writer.cpp).
    void RootAttributes();
    void Walk(const uml::Element& top, std::string_view tag);
    void Expand(std::size_t frame);
    std::string_view Place(const uml::Element& child, tAs owner, bool& wait);
    tAs Open(const uml::Element& element, std::string_view tag);
    void Close(const tFrame& frame);
    tAs OpenPackage(const uml::Package& package, std::string_view tag);
    tAs OpenClassifier(const uml::Classifier& classifier, std::string_view tag);
    void TemplateSignature(const uml::Classifier& classifier);
    void Property(const uml::Property& property, std::string_view tag);
    tAs OpenOperation(const uml::Operation& operation, std::string_view tag);
    void Parameter(const uml::Parameter& parameter);
    void AssociationParts(const uml::Association& association, const std::string& associationId);
    void End(const uml::AssociationEnd& end, const std::string& associationId);
    tAs OpenComponent(const uml::Component& component, std::string_view tag);
    tAs OpenNode(const uml::Node& node, std::string_view tag);
    void Notes(const uml::Diagram& diagram);
    // Relationships (relationship_writer.cpp).
    void Relationship(const uml::Relationship& relationship, std::string_view tag);
    static bool AsUses(const uml::Relationship& relationship);

    // Shared parts (parts_writer.cpp; Begin in model_writer.cpp).
    // Starts <tag> with xmi:type, xmi:id and the name.
    void Begin(std::string_view tag, std::string_view type, const uml::Element& element);
    // Keywords (the stereotype unless `ownStereotype` is false, and `keyword`),
    // property values and documentation.
    void Common(const uml::Element& element, std::wstring_view keyword = {}, bool ownStereotype = true);
    void PropertyValues(const std::vector<uml::PropertyValue>& values, const std::string& id);
    void Comment(const std::string& id, const std::string& annotated, std::wstring_view body);
    void Visibility(uml::Visibility visibility);
    void Multiplicity(const uml::Multiplicity& multiplicity, const std::string& id);
    void Opaque(std::string_view tag, std::string_view type, const std::string& id, std::wstring_view body);
    void Named(const uml::Element& element) { if (element.name.GetLength() != 0) m_xml.Text("name", Wide(element.name)); }
    static std::wstring_view Wide(const ClumIdent& ident) { return {ident.c_str(), ident.GetLength()}; }

    // Types (types_writer.cpp): a type reference as an attribute, or as a child for the standard primitive types.
    bool IsStandard(const uml::TypeRef& type) const;
    void TypeAttr(std::string_view name, const uml::TypeRef& type);
    void TypeChild(std::string_view tag, const uml::TypeRef& type);
    // The id a reference is written with; empty when it names nothing.
    std::string TypeId(const uml::TypeRef& type);
    // The id of a relationship's supplier: a type, or a package, state machine or interaction.
    std::string TargetId(const uml::TypeRef& target);
    void TypesPackage();
    // The id of the event a trigger names: a signal event of a signal of that name, in a package "events".
    std::string EventId(std::wstring_view name);

    // Behaviours (behavior_writer.cpp).
    tAs OpenStateMachine(const uml::StateMachine& machine, std::string_view tag, tAs owner);
    void CloseRegion(const uml::Element& machine);
    tAs Vertex(const uml::State& state, std::string_view tag);
    void Transition(const uml::Transition& transition);
    void InternalTransitions(const uml::State& state);
    void ActivityNode(const uml::Element& node, std::string_view tag);
    void CloseActivity(const uml::StateMachine& activity);
    tAs OpenInteraction(const uml::Interaction& interaction, std::string_view tag);
    void Executions(const uml::Interaction& interaction);
    bool IsActivity(const uml::StateMachine& machine) const;

    // Diagrams (diagram_writer.cpp), OMG flavour only.
    void Diagram(const uml::Diagram& diagram);

    const uml::View& m_view;
    XmlWriter m_xml;
    Flavour m_flavour;
    bool m_record;  // keep m_written: the OMG flavour's diagrams or Index need it
    tIds m_ids;
    std::vector<tFrame> m_stack;
    std::vector<std::size_t> m_packages;  // frames of open packages, innermost last
    const uml::Package* m_root = nullptr;  // the one model written as the root, if there is one
    std::unordered_map<const uml::Element*, const uml::Association*> m_associationClass;
    std::unordered_set<const uml::Element*> m_merged;    // associations written as their class
    std::unordered_map<const uml::Element*, std::string_view> m_written;  // what was written, as which metaclass
    std::unordered_map<const uml::Element*, std::string> m_regions;  // of the state machines written
    std::unordered_map<const ClumDiagramItem*, std::string> m_executions;  // of the focus bars written
    std::unordered_map<const uml::Element*, std::vector<const uml::Diagram*>> m_sequences;  // the diagrams of each interaction
    std::unordered_set<const uml::Element*> m_extended;  // use cases that an extend points to
    std::map<std::wstring, bool> m_types;                // model-owned types by name: primitive or not
    std::map<std::wstring, bool> m_events;               // the events triggers name
    std::vector<const uml::Diagram*> m_diagrams;
};

}  // namespace lum::xmi::detail
