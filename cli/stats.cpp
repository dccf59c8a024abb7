// lum stats: objects per class and diagrams per kind.

#include <map>

#include "commands.h"

namespace lumcli {

int RunStats(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const std::map<std::string, std::size_t> classes = model.CountByClass();
    const std::map<std::string, std::size_t> diagrams = model.CountByClass(true);
    std::size_t total = 0;
    for (const auto& entry : classes) total += entry.second;
    if (options.format == tFormat::Json) {
        lum::JsonWriter json(out);
        json.BeginObject();
        json.Member("format", "lum-stats/1");
        json.Member("objects", static_cast<long long>(total));
        json.Key("classes");
        json.BeginObject();
        for (const auto& [name, count] : classes) json.Member(name, static_cast<long long>(count));
        json.EndObject();
        json.Key("diagrams");
        json.BeginObject();
        for (const auto& [name, count] : diagrams) json.Member(name, static_cast<long long>(count));
        json.EndObject();
        json.EndObject();
    } else {
        out << "objects: " << total << "\n\nper class:\n";
        for (const auto& [name, count] : classes) out << "  " << name << ": " << count << '\n';
        out << "\ndiagrams per kind:\n";
        for (const auto& [name, count] : diagrams) out << "  " << name << ": " << count << '\n';
    }
    return StatusOf(model);
}

}  // namespace lumcli
