// Relationships: written where UML keeps them (a generalization in the
// specific classifier, an interface realization in the realizing one, an
// import, include or extend in its client) when the client can hold them,
// else as a packaged dependency, realization or communication path with its
// client and supplier written explicitly.

#include "lum/model/classes.h"
#include "xmi/exporter.h"

namespace lum::xmi::detail {

void tExporter::Relationship(const uml::Relationship& relationship, std::string_view tag) {
    using R = uml::RelationshipKind;
    // A supplier that is one of the standard primitive types is referred to by a child element.
    const bool standard = IsStandard(relationship.supplier);
    const std::string target = standard ? std::string() : TargetId(relationship.supplier);
    std::vector<std::string_view> hrefs;
    const auto supplier = [&](std::string_view name) {
        if (standard) hrefs.push_back(name);
        else m_xml.Attr(name, target);
    };
    const std::string& id = m_ids.Of(&relationship);
    const std::string& client = relationship.client != nullptr ? m_ids.Of(relationship.client) : id;
    std::wstring_view keyword;
    if (tag == "generalization") {
        Begin(tag, "uml:Generalization", relationship);
        supplier("general");
    } else if (tag == "interfaceRealization") {
        Begin(tag, "uml:InterfaceRealization", relationship);
        m_xml.Attr("client", client);
        supplier("supplier");
        supplier("contract");
    } else if (tag == "packageImport") {
        Begin(tag, "uml:PackageImport", relationship);
        supplier("importedPackage");
        Visibility(relationship.visibility);
    } else if (tag == "include") {
        Begin(tag, "uml:Include", relationship);
        supplier("addition");
    } else if (tag == "extend") {
        Begin(tag, "uml:Extend", relationship);
        supplier("extendedCase");
        m_xml.Attr("extensionLocation", target, "-xp");
    } else if (relationship.sort == R::Connection) {
        // A connection between nodes: a communication path with its two ends.
        Begin(tag, "uml:CommunicationPath", relationship);
        m_xml.ListStart("memberEnd");
        m_xml.Item(id, "-e0");
        m_xml.Item(id, "-e1");
        m_xml.ListEnd();
        Common(relationship);
        for (int e = 0; e < 2; ++e) {
            m_xml.Start("ownedEnd");
            m_xml.Attr("xmi:type", "uml:Property");
            m_xml.Attr("xmi:id", id, e == 0 ? "-e0" : "-e1");
            if (e == 0) m_xml.Attr("type", client);
            else supplier("type");
            m_xml.Attr("association", id);
            if (e == 1) for (const std::string_view name : hrefs) TypeChild(name, relationship.supplier);
            m_xml.End();
        }
        m_xml.End();
        return;
    } else {
        std::string_view type = "uml:Dependency";
        switch (relationship.sort) {
            case R::Realization: type = "uml:Realization"; break;
            case R::Generalization: keyword = L"generalization"; break;
            case R::Import: keyword = L"import"; break;
            case R::Instantiation: keyword = L"bind"; break;
            case R::Include: keyword = L"include"; break;
            case R::Extend: keyword = L"extend"; break;
            default:
                if (AsUses(relationship)) type = "uml:Usage";
                break;
        }
        Begin(tag, type, relationship);
        m_xml.Attr("client", client);
        supplier("supplier");
    }
    const bool ownStereotype = relationship.sort != R::Include && relationship.sort != R::Extend;
    Common(relationship, keyword, ownStereotype);
    for (const std::string_view name : hrefs) TypeChild(name, relationship.supplier);
    m_xml.End();
}

bool tExporter::AsUses(const uml::Relationship& relationship) {
    const ClumVellumEntity* raw = relationship.raw;
    return raw != nullptr && raw->GetMetaClass().IsKindOf(&ClumUses_Relationship::StaticGetMetaClass());
}

}  // namespace lum::xmi::detail
