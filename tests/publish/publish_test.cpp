// Hostile model texts (quotes, angle brackets, ampersands, braces, line
// breaks, markup of either output, non-Latin text) stay text in the site and
// in the PlantUML files: they are read back exactly from what is written,
// and never open an element, a script or a PlantUML block of their own.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <lum/lum.h>
#include <lum/publish/plantuml.h>
#include <lum/publish/site.h>
#include <lum/uml/view.h>

namespace lum::test {
namespace {

// Each is read as written inside the notation's quotes; both outputs show
// it as the drawing tool does, without the backslashes that escape.
const char* const kCases[] = {
    "<script>alert('x')</script>",
    "say \\\"hi\\\" & <b>bye</b>",
    "{braces} ~tilde | bar \\\\n",
    "two\nlines\n@enduml",
    "**bold** //it// --gone-- __u__ &#34; &lt;",
    "Привет мир 世界 ÆØÅ «guillemets»",
};

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Html(const std::string& text) {
    const std::map<char, std::string> references{{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&#39;"}};
    std::string out;
    for (const char c : text) out += references.count(c) != 0 ? references.at(c) : std::string(1, c);
    return out;
}

// What PlantUML shows of a quoted text: character references, doubled backslashes, \n.
std::string FromPlantUml(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "&#") == 0) {
            const std::size_t end = text.find(';', i);
            const int code = std::stoi(text.substr(i + 2, end - i - 2));  // below U+0800
            if (code < 0x80) out += static_cast<char>(code);
            else (out += static_cast<char>(0xC0 | code >> 6)) += static_cast<char>(0x80 | (code & 0x3F));
            i = end;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            out += text[++i] == 'n' ? '\n' : text[i];
        } else {
            out += text[i];
        }
    }
    return out;
}

TEST(PublishTest, HostileTextsStayText) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lum_publish_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string classes, views, states, stateViews;
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const std::string n = std::to_string(i), name = std::string("\"") + kCases[i] + "\"";
        classes += "(object Class " + name + " quid \"QC" + n + "\" stereotype " + name + " documentation " + name +
                   " class_attributes (list class_attribute_list (object ClassAttribute " + name + " quid \"QA" + n +
                   "\" type " + name + ")))\n";
        views += "(object ClassView \"Class\" \"C" + n + "\" @" + std::to_string(2 * i + 1) + " location (" +
                 std::to_string(300 * i + 200) + ", 200) quidu \"QC" + n + "\" width 240 height 120)\n" +
                 "(object NoteView @" + std::to_string(2 * i + 2) + " location (" + std::to_string(300 * i + 200) +
                 ", 500) label (object ItemLabel location (" + std::to_string(300 * i + 100) +
                 ", 450) max_width 200 label " + name + ") width 240 height 100)\n";
        // A ring of states, each named and each leaving transition labelled with a text.
        const std::size_t next = (i + 1) % std::size(kCases);
        states += "(object State " + name + " quid \"QS" + n + "\" transitions (list transition_list (object "
                  "State_Transition quid \"QT" + n + "\" label " + name + " supplier_quidu \"QS" + std::to_string(next) + "\")))\n";
        stateViews += "(object StateView \"Normal\" " + name + " @" + std::to_string(100 + i) + " location (" +
                      std::to_string(250 * i + 200) + ", 240) quidu \"QS" + n + "\" width 200 height 100)\n" +
                      "(object TransView \"\" @" + std::to_string(200 + i) + " quidu \"QT" + n + "\" client @" +
                      std::to_string(100 + i) + " supplier @" + std::to_string(100 + next) + ")\n";
    }
    std::ofstream(dir / "hostile.mdl", std::ios::binary)
        << "(object Design \"D\" quid \"QD\" root_category (object Class_Category \"Logical View\" quid \"QL\"\n"
        << " logical_models (list unit_reference_list\n" << classes
        << "(object Class \"Holder\" quid \"QH\" statemachine (object State_Machine \"SM\" quid \"QSM\" states (list States\n"
        << states << ") statediagrams (list StateDiagrams (object State_Diagram \"States\" quid \"QSD\" items (list "
        << "diagram_item_list\n" << stateViews << ")))))\n"
        << " logical_presentations (list unit_reference_list (object ClassDiagram \"Main\" quid \"QM\""
        << " items (list diagram_item_list\n" << views << ")))))\n";
    const Model model = Model::Load({(dir / "hostile.mdl").string()});
    ASSERT_TRUE(model.Loaded());
    std::ostringstream puml;
    for (const uml::Element* diagram : uml::View::Of(model).All(uml::Kind::Diagram))
        publish::WritePlantUml(*uml::As<uml::Diagram>(diagram), puml);
    const std::string plantUml = puml.str();
    const publish::SiteSummary summary = publish::WriteSite(model, dir / "site");
    ASSERT_TRUE(summary.ok) << summary.error;
    std::vector<std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "site" / "e")) pages.push_back(Slurp(entry.path()));
    const std::string index = Slurp(dir / "site" / "assets" / "index.js");

    // Every line of the PlantUML text is one the writer starts; none comes from a model text, and no
    // line of a text starts with what would read as a list bullet, a heading, a rule or a visibility sign.
    std::istringstream lines(plantUml);
    std::vector<std::string> quoted;
    const std::regex line(R"re(^(@startuml|@enduml|title .*|allowmixing|set separator none|hide empty (members|description)|(class|note|state) "([^"]*)".*|  \{field\} (.*)|E\d+ --> E\d+ : (.*)|\}|N\d+ \.\. E\d+)$)re");
    for (std::string text; std::getline(lines, text);) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        for (int group = 4; group <= 6; ++group)
            if (match[group].matched) {
                EXPECT_FALSE(std::regex_search(match[group].str(), std::regex(R"((^|\\n)[-*#=+])"))) << text;
                quoted.push_back(FromPlantUml(match[group]));
            }
    }
    for (const std::string written : kCases) {
        std::string read;
        for (const char* c = written.c_str(); *c != 0; ++c) read += *c == '\\' && c[1] != 0 ? *++c : *c;
        std::string oneLine = read;
        std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
        EXPECT_EQ(std::count(quoted.begin(), quoted.end(), read), 4) << read;  // the class, the note, the state, the transition
        EXPECT_NE(std::find(quoted.begin(), quoted.end(), read + " : " + read), quoted.end()) << read;
        // The site: the class page's heading, and the name as one JSON line of the search index.
        const std::string heading = "<span class=\"kind\">class</span> " + Html(read) + "</h1>";
        const auto shows = [&](const std::string& page) { return page.find(heading) != std::string::npos; };
        EXPECT_EQ(std::count_if(pages.begin(), pages.end(), shows), 1) << read;
        EXPECT_NE(index.find(JsonQuote(oneLine).substr(1, JsonQuote(oneLine).size() - 2)), std::string::npos) << read;
    }
    // The only scripts of a page are the site's own two; no model text makes bold type.
    for (const std::string& page : pages) {
        const std::regex script("<script");
        EXPECT_EQ(std::distance(std::sregex_iterator(page.begin(), page.end(), script), std::sregex_iterator()), 2);
        EXPECT_EQ(page.find("<b>"), std::string::npos);
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lum::test
