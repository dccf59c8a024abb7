#include "class_writer.h"

#include "state_machine_writer.h"
#include "vocabulary.h"

namespace genmodel {

namespace {
const char* const kStereotypes[] = {"entity", "control", "boundary", "Interface", "entity", "utility"};
const char* const kExport[] = {"Private", "Private", "Protected", "Public"};
const char* const kConcurrency[] = {"Sequential", "Sequential", "Guarded", "Synchronous"};
const char* const kCardinality[] = {"1", "0..1", "0..n", "1..n", "n"};
const char* const kInitial[] = {"0", "TRUE", "2.5", "\"none\"", "-1", "100"};
const char* const kLanguages[] = {"C++", "C++", "C++", "Java", "Analysis"};
const char* const kPropertyNames[] = {"GenerateDefaultConstructor", "CopyConstructorVisibility", "InlineGet",
                                      "Persistent",  "TableName", "ImplementationType", "HeaderFile",
                                      "GenerateEquality"};
const char* const kPropertyValues[] = {"TRUE", "FALSE", "\"DeclareAndDefine\"", "\"Public\"", "(value Text \"tbl\")",
                                       "\"\"", "42"};
}  // namespace

int tClassWriter::RelatedClass(int localPercent) {
    const int known = static_cast<int>(m_context.classes.size());
    const int local = static_cast<int>(m_classes.size());
    if (local > 0 && (m_random.Chance(localPercent) || known == local)) return m_classes[static_cast<std::size_t>(m_random.Below(local))].index;
    if (known == 0) return -1;
    return m_random.Below(known);
}

std::string tClassWriter::TypeReference(int depth, std::string_view direction) {
    const int kind = m_random.Below(100);
    std::string type(direction);
    std::string name;
    const tElement* target = nullptr;
    if (kind < 8 || m_context.types.empty()) {
        name = PrimitiveTypeName(m_random);
    } else if (kind < 60) {
        target = &m_context.types[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_context.types.size())))];
    } else {
        const int related = RelatedClass(60);
        if (related >= 0) target = &m_context.classes[static_cast<std::size_t>(related)];
        else name = PrimitiveTypeName(m_random);
    }
    if (target != nullptr) name = target->name;
    type += name;
    m_out.Quoted(depth, "type", type);
    if (target != nullptr) m_out.Quoted(depth, "quidu", target->quid);
    return name;
}

void tClassWriter::Documentation(int depth, std::string_view subject, int barsPercent, int quotedPercent) {
    const int kind = m_random.Below(100);
    if (kind < barsPercent) m_out.Bars(depth, "documentation", genmodel::Documentation(m_random, subject, m_random.Between(2, 5)));
    else if (kind < barsPercent + quotedPercent) m_out.Quoted(depth, "documentation", genmodel::Documentation(m_random, subject, 1)[0]);
}

void tClassWriter::Properties(int depth, int count) {
    m_out.ListFeature(depth, "attributes", "Attribute_Set");
    for (int i = 0; i < count; ++i) {
        m_out.Line(depth + 1, "(object Attribute");
        m_out.Quoted(depth + 2, "tool", m_random.Chance(70) ? "Codegen" : "Schema");
        m_out.Quoted(depth + 2, "name", m_random.Pick(kPropertyNames));
        m_out.Feature(depth + 2, "value", m_random.Pick(kPropertyValues));
        m_out.Close();
    }
    m_out.Close();
}

void tClassWriter::Relationship(int depth, std::string_view list, std::string_view kind, int target,
                                const std::string& quid) {
    const tElement& supplier = m_context.classes[static_cast<std::size_t>(target)];
    m_out.ListFeature(depth, list.substr(0, list.find(' ')), list.substr(list.find(' ') + 1));
    m_out.Line(depth + 1, "(object ");
    m_out.Append(kind);
    m_out.Quoted(depth + 2, "quid", quid);
    m_out.Quoted(depth + 2, "supplier", supplier.path);
    m_out.Quoted(depth + 2, "quidu", supplier.quid);
    if (m_random.Chance(50)) m_out.Quoted(depth + 2, "exportControl", "Public");
    m_out.Close(2);
}

