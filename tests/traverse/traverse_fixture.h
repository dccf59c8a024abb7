#pragma once
// Shared ground for the traversal tests: the metamodel and a private error
// list for one test, a model class that counts its deletions, and helpers
// to build and search object trees.

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {

class TraverseTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeLUM();
        CErrorReporter::GetInstance().SetErrorList(errors);
    }
    void TearDown() override {
        for (const tError& error : errors) ADD_FAILURE() << "unexpected message: " << std::wstring(error.message);
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }
    void ReadSample(ClumVellumFile& file) {
        std::list<ClumUnitObject*> units;
        ClumParser::Parse(WString(LUM_SAMPLES_DIR "/library/library.mdl"), file, units);
    }

    tErrorList errors;
};

// Its meta-class stays that of Base, so links accept it where they accept Base.
template <class Base>
struct Counted : Base {
    explicit Counted(int& deleted_) : deleted(deleted_) {}
    ~Counted() override { ++deleted; }
    int& deleted;
};

template <class T>
T* Named(T* object, const wchar_t* name) {
    object->name.Set(ClumIdent(name));
    return object;
}

// Appends `child` to `link` and answers it.
template <class Link, class T>
T* Add(Link& link, T* child) {
    link.Insert(child, -1);
    return child;
}

inline std::wstring Text(const ClumIdent& ident) { return ident.c_str(); }

// "Class A" for an object named A, the class keyword alone when unnamed.
inline std::wstring Describe(const ClumVellumEntity* object) {
    const std::wstring name = Text(ClumUtilityFunctions::GetName(object));
    return object->GetMetaClass().GetName().c_str() + (name.empty() ? L"" : L" " + name);
}

// `root` and everything it contains, depth first.
inline std::vector<ClumVellumEntity*> AllObjects(ClumVellumEntity* root) {
    struct Collector : TlumMetaVisitor<ClumVellumEntity> {
        std::vector<ClumVellumEntity*> found;
        void Visit(ClumVellumEntity* entity) override {
            if (entity != nullptr) found.push_back(entity);
            TlumMetaVisitor::Visit(entity);
        }
    } collector;
    collector.Visit(root);
    return collector.found;
}

// The first object of that class keyword and, if given, that name.
inline ClumVellumEntity* Find(ClumVellumEntity* root, const wchar_t* keyword, const wchar_t* name = nullptr) {
    for (ClumVellumEntity* object : AllObjects(root)) {
        if (object->GetMetaClass().GetName() == keyword &&
            (name == nullptr || ClumUtilityFunctions::GetName(object) == name))
            return object;
    }
    return nullptr;
}

}  // namespace lum::test
