// The diagram layout of every diagram of the shared real models (the list of
// tests/realworld/models.txt, from ../shared/realworld; skipped where it is
// absent): labels keep to their stored line counts, every message is drawn
// once with its flat number, nothing lies outside the drawing's bounds, and
// lines end on the outlines of what they join.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include <lum/lum.h>
#include <lum/uml/layout.h>

namespace lum::test {
namespace {

// The project's samples folder is beside tests/, the shared models beside the project.
const std::filesystem::path kRealWorld = std::filesystem::path(LUM_SAMPLES_DIR) / ".." / ".." / "shared" / "realworld";
const std::filesystem::path kModels = std::filesystem::path(LUM_SAMPLES_DIR) / ".." / "tests" / "realworld" / "models.txt";

std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    std::ifstream list(kModels);
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#') entries.push_back(line);
    return entries;
}

// How far a point lies from the outline of a box drawn as a rectangle, or
// (along the ray from its centre) as an ellipse or a diamond.
double FromOutline(uml::Point p, const uml::Box& box, uml::Shape shape) {
    const uml::Point c = box.Centre();
    const bool round = shape == uml::Shape::UseCase || shape == uml::Shape::Initial || shape == uml::Shape::Final ||
                       shape == uml::Shape::History || shape == uml::Shape::BusinessUseCase || shape == uml::Shape::Interface;
    if (!round && shape != uml::Shape::Decision) {
        const double outX = std::max({box.x - p.x, 0.0, p.x - box.Right()}), outY = std::max({box.y - p.y, 0.0, p.y - box.Bottom()});
        if (outX > 0 || outY > 0) return std::hypot(outX, outY);
        return std::min({p.x - box.x, box.Right() - p.x, p.y - box.y, box.Bottom() - p.y});
    }
    const double dx = (p.x - c.x) / std::max(box.width / 2, 1e-9), dy = (p.y - c.y) / std::max(box.height / 2, 1e-9);
    const double r = round ? std::hypot(dx, dy) : std::abs(dx) + std::abs(dy);
    return r < 1e-9 ? std::min(box.width, box.height) / 2 : std::hypot(p.x - c.x, p.y - c.y) * std::abs(1 - 1 / r);
}

// The least distance from a line's end to what it joins: its outline (a
// node's halfway into its depth, a lifeline's centre line); at an icon, the
// tool ends lines anywhere on the icon and its texts, and up to nine units
// round them.
double FromFigure(uml::Point p, const uml::Figure& figure) {
    if (figure.shape == uml::Shape::Lifeline) return std::abs(p.x - figure.box.Centre().x);
    if (figure.shape == uml::Shape::Actor || figure.shape == uml::Shape::UseCase || figure.shape == uml::Shape::Interface ||
        figure.shape == uml::Shape::BusinessActor) {
        uml::Box all = figure.box;
        for (const uml::TextBlock& text : figure.texts) {
            const double right = std::max(all.Right(), text.box.Right()), bottom = std::max(all.Bottom(), text.box.Bottom());
            all.x = std::min(all.x, text.box.x);
            all.y = std::min(all.y, text.box.y);
            all = {all.x, all.y, right - all.x, bottom - all.y};
        }
        const double margin = 9;
        return p.x >= all.x - margin && p.x <= all.Right() + margin && p.y >= all.y - margin && p.y <= all.Bottom() + margin
                   ? 0
                   : FromOutline(p, all, uml::Shape::Box);
    }
    double distance = FromOutline(p, figure.box, figure.shape);
    if (figure.shape == uml::Shape::Processor || figure.shape == uml::Shape::Device) {
        const uml::Box& b = figure.box;
        const double right = (b.Right() + figure.body.Right()) / 2, top = (b.y + figure.body.y) / 2;
        distance = FromOutline(p, {b.x, top, right - b.x, b.Bottom() - top}, figure.shape);
    }
    return distance;
}

bool Within(const uml::Box& inner, const uml::Box& outer) {
    constexpr double slack = 0.5;
    return inner.x >= outer.x - slack && inner.y >= outer.y - slack && inner.Right() <= outer.Right() + slack &&
           inner.Bottom() <= outer.Bottom() + slack;
}

// The most lines any stored label of a view may show.
int MaxLines(const ClumDiagramItem& item) {
    int most = 0;
    for (const char* keyword : {"label", "stereotype"}) {
        const IlumFeature* feature = item.GetFeature(ClumIdent(FromUtf8(keyword)));
        const IlumLink* link = feature != nullptr ? feature->GetLink() : nullptr;
        for (int i = 0; link != nullptr && i < link->GetSize(); ++i)
            if (const auto* label = uml::AsRaw<ClumLabel>(link->GetAt(i))) most = std::max(most, label->nlines.Get());
    }
    return most;
}

class RealLayoutTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RealLayoutTest, EveryDiagramKeepsToItsFile) {
    if (!std::filesystem::exists(kRealWorld)) GTEST_SKIP() << kRealWorld << " is absent";
    const std::string entry = GetParam();
    const std::size_t bar = entry.find('|');
    LoadOptions options;
    if (bar != std::string::npos) options.pathMaps.push_back((kRealWorld / entry.substr(bar + 1)).string());
    const std::filesystem::path main = kRealWorld / entry.substr(0, bar);
    // Path maps name folders relative to their own.
    const auto cwd = std::filesystem::current_path();
    if (bar != std::string::npos) std::filesystem::current_path(std::filesystem::path(options.pathMaps[0]).parent_path());
    const Model model = Model::Load({main.string()}, options);
    std::filesystem::current_path(cwd);
    for (const uml::Element* element : uml::View::Of(model).All(uml::Kind::Diagram)) {
        const auto& diagram = static_cast<const uml::Diagram&>(*element);
        SCOPED_TRACE(ToUtf8(std::wstring(diagram.name.c_str())));
        const uml::DiagramLayout layout = uml::DiagramLayout::Of(diagram);
        std::map<const uml::Element*, int> drawn;
        for (const uml::Figure& figure : layout.figures) {
            const int most = MaxLines(*figure.item);
            for (const uml::TextBlock& text : figure.texts) {
                if (most > 0 && text.role != uml::TextRole::Package && text.role != uml::TextRole::Attribute &&
                    text.role != uml::TextRole::Operation && text.role != uml::TextRole::Action) {
                    EXPECT_LE(text.lines.size(), static_cast<std::size_t>(most)) << text.lines.front();
                }
                if (text.role == uml::TextRole::Message && text.element != nullptr) {
                    const auto* message = uml::As<uml::Message>(text.element);
                    ++drawn[message];
                    EXPECT_EQ(text.lines.front().rfind(std::to_string(message->order + 1) + ":", 0), 0u) << text.lines.front();
                }
                EXPECT_TRUE(Within(text.box, layout.bounds)) << text.lines.front();
            }
            if (figure.shape != uml::Shape::Text || !figure.texts.empty()) {
                EXPECT_TRUE(Within(figure.box, layout.bounds));
            }
            if (figure.route.size() < 2 || figure.source == figure.target) continue;
            for (const auto& [end, joined] : {std::pair{figure.route.front(), figure.source}, std::pair{figure.route.back(), figure.target}}) {
                if (joined < 0 || layout.figures[static_cast<std::size_t>(joined)].IsLine()) continue;
                EXPECT_LE(FromFigure(end, layout.figures[static_cast<std::size_t>(joined)]), 5.0)
                    << ToUtf8(std::wstring(figure.item->GetMetaClass().GetName().c_str())) << " to a "
                    << uml::ShapeName(layout.figures[static_cast<std::size_t>(joined)].shape) << " at " << end.x << ", " << end.y;
            }
        }
        const auto* interaction = uml::As<uml::Interaction>(diagram.context.element);
        if (interaction == nullptr || (diagram.sort != uml::DiagramKind::Sequence && diagram.sort != uml::DiagramKind::Collaboration))
            continue;
        for (const uml::Message* message : interaction->Members<uml::Message>())
            EXPECT_EQ(drawn[message], 1) << ToUtf8(std::wstring(message->name.c_str()));
    }
}

INSTANTIATE_TEST_SUITE_P(SharedModels, RealLayoutTest, ::testing::ValuesIn(Entries()), [](const auto& info) {
    std::string name = std::filesystem::path(info.param.substr(0, info.param.find('|'))).stem().string();
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

}  // namespace
}  // namespace lum::test
