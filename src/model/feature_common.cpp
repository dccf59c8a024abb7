#include "lum/model/feature_common.h"

#include <deque>
#include <mutex>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"

namespace lum::detail {

const WString& QualifiedFeatureName(unsigned index) {
    // One text per feature index, made on first use and kept for the process;
    // threads reading models at once share it under a lock.
    static std::mutex lock;
    static std::deque<WString> names;  // growing keeps earlier texts in place
    const std::lock_guard<std::mutex> guard(lock);
    if (index >= names.size()) names.resize(index + 1);
    WString& name = names[index];
    if (name.empty()) {
        if (const ClumMetaFeature* feature = ClumMetaProvider::GetInstance().GetMetaFeature(index)) {
            name = feature->GetOwner().GetName().c_str();
            name += L"::";
            name += feature->GetName().c_str();
        }
    }
    return name;
}

}  // namespace lum::detail
