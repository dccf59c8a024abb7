#include "lum/uml/view.h"

#include "uml/view_storage.h"

namespace lum::uml {

View View::Build(std::span<const ClumVellumFile* const> roots) {
    auto storage = std::make_unique<Storage>();
    detail::BuildElements(*storage, roots);
    detail::BindReferences(*storage);
    return View(std::move(storage));
}

View::View(std::unique_ptr<Storage> storage) : m_storage(std::move(storage)) {}
View::View(View&&) noexcept = default;
View& View::operator=(View&&) noexcept = default;
View::~View() = default;

const std::vector<const Package*>& View::Models() const { return m_storage->models; }

const Element* View::Find(const ClumVellumEntity* raw) const { return m_storage->index.Find(raw); }

const std::vector<const Element*>& View::All(Kind kind) const {
    return m_storage->byKind[static_cast<std::size_t>(kind)];
}

std::vector<const Note*> View::NotesOf(const Element& element) const {
    std::vector<const Note*> notes;
    for (const Element* candidate : All(Kind::Note)) {
        const auto* note = static_cast<const Note*>(candidate);
        for (const Element* annotated : note->annotated) {
            if (annotated == &element) {
                notes.push_back(note);
                break;
            }
        }
    }
    return notes;
}

}  // namespace lum::uml
