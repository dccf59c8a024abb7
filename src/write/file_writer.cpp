#include "lum/write/file_writer.h"

#include <algorithm>
#include <cwctype>
#include <cwchar>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/meta/value_type.h"
#include "lum/model/classes.h"
#include "lum/model/set_aside.h"
#include "lum/reader/file_layout.h"
#include "platform/codepage.h"
#include "write/layout.h"
#include "write/layout_keeper.h"
#include "write/notation_parts.h"

namespace lum::write {

namespace {

constexpr std::size_t kNameColumn = 10;
constexpr std::size_t kFlushSize = 1 << 18;
// Writing recurses once per level of nesting (an object, or a list); deeper
// models are refused rather than run out of a thread's usual stack, also in
// the sanitizer build. Saved models stay far below it.
constexpr int kMaxDepth = 4000;

bool IsKind(const ClumVellumEntity& object, const ClumMetaClass& metaClass) {
    return object.GetMetaClass().IsKindOf(&metaClass);
}

bool IsDelimiter(wchar_t ch) { return ch == L'"' || ch == L'(' || ch == L')' || (ch < 0x100 && std::iswspace(ch)); }

// A symbol the reader takes back whole: no delimiters, not empty.
bool IsPlainSymbol(const wchar_t* text, std::size_t length) {
    if (length == 0) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (IsDelimiter(text[i])) return false;
    }
    return true;
}

// Whether the text reads back from a quoted string: no double quote that a
// backslash does not escape, and no backslash escaping the closing quote.
bool IsQuotable(const wchar_t* text, std::size_t length) {
    bool escaped = false;
    for (std::size_t i = 0; i < length; ++i) {
        if (!escaped && text[i] == L'"') return false;
        escaped = !escaped && text[i] == L'\\';
    }
    return !escaped;
}

// Whether the text reads back from bar lines: lines joined by CR LF, with
// no other line break inside them.
bool IsBarText(const wchar_t* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == L'\n') return false;
        if (text[i] == L'\r') {
            if (i + 1 >= length || text[i + 1] != L'\n') return false;
            ++i;
        }
    }
    return true;
}

// An optional sign and digits: what the reader takes as an integer.
bool IsInteger(const wchar_t* text, std::size_t length) {
    std::size_t i = length > 0 && (text[0] == L'-' || text[0] == L'+') ? 1 : 0;
    if (i == length) return false;
    for (; i < length; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
    }
    return true;
}

bool HasLineBreak(const wchar_t* text, std::size_t length) {
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (text[i] == L'\r' && text[i + 1] == L'\n') return true;
    }
    return false;
}

const wchar_t* ParameterDirectionWord(const WString& literal) {
    if (literal == L"out") return L"out";
    if (literal == L"inout") return L"inout";
    return nullptr;
}

// The feature keywords the writer asks for, interned once.
struct tKeywords {
    ClumIdent name{L"name"}, quid{L"quid"}, type{L"type"}, part{L"part"}, dir{L"dir"}, isConst{L"isConst"},
        charSet{L"charSet"}, exceptions{L"exceptions"}, value{L"value"}, isUnit{L"is_unit"}, isLoaded{L"is_loaded"},
        fileName{L"file_name"}, externalDocPath{L"external_doc_path"};
};

const tKeywords& Keywords() {
    static const tKeywords keywords;
    return keywords;
}

// A unit that stands for a file of its own: its "is_loaded" is written.
bool IsStub(const ClumVellumEntity& object) {
    if (!IsKind(object, ClumUnitObject::StaticGetMetaClass())) return false;
    const auto& unit = static_cast<const ClumUnitObject&>(object);
    return unit.is_unit.Get() && !unit.file_name.IsEmpty();
}

// Takes bytes and keeps none.
class tNullSink : public ByteSink {
public:
    bool Write(const char*, std::size_t) override { return true; }
};

class tNotationWriter : public tNotationParts {
public:
    tNotationWriter(ByteSink& sink, const FileOptions& options, tWritingOrders& orders)
        : m_sink(sink), m_options(options), m_orders(orders) {
        if (options.setAside == nullptr) return;
        for (const SetAsideObject& entry : options.setAside->Objects()) m_setAside[entry.owner].push_back(&entry);
    }

