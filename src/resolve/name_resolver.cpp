#include "lum/resolve/name_resolver.h"

#include <algorithm>
#include <thread>
#include <unordered_map>

#include "lum/diagnostics/reporter.h"
#include "lum/model/classes.h"
#include "lum/model/object_ref.h"
#include "lum/traverse/utility_functions.h"
#include "platform/prefetch.h"
#include "resolve/collector.h"

namespace lum {

struct ClumNameResolver::tCache : tResolverCache {};

namespace {

const tEntityList EmptyEntities;
const std::vector<const IlumReference*> EmptyReferences;

const ClumIdent& SupplierKeyword() {
    static const ClumIdent supplier(L"supplier");
    return supplier;
}

// The path of an object for messages: the names of it and its ancestors
// whose class has a name, top down, joined with "::".
WString PathOf(const ClumVellumEntity* entity) {
    std::vector<const ClumVellumEntity*> chain;
    for (const ClumVellumEntity* e = entity; e != nullptr; e = e->Owner()) chain.push_back(e);
    WString path;
    bool first = true;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (ClumUtilityFunctions::IsNamedObject(*it) == nullptr) continue;
        if (!first) path += L"::";
        path += ClumUtilityFunctions::GetName(*it).c_str();
        first = false;
    }
    return path;
}

// The classes the binder asks about, looked up once.
struct tClasses {
    const ClumMetaClass* quidObject = &ClumQuidObject::StaticGetMetaClass();
    const ClumMetaClass* diagramItem = &ClumDiagramItem::StaticGetMetaClass();
    const ClumMetaClass* diagram = &ClumDiagram::StaticGetMetaClass();
    const ClumMetaClass* association = &ClumAssociation::StaticGetMetaClass();
    const ClumMetaClass* role = &ClumRole::StaticGetMetaClass();
};

// A reference that several objects qualify for equally, with them.
struct tAmbiguity {
    const IlumReference* reference = nullptr;
    tEntityList candidates;
};

void ReportAmbiguity(const tAmbiguity& ambiguity) {
    const IlumReference& reference = *ambiguity.reference;
    WString text;
    if (reference.IsSingle()) {
        reference.EncodeReference(text, -1);
    } else {
        for (int i = 0; i < reference.GetCount(); ++i) {
            WString one;
            reference.EncodeReference(one, i);
            if (i > 0) text += L",";
            text += one;
        }
    }
    const ClumMetaFeature& feature = *reference.GetMetaFeature();
    tErrorList& errors = CErrorReporter::GetInstance().GetErrorList();
    errors.Report(diag::Ambiguous, tErrorSubject(), tError::Warning,
                  L"Name resolution: several matches for reference '%s' from '%s::%s' in context '%s'", text.c_str(),
                  feature.GetOwner().GetName().c_str(), feature.GetName().c_str(),
                  PathOf(reference.GetOwner()).c_str());
    for (const ClumVellumEntity* candidate : ambiguity.candidates) {
        errors.Report(diag::AmbiguityCandidate, tErrorSubject(), tError::Warning, L"    Candidate '%s %s'",
                      candidate->GetMetaClass().GetName().c_str(), PathOf(candidate).c_str());
    }
}

// Binds references and keeps what they leave: reads only the indexes and
// the values of references bound before, writes only the values it binds,
// so that several binders may share one list, each with a part of it.
class tBinder {
public:
    explicit tBinder(tResolverCache& cache) : m_cache(cache) {}

