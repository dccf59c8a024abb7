// Matching two views element by element and listing what changed.

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>
#include <unordered_map>

#include "diff/element_text.h"
#include "lum/diff/diff.h"
#include "lum/uml/presentation.h"

namespace lum::diff {

using detail::Label;

const char* ChangeKindName(ChangeKind kind) {
    static const char* const names[] = {"added", "removed", "renamed", "moved", "changed"};
    return names[static_cast<int>(kind)];
}

namespace {

// The elements of one view in walking order, parents before members.
struct tSide {
    std::vector<const uml::Element*> elements;
    std::vector<const uml::Element*> roots;  // the model packages, in the order of the files

    explicit tSide(const uml::View& view) : roots(view.Models().begin(), view.Models().end()) {
        std::vector<const uml::Element*> stack(view.Models().rbegin(), view.Models().rend());
        while (!stack.empty()) {
            const uml::Element* element = stack.back();
            stack.pop_back();
            elements.push_back(element);
            for (auto member = element->members.rbegin(); member != element->members.rend(); ++member)
                stack.push_back(*member);
        }
    }

    // The labels of the element and its owners joined by "::", the model
    // packages left out as the qualified names of the notation do. Built
    // when asked: only changed elements need one.
    static std::string Path(const uml::Element* element) {
        std::vector<const uml::Element*> chain;
        for (; element != nullptr; element = element->owner) {
            const auto* package = uml::As<uml::Package>(element);
            if (package != nullptr && package->isModel && !chain.empty()) break;
            chain.push_back(element);
        }
        std::string path;
        for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
            if (!path.empty()) path += "::";
            path += Label(**at);
        }
        return path;
    }
    // The qualified name of the package the element lies in.
    static std::string PackageOf(const uml::Element* element) {
        for (const uml::Element* owner = element->owner; owner != nullptr; owner = owner->owner)
            if (owner->kind == uml::Kind::Package) return Path(owner);
        return {};
    }
};

// Pairs of elements, one from each side.
class tMatching {
public:
    tMatching(const tSide& before, const tSide& after) {
        MatchByQuid(before, after);
        MatchRoots(before, after);
        MatchByName(before, after);
    }
    const uml::Element* After(const uml::Element* element) const { return Lookup(m_after, element); }
    const uml::Element* Before(const uml::Element* element) const { return Lookup(m_before, element); }

private:
    static const uml::Element* Lookup(const std::unordered_map<const uml::Element*, const uml::Element*>& map,
                                      const uml::Element* element) {
        const auto found = map.find(element);
        return found != map.end() ? found->second : nullptr;
    }
    void Pair(const uml::Element* before, const uml::Element* after) {
        m_after[before] = after;
        m_before[after] = before;
    }

    // The elements of the new version by kind and quid, each with the old
    // elements that claim it by the same; a quid that occurs more than once
    // on a side pairs nothing.
    struct tQuidKey {
        uml::Kind kind;
        std::wstring_view quid;
        bool operator==(const tQuidKey&) const = default;
    };
    struct tQuidHash {
        std::size_t operator()(const tQuidKey& key) const {
            return std::hash<std::wstring_view>()(key.quid) * 31 + static_cast<std::size_t>(key.kind);
        }
    };
    struct tClaimed {
        const uml::Element* element;  // null when the quid is not unique
        const uml::Element* claimant = nullptr;
        int claims = 0;
    };

    void MatchByQuid(const tSide& before, const tSide& after) {
        std::unordered_map<tQuidKey, tClaimed, tQuidHash> quids;
        quids.reserve(after.elements.size());
        for (const uml::Element* element : after.elements) {
            const std::wstring_view quid = detail::Quid(*element);
            if (quid.empty()) continue;
            const auto [at, inserted] = quids.emplace(tQuidKey{element->kind, quid}, tClaimed{element});
            if (!inserted) at->second.element = nullptr;
        }
        for (const uml::Element* element : before.elements) {
            const std::wstring_view quid = detail::Quid(*element);
            if (quid.empty()) continue;
            const auto found = quids.find({element->kind, quid});
            if (found == quids.end()) continue;
            found->second.claimant = element;
            ++found->second.claims;
        }
        m_after.reserve(quids.size());
        m_before.reserve(quids.size());
        for (const auto& [key, claimed] : quids)
            if (claimed.element != nullptr && claimed.claims == 1) Pair(claimed.claimant, claimed.element);
    }

