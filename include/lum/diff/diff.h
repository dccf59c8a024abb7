#pragma once
// lum::diff: what changed between two versions of a model, element by
// element of their UML views. Elements are matched by quid first; an element
// left unmatched is then matched by kind and name (with the parameter types
// of operations, the ends of unnamed associations, ...) under the partner of
// its owner, so models whose quids were regenerated still line up. Each
// change names the package it belongs to; Compare sorts the changes so that
// two runs give the same list.
//
//   auto changes = lum::diff::Compare(lum::uml::View::Of(oldModel), lum::uml::View::Of(newModel));
//   lum::diff::WriteText(changes, std::cout);

#include <ostream>
#include <string>
#include <vector>

#include "lum/export.h"
#include "lum/uml/view.h"

LUM_API_BEGIN
namespace lum::diff {

enum class ChangeKind { Added, Removed, Renamed, Moved, Changed };
const char* ChangeKindName(ChangeKind kind);  // "added", "removed", ...

// One field of an element that differs, as text; an empty side means the
// field was not there (a documentation written for the first time, a
// diagram that shows one element more).
struct FieldChange {
    std::string field;  // "type", "multiplicity", "shows", "symbol Loan moved", ...
    std::string before;
    std::string after;
    bool operator==(const FieldChange&) const = default;
};

// One change of one element. An added or removed element stands for its
// members too: they are not listed on their own. An element may be renamed,
// moved and changed at once: one Change each.
struct Change {
    ChangeKind kind = ChangeKind::Changed;
    uml::Kind element = uml::Kind::Package;
    std::string noun;     // what people call it: "class", "actor", "property", "diagram", ...
    std::string package;  // qualified name of the package it lies in (the new one, the old one for removed)
    std::string path;     // qualified name of the element (new, or old for removed)
    std::string detail;   // renamed: the old name; moved: the old owner's qualified name
    std::vector<FieldChange> fields;  // changed: what differs, in a fixed order per kind
};

struct Options {
    // Compare the geometry of the symbols two versions of a diagram show.
    bool withLayout = false;
    // A symbol moved or resized by at most this many units in each direction
    // counts as unchanged (the notation's units: hundredths of an inch at zoom 100).
    int layoutTolerance = 10;
};

// The changes from `before` to `after`, sorted by package, path, element
// kind and change kind. Empty when the models agree.
std::vector<Change> Compare(const uml::View& before, const uml::View& after, const Options& options = {});

// Text, grouped by package:
//   package Logical View::Lending
//     added class Loan
//     changed property Loan::dueDate
//       type: Date -> DateTime
// Writes nothing for no changes. False, as for WriteJson, when the stream failed.
bool WriteText(const std::vector<Change>& changes, std::ostream& out);
// One JSON document, format "lum-diff/1" (schema/lum-diff-1.schema.json).
bool WriteJson(const std::vector<Change>& changes, std::ostream& out);

}  // namespace lum::diff
LUM_API_END