    // Binds `references[begin, end)` in order. Those that stay unbound have
    // their entry's reference cleared and are added to `unbound`; the ties
    // are kept for Ambiguities.
    void BindRange(tReferenceList& references, std::size_t begin, std::size_t end,
                   std::vector<const IlumReference*>& unbound) {
        constexpr std::size_t ValueAhead = 12, LookupAhead = 6, LabelAhead = 3;
        for (std::size_t i = begin; i < end; ++i) {
            if (i + ValueAhead < end) PrefetchValue(references[i + ValueAhead]);
            if (i + LookupAhead < end) PrefetchLookup(references[i + LookupAhead]);
            if (i + LabelAhead < end) PrefetchLabel(references[i + LabelAhead]);
            tGathered& gathered = references[i];
            if (!Bind(gathered)) {
                unbound.push_back(gathered.reference);
                gathered.reference = nullptr;  // not a referrer
            }
        }
    }
    const std::vector<tAmbiguity>& Ambiguities() const { return m_ambiguities; }

private:
    // Binds every value; true when all of them are bound.
    bool Bind(const tGathered& gathered) {
        const IlumReference& reference = *gathered.reference;
        const ClumMetaFeature& feature = *reference.GetMetaFeature();
        if (gathered.value != nullptr) return BindValue(gathered, feature, gathered.value);
        if (reference.IsSingle()) return false;
        bool all = true;
        const int count = reference.GetCount();
        for (int i = 0; i < count; ++i) all = BindValue(gathered, feature, reference.GetObjectRef(i)) && all;
        return all;
    }

    // Reading ahead. Binding a reference touches the reference and its value
    // object, then the value's text, the companion's value and an index
    // slot, each at a random place. The loop asks for the first two some
    // steps ahead, for the text, the companion and the quid slot fewer steps
    // ahead, and for the label slot (which needs the text) fewer still, so
    // that the misses of several references overlap. Lists are not read
    // ahead; they are rare.
    static void PrefetchValue(const tGathered& gathered) {
        platform::Prefetch(gathered.reference);
        platform::Prefetch(gathered.value);
    }
    void PrefetchLookup(const tGathered& gathered) const {
        if (gathered.value == nullptr) return;
        platform::Prefetch(gathered.value->GetName().c_str());
        platform::Prefetch(gathered.value->GetQualifier());
        platform::Prefetch(gathered.companion);
        m_cache.PrefetchQuid(gathered.value->GetName());
    }
    void PrefetchLabel(const tGathered& gathered) const {
        if (gathered.value == nullptr || gathered.context == nullptr) return;
        if (gathered.value->GetKind() == ClumObjectRef::eLabel) {
            m_cache.PrefetchLabel(gathered.context, gathered.value->GetName());
        }
    }

    bool BindValue(const tGathered& gathered, const ClumMetaFeature& feature, const ClumObjectRef* value) {
        if (value == nullptr) return false;
        if (value->Target() != nullptr) return true;
        switch (value->GetKind()) {
            case ClumObjectRef::eFromObject:
                return true;
            case ClumObjectRef::eLabel:
                return ByLabel(gathered.context, feature, *value) || ByName(gathered, feature, *value);
            case ClumObjectRef::eName:
                return ByName(gathered, feature, *value);
            default:
                return false;
        }
    }

    // The label in the innermost category or file around the reference.
    bool ByLabel(const ClumVellumEntity* context, const ClumMetaFeature& feature, const ClumObjectRef& value) {
        if (context == nullptr) return false;
        const tEntityGroup* found = m_cache.FindLabel(context, value.GetName());
        if (found == nullptr || m_cache.Size(*found) != 1) return false;
        if (!m_cache.ClassAt(*found, 0).IsKindOf(feature.GetType())) return false;
        value.BindTo(m_cache.At(*found, 0));
        return true;
    }

    bool ByName(const tGathered& gathered, const ClumMetaFeature& feature, const ClumObjectRef& value) {
        const IlumReference& reference = *gathered.reference;
        if (feature.GetType()->IsKindOf(m_classes.quidObject)) {
            const tEntityGroup* found = m_cache.FindQuid(value.GetName());
            if (found != nullptr && BindToChoice(reference, feature, value, *found)) return true;
        }
        if (const ClumVellumEntity* target = gathered.companion ? gathered.companion->Target() : nullptr) {
            value.BindTo(target);
            return true;
        }
        m_path.clear();
        for (const ClumObjectRef* part = &value; part != nullptr && part->GetName().c_str()[0] != L'\0';
             part = part->GetQualifier()) {
            m_path.push_back(part->GetName());
        }
        std::reverse(m_path.begin(), m_path.end());
        const std::uint32_t node = m_path.empty() ? tResolverCache::Root : m_cache.FindPath(m_path);
        return node != tResolverCache::Root && BindToChoice(reference, feature, value, m_cache.Node(node));
    }

