// Papyrus export: each kind of diagram becomes its Papyrus diagram, shapes
// stand at the layout's boxes scaled to pixels, and a directory that cannot
// be written is reported. That EMF loads the files and that their views
// follow Papyrus's examples is checked by tools/papyrus_check (ctest
// papyrus_samples_pass_check, papyrus_realworld_pass_check).

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <lum/lum.h>

namespace lum::test {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PapyrusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        model = new Model(Model::Load({(fs::path(LUM_SAMPLES_DIR) / "diagrams" / "diagrams.mdl").string()}));
        directory = fs::temp_directory_path() / ("lum-papyrus-" + std::to_string(::getpid()));
        summary = papyrus::Write(uml::View::Of(*model), directory, {.name = "diagrams"});
        notation = Read(directory / "diagrams.notation");
    }
    static void TearDownTestSuite() {
        fs::remove_all(directory);
        delete model;
    }
    // The xmi:id of the diagram named `name`.
    static std::string DiagramId(const std::string& name) {
        std::smatch match;
        const std::regex pattern("<notation:Diagram xmi:id=\"([^\"]+)\" type=\"[^\"]+\" name=\"" + name + "\"");
        return std::regex_search(notation, match, pattern) ? match[1].str() : "";
    }
    static inline Model* model = nullptr;
    static inline fs::path directory;
    static inline papyrus::Summary summary;
    static inline std::string notation;
};

TEST_F(PapyrusTest, EachKindBecomesItsPapyrusDiagram) {
    ASSERT_TRUE(summary.ok) << summary.error;
    const struct {
        const char* name;
        const char* type;
        const char* kindId;
        const char* shape;  // a view type the diagram holds
        const char* edge;
    } kKinds[] = {
        {"Loans", "PapyrusUMLClassDiagram", "class", "Class_Shape", "Association_Edge"},
        {"Circulation desk", "UseCase", "useCase", "Actor_Shape", "Association_Edge"},
        {"Loan lifecycle", "PapyrusUMLStateMachineDiagram", "stateMachine", "Region_Shape", "Transition_Edge"},
        {"Return a copy", "PapyrusUMLActivityDiagram", "activity", "ActivityPartition_Shape", "ControlFlow_Edge"},
        {"Borrow a copy", "PapyrusUMLSequenceDiagram", "sequence", "Lifeline_Shape", "Message_SynchEdge"},
        {"Borrow a copy, collaboration", "PapyrusUMLCommunicationDiagram", "communication", "Lifeline_Shape", "Path_Edge"},
        {"Main", "PapyrusUMLComponentDiagram", "component.root.package", "Component_PackagedElementShape", "Dependency_Edge"},
        {"Deployment View", "PapyrusUMLDeploymentDiagram", "deployment", "Device_Shape", "CommunicationPath_Edge"},
    };
    for (const auto& kind : kKinds) {
        const std::string id = DiagramId(kind.name);
        ASSERT_FALSE(id.empty()) << kind.name;
        const std::size_t start = notation.find("xmi:id=\"" + id + "\""), end = notation.find("</notation:Diagram>", start);
        const std::string diagram = notation.substr(start, end - start);
        EXPECT_NE(diagram.find(std::string("type=\"") + kind.type + "\" name="), std::string::npos) << kind.name;
        EXPECT_NE(diagram.find(std::string("diagramKindId=\"org.eclipse.papyrus.uml.diagram.") + kind.kindId + "\""),
                  std::string::npos) << kind.name;
        EXPECT_NE(diagram.find(std::string("type=\"") + kind.shape + "\""), std::string::npos) << kind.name;
        EXPECT_NE(diagram.find(std::string("type=\"") + kind.edge + "\""), std::string::npos) << kind.name;
        EXPECT_NE(diagram.find("measurementUnit=\"Pixel\""), std::string::npos) << kind.name;
    }
    // The tiers diagram has no Papyrus counterpart: listed, not written.
    EXPECT_TRUE(DiagramId("Tiers").empty());
    EXPECT_TRUE(std::any_of(summary.leftOut.begin(), summary.leftOut.end(),
                            [](const papyrus::LeftOut& left) { return left.diagram == "Logical View::Tiers"; }));
    EXPECT_NE(Read(directory / "diagrams.di").find("contextId=\"org.eclipse.papyrus.infra.services.edit.TypeContext\""),
              std::string::npos);
    // Every href names an id the .uml holds.
    const std::string uml = Read(directory / "diagrams.uml");
    const std::regex href("href=\"diagrams\\.uml#([^\"]+)\"");
    for (auto at = std::sregex_iterator(notation.begin(), notation.end(), href); at != std::sregex_iterator(); ++at)
        EXPECT_NE(uml.find("xmi:id=\"" + (*at)[1].str() + "\""), std::string::npos) << (*at)[1];
}

