// Models of any depth: building the view and writing its outline use their
// own stacks.

#include <streambuf>

#include "uml/uml_fixture.h"

namespace lum::test {
namespace {

// Counts what is written and keeps the last line.
class tCountingBuffer : public std::streambuf {
public:
    std::size_t bytes = 0;
    std::string lastLine, line;

protected:
    int overflow(int c) override {
        ++bytes;
        if (c == '\n') lastLine.swap(line), line.clear();
        else line += static_cast<char>(c);
        return c;
    }
};

TEST_F(UmlTest, DeeplyNestedPackagesAreBuiltAndWritten) {
    constexpr int kDepth = 100'000;
    auto* file = new ClumVellumFile();
    files.push_back(file);
    auto* design = new ClumDesign();
    file->design.Insert(design, -1);
    auto* category = new ClumClass_Category();
    design->root_category.Insert(category, -1);
    for (int i = 0; i < kDepth; ++i) {
        auto* inner = new ClumClass_Category();
        inner->name.Set(ClumIdent(L"P"));
        category->logical_models.Insert(inner, -1);
        category = inner;
    }
    auto* leaf = new ClumClass();
    leaf->name.Set(ClumIdent(L"Leaf"));
    category->logical_models.Insert(leaf, -1);

    view = std::make_unique<uml::View>(uml::View::Build(files));
    EXPECT_EQ(view->Count(uml::Kind::Package), static_cast<std::size_t>(kDepth + 2));
    const uml::Element* element = view->Find(leaf);
    ASSERT_NE(element, nullptr);

    tCountingBuffer text;
    std::ostream textOut(&text);
    uml::WriteOutline(*view, textOut);
    EXPECT_EQ(text.lastLine, std::string(2 * uml::kOutlineIndentLevels, ' ') + "class Leaf");

    tCountingBuffer json;
    std::ostream jsonOut(&json);
    uml::WriteOutlineJson(*view, jsonOut);
    EXPECT_GT(json.bytes, static_cast<std::size_t>(kDepth) * 40);

    view.reset();
    TreeRemover().DeleteTree(file);
    files.clear();
}

}  // namespace
}  // namespace lum::test
