#pragma once
// The catalogue as records the metamodel builder reads: one per class and one
// per feature, in index order. The model layer defines them (generated into
// src/model/classes/catalogue_tables.cpp); programs ask ClumMetaProvider.

#include "lum/export.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"

LUM_API_BEGIN
namespace lum::detail {

inline constexpr unsigned ClassCount = 144;
inline constexpr unsigned FeatureCount = 345;

struct ClassRecord {
    unsigned index;
    const wchar_t* keyword;
    bool abstract;
    int base;  // class index; -1 for the root
    ClumMetaClass::CreateFunction create;
    ClumMetaClass** metaClass;  // the model class's static meta-class pointer
};

// The six accessor functions of a feature (the five link ones null for
// attributes and references).
struct FeatureAccess {
    ClumMetaFeature::GetFeatureFunction getFeature;
    ClumMetaFeature::LinkGetAtFunction linkGetAt;
    ClumMetaFeature::LinkIndexOfFunction linkIndexOf;
    ClumMetaFeature::LinkInsertFunction linkInsert;
    ClumMetaFeature::LinkRemoveAtFunction linkRemoveAt;
    ClumMetaFeature::LinkSizeFunction linkSize;
};

struct FeatureRecord {
    unsigned index;
    const wchar_t* keyword;
    ClumMetaFeature::Kind kind;
    int type;  // target class index; -1 for attributes
    unsigned owner;
    FeatureAccess access;
};

extern const ClassRecord ClassRecords[ClassCount];
extern const FeatureRecord FeatureRecords[FeatureCount];

}  // namespace lum::detail
LUM_API_END
