#include "lum/meta/meta_provider.h"

#include <map>
#include <vector>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"

namespace lum {

ClumMetaProvider* ClumMetaProvider::_instance = nullptr;

struct ClumMetaProvider::tBody {
    std::vector<const ClumMetaClass*> classes;
    std::vector<const ClumMetaFeature*> features;
    std::map<ClumIdent, const ClumMetaClass*> byName;  // ordered by interned identity

    ~tBody() {
        for (const ClumMetaFeature* feature : features) delete feature;
        for (const ClumMetaClass* metaClass : classes) delete metaClass;
    }
};

ClumMetaProvider::ClumMetaProvider() : m_pBody(std::make_unique<tBody>()) {}

ClumMetaProvider::~ClumMetaProvider() = default;

ClumMetaProvider& ClumMetaProvider::GetInstance() {
    if (_instance == nullptr) _instance = new ClumMetaProvider();
    return *_instance;
}

void ClumMetaProvider::Destroy() {
    delete _instance;
    _instance = nullptr;
}

void ClumMetaProvider::Initialize(unsigned numberOfFeatures, unsigned numberOfClasses) {
    m_pBody->features.resize(numberOfFeatures, nullptr);
    m_pBody->classes.resize(numberOfClasses, nullptr);
    m_pBody->byName.clear();
}

void ClumMetaProvider::RegisterMetaClass(const ClumMetaClass* metaClass, unsigned index) {
    if (index >= m_pBody->classes.size()) m_pBody->classes.resize(index + 1, nullptr);
    m_pBody->classes[index] = metaClass;
    m_pBody->byName[metaClass->GetName()] = metaClass;
}

void ClumMetaProvider::RegisterMetaFeature(const ClumMetaFeature* metaFeature, unsigned index) {
    if (index >= m_pBody->features.size()) m_pBody->features.resize(index + 1, nullptr);
    m_pBody->features[index] = metaFeature;
}

const ClumMetaClass* ClumMetaProvider::GetMetaClass(unsigned index) const {
    return index < m_pBody->classes.size() ? m_pBody->classes[index] : nullptr;
}

const ClumMetaFeature* ClumMetaProvider::GetMetaFeature(unsigned index) const {
    return index < m_pBody->features.size() ? m_pBody->features[index] : nullptr;
}

const ClumMetaClass* ClumMetaProvider::GetMetaClass(const ClumIdent& name) const {
    const auto found = m_pBody->byName.find(name);
    return found == m_pBody->byName.end() ? nullptr : found->second;
}

unsigned ClumMetaProvider::GetNumberOfMetaClasses() const { return static_cast<unsigned>(m_pBody->classes.size()); }

unsigned ClumMetaProvider::GetNumberOfMetaFeatures() const {
    return static_cast<unsigned>(m_pBody->features.size());
}

}  // namespace lum
