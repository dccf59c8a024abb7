#pragma once
// Shared ground for the traversal tests: a fixture that holds the metamodel
// and a private error list for one test, a model class that counts its
// deletions, and small helpers to build and search object trees.

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
        // Nothing here is meant to report; a test that expects messages
        // checks and clears them itself.
        for (const tError& error : errors) ADD_FAILURE() << "unexpected message: " << std::wstring(error.message);
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }

    // Reads the library sample into `file`.
    void ReadSample(ClumVellumFile& file) {
        std::list<ClumUnitObject*> units;
        ClumParser::Parse(WString(LUM_SAMPLES_DIR "/library/library.mdl"), file, units);
    }

    tErrorList errors;
};

// Counts its deletions in `deleted`. Its meta-class stays that of Base, so
// links accept it wherever they accept Base.
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

template <class T>
T* Named(const wchar_t* name) {
    return Named(new T, name);
}

// Inserts `child` at the end of `link` and answers it.
template <class Link, class T>
T* Add(Link& link, T* child) {
    link.Insert(child, -1);
    return child;
}

inline std::wstring Text(const ClumIdent& ident) { return ident.c_str(); }

// "Class A" for a named object, the class keyword alone otherwise.
inline std::wstring Describe(const ClumVellumEntity* object) {
    std::wstring text = object->GetMetaClass().GetName().c_str();
    const std::wstring name = ClumUtilityFunctions::GetName(object).c_str();
    return name.empty() ? text : text + L" " + name;
}

// Every object below and including `root`, depth first; the walker is the
// one under test elsewhere, so these helpers only serve to search.
inline std::vector<ClumVellumEntity*> AllObjects(ClumVellumEntity* root) {
    struct Collector : TlumMetaVisitor<ClumVellumEntity> {
        std::vector<ClumVellumEntity*> found;
        void Visit(ClumVellumEntity* entity) override {
            if (entity != nullptr) found.push_back(entity);
            TlumMetaVisitor::Visit(entity);
        }
    } collector;
    collector.SetVisitOnlyComposite(true);
    collector.Visit(root);
    return collector.found;
}

// The first object of that class keyword (and name, if given), or null.
inline ClumVellumEntity* Find(ClumVellumEntity* root, const wchar_t* keyword, const wchar_t* name = nullptr) {
    for (ClumVellumEntity* object : AllObjects(root)) {
        if (object->GetMetaClass().GetName() == keyword &&
            (name == nullptr || ClumUtilityFunctions::GetName(object) == name)) {
            return object;
        }
    }
    return nullptr;
}

}  // namespace lum::test
