#pragma once
// Structural equality of two object graphs: the same classes, the same set
// features (attributes with the same text, references with the same written
// text and a target in both or in neither, links with equal objects in the
// same order), compared to any depth without recursion. For file objects the
// objects set aside by the reader are compared too, in order. Where a file or
// a loaded unit was read from ("fileName", and "file_name" of a loaded unit)
// is not compared.

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;

struct StructuralDifference {
    bool equal = true;
    WString path;  // where the graphs part: Class "name" / feature[i] / ...
    WString what;  // what differs there
};

StructuralDifference CompareStructure(const ClumVellumEntity& left, const ClumVellumEntity& right);

inline bool StructurallyEqual(const ClumVellumEntity& left, const ClumVellumEntity& right) {
    return CompareStructure(left, right).equal;
}

}  // namespace lum
LUM_API_END
