// Binding the references of the library sample model, main file and
// sub-units together.

#include <filesystem>
#include <functional>
#include <set>

#include "resolve/resolve_fixture.h"

namespace lum::test {
namespace {

// The name path of an object as references write it: the names of its
// named ancestors below the design, then its own.
std::wstring PathText(const ClumVellumEntity* object) {
    std::wstring path;
    for (; object != nullptr; object = object->Owner()) {
        if (!ClumUtilityFunctions::HasName(object) || object->GetMetaClass().IsKindOf(&ClumDesign::StaticGetMetaClass()))
            continue;
        path = ClumUtilityFunctions::GetName(object).c_str() + (path.empty() ? L"" : L"::" + path);
    }
    return path;
}

// The innermost category at or above `object`.
const ClumVellumEntity* InnermostCategory(const ClumVellumEntity* object) {
    while (object != nullptr && !object->GetMetaClass().IsKindOf(&ClumClass_Category::StaticGetMetaClass()))
        object = object->Owner();
    return object;
}

void ForEachReference(const ClumVellumEntity* object, const std::function<void(const IlumReference&)>& visit) {
    for (const ClumMetaFeature* feature : object->GetMetaClass().m_allFeatures) {
        IlumFeature* member = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(object));
        if (feature->GetKind() == ClumMetaFeature::eReference && !member->IsEmpty()) visit(*member->GetReference());
        if (feature->GetKind() != ClumMetaFeature::eLink) continue;
        const IlumLink* link = member->GetLink();
        for (int i = 0; i < link->GetSize(); ++i) ForEachReference(link->GetAt(i), visit);
    }
}

// The written quid that goes with a name reference of the same object.
WString CompanionText(const IlumReference& reference) {
    const ClumIdent& keyword = reference.GetMetaFeature()->GetName();
    const bool transition = reference.GetMetaFeature()->GetOwner() == ClumState_Transition::StaticGetMetaClass();
    const wchar_t* companion = !transition              ? L"quidu"
                               : keyword == L"supplier" ? L"supplier_quidu"
                               : keyword == L"client"   ? L"client_quidu"
                                                        : L"quidu";
    const IlumFeature* feature = reference.GetOwner()->GetFeature(ClumIdent(companion));
    WString text;
    if (feature != nullptr && feature->GetReference()->IsSingle()) feature->GetReference()->EncodeReference(text, -1);
    return text;
}

std::wstring Describe(const IlumReference& reference, long index) {
    WString text;
    reference.EncodeReference(text, index);
    const ClumMetaFeature& feature = *reference.GetMetaFeature();
    return std::wstring(feature.GetOwner().GetName().c_str()) + L"::" + feature.GetName().c_str() + L" " + text;
}

using SampleModelTest = ResolveTest;

TEST_F(SampleModelTest, EverythingButPrimitiveTypesAndExceptionNamesBinds) {
    const std::filesystem::path dir = std::filesystem::path(LUM_SAMPLES_DIR) / "library";
    ClumVirtualPathResolver paths;
    if (std::filesystem::exists(dir / "library.map")) paths.LoadFromFile(WString((dir / "library.map").c_str()));
    else paths.AddPath(L"CURDIR", L"&");
    std::vector<ClumVellumFile*> files;
    std::list<ClumUnitObject*> stubs;
    ClumManager::LoadModels(errors, {WString((dir / "library.mdl").c_str())}, files, stubs, paths, true);
    for (ClumVellumFile* file : files) models.emplace_back(file);
    ASSERT_FALSE(models.empty());
    ASSERT_EQ(stubs.size(), 0u) << "a sub-unit of the sample did not load";
    CErrorReporter::GetInstance().SetErrorList(errors);
    errors.clear();

    References unresolved;
    for (const auto& model : models) resolver.CollectAndBind(model.get(), unresolved);
    EXPECT_EQ(Messages(), Strings{});

    // The types nobody models, and exceptions named but never declared.
    const std::set<std::wstring> expected = {
        L"StructuralFeature::type String",      L"StructuralFeature::type Integer",
        L"StructuralFeature::type Date",        L"StructuralFeature::type Money",
        L"StructuralFeature::type Boolean",     L"Operation::result Boolean",
        L"Operation::exceptions LoanLimitReached", L"Operation::exceptions ReservedByOther",
        L"Operation::exceptions PaymentRefused",   L"Operation::exceptions AccountClosed",
        L"Operation::exceptions RefundNotAllowed",
    };
    std::set<std::wstring> unbound;
    std::set<const IlumReference*> incomplete;
    for (const auto& model : models) {
        ForEachReference(model.get(), [&](const IlumReference& reference) {
            bool complete = true;
            for (int i = 0; i < reference.GetCount(); ++i) {
                const long index = reference.IsSingle() ? -1 : i;
                const ClumObjectRef* value = reference.GetObjectRef(index);
                const ClumVellumEntity* target = value->Target();
                complete = complete && target != nullptr;
                if (target == nullptr) {
                    unbound.insert(Describe(reference, index));
                    continue;
                }
                if (value->GetKind() == ClumObjectRef::eFromObject) continue;
                // Bound to what the text says: a label of the same category, a quid, a name path, or the
                // object whose quid the companion gives.
                WString written;
                reference.EncodeReference(written, index);
                const std::wstring text = written, companion = CompanionText(reference);
                const std::wstring quid = ClumUtilityFunctions::GetQuid(target).c_str();
                if (value->GetKind() == ClumObjectRef::eLabel) {
                    EXPECT_EQ(quid, text) << Describe(reference, index);
                    EXPECT_EQ(InnermostCategory(target->Owner()), InnermostCategory(reference.GetOwner())) << Describe(reference, index);
                } else {
                    EXPECT_TRUE(quid == text || PathText(target) == text || (!companion.empty() && quid == companion))
                        << "bound elsewhere: " << Describe(reference, index);
                }
            }
            if (!complete) incomplete.insert(&reference);
        });
    }
    EXPECT_EQ(unbound, expected);
    EXPECT_EQ(std::set<const IlumReference*>(unresolved.begin(), unresolved.end()), incomplete);
    EXPECT_EQ(unresolved.size(), incomplete.size());
}

}  // namespace
}  // namespace lum::test
