// Every concrete model class as generic code sees it: made by keyword,
// answering its own meta-class, and reaching each of its features both
// through the meta-feature's accessor functions and by keyword, as the same
// member. Also the class factory's refusals.

#include <algorithm>
#include <cwctype>
#include <set>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>
#define LUM_TEST_HAS_DEMANGLER 1
#endif

#include "meta/meta_fixture.h"

namespace lum::test {
namespace {

using ModelClasses = MetamodelTest;
using ClassFactory = MetamodelTest;

std::unique_ptr<ClumVellumEntity> MakeByKeyword(const ClumMetaClass& metaClass)
{
    return std::unique_ptr<ClumVellumEntity>(ClumClassFactory::MakeClass(WString(NameOf(metaClass))));
}

#ifdef LUM_TEST_HAS_DEMANGLER
std::string DynamicTypeName(const ClumVellumEntity& object)
{
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(object).name(), nullptr, nullptr, &status);
    std::string result = status == 0 ? name : typeid(object).name();
    std::free(name);
    return result;
}
#endif

TEST_F(ModelClasses, EveryConcreteClassIsMadeByKeywordAsAFreeObjectOfThatClass)
{
    const auto concrete = ConcreteClasses();
    ASSERT_EQ(concrete.size(), 117u);
    for (const ClumMetaClass* metaClass : concrete) {
        SCOPED_TRACE(Describe(*metaClass));
        auto object = MakeByKeyword(*metaClass);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(&object->GetMetaClass(), metaClass);
        EXPECT_EQ(object->Owner(), nullptr);
        EXPECT_EQ(object->OwningFeature(), nullptr);
        // The creation function makes a new object each time.
        auto other = MakeObject(*metaClass);
        EXPECT_NE(other.get(), object.get());
        EXPECT_EQ(&other->GetMetaClass(), metaClass);
#ifdef LUM_TEST_HAS_DEMANGLER
        const std::wstring keyword = NameOf(*metaClass);
        EXPECT_EQ(DynamicTypeName(*object), "lum::Clum" + std::string(keyword.begin(), keyword.end()));
#endif
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ModelClasses, EveryFeatureIsOneMemberReachedByAccessorAndByKeyword)
{
    for (const ClumMetaClass* metaClass : ConcreteClasses()) {
        auto object = MakeObject(*metaClass);
        const ClumVellumEntity& constObject = *object;
        for (const ClumMetaFeature* feature : metaClass->m_allFeatures) {
            SCOPED_TRACE(Describe(*metaClass) + " " + Describe(*feature));
            ASSERT_NE(feature->m_pfnGetFeature, nullptr);
            IlumFeature* member = feature->m_pfnGetFeature(object.get());
            ASSERT_NE(member, nullptr);
            EXPECT_EQ(object->GetFeature(feature->GetName()), member);
            EXPECT_EQ(constObject.GetFeature(feature->GetName()), member);
            EXPECT_EQ(member->GetMetaFeature(), feature);
            EXPECT_EQ(member->GetOwner(), object.get());
            EXPECT_EQ(static_cast<const IlumFeature*>(member)->GetOwner(), object.get());

            const ClumMetaFeature::Kind kind = feature->GetKind();
            EXPECT_EQ(member->GetAttribute() != nullptr, kind == ClumMetaFeature::eAttribute);
            EXPECT_EQ(member->GetReference() != nullptr, kind == ClumMetaFeature::eReference);
            EXPECT_EQ(member->GetLink() != nullptr, kind == ClumMetaFeature::eLink);
            if (kind != ClumMetaFeature::eAttribute) {
                EXPECT_EQ(member->GetMetaFeatureType(), feature->GetType());
                EXPECT_TRUE(member->IsEmpty());
            } else {
                // An attribute has no target class, and says so.
                errors.clear();
                EXPECT_EQ(member->GetMetaFeatureType(), nullptr);
                EXPECT_EQ(Messages(), std::vector<std::wstring>{L"GetMetaFeatureType() was called for attribute " +
                                                                NameOf(*feature) +
                                                                L". This method is not available for attributes. ."});
                errors.clear();
            }
        }
    }
    EXPECT_TRUE(Messages().empty());
}

#ifdef LUM_TEST_HAS_DEMANGLER
// The generated member templates name the same owner, target, index and
// storage as the meta-feature, e.g. "lum::TlumReference<lum::ClumClass,
// lum::Clummodule, 185u, 1>".
TEST_F(ModelClasses, MemberTemplatesAgreeWithTheirMetaFeatures)
{
    const char* const templates[] = {"lum::TlumAttribute", "lum::TlumReference", "lum::TlumLink"};
    auto className = [](const ClumMetaClass& metaClass) {
        const std::wstring keyword = NameOf(metaClass);
        return "lum::Clum" + std::string(keyword.begin(), keyword.end());
    };
    for (const ClumMetaFeature* feature : AllFeatures()) {
        SCOPED_TRACE(Describe(*feature));
        auto object = MakeObject(*ConcreteCarrierOf(*feature));
        IlumFeature* member = feature->m_pfnGetFeature(object.get());
        int status = 0;
        char* demangled = abi::__cxa_demangle(typeid(*member).name(), nullptr, nullptr, &status);
        ASSERT_EQ(status, 0);
        const std::string type = demangled;
        std::free(demangled);

        const std::size_t open = type.find('<');
        ASSERT_NE(open, std::string::npos) << type;
        EXPECT_EQ(type.substr(0, open), templates[feature->GetKind()]);
        std::vector<std::string> arguments;
        for (std::size_t from = open + 1, comma;; from = comma + 2) {
            comma = type.find(", ", from);
            if (comma == std::string::npos) {
                arguments.push_back(type.substr(from, type.size() - 1 - from));
                break;
            }
            arguments.push_back(type.substr(from, comma - from));
        }
        ASSERT_EQ(arguments.size(), feature->GetKind() == ClumMetaFeature::eReference ? 4u : 3u) << type;
        EXPECT_EQ(arguments[0], className(feature->GetOwner()));
        if (feature->GetType() != nullptr) {
            EXPECT_EQ(arguments[1], className(*feature->GetType()));
        }
        EXPECT_EQ(arguments[2], std::to_string(feature->GetIndex()) + "u");
        if (IlumReference* reference = member->GetReference()) {
            EXPECT_EQ(arguments[3], reference->IsSingle() ? "0" : "1");
        }
    }
}
#endif

TEST_F(ModelClasses, KeywordLookupIsCaseSensitive)
{
    for (const ClumMetaClass* metaClass : ConcreteClasses()) {
        auto object = MakeObject(*metaClass);
        std::set<std::wstring> keywords;
        for (const ClumMetaFeature* feature : metaClass->m_allFeatures) keywords.insert(NameOf(*feature));
        for (const std::wstring& keyword : keywords) {
            std::wstring flipped = keyword;
            flipped[0] = std::iswupper(flipped[0]) ? std::towlower(flipped[0]) : std::towupper(flipped[0]);
            if (flipped == keyword || keywords.count(flipped) != 0) continue;
            EXPECT_EQ(object->GetFeature(ClumIdent(flipped.c_str())), nullptr)
                << Describe(*metaClass) << " " << std::string(flipped.begin(), flipped.end());
        }
        EXPECT_EQ(object->GetFeature(ClumIdent(L"no such feature")), nullptr) << Describe(*metaClass);
    }
}

TEST_F(ModelClasses, MembersLieInFeatureIndexOrderInsideTheObject)
{
    // Bases come first in an object and ancestors declare lower feature
    // indices, so member addresses rise with the feature index.
    for (const ClumMetaClass* metaClass : ConcreteClasses()) {
        auto object = MakeObject(*metaClass);
        std::vector<const ClumMetaFeature*> features = metaClass->m_allFeatures;
        std::sort(features.begin(), features.end(),
                  [](const ClumMetaFeature* a, const ClumMetaFeature* b) { return a->GetIndex() < b->GetIndex(); });
        const char* previous = reinterpret_cast<const char*>(object.get());
        for (const ClumMetaFeature* feature : features) {
            const char* address = reinterpret_cast<const char*>(feature->m_pfnGetFeature(object.get()));
            EXPECT_GT(address, previous) << Describe(*metaClass) << " " << Describe(*feature);
            previous = address;
        }
    }
}

TEST_F(ModelClasses, LinkForwardersWorkOnLinksAndAreAbsentElsewhere)
{
    for (const ClumMetaClass* metaClass : ConcreteClasses()) {
        auto object = MakeObject(*metaClass);
        ClumVellumEntity* owner = object.get();
        for (const ClumMetaFeature* feature : metaClass->m_allFeatures) {
            SCOPED_TRACE(Describe(*metaClass) + " " + Describe(*feature));
            const bool link = feature->GetKind() == ClumMetaFeature::eLink;
            EXPECT_EQ(feature->m_pfnLinkGetAt != nullptr, link);
            EXPECT_EQ(feature->m_pfnLinkIndexOf != nullptr, link);
            EXPECT_EQ(feature->m_pfnLinkInsert != nullptr, link);
            EXPECT_EQ(feature->m_pfnLinkRemoveAt != nullptr, link);
            EXPECT_EQ(feature->m_pfnLinkSize != nullptr, link);
            if (!link || feature->m_pfnLinkSize == nullptr) continue;

            EXPECT_EQ(feature->m_pfnLinkSize(owner), 0);
            EXPECT_EQ(feature->m_pfnLinkGetAt(owner, 0), nullptr);
            EXPECT_EQ(feature->m_pfnLinkIndexOf(owner, owner), -1);

            const ClumMetaClass* childClass = ConcreteKindOf(*feature->GetType());
            ASSERT_NE(childClass, nullptr);
            ClumVellumEntity* first = childClass->m_pfnCreate();
            ClumVellumEntity* second = childClass->m_pfnCreate();
            feature->m_pfnLinkInsert(owner, first, -1);
            feature->m_pfnLinkInsert(owner, second, 0);
            IlumLink* member = feature->m_pfnGetFeature(owner)->GetLink();
            EXPECT_EQ(feature->m_pfnLinkSize(owner), 2);
            EXPECT_EQ(member->GetSize(), 2);
            EXPECT_EQ(feature->m_pfnLinkGetAt(owner, 0), second);
            EXPECT_EQ(feature->m_pfnLinkIndexOf(owner, first), 1);
            EXPECT_EQ(first->Owner(), owner);
            EXPECT_EQ(first->OwningFeature(), member);

            EXPECT_EQ(feature->m_pfnLinkRemoveAt(owner, 0), second);
            EXPECT_EQ(second->Owner(), nullptr);
            EXPECT_EQ(feature->m_pfnLinkSize(owner), 1);
            delete second;
            // `first` stays: deleting the owner deletes it.
        }
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ClassFactory, AbstractClassesAreRefusedByName)
{
    EXPECT_EQ(ClumClassFactory::MakeClass(L"QuidObject"), nullptr);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Could not create class 'QuidObject'. This class is an abstract."});

    int refused = 0;
    for (const ClumMetaClass* metaClass : AllClasses()) {
        if (metaClass->m_pfnCreate != nullptr) continue;
        errors.clear();
        EXPECT_EQ(MakeByKeyword(*metaClass), nullptr) << Describe(*metaClass);
        ASSERT_EQ(errors.size(), 1u) << Describe(*metaClass);
        EXPECT_EQ(std::wstring(errors.front().message),
                  L"Could not create class '" + NameOf(*metaClass) + L"'. This class is an abstract.");
        ++refused;
    }
    EXPECT_EQ(refused, 27);
}

TEST_F(ClassFactory, UnknownKeywordsAreReportedAndKeywordsAreCaseSensitive)
{
    for (const wchar_t* keyword : {L"Nope", L"class", L"CLASS", L" Class", L"Class ", L"", L"Clumclass"}) {
        errors.clear();
        EXPECT_EQ(ClumClassFactory::MakeClass(keyword), nullptr) << std::wstring(keyword);
        EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Could not create class '" + std::wstring(keyword) +
                                                        L"'. No metaclass found with such a name"});
    }
    errors.clear();
    std::unique_ptr<ClumVellumEntity> cls(ClumClassFactory::MakeClass(L"Class"));
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(NameOf(cls->GetMetaClass()), L"Class");
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace lum::test
