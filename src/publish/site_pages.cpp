#include "publish/site_pages.h"

#include <algorithm>
#include <tuple>

#include "lum/text/markup.h"
#include "lum/uml/presentation.h"
#include "publish/site_svg.h"

namespace lum::publish::detail {

std::string KindWord(const uml::Element& element) {
    switch (element.kind) {
        case uml::Kind::Package: return static_cast<const uml::Package&>(element).isModel ? "model" : "package";
        case uml::Kind::Classifier:
            switch (static_cast<const uml::Classifier&>(element).sort) {
                case uml::ClassifierKind::DataType: return "data type";
                case uml::ClassifierKind::Utility: return "class utility";
                default: return uml::ClassifierKindName(static_cast<const uml::Classifier&>(element).sort);
            }
        case uml::Kind::Property: return "attribute";
        case uml::Kind::AssociationEnd: return "association end";
        case uml::Kind::UseCase: return "use case";
        case uml::Kind::StateMachine: return "state machine";
        case uml::Kind::State: {
            const auto sort = static_cast<const uml::State&>(element).sort;
            return sort == uml::StateKind::Simple ? "state" : uml::StateKindName(sort);
        }
        case uml::Kind::ObjectNode: return "object";
        case uml::Kind::ObjectFlow: return "object flow";
        case uml::Kind::Component:
            return static_cast<const uml::Component&>(element).sort == uml::ComponentKind::Subsystem ? "subsystem"
                                                                                                   : "component";
        case uml::Kind::Node:
            return static_cast<const uml::Node&>(element).sort == uml::NodeKind::Device ? "device" : "processor";
        case uml::Kind::Diagram: {
            const auto sort = static_cast<const uml::Diagram&>(element).sort;
            return sort == uml::DiagramKind::UseCase ? "use-case diagram"
                                                     : std::string(uml::DiagramKindName(sort)) + " diagram";
        }
        case uml::Kind::Relationship: return uml::RelationshipKindName(static_cast<const uml::Relationship&>(element).sort);
        default: return uml::KindName(element.kind);
    }
}

std::string DisplayName(const uml::Element& element) {
    return element.name.GetLength() != 0 ? uml::ShownText(element.name) : "(unnamed " + KindWord(element) + ")";
}

namespace {

constexpr const char* kSearch =
    "<input id=\"search\" type=\"search\" placeholder=\"Search names\" autocomplete=\"off\" aria-label=\"Search "
    "names\"><ol id=\"results\"></ol>";

std::string ModelTitle(const tSiteIndex& site) {
    std::string title;
    for (const uml::Package* model : site.view.Models()) {
        if (!title.empty()) title += ", ";
        title += DisplayName(*model);
    }
    return title.empty() ? "Model" : title;
}

void Head(const std::string& title, const char* root, std::ostream& out) {
    out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" << Markup(title)
        << "</title>\n<link rel=\"stylesheet\" href=\"" << root << "assets/site.css\">\n</head>\n";
}

void Foot(const char* root, std::ostream& out) {
    out << "<script src=\"" << root << "assets/tree.js\"></script>\n<script src=\"" << root
        << "assets/site.js\"></script>\n</body>\n</html>\n";
}

// One page: the sections of an element, with links relative to e/.
class tPage {
public:
    tPage(const tSiteIndex& site, const uml::Element& element, std::ostream& out)
        : m_site(site), m_element(element), m_out(out) {}

    void Write() {
        const long package = NearestPackagePage();
        Head(DisplayName(m_element) + " (" + KindWord(m_element) + ")", "../", m_out);
        m_out << "<body data-root=\"../\" data-page=\"" << m_site.PageOf(&m_element) << "\" data-package=\"" << package
              << "\">\n<header><a class=\"home\" href=\"../index.html\">" << Markup(ModelTitle(m_site)) << "</a>"
              << kSearch << "</header>\n<nav id=\"tree\"></nav>\n<main>\n";
        Crumbs();
        m_out << "<h1><span class=\"kind\">" << Markup(KindWord(m_element)) << "</span> "
              << Markup(DisplayName(m_element)) << "</h1>\n";
        Common();
        switch (m_element.kind) {
            case uml::Kind::Classifier: Classifier(static_cast<const uml::Classifier&>(m_element)); break;
            case uml::Kind::Component: Component(static_cast<const uml::Component&>(m_element)); break;
            case uml::Kind::Node: Node(static_cast<const uml::Node&>(m_element)); break;
            case uml::Kind::Diagram: Diagram(static_cast<const uml::Diagram&>(m_element)); break;
            default: break;
        }
        Contents();
        Relationships();
        Appearances();
        m_out << "</main>\n";
        Foot("../", m_out);
    }

private:
    long NearestPackagePage() const {
        for (const uml::Element* at = &m_element; at != nullptr; at = at->owner)
            if (at->kind == uml::Kind::Package) return m_site.PageOf(at);
        return -1;
    }