    // The model packages of the files go by position: a unit file's model
    // is named after the file, which git hands over as a temporary copy.
    void MatchRoots(const tSide& before, const tSide& after) {
        for (std::size_t i = 0; i < before.roots.size() && i < after.roots.size(); ++i)
            if (After(before.roots[i]) == nullptr && Before(after.roots[i]) == nullptr) Pair(before.roots[i], after.roots[i]);
    }

    // An element left over is matched to the first element left over with
    // its kind and label under the partner of its owner; parents come
    // first, so renamed or regenerated owners carry their members along.
    void MatchByName(const tSide& before, const tSide& after) {
        using tKey = std::tuple<const uml::Element*, uml::Kind, std::string>;
        struct tCandidates {
            std::vector<const uml::Element*> elements;
            std::size_t next = 0;  // the ones before are taken
        };
        std::map<tKey, tCandidates> candidates;
        for (const uml::Element* element : after.elements)
            if (Before(element) == nullptr)
                candidates[{element->owner, element->kind, Label(*element)}].elements.push_back(element);
        for (const uml::Element* element : before.elements) {
            if (After(element) != nullptr) continue;
            const uml::Element* owner = nullptr;
            if (element->owner != nullptr && (owner = After(element->owner)) == nullptr) continue;
            auto found = candidates.find({owner, element->kind, Label(*element)});
            if (found == candidates.end()) continue;
            tCandidates& left = found->second;
            if (left.next < left.elements.size()) Pair(element, left.elements[left.next++]);
        }
    }

    std::unordered_map<const uml::Element*, const uml::Element*> m_after, m_before;
};

// A field named again on the same element (a property value set twice)
// becomes "name #2", "name #3", ..., so that each occurrence is compared
// with the same occurrence of the other version.
detail::tFields Numbered(detail::tFields fields) {
    std::map<std::string, int> count;
    for (auto& [name, value] : fields)
        if (const int n = ++count[name]; n > 1) name = detail::Cat(name, " #", std::to_string(n));
    return fields;
}

std::vector<FieldChange> DiffFields(const detail::tFields& before, const detail::tFields& after) {
    std::map<std::string, const std::string*> afterValues;
    for (const auto& [name, value] : after) afterValues.emplace(name, &value);
    std::vector<FieldChange> changes;
    std::map<std::string, bool> seen;
    for (const auto& [name, value] : before) {
        seen[name] = true;
        const auto found = afterValues.find(name);
        const std::string& now = found != afterValues.end() ? *found->second : std::string();
        if (now != value) changes.push_back({name, value, now});
    }
    for (const auto& [name, value] : after)
        if (!seen.count(name) && !value.empty()) changes.push_back({name, "", value});
    return changes;
}

// The fields that differ, built into the buffers given. The documentation
// follows the stereotype, as fields go; it is compared as read and
// converted only where it differs.
std::vector<FieldChange> DiffElement(const uml::Element& before, const uml::Element& after, detail::tFields& oldFields,
                                     detail::tFields& newFields) {
    detail::Fields(before, oldFields);
    detail::Fields(after, newFields);
    std::vector<FieldChange> fields;
    if (oldFields != newFields) fields = DiffFields(Numbered(std::move(oldFields)), Numbered(std::move(newFields)));
    const WString &was = before.Documentation(), &is = after.Documentation();
    if (was != is) {
        const bool stereotype = !fields.empty() && fields.front().field == "stereotype";
        fields.insert(fields.begin() + stereotype, {"documentation", uml::ShownText(was), uml::ShownText(is)});
    }
    return fields;
}

std::string Position(const uml::Geometry& g) {
    return detail::Cat("(", std::to_string(g.location.x), ", ", std::to_string(g.location.y), ")");
}
std::string Size(const uml::Geometry& g) { return detail::Cat(std::to_string(g.width), "x", std::to_string(g.height)); }

// What a diagram shows, named in the new version's terms: "+"/"-" fields
// for elements shown in one version only; with layout, the symbols shown
// in both that moved or were resized beyond the tolerance.
void DiffDiagram(const uml::Diagram& before, const uml::Diagram& after, const tMatching& matching, const Options& options,
                 std::vector<FieldChange>& out) {
    // Occurrences of each element, in drawing order, by the element of the new version
    // (or of the old one, for elements the new version has not).
    std::unordered_map<const uml::Element*, std::vector<const uml::Shown*>> was, is;
    for (const uml::Shown& shown : before.shown) {
        const uml::Element* partner = matching.After(shown.element);
        was[partner != nullptr ? partner : shown.element].push_back(&shown);
    }
    for (const uml::Shown& shown : after.shown) is[shown.element].push_back(&shown);
    std::vector<FieldChange> shows;
    for (const auto& [element, items] : was)
        if (!is.count(element)) shows.push_back({"shows", tSide::Path(element), ""});
    for (const auto& [element, items] : is)
        if (!was.count(element)) shows.push_back({"shows", "", tSide::Path(element)});
    std::sort(shows.begin(), shows.end(), [](const FieldChange& a, const FieldChange& b) {
        return std::tie(a.before, a.after) < std::tie(b.before, b.after);
    });
    out.insert(out.end(), shows.begin(), shows.end());
    if (!options.withLayout) return;
    const int tolerance = options.layoutTolerance;
    std::vector<std::pair<std::string, FieldChange>> moves;  // sorted by the symbol's path
    for (const auto& [element, items] : is) {
        const auto old = was.find(element);
        if (old == was.end()) continue;
        for (std::size_t i = 0; i < items.size() && i < old->second.size(); ++i) {
            const uml::Geometry a = old->second[i]->Where(), b = items[i]->Where();
            if (a.points != nullptr || b.points != nullptr) continue;  // lines follow their symbols
            const bool moved = std::abs(a.location.x - b.location.x) > tolerance ||
                               std::abs(a.location.y - b.location.y) > tolerance;
            const bool resized = std::abs(a.width - b.width) > tolerance || std::abs(a.height - b.height) > tolerance;
            if (!moved && !resized) continue;
            const std::string name =
                detail::Cat("symbol ", tSide::Path(element), items.size() > 1 ? detail::Cat("#", std::to_string(i + 1)) : "");
            if (moved) moves.push_back({name, {detail::Cat(name, " moved"), Position(a), Position(b)}});
            if (resized) moves.push_back({name, {detail::Cat(name, " resized"), Size(a), Size(b)}});
        }
    }
    std::stable_sort(moves.begin(), moves.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& move : moves) out.push_back(std::move(move.second));
}

// A model package named after its file rather than by a design.
bool IsFileModel(const uml::Element& element) {
    const auto* package = uml::As<uml::Package>(&element);
    return package != nullptr && package->isModel && uml::AsRaw<ClumDesign>(element.raw) == nullptr;
}

Change Make(ChangeKind kind, const uml::Element& element) {
    Change change;
    change.kind = kind;
    change.element = element.kind;
    change.noun = detail::Noun(element);
    change.package = tSide::PackageOf(&element);
    change.path = tSide::Path(&element);
    return change;
}

}  // namespace

