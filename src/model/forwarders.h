#pragma once
// The accessor functions of meta-features: each casts the owner to the
// declaring class and calls the feature member (named by a pointer to member).

#include "lum/model/entity.h"
#include "lum/model/feature.h"

namespace lum::detail {

template <class Owner, auto Member>
IlumFeature* FeatureOf(ClumVellumEntity* owner) {
    return &(static_cast<Owner*>(owner)->*Member);
}

template <class Owner, auto Member>
ClumVellumEntity* LinkGetAt(ClumVellumEntity* owner, int i) {
    return (static_cast<Owner*>(owner)->*Member).GetAt(i);
}

template <class Owner, auto Member>
int LinkIndexOf(ClumVellumEntity* owner, ClumVellumEntity* object) {
    return (static_cast<Owner*>(owner)->*Member).IndexOf(object);
}

template <class Owner, auto Member>
void LinkInsert(ClumVellumEntity* owner, ClumVellumEntity* object, int position) {
    (static_cast<Owner*>(owner)->*Member).Insert(object, position);
}

template <class Owner, auto Member>
ClumVellumEntity* LinkRemoveAt(ClumVellumEntity* owner, int i) {
    return (static_cast<Owner*>(owner)->*Member).RemoveAt(i);
}

template <class Owner, auto Member>
int LinkSize(ClumVellumEntity* owner) {
    return (static_cast<Owner*>(owner)->*Member).GetSize();
}

}  // namespace lum::detail

#define LUM_FEATURE_ACCESS(Owner, member) \
    { &FeatureOf<Owner, &Owner::member>, nullptr, nullptr, nullptr, nullptr, nullptr }

#define LUM_LINK_ACCESS(Owner, member)                                                                  \
    {                                                                                                   \
        &FeatureOf<Owner, &Owner::member>, &LinkGetAt<Owner, &Owner::member>,                           \
            &LinkIndexOf<Owner, &Owner::member>, &LinkInsert<Owner, &Owner::member>,                    \
            &LinkRemoveAt<Owner, &Owner::member>, &LinkSize<Owner, &Owner::member>                      \
    }