    // A link to where the element is shown, else its name as text.
    std::string Link(const uml::Element* element, const std::string& text) const {
        const std::string href = m_site.Href(element);
        return href.empty() ? Markup(text) : "<a href=\"" + href + "\">" + Markup(text) + "</a>";
    }
    std::string Link(const uml::Element& element) const { return Link(&element, DisplayName(element)); }
    std::string Type(const uml::TypeRef& type) const {
        return type.element != nullptr ? Link(type.element, uml::TypeText(type)) : Markup(uml::TypeText(type));
    }

    void Crumbs() {
        std::vector<const uml::Element*> chain;
        for (const uml::Element* at = m_element.owner; at != nullptr; at = at->owner) chain.push_back(at);
        if (chain.empty()) return;
        m_out << "<p class=\"crumbs\">";
        for (auto at = chain.rbegin(); at != chain.rend(); ++at)
            m_out << (at == chain.rbegin() ? "" : " / ") << Link(**at);
        m_out << "</p>\n";
    }

    void Common() {
        const std::string stereotype = uml::StereotypeText(uml::ShownText(m_element.Stereotype()));
        if (!stereotype.empty()) m_out << "<p class=\"stereotype\">" << Markup(stereotype) << "</p>\n";
        if (!m_element.Documentation().empty())
            m_out << "<div class=\"doc\">" << Markup(uml::ShownText(m_element.Documentation())) << "</div>\n";
        const std::vector<uml::PropertyValue> values = m_element.PropertyValues();
        if (values.empty()) return;
        m_out << "<h2>Property values</h2>\n<table>\n<tr><th>tool</th><th>name</th><th>value</th></tr>\n";
        PropertyRows(values, "");
        m_out << "</table>\n";
    }

    void PropertyRows(const std::vector<uml::PropertyValue>& values, const std::string& prefix) {
        for (const uml::PropertyValue& value : values) {
            const std::string name = prefix + uml::ShownText(value.name);
            m_out << "<tr><td>" << Markup(uml::ShownText(value.tool)) << "</td><td>" << Markup(name) << "</td><td>"
                  << Markup(uml::ShownText(value.value)) << "</td></tr>\n";
            PropertyRows(value.items, name + ".");
        }
    }

    void Classifier(const uml::Classifier& classifier) {
        std::vector<std::string> facts;
        if (classifier.isAbstract) facts.emplace_back("abstract");
        if (classifier.visibility != uml::Visibility::Unspecified) facts.emplace_back(uml::VisibilityName(classifier.visibility));
        if (classifier.isInstantiated && classifier.templateClassifier.name.GetLength() != 0)
            facts.push_back("binds " + Type(classifier.templateClassifier));
        if (!facts.empty()) {
            m_out << "<p class=\"facts\">";
            for (std::size_t i = 0; i < facts.size(); ++i) m_out << (i ? ", " : "") << facts[i];
            m_out << "</p>\n";
        }
        const auto properties = classifier.Members<uml::Property>();
        if (!properties.empty()) {
            m_out << "<h2>Attributes</h2>\n<table>\n<tr><th></th><th>name</th><th>type</th><th>multiplicity</th>"
                     "<th>initial value</th><th></th></tr>\n";
            for (const uml::Property* property : properties) {
                m_out << "<tr id=\"" << tSiteIndex::Anchor(*property) << "\"><td>"
                      << uml::VisibilitySign(property->visibility) << "</td><td>"
                      << Markup(uml::ShownText(property->name))
                      << "</td><td>" << Type(property->type) << "</td><td>"
                      << Markup(uml::MultiplicityText(property->multiplicity)) << "</td><td>"
                      << Markup(uml::ShownText(property->defaultValue))
                      << "</td><td>" << (property->isStatic ? "static " : "") << (property->isDerived ? "derived" : "")
                      << "</td></tr>\n";
                if (!property->Documentation().empty())
                    m_out << "<tr><td></td><td colspan=\"5\" class=\"doc\">"
                          << Markup(uml::ShownText(property->Documentation())) << "</td></tr>\n";
            }
            m_out << "</table>\n";
        }
        const auto operations = classifier.Members<uml::Operation>();
        if (!operations.empty()) {
            m_out << "<h2>Operations</h2>\n<table>\n";
            for (const uml::Operation* operation : operations) Operation(*operation);
            m_out << "</table>\n";
        }
        if (!classifier.components.empty()) {
            m_out << "<h2>Realized by</h2>\n<ul>\n";
            for (const uml::Element* component : classifier.components) m_out << "<li>" << Link(*component) << "</li>\n";
            m_out << "</ul>\n";
        }
    }

