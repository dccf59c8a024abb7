// lum find: the objects with a qualified name or a quid.

#include <algorithm>

#include "commands.h"
#include "output.h"

namespace lumcli {

int RunFind(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    const lum::WString name(FromUtf8(options.name));
    // Model objects only, as references bind: views carry their model
    // object's name too.
    std::vector<const lum::ClumVellumEntity*> found;
    auto keep = [&found](const std::vector<const lum::ClumVellumEntity*>& entities) {
        for (const lum::ClumVellumEntity* entity : entities) {
            const lum::ClumMetaClass& metaClass = entity->GetMetaClass();
            if (metaClass.IsKindOf(&lum::ClumDiagramItem::StaticGetMetaClass()) ||
                metaClass.IsKindOf(&lum::ClumDiagram::StaticGetMetaClass()) ||
                std::find(found.begin(), found.end(), entity) != found.end()) {
                continue;
            }
            found.push_back(entity);
        }
    };
    keep(model.Resolver().GetEntitiesWithName(name));
    keep(model.Resolver().GetEntitiesWithQuid(lum::ClumIdent(name)));
    if (options.format == tFormat::Json) {
        tJsonWriter json(out);
        json.BeginObject();
        json.Member("format", "lum-find/1");
        json.Member("name", std::wstring(name));
        json.Key("objects");
        json.BeginArray();
        for (const lum::ClumVellumEntity* entity : found) {
            json.BeginObject();
            json.Member("class", std::wstring(entity->GetMetaClass().GetName().c_str()));
            json.Member("path", PathOf(entity));
            json.Member("quid", std::wstring(lum::ClumUtilityFunctions::GetQuid(entity).c_str()));
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    } else {
        for (const lum::ClumVellumEntity* entity : found) {
            out << Utf8(entity->GetMetaClass().GetName().c_str()) << ' ' << Utf8(PathOf(entity));
            const lum::ClumIdent quid = lum::ClumUtilityFunctions::GetQuid(entity);
            if (quid.GetLength() != 0) out << " (quid " << Utf8(quid.c_str()) << ')';
            out << '\n';
        }
    }
    if (found.empty()) std::cerr << "lum: nothing named '" << options.name << "'\n";
    return StatusOf(model);
}

}  // namespace lumcli