    bool BindToChoice(const IlumReference& reference, const ClumMetaFeature& feature, const ClumObjectRef& value,
                      const tEntityGroup& candidates) {
        if (const ClumVellumEntity* choice = Choose(reference, feature, candidates)) {
            value.BindTo(choice);
            return true;
        }
        return false;
    }

    const ClumVellumEntity* Choose(const IlumReference& reference, const ClumMetaFeature& feature,
                                   const tEntityGroup& candidates) {
        const ClumMetaClass* type = feature.GetType();
        const std::size_t count = m_cache.Size(candidates);
        if (count == 1 && !m_cache.ClassAt(candidates, 0).IsKindOf(type)) return nullptr;  // the common miss, decided early
        const bool ownerIsView = reference.GetOwner()->GetMetaClass().IsKindOf(m_classes.diagramItem);
        const bool roleSupplier = feature.GetOwner() == *m_classes.role && feature.GetName() == SupplierKeyword();
        tEntityList& kept = m_kept;
        kept.clear();
        for (std::size_t i = 0; i < count; ++i) {
            const ClumMetaClass& metaClass = m_cache.ClassAt(candidates, i);
            if (!metaClass.IsKindOf(type)) continue;
            if (!ownerIsView && (metaClass.IsKindOf(m_classes.diagramItem) || metaClass.IsKindOf(m_classes.diagram))) {
                continue;
            }
            if (roleSupplier && metaClass.IsKindOf(m_classes.association)) continue;
            kept.push_back(m_cache.At(candidates, i));
        }
        if (kept.empty()) return nullptr;
        if (kept.size() == 1) return kept.front();
        return Rank(reference, kept);
    }

    // The nearest candidate in the containment tree, or null on a tie.
    const ClumVellumEntity* Rank(const IlumReference& reference, const tEntityList& candidates) {
        const ClumVellumEntity* owner = reference.GetOwner();
        std::unordered_map<const ClumVellumEntity*, int> ancestors;  // object -> steps up from the owner
        int steps = 1;
        for (const ClumVellumEntity* up = owner->Owner(); up != nullptr; up = up->Owner()) ancestors.emplace(up, steps++);
        std::vector<std::pair<int, const ClumVellumEntity*>> scored;
        for (const ClumVellumEntity* candidate : candidates) {
            int score = -1;
            int climbed = 0;
            for (const ClumVellumEntity* up = candidate; up != nullptr; up = up->Owner(), ++climbed) {
                if (const auto meeting = ancestors.find(up); meeting != ancestors.end()) {
                    score = (meeting->second - 1) + (climbed - 1);
                    break;
                }
            }
            scored.emplace_back(score, candidate);
        }
        // Smallest first; no relation (-1) after every other score.
        std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) {
            if ((a.first < 0) != (b.first < 0)) return b.first < 0;
            return a.first < b.first;
        });
        std::size_t tied = 1;
        while (tied < scored.size() && scored[tied].first == scored.front().first) ++tied;
        if (tied == 1) return scored.front().second;
        tAmbiguity& ambiguity = m_ambiguities.emplace_back();
        ambiguity.reference = &reference;
        for (std::size_t i = 0; i < tied; ++i) ambiguity.candidates.push_back(scored[i].second);
        return nullptr;
    }

    tResolverCache& m_cache;
    const tClasses m_classes;
    std::vector<tAmbiguity> m_ambiguities;
    tNamePath m_path;   // reused by every lookup by path
    tEntityList m_kept;  // reused by every choice
};

}  // namespace

ClumNameResolver::ClumNameResolver() : m_pCache(std::make_unique<tCache>()) {}

ClumNameResolver::~ClumNameResolver() = default;