    void SetTopUnit(const ClumUnitObject* unit) { m_topUnit = unit; }

    void TopLevel(const ClumVellumEntity& object) {
        Raw('\n');
        Object(object, 0);
        Raw('\n');
    }

    // ---- the parts, for keeping a file's layout

    void HeaderText(const ClumVellumEntity& object, tPart& into) override {
        CaptureInto(into, [&] {
            const tClassLayout& layout = m_orders.Of(object.GetMetaClass());
            if (layout.value) {
                Object(object, 0);
                return;
            }
            Raw("(object ");
            Text(object.GetMetaClass().GetName());
            std::vector<ClumIdent> inHeader;
            Header(object, layout, inHeader);
        });
    }

    void FeatureText(const ClumVellumEntity& object, const ClumIdent& name, int depth, tPart& into) override {
        const tClassLayout& layouts = m_orders.Of(object.GetMetaClass());
        const std::vector<ClumIdent>& inHeader = InHeader(object, layouts);
        CaptureInto(into, [&] {
            if (const std::optional<WString> path = StubPathOf(object, layouts)) {
                StubFeature(static_cast<const ClumUnitObject&>(object), *path, inHeader, name, depth);
                return;
            }
            const std::vector<const SetAsideObject*>* kept = KeptOf(object);
            const auto place = layouts.placeOf.find(name.c_str());
            if (place != layouts.placeOf.end()) {
                OneFeature(object, layouts, layouts.features[place->second], inHeader, kept, depth);
            } else if (object.GetFeature(name) == nullptr) {
                Unknown(kept, name, depth);
            }
        });
    }

    bool IsUnset(const ClumVellumEntity& object, const ClumIdent& name) override {
        if (StubPathOf(object, m_orders.Of(object.GetMetaClass()))) return false;
        if (const std::vector<const SetAsideObject*>* kept = KeptOf(object)) {
            for (const SetAsideObject* entry : *kept) {
                if (entry->feature == name) return false;
            }
        }
        IlumFeature* feature = const_cast<ClumVellumEntity&>(object).GetFeature(name);
        if (feature == nullptr) return true;
        if (const IlumLink* link = feature->GetLink()) return link->GetSize() == 0;
        if (const IlumReference* reference = feature->GetReference()) return reference->IsEmpty();
        const IlumAttribute* attribute = feature->GetAttribute();
        // A float is never empty: zero is what a missing one reads as.
        return attribute->IsEmpty() && GetValueType(*attribute->GetMetaFeature()) != ValueType::Float;
    }

    std::vector<ClumIdent> FeatureNames(const ClumVellumEntity& object) override {
        const tClassLayout& layouts = m_orders.Of(object.GetMetaClass());
        const tKeywords& k = Keywords();
        if (StubPathOf(object, layouts)) return {k.isUnit, k.isLoaded, k.fileName, k.quid};
        std::vector<ClumIdent> names;
        for (const tFeatureLayout& layout : layouts.features) names.push_back(layout.meta->GetName());
        if (const std::vector<const SetAsideObject*>* kept = KeptOf(object)) {
            for (const SetAsideObject* entry : *kept) {
                if (object.GetFeature(entry->feature) == nullptr &&
                    std::find(names.begin(), names.end(), entry->feature) == names.end()) {
                    names.push_back(entry->feature);
                }
            }
        }
        return names;
    }

    std::vector<const ClumVellumEntity*> ElementsOf(const ClumVellumEntity& object, const ClumIdent& name) override {
        const std::vector<const SetAsideObject*>* kept = KeptOf(object);
        const IlumFeature* feature = object.GetFeature(name);
        const IlumLink* link = feature != nullptr ? const_cast<IlumFeature*>(feature)->GetLink() : nullptr;
        if (link != nullptr) return Merged(*link, name, kept);
        std::vector<const ClumVellumEntity*> elements;
        if (kept == nullptr) return elements;
        for (const SetAsideObject* entry : *kept) {
            if (entry->feature == name) elements.push_back(entry->object.get());
        }
        return elements;
    }

    tPart ElementText(const ClumVellumEntity& object, int depth) override {
        return Capture([&] { Element(object, depth); });
    }

