// lum check: every diagnostic, then a summary of what was read and bound.

#include <cstdio>

#include <lum/json/export.h>

#include "commands.h"

namespace lumcli {

namespace {

void WriteJson(const lum::Model& model, std::ostream& out) {
    const lum::ReferenceSummary references = model.References();
    lum::JsonWriter json(out);
    json.BeginObject();
    json.Member("format", "lum-check/1");
    json.Member("codePage", static_cast<long long>(model.CodePage()));
    lum::json::WriteDiagnostics(model, json);
    json.Key("files");
    json.BeginObject();
    json.Member("main", static_cast<long long>(model.Files().size()));
    json.Member("unitsLoaded", static_cast<long long>(model.FilesRead().size() - model.Files().size()));
    json.Key("unitsMissing");
    json.BeginArray();
    for (const lum::MissingUnit& missing : model.MissingUnits()) {
        json.BeginObject();
        json.Member("unit", missing.unit);
        json.Member("stored", missing.stored);
        json.Member("resolved", missing.resolved);
        json.Member("in", missing.holder);
        json.Member("undefinedSymbol", missing.undefinedSymbol);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.Key("objects");
    json.BeginObject();
    for (const auto& [name, count] : model.CountByClass()) json.Member(name, static_cast<long long>(count));
    json.EndObject();
    json.Key("references");
    json.BeginObject();
    json.Member("bound", static_cast<long long>(references.bound));
    json.Member("unbound", static_cast<long long>(references.values - references.bound - references.empty));
    json.Member("empty", static_cast<long long>(references.empty));
    json.Member("inMissingUnits", static_cast<long long>(references.inMissingUnit));
    json.Member("unmodelledTypes", static_cast<long long>(references.unmodelled));
    json.Member("dangling", static_cast<long long>(references.dangling));
    json.Member("ambiguous", static_cast<long long>(references.ambiguous));
    json.EndObject();
    json.Member("seconds", model.Seconds());
    json.Member("bytes", static_cast<long long>(model.Bytes()));
    json.Member("status", static_cast<long long>(StatusOf(model)));
    json.EndObject();
}

void WriteText(const lum::Model& model, std::ostream& out) {
    for (const lum::Diagnostic& diagnostic : model.Diagnostics()) out << lum::FormatDiagnostic(diagnostic) << '\n';
    const lum::ReferenceSummary references = model.References();
    const auto counts = model.CountByClass();
    std::size_t objects = 0;
    for (const auto& entry : counts) objects += entry.second;
    out << "\nfiles: " << model.Files().size() << " main, " << model.FilesRead().size() - model.Files().size()
        << " unit files loaded, " << model.MissingUnits().size() << " missing\n";
    out << "code page: " << model.CodePage() << (model.CodePageDetected() ? " (detected)" : " (given)") << '\n';
    out << "objects: " << objects << '\n';
    for (const auto& [name, count] : counts) out << "  " << name << ": " << count << '\n';
    out << "references: " << references.bound << " bound, " << references.empty << " naming nothing, "
        << references.inMissingUnit << " into missing units, " << references.unmodelled << " unmodelled types, "
        << references.dangling << " dangling (" << references.ambiguous << " ambiguous)\n";
    char timing[96];
    const double megabytes = static_cast<double>(model.Bytes()) / 1e6;
    std::snprintf(timing, sizeof timing, "read %.2f MB in %.3f s (%.1f MB/s)\n", megabytes, model.Seconds(),
                  model.Seconds() > 0 ? megabytes / model.Seconds() : 0.0);
    out << timing;
}

}  // namespace

int RunCheck(const lum::Model& model, const tOptions& options, std::ostream& out) {
    if (options.format == tFormat::Json) WriteJson(model, out);
    else WriteText(model, out);
    return StatusOf(model);
}

}  // namespace lumcli
