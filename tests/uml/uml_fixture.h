#pragma once
// Shared ground for the UML view tests: a fixture that loads models (small
// texts written in the tests, the library sample, generated models), binds
// them and builds their view.

#include <gtest/gtest.h>

#include <filesystem>
#include <list>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <lum/lum.h>
#include <lum/uml/outline.h>
#include <lum/uml/view.h>

namespace lum::test {

class UmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeLUM();
        CErrorReporter::GetInstance().SetErrorList(errors);
    }
    void TearDown() override {
        model.reset();
        view.reset();
        for (ClumVellumFile* file : files) delete file;
        files.clear();
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
    }

    // Reads `text` as a main file, binds it and builds the view.
    const uml::View& Read(const std::string& text) {
        auto* file = new ClumVellumFile();
        files.push_back(file);
        std::list<ClumUnitObject*> units;
        std::istringstream in(text, std::ios::in | std::ios::binary);
        ClumParser::Parse(in, L"test.mdl", *file, units);
        return BindAndBuild();
    }

    // Loads a main file with its unit files through the front door; the
    // view is the model's own.
    const uml::View& Load(const std::filesystem::path& main, const std::filesystem::path& pathMap = {}) {
        LoadOptions options;
        if (!pathMap.empty()) options.pathMaps.push_back(pathMap.string());
        model = std::make_unique<Model>(Model::Load({main.string()}, options));
        viewOf = &uml::View::Of(*model);
        return *viewOf;
    }

    // Reads `text` in place of all read before.
    const uml::View& ReadAlone(const std::string& text) {
        TearDown();
        SetUp();
        return Read(text);
    }

    const uml::View& BindAndBuild() {
        ClumNameResolver resolver;
        std::vector<const IlumReference*> unbound;
        for (ClumVellumFile* file : files) resolver.CollectAndBind(file, unbound);
        view = std::make_unique<uml::View>(uml::View::Build(files));
        viewOf = view.get();
        return *view;
    }

    // The file objects of what was read or loaded last.
    std::span<const ClumVellumFile* const> Roots() const { return model ? model->Files() : files; }

    std::string Outline() const {
        std::ostringstream out;
        uml::WriteOutline(*viewOf, out);
        return out.str();
    }

    // The first element of a kind with the given name, or null.
    template <class T>
    const T* Named(const char* name) const {
        for (const uml::Element* element : viewOf->All(KindOf<T>())) {
            if (ToUtf8(element->name.c_str()) == name) return static_cast<const T*>(element);
        }
        return nullptr;
    }
    template <class T>
    static uml::Kind KindOf() {
        for (int k = 0; k < uml::kKindCount; ++k)
            if (T::Is(static_cast<uml::Kind>(k))) return static_cast<uml::Kind>(k);
        return uml::Kind::Package;
    }

    tErrorList errors;
    std::vector<ClumVellumFile*> files;
    std::unique_ptr<uml::View> view;      // of a text read here
    std::unique_ptr<Model> model;         // of a model loaded from files
    const uml::View* viewOf = nullptr;    // whichever was made last
};

inline std::filesystem::path SampleDir() { return std::filesystem::path(LUM_SAMPLES_DIR) / "library"; }

}  // namespace lum::test
