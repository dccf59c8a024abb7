#pragma once
// The check that a view holds every object of design meaning of its raw
// graph exactly once, kind by kind.

#include <functional>
#include <map>

#include "uml/uml_fixture.h"

namespace lum::test {

// The raw classes that each give one element of a kind.
struct tCounted {
    const char* what;
    const ClumMetaClass& (*rawClass)();
    uml::Kind kind;
};
inline const tCounted kCounted[] = {
    {"classes", &ClumClass::StaticGetMetaClass, uml::Kind::Classifier},
    {"attributes", &ClumClassAttribute::StaticGetMetaClass, uml::Kind::Property},
    {"operations", &ClumOperation::StaticGetMetaClass, uml::Kind::Operation},
    {"parameters", &ClumParameter::StaticGetMetaClass, uml::Kind::Parameter},
    {"associations", &ClumAssociation::StaticGetMetaClass, uml::Kind::Association},
    {"roles", &ClumRole::StaticGetMetaClass, uml::Kind::AssociationEnd},
    {"relationships", &ClumRelationship::StaticGetMetaClass, uml::Kind::Relationship},
    {"use cases", &ClumUseCase::StaticGetMetaClass, uml::Kind::UseCase},
    {"state machines", &ClumState_Machine::StaticGetMetaClass, uml::Kind::StateMachine},
    {"states", &ClumPseudoState::StaticGetMetaClass, uml::Kind::State},
    {"transitions", &ClumState_Transition::StaticGetMetaClass, uml::Kind::Transition},
    {"messages", &ClumMessage::StaticGetMetaClass, uml::Kind::Message},
    {"diagrams", &ClumDiagram::StaticGetMetaClass, uml::Kind::Diagram},
};

inline void ForEachRaw(const ClumVellumEntity* object, const std::function<void(const ClumVellumEntity*)>& visit) {
    visit(object);
    auto* mutableObject = const_cast<ClumVellumEntity*>(object);
    for (const ClumMetaFeature* feature : object->GetMetaClass().m_linkFeatures)
        for (int i = 0; i < feature->m_pfnLinkSize(mutableObject); ++i)
            ForEachRaw(feature->m_pfnLinkGetAt(mutableObject, i), visit);
}

// Compares the view with the raw graph, kind by kind: the same number, each
// raw object found as the element made from it, each element reached once
// from the models through its owners' members.
inline void ExpectEveryObjectOnce(std::span<const ClumVellumFile* const> files, const uml::View& view) {
    std::map<const uml::Element*, int> reached;
    std::vector<const uml::Element*> stack(view.Models().begin(), view.Models().end());
    while (!stack.empty()) {
        const uml::Element* element = stack.back();
        stack.pop_back();
        ++reached[element];
        for (const uml::Element* member : element->members) {
            EXPECT_EQ(member->owner, element);
            stack.push_back(member);
        }
    }
    for (const auto& [element, times] : reached) EXPECT_EQ(times, 1) << uml::KindName(element->kind);
    for (int k = 0; k < uml::kKindCount; ++k)
        for (const uml::Element* element : view.All(static_cast<uml::Kind>(k))) EXPECT_EQ(reached.count(element), 1u);

    for (const tCounted& counted : kCounted) {
        std::size_t raw = 0;
        for (const ClumVellumFile* file : files) {
            ForEachRaw(file, [&](const ClumVellumEntity* object) {
                if (!object->GetMetaClass().IsKindOf(&counted.rawClass())) return;
                ++raw;
                const uml::Element* element = view.Find(object);
                EXPECT_TRUE(element != nullptr && element->raw == object && element->kind == counted.kind)
                    << counted.what;
            });
        }
        EXPECT_EQ(view.Count(counted.kind), raw) << counted.what;
    }
}

}  // namespace lum::test
