#include "package_writer.h"

#include <algorithm>
#include <map>

#include "class_writer.h"
#include "diagram_writer.h"
#include "vocabulary.h"

namespace genmodel {

namespace {

const char* const kTypes[] = {"Integer", "String", "Boolean", "Date",       "Money", "Decimal",
                              "Identifier", "Timestamp", "Duration", "Percentage", "Text", "Count"};

// Where the n-th view of a diagram goes: five to a row.
tPoint GridPlace(tRandom& random, int n) {
    return {200 + 480 * (n % 5) + random.Below(60), 180 + 380 * (n / 5) + random.Below(60)};
}

// The opening of a package: its header, unit flag, quid and export control.
void WritePackageHeader(tNotationWriter& out, int at, const tPackagePlace& place, bool unit) {
    const int d = at + 1;
    out.Line(at, "(object Class_Category ");
    out.Append(Quote(place.element.name));
    if (unit) out.Bool(d, "is_unit", true);
    out.Quoted(d, "quid", place.element.quid);
    out.Quoted(d, "exportControl", "Public");
}

class tPackageWriter {
public:
    tPackageWriter(tModelContext& context, tNotationWriter& out, int depth, const tPackagePlace& place)
        : m_context(context), m_random(context.random), m_out(out), m_depth(depth), m_place(place) {}

    void Write(bool unit) {
        const int d = m_depth + 1;
        WritePackageHeader(m_out, m_depth, m_place, unit);
        m_out.Bars(d, "documentation", Documentation(m_random, "package", m_random.Between(2, 4)));
        if (m_place.nesting == 0) Visibilities(d);
        m_out.ListFeature(d, "logical_models", "unit_reference_list");
        tClassWriter classes(m_context, m_out, d + 1, m_labels);
        const int count = m_place.nesting == 0 ? m_random.Between(15, 45) : m_random.Between(6, 18);
        for (int i = 0; i < count && (i < 3 || !m_context.Full()); ++i) classes.Class(m_place.element.path);
        const int associations = static_cast<int>(classes.Classes().size()) * 7 / 10;
        for (int i = 0; i < associations; ++i) classes.Association();
        if (m_place.nesting < 2 && m_random.Chance(m_place.nesting == 0 ? 35 : 15)) {
            for (int n = m_random.Between(1, 2); n > 0 && !m_context.Full(); --n) Nested(d + 1);
        }
        m_out.Close();
        m_out.ListFeature(d, "logical_presentations", "unit_reference_list");
        Diagrams(d + 1, classes);
        m_out.Close(2);
    }

private:
    void Visibilities(int depth) {
        const int earlier = static_cast<int>(m_context.packages.size()) - 1;  // this one is the last
        if (earlier < 1) return;
        const int count = std::min(earlier, m_random.Below(4));
        if (count == 0) return;
        m_out.ListFeature(depth, "visible_categories", "visibility_relationship_list");
        for (int i = 0; i < count; ++i) {
            const int supplier = m_random.Below(earlier);
            const tElement& target = m_context.packages[static_cast<std::size_t>(supplier)];
            const std::string quid = m_context.NewQuid();
            m_out.Line(depth + 1, "(object Visibility_Relationship");
            m_out.Quoted(depth + 2, "quid", quid);
            m_out.Quoted(depth + 2, "supplier", target.path);
            m_out.Quoted(depth + 2, "quidu", target.quid);
            m_out.Close();
            m_context.visibilities.push_back({earlier, supplier, quid});
        }
        m_out.Close();
    }

    void Nested(int depth) {
        std::string name = PackageName(m_random) + " " + std::to_string(m_context.packages.size() + m_context.classes.size());
        const std::string stem = FileStem(name);
        tPackagePlace place;
        place.element = {name, m_place.element.path + "::" + name, m_context.NewQuid()};
        place.file = m_place.file.substr(0, m_place.file.rfind('/') + 1) + stem + "/" + stem + ".cat";
        place.storedPath = "&\\" + stem + "\\" + stem + ".cat";
        place.nesting = m_place.nesting + 1;
        WriteLogicalPackage(m_context, m_out, depth, place);
    }

    // Diagrams over windows of the package's classes, so that each class is
    // shown at least once and most of them twice, with classes of other packages
    // that the shown ones relate to.
    void Diagrams(int depth, const tClassWriter& classes) {
        const auto& facts = classes.Classes();
        const int count = static_cast<int>(facts.size());
        const int window = std::min(count, m_random.Between(8, 14));
        const int step = std::max(1, window / 2);
        std::map<int, const tClassFacts*> byIndex;
        for (const tClassFacts& f : facts) byIndex[f.index] = &f;
        int number = 0;
        for (int start = 0; start < count; start += step) {
            std::vector<int> shown;
            for (int i = start; i < std::min(count, start + window); ++i) shown.push_back(facts[static_cast<std::size_t>(i)].index);
            AddRelated(shown, classes);
            Diagram(depth, number++ == 0 ? "Main" : DiagramName(m_random) + " " + std::to_string(number), shown,
                    byIndex, classes);
            if (start + window >= count) break;
        }
    }

