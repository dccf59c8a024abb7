#include "lum/meta/lifetime.h"

#include "lum/meta/catalogue_tables.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/meta/meta_provider.h"
#include "lum/text/wstring.h"

#include <mutex>

#include "platform/codepage.h"

namespace lum {

// Builds the whole metamodel from the catalogue records into the provider.
class tMetamodelBuilder {
public:
    static void Build() {
        using namespace detail;
        ClumMetaProvider& provider = ClumMetaProvider::GetInstance();
        provider.Initialize(FeatureCount, ClassCount);

        ClumMetaClass* classes[ClassCount];
        for (const ClassRecord& record : ClassRecords) {
            auto* metaClass = new ClumMetaClass(record.keyword, record.index, record.abstract);
            metaClass->m_pfnCreate = record.create;
            *record.metaClass = metaClass;
            classes[record.index] = metaClass;
            provider.RegisterMetaClass(metaClass, record.index);
        }

        for (const FeatureRecord& record : FeatureRecords) {
            auto* feature = new ClumMetaFeature(record.index, record.keyword, record.kind,
                                                record.type < 0 ? nullptr : classes[record.type]);
            provider.RegisterMetaFeature(feature, record.index);
            ClumMetaClass* owner = classes[record.owner];
            owner->m_ownFeatures.push_back(feature);
            feature->SetOwner(*owner);
            feature->m_pfnGetFeature = record.access.getFeature;
            feature->m_pfnLinkGetAt = record.access.linkGetAt;
            feature->m_pfnLinkIndexOf = record.access.linkIndexOf;
            feature->m_pfnLinkInsert = record.access.linkInsert;
            feature->m_pfnLinkRemoveAt = record.access.linkRemoveAt;
            feature->m_pfnLinkSize = record.access.linkSize;
        }

        for (const ClassRecord& record : ClassRecords) {
            if (record.base < 0) continue;
            classes[record.index]->m_bases.push_back(classes[record.base]);
            classes[record.base]->m_derived.push_back(classes[record.index]);
        }

        for (ClumMetaClass* metaClass : classes) metaClass->InitializeMask();

        // Concrete classes carry their own features first, then each
        // ancestor's, nearest first.
        for (ClumMetaClass* metaClass : classes) {
            if (metaClass->m_pfnCreate == nullptr) continue;
            for (const ClumMetaClass* level = metaClass; level != nullptr;
                 level = level->m_bases.empty() ? nullptr : level->m_bases.front()) {
                for (const ClumMetaFeature* feature : level->m_ownFeatures) {
                    metaClass->m_allFeatures.push_back(feature);
                    if (feature->GetKind() == ClumMetaFeature::eLink) metaClass->m_linkFeatures.push_back(feature);
                }
            }
        }
    }
};

namespace {

// The count of balancing calls. Models loaded on several threads each hold
// one, so the count is kept under a lock; the metamodel is built and torn
// down under it, and read without it in between.
std::mutex g_lifetime;
int g_nInitializations = 0;

}  // namespace

void InitializeLUM() {
    const std::lock_guard<std::mutex> lock(g_lifetime);
    if (g_nInitializations++ != 0) return;
    WString::SetLocalePage(platform::ActiveAnsiCodePage());
    tMetamodelBuilder::Build();
}

void FinalizeLUM() {
    const std::lock_guard<std::mutex> lock(g_lifetime);
    if (g_nInitializations-- != 1) return;
    ClumMetaProvider::GetInstance();
    ClumMetaProvider::Destroy();
}

}  // namespace lum
