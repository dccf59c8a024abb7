// A model nested a million objects deep (a tenth of that in unoptimised
// builds): attribute sets inside attributes, as tools store their property
// trees, with a class at the bottom. The library reads and deletes it; the
// tool checks, binds, lists and exports it, and refuses to print it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

#include <lum/lum.h>

#include "robustness/hostile_support.h"

namespace robustness {
namespace {

constexpr std::size_t kDepth = 1000 * 1000 / kScale;

// Class Top holds `attributes` nested attributes, the deepest of which holds
// class Bottom; Bottom derives from Top and class After from Bottom, so that
// both ends of the chain are bound. Written straight to the file.
void WriteDeepModel(const std::string& path, std::size_t attributes) {
    const std::string main = MainFile(
        ClassText("Top", "5D0000000003", "\t\tattributes \t(list Attribute_Set\n@") +
        ClassText("After", "5D0000000006", SuperclassText("5D0000000007", "Bottom", "5D0000000004")));
    const std::size_t hole = main.find('@');
    std::ofstream out(path, std::ios::binary);
    out << main.substr(0, hole);
    for (std::size_t i = 1; i < attributes; ++i) out << "(object Attribute tool \"T\" name \"a\" value (list Attribute_Set\n";
    out << "(object Attribute tool \"T\" name \"a\" value\n"
        << ClassText("Bottom", "5D0000000004", SuperclassText("5D0000000005", "Logical View::Top", "5D0000000003")) << ")";
    for (std::size_t i = 1; i < attributes; ++i) out << "))";
    out << ")\n" << main.substr(hole + 1);
}

// The objects below `root`, walked without recursion.
std::size_t CountObjects(lum::ClumVellumEntity* root) {
    std::size_t count = 0;
    std::vector<lum::ClumVellumEntity*> stack{root};
    while (!stack.empty()) {
        lum::ClumVellumEntity* entity = stack.back();
        stack.pop_back();
        ++count;
        for (const lum::ClumMetaFeature* link : entity->GetMetaClass().m_linkFeatures) {
            for (int i = 0; i < link->m_pfnLinkSize(entity); ++i) stack.push_back(link->m_pfnLinkGetAt(entity, i));
        }
    }
    return count;
}

class DeepNestingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch = new tScratchDir;
        WriteDeepModel((*scratch / "deep.mdl").string(), kDepth);
    }
    static void TearDownTestSuite() {
        delete scratch;
        scratch = nullptr;
    }
    static std::string Deep() { return (*scratch / "deep.mdl").string(); }

    static tScratchDir* scratch;
};

tScratchDir* DeepNestingTest::scratch = nullptr;

// Everything in the file: the version, the design, its root package, three
// classes, the chain and two inheritances, below the file object.
constexpr std::size_t kObjects = kDepth + 8;

TEST_F(DeepNestingTest, LibraryReadsAndDeletesTheChain) {
    lum::InitializeLUM();
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    {
        std::list<lum::ClumUnitObject*> units;
        auto file = std::make_unique<lum::ClumVellumFile>();
        lum::ClumParser::Parse(lum::WString(Deep().c_str()), *file, units);
        EXPECT_EQ(CountObjects(file.get()), kObjects + 1);
        EXPECT_TRUE(units.empty());
    }
    EXPECT_TRUE(errors.empty()) << lum::ToUtf8(errors.front().message);
    lum::CErrorReporter::GetInstance().ResetReporter();
    lum::FinalizeLUM();
}

TEST_F(DeepNestingTest, ToolChecksAndBindsBothEndsOfTheChain) {
    const auto started = std::chrono::steady_clock::now();
    const tRun run = RunTool({"check", Deep()}, *scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "\nobjects: " + std::to_string(kObjects) + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\n  Attribute: " + std::to_string(kDepth) + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\nreferences: 4 bound, 0 naming nothing, 0 into missing units, 0 unmodelled types, 0 dangling (0 ambiguous)\n")) << run.out;
    std::printf("check of %zu levels: %.1f s\n", kDepth,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    const tRun refs = RunTool({"refs", Deep()}, *scratch);
    EXPECT_EQ(refs.status, 0) << Describe(refs);
    std::string bottom = "Logical View::Top";
    for (std::size_t i = 0; i < kDepth; ++i) bottom += "::a";
    bottom += "::Bottom";
    // Depth first: the chain below Top comes before the class after it.
    EXPECT_EQ(refs.out, bottom + " supplier = Logical View::Top -> Logical View::Top\n" + bottom +
                            " quidu = 5D0000000003 -> Logical View::Top\n" +
                            "Logical View::After supplier = Bottom -> " + bottom + "\n" +
                            "Logical View::After quidu = 5D0000000004 -> " + bottom + "\n");
}

TEST_F(DeepNestingTest, ExportWritesEveryLevelInLinearSpace) {
    const std::string json = (*scratch / "deep.json").string();
    const tRun run = RunTool({"export", Deep(), "-o", json}, *scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    const std::string text = ReadFile(json);
    // Bounded per object: the deep part is written without indentation.
    EXPECT_LT(text.size(), 200 * kObjects);
    EXPECT_TRUE(Contains(text, "\"objectCount\": " + std::to_string(kObjects + 1) + ",")) << text.substr(0, 400);
    std::size_t attributes = 0;
    for (std::size_t at = text.find("\"Attribute\""); at != std::string::npos; at = text.find("\"Attribute\"", at + 1)) {
        ++attributes;
    }
    EXPECT_EQ(attributes, kDepth);
    EXPECT_EQ(std::count(text.begin(), text.end(), '{'), std::count(text.begin(), text.end(), '}'));
    EXPECT_EQ(std::count(text.begin(), text.end(), '['), std::count(text.begin(), text.end(), ']'));
    EXPECT_TRUE(text.ends_with("}\n"));
}

TEST_F(DeepNestingTest, PrintRefusesTheChainBeforeBindingItButPrintsModerateDepth) {
    const tRun run = RunTool({"print", Deep()}, *scratch);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    // The Top class at 3, then the chain, Bottom and its inheritance.
    EXPECT_EQ(run.err, "lum: the model nests objects " + std::to_string(kDepth + 5) +
                           " levels deep; print indents every level and takes models up to 1000 deep: use 'lum "
                           "export'\n");

    const std::string moderate = (*scratch / "moderate.mdl").string();
    WriteDeepModel(moderate, 300);
    const tRun print = RunTool({"print", moderate}, *scratch);
    EXPECT_EQ(print.status, 0) << Describe(print);
    std::size_t printed = 0;
    for (std::size_t at = print.out.find("object Attribute\n"); at != std::string::npos;
         at = print.out.find("object Attribute\n", at + 1)) {
        ++printed;
    }
    EXPECT_EQ(printed, 300u);
    EXPECT_TRUE(Contains(print.out, "    name = Bottom;\n"));
}

}  // namespace
}  // namespace robustness
