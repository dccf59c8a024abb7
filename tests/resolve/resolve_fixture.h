#pragma once
// Shared ground for the name resolution tests: a fixture holding the
// metamodel, a private error list and the models of one test, and terse
// builders for small models made in code.
//
// Every model built here hangs below a design named "Model"; its root
// category is the first component of every name path.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {

using Strings = std::vector<std::wstring>;
using References = std::vector<const IlumReference*>;
using Entities = std::vector<const ClumVellumEntity*>;

// The order of unbound features within one call is not significant.
inline References Sorted(References references) {
    std::sort(references.begin(), references.end());
    return references;
}

class ResolveTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeLUM();
        CErrorReporter::GetInstance().SetErrorList(errors);
    }
    void TearDown() override {
        models.clear();
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }

    template <class T>
    static T* Make(const wchar_t* name = L"", const wchar_t* quid = L"") {
        T* object = new T;
        if constexpr (requires { object->name; }) object->name.Set(ClumIdent(name));
        object->quid.Set(ClumIdent(quid));
        return object;
    }
    template <class T, class Link>
    static T* Add(Link& link, T* object) {
        link.Insert(object, -1);
        return object;
    }
    static void Write(IlumReference& reference, const wchar_t* text) {
        if (*text != L'\0') reference.Decode(WString(text));
    }

    // A new design "Model" and its root category, which the test owns.
    ClumClass_Category* NewModel(const wchar_t* rootName = L"Logical View", const wchar_t* quid = L"") {
        auto* design = Make<ClumDesign>(L"Model");
        models.emplace_back(design);
        return Add(design->root_category, Make<ClumClass_Category>(rootName, quid));
    }
    static const ClumVellumEntity* Top(const ClumVellumEntity* object) {
        while (object->Owner() != nullptr) object = object->Owner();
        return object;
    }

    static ClumClass_Category* Category(ClumClass_Category* in, const wchar_t* name, const wchar_t* quid = L"") {
        return Add(in->logical_models, Make<ClumClass_Category>(name, quid));
    }
    static ClumClass* Class(ClumClass_Category* in, const wchar_t* name, const wchar_t* quid = L"") {
        return Add(in->logical_models, Make<ClumClass>(name, quid));
    }
    static ClumClassAttribute* Attribute(ClumClass* in, const wchar_t* type, const wchar_t* quidu = L"") {
        auto* attribute = Add(in->class_attributes, Make<ClumClassAttribute>(L"a"));
        Write(attribute->type, type);
        Write(attribute->quidu, quidu);
        return attribute;
    }
    static ClumRole* Role(ClumAssociation* in, const wchar_t* name, const wchar_t* supplier,
                          const wchar_t* quidu = L"", const wchar_t* quid = L"") {
        auto* role = Add(in->roles, Make<ClumRole>(name, quid));
        Write(role->supplier, supplier);
        Write(role->quidu, quidu);
        return role;
    }
    // A class view in a class diagram of the category.
    static ClumClassView* View(ClumClass_Category* in, const wchar_t* name, const wchar_t* quid,
                               const wchar_t* quidu = L"") {
        auto* diagram = Add(in->logical_presentations, Make<ClumClassDiagram>(L"Main"));
        auto* view = Add(diagram->items, Make<ClumClassView>(name, quid));
        Write(view->quidu, quidu);
        return view;
    }

    // Collects and binds the tree of `object`; the features left unbound.
    References Bind(const ClumVellumEntity* object) {
        References unresolved;
        resolver.CollectAndBind(Top(object), unresolved);
        return unresolved;
    }

    Strings Messages() const {
        Strings texts;
        for (const tError& error : errors) texts.push_back(error.message);
        return texts;
    }

    tErrorList errors;
    std::vector<std::unique_ptr<ClumVellumEntity>> models;
    ClumNameResolver resolver;
};

}  // namespace lum::test
