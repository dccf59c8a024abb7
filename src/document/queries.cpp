// What a loaded model answers: objects by quid, name or pattern, referrers,
// counts, and the fate of every reference.

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "lum/model/classes.h"
#include "lum/model/object_ref.h"
#include "lum/model/reference.h"
#include "lum/text/utf8.h"
#include "lum/traverse/utility_functions.h"
#include "lum/traverse/visit_on_threads.h"
#include "document/model_impl.h"

namespace lum {

namespace {

bool IsView(const ClumVellumEntity* entity) {
    return entity->GetMetaClass().IsKindOf(&ClumDiagramItem::StaticGetMetaClass());
}

// Glob matching: * any run of characters, ? one character.
bool Matches(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

void KeepModelElements(const std::vector<const ClumVellumEntity*>& from, std::vector<const ClumVellumEntity*>& to) {
    for (const ClumVellumEntity* entity : from) {
        if (!IsView(entity) && std::find(to.begin(), to.end(), entity) == to.end()) to.push_back(entity);
    }
}

// Reference features that hold quids; the others hold names.
bool HoldsQuids(const ClumMetaFeature& feature) {
    const wchar_t* name = feature.GetName().c_str();
    return std::wcscmp(name, L"quidu") == 0 || std::wcscmp(name, L"supplier_quidu") == 0 ||
           std::wcscmp(name, L"client_quidu") == 0;
}

// Reference features whose values are type names: where a model names
// primitive and library types (int, String, void) that it does not model.
bool HoldsTypeNames(const ClumMetaFeature& feature) {
    const wchar_t* name = feature.GetName().c_str();
    return std::wcscmp(name, L"type") == 0 || std::wcscmp(name, L"result") == 0 ||
           std::wcscmp(name, L"exceptions") == 0;
}

// An empty text or a quid of zeros: models store these on purpose, for
// example for a message that calls no operation.
bool NamesNothing(const WString& text) {
    return text.empty() || std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L'0'; });
}

// Classifies the unbound references of one object at a time: a quid
// reference shares the fate of the name references beside it.
class tClassifier {
public:
    explicit tClassifier(const std::vector<MissingUnit>& missing) {
        for (const MissingUnit& unit : missing) m_missingPaths.push_back(Model::PathOf(unit.stub));
    }

    // Calls `each` with every reference value of the owner.
    template <class Each>
    void Classify(const ClumVellumEntity* owner, Each&& each) {
        std::vector<ReferenceValue>& values = m_values;
        values.clear();
        ReferenceStatus names = ReferenceStatus::Dangling;  // of the unbound name references beside
        for (const ClumMetaFeature* feature : ReferencesOf(owner->GetMetaClass())) {
            const IlumReference* reference =
                feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(owner))->GetReference();
            if (reference == nullptr) continue;
            for (int i = 0; i < reference->GetCount(); ++i) {
                const long index = reference->IsSingle() ? -1 : i;
                ReferenceValue value{owner, feature, reference, index, reference->GetTarget(index),
                                     ReferenceStatus::Bound};
                if (value.target == nullptr) {
                    value.status = StatusOf(*feature, *reference, index);
                    if (!HoldsQuids(*feature) && value.status != ReferenceStatus::Empty &&
                        value.status != ReferenceStatus::Dangling) {
                        names = value.status;
                    }
                }
                values.push_back(value);
            }
        }
        for (ReferenceValue& value : values) {
            if (value.status == ReferenceStatus::Dangling && HoldsQuids(*value.feature)) value.status = names;
            each(value);
        }
    }

private:
    // The reference features of a class, in feature order, found once per class.
    const std::vector<const ClumMetaFeature*>& ReferencesOf(const ClumMetaClass& metaClass) {
        const unsigned index = metaClass.GetIndex();
        if (index >= m_references.size()) m_references.resize(index + 1);
        std::optional<std::vector<const ClumMetaFeature*>>& references = m_references[index];
        if (!references) {
            references.emplace();
            for (const ClumMetaFeature* feature : metaClass.m_allFeatures) {
                if (feature->GetKind() == ClumMetaFeature::eReference) references->push_back(feature);
            }
        }
        return *references;
    }

    ReferenceStatus StatusOf(const ClumMetaFeature& feature, const IlumReference& reference, long index) {
        WString text;
        reference.EncodeReference(text, index);
        if (NamesNothing(text)) return ReferenceStatus::Empty;
        if (HoldsQuids(feature)) return ReferenceStatus::Dangling;
        const std::string name = ToUtf8(text);
        for (const std::string& path : m_missingPaths) {
            if (!path.empty() && name.size() > path.size() + 1 && name.compare(0, path.size(), path) == 0 &&
                name.compare(path.size(), 2, "::") == 0) {
                return ReferenceStatus::InMissingUnit;
            }
        }
        if (HoldsTypeNames(feature) && name.find("::") == std::string::npos) return ReferenceStatus::Unmodelled;
        return ReferenceStatus::Dangling;
    }

    std::vector<std::string> m_missingPaths;
    std::vector<ReferenceValue> m_values;  // of the current owner
    std::vector<std::optional<std::vector<const ClumMetaFeature*>>> m_references;  // by class index
};

}  // namespace

const char* ReferenceStatusName(ReferenceStatus status) {
    switch (status) {
        case ReferenceStatus::Bound: return "bound";
        case ReferenceStatus::Empty: return "empty";
        case ReferenceStatus::InMissingUnit: return "in missing unit";
        case ReferenceStatus::Unmodelled: return "unmodelled type";
        case ReferenceStatus::Dangling: return "dangling";
    }
    return "dangling";
}

