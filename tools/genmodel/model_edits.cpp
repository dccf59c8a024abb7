#include "model_edits.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "notation_writer.h"
#include "random.h"

namespace genmodel {

namespace {

const char* const kCardinalities[] = {"1", "0..1", "0..n", "1..n", "n"};
const char* const kExportControls[] = {"Public", "Protected", "Private"};
// Stereotypes that give the class no other kind.
const char* const kPlainStereotypes[] = {"entity", "control", "boundary"};
constexpr const char* kNewStereotype = "auditable";

// A text cut or inserted at a byte of a file; `order` keeps insertions at
// one place in the order they were made.
struct tSplice {
    std::size_t at;
    std::size_t length;
    std::string text;
    int order;
};

// The notation's code page 1252 as UTF-8, as the tool reads the generated files.
std::string Utf8(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        unsigned code = byte;
        if (byte == 0x80) code = 0x20AC;
        else if (byte == 0x96) code = 0x2013;
        if (code < 0x80) {
            out += c;
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// A bar string's lines without their bars, one text with the line ends the tool reads.
std::string BarText(std::string_view bars) {
    std::string out;
    for (std::size_t at = 0; at < bars.size();) {
        const std::size_t end = std::min(bars.find('\n', at), bars.size());
        if (at > 0) out += "\r\n";
        out += bars.substr(at + 1, end - at - 1);
        at = end + 1;
    }
    return out;
}

// A multiplicity as the diff writes it: many is "*", "n" alone "0..*".
std::string MultiplicityText(std::string_view text) {
    std::string out(text == "n" ? "0..n" : text);
    if (!out.empty() && out.back() == 'n') out.back() = '*';
    return out;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return out;
}

bool IsUnnamed(std::string_view name) { return name.empty() || name.rfind("$UNNAMED$", 0) == 0; }

class tEditor {
public:
    tEditor(std::vector<tModelFile>& files, const std::map<std::string, std::string>& unitPackages, std::uint32_t seed)
        : m_files(files), m_index(files, unitPackages), m_random(seed ^ 0x5EEDu), m_splices(files.size()) {
        for (int i = 0; i < static_cast<int>(m_index.classes.size()); ++i) m_classAt[m_index.classes[static_cast<std::size_t>(i)].quid] = i;
    }

    void Edit(int count) {
        const std::function<bool(int)> kinds[] = {
            [this](int n) { return AddClass(n); },          [this](int) { return RemoveClass(); },
            [this](int n) { return RenameClass(n); },       [this](int) { return MoveClass(); },
            [this](int n) { return AddMember(n, true); },   [this](int) { return RemoveMember(true); },
            [this](int) { return RenameMember(true); },     [this](int) { return AttributeType(); },
            [this](int) { return AttributeVisibility(); },  [this](int n) { return AddMember(n, false); },
            [this](int) { return RemoveMember(false); },    [this](int) { return RenameMember(false); },
            [this](int n) { return Documentation(n); },     [this](int) { return Stereotype(); },
            [this](int) { return Multiplicity(); },         [this](int n) { return AddAssociation(n); },
            [this](int) { return RemoveAssociation(); },    [this](int) { return AddGeneralization(); },
            [this](int) { return RemoveGeneralization(); },
        };
        const int kindCount = static_cast<int>(std::size(kinds));
        for (int n = 0; n < count && !m_index.classes.empty(); ++n)
            for (int attempt = 0; attempt < 1000 && !kinds[n % kindCount](n); ++attempt) {}
    }

    void Apply() {
        for (std::size_t file = 0; file < m_files.size(); ++file) {
            std::vector<tSplice>& splices = m_splices[file];
            if (splices.empty()) continue;
            std::sort(splices.begin(), splices.end(),
                      [](const tSplice& a, const tSplice& b) { return a.at != b.at ? a.at < b.at : a.order < b.order; });
            const std::string& text = m_files[file].text;
            std::string out;
            out.reserve(text.size() + 4096);
            std::size_t done = 0;
            for (const tSplice& splice : splices) {
                out.append(text, done, splice.at - done);
                out += splice.text;
                done = splice.at + splice.length;
            }
            out.append(text, done);
            m_files[file].text = std::move(out);
        }
    }

    std::vector<tExpectedChange> changes;

private:
    const tNotationTree& Tree(tPlace at) const { return *m_files[static_cast<std::size_t>(at.file)].tree; }
    const tNode& Node(tPlace at) const { return Tree(at).Node(at.node); }

    void Splice(int file, std::size_t at, std::size_t length, std::string text) {
        m_splices[static_cast<std::size_t>(file)].push_back({at, length, std::move(text), m_order++});
    }
    void Cut(tPlace at, bool withKey = false) {
        const tRange lines = Tree(at).Lines(at.node, withKey);
        Splice(at.file, lines.begin, lines.end - lines.begin, "");
    }
    void Replace(int file, tRange range, std::string text) { Splice(file, range.begin, range.end - range.begin, std::move(text)); }
    // Text written by `write` at the writer's depth `depth`, put before the ')' of `at`.
    void Append(tPlace at, const std::function<void(tNotationWriter&, int)>& write, int depth) {
        std::string text;
        tNotationWriter out(text);
        write(out, depth);
        Splice(at.file, Node(at).end, 0, std::move(text));
    }
    std::string NewQuid() {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "E0%06X0000", static_cast<unsigned>(m_quids++));
        return buffer;
    }

    // A class no other edit has touched, or nullptr.
    const tClassEntry* FreeClass() {
        const tClassEntry& entry = m_index.classes[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_index.classes.size())))];
        return m_touched.count(entry.quid) ? nullptr : &entry;
    }
    // What the diff calls the class: its stereotype may make it an interface or a utility.
    std::string Noun(const tClassEntry& entry) const {
        const std::string stereotype = Lower(Tree(entry.at).FeatureText(entry.at.node, "stereotype"));
        return stereotype == "interface" || stereotype == "utility" ? stereotype : "class";
    }
    const tPackageEntry& PackageOf(const tClassEntry& entry) const { return m_index.packages[static_cast<std::size_t>(entry.package)]; }
    // The members of a class in its list `key` (class_attributes, operations), or -1.
    int MemberList(const tClassEntry& entry, bool attributes) const {
        return Tree(entry.at).Child(entry.at.node, attributes ? "class_attributes" : "operations");
    }

