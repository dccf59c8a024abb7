// Loading a model: inputs checked, code page chosen, files read with their
// units, references bound, and everything reported kept as diagnostics.

#include "lum/document/model.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>

#include "lum/diagnostics/reporter.h"
#include "lum/loading/manager.h"
#include "lum/meta/lifetime.h"
#include "lum/model/classes.h"
#include "lum/reader/parser.h"
#include "lum/reader/vellum_lexer.h"
#include "lum/text/utf8.h"
#include "document/model_impl.h"

namespace lum {

namespace fs = std::filesystem;

namespace {

// Turns each error into a diagnostic that names the file being read.
class tDiagnosticList : public tErrorList {
public:
    explicit tDiagnosticList(Model::Impl& model) : m_model(model) {}
    bool OnErrorAdded(const tError& error) override {
        const WString& file = ClumParser::GetCurrentFileName();
        m_model.diagnostics.push_back(Diagnostic::From(error, file.empty() ? std::string() : m_model.DisplayName(file)));
        return false;
    }

private:
    Model::Impl& m_model;
};

// The calling thread's settings while it reads and binds this model: its
// error list, its code page, and texts converted whole (so characters of
// several bytes come out right inside strings). Cleared however it ends.
class tThreadSettings {
public:
    tThreadSettings(tErrorList& errors, unsigned codePage) {
        CErrorReporter::GetInstance().SetErrorList(errors);
        WString::SetThreadLocalePage(codePage);
        tVellumLexer::SetThreadConvertTextsWhole(true);
    }
    ~tThreadSettings() {
        CErrorReporter::GetInstance().ResetReporter();
        WString::SetThreadLocalePage(0);
        tVellumLexer::ClearThreadConvertTextsWhole();
    }
    tThreadSettings(const tThreadSettings&) = delete;
    tThreadSettings& operator=(const tThreadSettings&) = delete;
};

bool Readable(const fs::path& file) {
    std::error_code failed;
    return fs::is_regular_file(file, failed) && std::ifstream(file, std::ios::binary).is_open();
}

}  // namespace

Model::Impl::~Impl() {
    derived.clear();  // it may point into the objects
    resolver.ClearCaches();
    for (ClumVellumFile* file : files) delete file;
    if (initialized) FinalizeLUM();
}

void Model::Impl::Add(diag::Code code, tError::Severity severity, std::string file, std::string message) {
    Diagnostic diagnostic;
    diagnostic.code = code;
    diagnostic.severity = severity;
    diagnostic.file = std::move(file);
    diagnostic.message = std::move(message);
    diagnostics.push_back(std::move(diagnostic));
}

std::string Model::Impl::DisplayName(const std::wstring& name) const {
    const fs::path path = LocalPath(name);
    std::error_code failed;
    const fs::path absolute = fs::absolute(path, failed).lexically_normal();
    for (std::size_t i = 0; i < mains.size(); ++i) {
        if (absolute == mains[i]) return given[i];
    }
    for (std::size_t i = 0; i < mains.size(); ++i) {
        const fs::path relative = absolute.lexically_relative(mains[i].parent_path());
        if (relative.empty() || *relative.begin() == "..") continue;
        return (fs::path(given[i]).parent_path() / relative).lexically_normal().string();
    }
    return absolute.string();
}

bool Model::Impl::CheckInputs() {
    for (const std::string& file : given) {
        if (!Readable(file)) {
            Add(diag::FileNotReadable, tError::FatalError, file, "cannot open model file '" + file + "'");
            return false;
        }
    }
    for (const std::string& map : options.pathMaps) {
        if (!Readable(map)) {
            Add(diag::FileNotReadable, tError::FatalError, map, "cannot open path map '" + map + "'");
            return false;
        }
    }
    return !given.empty();
}

void Model::Impl::FillPathMap(ClumVirtualPathResolver& paths) const {
    for (const std::string& map : options.pathMaps) paths.LoadFromFile(FromUtf8(map));
    for (const auto& [symbol, path] : options.symbols) paths.AddPath(FromUtf8(symbol), FromUtf8(path));
    if (paths.GetOriginalPaths().count(L"curdir") == 0) {
        paths.AddPath(L"CURDIR", FromUtf8(mains.front().parent_path().string()));
    }
}

std::vector<const ClumUnitObject*> Model::Impl::Survey() {
    std::vector<const ClumUnitObject*> units;
    for (const DepthFirst::Step& step : DepthFirst(files)) {
        depth = std::max(depth, step.depth);
        const ClumMetaClass& metaClass = step.entity->GetMetaClass();
        if (step.depth > 0) {
            const unsigned index = metaClass.GetIndex();
            if (index >= perClass.size()) perClass.resize(index + 1);
            perClass[index].first = &metaClass;
            ++perClass[index].second;
        }
        if (!metaClass.IsKindOf(&ClumUnitObject::StaticGetMetaClass())) continue;
        const auto* unit = static_cast<const ClumUnitObject*>(step.entity);
        if (unit->is_loaded.Get() && !unit->file_name.IsEmpty()) units.push_back(unit);
    }
    return units;
}

void Model::Impl::ListFilesRead(const std::vector<const ClumUnitObject*>& units) {
    std::set<fs::path> seen;
    for (std::size_t i = 0; i < mains.size(); ++i) {
        if (seen.insert(mains[i]).second) filesRead.push_back({given[i], mains[i].string(), true, 0});
    }
    for (const ClumUnitObject* unit : units) {
        std::error_code failed;
        const fs::path path = fs::absolute(LocalPath(unit->file_name.Get()), failed).lexically_normal();
        if (seen.insert(path).second) filesRead.push_back({DisplayName(unit->file_name.Get()), path.string(), false, 0});
    }
    for (LoadedFile& file : filesRead) {
        std::error_code failed;
        const std::uintmax_t size = fs::file_size(file.path, failed);
        file.bytes = failed ? 0 : size;
        bytes += file.bytes;
    }
}

Model Model::Load(const std::vector<std::string>& paths, const LoadOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    auto impl = std::make_unique<Impl>();
    impl->options = options;
    impl->given = paths;
    for (const std::string& file : paths) {
        std::error_code failed;
        impl->mains.push_back(fs::absolute(file, failed).lexically_normal());
    }
    if (!impl->CheckInputs()) return Model(std::move(impl));

    InitializeLUM();
    impl->initialized = true;
    impl->ChooseCodePage();
    tDiagnosticList errors(*impl);
    const tThreadSettings settings(errors, impl->codePage);

    ClumVirtualPathResolver resolver;
    impl->FillPathMap(resolver);
    // Main files are named by absolute paths, so that "&" (the directory of
    // the file being read) means something however a file was given.
    std::vector<WString> mainFiles;
    for (const fs::path& main : impl->mains) mainFiles.push_back(FromUtf8(main.string()));
    std::list<ClumUnitObject*> stubs;
    ClumManager::LoadModels(errors, mainFiles, impl->files, stubs, resolver, options.loadSubUnits, options.threads);
    if (options.loadSubUnits) {
        impl->LoadMovedUnits(resolver, stubs, errors);
    }

    // LoadModels hands the reporter back empty: binding reports here too.
    CErrorReporter::GetInstance().SetErrorList(errors);
    impl->resolver.SetThreads(options.threads);
    // The survey of the tree reads nothing that binding writes: with a
    // second thread it is made while references are bound.
    std::future<std::vector<const ClumUnitObject*>> survey;
    if (options.threads != 1) survey = std::async(std::launch::async, [&] { return impl->Survey(); });
    for (ClumVellumFile* file : impl->files) impl->resolver.CollectAndBind(file, impl->unresolved);
    const std::vector<const ClumUnitObject*> units = survey.valid() ? survey.get() : impl->Survey();
    if (options.loadSubUnits) impl->NoteMissingUnits(resolver, stubs);

    impl->ListFilesRead(units);
    impl->loaded = true;
    impl->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return Model(std::move(impl));
}

Model::Model(std::unique_ptr<Impl> impl) : m_pImpl(std::move(impl)) {}
Model::Model(Model&&) noexcept = default;
Model& Model::operator=(Model&&) noexcept = default;
Model::~Model() = default;

bool Model::Loaded() const { return m_pImpl->loaded; }

bool Model::HasErrors() const {
    if (!m_pImpl->loaded) return true;
    if (m_pImpl->options.strict && !m_pImpl->missing.empty()) return true;
    return std::any_of(m_pImpl->diagnostics.begin(), m_pImpl->diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity >= tError::Error; });
}

