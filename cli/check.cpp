// lum check: every diagnostic, then a summary of what was read and bound.

#include <cstdio>

#include "commands.h"
#include "output.h"

namespace lumcli {

namespace {

std::string CodePageNote(const tLoadedModel& model) {
    return std::to_string(model.CodePage()) + (model.CodePageDetected() ? " (detected)" : " (given)");
}

void WriteJson(const tLoadedModel& model, std::ostream& out) {
    const tReferenceCounts references = model.CountReferences();
    tJsonWriter json(out);
    json.BeginObject();
    json.Member("format", "lum-check/1");
    json.Member("codePage", static_cast<long long>(model.CodePage()));
    WriteDiagnosticsJson(model, json);
    json.Key("files");
    json.BeginObject();
    json.Member("main", static_cast<long long>(model.Files().size()));
    json.Member("unitsLoaded", static_cast<long long>(model.UnitFilesLoaded()));
    json.Key("unitsMissing");
    json.BeginArray();
    for (const tMissingUnit& missing : model.MissingUnits()) {
        json.BeginObject();
        json.Member("unit", missing.name);
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
    for (const auto& [name, count] : model.CountByClass()) json.Member(Utf8(name), static_cast<long long>(count));
    json.EndObject();
    json.Key("references");
    json.BeginObject();
    json.Member("bound", static_cast<long long>(references.bound));
    json.Member("unbound", static_cast<long long>(references.values - references.bound));
    json.Member("ambiguous", static_cast<long long>(model.AmbiguousReferences()));
    json.EndObject();
    json.Member("seconds", model.Seconds());
    json.Member("bytes", static_cast<long long>(model.BytesRead()));
    json.Member("status", static_cast<long long>(StatusOf(model)));
    json.EndObject();
}

void WriteText(const tLoadedModel& model, std::ostream& out) {
    for (const tDiagnostic& d : model.Diagnostics()) out << FormatDiagnostic(d) << '\n';
    for (const tMissingUnit& missing : model.MissingUnits()) {
        out << Utf8(missing.holder) << ": " << (model.Strict() ? "Error" : "Warning") << ": unit '"
            << Utf8(missing.name) << "' not loaded: stored path '" << Utf8(missing.stored) << "', resolved to '"
            << Utf8(missing.resolved) << "'\n";
        if (!missing.undefinedSymbol.empty()) {
            const std::string symbol = Utf8(missing.undefinedSymbol);
            out << Utf8(missing.holder) << ": Information: the symbol '" << symbol
                << "' is not defined: define it with -D " << symbol << "=DIR or in a --pathmap file\n";
        }
        if (!missing.cyclicSymbol.empty()) {
            out << Utf8(missing.holder) << ": Information: the symbol '" << Utf8(missing.cyclicSymbol)
                << "' cannot be expanded: its definition leads back to itself\n";
        }
    }
    const tReferenceCounts references = model.CountReferences();
    const auto counts = model.CountByClass();
    std::size_t objects = 0;
    for (const auto& entry : counts) objects += entry.second;
    out << "\nfiles: " << model.Files().size() << " main, " << model.UnitFilesLoaded() << " unit files loaded, "
        << model.MissingUnits().size() << " missing\n";
    out << "code page: " << CodePageNote(model) << '\n';
    out << "objects: " << objects << '\n';
    for (const auto& [name, count] : counts) out << "  " << Utf8(name) << ": " << count << '\n';
    out << "references: " << references.bound << " bound, " << references.values - references.bound << " unbound, "
        << model.AmbiguousReferences() << " ambiguous\n";
    char timing[96];
    const double megabytes = static_cast<double>(model.BytesRead()) / 1e6;
    std::snprintf(timing, sizeof timing, "read %.2f MB in %.3f s (%.1f MB/s)\n", megabytes, model.Seconds(),
                  model.Seconds() > 0 ? megabytes / model.Seconds() : 0.0);
    out << timing;
}

}  // namespace

void WriteDiagnosticsJson(const tLoadedModel& model, tJsonWriter& json) {
    json.Key("diagnostics");
    json.BeginArray();
    for (const tDiagnostic& d : model.Diagnostics()) {
        json.BeginObject();
        json.Member("file", d.file);
        json.Member("line", static_cast<long long>(d.error.subject.line));
        json.Member("severity", std::wstring(lum::tError::ToString(d.error.severity)));
        json.Member("message", std::wstring(d.error.message));
        json.Member("subject", std::wstring(d.error.subject.ToString()));
        json.EndObject();
    }
    json.EndArray();
}

int RunCheck(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    if (options.format == tFormat::Json) WriteJson(model, out);
    else WriteText(model, out);
    return StatusOf(model);
}

}  // namespace lumcli