    void Expect(std::string change, std::string kind, std::string noun, std::string package, std::string path,
                std::string detail = "", std::string field = "", std::string before = "", std::string after = "") {
        changes.push_back({std::move(change), std::move(kind), std::move(noun), std::move(package), std::move(path),
                           std::move(detail), std::move(field), std::move(before), std::move(after)});
    }
    // A field of an element changed.
    void ExpectField(const char* kind, const std::string& noun, const std::string& package, const std::string& path,
                     const char* field, std::string before, std::string after) {
        Expect("changed", kind, noun, package, path, "", field, std::move(before), std::move(after));
    }

    bool AddClass(int n) {
        const tClassEntry* near = FreeClass();
        if (near == nullptr) return false;
        const tPackageEntry& package = PackageOf(*near);
        const tPlace models{package.at.file, package.models};
        const std::string name = "EditedClass" + std::to_string(n), quid = NewQuid();
        Append(models, [&](tNotationWriter& out, int d) {
            out.Line(d, "(object Class ");
            out.Append(Quote(name));
            out.Quoted(d + 1, "quid", quid);
            out.Quoted(d + 1, "language", "C++");
            out.Close();
        }, Node(models).depth + 1);
        Expect("added", "classifier", "class", package.path, package.path + "::" + name);
        return true;
    }

    // A class with no note attached to it; removing it takes it from the diagrams that draw it.
    bool RemoveClass() {
        const tClassEntry* entry = FreeClass();
        if (entry == nullptr || m_index.annotated.count(entry->quid)) return false;
        const tNotationTree& tree = Tree(entry->at);
        for (const char* related : {"superclasses", "used_nodes"})
            if (tree.Child(entry->at.node, related) >= 0) return false;  // drawn relationships of its own
        m_touched.insert(entry->quid);
        Cut(entry->at);
        const std::string& package = PackageOf(*entry).path;
        Expect("removed", "classifier", Noun(*entry), package, entry->path);
        if (const auto shown = m_index.shownOn.find(entry->quid); shown != m_index.shownOn.end())
            for (const std::string& diagram : shown->second)
                ExpectField("diagram", "diagram", diagram.substr(0, diagram.rfind("::")), diagram, "shows", entry->path, "");
        return true;
    }

