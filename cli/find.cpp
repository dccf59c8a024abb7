// lum find: objects by quid, qualified name, simple name or pattern.

#include "commands.h"

namespace lumcli {

int RunFind(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const std::vector<const lum::ClumVellumEntity*> found = model.Find(options.name);
    auto quidOf = [](const lum::ClumVellumEntity* entity) {
        return lum::ToUtf8(lum::ClumUtilityFunctions::GetQuid(entity).c_str());
    };
    if (options.format == tFormat::Json) {
        lum::JsonWriter json(out);
        json.BeginObject();
        json.Member("format", "lum-find/1");
        json.Member("name", options.name);
        json.Key("objects");
        json.BeginArray();
        for (const lum::ClumVellumEntity* entity : found) {
            json.BeginObject();
            json.Member("class", lum::ToUtf8(entity->GetMetaClass().GetName().c_str()));
            json.Member("path", lum::Model::PathOf(entity));
            json.Member("quid", quidOf(entity));
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    } else {
        for (const lum::ClumVellumEntity* entity : found) {
            out << lum::ToUtf8(entity->GetMetaClass().GetName().c_str()) << ' ' << lum::Model::PathOf(entity);
            const std::string quid = quidOf(entity);
            if (!quid.empty()) out << " (quid " << quid << ')';
            out << '\n';
        }
    }
    if (found.empty()) std::cerr << "lum: nothing named '" << options.name << "'\n";
    return StatusOf(model);
}

}  // namespace lumcli
