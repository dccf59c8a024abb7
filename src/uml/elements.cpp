#include "lum/uml/elements.h"

#include <charconv>

namespace lum::uml {

const char* KindName(Kind kind) {
    static const char* const names[kKindCount] = {
        "package",    "classifier", "property",     "operation", "parameter",   "association", "associationEnd",
        "relationship", "useCase",  "stateMachine", "state",     "transition",  "partition",   "objectNode",
        "objectFlow", "interaction", "lifeline",    "message",   "component",   "node",        "process",
        "note",       "diagram"};
    return names[static_cast<int>(kind)];
}

const char* VisibilityName(Visibility visibility) {
    static const char* const names[] = {"", "public", "protected", "private", "package"};
    return names[static_cast<int>(visibility)];
}

char VisibilitySign(Visibility visibility) {
    static const char signs[] = {' ', '+', '#', '-', '~'};
    return signs[static_cast<int>(visibility)];
}

const char* AggregationName(Aggregation aggregation) {
    static const char* const names[] = {"none", "shared", "composite"};
    return names[static_cast<int>(aggregation)];
}

const char* ClassifierKindName(ClassifierKind kind) {
    static const char* const names[] = {"class",    "interface", "actor",   "dataType",
                                        "enumeration", "utility", "metaclass"};
    return names[static_cast<int>(kind)];
}

const char* DirectionName(Direction direction) {
    static const char* const names[] = {"in", "out", "inout"};
    return names[static_cast<int>(direction)];
}

const char* RelationshipKindName(RelationshipKind kind) {
    static const char* const names[] = {"generalization", "realization", "dependency", "import",
                                        "instantiation",  "include",     "extend",     "connection"};
    return names[static_cast<int>(kind)];
}

const char* StateKindName(StateKind kind) {
    static const char* const names[] = {"simple",   "initial",         "final",   "shallowHistory",
                                        "deepHistory", "decision",     "synchronization", "activity"};
    return names[static_cast<int>(kind)];
}

const char* ActionTimeName(ActionTime when) {
    static const char* const names[] = {"entry", "exit", "onEvent", "do"};
    return names[static_cast<int>(when)];
}

const char* SynchronicityName(Synchronicity kind) {
    static const char* const names[] = {"simple",        "synchronous",  "balking", "timeout",
                                        "procedureCall", "asynchronous", "return"};
    const int index = static_cast<int>(kind);
    return index >= 0 && index < 7 ? names[index] : "simple";
}

const char* DiagramKindName(DiagramKind kind) {
    static const char* const names[] = {"class",     "useCase",   "state",      "activity", "sequence",
                                        "collaboration", "component", "deployment", "other"};
    return names[static_cast<int>(kind)];
}

WString ValueText(const ClumVellumEntity* value) {
    WString text;
    if (const auto* ident = AsRaw<ClumVellumIdent>(value)) return WString(ident->value.Get().c_str());
    if (const auto* string = AsRaw<ClumVellumString>(value)) return string->value.Get();
    if (const auto* valued = AsRaw<ClumVellumValue>(value)) return valued->value.Get();
    if (const auto* number = AsRaw<ClumVellumInt>(value)) number->value.Encode(text);
    else if (const auto* real = AsRaw<ClumVellumFloat>(value)) {
        // The shortest text that reads back as the same float: 0.5, not 0.500000.
        char digits[32];
        const auto written = std::to_chars(digits, digits + sizeof digits, real->value.Get());
        text.assign(digits, written.ptr);
    }
    else if (const auto* flag = AsRaw<ClumVellumBool>(value)) flag->value.Encode(text);
    return text;
}

ClumIdent Element::Stereotype() const {
    const auto* object = AsRaw<ClumVellumObject>(raw);
    if (object == nullptr || object->stereotype.IsEmpty()) return ClumIdent();
    const ClumVellumEntity* value = object->stereotype.GetAt(0);
    if (const auto* ident = AsRaw<ClumVellumIdent>(value)) return ident->value.Get();
    return ClumIdent(ValueText(value));
}

const WString& Element::Documentation() const {
    static const WString none;
    const auto* object = AsRaw<ClumVellumObject>(raw);
    return object != nullptr ? object->documentation.Get() : none;
}

namespace {

void AppendValues(const TlumLink<ClumVellumObject, ClumAttribute, 6>& attributes, std::vector<PropertyValue>& out);

PropertyValue ValueOf(const ClumAttribute& attribute) {
    PropertyValue value;
    value.raw = &attribute;
    value.tool = attribute.tool.Get();
    value.name = attribute.name.Get();
    for (int i = 0; i < attribute.value.GetSize(); ++i) {
        const ClumVellumEntity* item = attribute.value.GetAt(i);
        if (const auto* nested = AsRaw<ClumAttribute>(item)) value.items.push_back(ValueOf(*nested));
        else value.value = ValueText(item);
    }
    return value;
}

void AppendValues(const TlumLink<ClumVellumObject, ClumAttribute, 6>& attributes, std::vector<PropertyValue>& out) {
    for (int i = 0; i < attributes.GetSize(); ++i) out.push_back(ValueOf(*attributes.Get(i)));
}

}  // namespace

std::vector<PropertyValue> Element::PropertyValues() const {
    std::vector<PropertyValue> values;
    const auto* object = AsRaw<ClumVellumObject>(raw);
    if (object == nullptr) return values;
    AppendValues(object->attributes, values);
    // A design keeps the model's own property values in its property set.
    if (const auto* design = AsRaw<ClumDesign>(raw)) {
        for (int i = 0; i < design->properties.GetSize(); ++i) AppendValues(design->properties.Get(i)->attributes, values);
    }
    return values;
}

bool Association::IsCommunication() const {
    bool actor = false, useCase = false;
    for (const Element* member : members) {
        const auto* end = As<AssociationEnd>(member);
        if (end == nullptr || end->type.element == nullptr) continue;
        const auto* classifier = As<Classifier>(end->type.element);
        actor = actor || (classifier != nullptr && classifier->sort == ClassifierKind::Actor);
        useCase = useCase || end->type.element->kind == Kind::UseCase;
    }
    return actor && useCase;
}

Geometry Shown::Where() const {
    Geometry geometry;
    if (item == nullptr) return geometry;
    geometry.location = item->location.Get();
    if (const auto* symbol = AsRaw<ClumSymbol>(item)) {
        geometry.width = symbol->width.Get();
        geometry.height = symbol->height.Get();
    }
    if (const auto* line = AsRaw<ClumLine>(item)) geometry.points = &line->vertices.Get();
    return geometry;
}

}  // namespace lum::uml
