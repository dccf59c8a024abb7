#pragma once
// ClumNameResolver: binds the references of a loaded model to the objects
// they name. It indexes every object of the trees it is given by name path,
// by quid and by @ label (within the innermost category or file), gathers
// every set reference, and binds quid references first, then the others by
// label, quid, the owner's companion quid reference and name path. Where
// several objects qualify, the nearest to the referring object in the
// containment tree wins; ties are reported and left unbound. The indexes are
// kept across calls until ClearCaches, so units collected later can refer to
// objects collected earlier.

#include <cstddef>
#include <memory>
#include <vector>

#include "lum/export.h"
#include "lum/text/ident.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class IlumFeature;
class IlumReference;

class ClumNameResolver {
public:
    ClumNameResolver();
    ~ClumNameResolver();
    ClumNameResolver(const ClumNameResolver&) = delete;
    ClumNameResolver& operator=(const ClumNameResolver&) = delete;

    // Indexes the tree under `root` and binds every reference in it; appends
    // the reference features that could not be bound entirely to `unresolved`.
    void CollectAndBind(const ClumVellumEntity* root, std::vector<const IlumReference*>& unresolved);
    // Threads that bind a large tree's references (0, the default: one per
    // core; 1: all on the calling thread), each taking at least
    // `minimumPart` of them. The result is the same for any number.
    static constexpr std::size_t DefaultMinimumPart = 32768;
    void SetThreads(unsigned threads, std::size_t minimumPart = DefaultMinimumPart);

    // Whether the single value of a reference feature is bound.
    bool CollectAndBind(const IlumFeature* feature);

    // The objects with exactly this name path: one name (an object at the top
    // of a collected tree), a qualified text "A::B", or the path itself.
    // The vectors stay valid until ClearCaches.
    const std::vector<const ClumVellumEntity*>& GetEntitiesWithName(const ClumIdent& name);
    const std::vector<const ClumVellumEntity*>& GetEntitiesWithName(const WString& qualifiedName);
    const std::vector<const ClumVellumEntity*>& GetEntitiesWithName(const wchar_t* qualifiedName);
    const std::vector<const ClumVellumEntity*>& GetEntitiesWithName(const std::vector<ClumIdent>& path);
    const std::vector<const ClumVellumEntity*>& GetEntitiesWithQuid(const ClumIdent& quid);
    // The reference features bound to `target` by CollectAndBind.
    const std::vector<const IlumReference*>& GetReferringEntities(const ClumVellumEntity* target);

    // Forgets every index (needed after collected objects are deleted).
    void ClearCaches();

private:
    std::size_t Threads() const;

    struct tCache;
    std::unique_ptr<tCache> m_pCache;
    unsigned m_threads = 0;
    std::size_t m_minimumPart = DefaultMinimumPart;  // below this, starting a thread costs more than it saves
};

}  // namespace lum
LUM_API_END