void tClassWriter::Operations(int depth, tClassFacts& facts) {
    const int count = m_random.Below(6);
    if (count == 0) return;
    m_out.ListFeature(depth, "operations", "Operations");
    const int o = depth + 2;
    for (int i = 0; i < count; ++i) {
        const std::string name = OperationName(m_random);
        m_out.Line(depth + 1, "(object Operation ");
        m_out.Append(Quote(name));
        m_out.Quoted(o, "quid", m_context.NewQuid());
        Documentation(o, "operation", 15, 25);
        if (m_random.Chance(10)) Properties(o, m_random.Between(1, 3));
        const int parameters = m_random.Below(4);
        if (parameters > 0) {
            m_out.ListFeature(o, "parameters", "Parameters");
            for (int p = 0; p < parameters; ++p) {
                m_out.Line(o + 1, "(object Parameter ");
                m_out.Append(Quote(MemberName(m_random)));
                m_out.Quoted(o + 2, "quid", m_context.NewQuid());
                TypeReference(o + 2, m_random.Chance(15) ? "const " : "");
                m_out.Close();
            }
            m_out.Close();
        }
        std::string signature = name + "()";
        const int result = m_random.Below(100);
        if (result < 55) {
            const int related = result < 25 ? RelatedClass(50) : -1;
            const tElement* type = related >= 0 ? &m_context.classes[static_cast<std::size_t>(related)]
                                   : !m_context.types.empty()
                                       ? &m_context.types[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_context.types.size())))]
                                       : nullptr;
            if (type != nullptr) {
                m_out.Quoted(o, "result", type->name);
                m_out.Quoted(o, "quidu", type->quid);
                signature += " : " + type->name;
            }
        }
        if (m_random.Chance(5)) m_out.Quoted(o, "exceptions", "InvalidState, NotFound");
        m_out.Quoted(o, "concurrency", m_random.Pick(kConcurrency));
        m_out.Quoted(o, "opExportControl", m_random.Chance(80) ? "Public" : "Protected");
        if (m_random.Chance(10)) m_out.Bool(o, "const", true);
        m_out.Number(o, "uid", m_random.Below(1000000));
        m_out.Close();
        if (facts.members.size() < 8) facts.members.push_back(std::move(signature));
    }
    m_out.Close();
}

void tClassWriter::Attributes(int depth, tClassFacts& facts) {
    const int count = m_random.Below(7);
    if (count == 0) return;
    m_out.ListFeature(depth, "class_attributes", "class_attribute_list");
    const int a = depth + 2;
    for (int i = 0; i < count; ++i) {
        const std::string name = MemberName(m_random);
        m_out.Line(depth + 1, "(object ClassAttribute ");
        m_out.Append(Quote(name));
        m_out.Quoted(a, "quid", m_context.NewQuid());
        Documentation(a, "attribute", 5, 15);
        const std::string type = TypeReference(a, "");
        if (m_random.Chance(30)) m_out.Feature(a, "initv", Quote(m_random.Pick(kInitial)));
        if (m_random.Chance(15)) m_out.Quoted(a, "Containment", m_random.Chance(50) ? "By Value" : "By Reference");
        if (m_random.Chance(5)) m_out.Bool(a, "static", true);
        m_out.Quoted(a, "exportControl", m_random.Pick(kExport));
        m_out.Close();
        if (facts.members.size() < 8) facts.members.push_back(name + " : " + type);
    }
    m_out.Close();
}

