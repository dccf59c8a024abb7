#pragma once
// What a View owns: the elements, one deque per type so that their addresses
// stay put, the lists by kind, and the index from raw objects to elements.

#include <array>
#include <deque>
#include <tuple>
#include <vector>

#include "lum/uml/view.h"
#include "uml/pointer_map.h"

namespace lum::uml {

struct View::Storage {
    std::tuple<std::deque<Package>, std::deque<Classifier>, std::deque<Property>, std::deque<Operation>,
               std::deque<Parameter>, std::deque<Association>, std::deque<AssociationEnd>, std::deque<Relationship>,
               std::deque<UseCase>, std::deque<StateMachine>, std::deque<State>, std::deque<Transition>,
               std::deque<Partition>, std::deque<ObjectNode>, std::deque<ObjectFlow>, std::deque<Interaction>,
               std::deque<Lifeline>, std::deque<Message>, std::deque<Component>, std::deque<Node>,
               std::deque<Process>, std::deque<Note>, std::deque<Diagram>>
        elements;
    std::array<std::vector<const Element*>, kKindCount> byKind;
    std::vector<const Package*> models;
    detail::tPointerMap<ClumVellumEntity, Element> index;

    // A new element of type T made from `raw`, a member of `owner` (a top
    // element when owner is null), indexed by `raw` when it is not null.
    template <class T>
    T& New(Kind kind, const ClumVellumEntity* raw, Element* owner) {
        T& element = std::get<std::deque<T>>(elements).emplace_back(kind, raw, owner);
        byKind[static_cast<std::size_t>(kind)].push_back(&element);
        if (owner != nullptr) owner->members.push_back(&element);
        if (raw != nullptr) index.Insert(raw, &element);
        return element;
    }
    template <class T>
    std::deque<T>& Of() {
        return std::get<std::deque<T>>(elements);
    }
};

namespace detail {
// The first pass: every element made from the raw tree, with what the raw
// object itself says; references are left to BindReferences.
void BuildElements(View::Storage& storage, std::span<const ClumVellumFile* const> roots);
// The second pass: references between elements, diagrams and notes.
void BindReferences(View::Storage& storage);
}  // namespace detail

}  // namespace lum::uml
