#pragma once
// The layout of the notation as saved models have it: in what order an
// object's features are written, what each list is called, and which header
// strings an object's construct carries.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "lum/text/ident.h"
#include "lum/write/file_writer.h"

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

// What the first line of an object's construct carries besides its class.
enum class tHeaderKind {
    None,       // nothing: the class is not a named model object
    Module,     // name, type, part
    ModView,    // name, type, part, quid
    StateView,  // type, name, quid
    Named       // a name and, when it is an @ label, the quid
};

// How objects of one concrete class are written: every feature in the
// order saved models write them (the order they are met in for the classes
// seen, then for the rest the unit features, the quid, and the other
// features base class first), and what the class's construct needs.
struct tClassLayout {
    std::vector<tFeatureLayout> features;
    // Each feature's place in `features`, by its name's pooled text.
    std::unordered_map<const wchar_t*, std::size_t> placeOf;
    tHeaderKind header = tHeaderKind::None;
    const ClumMetaFeature* name = nullptr;  // Named: the identifier features
    const ClumMetaFeature* quid = nullptr;
    bool value = false;      // written as (value Class "text")
    bool unit = false;
    bool parameter = false;  // its type text carries "const" and the direction
    bool classView = false;  // its header starts with the kind it shows
    bool line = false;       // its header keeps an empty name before a label
};

// The layouts, made once per class and kept while the metamodel lives.
class tWritingOrders {
public:
    const tClassLayout& Of(const ClumMetaClass& metaClass);

private:
    std::vector<std::unique_ptr<tClassLayout>> m_layouts;
};

// Writing with layouts made for earlier files (file_writer.h has the rest).
FileWriteResult WriteFile(const ClumVellumFile& file, ByteSink& sink, const FileOptions& options,
                          tWritingOrders& orders);
FileWriteResult WriteUnitFile(const ClumVellum* header, const ClumUnitObject& unit, ByteSink& sink,
                              const FileOptions& options, tWritingOrders& orders);

// The class word of the list that holds the objects of a feature
// ("class_attribute_list" for "class_attributes"), or null for features
// saved models do not write as lists; `always` tells whether a list is
// written even for one object.
const wchar_t* ListName(const ClumIdent& feature, bool& always);

}  // namespace lum::write