    bool IsWrittenAsStub(const ClumVellumEntity& object) override {
        return StubPathOf(object, m_orders.Of(object.GetMetaClass())).has_value();
    }

    void Put(const char* bytes, std::size_t count) override {
        m_buffer.append(bytes, count);
        if (!m_capturing && m_buffer.size() >= kFlushSize) Flush();
    }

    void AddUnrepresentable(std::size_t count) { m_result.unrepresentable += count; }

    FileWriteResult Finish() {
        Flush();
        m_result.ok = m_result.ok && !m_failed;
        return m_result;
    }

private:
    // ---- bytes

    void Raw(char ch) { m_buffer += ch; }
    void Raw(const char* text) { m_buffer += text; }
    void Text(const wchar_t* text, std::size_t length) {
        m_result.unrepresentable += platform::AppendWide(m_buffer, m_options.codePage, text, length);
        if (!m_capturing && m_buffer.size() >= kFlushSize) Flush();
    }

    // What `write` adds, taken apart from the output, with the characters
    // it could not represent.
    template <class Writing>
    void CaptureInto(tPart& into, Writing write) {
        into.text.clear();
        m_buffer.swap(into.text);
        const std::size_t unrepresentable = m_result.unrepresentable;
        const bool capturing = m_capturing;
        m_capturing = true;
        write();
        m_capturing = capturing;
        into.unrepresentable = m_result.unrepresentable - unrepresentable;
        m_result.unrepresentable = unrepresentable;
        m_buffer.swap(into.text);
    }
    template <class Writing>
    tPart Capture(Writing write) {
        tPart part;
        CaptureInto(part, write);
        return part;
    }
    void Text(const WString& text) { Text(text.c_str(), text.size()); }
    void Text(const ClumIdent& text) { Text(text.c_str(), text.GetLength()); }

    void Flush() {
        if (m_failed || m_buffer.empty()) {
            m_buffer.clear();
            return;
        }
        if (!m_sink.Write(m_buffer.data(), m_buffer.size())) {
            m_failed = true;
            if (m_result.error.empty()) m_result.error = L"the output refused the bytes";
        } else {
            m_result.bytes += m_buffer.size();
        }
        m_buffer.clear();
    }

    void Indent(int depth) {
        m_buffer.append(static_cast<std::size_t>(depth / 2), '\t');
        if (depth % 2 != 0) m_buffer.append(4, ' ');
    }
    void NewLine(int depth) {
        Raw('\n');
        Indent(depth);
    }
    void Key(int depth, const ClumIdent& name) {
        NewLine(depth);
        if (m_layout != nullptr && name == m_layout->meta->GetName()) {
            m_buffer += m_layout->key;
            return;
        }
        Text(name);
        const std::size_t length = name.GetLength();
        if (length < kNameColumn) m_buffer.append(kNameColumn - length, ' ');
        Raw(" \t");
    }

    // A text as a quoted string, or as bar lines when it has several lines
    // (or a quote that a quoted string cannot hold); `depth` is the level of
    // the line the text belongs to.
    void String(const wchar_t* text, std::size_t length, int depth) {
        const bool quotable = IsQuotable(text, length);
        if ((!quotable || HasLineBreak(text, length)) && IsBarText(text, length)) {
            std::size_t start = 0;
            for (std::size_t i = 0; i <= length; ++i) {
                if (i < length && text[i] != L'\r') continue;
                Raw("\n|");
                Text(text + start, i - start);
                start = i + 2;
                ++i;
            }
            NewLine(depth);
            return;
        }
        if (!quotable) ++m_result.unrepresentable;
        Raw('"');
        Text(text, length);
        Raw('"');
    }
    void String(const WString& text, int depth) { String(text.c_str(), text.size(), depth); }
    void String(const ClumIdent& text, int depth) { String(text.c_str(), text.GetLength(), depth); }

    // ---- objects