    bool RenameClass(int n) {
        const tClassEntry* entry = FreeClass();
        if (entry == nullptr || m_index.annotated.count(entry->quid)) return false;  // a note names it
        m_touched.insert(entry->quid);
        const std::string name = entry->name + "Renamed" + std::to_string(n);
        Replace(entry->at.file, Node(entry->at).name, name);
        const std::string& package = PackageOf(*entry).path;
        Expect("renamed", "classifier", Noun(*entry), package, package + "::" + name, entry->name);
        return true;
    }

    // To another package without a class of its name; a class with a state
    // machine stays, as the labels of its diagram's views are the package's.
    bool MoveClass() {
        const tClassEntry* entry = FreeClass();
        const tClassEntry* near = FreeClass();
        if (entry == nullptr || near == nullptr || near->package == entry->package) return false;
        if (Tree(entry->at).Child(entry->at.node, "statemachine") >= 0) return false;
        const tPackageEntry& to = PackageOf(*near);
        for (const tClassEntry& other : m_index.classes)
            if (other.package == near->package && other.name == entry->name) return false;
        if (m_arrived.count(to.path + "::" + entry->name)) return false;
        m_arrived.insert(to.path + "::" + entry->name);
        m_touched.insert(entry->quid);
        const tNode& node = Node(entry->at);
        const tPlace models{to.at.file, to.models};
        Cut(entry->at);
        const std::string text = Tree(entry->at).Text().substr(node.begin, node.end + 1 - node.begin);
        Append(models, [&](tNotationWriter& out, int d) { out.Line(d, text); }, Node(models).depth + 1);
        Expect("moved", "classifier", Noun(*entry), to.path, to.path + "::" + entry->name, PackageOf(*entry).path);
        return true;
    }

    static const char* Kind(bool attributes) { return attributes ? "property" : "operation"; }
    static const char* Noun(bool attributes) { return attributes ? "attribute" : "operation"; }

    bool AddMember(int n, bool attributes) {
        const tClassEntry* entry = FreeClass();
        if (entry == nullptr) return false;
        m_touched.insert(entry->quid);
        const std::string name = std::string(attributes ? "editedAttribute" : "editedOperation") + std::to_string(n);
        const std::string quid = NewQuid();
        const auto member = [&](tNotationWriter& out, int d) {
            out.Line(d, attributes ? "(object ClassAttribute " : "(object Operation ");
            out.Append(Quote(name));
            out.Quoted(d + 1, "quid", quid);
            out.Quoted(d + 1, attributes ? "type" : "result", "int");
            out.Quoted(d + 1, attributes ? "exportControl" : "opExportControl", "Public");
            out.Close();
        };
        if (const int list = MemberList(*entry, attributes); list >= 0) {
            Append({entry->at.file, list}, member, Tree(entry->at).Node(list).depth + 1);
        } else {
            Append(entry->at, [&](tNotationWriter& out, int d) {
                if (attributes) out.ListFeature(d, "class_attributes", "class_attribute_list");
                else out.ListFeature(d, "operations", "Operations");
                member(out, d + 1);
                out.Close();
            }, Node(entry->at).depth + 1);
        }
        Expect("added", Kind(attributes), Noun(attributes), PackageOf(*entry).path, entry->path + "::" + name);
        return true;
    }

    // A member of a free class, which is then touched, or -1.
    int PickMember(const tClassEntry*& entry, bool attributes) {
        entry = FreeClass();
        if (entry == nullptr) return -1;
        const int list = MemberList(*entry, attributes);
        if (list < 0 || Tree(entry->at).Node(list).children.empty()) return -1;
        const std::vector<int>& members = Tree(entry->at).Node(list).children;
        m_touched.insert(entry->quid);
        return members[static_cast<std::size_t>(m_random.Below(static_cast<int>(members.size())))];
    }

