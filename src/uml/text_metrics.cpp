#include "lum/uml/text_metrics.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <limits>

#include "platform/decoders.h"
#include "uml/font_widths.h"

namespace lum::uml {

namespace {

// What ends cut text: three full stops, as the tool drew it (not U+2026).
constexpr std::string_view kCutMark = "...";
constexpr const char* kCjkFace = "Noto Sans CJK SC";

struct Glyph {
    char32_t code;
    double width;
    bool wide;  // measured with the CJK face; lines may break before and after it
};

// A line: the glyphs first..last-1 of the text.
struct Span {
    std::size_t first;
    std::size_t last;
};

const detail::WidthRun* Find(const detail::FaceMetrics& face, char32_t code) {
    const auto after = std::upper_bound(face.runs.begin(), face.runs.end(), code,
                                        [](char32_t c, const detail::WidthRun& run) { return c < run.first; });
    if (after == face.runs.begin() || std::prev(after)->last < code) return nullptr;
    return &*std::prev(after);
}

// The faces of one font and their scales from font units to drawing units.
// A code point the Liberation face lacks is looked up in the CJK face, and
// one neither has takes the Liberation face's default advance.
class Measure {
public:
    explicit Measure(const Font& font)
        : m_latin(detail::kLatinFaces[static_cast<std::size_t>(FamilyOf(font.face))]
                                     [detail::StyleIndex(font.bold, font.italic)]),
          m_cjk(detail::kCjkFaces[font.bold ? 1 : 0]),
          m_latinScale(font.points * kUnitsPerPoint / m_latin.unitsPerEm),
          m_cjkScale(font.points * kUnitsPerPoint / m_cjk.unitsPerEm) {}

    Glyph Of(char32_t code) const {
        if (const auto* run = Find(m_latin, code)) return {code, run->advance * m_latinScale, false};
        if (const auto* run = Find(m_cjk, code)) return {code, run->advance * m_cjkScale, true};
        return {code, m_latin.defaultAdvance * m_latinScale, false};
    }

    double LineHeight() const { return m_latin.lineHeight * m_latinScale; }

private:
    const detail::FaceMetrics& m_latin;
    const detail::FaceMetrics& m_cjk;
    double m_latinScale;
    double m_cjkScale;
};

std::vector<Glyph> Glyphs(std::string_view utf8, const Measure& measure) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    std::wstring wide(platform::detail::CountUtf8(bytes, utf8.size()), L'\0');
    platform::detail::DecodeUtf8(bytes, utf8.size(), wide.data(), wide.size());
    std::vector<Glyph> glyphs;
    glyphs.reserve(wide.size());
    for (const wchar_t c : wide) glyphs.push_back(measure.Of(static_cast<char32_t>(c)));
    return glyphs;
}

// Greedy filling of one paragraph (glyphs begin..end-1, no line breaks) into
// lines. Each word, a run of characters up to a space or a wide character, or
// one wide character, goes on the current line when it fits there with the
// spaces before it, else starts the next line without them; a word that fits
// on no line is cut between characters. Spaces at the start of the
// paragraph stay when the first word fits after them; spaces at the end of a
// line are dropped.
void WrapParagraph(const std::vector<Glyph>& glyphs, std::size_t begin, std::size_t end, double limit,
                   std::vector<Span>& lines) {
    std::size_t lineStart = begin, lineEnd = begin;  // lineEnd: after the line's last word
    double width = 0;                                // of lineStart..lineEnd-1
    std::size_t at = begin;
    while (at < end) {
        double spaces = 0;
        std::size_t wordStart = at;
        for (; wordStart < end && glyphs[wordStart].code == U' '; ++wordStart) spaces += glyphs[wordStart].width;
        if (wordStart == end) break;
        std::size_t wordEnd = wordStart + 1;
        double word = glyphs[wordStart].width;
        if (!glyphs[wordStart].wide) {
            for (; wordEnd < end && glyphs[wordEnd].code != U' ' && !glyphs[wordEnd].wide; ++wordEnd)
                word += glyphs[wordEnd].width;
        }
        if (width + spaces + word > limit) {
            if (lineEnd > lineStart) lines.push_back({lineStart, lineEnd});
            lineStart = lineEnd = wordStart;
            width = spaces = 0;
        }
        width += spaces;
        for (std::size_t k = wordStart; k < wordEnd; ++k) {
            if (lineEnd > lineStart && width + glyphs[k].width > limit) {
                lines.push_back({lineStart, lineEnd});
                lineStart = k;
                width = 0;
            }
            width += glyphs[k].width;
            lineEnd = k + 1;
        }
        at = wordEnd;
    }
    lines.push_back({lineStart, lineEnd});
}

double Width(const std::vector<Glyph>& glyphs, Span span) {
    double width = 0;
    for (std::size_t i = span.first; i < span.last; ++i) width += glyphs[i].width;
    return width;
}

// The line shortened, then rid of its trailing spaces, until the cut mark fits after it.
Span BeforeCutMark(const std::vector<Glyph>& glyphs, Span line, double mark, double limit) {
    double width = Width(glyphs, line);
    while (line.last > line.first && width + mark > limit) width -= glyphs[--line.last].width;
    while (line.last > line.first && glyphs[line.last - 1].code == U' ') --line.last;
    return line;
}

std::string Utf8(const std::vector<Glyph>& glyphs, Span span) {
    std::string out;
    for (std::size_t i = span.first; i < span.last; ++i) platform::detail::AppendUtf8(out, glyphs[i].code);
    return out;
}

std::string Lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool NamesAny(const std::string& face, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return face.find(w) != std::string::npos; });
}