    void Object(const ClumVellumEntity& object, int depth) {
        if (depth > kMaxDepth) {
            if (m_result.ok) m_result.error = L"the model is nested too deeply to write";
            m_result.ok = false;
            return;
        }
        const tClassLayout& layout = m_orders.Of(object.GetMetaClass());
        if (layout.value) {
            Raw("(value ");
            Text(object.GetMetaClass().GetName());
            Raw(' ');
            String(static_cast<const ClumVellumValue&>(object).value.Get(), depth);
            Raw(')');
            return;
        }
        Raw("(object ");
        Text(object.GetMetaClass().GetName());
        std::vector<ClumIdent> inHeader;
        Header(object, layout, inHeader);
        if (const std::optional<WString> path = StubPathOf(object, layout)) {
            Stub(static_cast<const ClumUnitObject&>(object), *path, inHeader, depth + 1);
            Raw(')');
            return;
        }
        Features(object, layout, inHeader, depth + 1);
        Raw(')');
    }

    void HeaderString(const WString& text) {
        Raw(' ');
        String(text, 0);
    }

    // The strings and @ label of a construct's first line; the features they
    // carry are noted so that no feature line repeats them.
    void Header(const ClumVellumEntity& object, const tClassLayout& layout, std::vector<ClumIdent>& inHeader) {
        if (layout.header == tHeaderKind::None) return;
        WString text;
        // An empty string or identifier gives "", an enumeration its literal.
        auto valueOf = [&](const ClumIdent& keyword) {
            text.clear();
            const IlumFeature* feature = object.GetFeature(keyword);
            const IlumAttribute* attribute = feature ? const_cast<IlumFeature*>(feature)->GetAttribute() : nullptr;
            if (attribute != nullptr &&
                (!attribute->IsEmpty() || GetValueType(*attribute->GetMetaFeature()) == ValueType::Enumeration)) {
                attribute->Encode(text);
            }
            return text;
        };
        const tKeywords& k = Keywords();
        auto positional = [&](std::initializer_list<const ClumIdent*> keywords) {
            for (const ClumIdent* keyword : keywords) {
                const WString value = valueOf(*keyword);
                if (*keyword == k.quid) {
                    Quid(value);
                } else {
                    HeaderString(value);
                }
                inHeader.push_back(*keyword);
            }
        };
        switch (layout.header) {
            case tHeaderKind::Module:
                positional({&k.name, &k.type, &k.part});
                return;
            case tHeaderKind::ModView:
                positional({&k.name, &k.type, &k.part, &k.quid});
                return;
            case tHeaderKind::StateView:
                positional({&k.type, &k.name, &k.quid});
                return;
            default:
                break;
        }
        const ClumIdent name = IdentOf(object, layout.name);
        const ClumIdent quid = IdentOf(object, layout.quid);
        const wchar_t* quidText = quid.c_str();
        const bool labelQuid =
            quid.GetLength() > 1 && quidText[0] == L'@' && IsPlainSymbol(quidText + 1, quid.GetLength() - 1);
        const bool classView = layout.classView;
        if (labelQuid) {
            // Lines keep an empty name before their label; class views name
            // the kind of what they show first.
            if (classView) Raw(" \"Class\"");
            if (name.GetLength() > 0 || classView || layout.line) {
                Raw(' ');
                String(name, 0);
            }
            Raw(' ');
            Text(quid);
            inHeader.push_back(k.name);
            inHeader.push_back(k.quid);
            return;
        }
        if (name.GetLength() == 0) return;
        Raw(' ');
        String(name, 0);
        inHeader.push_back(k.name);
        if (name.c_str()[0] == L'@' || classView) {
            // Alone, a name like a label would be read as a quid.
            Raw(' ');
            String(quid, 0);
            inHeader.push_back(k.quid);
        }
    }

    // The value of an identifier attribute, or the empty identifier.
    static ClumIdent IdentOf(const ClumVellumEntity& object, const ClumMetaFeature* feature) {
        ClumIdent value;
        if (feature == nullptr) return value;
        const IlumAttribute* attribute = feature->m_pfnGetFeature(const_cast<ClumVellumEntity*>(&object))->GetAttribute();
        if (!attribute->IsEmpty()) attribute->GetAsIdent(value);
        return value;
    }

    void Quid(const WString& quid) {
        if (quid.size() > 1 && quid[0] == L'@' && IsPlainSymbol(quid.c_str() + 1, quid.size() - 1)) {
            Raw(' ');
            Text(quid);
        } else {
            HeaderString(quid);
        }
    }

