#pragma once
// What a lum::Model holds, and the steps of loading that live in files of
// their own (the code page, unit files found elsewhere, display names).

#include <filesystem>
#include <list>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lum/diagnostics/error_list.h"
#include "lum/document/model.h"
#include "lum/loading/path_resolver.h"
#include "lum/resolve/name_resolver.h"

namespace lum {

class ClumUnitObject;

struct Model::Impl {
    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl();

    LoadOptions options;
    std::vector<std::string> given;           // the main files as named
    std::vector<std::filesystem::path> mains; // the same, absolute
    bool loaded = false;
    bool initialized = false;                 // holds one InitializeLUM
    std::vector<ClumVellumFile*> files;
    std::vector<Diagnostic> diagnostics;
    std::vector<LoadedFile> filesRead;
    std::vector<MissingUnit> missing;
    std::vector<const IlumReference*> unresolved;
    mutable ClumNameResolver resolver;
    unsigned codePage = 0;
    bool detected = false;
    std::string reason;
    double seconds = 0;
    std::uintmax_t bytes = 0;
    std::size_t depth = 0;
    // Objects below the files, by class index: each class met with its count.
    std::vector<std::pair<const ClumMetaClass*, std::size_t>> perClass;
    std::set<std::wstring> symbolsAdvised;    // path symbols already explained
    // What layers above derived from the model (see Derived), each with its
    // maker; every one holds its own deleter, so this layer knows none of them.
    mutable std::vector<std::pair<Derivation, std::shared_ptr<const void>>> derived;

    // How diagnostics name a file: a main file as the user named it, a file
    // below a main file's directory relative to it (through the directory as
    // the user named it, so the name works from where the user stands),
    // anything else by its absolute path.
    std::string DisplayName(const std::wstring& path) const;
    void Add(diag::Code code, tError::Severity severity, std::string file, std::string message);

    // Loading steps.
    bool CheckInputs();
    void ChooseCodePage();
    void FillPathMap(ClumVirtualPathResolver& paths) const;
    void LoadMovedUnits(ClumVirtualPathResolver& paths, std::list<ClumUnitObject*>& stubs, tErrorList& errors);
    void NoteMissingUnits(ClumVirtualPathResolver& paths, const std::list<ClumUnitObject*>& stubs);
    // One walk for the depth and the count per class; answers the loaded
    // units. It reads only the tree and attributes, and converts no text, so
    // it may run on another thread while references are bound.
    std::vector<const ClumUnitObject*> Survey();
    // The files read, the main files first, then the units' files.
    void ListFilesRead(const std::vector<const ClumUnitObject*>& units);
};

// A stored or resolved path (backslashes between directories) as a path here.
std::filesystem::path LocalPath(const std::wstring& stored);
// The file an object was read from: the nearest loaded unit above it, or
// else the main file that holds it.
WString HoldingFile(const ClumVellumEntity* entity);

}  // namespace lum
