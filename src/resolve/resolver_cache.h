#pragma once
// The indexes of the name resolver: by name path, by quid, by bound target
// and by label within a context. Keys are interned identifiers and
// pointers, so every lookup compares pointers only.

#include <cstddef>
#include <map>
#include <unordered_map>
#include <vector>

#include "lum/text/ident.h"

namespace lum {

class ClumVellumEntity;
class IlumReference;

using tNamePath = std::vector<ClumIdent>;
using tEntityList = std::vector<const ClumVellumEntity*>;

struct tNamePathHash {
    std::size_t operator()(const tNamePath& path) const noexcept {
        std::size_t h = path.size();
        for (const ClumIdent& name : path) h = h * 1000003u ^ name.Hash();
        return h;
    }
};

struct tResolverCache {
    std::unordered_map<tNamePath, tEntityList, tNamePathHash> byName;
    std::unordered_map<ClumIdent, tEntityList> byQuid;
    std::unordered_map<const ClumVellumEntity*, std::vector<const IlumReference*>> referrers;
    // Context (a category or a file) -> label -> objects.
    std::unordered_map<const ClumVellumEntity*, std::unordered_map<ClumIdent, tEntityList>> byLabel;
};

}  // namespace lum
