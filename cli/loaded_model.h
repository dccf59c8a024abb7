#pragma once
// A model as the tool works on it: the main files read with their
// sub-units, every reference bound, and every diagnostic kept with the file
// it came from.

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include <lum/lum.h>

#include "options.h"

namespace lumcli {

struct tDiagnostic {
    std::wstring file;  // the file being read when it was reported, if any
    lum::tError error;
};

struct tMissingUnit {
    std::wstring name;      // the unit's name
    std::wstring stored;    // its path as the model stores it
    std::wstring resolved;  // the path that was tried
    std::wstring holder;    // the file that holds the stub
    std::wstring undefinedSymbol;  // a $SYMBOL of the stored path the map lacks
    std::wstring cyclicSymbol;     // a $SYMBOL the map defines but cannot expand: a cycle
};

struct tReferenceCounts {
    std::size_t values = 0;
    std::size_t bound = 0;
};

class tLoadedModel {
public:
    tLoadedModel() = default;
    tLoadedModel(const tLoadedModel&) = delete;
    tLoadedModel& operator=(const tLoadedModel&) = delete;
    ~tLoadedModel();

    // Reads and binds; false (with the reason) when an input cannot be read
    // or the model nests objects more than `maxDepth` levels deep.
    bool Load(const tOptions& options, std::size_t maxDepth, std::string& error);

    const std::vector<lum::ClumVellumFile*>& Files() const { return m_files; }
    const std::vector<tDiagnostic>& Diagnostics() const { return m_diagnostics; }
    const std::vector<tMissingUnit>& MissingUnits() const { return m_missing; }
    const std::vector<const lum::IlumReference*>& Unresolved() const { return m_unresolved; }
    lum::ClumNameResolver& Resolver() { return m_nameResolver; }
    unsigned CodePage() const { return m_nCodePage; }
    bool CodePageDetected() const { return m_bDetected; }
    bool Strict() const { return m_bStrict; }
    double Seconds() const { return m_seconds; }
    std::uintmax_t BytesRead() const { return m_bytes; }
    std::size_t UnitFilesLoaded() const { return m_nUnitFiles; }
    // The files read: the main files, then the unit files.
    const std::vector<std::wstring>& FilesRead() const { return m_filesRead; }
    bool IsMainFile(const std::wstring& path) const;

    // True when a diagnostic is an error or worse (with --strict, also when
    // a unit is missing).
    bool HasErrors() const;
    // Every object of the model (not the file objects), parents first.
    // Every object below the files, in walking order; gathered once.
    const std::vector<const lum::ClumVellumEntity*>& Objects() const;
    // The number of objects per class keyword, of every class or of the
    // kinds of diagram only.
    std::map<std::wstring, std::size_t> CountByClass(bool diagramsOnly = false) const;
    tReferenceCounts CountReferences() const;
    std::size_t AmbiguousReferences() const;

private:
    unsigned ChooseCodePage(const tOptions& options);
    // Loads the stubs whose files lie elsewhere than stored: next to the file
    // that holds them, or in a search directory.
    void LoadMovedUnits(const tOptions& options, lum::ClumVirtualPathResolver& paths,
                        std::list<lum::ClumUnitObject*>& stubs, lum::tErrorList& errors);

    std::vector<lum::ClumVellumFile*> m_files;
    mutable std::vector<const lum::ClumVellumEntity*> m_objects;
    mutable bool m_bObjectsGathered = false;
    std::vector<tDiagnostic> m_diagnostics;
    std::vector<tMissingUnit> m_missing;
    std::vector<const lum::IlumReference*> m_unresolved;
    lum::ClumNameResolver m_nameResolver;
    unsigned m_nCodePage = 1252;
    bool m_bDetected = false;
    bool m_bStrict = false;
    bool m_bInitialized = false;
    double m_seconds = 0;
    std::uintmax_t m_bytes = 0;
    std::size_t m_nUnitFiles = 0;
    std::vector<std::wstring> m_filesRead;
    std::size_t m_nMainFiles = 0;
};

// The names of the object and its named ancestors, top down, joined by "::"
// (designs left out, as in name lookups): what `lum find` takes.
std::wstring PathOf(const lum::ClumVellumEntity* entity);
// "file:line: Severity: message [subject]", the parts that are known.
std::string FormatDiagnostic(const tDiagnostic& diagnostic);

}  // namespace lumcli
