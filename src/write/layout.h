#pragma once
// The layout of the notation as saved models have it: in what order an
// object's features are written, what each list is called, and which header
// strings an object's construct carries.

#include <memory>
#include <string>
#include <vector>

#include "lum/text/ident.h"

namespace lum {
class ClumMetaClass;
class ClumMetaFeature;
}  // namespace lum

namespace lum::write {

// How one feature of a class is written: its line's start (the keyword
// padded to the value column) and whether it is written when it holds its
// default.
struct tFeatureLayout {
    const ClumMetaFeature* meta;
    std::string key;
    bool always;
};

// Every feature of a concrete class, in the order saved models write them:
// the order they are met in for the classes seen, then for the rest the
// unit features, the quid, and the other features base class first. Made
// once per class and kept while the metamodel lives.
class tWritingOrders {
public:
    const std::vector<tFeatureLayout>& Of(const ClumMetaClass& metaClass);

private:
    std::vector<std::unique_ptr<std::vector<tFeatureLayout>>> m_orders;
};

// The class word of the list that holds the objects of a feature
// ("class_attribute_list" for "class_attributes"), or null for features
// saved models do not write as lists; `always` tells whether a list is
// written even for one object.
const wchar_t* ListName(const ClumIdent& feature, bool& always);

}  // namespace lum::write
