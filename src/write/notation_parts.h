#pragma once
// tNotationParts: the pieces of an object as the writer lays them out, one
// at a time, for keeping a file's own layout (layout_keeper.h): a part of
// the model that gives the same text as the file's part is written as the
// file had it.

#include <cstddef>
#include <string>
#include <vector>

#include "lum/text/ident.h"

namespace lum {
class ClumVellumEntity;
}

namespace lum::write {

// A piece of text in the written code page, with the characters it could
// not represent. The parts below are written into one the caller keeps, so
// that comparing millions of them reuses its room.
struct tPart {
    std::string text;
    std::size_t unrepresentable = 0;
};

class tNotationParts {
public:
    virtual ~tNotationParts() = default;

    // "(object Class" with the strings and label of the construct's first
    // line (or a whole "(value ...)").
    virtual void HeaderText(const ClumVellumEntity& object, tPart& into) = 0;
    // The lines of one feature of `object`, at nesting `depth` (that of the
    // object plus one), each line beginning with its line break; empty when
    // nothing is written for it.
    virtual void FeatureText(const ClumVellumEntity& object, const ClumIdent& feature, int depth, tPart& into) = 0;
    // Whether a feature of `object` holds nothing: no value, no element,
    // nothing set aside for it. Two such features write alike.
    virtual bool IsUnset(const ClumVellumEntity& object, const ClumIdent& feature) = 0;
    // The features written for `object`, in the order written.
    virtual std::vector<ClumIdent> FeatureNames(const ClumVellumEntity& object) = 0;
    // The objects written as the elements of a link feature, with those set
    // aside there, in order.
    virtual std::vector<const ClumVellumEntity*> ElementsOf(const ClumVellumEntity& object, const ClumIdent& feature) = 0;
    // An object written as an element at `depth`, from its parenthesis.
    virtual tPart ElementText(const ClumVellumEntity& object, int depth) = 0;
    // Whether the object is written as a stub of a unit stored apart.
    virtual bool IsWrittenAsStub(const ClumVellumEntity& object) = 0;
    // Adds bytes to the output.
    virtual void Put(const char* bytes, std::size_t count) = 0;
};

}  // namespace lum::write
