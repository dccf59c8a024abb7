#pragma once
// TlumNonRecursiveMetaVisitor: a breadth-first walk with an explicit queue,
// safe on trees of any depth. OnVisit sees the root, then its children in
// feature and position order, then theirs; answering false keeps an
// object's contents from being visited.

#include "lum/export.h"
#include "lum/model/entity.h"

LUM_API_BEGIN
namespace lum {

template <class T>
class TlumNonRecursiveMetaVisitor;

template <>
class TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
public:
    TlumNonRecursiveMetaVisitor() = default;
    TlumNonRecursiveMetaVisitor(const TlumNonRecursiveMetaVisitor&) = default;
    TlumNonRecursiveMetaVisitor& operator=(const TlumNonRecursiveMetaVisitor&) = default;
    virtual ~TlumNonRecursiveMetaVisitor() = default;

    // Walks `root` and everything it contains; a null root does nothing.
    void Visit(ClumVellumEntity* root);

protected:
    virtual bool OnVisit(ClumVellumEntity*) { return true; }
};

}  // namespace lum
LUM_API_END