    void Operation(const uml::Operation& operation) {
        m_out << "<tr id=\"" << tSiteIndex::Anchor(operation) << "\"><td>" << uml::VisibilitySign(operation.visibility)
              << "</td><td><code>";
        for (const uml::TextPart& part : uml::OperationParts(operation, uml::Signature::Complete))
            m_out << (part.element != nullptr ? Link(part.element, part.text) : Markup(part.text));
        m_out << "</code>";
        for (std::size_t i = 0; i < operation.exceptions.size(); ++i)
            m_out << (i == 0 ? " raises " : ", ") << Type(operation.exceptions[i]);
        m_out << "</td><td>" << (operation.isStatic ? "static " : "") << (operation.isAbstract ? "abstract " : "")
              << (operation.isQuery ? "query" : "") << "</td></tr>\n";
        std::string detail = uml::ShownText(operation.Documentation());
        const auto add = [&detail](const char* label, const WString* text) {
            if (text == nullptr || text->empty()) return;
            if (!detail.empty()) detail += "\n";
            (detail += label) += uml::ShownText(*text);
        };
        add("pre: ", operation.precondition);
        add("post: ", operation.postcondition);
        add("semantics: ", operation.semantics);
        if (!detail.empty())
            m_out << "<tr><td></td><td colspan=\"2\" class=\"doc\">" << Markup(detail) << "</td></tr>\n";
    }

    void Component(const uml::Component& component) {
        if (component.realizedClasses.empty()) return;
        m_out << "<h2>Realizes</h2>\n<ul>\n";
        for (const uml::Element* realized : component.realizedClasses) m_out << "<li>" << Link(*realized) << "</li>\n";
        m_out << "</ul>\n";
    }

    void Node(const uml::Node& node) {
        if (node.characteristics != nullptr && !node.characteristics->empty())
            m_out << "<h2>Characteristics</h2>\n<div class=\"doc\">" << Markup(uml::ShownText(*node.characteristics))
                  << "</div>\n";
    }

    void Diagram(const uml::Diagram& diagram) {
        m_out << "<figure class=\"diagram\">\n" << LinkedSvg(m_site, diagram) << "</figure>\n";
        std::vector<const uml::Element*> shown;
        for (const uml::Shown& item : diagram.shown)
            if (tSiteIndex::HasPage(*item.element) && std::find(shown.begin(), shown.end(), item.element) == shown.end())
                shown.push_back(item.element);
        if (!shown.empty()) {
            m_out << "<h2>Shown</h2>\n<ul>\n";
            for (const uml::Element* element : shown)
                m_out << "<li>" << Link(*element) << " <span class=\"kind\">" << Markup(KindWord(*element))
                      << "</span></li>\n";
            m_out << "</ul>\n";
        }
    }

