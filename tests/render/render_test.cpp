// Diagrams as SVG: every view of the sample's diagrams is one group with its
// quid, drawn where the file puts it; hostile geometry and texts give a
// picture in bounded time.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include <lum/lum.h>

namespace lum::test {
namespace {

std::vector<const uml::Diagram*> Diagrams(const Model& model) {
    std::vector<const uml::Diagram*> diagrams;
    for (const uml::Element* element : uml::View::Of(model).All(uml::Kind::Diagram)) diagrams.push_back(uml::As<uml::Diagram>(element));
    return diagrams;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

// The first tag inside the group of the view of the element with this quid.
std::string FirstShapeOf(const std::string& svg, const std::string& quid) {
    const std::size_t group = svg.find("data-element=\"" + quid + "\">");
    if (group == std::string::npos) return {};
    const std::size_t start = svg.find('<', group);
    return svg.substr(start, svg.find('>', start) - start + 1);
}

class SampleRenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string dir = LUM_SAMPLES_DIR "/library/";
        model = new Model(Model::Load({dir + "library.mdl"}, {.pathMaps = {dir + "library.map"}}));
    }
    static void TearDownTestSuite() { delete model; }
    static std::string Svg(const std::string& qualifiedName) {
        for (const uml::Diagram* diagram : Diagrams(*model))
            if (uml::QualifiedName(*diagram) == qualifiedName) return render::RenderSvg(*diagram);
        ADD_FAILURE() << "no diagram " << qualifiedName;
        return {};
    }
    static Model* model;
};
Model* SampleRenderTest::model = nullptr;

// Both samples: the library, and the one holding a diagram of each kind.
TEST_F(SampleRenderTest, EveryDiagramHasOneGroupPerViewAndEachQuidOnce) {
    const Model kinds = Model::Load({LUM_SAMPLES_DIR "/diagrams/diagrams.mdl"});
    auto diagrams = Diagrams(*model);
    for (const uml::Diagram* diagram : Diagrams(kinds)) diagrams.push_back(diagram);
    ASSERT_EQ(diagrams.size(), 17u);
    const std::regex quid("data-quid=\"([^\"]*)\"");
    for (const uml::Diagram* diagram : diagrams) {
        const std::string svg = render::RenderSvg(*diagram);
        SCOPED_TRACE(uml::QualifiedName(*diagram));
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_EQ(Count(svg, "<g "), render::ViewCount(*diagram));
        EXPECT_EQ(Count(svg, "<g "), Count(svg, "</g>"));
        std::map<std::string, int> seen;
        for (auto at = std::sregex_iterator(svg.begin(), svg.end(), quid); at != std::sregex_iterator(); ++at)
            EXPECT_EQ(++seen[(*at)[1]], 1) << (*at)[1];
        for (const uml::Shown& shown : diagram->shown) {
            if (shown.item->quid.Get().GetLength() != 0) {
                EXPECT_EQ(seen.count(ToUtf8(shown.item->quid.Get().c_str())), 1u);
            }
            if (shown.element->kind != uml::Kind::Note) {
                const auto* raw = static_cast<const ClumQuidObject*>(shown.element->raw);
                EXPECT_NE(svg.find("data-element=\"" + ToUtf8(raw->quid.Get().c_str()) + "\""), std::string::npos);
            }
        }
    }
}

// Symbols: location is the centre, width and height the size (a class that
// sizes itself grows to hold its compartments); lines run through their
// stored vertices and end on the outlines; colours are 0x00BBGGRR, black
// where none is stored.
TEST_F(SampleRenderTest, ShapesLieWhereTheFileStoresThem) {
    struct tRow {
        const char* diagram;
        const char* quid;
        const char* shape;
    };
    const tRow rows[] = {
        {"Logical View::Catalog::Catalog overview", "4C1B0A7E0011",
         "<rect x=\"840\" y=\"300\" width=\"720\" height=\"360\" fill=\"#ffffcc\" stroke=\"#990033\"/>"},
        {"Logical View::Catalog::Catalog overview", "4C1B0A7E0014",
         "<polyline points=\"1200,1200 1200,660\" fill=\"none\" stroke=\"#000000\"/>"},
        {"Logical View::Main", "4C1B0A7E0026",
         "<polyline points=\"1710,600 1170,600\" stroke-dasharray=\"45,15\" fill=\"none\" stroke=\"#000000\"/>"},
        {"Use Case View::Main", "4C1B0A7E0040",
         "<ellipse cx=\"2160\" cy=\"960\" rx=\"110\" ry=\"59\" fill=\"#ffffcc\" stroke=\"#990033\"/>"},
        {"Logical View::Lending::Loan::Loan lifecycle::Loan lifecycle", "4C1B0A7E0062",
         "<rect x=\"1140\" y=\"570\" width=\"600\" height=\"300\" rx=\"18\" fill=\"#ffffff\" stroke=\"#000000\"/>"},
        {"Logical View::Lending::Loan::Loan lifecycle::Loan lifecycle", "4C1B0A7E0061",
         "<ellipse cx=\"480\" cy=\"720\" rx=\"60\" ry=\"60\" fill=\"#000000\" stroke=\"#000000\"/>"},
    };
    for (const tRow& row : rows) EXPECT_EQ(FirstShapeOf(Svg(row.diagram), row.quid), row.shape) << row.quid;
}

TEST_F(SampleRenderTest, LabelsAndTextsAsTheViewShowsThem) {
    const std::string lending = Svg("Logical View::Lending::Lending");
    // A member too wide for its box is cut; a class of another package says where it is from.
    for (const char* text : {">renewals : Inte...<", ">extend()<", ">(from People)<", ">0..n<", ">loans<", ">Borrows<"})
        EXPECT_NE(lending.find(text), std::string::npos) << text;
    const std::string states = Svg("Logical View::Lending::Loan::Loan lifecycle::Loan lifecycle");
    // A transition label centred on its stored location.
    EXPECT_NE(states.find("<text x=\"960\" y=\"674\""), std::string::npos);
    EXPECT_NE(states.find(">lend<"), std::string::npos);
}

// A model of hostile geometry and texts written into a scratch file.
class HostileRenderTest : public ::testing::Test {
protected:
    std::string Render(const std::string& items) {
        const auto path = std::filesystem::temp_directory_path() / ("lum-render-" + std::to_string(::getpid()) + ".mdl");
        {
            std::ofstream file(path, std::ios::binary);
            file << "(object Vellum version 50 _written \"lum\" charSet 0)\n"
                    "(object Design \"Logical View\" quid \"1\" root_category (object Class_Category \"Logical View\" "
                    "quid \"2\" logical_presentations (list unit_reference_list (object ClassDiagram \"D\" quid \"3\" "
                    "items (list diagram_item_list\n"
                 << items << "))))))\n";
        }
        Model model = Model::Load({path.string()});
        std::filesystem::remove(path);
        const auto diagrams = Diagrams(model);
        if (diagrams.size() != 1) return "no diagram";
        views = render::ViewCount(*diagrams[0]);
        return render::RenderSvg(*diagrams[0]);
    }
    std::size_t views = 0;
};

TEST_F(HostileRenderTest, BadGeometryAndTextsStillGiveAPicture) {
    const std::string svg = Render(
        "(object ClassView \"Class\" \"X\" quid \"a\" location (2147483647, -2147483648) width -5 height 2147483647)\n"
        "(object NoteView quid \"b\" label (object ItemLabel location (0, 0) max_width -1 label \"<script>&\\\"'\x01]]>\"))\n"
        "(object UseCaseView quid \"c<&\" quidu \"nowhere\" width 0 height 0)\n"
        "(object InheritView quid \"d\" client @99 supplier @98 vertices (list Points (1, 1)))\n"
        "(object TransView quid \"e\")\n"
        "(object Label quid \"f\" label \"alone\")\n"
        "(object InterObjView \"o\" quid \"g\" location (10, 10) Focus_Of_Control (object Focus_Of_Control quid \"m\" "
        "location (-2147483648, 2147483647) height 2147483647 width -3))\n"
        "(object InterMessView \"\" quid \"h\" origin (0, 5) terminus (90, 5))\n"
        "(object SynchronizationView \"\" quid \"i\" location (5, 5) width 100 height 6)\n"
        "(object DecisionView \"\" quid \"j\" location (5, 5) width -40)\n"
        "(object StateView \"HistoryAll\" \"\" quid \"k\" type \"HistoryAll\")\n"
        "(object Destruction_Marker quid \"l\" location (1, 1))\n");
    EXPECT_EQ(views, 13u);
    EXPECT_EQ(Count(svg, "<g "), 13u);
    EXPECT_NE(svg.find(">H*<"), std::string::npos);
    EXPECT_EQ(svg.find("<script"), std::string::npos);
    EXPECT_EQ(svg.find('\x01'), std::string::npos);
    EXPECT_NE(svg.find("&lt;script&gt;&amp;"), std::string::npos);
    EXPECT_NE(svg.find("data-quid=\"c&lt;&amp;\""), std::string::npos);
    // Far coordinates are clamped, and the picture's pixels stay bounded.
    EXPECT_NE(svg.find("<rect x=\"9999850\" y=\"-10000000\""), std::string::npos);
    EXPECT_NE(svg.find("width=\"8000.0\""), std::string::npos);
}

// Each kind of line with its dash and its end at the supplier (the last vertex).
TEST_F(HostileRenderTest, LinesOfEachKindWithTheirEnds) {
    struct tRow {
        const char* view;
        const char* dash;  // null: solid
        const char* end;   // the shape at the end, or null for none
    };
    const tRow rows[] = {
        {"InheritView", nullptr, "<polygon points=\"85,-15 100,20 115,-15\" fill=\"#ffffff\""},
        {"RealizeView", "45,15", "<polygon points=\"85,-15 100,20 115,-15\" fill=\"#ffffff\""},
        {"DependencyView", "45,15", "<polyline points=\"85,-15 100,20 115,-15\""},
        {"TransView", nullptr, "<polyline points=\"85,-15 100,20 115,-15\""},
        {"AttachView", "8,8", nullptr},
    };
    for (const tRow& row : rows) {
        const std::string svg = Render(std::string("(object ") + row.view +
                                       " \"\" quid \"L\" line_color 255 vertices (list Points (100, -80) (100, 20)))\n");
        SCOPED_TRACE(row.view);
        const std::size_t group = svg.find("data-quid=\"L\"");
        ASSERT_NE(group, std::string::npos);
        const std::string body = svg.substr(group, svg.find("</g>", group) - group);
        EXPECT_NE(body.find("<polyline points=\"100,-80 100,20\""), std::string::npos);
        EXPECT_NE(body.find("fill=\"none\" stroke=\"#ff0000\""), std::string::npos);
        if (row.dash != nullptr) EXPECT_NE(body.find(std::string("stroke-dasharray=\"") + row.dash + '"'), std::string::npos);
        else EXPECT_EQ(body.find("stroke-dasharray"), std::string::npos);
        if (row.end != nullptr) EXPECT_NE(body.find(row.end), std::string::npos);
        else EXPECT_EQ(Count(body, "<poly"), 1u);
    }
}

TEST_F(HostileRenderTest, TenThousandViewsInBoundedTime) {
    std::string items;
    for (int i = 0; i < 10000; ++i)
        items += "(object ClassView \"Class\" \"C" + std::to_string(i) + "\" quid \"q" + std::to_string(i) +
                 "\" location (" + std::to_string(i % 100 * 200) + ", " + std::to_string(i / 100 * 150) +
                 ") width 160 height 100)\n";
    const auto start = std::chrono::steady_clock::now();
    const std::string svg = Render(items);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(Count(svg, "<g "), 10000u);
}

}  // namespace
}  // namespace lum::test
