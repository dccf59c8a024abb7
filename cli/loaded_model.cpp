#include "loaded_model.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "output.h"
#include "progress.h"

namespace lumcli {

namespace {

namespace fs = std::filesystem;

// Keeps, beside each error, the file the reader was in when it came.
class tFileNotingErrorList : public lum::tErrorList {
public:
    explicit tFileNotingErrorList(std::vector<tDiagnostic>& out) : m_out(out) {}
    bool OnErrorAdded(const lum::tError& error) override {
        m_out.push_back({lum::ClumParser::GetCurrentFileName(), error});
        return false;
    }

private:
    std::vector<tDiagnostic>& m_out;
};

fs::path LocalPath(const std::wstring& stored) {
    std::string path = Utf8(stored);
    std::replace(path.begin(), path.end(), '\\', '/');
    return fs::path(path);
}

// 65001 when the whole file is valid UTF-8, else 1252. The file is read in
// blocks; a character cut by a block's end is carried into the next block.
unsigned DetectCodePage(const std::string& file) {
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
        if (!lum::IsValidUtf8(bytes.data(), complete)) return 1252;
        carry = bytes.substr(complete);
    }
    return 65001;
}

const lum::ClumVellumFile* FileAbove(const lum::ClumVellumEntity* entity) {
    for (; entity != nullptr; entity = entity->Owner()) {
        if (entity->GetMetaClass().IsKindOf(&lum::ClumVellumFile::StaticGetMetaClass())) {
            return static_cast<const lum::ClumVellumFile*>(entity);
        }
    }
    return nullptr;
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

}  // namespace

tLoadedModel::~tLoadedModel() {
    m_nameResolver.ClearCaches();
    for (lum::ClumVellumFile* file : m_files) delete file;
    if (m_bInitialized) lum::FinalizeLUM();
}

bool tLoadedModel::Load(const tOptions& options, std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<lum::WString> mainFiles;
    for (const std::string& file : options.operands) {
        std::ifstream probe(file, std::ios::binary);
        if (!probe.is_open()) {
            error = "cannot open model file '" + file + "'";
            return false;
        }
        mainFiles.push_back(FromUtf8(file));
    }
    for (const std::string& map : options.pathMaps) {
        if (!std::ifstream(map).is_open()) {
            error = "cannot open path map '" + map + "'";
            return false;
        }
    }

    lum::InitializeLUM();
    m_bInitialized = true;
    if (options.codePage) {
        m_nCodePage = *options.codePage;
    } else {
        m_bDetected = true;
        m_nCodePage = 65001;
        for (const std::string& file : options.operands) {
            if (DetectCodePage(file) != 65001) m_nCodePage = 1252;
        }
    }
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

    for (lum::ClumUnitObject* stub : stubs) {
        const lum::ClumVellumFile* holder = FileAbove(stub);
        const lum::WString holderName = holder ? holder->fileName.Get() : lum::WString();
        paths.SetRootDir(holderName);
        const lum::WString resolved = paths.ResolvePath(stub->file_name.Get(), stub);
        m_missing.push_back({lum::ClumUtilityFunctions::GetName(stub).c_str(), stub->file_name.Get(), resolved, holderName});
    }

    progress.SetLabel("binding references");
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    for (lum::ClumVellumFile* file : m_files) m_nameResolver.CollectAndBind(file, m_unresolved);
    lum::CErrorReporter::GetInstance().ResetReporter();

    std::set<std::wstring> read;
    for (const lum::WString& file : mainFiles) read.insert(file);
    for (const lum::ClumVellumEntity* entity : Objects()) {
        if (!entity->GetMetaClass().IsKindOf(&lum::ClumUnitObject::StaticGetMetaClass())) continue;
        const auto* unit = static_cast<const lum::ClumUnitObject*>(entity);
        if (unit->is_loaded.Get() && !unit->file_name.IsEmpty() && read.insert(unit->file_name.Get()).second) {
            ++m_nUnitFiles;
        }
    }
    for (const std::wstring& file : read) {
        std::error_code ignored;
        const std::uintmax_t size = fs::file_size(LocalPath(file), ignored);
        if (!ignored) m_bytes += size;
    }
    m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return true;
}

bool tLoadedModel::HasErrors() const {
    if (!m_missing.empty()) return true;
    return std::any_of(m_diagnostics.begin(), m_diagnostics.end(),
                       [](const tDiagnostic& d) { return d.error.severity >= lum::tError::Error; });
}

std::vector<const lum::ClumVellumEntity*> tLoadedModel::Objects() const {
    tCollector collector;
    for (lum::ClumVellumFile* file : m_files) {
        collector.Visit(file);
    }
    std::vector<const lum::ClumVellumEntity*> objects;
    for (const lum::ClumVellumEntity* entity : collector.objects) {
        if (!entity->GetMetaClass().IsKindOf(&lum::ClumVellumFile::StaticGetMetaClass())) objects.push_back(entity);
    }
    return objects;
}

tReferenceCounts tLoadedModel::CountReferences() const {
    tReferenceCounts counts;
    for (const lum::ClumVellumEntity* entity : Objects()) {
        for (const lum::ClumMetaFeature* feature : entity->GetMetaClass().m_allFeatures) {
            if (feature->GetKind() != lum::ClumMetaFeature::eReference) continue;
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