    // What the element owns, besides what its own sections showed.
    void Contents() {
        std::vector<const uml::Element*> listed;
        for (const uml::Element* member : m_element.members) {
            if (m_element.kind == uml::Kind::Classifier &&
                (member->kind == uml::Kind::Property || member->kind == uml::Kind::Operation))
                continue;
            if (tSiteIndex::HasPage(*member) || member->kind == uml::Kind::StateMachine ||
                member->kind == uml::Kind::Interaction || member->kind == uml::Kind::UseCase)
                listed.push_back(member);
        }
        if (!listed.empty()) {
            m_out << "<h2>Contents</h2>\n<ul class=\"contents\">\n";
            for (const uml::Element* member : listed) {
                m_out << "<li";
                if (!tSiteIndex::HasPage(*member)) m_out << " id=\"" << tSiteIndex::Anchor(*member) << '"';
                m_out << "><span class=\"kind\">" << Markup(KindWord(*member)) << "</span> " << Link(*member);
                if (member->kind == uml::Kind::StateMachine || member->kind == uml::Kind::Interaction) Nested(*member);
                m_out << "</li>\n";
            }
            m_out << "</ul>\n";
        }
    }

    // The states and transitions of a state machine, the lifelines and messages of an interaction.
    void Nested(const uml::Element& owner) {
        std::vector<const uml::Element*> stack(owner.members.rbegin(), owner.members.rend());
        m_out << "<ul>";
        while (!stack.empty()) {
            const uml::Element* element = stack.back();
            stack.pop_back();
            if (element->kind == uml::Kind::Diagram) {
                m_out << "<li><span class=\"kind\">" << Markup(KindWord(*element)) << "</span> " << Link(*element)
                      << "</li>";
                continue;
            }
            if (const auto* transition = uml::As<uml::Transition>(element)) {
                m_out << "<li><span class=\"kind\">transition</span> "
                      << Markup(transition->source ? DisplayName(*transition->source) : "") << " \xE2\x86\x92 "
                      << Markup(transition->target.element ? DisplayName(*transition->target.element)
                                                         : uml::TypeText(transition->target));
                if (const std::string label = uml::TransitionText(*transition); !label.empty())
                    m_out << " : " << Markup(label);
                m_out << "</li>";
            } else if (element->name.GetLength() != 0 || element->kind == uml::Kind::State) {
                m_out << "<li><span class=\"kind\">" << Markup(KindWord(*element)) << "</span> "
                      << Markup(DisplayName(*element)) << "</li>";
            }
            for (auto member = element->members.rbegin(); member != element->members.rend(); ++member)
                stack.push_back(*member);
        }
        m_out << "</ul>";
    }

    std::string EndText(const uml::AssociationEnd& end) const {
        std::string text = end.type.element != nullptr ? Link(*end.type.element) : Markup(uml::TypeText(end.type));
        if (end.name.GetLength() != 0) text += " as <i>" + Markup(uml::ShownText(end.name)) + "</i>";
        if (end.multiplicity.IsSpecified()) text += " [" + Markup(uml::MultiplicityText(end.multiplicity)) + "]";
        if (end.aggregation != uml::Aggregation::None) text += std::string(" (") + uml::AggregationName(end.aggregation) + ")";
        if (end.isNavigable) text += " navigable";
        return text;
    }

    void Relationships() {
        std::vector<std::string> rows;
        for (const uml::Relationship* relationship : m_element.Members<uml::Relationship>())
            rows.push_back("<li>" + Markup(KindWord(*relationship)) + " \xE2\x86\x92 " + Type(relationship->supplier) +
                           Label(*relationship) + "</li>");
        for (const uml::Element* element : m_site.Incoming(m_element)) {
            const auto* relationship = uml::As<uml::Relationship>(element);
            if (relationship->client != nullptr)
                rows.push_back("<li>" + Link(*relationship->client) + " " + Markup(KindWord(*relationship)) +
                               " \xE2\x86\x92 this" + Label(*relationship) + "</li>");
        }
        for (const uml::Element* association : m_site.Associations(m_element)) {
            std::string row = "<li>association " + Markup(uml::ShownText(association->name)) + ": ";
            const auto ends = association->Members<uml::AssociationEnd>();
            for (std::size_t i = 0; i < ends.size(); ++i) row += (i ? " \xE2\x80\x94 " : "") + EndText(*ends[i]);
            rows.push_back(row + "</li>");
        }
        if (rows.empty()) return;
        m_out << "<h2>Relationships</h2>\n<ul class=\"relationships\">\n";
        for (const std::string& row : rows) m_out << row << '\n';
        m_out << "</ul>\n";
    }

