#include "lum/json/export.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "json/export_parts.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/meta/meta_provider.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "lum/meta/value_type.h"
#include "lum/model/feature.h"
#include "lum/text/location.h"
#include "lum/traverse/depth_first.h"
#include "lum/traverse/utility_functions.h"

namespace lum::json {

namespace {

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

// `text` and `ident` are scratch space, reused from value to value.
void WriteAttribute(JsonWriter& json, const ClumMetaFeature& feature, const IlumAttribute& attribute, WString& text,
                    ClumIdent& ident) {
    const ValueType type = GetValueType(feature);
    if (type == ValueType::Ident) {  // written from the pool, without a copy
        attribute.GetAsIdent(ident);
        json.String(ident.View());
        return;
    }
    text.clear();
    attribute.Encode(text);
    switch (type) {
        case ValueType::Bool: json.Bool(text == L"true"); break;
        case ValueType::Int:
        case ValueType::Float: WriteNumber(json, text); break;
        case ValueType::Location: {
            const tLocation point = tLocation::Decode(text);
            json.BeginArray();
            json.Number(static_cast<long long>(point.x));
            json.Number(static_cast<long long>(point.y));
            json.EndArray();
            break;
        }
        case ValueType::PointVector: {
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

void WriteReferenceValue(JsonWriter& json, const IlumReference& reference, long index, const tNumbering& ids,
                         WString& text) {
    // The target's id is asked for first, so that its table slot comes in
    // while the text is read.
    const ClumVellumEntity* target = reference.GetTarget(index);
    if (target != nullptr) ids.Prefetch(target);
    text.clear();
    reference.EncodeReference(text, index);
    json.BeginObject();
    json.QuotedKey(R"("text")");
    json.String(std::wstring_view(text.data(), text.size()));
    if (target != nullptr) {
        json.QuotedKey(R"("target")");
        json.Number(ids.Of(target));
    }
    json.EndObject();
}

// The names of every class and feature as quoted JSON texts, made once:
// each is written hundreds of thousands of times.
struct tQuotedNames {
    std::vector<std::string> classes;
    std::vector<std::string> features;

    tQuotedNames() {
        const ClumMetaProvider& meta = ClumMetaProvider::GetInstance();
        classes.resize(meta.GetNumberOfMetaClasses());
        features.resize(meta.GetNumberOfMetaFeatures());
        for (unsigned i = 0; i < classes.size(); ++i) {
            if (const ClumMetaClass* metaClass = meta.GetMetaClass(i)) {
                AppendJsonQuoted(classes[i], metaClass->GetName().View());
            }
        }
        for (unsigned i = 0; i < features.size(); ++i) {
            if (const ClumMetaFeature* feature = meta.GetMetaFeature(i)) {
                AppendJsonQuoted(features[i], feature->GetName().View());
            }
        }
    }
};

// Where the parts that helper threads write go: the writer of what lies
// around them takes each part's text in turn, in place of its objects.
struct tPartsToSplice {
    const std::vector<tPart>& parts;
    tPartWriter& writer;
};

// Writes each object as the model's walk reports it: its set features in
// metamodel order, the objects of links as arrays. Ids are counted from
// `firstId`, the id of the first object it is given.
class tObjectWriter : public WalkHandler {
public:
    tObjectWriter(JsonWriter& json, const tNumbering& ids, const tQuotedNames& names, std::size_t firstId = 0,
                  const tPartsToSplice* parts = nullptr)
        : m_json(json), m_ids(ids), m_names(names), m_nextId(firstId), m_pParts(parts) {}

    bool Enter(const ClumVellumEntity* entity) override {
        if (m_pParts != nullptr && TakesPart()) {
            m_skipped = true;
            return false;
        }
        m_json.BeginObject();
        // The keys written for every object are quoted here, once.
        m_json.QuotedKey(R"("id")");
        m_json.Number(static_cast<long long>(m_nextId++));  // the walk that numbered them
        m_json.QuotedKey(R"("class")");
        m_json.QuotedString(m_names.classes[entity->GetMetaClass().GetIndex()]);
        const ClumIdent quid = ClumUtilityFunctions::GetQuid(entity);
        if (quid.GetLength() != 0) {
            m_json.QuotedKey(R"("quid")");
            m_json.String(quid.View());
        }
        m_json.QuotedKey(R"("features")");
        m_json.BeginObject();
        return true;
    }
    void Feature(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        const IlumFeature* member = Member(entity, feature);
        if (member->IsEmpty()) return;
        m_json.QuotedKey(m_names.features[feature.GetIndex()]);
        if (const IlumAttribute* attribute = member->GetAttribute()) {
            WriteAttribute(m_json, feature, *attribute, m_text, m_ident);
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
        m_json.QuotedKey(m_names.features[feature.GetIndex()]);
        m_json.BeginArray();
    }
    void LeaveLink(const ClumVellumEntity* entity, const ClumMetaFeature& feature) override {
        if (!Member(entity, feature)->IsEmpty()) m_json.EndArray();
    }
    void Leave(const ClumVellumEntity*) override {
        if (m_skipped) {
            m_skipped = false;  // nothing comes between a skipped object's Enter and Leave
            return;
        }
        m_json.EndObject();  // features
        m_json.EndObject();  // the object
    }

private:
    // True when the object about to be entered belongs to a part: the
    // part's text is spliced in at its first object, and its objects are
    // then passed over.
    bool TakesPart() {
        if (m_nextId >= m_skipEnd) {
            if (m_nextPart >= m_pParts->parts.size() || m_pParts->parts[m_nextPart].first != m_nextId) return false;
            std::string text = m_pParts->writer.TakeNext();
            m_json.Splice(text);
            m_pParts->writer.GiveBack(std::move(text));
            m_skipEnd = m_pParts->parts[m_nextPart++].end;
        }
        m_nextId += m_ids.SubtreeSize(m_nextId);
        return true;
    }

    static const IlumFeature* Member(const ClumVellumEntity* entity, const ClumMetaFeature& feature) {
        return feature.m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity));
    }

    JsonWriter& m_json;
    const tNumbering& m_ids;
    const tQuotedNames& m_names;
    std::size_t m_nextId;
    WString m_text;  // scratch for the text of each value
    ClumIdent m_ident;  // scratch for identifier values
    const tPartsToSplice* m_pParts;
    std::size_t m_nextPart = 0;
    std::size_t m_skipEnd = 0;  // the objects before this id belong to a part spliced in
    bool m_skipped = false;
};

// JSON containers around an object at walk depth `depth`: the document and
// its "models" array, then for each level an object, its "features" and
// the link's array.
std::size_t ContainerDepth(std::size_t depth) { return 2 + 3 * depth; }

void WritePart(const tPart& part, const tNumbering& ids, const tQuotedNames& names, bool compact,
               std::string& text) {
    JsonWriter json(text, compact, ContainerDepth(part.depth));
    tObjectWriter writer(json, ids, names, part.first);
    for (std::size_t id = part.first; id < part.end; id += ids.SubtreeSize(id)) WalkDepthFirst(ids.At(id), writer);
}

// The models array: what lies around the parts on this thread, the parts on
// helpers, when there are threads to spare and objects enough.
void WriteModels(const Model& model, const tNumbering& ids, JsonWriter& json, const Options& options) {
    const unsigned threads = options.threads != 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    const std::size_t perPart = options.objectsPerPart != 0 ? options.objectsPerPart
                                                            : std::max<std::size_t>(2048, ids.Count() / (64 * threads));
    const tQuotedNames names;
    std::vector<tPart> parts;
    if (threads > 1 && ids.Count() >= 2 * perPart) parts = PlanParts(ids, perPart);
    if (parts.empty()) {
        tObjectWriter writer(json, ids, names);
        for (const ClumVellumFile* file : model.Files()) WalkDepthFirst(file, writer);
        return;
    }
    // The helpers take every core: this thread mostly waits for their parts.
    tPartWriter partWriter(parts, threads,
                           [&](const tPart& part, std::string& text) {
                               WritePart(part, ids, names, options.compact, text);
                           });
    const tPartsToSplice splice{parts, partWriter};
    tObjectWriter writer(json, ids, names, 0, &splice);
    for (const ClumVellumFile* file : model.Files()) WalkDepthFirst(file, writer);
}

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

bool WriteJson(const Model& model, std::ostream& out, const Options& options) {
    const tNumbering ids(model, options.threads);
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
    WriteModels(model, ids, json, options);
    json.EndArray();
    json.EndObject();
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace lum::json
