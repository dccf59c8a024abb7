// lum diff OLD NEW: what changed between two versions of a model. Both are
// loaded with the same options. Exit status as diff(1): 0 the same, 1
// different, 2 a model that cannot be read (with --strict also one with
// errors or a missing unit file). Called by git as an external
// diff driver (seven arguments) it answers 0 for differences too, since git
// stops at a driver that fails. "/dev/null" (git's side of an added or
// deleted file) stands for an empty model.

#include <future>
#include <optional>

#include "commands.h"
#include "progress.h"

namespace lumcli {

namespace {

// One version: a loaded model, or nothing for /dev/null.
struct tVersion {
    std::optional<lum::Model> model;
    std::optional<lum::uml::View> empty;

    const lum::uml::View& View() const { return model ? lum::uml::View::Of(*model) : *empty; }
};

// Loads one version and builds its view; false when it cannot be read.
bool LoadVersion(const std::string& path, const tOptions& options, tVersion& version) {
    if (path == "/dev/null") {
        version.empty.emplace(lum::uml::View::Build({}));
        return true;
    }
    version.model.emplace(lum::Model::Load({path}, options.load));
    if (!*version.model) return false;
    lum::uml::View::Of(*version.model);
    return true;
}

// False, after the diagnostics, for a version that cannot be read, or,
// with --strict, that has errors or a missing unit file.
bool Report(bool loaded, const tVersion& version, const tOptions& options) {
    if (loaded && !(options.load.strict && version.model && version.model->HasErrors())) return true;
    for (const lum::Diagnostic& diagnostic : version.model->Diagnostics())
        if (!loaded || diagnostic.severity >= lum::tError::Error)
            std::cerr << "lum: " << lum::FormatDiagnostic(diagnostic) << '\n';
    return false;
}

}  // namespace

int RunDiff(const tOptions& options, std::ostream& out) {
    // The two versions load side by side, each with its UML view.
    tVersion before, after;
    bool beforeLoaded = false, afterLoaded = false;
    {
        const tProgress progress("loading " + options.models[0] + " and " + options.models[1]);
        auto loading = std::async(std::launch::async, [&] { return LoadVersion(options.models[0], options, before); });
        afterLoaded = LoadVersion(options.models[1], options, after);
        beforeLoaded = loading.get();
    }
    if (!Report(beforeLoaded, before, options) || !Report(afterLoaded, after, options)) return 2;
    const lum::diff::Options diffOptions{.withLayout = options.withLayout, .layoutTolerance = options.layoutTolerance};
    const std::vector<lum::diff::Change> changes = [&] {
        const tProgress progress("comparing");
        return lum::diff::Compare(before.View(), after.View(), diffOptions);
    }();
    bool written = false;
    if (options.format == tFormat::Json) {
        written = lum::diff::WriteJson(changes, out);
    } else {
        if (!options.diffPath.empty() && !changes.empty()) out << "lum diff " << options.diffPath << '\n';
        written = lum::diff::WriteText(changes, out);
    }
    if (!written) return CannotWrite(options);
    return changes.empty() || !options.diffPath.empty() ? 0 : 1;
}

}  // namespace lumcli
