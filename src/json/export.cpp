#include "lum/json/export.h"

#include <unordered_map>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "lum/meta/value_type.h"
#include "lum/model/feature.h"
#include "lum/text/location.h"
#include "lum/traverse/depth_first.h"
#include "lum/traverse/utility_functions.h"

namespace lum::json {

namespace {

// The id of every object: its position in the depth-first walk that the
// writer makes too. The one table the export keeps: 16 bytes an object.
class tIds {
public:
    explicit tIds(const Model& model) {
        std::size_t count = model.Files().size();
        for (const auto& entry : model.CountByClass()) count += entry.second;
        m_ids.reserve(count);
        for (const tDepthFirst::tStep& step : model.Walk()) m_ids.emplace(step.entity, m_ids.size());
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

// A number's text as JSON takes it; numbers are plain ASCII, so narrowing
// them needs no conversion (and no allocation for those of usual length).
void WriteNumber(JsonWriter& json, const WString& text) {
    char narrow[64];
    if (text.size() > sizeof narrow) {
        json.RawNumber(ToUtf8(text));
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) narrow[i] = static_cast<char>(text[i]);
    json.RawNumber(std::string_view(narrow, text.size()));
}

// `text` is scratch space, reused from value to value.
void WriteAttribute(JsonWriter& json, const ClumMetaFeature& feature, const IlumAttribute& attribute, WString& text) {
    text.clear();
    attribute.Encode(text);
    switch (GetValueType(feature)) {
        case EValueType::Bool: json.Bool(text == L"true"); break;
        case EValueType::Int:
        case EValueType::Float: WriteNumber(json, text); break;
        case EValueType::Location: {
            const tLocation point = tLocation::Decode(text);
            json.BeginArray();
            json.Number(static_cast<long long>(point.x));
            json.Number(static_cast<long long>(point.y));
            json.EndArray();
            break;
        }
        case EValueType::PointVector: {
            json.BeginArray();
            for (const tLocation& point : tPointVector::Decode(text)) {
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

void WriteReferenceValue(JsonWriter& json, const IlumReference& reference, long index, const tIds& ids, WString& text) {
    text.clear();
    reference.EncodeReference(text, index);
    json.BeginObject();
    json.Key("text");
    json.String(std::wstring_view(text.data(), text.size()));
    if (const ClumVellumEntity* target = reference.GetTarget(index)) json.Member("target", ids.Of(target));
    json.EndObject();
}

// Writes each object as the model's walk reports it: its set features in
// metamodel order, the objects of links as arrays.
class tObjectWriter : public IlumWalkHandler {
public:
    tObjectWriter(JsonWriter& json, const tIds& ids) : m_json(json), m_ids(ids) {}

    bool Enter(const ClumVellumEntity* entity) override {
        m_json.BeginObject();
        m_json.Member("id", m_nextId++);  // the walk that numbered them
        m_json.Key("class");
        m_json.String(entity->GetMetaClass().GetName().View());
        const ClumIdent quid = ClumUtilityFunctions::GetQuid(entity);
        if (quid.GetLength() != 0) {
            m_json.Key("quid");
            m_json.String(quid.View());
        }
        m_json.Key("features");
        m_json.BeginObject();
        return true;
    }
    void Feature(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        const IlumFeature* member = Member(entity, feature);
        if (member->IsEmpty()) return;
        m_json.Key(feature.GetName().View());
        if (const IlumAttribute* attribute = member->GetAttribute()) {
            WriteAttribute(m_json, feature, *attribute, m_text);
        } else if (const IlumReference* reference = member->GetReference()) {
            if (reference->IsSingle()) {
                WriteReferenceValue(m_json, *reference, -1, m_ids, m_text);
            } else {
                m_json.BeginArray();
                for (int i = 0; i < reference->GetCount(); ++i) {
                    WriteReferenceValue(m_json, *reference, i, m_ids, m_text);
                }
                m_json.EndArray();
            }
        }
    }
    void EnterLink(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        if (Member(entity, feature)->IsEmpty()) return;
        m_json.Key(feature.GetName().View());
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
    static const IlumFeature* Member(const ClumVellumEntity* entity, const ClumMetaFeature& feature) {
        return feature.m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
    }

    JsonWriter& m_json;
    const tIds& m_ids;
    long long m_nextId = 0;
    WString m_text;  // scratch for the text of each value
};

}  // namespace

void WriteDiagnostics(const Model& model, JsonWriter& json) {
    json.Key("diagnostics");
    json.BeginArray();
    for (const Diagnostic& d : model.Diagnostics()) {
        json.BeginObject();
        json.Member("code", std::string(diag::Name(d.code)));
        json.Member("file", d.file);
        json.Member("line", static_cast<long long>(d.line));
        json.Member("severity", std::string(SeverityName(d.severity)));
        json.Member("message", d.message);
        json.Member("subject", d.subject);
        json.EndObject();
    }
    json.EndArray();
}

bool WriteModel(const Model& model, std::ostream& out, const ExportOptions& options) {
    const tIds ids(model);
    JsonWriter json(out, options.compact);
    json.BeginObject();
    json.Member("format", "lum-export/1");
    json.Member("codePage", static_cast<long long>(model.CodePage()));
    json.Member("objectCount", static_cast<long long>(ids.Count()));
    json.Key("files");
    json.BeginArray();
    for (const LoadedFile& file : model.FilesRead()) {
        json.BeginObject();
        json.Member("path", file.name);
        json.Member("role", std::string(file.main ? "main" : "unit"));
        json.EndObject();
    }
    json.EndArray();
    WriteDiagnostics(model, json);
    json.Key("models");
    json.BeginArray();
    tObjectWriter writer(json, ids);
    for (const ClumVellumFile* file : model.Files()) WalkDepthFirst(file, writer);
    json.EndArray();
    json.EndObject();
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace lum::json
