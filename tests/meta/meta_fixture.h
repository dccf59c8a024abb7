#pragma once
// Shared ground for the metamodel tests: a fixture that holds the metamodel
// (and a private error list) for the length of one test, and small helpers
// that read the metamodel the plain way (walking m_bases by hand), so that
// the tests compare the precomputed tables against an independent reading.
//
// InitializeLUM/FinalizeLUM keep a process-wide count: every test here
// leaves it as it found it (zero), which the lifetime tests rely on.

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {

inline ClumMetaProvider& Provider() { return ClumMetaProvider::GetInstance(); }

inline std::wstring NameOf(const ClumMetaClass& metaClass) { return metaClass.GetName().c_str(); }
inline std::wstring NameOf(const ClumMetaFeature& feature) { return feature.GetName().c_str(); }

// "Class::superclasses", for failure messages.
inline std::string Describe(const ClumMetaFeature& feature)
{
    const std::wstring wide = NameOf(feature.GetOwner()) + L"::" + NameOf(feature);
    return std::string(wide.begin(), wide.end()) + " (#" + std::to_string(feature.GetIndex()) + ")";
}
inline std::string Describe(const ClumMetaClass& metaClass)
{
    const std::wstring wide = NameOf(metaClass);
    return std::string(wide.begin(), wide.end()) + " (#" + std::to_string(metaClass.GetIndex()) + ")";
}

inline std::vector<const ClumMetaClass*> AllClasses()
{
    std::vector<const ClumMetaClass*> classes;
    for (unsigned i = 0; i < Provider().GetNumberOfMetaClasses(); ++i) classes.push_back(Provider().GetMetaClass(i));
    return classes;
}

inline std::vector<const ClumMetaFeature*> AllFeatures()
{
    std::vector<const ClumMetaFeature*> features;
    for (unsigned i = 0; i < Provider().GetNumberOfMetaFeatures(); ++i)
        features.push_back(Provider().GetMetaFeature(i));
    return features;
}

inline std::vector<const ClumMetaClass*> ConcreteClasses()
{
    std::vector<const ClumMetaClass*> concrete;
    for (const ClumMetaClass* metaClass : AllClasses())
        if (metaClass->m_pfnCreate != nullptr) concrete.push_back(metaClass);
    return concrete;
}

// The class itself, then its ancestors, nearest first, following the first
// base at each step.
inline std::vector<const ClumMetaClass*> ChainOf(const ClumMetaClass& metaClass)
{
    std::vector<const ClumMetaClass*> chain;
    for (const ClumMetaClass* level = &metaClass; level != nullptr && chain.size() <= 512;
         level = level->m_bases.empty() ? nullptr : level->m_bases.front())
        chain.push_back(level);
    return chain;
}

inline bool IsAncestorOrSelf(const ClumMetaClass& metaClass, const ClumMetaClass& ancestor)
{
    for (const ClumMetaClass* level : ChainOf(metaClass))
        if (level == &ancestor) return true;
    return false;
}

// The first concrete class (by index) whose instances carry the feature.
inline const ClumMetaClass* ConcreteCarrierOf(const ClumMetaFeature& feature)
{
    for (const ClumMetaClass* metaClass : ConcreteClasses())
        if (IsAncestorOrSelf(*metaClass, feature.GetOwner())) return metaClass;
    return nullptr;
}

// The first concrete class (by index) whose instances a link to `target` accepts.
inline const ClumMetaClass* ConcreteKindOf(const ClumMetaClass& target)
{
    for (const ClumMetaClass* metaClass : ConcreteClasses())
        if (IsAncestorOrSelf(*metaClass, target)) return metaClass;
    return nullptr;
}

inline std::unique_ptr<ClumVellumEntity> MakeObject(const ClumMetaClass& metaClass)
{
    return std::unique_ptr<ClumVellumEntity>(metaClass.m_pfnCreate());
}

// Holds the metamodel and routes messages to a list of the test's own.
class MetamodelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeLUM();
        CErrorReporter::GetInstance().SetErrorList(errors);
    }
    void TearDown() override
    {
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }

    const ClumMetaClass& ClassNamed(const wchar_t* keyword)
    {
        const ClumMetaClass* metaClass = Provider().GetMetaClass(ClumIdent(keyword));
        EXPECT_NE(metaClass, nullptr) << "no class " << std::string(keyword, keyword + std::wcslen(keyword));
        return metaClass ? *metaClass : *Provider().GetMetaClass(0u);
    }

    std::vector<std::wstring> Messages() const
    {
        std::vector<std::wstring> texts;
        for (const tError& error : errors) texts.push_back(error.message);
        return texts;
    }

    tErrorList errors;
};

}  // namespace lum::test
