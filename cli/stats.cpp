// lum stats: objects per class and diagrams per kind.

#include <map>

#include "commands.h"
#include "output.h"

namespace lumcli {

int RunStats(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    const std::map<std::wstring, std::size_t> classes = model.CountByClass();
    const std::map<std::wstring, std::size_t> diagrams = model.CountByClass(true);
    const std::size_t total = model.Objects().size();
    if (options.format == tFormat::Json) {
        tJsonWriter json(out);
        json.BeginObject();
        json.Member("format", "lum-stats/1");
        json.Member("objects", static_cast<long long>(total));
        json.Key("classes");
        json.BeginObject();
        for (const auto& [name, count] : classes) json.Member(Utf8(name), static_cast<long long>(count));
        json.EndObject();
        json.Key("diagrams");
        json.BeginObject();
        for (const auto& [name, count] : diagrams) json.Member(Utf8(name), static_cast<long long>(count));
        json.EndObject();
        json.EndObject();
    } else {
        out << "objects: " << total << "\n\nper class:\n";
        for (const auto& [name, count] : classes) out << "  " << Utf8(name) << ": " << count << '\n';
        out << "\ndiagrams per kind:\n";
        for (const auto& [name, count] : diagrams) out << "  " << Utf8(name) << ": " << count << '\n';
    }
    return StatusOf(model);
}

}  // namespace lumcli
