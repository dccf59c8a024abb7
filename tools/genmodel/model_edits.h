#pragma once
// ApplyEdits: changes the files of a generated model by a seeded list of
// edits, each of a kind the diff reports: classes, attributes, operations,
// associations and generalizations added or removed; classes, attributes and
// operations renamed; classes moved to another package; types, visibility,
// multiplicities, documentation and stereotypes changed. It returns the
// changes the diff must find between the model before and after, no more and
// no fewer, with one entry per changed field. Edits never touch the same
// element twice, and leave alone what would ripple into other elements
// (notes attached to a renamed class, relationships drawn on diagrams).

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "model_index.h"

namespace genmodel {

// A change in the terms of the diff's JSON ("lum-diff/1").
struct tExpectedChange {
    std::string change;   // added, removed, renamed, moved, changed
    std::string kind;     // classifier, property, operation, association, associationEnd, relationship, diagram
    std::string noun;     // class, attribute, operation, association, association end, relationship, diagram
    std::string package;  // qualified name of the package the element lies in
    std::string path;     // qualified name of the element
    std::string detail;   // renamed: the old name; moved: the old owner
    std::string field;    // changed: the one field, with its values
    std::string before;
    std::string after;
};

// Edits `count` elements (fewer when the model has too few that fit) chosen
// by `seed`; the files' trees must be built, and are stale afterwards.
std::vector<tExpectedChange> ApplyEdits(std::vector<tModelFile>& files,
                                        const std::map<std::string, std::string>& unitPackages, int count,
                                        std::uint32_t seed);

// As one "lum-diff/1" document, grouped by package.
void WriteChangesJson(std::vector<tExpectedChange> changes, std::ostream& out);

}  // namespace genmodel