std::vector<Change> Compare(const uml::View& before, const uml::View& after, const Options& options) {
    const tSide was(before), is(after);
    const tMatching matching(was, is);
    std::vector<Change> changes;
    detail::tFields oldFields, newFields;
    // Only the outermost added or removed element is listed: its members go with it.
    for (const uml::Element* element : was.elements)
        if (matching.After(element) == nullptr && (element->owner == nullptr || matching.After(element->owner) != nullptr))
            changes.push_back(Make(ChangeKind::Removed, *element));
    for (const uml::Element* element : is.elements) {
        const uml::Element* old = matching.Before(element);
        if (old == nullptr) {
            if (element->owner == nullptr || matching.Before(element->owner) != nullptr)
                changes.push_back(Make(ChangeKind::Added, *element));
            continue;
        }
        if (!(old->name == element->name) && !IsFileModel(*element)) {
            changes.push_back(Make(ChangeKind::Renamed, *element));
            changes.back().detail = detail::Label(*old);
        }
        const uml::Element* oldOwner = old->owner != nullptr ? matching.After(old->owner) : nullptr;
        if (oldOwner != element->owner || (old->owner != nullptr && oldOwner == nullptr)) {
            changes.push_back(Make(ChangeKind::Moved, *element));
            changes.back().detail = old->owner != nullptr ? tSide::Path(old->owner) : std::string();
        }
        std::vector<FieldChange> fields = DiffElement(*old, *element, oldFields, newFields);
        if (const auto* diagram = uml::As<uml::Diagram>(element))
            DiffDiagram(*uml::As<uml::Diagram>(old), *diagram, matching, options, fields);
        if (!fields.empty()) {
            changes.push_back(Make(ChangeKind::Changed, *element));
            changes.back().fields = std::move(fields);
        }
    }
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
        return std::tie(a.package, a.path, a.element, a.kind, a.detail) <
               std::tie(b.package, b.path, b.element, b.kind, b.detail);
    });
    return changes;
}

}  // namespace lum::diff