void tClassWriter::Class(const std::string& packagePath) {
    std::string name = ClassName(m_random);
    for (const tClassFacts& other : m_classes) {
        if (m_context.classes[static_cast<std::size_t>(other.index)].name == name) {
            name += std::to_string(m_classes.size());
            break;
        }
    }
    const std::string quid = m_context.NewQuid();
    tClassFacts facts{static_cast<int>(m_context.classes.size()), "", {}};
    const int c = m_depth + 1;
    m_out.Line(m_depth, "(object Class ");
    m_out.Append(Quote(name));
    m_out.Quoted(c, "quid", quid);
    Documentation(c, "class", 55, 25);
    if (m_random.Chance(15)) {
        facts.stereotype = m_random.Pick(kStereotypes);
        m_out.Quoted(c, "stereotype", facts.stereotype);
    }
    if (m_random.Chance(25)) Properties(c, m_random.Between(1, 4));
    if (m_random.Chance(30)) {
        const int base = RelatedClass(75);
        if (base >= 0) {
            m_inheritances.push_back({facts.index, base, m_context.NewQuid()});
            Relationship(c, "superclasses inheritance_relationship_list", "Inheritance_Relationship", base,
                         m_inheritances.back().quid);
        }
    }
    if (m_random.Chance(10)) {
        const int used = RelatedClass(50);
        if (used >= 0) {
            m_dependencies.push_back({facts.index, used, m_context.NewQuid()});
            Relationship(c, "used_nodes uses_relationship_list", "Uses_Relationship", used, m_dependencies.back().quid);
        }
    }
    Operations(c, facts);
    Attributes(c, facts);
    if (m_random.Chance(8)) m_out.Bool(c, "abstract", true);
    m_out.Quoted(c, "language", m_random.Pick(kLanguages));
    m_context.classes.push_back({name, packagePath + "::" + name, quid});
    if (m_random.Chance(7)) WriteStateMachine(m_context, m_out, c, name, m_labels);
    m_out.Close();
    m_classes.push_back(std::move(facts));
}

void tClassWriter::Association() {
    if (m_classes.empty()) return;
    tAssociation association;
    association.name = m_random.Chance(60) ? AssociationName(m_random) : "$UNNAMED$" + std::to_string(m_context.unnamed++);
    association.quid = m_context.NewQuid();
    association.roles[0].target = m_classes[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_classes.size())))].index;
    association.roles[1].target = RelatedClass(75);
    const int a = m_depth + 1;
    m_out.Line(m_depth, "(object Association ");
    m_out.Append(Quote(association.name));
    m_out.Quoted(a, "quid", association.quid);
    Documentation(a, "association", 5, 15);
    m_out.ListFeature(a, "roles", "role_list");
    for (int r = 0; r < 2; ++r) {
        tRole& role = association.roles[r];
        const tElement& target = m_context.classes[static_cast<std::size_t>(role.target)];
        role.name = m_random.Chance(70) ? MemberName(m_random) : "$UNNAMED$" + std::to_string(m_context.unnamed++);
        role.quid = m_context.NewQuid();
        const int d = a + 2;
        m_out.Line(a + 1, "(object Role ");
        m_out.Append(Quote(role.name));
        m_out.Quoted(d, "quid", role.quid);
        if (role.name[0] != '$') m_out.Quoted(d, "label", role.name);
        m_out.Quoted(d, "supplier", target.path);
        m_out.Quoted(d, "quidu", target.quid);
        if (m_random.Chance(70)) {
            m_out.Key(d, "client_cardinality");
            m_out.Append("(value Cardinality ");
            m_out.Append(Quote(m_random.Pick(kCardinality)));
            m_out.Close();
        }
        if (m_random.Chance(40)) m_out.Quoted(d, "Containment", r == 0 ? "By Value" : "By Reference");
        if (r == 0 && m_random.Chance(20)) m_out.Bool(d, "is_aggregate", true);
        if (r == 1 || m_random.Chance(40)) m_out.Bool(d, "is_navigable", true);
        m_out.Close();
    }
    m_out.Close(2);
    m_associations.push_back(std::move(association));
}

}  // namespace genmodel