// A CSS string of the face: quoted, quotes and backslashes escaped, control characters left out.
void AppendQuoted(std::string& out, std::string_view face) {
    out += '\'';
    for (const char c : face) {
        if (static_cast<unsigned char>(c) < 0x20) continue;
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    out += '\'';
}

}  // namespace

FontFamily FamilyOf(std::string_view face) {
    const std::string name = Lowered(face);
    if (NamesAny(name, {"courier", "mono", "consolas", "lucida console", "fixedsys"})) return FontFamily::Mono;
    if (NamesAny(name, {"sans"})) return FontFamily::Sans;
    if (NamesAny(name, {"times", "serif", "roman", "georgia", "garamond", "palatino", "century", "cambria"}))
        return FontFamily::Serif;
    return FontFamily::Sans;
}

const char* MetricFace(FontFamily family) {
    static constexpr std::array<const char*, 3> names = {"Liberation Sans", "Liberation Serif", "Liberation Mono"};
    return names[static_cast<std::size_t>(family)];
}

double TextWidth(std::string_view utf8, const Font& font) {
    const std::vector<Glyph> glyphs = Glyphs(utf8, Measure(font));
    return Width(glyphs, {0, glyphs.size()});
}

double LineHeight(const Font& font) { return Measure(font).LineHeight(); }

std::vector<std::string> WrapText(std::string_view utf8, const Font& font, double maxWidth, int maxLines) {
    const Measure measure(font);
    const std::vector<Glyph> glyphs = Glyphs(utf8, measure);
    // A hair over the width, so that a line summed in another order still fits.
    const double limit = maxWidth > 0 ? maxWidth + 1e-6 : std::numeric_limits<double>::infinity();
    std::vector<Span> lines;
    for (std::size_t start = 0; start <= glyphs.size();) {
        std::size_t end = start;
        while (end < glyphs.size() && glyphs[end].code != U'\n' && glyphs[end].code != U'\r') ++end;
        WrapParagraph(glyphs, start, end, limit, lines);
        if (end + 1 < glyphs.size() && glyphs[end].code == U'\r' && glyphs[end + 1].code == U'\n') ++end;
        start = end + 1;
    }
    while (!lines.empty() && lines.back().first == lines.back().last) lines.pop_back();

    const bool cut = maxLines > 0 && lines.size() > static_cast<std::size_t>(maxLines);
    if (cut) {
        lines.resize(static_cast<std::size_t>(maxLines));
        double mark = 0;
        for (const char c : kCutMark) mark += measure.Of(static_cast<char32_t>(c)).width;
        lines.back() = BeforeCutMark(glyphs, lines.back(), mark, limit);
    }
    std::vector<std::string> out;
    out.reserve(lines.size());
    for (const Span& line : lines) out.push_back(Utf8(glyphs, line));
    if (cut) out.back() += kCutMark;
    return out;
}

std::string SvgFontFamily(std::string_view face) {
    const FontFamily family = FamilyOf(face);
    std::string out;
    if (!face.empty() && Lowered(face) != Lowered(MetricFace(family))) {
        AppendQuoted(out, face);
        out += ", ";
    }
    AppendQuoted(out, MetricFace(family));
    out += ", ";
    AppendQuoted(out, kCjkFace);
    out += family == FontFamily::Mono ? ", monospace" : family == FontFamily::Serif ? ", serif" : ", sans-serif";
    return out;
}

}  // namespace lum::uml
