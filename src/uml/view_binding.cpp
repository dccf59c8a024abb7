// The second pass of building a view: every reference the raw model bound is
// turned into the element it designates. Where an object carries both a name
// reference and a quid reference ("quidu") to the same thing, the quid wins:
// it names one object exactly, while a name may have bound elsewhere.

#include <algorithm>
#include <string_view>

#include "uml/raw_access.h"
#include "uml/view_storage.h"

namespace lum::uml::detail {

namespace {

class tBinder {
public:
    explicit tBinder(View::Storage& storage) : m_storage(storage) {}

    void Run() {
        for (Classifier& classifier : m_storage.Of<Classifier>()) BindClassifier(classifier);
        for (Property& property : m_storage.Of<Property>()) BindProperty(property);
        for (Parameter& parameter : m_storage.Of<Parameter>()) {
            const auto& raw = static_cast<const ClumParameter&>(*parameter.raw);
            parameter.type = Type(&raw.type, &raw.quidu);
        }
        for (Operation& operation : m_storage.Of<Operation>()) BindOperation(operation);
        for (Association& association : m_storage.Of<Association>()) {
            association.associationClass = Type(&static_cast<const ClumAssociation&>(*association.raw).AssociationClass, nullptr);
        }
        for (AssociationEnd& end : m_storage.Of<AssociationEnd>()) {
            const auto& raw = static_cast<const ClumRole&>(*end.raw);
            end.type = Type(&raw.supplier, &raw.quidu);
        }
        for (Relationship& relationship : m_storage.Of<Relationship>()) BindRelationship(relationship);
        for (Transition& transition : m_storage.Of<Transition>()) BindTransition(transition);
        for (Partition& partition : m_storage.Of<Partition>()) {
            const auto& raw = static_cast<const ClumPartition&>(*partition.raw);
            partition.represents = Type(&raw.class_, &raw.quidu);
        }
        for (ObjectNode& node : m_storage.Of<ObjectNode>()) {
            const auto& raw = static_cast<const ClumObject&>(*node.raw);
            node.type = Type(&raw.class_, &raw.quidu);
        }
        for (Lifeline& lifeline : m_storage.Of<Lifeline>()) {
            const auto& raw = static_cast<const ClumObject&>(*lifeline.raw);
            lifeline.type = Type(&raw.class_, &raw.quidu);
        }
        for (ObjectFlow& flow : m_storage.Of<ObjectFlow>()) {
            const auto& raw = static_cast<const ClumObject_Flow&>(*flow.raw);
            flow.source = Type(&raw.client, &raw.client_quidu);
            flow.target = Type(&raw.supplier, &raw.supplier_quidu);
            flow.state = Type(&raw.State, nullptr);
        }
        for (Message& message : m_storage.Of<Message>()) BindMessage(message);
        for (Diagram& diagram : m_storage.Of<Diagram>()) BindDiagram(diagram);
    }

private:
    Element* Find(const ClumVellumEntity* raw) const { return m_storage.index.Find(raw); }

    // The bound target of a single reference, or of the first of a list.
    static const ClumVellumEntity* TargetOf(const IlumReference* reference, long index = -1) {
        if (reference == nullptr) return nullptr;
        return reference->GetTarget(reference->IsSingle() ? -1 : std::max(index, 0L));
    }

    TypeRef Type(const IlumReference* named, const IlumReference* quid, long index = -1) const {
        TypeRef type;
        if (named != nullptr) named->GetValueIdent(type.name, named->IsSingle() ? -1 : index);
        type.target = TargetOf(quid, index);
        if (type.target == nullptr) type.target = TargetOf(named, index);
        type.element = Find(type.target);
        if (type.name.GetLength() == 0 && type.element != nullptr) type.name = type.element->name;
        return type;
    }

    void BindClassifier(Classifier& classifier) {
        const auto& raw = static_cast<const ClumClass&>(*classifier.raw);
        // The modules the class is assigned to, by quid or by name.
        const int count = std::max(raw.module.GetCount(), raw.quidu.GetCount());
        for (int i = 0; i < count; ++i) {
            const ClumVellumEntity* target = raw.quidu.GetTarget(i);
            if (target == nullptr) target = raw.module.GetTarget(i);
            auto* component = As<Component>(Find(target));
            if (component == nullptr || std::find(classifier.components.begin(), classifier.components.end(), component) !=
                                            classifier.components.end())
                continue;
            classifier.components.push_back(component);
            const_cast<Component*>(component)->realizedClasses.push_back(&classifier);
        }
    }

    void BindProperty(Property& property) {
        const auto& raw = static_cast<const ClumClassAttribute&>(*property.raw);
        property.type = Type(&raw.type, &raw.quidu);
        // A multiplicity written after the type name: "Book[0..*]".
        const std::wstring_view text(property.type.name.c_str(), property.type.name.GetLength());
        const std::size_t open = text.rfind(L'[');
        if (text.ends_with(L']') && open != std::wstring_view::npos && open > 0) {
            Multiplicity multiplicity = Multiplicity::Parse(std::wstring(text.substr(open + 1, text.size() - open - 2)));
            if (multiplicity.IsValid()) {
                property.multiplicity = std::move(multiplicity);
                property.type.name = ClumIdent(WString::Trim(WString(std::wstring(text.substr(0, open)))));
            }
        }
    }

