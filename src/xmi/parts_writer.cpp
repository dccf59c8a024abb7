// The parts every element may carry: keywords, property values,
// documentation; and the small value parts (multiplicity, visibility,
// opaque expressions and behaviours).

#include <unordered_map>
#include <unordered_set>

#include "lum/text/utf8.h"
#include "xmi/exporter.h"

namespace lum::xmi::detail {

namespace {

// The tools' own tag for keywords: UML2 tools read an element's keywords
// from the details of this annotation.
constexpr std::string_view kKeywordSource = "http://www.eclipse.org/uml2/2.0.0/UML";

// Property values flattened: a value that is a set of values gives its
// items "name.item", depth first.
struct tFlat {
    std::wstring key;
    const WString* value;
};

void Flatten(const uml::PropertyValue& top, std::vector<tFlat>& out) {
    std::vector<std::pair<const uml::PropertyValue*, std::wstring>> stack{{&top, std::wstring(top.name.c_str(), top.name.GetLength())}};
    while (!stack.empty()) {
        auto [value, key] = std::move(stack.back());
        stack.pop_back();
        out.push_back({key, &value->value});
        for (auto item = value->items.rbegin(); item != value->items.rend(); ++item)
            stack.emplace_back(&*item, key + L"." + std::wstring(item->name.c_str(), item->name.GetLength()));
    }
}

// An annotation's source, made from a property set's tool name: the name
// in UTF-8 with every byte other than an ASCII letter, digit or one of
// "-._~" percent-encoded ("Data Modeler" becomes "Data%20Modeler", "cg"
// stays "cg"). That is a well-formed relative URI of one path segment,
// which any URI decoder turns back into the tool's name, and the same name
// always gives the same source.
std::string SourceUri(std::wstring_view tool) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri;
    for (const unsigned char c : ToUtf8(tool)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        }
    }
    return uri;
}

// The detail keys of one annotation. A property stored more than once under
// one tool keeps every value: its first occurrence has the plain key, the
// next ones "key #2", "key #3", ... (as `lum diff` numbers them), skipping
// any key the annotation has of its own, so no two details share a key.
void DistinctKeys(std::vector<tFlat>& entries) {
    std::unordered_set<std::wstring> own, used;
    std::unordered_map<std::wstring, int> next;  // of a key seen again: the number it tries next
    for (const tFlat& entry : entries) own.insert(entry.key);
    for (tFlat& entry : entries) {
        if (used.insert(entry.key).second) continue;
        int& n = next.try_emplace(entry.key, 2).first->second;
        std::wstring key;
        do key = entry.key + L" #" + std::to_wstring(n++);
        while (own.count(key) != 0 || used.count(key) != 0);
        used.insert(key);
        entry.key = std::move(key);
    }
}

}  // namespace

void tExporter::Common(const uml::Element& element, std::wstring_view keyword, bool ownStereotype) {
    const std::string& id = m_ids.Of(&element);
    std::vector<std::wstring_view> keywords;
    const ClumIdent stereotype = ownStereotype ? element.Stereotype() : ClumIdent();
    if (stereotype.GetLength() != 0) keywords.push_back(Wide(stereotype));
    if (!keyword.empty() && (keywords.empty() || keywords.front() != keyword)) keywords.push_back(keyword);
    const std::vector<uml::PropertyValue> values = element.PropertyValues();
    if (m_flavour == Flavour::Eclipse) {
        if (!keywords.empty()) {
            m_xml.Start("eAnnotations");
            m_xml.Attr("xmi:type", "ecore:EAnnotation");
            m_xml.Attr("xmi:id", id, "-kw");
            m_xml.Attr("source", kKeywordSource);
            for (std::size_t i = 0; i < keywords.size(); ++i) {
                m_xml.Start("details");
                m_xml.Attr("xmi:type", "ecore:EStringToStringMapEntry");
                m_xml.Attr("xmi:id", id + "-kw", std::to_string(i));
                m_xml.Text("key", keywords[i]);
                m_xml.End();
            }
            m_xml.End();
        }
        PropertyValues(values, id);
    } else if (!keywords.empty() || !values.empty()) {
        // The OMG flavour keeps what UML has no place for in an extension of the element.
        m_xml.Start("xmi:Extension");
        m_xml.Attr("extender", "lum");
        for (const std::wstring_view word : keywords) {
            m_xml.Start("keyword");
            m_xml.Text("value", word);
            m_xml.End();
        }
        std::vector<tFlat> flat;
        for (const uml::PropertyValue& value : values) {
            flat.clear();
            Flatten(value, flat);
            for (const tFlat& entry : flat) {
                m_xml.Start("property");
                m_xml.Text("tool", Wide(value.tool));
                m_xml.Text("name", entry.key);
                m_xml.Text("value", *entry.value);
                m_xml.End();
            }
        }
        m_xml.End();
    }
    const WString& documentation = element.Documentation();
    if (!documentation.empty()) Comment(id + "-doc", id, documentation);
}