    static std::string Label(const uml::Element& relationship) {
        std::string label;
        if (relationship.Stereotype().GetLength() != 0)
            (label += ' ') += Markup(uml::StereotypeText(uml::ShownText(relationship.Stereotype())));
        if (relationship.name.GetLength() != 0) (label += ' ') += Markup(uml::ShownText(relationship.name));
        return label;
    }

    void Appearances() {
        const auto& diagrams = m_site.Diagrams(m_element);
        if (!diagrams.empty()) {
            m_out << "<h2>On diagrams</h2>\n<ul>\n";
            for (const uml::Element* diagram : diagrams)
                m_out << "<li>" << Link(diagram, uml::QualifiedName(*diagram)) << "</li>\n";
            m_out << "</ul>\n";
        }
        const auto& notes = m_site.Notes(m_element);
        if (!notes.empty()) {
            m_out << "<h2>Notes</h2>\n";
            for (const uml::Element* note : notes)
                m_out << "<div class=\"doc note\">" << Markup(uml::ShownText(uml::As<uml::Note>(note)->text))
                      << "</div>\n";
        }
    }

    const tSiteIndex& m_site;
    const uml::Element& m_element;
    std::ostream& m_out;
};

void TreeList(const tSiteIndex& site, const uml::Element& element, std::ostream& out);

}  // namespace

void WritePage(const tSiteIndex& site, long page, std::ostream& out) {
    tPage(site, *site.pages[static_cast<std::size_t>(page)], out).Write();
}

void WriteHome(const tSiteIndex& site, std::ostream& out) {
    Head(ModelTitle(site), "", out);
    out << "<body class=\"home\" data-root=\"\" data-page=\"-1\" data-package=\"-1\">\n<header><a class=\"home\" "
           "href=\"index.html\">"
        << Markup(ModelTitle(site)) << "</a>" << kSearch << "</header>\n<main>\n<h1>" << Markup(ModelTitle(site))
        << "</h1>\n<p class=\"facts\">";
    const std::tuple<uml::Kind, const char*, const char*> counts[] = {{uml::Kind::Package, "package", "packages"},
                                                                      {uml::Kind::Classifier, "classifier", "classifiers"},
                                                                      {uml::Kind::UseCase, "use case", "use cases"},
                                                                      {uml::Kind::Component, "component", "components"},
                                                                      {uml::Kind::Node, "node", "nodes"},
                                                                      {uml::Kind::Diagram, "diagram", "diagrams"}};
    for (const auto& [kind, one, many] : counts) {
        const std::size_t count = site.view.Count(kind);
        out << count << ' ' << (count == 1 ? one : many) << (kind == uml::Kind::Diagram ? "" : ", ");
    }
    out << "</p>\n<h2>Packages</h2>\n";
    for (const uml::Package* model : site.view.Models()) TreeList(site, *model, out);
    out << "</main>\n";
    Foot("", out);
}

namespace {

// The package tree as nested lists, with an explicit stack.
void TreeList(const tSiteIndex& site, const uml::Element& top, std::ostream& out) {
    struct tStep {
        const uml::Element* element;
        bool close;
    };
    std::vector<tStep> stack{{&top, false}};
    out << "<ul class=\"tree\">\n";
    while (!stack.empty()) {
        const tStep step = stack.back();
        stack.pop_back();
        if (step.close) {
            out << "</ul></li>\n";
            continue;
        }
        const uml::Element& element = *step.element;
        out << "<li><a href=\"e/" << site.PageOf(&element) << ".html\">" << Markup(DisplayName(element)) << "</a>";
        std::vector<const uml::Element*> packages;
        for (const uml::Element* member : element.members)
            if (member->kind == uml::Kind::Package) packages.push_back(member);
        if (packages.empty()) {
            out << "</li>\n";
            continue;
        }
        out << "<ul>\n";
        stack.push_back({nullptr, true});
        for (auto member = packages.rbegin(); member != packages.rend(); ++member) stack.push_back({*member, false});
    }
    out << "</ul>\n";
}

}  // namespace

}  // namespace lum::publish::detail