    // The stored path of a unit written as a stub, or none.
    std::optional<WString> StubPathOf(const ClumVellumEntity& object, const tClassLayout& layout) const {
        if (!layout.unit || &object == m_topUnit || !m_options.stubPath) return std::nullopt;
        return m_options.stubPath(static_cast<const ClumUnitObject&>(object));
    }

    void Stub(const ClumUnitObject& unit, const WString& path, const std::vector<ClumIdent>& inHeader, int depth) {
        const tKeywords& k = Keywords();
        for (const ClumIdent* name : {&k.isUnit, &k.isLoaded, &k.fileName, &k.quid}) {
            StubFeature(unit, path, inHeader, *name, depth);
        }
    }

    void StubFeature(const ClumUnitObject& unit, const WString& path, const std::vector<ClumIdent>& inHeader,
                     const ClumIdent& name, int depth) {
        const tKeywords& k = Keywords();
        if (name == k.isUnit || name == k.isLoaded) {
            Key(depth, name);
            Raw(name == k.isUnit ? "TRUE" : "FALSE");
        } else if (name == k.fileName) {
            Key(depth, name);
            String(path, depth);
        } else if (name == k.quid && !unit.quid.IsEmpty() &&
                   std::find(inHeader.begin(), inHeader.end(), k.quid) == inHeader.end()) {
            Key(depth, name);
            String(unit.quid.Get(), depth);
        }
    }

    // The features an object's header carries, of the object asked last.
    const std::vector<ClumIdent>& InHeader(const ClumVellumEntity& object, const tClassLayout& layout) {
        if (&object != m_headerOf) {
            m_headerOf = &object;
            m_inHeader.clear();
            Capture([&] { Header(object, layout, m_inHeader); });
        }
        return m_inHeader;
    }

    const std::vector<const SetAsideObject*>* KeptOf(const ClumVellumEntity& object) const {
        if (m_setAside.empty()) return nullptr;
        const auto found = m_setAside.find(&object);
        return found == m_setAside.end() ? nullptr : &found->second;
    }

    void Features(const ClumVellumEntity& object, const tClassLayout& layouts, const std::vector<ClumIdent>& inHeader,
                  int depth) {
        const std::vector<const SetAsideObject*>* kept = KeptOf(object);
        for (const tFeatureLayout& layout : layouts.features) OneFeature(object, layouts, layout, inHeader, kept, depth);
        if (kept == nullptr) return;
        // Objects given to features the class does not have.
        for (const SetAsideObject* entry : *kept) {
            if (object.GetFeature(entry->feature) != nullptr) continue;
            Key(depth, entry->feature);
            Element(*entry->object, depth);
        }
    }

    void OneFeature(const ClumVellumEntity& object, const tClassLayout& layouts, const tFeatureLayout& layout,
                    const std::vector<ClumIdent>& inHeader, const std::vector<const SetAsideObject*>* kept,
                    int depth) {
        const ClumIdent& isLoaded = Keywords().isLoaded;
        const ClumIdent& fileName = Keywords().fileName;
        const ClumMetaFeature* meta = layout.meta;
        const ClumIdent& name = meta->GetName();
        if (!inHeader.empty() && std::find(inHeader.begin(), inHeader.end(), name) != inHeader.end()) return;
        if (&object == m_topUnit && (name == isLoaded || name == fileName)) return;
        IlumFeature* feature = meta->m_pfnGetFeature(&const_cast<ClumVellumEntity&>(object));
        m_layout = &layout;
        if (const WString* stored = StoredDocumentPath(object, name)) {
            // The path as stored, not the one loading resolved it into.
            Key(depth, name);
            String(*stored, depth);
            m_layout = nullptr;
            return;
        }
        switch (meta->GetKind()) {
            case ClumMetaFeature::eAttribute:
                if (layouts.parameter && (name == Keywords().dir || name == Keywords().isConst)) break;
                Attribute(*feature->GetAttribute(), *meta, layout.always || (name == isLoaded && IsStub(object)),
                          depth);
                break;
            case ClumMetaFeature::eReference:
                Reference(object, *feature->GetReference(), *meta, depth);
                break;
            case ClumMetaFeature::eLink:
                Link(*feature->GetLink(), name, kept, depth);
                break;
        }
        m_layout = nullptr;
    }