// One annotation per tool, in the order the tools first appear, with the
// tool as its source (none for a tool without a name); its details are the
// names and values.
void tExporter::PropertyValues(const std::vector<uml::PropertyValue>& values, const std::string& id) {
    std::vector<bool> done(values.size(), false);
    std::vector<tFlat> flat;
    std::size_t annotation = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (done[i]) continue;
        flat.clear();
        for (std::size_t j = i; j < values.size(); ++j) {
            if (done[j] || !(values[j].tool == values[i].tool)) continue;
            done[j] = true;
            Flatten(values[j], flat);
        }
        DistinctKeys(flat);
        const std::string annotationId = id + "-pv" + std::to_string(annotation++);
        m_xml.Start("eAnnotations");
        m_xml.Attr("xmi:type", "ecore:EAnnotation");
        m_xml.Attr("xmi:id", annotationId);
        if (values[i].tool.GetLength() != 0) m_xml.Attr("source", SourceUri(Wide(values[i].tool)));
        for (std::size_t detail = 0; detail < flat.size(); ++detail) {
            m_xml.Start("details");
            m_xml.Attr("xmi:type", "ecore:EStringToStringMapEntry");
            m_xml.Attr("xmi:id", annotationId + "-d", std::to_string(detail));
            m_xml.Text("key", flat[detail].key);
            m_xml.Text("value", *flat[detail].value);
            m_xml.End();
        }
        m_xml.End();
    }
}

void tExporter::Comment(const std::string& id, const std::string& annotated, std::wstring_view body) {
    m_xml.Start("ownedComment");
    m_xml.Attr("xmi:type", "uml:Comment");
    m_xml.Attr("xmi:id", id);
    m_xml.Attr("annotatedElement", annotated);
    m_xml.TextElement("body", body);
    m_xml.End();
}

void tExporter::Visibility(uml::Visibility visibility) {
    switch (visibility) {
        case uml::Visibility::Public: m_xml.Attr("visibility", "public"); break;
        case uml::Visibility::Protected: m_xml.Attr("visibility", "protected"); break;
        case uml::Visibility::Private: m_xml.Attr("visibility", "private"); break;
        case uml::Visibility::Package: m_xml.Attr("visibility", "package"); break;
        case uml::Visibility::Unspecified: break;
    }
}

// A multiplicity as written: its lowest lower and highest upper bound. An
// unspecified one is left out (UML's default is 1).
void tExporter::Multiplicity(const uml::Multiplicity& multiplicity, const std::string& id) {
    if (!multiplicity.IsValid()) return;
    m_xml.Start("lowerValue");
    m_xml.Attr("xmi:type", "uml:LiteralInteger");
    m_xml.Attr("xmi:id", id, "-lower");
    m_xml.Attr("value", static_cast<long long>(multiplicity.Lower()));
    m_xml.End();
    m_xml.Start("upperValue");
    m_xml.Attr("xmi:type", "uml:LiteralUnlimitedNatural");
    m_xml.Attr("xmi:id", id, "-upper");
    const std::int64_t upper = multiplicity.Upper();
    if (upper == uml::MultiplicityRange::kUnlimited) m_xml.Attr("value", "*");
    else m_xml.Attr("value", static_cast<long long>(upper));
    m_xml.End();
}

void tExporter::Opaque(std::string_view tag, std::string_view type, const std::string& id, std::wstring_view body) {
    m_xml.Start(tag);
    m_xml.Attr("xmi:type", type);
    m_xml.Attr("xmi:id", id);
    m_xml.TextElement("body", body);
    m_xml.End();
}

}  // namespace lum::xmi::detail
