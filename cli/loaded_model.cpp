#include "loaded_model.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <unordered_map>

#include "deep_stack.h"
#include "output.h"
#include "progress.h"

namespace lumcli {

namespace {

namespace fs = std::filesystem;

// A stored or resolved path (backslashes between directories) as this
// system writes it.
fs::path LocalPath(const std::wstring& stored) {
    std::string path = Utf8(stored);
    std::replace(path.begin(), path.end(), '\\', '/');
    return fs::path(path);
}

std::wstring LocalName(const std::wstring& path) { return FromUtf8(LocalPath(path).string()); }

// Keeps, beside each error, the file the reader was in when it came.
class tFileNotingErrorList : public lum::tErrorList {
public:
    explicit tFileNotingErrorList(std::vector<tDiagnostic>& out) : m_out(out) {}
    bool OnErrorAdded(const lum::tError& error) override {
        m_out.push_back({LocalName(lum::ClumParser::GetCurrentFileName()), error});
        return false;
    }

private:
    std::vector<tDiagnostic>& m_out;
};


enum class tTextKind { Ascii, Utf8, Other };

// Whether the file is plain ASCII, valid UTF-8 with characters beyond ASCII,
// or neither. The file is read in blocks; a character cut by a block's end
// is carried into the next block.
tTextKind KindOfText(const std::string& file) {
    bool beyondAscii = false;
    std::ifstream in(file, std::ios::binary);
    std::vector<char> block(1 << 20);
    std::string carry;
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        std::string bytes = carry;
        bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
        std::size_t complete = bytes.size();
        // Back up over a character that may go on in the next block.
        for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
            const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
            if ((byte & 0xC0) == 0x80) continue;
            if (byte >= 0xC0) complete = bytes.size() - back;
            break;
        }
        if (!in) complete = bytes.size();
        if (!lum::IsValidUtf8(bytes.data(), complete)) return tTextKind::Other;
        beyondAscii = beyondAscii || std::any_of(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(complete),
                                                 [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        carry = bytes.substr(complete);
    }
    return beyondAscii ? tTextKind::Utf8 : tTextKind::Ascii;
}

// The Windows code page of a header's character set number.
unsigned CodePageOfCharSet(long charSet) {
    switch (charSet) {
        case 0: return 1252;
        case 128: return 932;
        case 129: return 949;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        default: return 0;
    }
}

// The "charSet" that the header object at the start of the file declares,
// or -1. Only the first 64 KB are looked at: the header comes first.
long HeaderCharSet(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string head(1 << 16, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    const std::size_t header = head.find("Vellum");
    if (header == std::string::npos) return -1;
    const std::size_t end = head.find(')', header);
    const std::size_t key = head.find("charSet", header);
    if (key == std::string::npos || key > end) return -1;
    std::size_t digits = key + 7;
    while (digits < head.size() && std::isspace(static_cast<unsigned char>(head[digits]))) ++digits;
    long value = 0;
    bool any = false;
    for (; digits < head.size() && std::isdigit(static_cast<unsigned char>(head[digits])); ++digits, any = true) {
        value = value * 10 + (head[digits] - '0');
        if (value > 100000) return -1;
    }
    return any ? value : -1;
}

// The file an object was read from: the nearest loaded unit above it (its
// file name is the file it came from) or else the main file that holds it.
lum::WString HoldingFile(const lum::ClumVellumEntity* entity) {
    for (entity = entity ? entity->Owner() : nullptr; entity != nullptr; entity = entity->Owner()) {
        const lum::ClumMetaClass& metaClass = entity->GetMetaClass();
        if (metaClass.IsKindOf(&lum::ClumUnitObject::StaticGetMetaClass())) {
            const auto* unit = static_cast<const lum::ClumUnitObject*>(entity);
            if (unit->is_loaded.Get() && !unit->file_name.IsEmpty()) return unit->file_name.Get();
        }
        if (metaClass.IsKindOf(&lum::ClumVellumFile::StaticGetMetaClass())) {
            return static_cast<const lum::ClumVellumFile*>(entity)->fileName.Get();
        }
    }
    return lum::WString();
}

// Whether `file` is one the stub was found through: the file that holds it
// or one further out. Loading it again would bring the stub back, forever
// when two unit files hold each other.
bool IsOnTheWay(const lum::ClumUnitObject* stub, const fs::path& file) {
    for (const lum::ClumVellumEntity* entity = stub->Owner(); entity != nullptr; entity = entity->Owner()) {
        const lum::ClumMetaClass& metaClass = entity->GetMetaClass();
        lum::WString name;
        if (metaClass.IsKindOf(&lum::ClumUnitObject::StaticGetMetaClass())) {
            const auto* unit = static_cast<const lum::ClumUnitObject*>(entity);
            if (unit->is_loaded.Get()) name = unit->file_name.Get();
        } else if (metaClass.IsKindOf(&lum::ClumVellumFile::StaticGetMetaClass())) {
            name = static_cast<const lum::ClumVellumFile*>(entity)->fileName.Get();
        }
        std::error_code failed;
        if (!name.empty() && fs::equivalent(LocalPath(name), file, failed)) return true;
    }
    return false;
}

// Collects every object below the roots.
class tCollector : public lum::TlumNonRecursiveMetaVisitor<lum::ClumVellumEntity> {
public:
    std::vector<const lum::ClumVellumEntity*> objects;

protected:
    bool OnVisit(lum::ClumVellumEntity* entity) override {
        objects.push_back(entity);
        return true;
    }
};

// The deepest nesting below the files: the objects a file holds directly
// are at level 1. Walked with a stack of its own, whatever the depth.
std::size_t NestingDepthOf(const std::vector<lum::ClumVellumFile*>& files) {
    std::size_t deepest = 0;
    std::vector<std::pair<const lum::ClumVellumEntity*, std::size_t>> stack;
    for (const lum::ClumVellumFile* file : files) stack.emplace_back(file, 0);
    while (!stack.empty()) {
        const auto [entity, level] = stack.back();
        stack.pop_back();
        deepest = std::max(deepest, level);
        auto* owner = const_cast<lum::ClumVellumEntity*>(entity);
        for (const lum::ClumMetaFeature* link : entity->GetMetaClass().m_linkFeatures) {
            for (int i = 0; i < link->m_pfnLinkSize(owner); ++i) stack.emplace_back(link->m_pfnLinkGetAt(owner, i), level + 1);
        }
    }
    return deepest;
}

}  // namespace

tLoadedModel::~tLoadedModel() {
    m_nameResolver.ClearCaches();
    for (lum::ClumVellumFile* file : m_files) delete file;
    if (m_bInitialized) lum::FinalizeLUM();
}

bool tLoadedModel::Load(const tOptions& options, std::size_t maxDepth, std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    // Main files are named by absolute paths, so that "&" (the directory of
    // the file being read) means something however a file was given.
    std::vector<lum::WString> mainFiles;
    for (const std::string& file : options.operands) {
        std::error_code failed;
        if (!fs::is_regular_file(file, failed) || !std::ifstream(file, std::ios::binary).is_open()) {
            error = "cannot open model file '" + file + "'";
            return false;
        }
        mainFiles.push_back(FromUtf8(fs::absolute(file, failed).lexically_normal().string()));
    }
    for (const std::string& map : options.pathMaps) {
        std::error_code failed;
        if (!fs::is_regular_file(map, failed) || !std::ifstream(map).is_open()) {
            error = "cannot open path map '" + map + "'";
            return false;
        }
    }

    lum::InitializeLUM();
    m_bInitialized = true;
    m_bStrict = options.strict;
    m_nCodePage = ChooseCodePage(options);
    lum::WString::SetLocalePage(m_nCodePage);
    // Multi-byte characters inside strings come out whole.
    lum::tVellumLexer::SetConvertTextsWhole(true);

    lum::ClumVirtualPathResolver paths;
    for (const std::string& map : options.pathMaps) paths.LoadFromFile(FromUtf8(map));
    for (const auto& [symbol, path] : options.symbols) paths.AddPath(FromUtf8(symbol), FromUtf8(path));
    if (paths.GetOriginalPaths().count(L"curdir") == 0) {
        std::error_code ignored;
        const fs::path directory = fs::absolute(fs::path(options.operands.front()), ignored).parent_path();
        paths.AddPath(L"CURDIR", FromUtf8(directory.string()));
    }

    tProgress progress("loading " + options.operands.front());
    tFileNotingErrorList errors(m_diagnostics);
    std::list<lum::ClumUnitObject*> stubs;
    lum::ClumManager::LoadModels(errors, mainFiles, m_files, stubs, paths, options.loadSubUnits);

    if (options.loadSubUnits) LoadMovedUnits(options, paths, stubs, errors);

    for (lum::ClumUnitObject* stub : options.loadSubUnits ? stubs : std::list<lum::ClumUnitObject*>()) {
        const lum::WString holderName = HoldingFile(stub);
        paths.SetRootDir(holderName);
        const lum::WString resolved = paths.ResolvePath(stub->file_name.Get(), stub);
        std::wstring undefined;
        std::vector<lum::WString> parts;
        lum::WString::Split(stub->file_name.Get(), parts, L"\\/");
        for (const lum::WString& part : parts) {
            if (part.size() > 1 && part[0] == L'$' && paths.GetOriginalPaths().count(part.substr(1)) == 0) {
                undefined = part.substr(1);
                break;
            }
        }
        // A symbol the map defines stays in the resolved path only when its
        // expansion leads back to itself.
        std::wstring cyclic;
        parts.clear();
        lum::WString::Split(resolved, parts, L"\\/");
        for (const lum::WString& part : parts) {
            if (part.size() > 1 && part[0] == L'$' && paths.GetOriginalPaths().count(part.substr(1)) != 0) {
                cyclic = part.substr(1);
                break;
            }
        }
        m_missing.push_back({lum::ClumUtilityFunctions::GetName(stub).c_str(), stub->file_name.Get(),
                             LocalName(resolved), LocalName(holderName), undefined, cyclic});
    }

    progress.SetLabel("binding references");
    const std::size_t depth = NestingDepthOf(m_files);
    if (depth > maxDepth) {
        error = "the model nests objects " + std::to_string(depth) + " levels deep; " + options.command +
                " indents every level and takes models up to " + std::to_string(maxDepth) +
                " deep: use 'lum export'";
        return false;
    }
    // Binding walks the model recursively, so it runs on a stack reserved
    // for the model's depth: the nesting of a file is not bounded.
    const std::size_t stack = StackForDepth(depth);
    const bool bound = RunWithStack(stack, [&] {
        lum::CErrorReporter::GetInstance().SetErrorList(errors);
        for (lum::ClumVellumFile* file : m_files) m_nameResolver.CollectAndBind(file, m_unresolved);
        lum::CErrorReporter::GetInstance().ResetReporter();
    });
    if (!bound) {
        error = "the model nests objects " + std::to_string(depth) + " levels deep; binding its references needs " +
                std::to_string(stack >> 20) + " MB of stack, which the system does not give";
        return false;
    }

    std::set<std::wstring> read;
    for (const lum::WString& file : mainFiles) {
        if (read.insert(file).second) m_filesRead.push_back(file);
    }
    m_nMainFiles = m_filesRead.size();
    for (const lum::ClumVellumEntity* entity : Objects()) {
        if (!entity->GetMetaClass().IsKindOf(&lum::ClumUnitObject::StaticGetMetaClass())) continue;
        const auto* unit = static_cast<const lum::ClumUnitObject*>(entity);
        if (unit->is_loaded.Get() && !unit->file_name.IsEmpty() && read.insert(unit->file_name.Get()).second) {
            m_filesRead.push_back(FromUtf8(LocalPath(unit->file_name.Get()).string()));
            ++m_nUnitFiles;
        }
    }
    for (const std::wstring& file : m_filesRead) {
        std::error_code ignored;
        const std::uintmax_t size = fs::file_size(LocalPath(file), ignored);
        if (!ignored) m_bytes += size;
    }
    m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return true;
}

unsigned tLoadedModel::ChooseCodePage(const tOptions& options) {
    if (options.codePage) return *options.codePage;
    m_bDetected = true;
    unsigned page = 0;
    std::wstring reason;
    // UTF-8 text beyond ASCII decides for UTF-8. Otherwise the header's
    // character set names the page; plain ASCII that declares none is read
    // as UTF-8 (the same for its own bytes, and right for UTF-8 units).
    const std::string& main = options.operands.front();
    tTextKind kind = tTextKind::Ascii;
    for (const std::string& file : options.operands) {
        const tTextKind fileKind = KindOfText(file);
        if (fileKind == tTextKind::Other || kind == tTextKind::Ascii) kind = fileKind;
    }
    if (kind == tTextKind::Utf8) {
        page = 65001;
        reason = L"its bytes are valid UTF-8";
    } else {
        const long charSet = HeaderCharSet(main);
        const unsigned declared = charSet >= 0 ? CodePageOfCharSet(charSet) : 0;
        if (declared != 0) {
            page = declared;
            reason = L"its header declares charSet " + std::to_wstring(charSet);
        } else if (kind == tTextKind::Ascii) {
            page = 65001;
            reason = L"it is plain ASCII and declares no known charSet";
        } else {
            page = 1252;
            reason = L"it is not UTF-8 and declares no known charSet";
        }
    }
    lum::WString message;
    message.Format(L"Reading the model as code page %d: %s (override with --codepage N)", static_cast<int>(page),
                   reason.c_str());
    m_diagnostics.push_back({FromUtf8(main), lum::tError(lum::tErrorSubject(), lum::tError::Information, message)});
    return page;
}

void tLoadedModel::LoadMovedUnits(const tOptions& options, lum::ClumVirtualPathResolver& paths,
                                  std::list<lum::ClumUnitObject*>& stubs, lum::tErrorList& errors) {
    bool progress = true;
    while (progress) {
        progress = false;
        for (auto it = stubs.begin(); it != stubs.end();) {
            lum::ClumUnitObject* stub = *it;
            const lum::WString holder = HoldingFile(stub);
            const fs::path holderDir = LocalPath(holder).parent_path();
            const lum::WString stored = stub->file_name.Get();
            paths.SetRootDir(holder);
            const fs::path resolved = LocalPath(paths.ResolvePath(stored, stub));
            // Next to the holding file, then by its file name there and in
            // each search directory.
            std::vector<fs::path> candidates;
            if (resolved.is_relative()) candidates.push_back(holderDir / resolved);
            std::vector<lum::WString> parts;
            lum::WString::Split(stored, parts, L"\\/");
            if (!parts.empty()) {
                const fs::path name = LocalPath(parts.back());
                candidates.push_back(holderDir / name);
                for (const std::string& dir : options.searchDirs) candidates.push_back(fs::path(dir) / name);
            }
            lum::WString found;
            bool located = false;
            for (const fs::path& candidate : candidates) {
                if (lum::FindExistingFile(FromUtf8(candidate.string()), found) && !IsOnTheWay(stub, LocalPath(found))) {
                    located = true;
                    break;
                }
            }
            if (!located) {
                ++it;
                continue;
            }
            lum::WString note;
            note.Format(L"Unit '%s' (stored as '%s') found at '%s'", lum::ClumUtilityFunctions::GetName(stub).c_str(),
                        stored.c_str(), found.c_str());
            m_diagnostics.push_back({LocalName(holder), lum::tError(lum::tErrorSubject(), lum::tError::Information, note)});
            stub->file_name.Set(found);
            std::list<lum::ClumUnitObject*> one{stub};
            lum::ClumManager::LoadSubUnits(errors, one, paths);
            const bool loaded = std::find(one.begin(), one.end(), stub) == one.end();
            one.remove(stub);
            if (!loaded) {
                stub->file_name.Set(stored);  // not readable after all: as it was
                ++it;
                continue;
            }
            it = stubs.erase(it);
            // Stubs of the loaded file that were not found where stored get
            // their own turn.
            stubs.splice(stubs.end(), one);
            progress = true;
        }
    }
}

bool tLoadedModel::IsMainFile(const std::wstring& path) const {
    return std::find(m_filesRead.begin(), m_filesRead.begin() + static_cast<std::ptrdiff_t>(m_nMainFiles), path) !=
           m_filesRead.begin() + static_cast<std::ptrdiff_t>(m_nMainFiles);
}

bool tLoadedModel::HasErrors() const {
    if (m_bStrict && !m_missing.empty()) return true;
    return std::any_of(m_diagnostics.begin(), m_diagnostics.end(),
                       [](const tDiagnostic& d) { return d.error.severity >= lum::tError::Error; });
}

const std::vector<const lum::ClumVellumEntity*>& tLoadedModel::Objects() const {
    if (m_bObjectsGathered) return m_objects;
    m_bObjectsGathered = true;
    tCollector collector;
    for (lum::ClumVellumFile* file : m_files) {
        collector.Visit(file);
    }
    for (const lum::ClumVellumEntity* entity : collector.objects) {
        if (!entity->GetMetaClass().IsKindOf(&lum::ClumVellumFile::StaticGetMetaClass())) m_objects.push_back(entity);
    }
    return m_objects;
}

std::map<std::wstring, std::size_t> tLoadedModel::CountByClass(bool diagramsOnly) const {
    std::unordered_map<const lum::ClumMetaClass*, std::size_t> byClass;
    for (const lum::ClumVellumEntity* entity : Objects()) ++byClass[&entity->GetMetaClass()];
    std::map<std::wstring, std::size_t> counts;
    for (const auto& [metaClass, count] : byClass) {
        if (diagramsOnly && !metaClass->IsKindOf(&lum::ClumDiagram::StaticGetMetaClass())) continue;
        counts[metaClass->GetName().c_str()] += count;
    }
    return counts;
}

tReferenceCounts tLoadedModel::CountReferences() const {
    tReferenceCounts counts;
    std::unordered_map<const lum::ClumMetaClass*, std::vector<const lum::ClumMetaFeature*>> referencesOf;
    for (const lum::ClumVellumEntity* entity : Objects()) {
        const lum::ClumMetaClass& metaClass = entity->GetMetaClass();
        auto [found, added] = referencesOf.try_emplace(&metaClass);
        if (added) {
            for (const lum::ClumMetaFeature* feature : metaClass.m_allFeatures) {
                if (feature->GetKind() == lum::ClumMetaFeature::eReference) found->second.push_back(feature);
            }
        }
        for (const lum::ClumMetaFeature* feature : found->second) {
            const lum::IlumFeature* member = feature->m_pfnGetFeature(const_cast<lum::ClumVellumEntity*>(entity));
            const lum::IlumReference* reference = member->GetReference();
            const int count = reference->GetCount();
            for (int i = 0; i < count; ++i) {
                ++counts.values;
                if (reference->GetTarget(reference->IsSingle() ? -1 : i) != nullptr) ++counts.bound;
            }
        }
    }
    return counts;
}

std::size_t tLoadedModel::AmbiguousReferences() const {
    return static_cast<std::size_t>(std::count_if(m_diagnostics.begin(), m_diagnostics.end(), [](const tDiagnostic& d) {
        return d.error.message.starts_with(L"Name resolution: several matches");
    }));
}

std::wstring PathOf(const lum::ClumVellumEntity* entity) {
    std::vector<const lum::ClumVellumEntity*> chain;
    for (; entity != nullptr; entity = entity->Owner()) chain.push_back(entity);
    std::wstring path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        // As the name index has it: designs do not take part in paths.
        if (!lum::ClumUtilityFunctions::HasName(*it) ||
            (*it)->GetMetaClass().IsKindOf(&lum::ClumDesign::StaticGetMetaClass())) {
            continue;
        }
        if (!path.empty()) path += L"::";
        path += lum::ClumUtilityFunctions::GetName(*it).c_str();
    }
    return path;
}

std::string FormatDiagnostic(const tDiagnostic& diagnostic) {
    const lum::tError& error = diagnostic.error;
    std::string line;
    if (!diagnostic.file.empty()) {
        line = Utf8(diagnostic.file) + ":";
        if (error.subject.line != 0) line += std::to_string(error.subject.line) + ":";
        line += " ";
    } else if (error.subject.line != 0) {
        line = "line " + std::to_string(error.subject.line) + ": ";
    }
    line += Utf8(lum::tError::ToString(error.severity));
    line += ": " + Utf8(error.message);
    const bool lineOnly = error.subject.entity == nullptr && error.subject.metaClass == nullptr &&
                          error.subject.metaFeature == nullptr;
    if (!lineOnly) line += " [" + Utf8(error.subject.ToString()) + "]";
    return line;
}

}  // namespace lumcli
