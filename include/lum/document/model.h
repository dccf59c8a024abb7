#pragma once
// lum::Model: the front door. It loads the main files of a model with their
// unit files, binds every reference, and owns all of it: the file objects and
// every object below them, the diagnostics, the name index. It answers the
// questions a program asks of a loaded model. No process-wide state is used:
// models may be loaded and used on several threads at once, one thread per
// model at a time.
//
//   auto model = lum::Model::Load({"model.mdl"}, {.pathMaps = {"model.map"}});
//   for (const lum::Diagnostic& d : model.Diagnostics()) puts(FormatDiagnostic(d).c_str());
//   for (auto step : model.Walk()) ...

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lum/diagnostics/diagnostic.h"
#include "lum/document/load_options.h"
#include "lum/export.h"
#include "lum/traverse/depth_first.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumFile;
class ClumVellumEntity;
class IlumReference;
class ClumMetaFeature;

// A file that was read: a main file or a unit file.
struct LoadedFile {
    std::string name;  // as the user named it, or relative to the main file (what diagnostics say)
    std::string path;  // absolute
    bool main = false;
    std::uintmax_t bytes = 0;
};

// A unit whose file could not be loaded.
struct MissingUnit {
    const ClumVellumEntity* stub = nullptr;  // the unit object left in the model
    std::string unit;                        // its name
    std::string stored;                      // its path as the model stores it
    std::string resolved;                    // the path that was tried
    std::string holder;                      // the file that holds the stub (display name)
    std::string undefinedSymbol;             // a $SYMBOL of the stored path nobody defined
    std::string cyclicSymbol;                // a $SYMBOL whose definition leads back to itself
};

// What became of one reference value, as far as a user has to act on it.
enum class ReferenceStatus {
    Bound,        // bound to the object it names
    Empty,        // names nothing: an empty text or an all-zero quid, as stored on purpose
    InMissingUnit,// names something inside a unit whose file is missing
    Unmodelled,   // a type name no class of the model has (int, String, void, ...)
    Dangling,     // names nothing the model has: worth a look
};
const char* ReferenceStatusName(ReferenceStatus status);  // "bound", "empty", ...

struct ReferenceSummary {
    std::size_t values = 0;  // every value of every set reference feature
    std::size_t bound = 0, empty = 0, inMissingUnit = 0, unmodelled = 0, dangling = 0;
    std::size_t ambiguous = 0;  // references reported as ambiguous (left unbound, among the dangling)
};

// One reference value with its owner, feature and fate.
struct ReferenceValue {
    const ClumVellumEntity* owner;
    const ClumMetaFeature* feature;
    const IlumReference* reference;
    long index;  // -1 for a single-valued feature
    const ClumVellumEntity* target;
    ReferenceStatus status;
};

class Model {
public:
    // Reads the main files with their unit files and binds the references.
    // Never throws for bad input: when a main file or path map cannot be
    // read, nothing is loaded, Loaded() is false and the diagnostics say why.
    static Model Load(const std::vector<std::string>& paths, const LoadOptions& options = {});

    Model(Model&&) noexcept;
    Model& operator=(Model&&) noexcept;
    ~Model();

    bool Loaded() const;
    explicit operator bool() const { return Loaded(); }
    // A diagnostic of severity Error or worse, or, when strict, a missing unit.
    bool HasErrors() const;

    const std::vector<Diagnostic>& Diagnostics() const;
    // The main file objects, in the order given; owned by the model and
    // read-only through it.
    std::span<const ClumVellumFile* const> Files() const;
    // Main files first, then unit files in the order they were loaded.
    const std::vector<LoadedFile>& FilesRead() const;
    const std::vector<MissingUnit>& MissingUnits() const;
    const LoadOptions& Options() const;

    unsigned CodePage() const;
    bool CodePageDetected() const;
    const std::string& CodePageReason() const;  // why this page, for people
    double Seconds() const;                     // loading and binding
    std::uintmax_t Bytes() const;               // bytes of the files read

    // Every object below the files (the file objects themselves are roots
    // at depth 0), depth first, parents before children.
    DepthFirst Walk() const;
    // The deepest nesting below the files (objects a file holds are at 1).
    std::size_t Depth() const;

    // Objects as people look for them: a quid; a qualified name (A::B::C);
    // a simple name anywhere in the model; or a pattern with * and ? over
    // simple names, or over qualified names when it holds "::". Model
    // elements only, not their views on diagrams; in walking order.
    std::vector<const ClumVellumEntity*> Find(std::string_view what) const;
    const ClumVellumEntity* FindByQuid(std::string_view quid) const;
    std::vector<const ClumVellumEntity*> FindByQualifiedName(std::string_view name) const;
    // The references bound to `target`.
    std::vector<const IlumReference*> Referrers(const ClumVellumEntity* target) const;

    // Objects per class keyword; with diagramsOnly, the diagrams per kind.
    std::map<std::string, std::size_t> CountByClass(bool diagramsOnly = false) const;
    ReferenceSummary References() const;
    // Every reference value in walking order (only the unbound ones, but
    // not the empty ones, when unboundOnly).
    std::vector<ReferenceValue> ReferenceValues(bool unboundOnly = false) const;

    // What a layer above derives from this model once and keeps with it, such
    // as the UML view (uml::View::Of in lum/uml/view.h). The first call with a
    // given `make` builds the object; later calls return the same one. It
    // goes with the model, before the objects it may point into.
    using Derivation = std::shared_ptr<const void> (*)(const Model& model);
    const void* Derived(Derivation make) const;

    // The names of the object and its named ancestors, top down, joined by
    // "::", designs left out: what FindByQualifiedName takes.
    static std::string PathOf(const ClumVellumEntity* entity);

    struct Impl;

private:
    explicit Model(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace lum
LUM_API_END