    const WString* StoredDocumentPath(const ClumVellumEntity& object, const ClumIdent& name) const {
        if (m_options.setAside == nullptr || name != Keywords().externalDocPath ||
            !IsKind(object, Clumexternal_doc::StaticGetMetaClass())) {
            return nullptr;
        }
        return m_options.setAside->StoredPath(&static_cast<const Clumexternal_doc&>(object));
    }

    // The objects set aside under a feature the class does not have.
    void Unknown(const std::vector<const SetAsideObject*>* kept, const ClumIdent& name, int depth) {
        if (kept == nullptr) return;
        for (const SetAsideObject* entry : *kept) {
            if (entry->feature != name) continue;
            Key(depth, entry->feature);
            Element(*entry->object, depth);
        }
    }

    void Attribute(const IlumAttribute& attribute, const ClumMetaFeature& meta, bool always, int depth) {
        const ValueType type = GetValueType(meta);
        if (type == ValueType::Ident) {
            if (attribute.IsEmpty()) return;
            ClumIdent value;
            attribute.GetAsIdent(value);
            Key(depth, meta.GetName());
            String(value, depth);
            return;
        }
        const bool number = type == ValueType::Bool || type == ValueType::Int || type == ValueType::Enumeration;
        if (type != ValueType::Float && attribute.IsEmpty() && !(always && number)) return;
        m_scratch.clear();
        attribute.Encode(m_scratch);
        if (type == ValueType::Int && m_options.charSet && meta.GetName() == Keywords().charSet &&
            &meta.GetOwner() == &ClumVellum::StaticGetMetaClass()) {
            m_scratch.Format(L"%d", *m_options.charSet);
        }
        switch (type) {
            case ValueType::Float:
                // A float is never empty; zero is what an absent one reads as.
                if (!always && (m_scratch == L"0.000000" || m_scratch == L"-0.000000")) return;
                Key(depth, meta.GetName());
                Text(m_scratch);
                return;
            case ValueType::Bool:
                Key(depth, meta.GetName());
                Raw(m_scratch == L"true" ? "TRUE" : "FALSE");
                return;
            case ValueType::Int:
                Key(depth, meta.GetName());
                Text(m_scratch);
                return;
            case ValueType::Location:
                Key(depth, meta.GetName());
                Location(m_scratch);
                return;
            case ValueType::PointVector:
                Points(meta.GetName(), m_scratch, depth);
                return;
            default:
                Key(depth, meta.GetName());
                String(m_scratch, depth);
                return;
        }
    }

    // "(x , y)" as the files write it: "(x, y)".
    void Location(const WString& encoded) {
        std::size_t i = 0;
        while (i < encoded.size()) {
            if (encoded.compare(i, 3, L" , ") == 0) {
                Raw(", ");
                i += 3;
            } else {
                m_buffer += static_cast<char>(encoded[i++]);
            }
        }
    }

    void Points(const ClumIdent& name, const WString& encoded, int depth) {
        if (encoded.empty()) return;
        Key(depth, name);
        Raw("(list Points");
        std::size_t start = 0;
        while (start < encoded.size()) {
            const std::size_t end = encoded.find(L')', start);
            if (end == WString::npos) break;
            NewLine(depth + 1);
            Location(WString(encoded.substr(start, end + 1 - start)));
            start = end + 1;
        }
        Raw(')');
    }