    bool RemoveMember(bool attributes) {
        const tClassEntry* entry = nullptr;
        const int member = PickMember(entry, attributes);
        if (member < 0) return false;
        Cut({entry->at.file, member});
        Expect("removed", Kind(attributes), Noun(attributes), PackageOf(*entry).path,
               entry->path + "::" + std::string(Tree(entry->at).Name(member)));
        return true;
    }

    bool RenameMember(bool attributes) {
        const tClassEntry* entry = nullptr;
        const int member = PickMember(entry, attributes);
        if (member < 0) return false;
        const std::string old(Tree(entry->at).Name(member)), name = old + "Renamed";
        Replace(entry->at.file, Tree(entry->at).Node(member).name, name);
        Expect("renamed", Kind(attributes), Noun(attributes), PackageOf(*entry).path, entry->path + "::" + name, old);
        return true;
    }

    // Another data type, with its quid.
    bool AttributeType() {
        const tClassEntry* entry = nullptr;
        const int member = PickMember(entry, true);
        if (member < 0) return false;
        const tNotationTree& tree = Tree(entry->at);
        const tFeature* type = tree.Feature(member, "type");
        auto to = m_index.types.begin();
        std::advance(to, m_random.Below(static_cast<int>(m_index.types.size())));
        if (type == nullptr || tree.View(type->value) == to->first) return false;
        Replace(entry->at.file, type->value, to->first);
        if (const tFeature* quidu = tree.Feature(member, "quidu")) Replace(entry->at.file, quidu->value, to->second);
        else Append({entry->at.file, member}, [&](tNotationWriter& out, int d) { out.Quoted(d, "quidu", to->second); },
                    tree.Node(member).depth + 1);
        ExpectField("property", "attribute", PackageOf(*entry).path,
                    entry->path + "::" + std::string(tree.Name(member)), "type", std::string(tree.View(type->value)), to->first);
        return true;
    }

    bool AttributeVisibility() {
        const tClassEntry* entry = nullptr;
        const int member = PickMember(entry, true);
        if (member < 0) return false;
        const tNotationTree& tree = Tree(entry->at);
        const tFeature* control = tree.Feature(member, "exportControl");
        const std::string to = m_random.Pick(kExportControls);
        if (control == nullptr || tree.View(control->value) == to) return false;
        Replace(entry->at.file, control->value, to);
        ExpectField("property", "attribute", PackageOf(*entry).path, entry->path + "::" + std::string(tree.Name(member)),
                    "visibility", Lower(tree.View(control->value)), Lower(to));
        return true;
    }

    // Written for the first time, or rewritten from a quoted or a bar string.
    bool Documentation(int n) {
        const tClassEntry* entry = FreeClass();
        if (entry == nullptr) return false;
        m_touched.insert(entry->quid);
        const tNotationTree& tree = Tree(entry->at);
        const std::string text = "Rewritten for edit " + std::to_string(n) + ": see the change log.";
        const tFeature* documentation = tree.Feature(entry->at.node, "documentation");
        std::string before;
        if (documentation == nullptr) {
            Append(entry->at, [&](tNotationWriter& out, int d) { out.Quoted(d, "documentation", text); },
                   Node(entry->at).depth + 1);
        } else {
            const std::string_view value = tree.View(documentation->value);
            before = Utf8(documentation->bars ? BarText(value) : std::string(value));
            Replace(entry->at.file, documentation->value, documentation->bars ? "|" + text : text);
        }
        ExpectField("classifier", Noun(*entry), PackageOf(*entry).path, entry->path, "documentation", before, text);
        return true;
    }

    bool Stereotype() {
        const tClassEntry* entry = FreeClass();
        if (entry == nullptr) return false;
        const tNotationTree& tree = Tree(entry->at);
        const tFeature* stereotype = tree.Feature(entry->at.node, "stereotype");
        const std::string before(stereotype != nullptr ? tree.View(stereotype->value) : std::string_view());
        if (stereotype != nullptr && std::find(std::begin(kPlainStereotypes), std::end(kPlainStereotypes), before) ==
                                         std::end(kPlainStereotypes))
            return false;
        m_touched.insert(entry->quid);
        if (stereotype != nullptr) Replace(entry->at.file, stereotype->value, kNewStereotype);
        else Append(entry->at, [](tNotationWriter& out, int d) { out.Quoted(d, "stereotype", kNewStereotype); },
                    Node(entry->at).depth + 1);
        ExpectField("classifier", "class", PackageOf(*entry).path, entry->path, "stereotype", before, kNewStereotype);
        return true;
    }