    // Adds up to three classes that shown ones relate to.
    static void AddRelated(std::vector<int>& shown, const tClassWriter& classes) {
        const std::size_t limit = shown.size() + 3;
        const auto consider = [&](int a, int b) {
            const bool hasA = std::find(shown.begin(), shown.end(), a) != shown.end();
            const bool hasB = std::find(shown.begin(), shown.end(), b) != shown.end();
            if (shown.size() < limit && hasA != hasB) shown.push_back(hasA ? b : a);
        };
        for (const tRelation& r : classes.Inheritances()) consider(r.client, r.supplier);
        for (const tAssociation& a : classes.Associations()) consider(a.roles[0].target, a.roles[1].target);
    }

    void Diagram(int depth, const std::string& name, const std::vector<int>& shown,
                 const std::map<int, const tClassFacts*>& byIndex, const tClassWriter& classes) {
        tDiagramWriter diagram(m_out, m_random, m_labels);
        diagram.BeginDiagram(depth, "ClassDiagram", name, m_context.NewQuid());
        std::map<int, std::pair<int, tPoint>> views;  // class index -> label, place
        static const std::vector<std::string> kNoMembers;
        for (int index : shown) {
            const tElement& element = m_context.classes[static_cast<std::size_t>(index)];
            const auto found = byIndex.find(index);
            const tClassFacts* facts = found != byIndex.end() ? found->second : nullptr;
            const tPoint at = GridPlace(m_random, static_cast<int>(views.size()));
            const bool compartment = facts != nullptr && m_random.Chance(35);
            const int label = diagram.ClassView(element.path, element.name, element.quid, at,
                                                facts != nullptr ? std::string_view(facts->stereotype) : std::string_view(),
                                                compartment ? facts->members : kNoMembers);
            views[index] = {label, at};
        }
        const auto draw = [&](std::string_view kind, const tRelation& r) {
            const auto client = views.find(r.client), supplier = views.find(r.supplier);
            if (client == views.end() || supplier == views.end() || client == supplier) return;
            diagram.RelationLine(kind, r.quid, client->second.first, client->second.second, supplier->second.first,
                                 supplier->second.second);
        };
        for (const tRelation& r : classes.Inheritances()) draw("InheritView", r);
        for (const tRelation& r : classes.Dependencies()) draw("UsesView", r);
        for (const tAssociation& a : classes.Associations()) {
            const auto first = views.find(a.roles[0].target), second = views.find(a.roles[1].target);
            if (first == views.end() || second == views.end()) continue;
            diagram.AssociationView(a.name, a.quid,
                                    {a.roles[0].name, a.roles[0].quid, first->second.first, first->second.second},
                                    {a.roles[1].name, a.roles[1].quid, second->second.first, second->second.second});
        }
        for (int notes = m_random.Below(3); notes > 0 && !views.empty(); --notes) {
            auto target = views.begin();
            std::advance(target, m_random.Below(static_cast<int>(views.size())));
            const tPoint at{target->second.second.first + 300, target->second.second.second + 200};
            diagram.Note(Documentation(m_random, "diagram", m_random.Between(1, 3)), at, target->second.first,
                         target->second.second);
        }
        diagram.EndDiagram();
    }

    tModelContext& m_context;
    tRandom& m_random;
    tNotationWriter& m_out;
    int m_depth;
    const tPackagePlace& m_place;
    int m_labels = 1;
};

}  // namespace

void WriteLogicalPackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place) {
    WritePackage(context, parent, depth, place, [&](tNotationWriter& out, int at, bool unit) {
        tPackageWriter(context, out, at, place).Write(unit);
    });
}

void WriteTypesPackage(tModelContext& context, tNotationWriter& parent, int depth, const tPackagePlace& place) {
    WritePackage(context, parent, depth, place, [&](tNotationWriter& out, int at, bool unit) {
        tRandom& random = context.random;
        const int d = at + 1;
        WritePackageHeader(out, at, place, unit);
        out.Quoted(d, "documentation", "The data types every other package uses.");
        out.ListFeature(d, "logical_models", "unit_reference_list");
        for (const char* type : kTypes) {
            const tElement element{type, place.element.path + "::" + type, context.NewQuid()};
            out.Line(d + 1, "(object Class ");
            out.Append(Quote(type));
            out.Quoted(d + 2, "quid", element.quid);
            out.Quoted(d + 2, "documentation", Documentation(random, "value", 1)[0]);
            out.Quoted(d + 2, "stereotype", "datatype");
            out.Quoted(d + 2, "language", "C++");
            out.Close();
            context.types.push_back(element);
        }
        out.Close();
        out.ListFeature(d, "logical_presentations", "unit_reference_list");
        int labels = 1;
        tDiagramWriter diagram(out, random, labels);
        diagram.BeginDiagram(d + 1, "ClassDiagram", "Types", context.NewQuid());
        int n = 0;
        for (const tElement& type : context.types) {
            diagram.ClassView(type.path, type.name, type.quid, GridPlace(random, n++), "datatype", {});
        }
        diagram.EndDiagram();
        out.Close(2);
    });
}

}  // namespace genmodel
