// lum export: the whole model as one JSON document, written while walking.
// Every object gets an id, its position in a depth-first walk of the files;
// features are written in the metamodel's order, links as nested arrays.

#include <fstream>
#include <unordered_map>

#include "commands.h"
#include "output.h"

namespace lumcli {

namespace {

using lum::ClumMetaFeature;
using lum::ClumVellumEntity;

// The id of every object: its position in the depth-first walk that the
// writer makes too. The one table the export keeps: 16 bytes an object.
class tIds {
public:
    explicit tIds(const std::vector<lum::ClumVellumFile*>& files) {
        std::vector<const ClumVellumEntity*> stack(files.rbegin(), files.rend());
        while (!stack.empty()) {
            const ClumVellumEntity* entity = stack.back();
            stack.pop_back();
            m_ids.emplace(entity, static_cast<long long>(m_ids.size()));
            const auto& links = entity->GetMetaClass().m_linkFeatures;
            for (auto link = links.rbegin(); link != links.rend(); ++link) {
                auto* owner = const_cast<ClumVellumEntity*>(entity);
                for (int i = (*link)->m_pfnLinkSize(owner) - 1; i >= 0; --i) stack.push_back((*link)->m_pfnLinkGetAt(owner, i));
            }
        }
    }
    // -1 for an object outside the exported files.
    long long Of(const ClumVellumEntity* entity) const {
        const auto found = m_ids.find(entity);
        return found == m_ids.end() ? -1 : found->second;
    }
    std::size_t Count() const { return m_ids.size(); }

private:
    std::unordered_map<const ClumVellumEntity*, long long> m_ids;
};

void WriteAttribute(tJsonWriter& json, const ClumMetaFeature& feature, const lum::IlumAttribute& attribute) {
    lum::WString text;
    attribute.Encode(text);
    switch (lum::GetValueType(feature)) {
        case lum::EValueType::Bool: json.Bool(text == L"true"); break;
        case lum::EValueType::Int:
        case lum::EValueType::Float: json.RawNumber(Utf8(text)); break;
        case lum::EValueType::Location: {
            const lum::tLocation point = lum::tLocation::Decode(text);
            json.BeginArray();
            json.Number(static_cast<long long>(point.x));
            json.Number(static_cast<long long>(point.y));
            json.EndArray();
            break;
        }
        case lum::EValueType::PointVector: {
            json.BeginArray();
            for (const lum::tLocation& point : lum::tPointVector::Decode(text)) {
                json.BeginArray();
                json.Number(static_cast<long long>(point.x));
                json.Number(static_cast<long long>(point.y));
                json.EndArray();
            }
            json.EndArray();
            break;
        }
        default: json.String(text); break;
    }
}

void WriteReferenceValue(tJsonWriter& json, const lum::IlumReference& reference, long index, const tIds& ids) {
    lum::WString text;
    reference.EncodeReference(text, index);
    json.BeginObject();
    json.Member("text", std::wstring(text));
    if (const ClumVellumEntity* target = reference.GetTarget(index)) json.Member("target", ids.Of(target));
    json.EndObject();
}

// Writes the objects of the files without recursion: each frame is an
// object being written, with the feature it has reached and, inside a link,
// the next child.
void WriteObjects(tJsonWriter& json, const std::vector<lum::ClumVellumFile*>& files, const tIds& ids) {
    struct tFrame {
        const ClumVellumEntity* entity;
        std::size_t feature = 0;
        int child = -1;  // -1: not inside a link
    };
    std::vector<tFrame> stack;
    auto open = [&](const ClumVellumEntity* entity) {
        json.BeginObject();
        json.Member("id", ids.Of(entity));
        json.Member("class", std::wstring(entity->GetMetaClass().GetName().c_str()));
        const lum::ClumIdent quid = lum::ClumUtilityFunctions::GetQuid(entity);
        if (quid.GetLength() != 0) json.Member("quid", std::wstring(quid.c_str()));
        json.Key("features");
        json.BeginObject();
        stack.push_back({entity});
    };
    for (const lum::ClumVellumFile* file : files) {
        open(file);
        while (!stack.empty()) {
            tFrame& frame = stack.back();
            auto* owner = const_cast<ClumVellumEntity*>(frame.entity);
            const auto& features = frame.entity->GetMetaClass().m_allFeatures;
            if (frame.child >= 0) {
                const ClumMetaFeature& link = *features[frame.feature];
                if (frame.child < link.m_pfnLinkSize(owner)) {
                    open(link.m_pfnLinkGetAt(owner, frame.child++));
                    continue;
                }
                json.EndArray();
                frame.child = -1;
                ++frame.feature;
            }
            bool enteredLink = false;
            for (; frame.feature < features.size() && !enteredLink; ++frame.feature) {
                const ClumMetaFeature& feature = *features[frame.feature];
                const lum::IlumFeature* member = feature.m_pfnGetFeature(owner);
                if (member->IsEmpty()) continue;
                json.Key(Utf8(feature.GetName().c_str()));
                if (const lum::IlumAttribute* attribute = member->GetAttribute()) {
                    WriteAttribute(json, feature, *attribute);
                } else if (const lum::IlumReference* reference = member->GetReference()) {
                    if (reference->IsSingle()) {
                        WriteReferenceValue(json, *reference, -1, ids);
                    } else {
                        json.BeginArray();
                        for (int i = 0; i < reference->GetCount(); ++i) WriteReferenceValue(json, *reference, i, ids);
                        json.EndArray();
                    }
                } else {
                    json.BeginArray();
                    frame.child = 0;
                    enteredLink = true;
                    break;
                }
            }
            if (enteredLink) continue;
            json.EndObject();  // features
            json.EndObject();  // the object
            stack.pop_back();
        }
    }
}

}  // namespace

int RunExport(tLoadedModel& model, const tOptions& options, std::ostream& out) {
    std::ofstream file;
    std::ostream* target = OpenOutput(options, out, file);
    if (target == nullptr) return 2;
    const tIds ids(model.Files());
    tJsonWriter json(*target);
    json.BeginObject();
    json.Member("format", "lum-export/1");
    json.Member("codePage", static_cast<long long>(model.CodePage()));
    json.Member("objectCount", static_cast<long long>(ids.Count()));
    json.Key("files");
    json.BeginArray();
    for (const std::wstring& path : model.FilesRead()) {
        json.BeginObject();
        json.Member("path", path);
        json.Member("role", std::string(model.IsMainFile(path) ? "main" : "unit"));
        json.EndObject();
    }
    json.EndArray();
    WriteDiagnosticsJson(model, json);
    json.Key("models");
    json.BeginArray();
    WriteObjects(json, model.Files(), ids);
    json.EndArray();
    json.EndObject();
    target->flush();
    return StatusOf(model);
}

}  // namespace lumcli
