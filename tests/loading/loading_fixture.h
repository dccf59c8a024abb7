#pragma once
// Shared ground for the loading tests: a fixture with the metamodel, a
// scratch directory that is removed after each test, and builders for the
// small model files the tests write into it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <list>
#include <string>
#include <vector>

#include <unistd.h>

#include <lum/lum.h>

#include "reader/model_reading.h"

namespace lum::test {

namespace fs = std::filesystem;

// The wide form of a path as the library receives it.
inline WString Wide(const fs::path& path) { return WString(path.wstring().c_str()); }

// The form in which the resolver hands back a real path: backslashes between
// components, a leading slash kept.
inline std::wstring Resolved(const fs::path& path) {
    std::wstring text = path.wstring();
    if (!text.empty()) std::replace(text.begin() + 1, text.end(), L'/', L'\\');
    return text;
}

// Writes `bytes` exactly as given, creating the directories on the way.
inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::out | std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::in | std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// --- Model text -----------------------------------------------------------

// A stub that stands for a package stored in `storedPath`.
inline std::string Stub(const std::string& name, const std::string& storedPath, const std::string& body = "") {
    return "(object Class_Category \"" + name + "\"\n    is_unit TRUE\n    is_loaded FALSE\n    file_name \"" +
           storedPath + "\"\n" + body + "    quid \"QS-" + name + "\")\n";
}

inline std::string Class(const std::string& name, const std::string& body = "") {
    return "(object Class \"" + name + "\"\n    quid \"QC-" + name + "\"\n" + body + ")\n";
}

// A package stored with the file it is in.
inline std::string Package(const std::string& name, const std::string& body = "") {
    return "(object Class_Category \"" + name + "\"\n    quid \"QP-" + name + "\"\n" + body + ")\n";
}

// An external document list holding one document at `storedPath`.
inline std::string ExternalDoc(const std::string& storedPath) {
    return "    external_docs (list external_doc_list (object external_doc external_doc_path \"" + storedPath +
           "\"))\n";
}

// A diagram whose one note uses a font of the given face.
inline std::string DiagramWithFont(const std::string& face) {
    return "    logical_presentations (list unit_reference_list (object ClassDiagram \"D-" + face +
           "\"\n        items (list diagram_item_list (object NoteView @1\n"
           "            font (object Font size 10 face \"" +
           face + "\")))))\n";
}

inline std::string Models(const std::string& elements) {
    return "    logical_models (list unit_reference_list\n" + elements + ")\n";
}

// A main file: a design whose root package holds `rootModels`; `defaultFace`
// gives the design a default font.
inline std::string MainFile(const std::string& rootModels, const std::string& defaultFace = "") {
    std::string text = "(object Vellum version 50)\n(object Design \"Logical View\"\n    is_unit TRUE\n"
                       "    is_loaded TRUE\n    quid \"QD\"\n";
    if (!defaultFace.empty()) {
        text += "    defaults (object defaults defaultFont (object Font size 10 face \"" + defaultFace + "\"))\n";
    }
    text += "    root_category (object Class_Category \"Logical View\"\n    quid \"QR\"\n" + Models(rootModels) +
            "))\n";
    return text;
}

// A sub-unit file holding one package `name` with `body` as its features.
inline std::string UnitFile(const std::string& name, const std::string& body) {
    return "(object Vellum version 50)\n(object Class_Category \"" + name + "\"\n    is_unit TRUE\n    quid \"QU-" +
           name + "\"\n" + body + ")\n";
}

// --- Fixture --------------------------------------------------------------

class LoadingTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeLUM();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("lum-loading-" + std::to_string(::getpid()) + "-" +
                                           info->test_suite_name() + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        for (ClumVellumFile* model : models) delete model;
        models.clear();
        units.clear();
        CErrorReporter::GetInstance().ResetReporter();
        FinalizeLUM();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void Write(const std::string& relative, const std::string& text) { WriteBytes(dir / relative, text); }

    // Loads the main file `relative` of the scratch directory.
    void Load(const std::string& relative, bool loadSubUnits = true) {
        ClumManager::LoadModels(errors, {Wide(dir / relative)}, models, units, resolver, loadSubUnits);
    }

    // The objects directly in the root package of the first model.
    std::vector<ClumVellumEntity*> RootModels() {
        if (models.empty() || models[0]->design.IsEmpty()) return {};
        ClumVellumEntity* design = models[0]->design.Get(0);
        const std::vector<ClumVellumEntity*> roots = Children(design, L"root_category");
        return roots.empty() ? std::vector<ClumVellumEntity*>{} : Children(roots[0], L"logical_models");
    }

    // The first object below `root` with the given name, or null.
    static ClumVellumEntity* Find(ClumVellumEntity* root, const std::wstring& name) {
        ClumVellumEntity* found = nullptr;
        ForEachObject(root, [&](ClumVellumEntity* object) {
            if (found == nullptr && Attr(object, L"name") == name) found = object;
        });
        return found;
    }
    ClumVellumEntity* Find(const std::wstring& name) { return models.empty() ? nullptr : Find(models[0], name); }

    std::vector<std::wstring> UnitNames() const {
        std::vector<std::wstring> names;
        for (const ClumUnitObject* unit : units) names.push_back(Attr(unit, L"name"));
        return names;
    }

    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> out;
        for (const tError& error : errors) out.push_back(std::wstring(error.message));
        return out;
    }

    fs::path dir;
    tErrorList errors;
    std::vector<ClumVellumFile*> models;
    std::list<ClumUnitObject*> units;
    ClumVirtualPathResolver resolver;
};

}  // namespace lum::test
