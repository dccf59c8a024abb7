#pragma once
// ClumMetaProvider: the registry of every meta-class (by index and by
// keyword) and every meta-feature (by index). It owns what is registered and
// deletes it in Destroy.

#include <memory>

#include "lum/export.h"
#include "lum/text/ident.h"

LUM_API_BEGIN
namespace lum {

class ClumMetaClass;
class ClumMetaFeature;

class ClumMetaProvider {
public:
    // Created empty on first use.
    static ClumMetaProvider& GetInstance();
    // Deletes the provider with every registered class and feature.
    static void Destroy();

    // Sizes the tables (new slots null) and empties the keyword map.
    void Initialize(unsigned numberOfFeatures, unsigned numberOfClasses);
    // Takes ownership; an index beyond the table grows it.
    void RegisterMetaClass(const ClumMetaClass* metaClass, unsigned index);
    void RegisterMetaFeature(const ClumMetaFeature* metaFeature, unsigned index);

    // The registered entry, or null (also for an index beyond the table).
    const ClumMetaClass* GetMetaClass(unsigned index) const;
    const ClumMetaFeature* GetMetaFeature(unsigned index) const;
    // The class of that keyword, or null; compares interned identifiers.
    const ClumMetaClass* GetMetaClass(const ClumIdent& name) const;

    unsigned GetNumberOfMetaClasses() const;
    unsigned GetNumberOfMetaFeatures() const;

    ClumMetaProvider(const ClumMetaProvider&) = delete;
    ClumMetaProvider& operator=(const ClumMetaProvider&) = delete;

private:
    ClumMetaProvider();
    ~ClumMetaProvider();

    struct tBody;
    std::unique_ptr<tBody> m_pBody;
    static ClumMetaProvider* _instance;
};

}  // namespace lum
LUM_API_END