TEST_F(PapyrusTest, ShapesStandAtTheLayoutsBoxesInPixels) {
    for (const char* name : {"Loans", "Circulation desk", "Deployment View"}) {
        const uml::Diagram* diagram = nullptr;
        for (const uml::Element* element : uml::View::Of(*model).All(uml::Kind::Diagram))
            if (uml::ShownText(element->name) == name) diagram = static_cast<const uml::Diagram*>(element);
        ASSERT_NE(diagram, nullptr);
        const std::string id = DiagramId(name);
        const uml::DiagramLayout layout = uml::DiagramLayout::Of(*diagram);
        std::size_t compared = 0;
        for (std::size_t i = 0; i < layout.figures.size(); ++i) {
            const uml::Box& box = layout.figures[i].box;
            std::smatch match;
            const std::regex bounds("xmi:id=\"" + id + "v" + std::to_string(i) + "-b\"(?: x=\"(-?\\d+)\")?(?: y=\"(-?\\d+)\")? width=\"(\\d+)\" height=\"(\\d+)\"");
            if (layout.figures[i].parent >= 0 || !std::regex_search(notation, match, bounds)) continue;
            const auto px = [](double units) { return std::llround(units * papyrus::kPixelsPerUnit); };
            EXPECT_EQ(match[1].matched ? std::stoll(match[1]) : 0, px(box.x)) << name << " " << i;
            EXPECT_EQ(match[2].matched ? std::stoll(match[2]) : 0, px(box.y)) << name << " " << i;
            EXPECT_EQ(std::stoll(match[3]), px(box.Right()) - px(box.x)) << name << " " << i;
            EXPECT_EQ(std::stoll(match[4]), px(box.Bottom()) - px(box.y)) << name << " " << i;
            ++compared;
        }
        EXPECT_GT(compared, 2u) << name;
    }
}

// The states of a composite state stand in the region of its nested machine,
// relative to the state's content: below its name.
TEST_F(PapyrusTest, SubstatesStandInTheirStatesRegion) {
    const Model composite = Model::Load({(fs::path(LUM_SAMPLES_DIR).parent_path() / "tests/papyrus/composite.mdl").string()});
    ASSERT_TRUE(papyrus::Write(uml::View::Of(composite), directory / "composite", {.name = "composite"}).ok);
    const std::string xml = Read(directory / "composite" / "composite.notation");
    // d0v0 is the state "On", d0v1 and d0v2 its states, d0v3 "Off" beside it.
    const std::size_t on = xml.find("xmi:id=\"d0v0\""), region = xml.find("xmi:id=\"d0v0-c0-r\" type=\"Region_Shape\""),
                      dim = xml.find("xmi:id=\"d0v1\""), end = xml.find("xmi:id=\"d0v0-b\""), off = xml.find("xmi:id=\"d0v3\"");
    EXPECT_TRUE(on < region && region < dim && dim < end && end < off) << xml;
    EXPECT_NE(xml.find("<element xmi:type=\"uml:Region\" href=\"composite.uml#_5E0D1A000013\"/>"), std::string::npos);
    // "Dim" at x 350 units in "On" at 200: 112 - 64 pixels from the region's left.
    EXPECT_NE(xml.find("xmi:id=\"d0v1-b\" x=\"48\""), std::string::npos) << xml;
}

TEST_F(PapyrusTest, UnwritableDirectoryIsReported) {
    const fs::path file = directory / "diagrams.di";
    const papyrus::Summary failed = papyrus::Write(uml::View::Of(*model), file);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("cannot write"), std::string::npos);
}

}  // namespace
}  // namespace lum::test