std::string Model::PathOf(const ClumVellumEntity* entity) {
    std::vector<const ClumVellumEntity*> chain;
    for (; entity != nullptr; entity = entity->Owner()) chain.push_back(entity);
    std::wstring path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        // As the name index has it: designs do not take part in paths.
        if (!ClumUtilityFunctions::HasName(*it) || (*it)->GetMetaClass().IsKindOf(&ClumDesign::StaticGetMetaClass())) {
            continue;
        }
        if (!path.empty()) path += L"::";
        path += ClumUtilityFunctions::GetName(*it).c_str();
    }
    return ToUtf8(path);
}

const ClumVellumEntity* Model::FindByQuid(std::string_view quid) const {
    const auto& found = m_pImpl->resolver.GetEntitiesWithQuid(ClumIdent(FromUtf8(quid)));
    return found.empty() ? nullptr : found.front();
}

std::vector<const ClumVellumEntity*> Model::FindByQualifiedName(std::string_view name) const {
    std::vector<const ClumVellumEntity*> found;
    KeepModelElements(m_pImpl->resolver.GetEntitiesWithName(FromUtf8(name)), found);
    return found;
}

std::vector<const ClumVellumEntity*> Model::Find(std::string_view what) const {
    std::vector<const ClumVellumEntity*> found;
    const bool pattern = what.find_first_of("*?") != std::string_view::npos;
    const bool qualified = what.find("::") != std::string_view::npos;
    if (!pattern) {
        KeepModelElements(m_pImpl->resolver.GetEntitiesWithQuid(ClumIdent(FromUtf8(what))), found);
        KeepModelElements(m_pImpl->resolver.GetEntitiesWithName(FromUtf8(what)), found);
        if (!found.empty() || qualified) return found;
    }
    // A simple name anywhere, or a pattern: one walk over the model. Designs
    // are left out: they bear the name of their root package, which is found.
    const WString name = FromUtf8(what);
    for (const DepthFirst::Step& step : Walk()) {
        if (IsView(step.entity) || !ClumUtilityFunctions::HasName(step.entity) ||
            step.entity->GetMetaClass().IsKindOf(&ClumDesign::StaticGetMetaClass())) {
            continue;
        }
        const ClumIdent own = ClumUtilityFunctions::GetName(step.entity);
        const bool hit = !pattern ? name == own.c_str()
                         : qualified ? Matches(what, PathOf(step.entity))
                                     : Matches(what, ToUtf8(own.c_str()));
        if (hit) found.push_back(step.entity);
    }
    return found;
}

std::vector<const IlumReference*> Model::Referrers(const ClumVellumEntity* target) const {
    return m_pImpl->resolver.GetReferringEntities(target);
}

std::map<std::string, std::size_t> Model::CountByClass(bool diagramsOnly) const {
    std::map<std::string, std::size_t> counts;
    for (const auto& [metaClass, count] : m_pImpl->perClass) {
        if (metaClass == nullptr) continue;
        if (diagramsOnly && !metaClass->IsKindOf(&ClumDiagram::StaticGetMetaClass())) continue;
        counts[ToUtf8(metaClass->GetName().c_str())] += count;
    }
    return counts;
}

std::vector<ReferenceValue> Model::ReferenceValues(bool unboundOnly) const {
    std::vector<ReferenceValue> values;
    tClassifier classifier(m_pImpl->missing);
    auto keep = [&](const ReferenceValue& value) {
        if (!unboundOnly || (value.status != ReferenceStatus::Bound && value.status != ReferenceStatus::Empty)) {
            values.push_back(value);
        }
    };
    for (const DepthFirst::Step& step : Walk()) {
        if (step.depth > 0) classifier.Classify(step.entity, keep);
    }
    return values;
}

ReferenceSummary Model::References() const {
    // Counts do not depend on the order of the objects: each worker counts
    // the objects it visits, and the counts are added up.
    const unsigned workers = WorkersFor(m_pImpl->options.threads);
    std::vector<ReferenceSummary> counts(workers);
    std::vector<tClassifier> classifiers(workers, tClassifier(m_pImpl->missing));
    const std::vector<const ClumVellumEntity*> roots(m_pImpl->files.begin(), m_pImpl->files.end());
    VisitOnThreads(roots, m_pImpl->options.threads,
                   [&](unsigned worker, const ClumVellumEntity* entity, std::size_t depth) {
                       if (depth == 0) return;
                       ReferenceSummary& summary = counts[worker];
                       classifiers[worker].Classify(entity, [&summary](const ReferenceValue& value) {
                           ++summary.values;
                           switch (value.status) {
                               case ReferenceStatus::Bound: ++summary.bound; break;
                               case ReferenceStatus::Empty: ++summary.empty; break;
                               case ReferenceStatus::InMissingUnit: ++summary.inMissingUnit; break;
                               case ReferenceStatus::Unmodelled: ++summary.unmodelled; break;
                               case ReferenceStatus::Dangling: ++summary.dangling; break;
                           }
                       });
                   });
    ReferenceSummary summary;
    for (const ReferenceSummary& part : counts) {
        summary.values += part.values;
        summary.bound += part.bound;
        summary.empty += part.empty;
        summary.inMissingUnit += part.inMissingUnit;
        summary.unmodelled += part.unmodelled;
        summary.dangling += part.dangling;
    }
    summary.ambiguous = static_cast<std::size_t>(std::count_if(
        m_pImpl->diagnostics.begin(), m_pImpl->diagnostics.end(),
        [](const Diagnostic& d) { return d.code == diag::Ambiguous; }));
    return summary;
}

}  // namespace lum