    // A named association no other edit has touched, or nullptr.
    const tAssociationEntry* FreeAssociation() {
        if (m_index.associations.empty()) return nullptr;
        const tAssociationEntry& entry =
            m_index.associations[static_cast<std::size_t>(m_random.Below(static_cast<int>(m_index.associations.size())))];
        return m_touched.count(entry.quid) || IsUnnamed(entry.name) ? nullptr : &entry;
    }
    const std::string& PackageOf(const tAssociationEntry& entry) const {
        return m_index.packages[static_cast<std::size_t>(entry.package)].path;
    }

    // Of a named end with a multiplicity.
    bool Multiplicity() {
        const tAssociationEntry* entry = FreeAssociation();
        if (entry == nullptr || entry->roles.empty()) return false;
        const tNotationTree& tree = Tree(entry->at);
        const int role = entry->roles[static_cast<std::size_t>(m_random.Below(static_cast<int>(entry->roles.size())))];
        const int cardinality = tree.Child(role, "client_cardinality");
        const std::string to = m_random.Pick(kCardinalities);
        if (IsUnnamed(tree.Name(role)) || cardinality < 0 || MultiplicityText(tree.Name(cardinality)) == MultiplicityText(to))
            return false;
        m_touched.insert(entry->quid);
        Replace(entry->at.file, tree.Node(cardinality).name, to);
        ExpectField("associationEnd", "association end", PackageOf(*entry),
                    PackageOf(*entry) + "::" + entry->name + "::" + std::string(tree.Name(role)), "multiplicity",
                    MultiplicityText(tree.Name(cardinality)), MultiplicityText(to));
        return true;
    }

    // Between two classes of one package.
    bool AddAssociation(int n) {
        const tClassEntry* first = FreeClass();
        const tClassEntry* second = FreeClass();
        if (first == nullptr || second == nullptr || first == second || first->package != second->package) return false;
        m_touched.insert(first->quid);
        m_touched.insert(second->quid);
        const tPackageEntry& package = PackageOf(*first);
        const tPlace models{package.at.file, package.models};
        const std::string name = "editedAssociation" + std::to_string(n), quid = NewQuid();
        Append(models, [&](tNotationWriter& out, int d) {
            out.Line(d, "(object Association ");
            out.Append(Quote(name));
            out.Quoted(d + 1, "quid", quid);
            out.ListFeature(d + 1, "roles", "role_list");
            int end = 0;
            for (const tClassEntry* target : {first, second}) {
                const std::string role = "editedEnd" + std::to_string(n) + (end++ == 0 ? "a" : "b");
                out.Line(d + 2, "(object Role ");
                out.Append(Quote(role));
                out.Quoted(d + 3, "quid", NewQuid());
                out.Quoted(d + 3, "label", role);
                out.Quoted(d + 3, "supplier", target->path);
                out.Quoted(d + 3, "quidu", target->quid);
                out.Bool(d + 3, "is_navigable", true);
                out.Close();
            }
            out.Close(2);
        }, Node(models).depth + 1);
        Expect("added", "association", "association", package.path, package.path + "::" + name);
        return true;
    }

    // One that no diagram draws.
    bool RemoveAssociation() {
        const tAssociationEntry* entry = FreeAssociation();
        if (entry == nullptr || m_index.shownOn.count(entry->quid)) return false;
        for (const int role : entry->roles)
            if (m_index.shownOn.count(std::string(Tree(entry->at).FeatureText(role, "quid")))) return false;
        m_touched.insert(entry->quid);
        Cut(entry->at);
        Expect("removed", "association", "association", PackageOf(*entry), PackageOf(*entry) + "::" + entry->name);
        return true;
    }