void ClumNameResolver::CollectAndBind(const ClumVellumEntity* root, std::vector<const IlumReference*>& unresolved) {
    tReferenceList& quidReferences = m_pCache->NewReferenceList();
    tReferenceList& otherReferences = m_pCache->NewReferenceList();
    ClumNrCollector collector(*m_pCache, quidReferences, otherReferences);
    collector.Visit(root, static_cast<unsigned>(Threads() - 1));
    m_pCache->IndexQueued();
    // Quid references first, in one pass: a quid reference may fall back on
    // its owner's companion, another quid reference of the same list.
    tBinder binder(*m_pCache);
    binder.BindRange(quidReferences, 0, quidReferences.size(), unresolved);
    // The others read only the indexes and the quid references' values, so
    // the list is cut into one part per thread; the unbound references and
    // the ties are then added part by part, in the order of the list, so
    // that the result is the same as binding in one pass.
    const std::size_t count = otherReferences.size();
    const std::size_t parts = std::clamp<std::size_t>(count / m_minimumPart, 1, Threads());
    std::vector<tBinder> binders(parts, tBinder(*m_pCache));
    std::vector<std::vector<const IlumReference*>> unbound(parts);
    const auto bindPart = [&](std::size_t part) {
        binders[part].BindRange(otherReferences, count * part / parts, count * (part + 1) / parts, unbound[part]);
    };
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < parts; ++part) helpers.emplace_back(bindPart, part);
    bindPart(0);
    for (std::thread& helper : helpers) helper.join();
    for (const tAmbiguity& ambiguity : binder.Ambiguities()) ReportAmbiguity(ambiguity);
    for (std::size_t part = 0; part < parts; ++part) {
        unresolved.insert(unresolved.end(), unbound[part].begin(), unbound[part].end());
        for (const tAmbiguity& ambiguity : binders[part].Ambiguities()) ReportAmbiguity(ambiguity);
    }
    m_pCache->ReferenceListsBound();
}

void ClumNameResolver::SetThreads(unsigned threads, std::size_t minimumPart) {
    m_threads = threads;
    m_minimumPart = std::max<std::size_t>(minimumPart, 1);
}

std::size_t ClumNameResolver::Threads() const {
    return m_threads != 0 ? m_threads : std::max(1u, std::thread::hardware_concurrency());
}

bool ClumNameResolver::CollectAndBind(const IlumFeature* feature) {
    const IlumReference* reference = feature ? feature->GetReference() : nullptr;
    return reference != nullptr && reference->GetTarget(-1) != nullptr;
}

const std::vector<const ClumVellumEntity*>& ClumNameResolver::GetEntitiesWithName(const ClumIdent& name) {
    return GetEntitiesWithName(tNamePath{name});
}

const std::vector<const ClumVellumEntity*>& ClumNameResolver::GetEntitiesWithName(const WString& qualifiedName) {
    tNamePath path;
    SplitQualifiedName(qualifiedName.data(), qualifiedName.size(), path);
    return GetEntitiesWithName(path);
}

const std::vector<const ClumVellumEntity*>& ClumNameResolver::GetEntitiesWithName(const wchar_t* qualifiedName) {
    return GetEntitiesWithName(WString(qualifiedName ? qualifiedName : L""));
}

const std::vector<const ClumVellumEntity*>& ClumNameResolver::GetEntitiesWithName(const std::vector<ClumIdent>& path) {
    const std::uint32_t node = path.empty() ? tResolverCache::Root : m_pCache->FindPath(path);
    return node == tResolverCache::Root ? EmptyEntities : m_pCache->Published(m_pCache->Node(node));
}

const std::vector<const ClumVellumEntity*>& ClumNameResolver::GetEntitiesWithQuid(const ClumIdent& quid) {
    tEntityGroup* found = m_pCache->FindQuid(quid);
    return found == nullptr ? EmptyEntities : m_pCache->Published(*found);
}

const std::vector<const IlumReference*>& ClumNameResolver::GetReferringEntities(const ClumVellumEntity* target) {
    const std::vector<const IlumReference*>* found = m_pCache->Referrers(target);
    return found == nullptr ? EmptyReferences : *found;
}

void ClumNameResolver::ClearCaches() { m_pCache = std::make_unique<tCache>(); }

}  // namespace lum
