#pragma once
// View: the UML interpretation of loaded and bound models. Build it from the
// file objects after ClumNameResolver::CollectAndBind; it reads the raw
// graph only and must not outlive it. Building walks the model with its own
// stack, so models of any nesting depth are read.

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "lum/export.h"
#include "lum/uml/elements.h"

LUM_API_BEGIN
namespace lum {
class Model;
}

namespace lum::uml {

class View {
public:
    // The view of the given files: one model package per design, one
    // package per unit a file holds without a design.
    static View Build(std::span<const ClumVellumFile* const> roots);
    // The view of a loaded model's files, built on first use and kept with
    // the model: one thread per model at a time, as for the model itself.
    static const View& Of(const Model& model);

    View(View&&) noexcept;
    View& operator=(View&&) noexcept;
    ~View();

    // The top packages, in the order of the roots.
    const std::vector<const Package*>& Models() const;
    // The element that interprets a raw object, or null.
    const Element* Find(const ClumVellumEntity* raw) const;
    // Every element of a kind, in building order.
    const std::vector<const Element*>& All(Kind kind) const;
    std::size_t Count(Kind kind) const { return All(kind).size(); }
    // The notes attached to an element on any diagram.
    std::vector<const Note*> NotesOf(const Element& element) const;

    // What a view owns (its elements and indexes); defined with the library's sources.
    struct Storage;

private:
    explicit View(std::unique_ptr<Storage> storage);
    std::unique_ptr<Storage> m_storage;
};

}  // namespace lum::uml
LUM_API_END