    void Reference(const ClumVellumEntity& owner, const IlumReference& reference, const ClumMetaFeature& meta,
                   int depth) {
        const ClumIdent& name = meta.GetName();
        const bool parameterType = name == Keywords().type && m_orders.Of(owner.GetMetaClass()).parameter;
        if (reference.IsEmpty() && !parameterType) return;
        const int count = reference.IsEmpty() ? 0 : reference.GetCount();
        if (name == Keywords().exceptions) {
            // One text, the names separated by commas.
            WString joined, one;
            for (int i = 0; i < count; ++i) {
                one.clear();
                reference.EncodeReference(one, reference.IsSingle() ? -1 : i);
                if (one.empty()) continue;
                if (!joined.empty()) joined += L", ";
                joined += one;
            }
            if (joined.empty()) return;
            Key(depth, name);
            String(joined, depth);
            return;
        }
        if (parameterType) {
            ParameterType(static_cast<const ClumParameter&>(owner), depth);
            return;
        }
        for (int i = 0; i < count; ++i) {
            // A single value sits at index -1.
            const long at = reference.IsSingle() ? -1 : i;
            const ClumObjectRef* value = reference.GetObjectRef(at);
            if (value == nullptr) continue;
            const ClumVellumEntity* target = value->Target();
            if (value->GetKind() == ClumObjectRef::eFromObject && target != nullptr &&
                IsKind(*target, ClumFont::StaticGetMetaClass())) {
                // A font is written where it is used.
                Key(depth, name);
                Object(*target, depth);
                continue;
            }
            m_scratch.clear();
            reference.EncodeReference(m_scratch, at);
            if (m_scratch.empty()) continue;
            Key(depth, name);
            if (value->GetKind() == ClumObjectRef::eLabel && IsPlainSymbol(m_scratch.c_str(), m_scratch.size())) {
                Text(m_scratch);
            } else {
                String(m_scratch, depth);
            }
        }
    }

    // A parameter's type text carries its "const" and its direction.
    void ParameterType(const ClumParameter& parameter, int depth) {
        WString text;
        if (parameter.isConst.Get()) text += L"const ";
        WString direction;
        parameter.dir.Encode(direction);
        if (const wchar_t* word = ParameterDirectionWord(direction)) {
            text += word;
            text += L' ';
        }
        WString type;
        if (!parameter.type.IsEmpty()) parameter.type.EncodeReference(type, -1);
        text += type;
        while (!text.empty() && text.back() == L' ') text.pop_back();
        if (text.empty()) return;
        Key(depth, parameter.type.GetMetaFeature()->GetName());
        String(text, depth);
    }

    // A link's elements with the objects set aside among them where they stood.
    static std::vector<const ClumVellumEntity*> Merged(const IlumLink& link, const ClumIdent& name,
                                                       const std::vector<const SetAsideObject*>* kept) {
        std::vector<const ClumVellumEntity*> elements;
        const int size = link.GetSize();
        elements.reserve(static_cast<std::size_t>(size));
        for (int i = 0; i <= size; ++i) {
            if (kept != nullptr) {
                for (const SetAsideObject* entry : *kept) {
                    if (entry->feature == name && (entry->position == i || (i == size && entry->position > size))) {
                        elements.push_back(entry->object.get());
                    }
                }
            }
            if (i < size) elements.push_back(link.GetAt(i));
        }
        return elements;
    }

    void Link(const IlumLink& link, const ClumIdent& name, const std::vector<const SetAsideObject*>* kept,
              int depth) {
        const std::vector<const ClumVellumEntity*> elements = Merged(link, name, kept);
        if (elements.empty()) return;
        bool alwaysList = false;
        const wchar_t* list = ListName(name, alwaysList);
        Key(depth, name);
        if (!alwaysList && elements.size() == 1) {
            Element(*elements.front(), depth);
            return;
        }
        Raw("(list");
        if (list == nullptr) {
            Raw(' ');
            Text(name);
            Raw("_list");
        } else if (*list != 0) {
            Raw(' ');
            Text(list, std::wcslen(list));
        }
        for (const ClumVellumEntity* element : elements) {
            NewLine(depth + 1);
            Element(*element, depth + 1);
        }
        Raw(')');
    }

    // An object as the value of a feature or an element of a list: the
    // primitive values as their text, everything else as a construct.
    void Element(const ClumVellumEntity& object, int depth) {
        if (IsKind(object, ClumVellumIdent::StaticGetMetaClass())) {
            const ClumIdent& value = static_cast<const ClumVellumIdent&>(object).value.Get();
            // Words and numbers were written bare, texts quoted.
            if (WString::Match(value.c_str(), L"true", false) || WString::Match(value.c_str(), L"false", false) ||
                IsInteger(value.c_str(), value.GetLength())) {
                Text(value);
            } else {
                String(value, depth);
            }
            return;
        }
        if (IsKind(object, ClumVellumBool::StaticGetMetaClass())) {
            Raw(static_cast<const ClumVellumBool&>(object).value.Get() ? "\"TRUE\"" : "\"FALSE\"");
            return;
        }
        if (IsKind(object, ClumVellumPrimitive::StaticGetMetaClass())) {
            m_scratch.clear();
            const IlumFeature* value = object.GetFeature(Keywords().value);
            const_cast<IlumFeature*>(value)->GetAttribute()->Encode(m_scratch);
            String(WString(m_scratch), depth);
            return;
        }
        Object(object, depth);
    }

