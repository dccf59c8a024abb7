// Fuzz target: a model file read, every reference bound, and the indexes
// asked about every object's name, quid and referrers and about every
// reference's written text; then read again into the same indexes.

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    lum::ClumNameResolver resolver;
    std::vector<const lum::IlumReference*> unresolved;
    lum::ClumVellumFile* first = Read(session.Text());
    resolver.CollectAndBind(first, unresolved);
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
