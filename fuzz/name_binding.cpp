// Fuzz target: a model file read, every reference bound, and the indexes
// asked about every object's name, quid and referrers and about every
// reference's written text; then read again into the same indexes. The
// first binding, collected and bound on several threads, must equal a
// binding on one thread of another copy: the same targets, and the same
// references left unbound, in the same order.

#include <algorithm>
#include <cstdlib>
#include <list>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"

namespace {

lum::ClumVellumFile* Read(std::string_view text) {
    std::istringstream in{std::string(text), std::ios::in | std::ios::binary};
    auto* file = new lum::ClumVellumFile();
    std::list<lum::ClumUnitObject*> units;
    lum::ClumParser::Parse(in, L"fuzz.mdl", *file, units);
    return file;
}

void Query(lum::ClumNameResolver& resolver, lum::ClumVellumEntity* root) {
    for (lum::ClumVellumEntity* object : lum::fuzz::CollectObjects(root)) {
        if (lum::ClumUtilityFunctions::HasName(object)) {
            resolver.GetEntitiesWithName(lum::ClumUtilityFunctions::GetName(object));
        }
        if (lum::ClumUtilityFunctions::HasQuid(object)) {
            resolver.GetEntitiesWithQuid(lum::ClumUtilityFunctions::GetQuid(object));
        }
        resolver.GetReferringEntities(object);
        for (const lum::ClumMetaFeature* feature : object->GetMetaClass().m_allFeatures) {
            if (feature->GetKind() != lum::ClumMetaFeature::eReference) continue;
            const lum::IlumFeature* member = feature->m_pfnGetFeature(object);
            const lum::IlumReference* reference = member->GetReference();
            for (int i = 0; i < reference->GetCount(); ++i) {
                lum::WString text;
                reference->EncodeReference(text, reference->IsSingle() ? -1 : i);
                resolver.GetEntitiesWithName(text);
            }
            if (reference->IsSingle()) resolver.CollectAndBind(member);
        }
    }
}

// Every reference value's target as the position of the target among the
// tree's objects (-1: unbound), then the positions of the owners of the
// references left unbound.
std::vector<long> Bound(lum::ClumVellumEntity* root, const std::vector<const lum::IlumReference*>& unresolved) {
    const std::vector<lum::ClumVellumEntity*> objects = lum::fuzz::CollectObjects(root);
    const auto position = [&objects](const lum::ClumVellumEntity* object) {
        const auto found = std::find(objects.begin(), objects.end(), object);
        return found == objects.end() ? -1L : static_cast<long>(found - objects.begin());
    };
    std::vector<long> bound;
    for (lum::ClumVellumEntity* object : objects) {
        for (const lum::ClumMetaFeature* feature : object->GetMetaClass().m_allFeatures) {
            if (feature->GetKind() != lum::ClumMetaFeature::eReference) continue;
            const lum::IlumReference* reference = feature->m_pfnGetFeature(object)->GetReference();
            for (int i = 0; i < reference->GetCount(); ++i) {
                bound.push_back(position(reference->GetTarget(reference->IsSingle() ? -1 : i)));
            }
        }
    }
    bound.push_back(-2);
    for (const lum::IlumReference* reference : unresolved) bound.push_back(position(reference->GetOwner()));
    return bound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    lum::ClumNameResolver resolver;
    resolver.SetThreads(3, 1);
    std::vector<const lum::IlumReference*> unresolved;
    lum::ClumVellumFile* first = Read(session.Text());
    resolver.CollectAndBind(first, unresolved);
    {
        lum::ClumNameResolver serialResolver;
        serialResolver.SetThreads(1);
        std::vector<const lum::IlumReference*> serialUnresolved;
        lum::ClumVellumFile* serial = Read(session.Text());
        serialResolver.CollectAndBind(serial, serialUnresolved);
        if (Bound(serial, serialUnresolved) != Bound(first, unresolved)) std::abort();
        lum::TreeRemover().DeleteTree(serial);
    }
    Query(resolver, first);
    // A second tree collected later may refer into the first.
    lum::ClumVellumFile* second = Read(session.Text());
    resolver.CollectAndBind(second, unresolved);
    Query(resolver, second);
    resolver.ClearCaches();
    lum::TreeRemover().DeleteTree(first);
    lum::TreeRemover().DeleteTree(second);
    return 0;
}