    ByteSink& m_sink;
    const FileOptions& m_options;
    tWritingOrders& m_orders;
    std::unordered_map<const ClumVellumEntity*, std::vector<const SetAsideObject*>> m_setAside;
    const ClumUnitObject* m_topUnit = nullptr;
    const ClumVellumEntity* m_headerOf = nullptr;
    std::vector<ClumIdent> m_inHeader;
    bool m_capturing = false;
    // The feature being written, whose line start is made already.
    const tFeatureLayout* m_layout = nullptr;
    std::string m_buffer;
    WString m_scratch;
    bool m_failed = false;
    FileWriteResult m_result;
};

// Writes `objects` where the original file's top-level constructs stood;
// `topUnit` is the unit a unit file holds.
FileWriteResult KeepLayout(tNotationWriter& writer, const std::vector<const ClumVellumEntity*>& objects,
                           const ClumUnitObject* topUnit, const FileOptions& options, tWritingOrders& orders) {
    const FileLayout& original = *options.original;
    // The file's objects laid out plainly, in the same code page, to be
    // compared with the model's.
    FileOptions plain;
    plain.codePage = options.codePage;
    plain.setAside = &original.File().setAside;
    tNullSink nowhere;
    tNotationWriter was(nowhere, plain, orders);
    if (topUnit != nullptr && !original.File().unit.IsEmpty()) {
        was.SetTopUnit(static_cast<const ClumUnitObject*>(original.File().unit.Get(0)));
    }
    tLayoutKeeper keeper(original, writer, was, original.CodePage(), options.codePage);
    keeper.File(objects);
    writer.AddUnrepresentable(keeper.Unrepresentable());
    return writer.Finish();
}

}  // namespace

FileWriteResult WriteFile(const ClumVellumFile& file, ByteSink& sink, const FileOptions& options) {
    tWritingOrders orders;
    return WriteFile(file, sink, options, orders);
}

FileWriteResult WriteUnitFile(const ClumVellum* header, const ClumUnitObject& unit, ByteSink& sink,
                              const FileOptions& options) {
    tWritingOrders orders;
    return WriteUnitFile(header, unit, sink, options, orders);
}

FileWriteResult WriteFile(const ClumVellumFile& file, ByteSink& sink, const FileOptions& options,
                          tWritingOrders& orders) {
    std::vector<const ClumVellumEntity*> objects;
    for (const IlumLink* link : {static_cast<const IlumLink*>(&file.version), static_cast<const IlumLink*>(&file.design),
                                 static_cast<const IlumLink*>(&file.unit)}) {
        for (int i = 0; i < link->GetSize(); ++i) objects.push_back(link->GetAt(i));
    }
    tNotationWriter writer(sink, options, orders);
    if (options.original != nullptr) return KeepLayout(writer, objects, nullptr, options, orders);
    for (const ClumVellumEntity* object : objects) writer.TopLevel(*object);
    return writer.Finish();
}

FileWriteResult WriteUnitFile(const ClumVellum* header, const ClumUnitObject& unit, ByteSink& sink,
                              const FileOptions& options, tWritingOrders& orders) {
    tNotationWriter writer(sink, options, orders);
    writer.SetTopUnit(&unit);
    if (options.original != nullptr) {
        // The unit file's own header, which loading does not keep, is
        // written back rather than the main file's.
        const ClumVellumFile& original = options.original->File();
        if (!original.version.IsEmpty()) header = original.version.Get(0);
        std::vector<const ClumVellumEntity*> objects;
        if (header != nullptr) objects.push_back(header);
        objects.push_back(&unit);
        return KeepLayout(writer, objects, &unit, options, orders);
    }
    if (header != nullptr) writer.TopLevel(*header);
    writer.TopLevel(unit);
    return writer.Finish();
}

}  // namespace lum::write
