// lum refs: the references of the model with what became of each.

#include "commands.h"

namespace lumcli {

int RunRefs(const lum::Model& model, const tOptions& options, std::ostream& out) {
    const std::vector<lum::ReferenceValue> values = model.ReferenceValues(options.unresolvedOnly);
    auto textOf = [](const lum::ReferenceValue& value) {
        lum::WString text;
        value.reference->EncodeReference(text, value.index);
        return lum::ToUtf8(text);
    };
    if (options.format == tFormat::Json) {
        lum::JsonWriter json(out);
        json.BeginObject();
        json.Member("format", "lum-refs/1");
        json.Key("references");
        json.BeginArray();
        for (const lum::ReferenceValue& value : values) {
            json.BeginObject();
            json.Member("owner", Describe(value.owner));
            json.Member("feature", lum::ToUtf8(value.feature->GetName().c_str()));
            json.Member("text", textOf(value));
            json.Member("status", std::string(lum::ReferenceStatusName(value.status)));
            json.Key("target");
            if (value.target == nullptr) json.Null();
            else json.String(Describe(value.target));
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    } else {
        for (const lum::ReferenceValue& value : values) {
            out << Describe(value.owner) << ' ' << lum::ToUtf8(value.feature->GetName().c_str()) << " = "
                << textOf(value) << " -> "
                << (value.target != nullptr ? Describe(value.target)
                                            : "(" + std::string(lum::ReferenceStatusName(value.status)) + ")")
                << '\n';
        }
    }
    return StatusOf(model);
}

}  // namespace lumcli