    // To a class of the same package that has no superclass, so no cycle comes of it.
    bool AddGeneralization() {
        const tClassEntry* entry = FreeClass();
        const tClassEntry* base = FreeClass();
        if (entry == nullptr || base == nullptr || entry == base || entry->package != base->package) return false;
        for (const tClassEntry* side : {entry, base})
            if (Tree(side->at).Child(side->at.node, "superclasses") >= 0) return false;
        m_touched.insert(entry->quid);
        m_touched.insert(base->quid);
        const std::string quid = NewQuid();
        Append(entry->at, [&](tNotationWriter& out, int d) {
            out.ListFeature(d, "superclasses", "inheritance_relationship_list");
            out.Line(d + 1, "(object Inheritance_Relationship");
            out.Quoted(d + 2, "quid", quid);
            out.Quoted(d + 2, "supplier", base->path);
            out.Quoted(d + 2, "quidu", base->quid);
            out.Close(2);
        }, Node(entry->at).depth + 1);
        Expect("added", "relationship", "relationship", PackageOf(*entry).path,
               entry->path + "::generalization to " + base->name);
        return true;
    }

    // One that no diagram draws, to a class the index knows.
    bool RemoveGeneralization() {
        const tClassEntry* entry = FreeClass();
        if (entry == nullptr) return false;
        const tNotationTree& tree = Tree(entry->at);
        const int list = tree.Child(entry->at.node, "superclasses");
        if (list < 0 || tree.Node(list).children.size() != 1) return false;
        const int relation = tree.Node(list).children[0];
        const auto base = m_classAt.find(std::string(tree.FeatureText(relation, "quidu")));
        if (base == m_classAt.end() || m_index.shownOn.count(std::string(tree.FeatureText(relation, "quid")))) return false;
        m_touched.insert(entry->quid);
        Cut({entry->at.file, list}, true);
        Expect("removed", "relationship", "relationship", PackageOf(*entry).path,
               entry->path + "::generalization to " + m_index.classes[static_cast<std::size_t>(base->second)].name);
        return true;
    }

    std::vector<tModelFile>& m_files;
    tModelIndex m_index;
    tRandom m_random;
    std::vector<std::vector<tSplice>> m_splices;
    std::map<std::string, int> m_classAt;  // quid -> index into the classes
    std::set<std::string> m_touched;       // quids of the classes and associations edited
    std::set<std::string> m_arrived;       // paths of classes moved
    int m_order = 0;
    int m_quids = 0;
};

std::string Json(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + '"';
}

}  // namespace

std::vector<tExpectedChange> ApplyEdits(std::vector<tModelFile>& files,
                                        const std::map<std::string, std::string>& unitPackages, int count,
                                        std::uint32_t seed) {
    tEditor editor(files, unitPackages, seed);
    editor.Edit(count);
    editor.Apply();
    return std::move(editor.changes);
}

void WriteChangesJson(std::vector<tExpectedChange> changes, std::ostream& out) {
    std::stable_sort(changes.begin(), changes.end(),
                     [](const tExpectedChange& a, const tExpectedChange& b) { return a.package < b.package; });
    out << "{\n  \"format\": \"lum-diff/1\",\n  \"same\": " << (changes.empty() ? "true" : "false") << ",\n  \"packages\": [";
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const tExpectedChange& c = changes[i];
        const bool first = i == 0 || changes[i - 1].package != c.package;
        if (first) out << (i == 0 ? "" : "\n    ]},") << "\n    {\"package\": " << Json(c.package) << ", \"changes\": [";
        out << (first ? "" : ",") << "\n      {\"change\": " << Json(c.change) << ", \"kind\": " << Json(c.kind)
            << ", \"noun\": " << Json(c.noun) << ", \"path\": " << Json(c.path);
        if (c.change == "renamed") out << ", \"oldName\": " << Json(c.detail);
        if (c.change == "moved") out << ", \"oldOwner\": " << Json(c.detail);
        if (c.change == "changed")
            out << ", \"fields\": [{\"field\": " << Json(c.field) << ", \"before\": " << Json(c.before)
                << ", \"after\": " << Json(c.after) << "}]";
        out << '}';
    }
    out << (changes.empty() ? "]\n}\n" : "\n    ]}\n  ]\n}\n");
}

}  // namespace genmodel
