// XMI export: what the document holds agrees with the UML view, diagram
// shapes sit where the view puts them, and hostile texts stay well-formed.
// That EMF loads and validates every export is checked by tools/xmi_check
// (ctest xmi_samples_load_in_emf, xmi_realworld_load_in_emf,
// xmi_generated_loads_in_emf; xmi_check_catches_each_fault checks the checker).

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {
namespace {

namespace fs = std::filesystem;

fs::path Data() { return fs::path(LUM_SAMPLES_DIR).parent_path() / "tests" / "xmi"; }
fs::path Library() { return fs::path(LUM_SAMPLES_DIR) / "library"; }

Model LoadModel(const fs::path& main, const fs::path& map = {}) {
    LoadOptions options;
    if (!map.empty()) options.pathMaps.push_back(map.string());
    return Model::Load({main.string()}, options);
}

std::string Export(const Model& model, xmi::Flavour flavour) {
    std::ostringstream out;
    EXPECT_TRUE(xmi::WriteXmi(uml::View::Of(model), out, {.flavour = flavour}));
    return out.str();
}

// Elements of the given metaclasses whose id is an element's own (from its
// quid, without a part's suffix).
std::size_t Count(const std::string& xml, const std::string& types) {
    const std::regex pattern("xmi:type=\"(" + types + ")\" xmi:id=\"_[^\"-]*\"");
    return static_cast<std::size_t>(std::distance(std::sregex_iterator(xml.begin(), xml.end(), pattern), std::sregex_iterator()));
}

// A small well-formedness check: valid UTF-8 without characters XML
// forbids, tags that nest, attributes quoted, and '&' only in references.
std::string XmlProblem(const std::string& xml) {
    std::vector<std::string> open;
    const std::regex reference("^&(lt|gt|amp|quot|apos|#[0-9]+);");
    for (std::size_t i = 0; i < xml.size();) {
        const auto c = static_cast<unsigned char>(xml[i]);
        if (c < 0x20 && c != '\n' && c != '\t' && c != '\r') return "control character at " + std::to_string(i);
        if (c >= 0x80) {
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
            if (length == 0 || i + length > xml.size()) return "bad UTF-8 at " + std::to_string(i);
            for (int k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(xml[i + k]) & 0xC0) != 0x80) return "bad UTF-8 at " + std::to_string(i);
            i += length;
            continue;
        }
        if (c == '&' && !std::regex_search(xml.substr(i, 12), reference)) return "bare & at " + std::to_string(i);
        if (c == '>') return "bare > at " + std::to_string(i);
        if (c != '<') {
            ++i;
            continue;
        }
        if (xml.compare(i, 2, "<?") == 0) {
            i = xml.find("?>", i) + 2;
            continue;
        }
        const bool closing = xml[i + 1] == '/';
        std::size_t at = i + (closing ? 2 : 1);
        const std::size_t nameEnd = xml.find_first_of(" />", at);
        const std::string name = xml.substr(at, nameEnd - at);
        at = nameEnd;
        if (closing) {
            if (open.empty() || open.back() != name) return "</" + name + "> closes nothing open";
            open.pop_back();
            i = at + 1;
            continue;
        }
        // Attributes: name="value", the value without '<' or '"'.
        while (xml[at] == ' ') {
            const std::size_t equals = xml.find("=\"", at);
            const std::size_t end = xml.find('"', equals + 2);
            if (equals == std::string::npos || end == std::string::npos ||
                xml.find('<', equals) < end || xml.find_first_of("<> ", at + 1) < equals)
                return "bad attribute in <" + name + ">";
            at = end + 1;
        }
        if (xml.compare(at, 2, "/>") == 0) {
            i = at + 2;
        } else if (xml[at] == '>') {
            open.push_back(name);
            i = at + 1;
        } else {
            return "bad tag <" + name + ">";
        }
    }
    return open.empty() ? "" : "<" + open.back() + "> never closed";
}

TEST(Xmi, CountsAgreeWithTheView) {
    const struct {
        fs::path main, map;
    } kModels[] = {{Library() / "library.mdl", Library() / "library.map"}, {Data() / "constructs.mdl", {}}};
    for (const auto& entry : kModels) {
        const Model model = LoadModel(entry.main, entry.map);
        const uml::View& view = uml::View::Of(model);
        std::size_t generalizations = 0, symbols = 0, lines = 0;
        for (const uml::Element* element : view.All(uml::Kind::Relationship))
            generalizations += static_cast<const uml::Relationship*>(element)->sort == uml::RelationshipKind::Generalization;
        for (const uml::Element* element : view.All(uml::Kind::Diagram))
            for (const uml::Figure& figure : uml::DiagramLayout::Of(static_cast<const uml::Diagram&>(*element)).figures)
                ++(figure.IsLine() ? lines : symbols);
        for (const xmi::Flavour flavour : {xmi::Flavour::Eclipse, xmi::Flavour::Omg}) {
            SCOPED_TRACE(entry.main.filename().string() + " " + xmi::FlavourName(flavour));
            const std::string xml = Export(model, flavour);
            EXPECT_EQ(Count(xml, "uml:Class|uml:AssociationClass|uml:Interface|uml:Actor|uml:DataType|uml:Enumeration"),
                      view.Count(uml::Kind::Classifier) + view.Count(uml::Kind::Process));
            EXPECT_EQ(Count(xml, "uml:Property"), view.Count(uml::Kind::Property) + view.Count(uml::Kind::AssociationEnd));
            EXPECT_EQ(Count(xml, "uml:Operation"), view.Count(uml::Kind::Operation));
            EXPECT_EQ(Count(xml, "uml:Association|uml:AssociationClass"), view.Count(uml::Kind::Association));
            EXPECT_EQ(Count(xml, "uml:Generalization"), generalizations);
            EXPECT_EQ(Count(xml, "uml:UseCase"), view.Count(uml::Kind::UseCase));
            EXPECT_EQ(Count(xml, "uml:State|uml:FinalState|uml:Pseudostate|uml:OpaqueAction|uml:InitialNode|"
                                 "uml:ActivityFinalNode|uml:DecisionNode|uml:ForkNode|uml:JoinNode|uml:MergeNode"),
                      view.Count(uml::Kind::State));
            EXPECT_EQ(Count(xml, "uml:Transition|uml:ControlFlow"), view.Count(uml::Kind::Transition));
            const bool omg = flavour == xmi::Flavour::Omg;
            EXPECT_EQ(Count(xml, "umldi:UML[A-Za-z]*Diagram"), omg ? view.Count(uml::Kind::Diagram) : 0u);
            const std::regex shape("xmi:type=\"umldi:UMLShape\""), edge("xmi:type=\"umldi:UMLEdge\"");
            EXPECT_EQ(std::distance(std::sregex_iterator(xml.begin(), xml.end(), shape), std::sregex_iterator()), omg ? symbols : 0u);
            EXPECT_EQ(std::distance(std::sregex_iterator(xml.begin(), xml.end(), edge), std::sregex_iterator()), omg ? lines : 0u);
        }
    }
}

TEST(Xmi, ShapesAndEdgesAreTheDiagramLayout) {
    const Model model = LoadModel(Library() / "library.mdl", Library() / "library.map");
    const std::string xml = Export(model, xmi::Flavour::Omg);
    for (const uml::Element* element : uml::View::Of(model).All(uml::Kind::Diagram)) {
        const auto& diagram = static_cast<const uml::Diagram&>(*element);
        const uml::DiagramLayout layout = uml::DiagramLayout::Of(diagram);
        std::string id = "_";
        id += ToUtf8(ClumUtilityFunctions::GetQuid(diagram.raw).c_str());
        for (std::size_t i = 0; i < layout.figures.size(); ++i) {
            const uml::Figure& figure = layout.figures[i];
            const std::size_t at = xml.find("xmi:id=\"" + id + "-s" + std::to_string(i) + "\"");
            ASSERT_NE(at, std::string::npos) << "figure " << i;
            std::vector<double> numbers;
            const std::regex number(" (?:x|y|width|height)=\"([-0-9.]+)\"");
            const std::string part = xml.substr(at, xml.find("</ownedElement>", at) - at);
            for (auto it = std::sregex_iterator(part.begin(), part.end(), number); it != std::sregex_iterator(); ++it)
                numbers.push_back(std::stod((*it)[1]));
            std::vector<double> expected;
            if (figure.IsLine())
                for (const uml::Point& point : figure.route) expected.insert(expected.end(), {point.x, point.y});
            else
                expected = {figure.box.x, figure.box.y, figure.box.width, figure.box.height};
            ASSERT_EQ(numbers.size(), expected.size()) << "figure " << i;
            for (std::size_t k = 0; k < numbers.size(); ++k) EXPECT_NEAR(numbers[k], expected[k], 0.006) << "figure " << i;
        }
    }
}

TEST(Xmi, HostileTextsComeOutWellFormed) {
    const Model model = LoadModel(Data() / "hostile.mdl");
    for (const xmi::Flavour flavour : {xmi::Flavour::Eclipse, xmi::Flavour::Omg}) {
        SCOPED_TRACE(xmi::FlavourName(flavour));
        const std::string xml = Export(model, flavour);
        EXPECT_EQ(XmlProblem(xml), "");
        // The control character is left out; markup characters are references.
        EXPECT_NE(xml.find("name=\"a&lt;b&amp;c&gt;de"), std::string::npos);
        EXPECT_NE(xml.find("<body>She wrote &quot;&lt;b&gt;&amp;amp;&lt;/b&gt;&quot;  and ]]&gt; here"), std::string::npos);
        EXPECT_NE(xml.find("name=\"std::map&lt;int, \\&quot;q\\&quot;&gt;\""), std::string::npos);
        if (flavour == xmi::Flavour::Omg) continue;
        // Tool names percent-encoded into sources (none without a name); a property stored twice keeps both values.
        for (const char* part : {"pv0\" source=\"Data%20Modeler\"", "pv1\">", "source=\"a%2Fb%3Ac%25d%23e\"",
                                 "key=\"x\" value=\"1\"", "key=\"x #3\" value=\"2\"", "key=\"x #2\" value=\"3\""})
            EXPECT_NE(xml.find(part), std::string::npos) << part;
    }
}

}  // namespace
}  // namespace lum::test