const std::vector<Diagnostic>& Model::Diagnostics() const { return m_pImpl->diagnostics; }
std::span<const ClumVellumFile* const> Model::Files() const { return m_pImpl->files; }
const std::vector<LoadedFile>& Model::FilesRead() const { return m_pImpl->filesRead; }
const std::vector<MissingUnit>& Model::MissingUnits() const { return m_pImpl->missing; }
const LoadOptions& Model::Options() const { return m_pImpl->options; }
unsigned Model::CodePage() const { return m_pImpl->codePage; }
bool Model::CodePageDetected() const { return m_pImpl->detected; }
const std::string& Model::CodePageReason() const { return m_pImpl->reason; }
double Model::Seconds() const { return m_pImpl->seconds; }
std::uintmax_t Model::Bytes() const { return m_pImpl->bytes; }
std::size_t Model::Depth() const { return m_pImpl->depth; }
DepthFirst Model::Walk() const { return DepthFirst(m_pImpl->files); }

const void* Model::Derived(Derivation make) const {
    for (const auto& [maker, object] : m_pImpl->derived) {
        if (maker == make) return object.get();
    }
    std::shared_ptr<const void> object = make(*this);
    return m_pImpl->derived.emplace_back(make, std::move(object)).second.get();
}

}  // namespace lum
