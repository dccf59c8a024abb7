// lum refs: the references of the model, or those left unbound.

#include <set>

#include "commands.h"
#include "output.h"

namespace lumcli {

namespace {

struct tReferenceLine {
    std::wstring owner;
    std::wstring feature;
    std::wstring text;
    std::wstring target;  // empty when unbound
};

std::vector<tReferenceLine> Collect(tLoadedModel& model, bool unresolvedOnly) {
    std::set<const lum::IlumReference*> unresolved(model.Unresolved().begin(), model.Unresolved().end());
    std::vector<tReferenceLine> lines;
    for (const lum::ClumVellumEntity* entity : model.Objects()) {
        for (const lum::ClumMetaFeature* feature : entity->GetMetaClass().m_allFeatures) {
            if (feature->GetKind() != lum::ClumMetaFeature::eReference) continue;
            const lum::IlumReference* reference =
                feature->m_pfnGetFeature(const_cast<lum::ClumVellumEntity*>(entity))->GetReference();
            if (unresolvedOnly && unresolved.count(reference) == 0) continue;
            for (int i = 0; i < reference->GetCount(); ++i) {
                const long index = reference->IsSingle() ? -1 : i;
                const lum::ClumVellumEntity* target = reference->GetTarget(index);
                if (unresolvedOnly && target != nullptr) continue;
                lum::WString text;
                reference->EncodeReference(text, index);
                std::wstring owner = PathOf(entity);
                if (owner.empty()) owner = L"(" + std::wstring(entity->GetMetaClass().GetName().c_str()) + L")";
                lines.push_back({owner, feature->GetName().c_str(), text, target ? PathOf(target) : L""});
            }
        }
    }
    return lines;
}

}  // namespace

int RunRefs(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    const std::vector<tReferenceLine> lines = Collect(model, options.unresolvedOnly);
    if (options.format == tFormat::Json) {
        tJsonWriter json(out);
        json.BeginObject();
        json.Member("format", "lum-refs/1");
        json.Key("references");
        json.BeginArray();
        for (const tReferenceLine& line : lines) {
            json.BeginObject();
            json.Member("owner", line.owner);
            json.Member("feature", line.feature);
            json.Member("text", line.text);
            json.Key("target");
            if (line.target.empty()) json.Null();
            else json.String(line.target);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    } else {
        for (const tReferenceLine& line : lines) {
            out << Utf8(line.owner) << ' ' << Utf8(line.feature) << " = " << Utf8(line.text);
            if (!options.unresolvedOnly) out << " -> " << (line.target.empty() ? "(unbound)" : Utf8(line.target));
            out << '\n';
        }
    }
    return StatusOf(model);
}

}  // namespace lumcli
