// lum export: the whole model as one JSON document, written while walking.
// Every object gets an id, its position in a depth-first walk of the files;
// features are written in the metamodel's order, links as nested arrays.

#include <fstream>
#include <unordered_map>

#include "commands.h"

namespace lumcli {

namespace {

using lum::ClumMetaFeature;
using lum::ClumVellumEntity;

// The id of every object: its position in the depth-first walk that the
// writer makes too. The one table the export keeps: 16 bytes an object.
class tIds {
public:
    explicit tIds(const lum::Model& model) {
        for (const lum::tDepthFirst::tStep& step : model.Walk()) m_ids.emplace(step.entity, m_ids.size());
    }
    // -1 for an object outside the exported files.
    long long Of(const ClumVellumEntity* entity) const {
        const auto found = m_ids.find(entity);
        return found == m_ids.end() ? -1 : static_cast<long long>(found->second);
    }
    std::size_t Count() const { return m_ids.size(); }

private:
    std::unordered_map<const ClumVellumEntity*, std::size_t> m_ids;
};

void WriteAttribute(tJsonWriter& json, const ClumMetaFeature& feature, const lum::IlumAttribute& attribute) {
    lum::WString text;
    attribute.Encode(text);
    switch (lum::GetValueType(feature)) {
        case lum::EValueType::Bool: json.Bool(text == L"true"); break;
        case lum::EValueType::Int:
        case lum::EValueType::Float: json.RawNumber(lum::ToUtf8(text)); break;
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

// Writes each object as the model's walk reports it: its set features in
// metamodel order, the objects of links as arrays.
class tObjectWriter : public lum::IlumWalkHandler {
public:
    tObjectWriter(tJsonWriter& json, const tIds& ids) : m_json(json), m_ids(ids) {}

    bool Enter(const ClumVellumEntity* entity) override {
        m_json.BeginObject();
        m_json.Member("id", m_ids.Of(entity));
        m_json.Member("class", lum::ToUtf8(entity->GetMetaClass().GetName().c_str()));
        const lum::ClumIdent quid = lum::ClumUtilityFunctions::GetQuid(entity);
        if (quid.GetLength() != 0) m_json.Member("quid", lum::ToUtf8(quid.c_str()));
        m_json.Key("features");
        m_json.BeginObject();
        return true;
    }
    void Feature(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        const lum::IlumFeature* member = Member(entity, feature);
        if (member->IsEmpty()) return;
        m_json.Key(lum::ToUtf8(feature.GetName().c_str()));
        if (const lum::IlumAttribute* attribute = member->GetAttribute()) {
            WriteAttribute(m_json, feature, *attribute);
        } else if (const lum::IlumReference* reference = member->GetReference()) {
            if (reference->IsSingle()) {
                WriteReferenceValue(m_json, *reference, -1, m_ids);
            } else {
                m_json.BeginArray();
                for (int i = 0; i < reference->GetCount(); ++i) WriteReferenceValue(m_json, *reference, i, m_ids);
                m_json.EndArray();
            }
        }
    }
    void EnterLink(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        if (Member(entity, feature)->IsEmpty()) return;
        m_json.Key(lum::ToUtf8(feature.GetName().c_str()));
        m_json.BeginArray();
    }
    void LeaveLink(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        if (!Member(entity, feature)->IsEmpty()) m_json.EndArray();
    }
    void Leave(const ClumVellumEntity*) override {
        m_json.EndObject();  // features
        m_json.EndObject();  // the object
    }

private:
    static const lum::IlumFeature* Member(const ClumVellumEntity* entity, const ClumMetaFeature& feature) {
        return feature.m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
    }

    tJsonWriter& m_json;
    const tIds& m_ids;
};

}  // namespace

int RunExport(const lum::Model& model, const tOptions& options, std::ostream& out) {
    std::ofstream file;
    std::ostream* target = OpenOutput(options, out, file);
    if (target == nullptr) return 2;
    const tIds ids(model);
    tJsonWriter json(*target);
    json.BeginObject();
    json.Member("format", "lum-export/1");
    json.Member("codePage", static_cast<long long>(model.CodePage()));
    json.Member("objectCount", static_cast<long long>(ids.Count()));
    json.Key("files");
    json.BeginArray();
    for (const lum::LoadedFile& file : model.FilesRead()) {
        json.BeginObject();
        json.Member("path", file.name);
        json.Member("role", std::string(file.main ? "main" : "unit"));
        json.EndObject();
    }
    json.EndArray();
    WriteDiagnosticsJson(model, json);
    json.Key("models");
    json.BeginArray();
    tObjectWriter writer(json, ids);
    for (const lum::ClumVellumFile* file : model.Files()) lum::WalkDepthFirst(file, writer);
    json.EndArray();
    json.EndObject();
    target->flush();
    return StatusOf(model);
}

}  // namespace lumcli
