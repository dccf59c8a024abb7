// Text metrics: widths against the fonts' own advances (summed with
// fontTools from the installed Liberation 2 and Noto Sans CJK fonts), face
// mapping, and wrapping at a label's width and line count.

#include <gtest/gtest.h>

#include <lum/uml/text_metrics.h>

namespace lum::uml {
namespace {

using Lines = std::vector<std::string>;

TEST(TextMetricsTest, WidthsAreTheFontsAdvances) {
    struct tCase {
        const char* text;
        Font font;
        double width;
    };
    const tCase cases[] = {
        {"Hello, World", {"Arial", 10}, 226.9084},
        {"Проверка связи", {"Arial", 10, true}, 330.1188},
        {"Élan vital", {"Times New Roman", 12, false, true}, 195.8008},
        {"Ωμέγα", {"Times New Roman", 8, true, true}, 89.3880},
        {"abc", {"Courier New", 10}, 75.0122},
        {"UML类图", {"Arial", 9}, 154.1748},    // the ideographs from Noto Sans CJK, an em each
        {"ก", {"Arial", 10}, 20.8333},          // in no table: half an em
        {"a\tb", {"Arial", 10}, 2 * 23.1730},  // controls draw nothing
    };
    for (const tCase& c : cases) EXPECT_NEAR(TextWidth(c.text, c.font), c.width, 1e-3) << c.text;
    EXPECT_NEAR(LineHeight({"Arial", 10}), 47.9126, 1e-3);
    EXPECT_NEAR(LineHeight({"Courier New", 10}), 47.2005, 1e-3);
}

TEST(TextMetricsTest, FacesMapToMetricFamilies) {
    const std::pair<const char*, FontFamily> cases[] = {
        {"Arial", FontFamily::Sans},           {"helvetica", FontFamily::Sans},   {"MS Sans Serif", FontFamily::Sans},
        {"Times New Roman", FontFamily::Serif}, {"Georgia", FontFamily::Serif},    {"COURIER NEW", FontFamily::Mono},
        {"Lucida Console", FontFamily::Mono},   {"Wingdings", FontFamily::Sans},   {"", FontFamily::Sans},
    };
    for (const auto& [face, family] : cases) EXPECT_EQ(FamilyOf(face), family) << face;
    EXPECT_EQ(SvgFontFamily("Arial"), "'Arial', 'Liberation Sans', 'Noto Sans CJK SC', sans-serif");
    EXPECT_EQ(SvgFontFamily("Courier New"), "'Courier New', 'Liberation Mono', 'Noto Sans CJK SC', monospace");
    EXPECT_EQ(SvgFontFamily("liberation serif"), "'Liberation Serif', 'Noto Sans CJK SC', serif");
    EXPECT_EQ(SvgFontFamily("O'Neil\\"), "'O\\'Neil\\\\', 'Liberation Sans', 'Noto Sans CJK SC', sans-serif");
}

TEST(TextMetricsTest, WrapsAtWidthAndCutsAtLineCount) {
    // Courier New 10 pt: 25.004 units a character, so 130 units hold five.
    const Font mono{"Courier New", 10};
    struct tCase {
        const char* text;
        int maxLines;
        Lines lines;
    };
    const tCase cases[] = {
        {"ab cd ef", 0, {"ab cd", "ef"}},
        {"abcdefghijkl", 0, {"abcde", "fghij", "kl"}},
        {"ab  abcdefg", 0, {"ab", "abcde", "fg"}},  // the long word starts a line, then is cut
        {"  ab cd", 0, {"  ab", "cd"}},             // leading spaces stay, spaces at a break go
        {"   abcdef", 0, {"abcde", "f"}},          // unless the first word does not fit after them
        {"a\nb\r\nc\rd", 0, {"a", "b", "c", "d"}},
        {"ab\n\ncd\n\n", 0, {"ab", "", "cd"}},
        {"", 0, {}},
        {"abcde fghij klm", 2, {"abcde", "fg..."}},
        {"a bcd efg", 1, {"a..."}},  // shortened, then the space before "..." dropped
        {"ab cd", 1, {"ab cd"}},
    };
    for (const tCase& c : cases) EXPECT_EQ(WrapText(c.text, mono, 130, c.maxLines), c.lines) << c.text;
    EXPECT_EQ(WrapText("ab cd ef gh", mono, 0, 0), Lines{"ab cd ef gh"});
    EXPECT_EQ(WrapText("abcdef", mono, 10, 0), (Lines{"a", "b", "c", "d", "e", "f"}));
    EXPECT_EQ(WrapText("abc", mono, 10, 1), Lines{"..."});
    EXPECT_EQ(WrapText("\xff" "a", mono, 130, 0), Lines{"\xEF\xBF\xBD" "a"});
}

TEST(TextMetricsTest, WrapsCyrillicAtSpacesAndChineseBetweenCharacters) {
    EXPECT_EQ(WrapText("Получить информацию о фото", {"Arial", 10}, 300, 0),
              (Lines{"Получить", "информацию о", "фото"}));
    EXPECT_EQ(WrapText("UML类图说明书", {"Arial", 12}, 160, 0), (Lines{"UML类", "图说明", "书"}));
    EXPECT_EQ(WrapText("UML类图说明书", {"Arial", 12}, 160, 2), (Lines{"UML类", "图说..."}));
}

}  // namespace
}  // namespace lum::uml