    void BindOperation(Operation& operation) {
        const auto& raw = static_cast<const ClumOperation&>(*operation.raw);
        operation.returnType = Type(&raw.result, &raw.quidu);
        for (int i = 0; i < raw.exceptions.GetCount(); ++i) operation.exceptions.push_back(Type(&raw.exceptions, nullptr, i));
    }

    void BindRelationship(Relationship& relationship) {
        const auto& raw = static_cast<const ClumRelationship&>(*relationship.raw);
        relationship.supplier = Type(&raw.supplier, &raw.quidu);
        if (relationship.sort != RelationshipKind::Instantiation) return;
        if (auto* instantiated = const_cast<Element*>(relationship.client); instantiated != nullptr &&
                                                                            instantiated->kind == Kind::Classifier)
            static_cast<Classifier*>(instantiated)->templateClassifier = relationship.supplier;
    }

    void BindTransition(Transition& transition) {
        const auto& raw = static_cast<const ClumState_Transition&>(*transition.raw);
        transition.target = Type(&raw.supplier, &raw.supplier_quidu);
        // Written on its source state, a transition names only its target.
        transition.source = Find(TargetOf(&raw.client_quidu));
        if (transition.source == nullptr) transition.source = Find(TargetOf(&raw.client));
        if (transition.source == nullptr && transition.owner != nullptr && transition.owner->kind == Kind::State)
            transition.source = transition.owner;
    }

    // A message travels along an object link from the object that holds the
    // link to the link's supplier, or back when its direction says so.
    void BindMessage(Message& message) {
        const auto& raw = static_cast<const ClumMessage&>(*message.raw);
        message.operation = Type(nullptr, &raw.quidu);
        if (message.operation.name.GetLength() == 0) message.operation.name = ClumIdent(raw.Operation.Get());
        const auto* link = AsRaw<ClumLink>(raw.Owner());
        if (link == nullptr) return;
        TypeRef holder;
        holder.target = link->Owner();
        holder.element = Find(holder.target);
        if (holder.element != nullptr) holder.name = holder.element->name;
        TypeRef other = Type(&link->supplier, &link->quidu);
        if (raw.dir.Get() == MessageDir_ToClientFromSupplier) std::swap(holder, other);
        message.sender = holder.element;
        message.receiver = other;
    }

    // The element a diagram item shows: what its quid reference (or a class
    // view's element) names; for interaction lines, what their label names.
    const Element* ShownBy(const ClumDiagramItem& item) const {
        if (const auto* view = AsRaw<ClumClassView>(&item)) {
            if (const Element* element = Find(TargetOf(&view->element))) return element;
        }
        if (const auto* symbol = AsRaw<ClumQuiduSymbol>(&item)) return Find(TargetOf(&symbol->quidu));
        if (const auto* line = AsRaw<ClumQuiduLine>(&item)) return Find(TargetOf(&line->quidu));
        if (const auto* line = AsRaw<ClumInteractionLine>(&item)) {
            if (!line->label.IsEmpty()) return Find(TargetOf(&line->label.Get(0)->quidu));
        }
        return nullptr;
    }

    void BindDiagram(Diagram& diagram) {
        const auto& raw = static_cast<const ClumDiagram&>(*diagram.raw);
        if (const auto* interaction = AsRaw<ClumInteractionDiagram>(&raw))
            diagram.context = Type(&interaction->mechanism_ref, nullptr);
        else if (const auto* objects = AsRaw<ClumObjectDiagram>(&raw))
            diagram.context = Type(&objects->mechanism_ref, nullptr);
        std::vector<const ClumAttachView*> attachments;
        for (int i = 0; i < raw.items.GetSize(); ++i) {
            const ClumDiagramItem& item = *raw.items.Get(i);
            if (const auto* note = AsRaw<ClumNoteView>(&item)) {
                diagram.shown.push_back({&MakeNote(*note, diagram), &item});
                continue;
            }
            if (const auto* attach = AsRaw<ClumAttachView>(&item)) attachments.push_back(attach);
            if (const Element* element = ShownBy(item)) diagram.shown.push_back({element, &item});
            if (const auto* association = AsRaw<ClumAssociationViewNew>(&item)) {
                for (int r = 0; r < association->roleview_list.GetSize(); ++r) {
                    const ClumRoleView& role = *association->roleview_list.Get(r);
                    if (const Element* end = ShownBy(role)) diagram.shown.push_back({end, &role});
                }
            }
        }
        for (const ClumAttachView* attach : attachments) Attach(*attach);
    }

    Note& MakeNote(const ClumNoteView& view, Diagram& diagram) {
        auto& note = m_storage.New<Note>(Kind::Note, &view, &diagram);
        if (!view.label.IsEmpty()) note.text = WString(view.label.Get(0)->label.Get().c_str());
        return note;
    }

    // An attachment line between a note and another item of the diagram.
    void Attach(const ClumAttachView& line) {
        const ClumVellumEntity* ends[2] = {TargetOf(&line.client), TargetOf(&line.supplier)};
        for (int e = 0; e < 2; ++e) {
            auto* note = As<Note>(Find(ends[e]));
            const auto* other = AsRaw<ClumDiagramItem>(ends[1 - e]);
            if (note == nullptr || other == nullptr) continue;
            const Element* annotated = AsRaw<ClumNoteView>(other) != nullptr ? nullptr : ShownBy(*other);
            if (annotated != nullptr) const_cast<Note*>(note)->annotated.push_back(annotated);
        }
    }

    View::Storage& m_storage;
};

}  // namespace

void BindReferences(View::Storage& storage) { tBinder(storage).Run(); }

}  // namespace lum::uml::detail
