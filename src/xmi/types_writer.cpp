// Type references. UML's five primitive types are referred to in the
// standard library of the flavour; a reference bound to a classifier of the
// model by that classifier's id; every other type name (int, void, Date, a
// name that did not bind, ...) by one type the model owns per name, in a
// package "types" at the end of the root model: a primitive type for the
// programming languages' primitive names, a data type for the rest. The
// events triggers name are signal events in a package "events" beside it.

#include <array>

#include "xmi/exporter.h"

namespace lum::xmi::detail {

namespace {

constexpr std::array<std::wstring_view, 5> kStandard = {L"String", L"Integer", L"Boolean", L"Real", L"UnlimitedNatural"};
constexpr std::array<std::wstring_view, 17> kPrimitive = {
    L"int",    L"long",  L"short", L"char", L"bool",     L"boolean",  L"float", L"double", L"void",
    L"byte",   L"unsigned", L"signed", L"string", L"integer", L"real", L"unsigned int", L"long long"};

std::wstring_view NameOf(const uml::TypeRef& type) { return {type.name.c_str(), type.name.GetLength()}; }

bool IsTypeElement(const uml::Element* element) {
    if (element == nullptr) return false;
    switch (element->kind) {
        case uml::Kind::Classifier:
        case uml::Kind::UseCase:
        case uml::Kind::Component:
        case uml::Kind::Node: return true;
        default: return false;
    }
}

}  // namespace

bool tExporter::IsStandard(const uml::TypeRef& type) const {
    if (IsTypeElement(type.element)) return false;
    const std::wstring_view name = NameOf(type);
    for (const std::wstring_view standard : kStandard)
        if (name == standard) return true;
    return false;
}

std::string tExporter::TypeId(const uml::TypeRef& type) {
    if (IsTypeElement(type.element)) return m_ids.Of(type.element);
    const std::wstring_view name = NameOf(type);
    if (name.empty() || IsStandard(type)) return {};
    bool primitive = false;
    for (const std::wstring_view candidate : kPrimitive) primitive = primitive || name == candidate;
    m_types.emplace(std::wstring(name), primitive);
    std::string id = "lum-t-";
    tIds::AppendEscaped(id, name);
    return id;
}

// Suppliers of relationships may be any named element the model writes.
std::string tExporter::TargetId(const uml::TypeRef& target) {
    if (target.element != nullptr) {
        switch (target.element->kind) {
            case uml::Kind::Package:
            case uml::Kind::Interaction:
            case uml::Kind::StateMachine: return m_ids.Of(target.element);
            default: break;
        }
    }
    if (IsStandard(target)) {
        std::string id = "lum-t-";
        tIds::AppendEscaped(id, NameOf(target));
        m_types.emplace(std::wstring(NameOf(target)), true);
        return id;
    }
    return TypeId(target);
}

void tExporter::TypeAttr(std::string_view name, const uml::TypeRef& type) {
    if (IsStandard(type)) return;
    const std::string id = TypeId(type);
    if (!id.empty()) m_xml.Attr(name, id);
}

void tExporter::TypeChild(std::string_view tag, const uml::TypeRef& type) {
    if (!IsStandard(type)) return;
    std::string href = m_flavour == Flavour::Eclipse ? "pathmap://UML_LIBRARIES/UMLPrimitiveTypes.library.uml#"
                                                     : "http://www.omg.org/spec/UML/20161101/PrimitiveTypes.xmi#";
    href.append(type.name.c_str(), type.name.c_str() + type.name.GetLength());
    m_xml.Start(tag);
    m_xml.Attr("xmi:type", "uml:PrimitiveType");
    m_xml.Attr("href", href);
    m_xml.End();
}

std::string tExporter::EventId(std::wstring_view name) {
    m_events.emplace(std::wstring(name), true);
    std::string id = "lum-ev-";
    tIds::AppendEscaped(id, name);
    return id;
}

void tExporter::TypesPackage() {
    if (!m_events.empty()) {
        m_xml.Start("packagedElement");
        m_xml.Attr("xmi:type", "uml:Package");
        m_xml.Attr("xmi:id", "lum-events");
        m_xml.Attr("name", "events");
        for (const auto& [name, unused] : m_events) {
            std::string id;
            tIds::AppendEscaped(id, name);
            m_xml.Start("packagedElement");
            m_xml.Attr("xmi:type", "uml:Signal");
            m_xml.Attr("xmi:id", "lum-sig-", id);
            m_xml.Text("name", name);
            m_xml.End();
            m_xml.Start("packagedElement");
            m_xml.Attr("xmi:type", "uml:SignalEvent");
            m_xml.Attr("xmi:id", "lum-ev-", id);
            m_xml.Text("name", name);
            m_xml.Attr("signal", "lum-sig-", id);
            m_xml.End();
        }
        m_xml.End();
    }
    if (m_types.empty()) return;
    m_xml.Start("packagedElement");
    m_xml.Attr("xmi:type", "uml:Package");
    m_xml.Attr("xmi:id", "lum-types");
    m_xml.Attr("name", "types");
    for (const auto& [name, primitive] : m_types) {
        std::string id = "lum-t-";
        tIds::AppendEscaped(id, name);
        m_xml.Start("packagedElement");
        m_xml.Attr("xmi:type", primitive ? "uml:PrimitiveType" : "uml:DataType");
        m_xml.Attr("xmi:id", id);
        m_xml.Text("name", name);
        m_xml.End();
    }
    m_xml.End();
}

}  // namespace lum::xmi::detail
