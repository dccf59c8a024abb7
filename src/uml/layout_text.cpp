#include "uml/layout_text.h"

#include <algorithm>
#include <cmath>

#include "lum/text/utf8.h"
#include "uml/raw_access.h"

namespace lum::uml::detail {

namespace {

constexpr double kAscent = 0.905, kDescent = 0.212;  // of the em, for the faces the files name

// The advance of one character in ems: a stand-in for the faces' own widths.
double Advance(char32_t c) {
    if (c >= 0x2E80) return 1.0;
    if (c >= 0x0400 && c < 0x0530) return 0.6;
    switch (c) {
        case ' ': case '.': case ',': case ':': case ';': case '!': case '\'': case '|': case 'I': case 'f': case 't':
        case '/': case '[': case ']': case '(': case ')': return 0.278;
        case 'i': case 'j': case 'l': return 0.222;
        case 'r': case '-': return 0.333;
        case 'm': case 'M': case 'W': return 0.833;
        case 'w': return 0.722;
        default: break;
    }
    if (c >= 'A' && c <= 'Z') return 0.667;
    return 0.556;
}

char32_t Next(std::string_view text, std::size_t& at) {
    const auto byte = static_cast<unsigned char>(text[at++]);
    if (byte < 0x80) return byte;
    const int more = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
    char32_t c = byte & (0x3F >> more);
    for (int i = 0; i < more && at < text.size(); ++i) c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return c;
}

// The longest start of `text` (whole characters) no wider than `width`; at least one character.
std::size_t Fitting(std::string_view text, const TextFont& font, double width) {
    std::size_t at = 0, fits = 0;
    double used = 0;
    while (at < text.size()) {
        std::size_t next = at;
        used += Advance(Next(text, next)) * font.Size() * (font.bold ? 1.07 : 1.0);
        if (used > width && fits > 0) break;
        fits = at = next;
    }
    return fits;
}

// One paragraph wrapped at spaces, words wider than the line broken.
void WrapParagraph(std::string_view text, const TextFont& font, double maxWidth, std::vector<std::string>& lines) {
    while (TextWidth(text, font) > maxWidth) {
        std::size_t cut = Fitting(text, font, maxWidth);
        const std::size_t space = text.substr(0, cut + 1).rfind(' ');
        if (space != std::string_view::npos && space > 0) cut = space;
        std::string_view line = text.substr(0, cut);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(cut);
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        if (text.empty()) return;
    }
    lines.emplace_back(text);
}

std::wstring Wide(const ClumIdent& ident) { return std::wstring(ident.c_str(), ident.GetLength()); }

}  // namespace

double Far(double value) {
    if (!std::isfinite(value)) return 0;
    return std::clamp(value, -kFarUnits, kFarUnits);
}

TextFont FontOf(const ClumDiagramItem& item) {
    TextFont font;
    font.face = "Arial";
    const auto* stored = AsRaw<ClumFont>(item.font.GetTarget(-1));
    if (stored == nullptr) return font;
    if (!stored->size.IsEmpty() && stored->size.Get() > 0) font.points = std::min(stored->size.Get(), 200);
    if (stored->face.Get().GetLength() != 0) font.face = Utf8(stored->face.Get());
    font.bold = stored->bold.Get();
    font.italic = stored->italics.Get();
    font.underline = stored->underline.Get();
    font.strike = stored->strike.Get();
    if (!stored->color.IsEmpty() && !stored->default_color.Get()) {
        const auto bgr = static_cast<std::uint32_t>(stored->color.Get());
        font.colour = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }
    return font;
}

double LineHeight(const TextFont& font) { return font.Size() * (kAscent + kDescent); }

double TextWidth(std::string_view utf8, const TextFont& font) {
    double width = 0;
    for (std::size_t at = 0; at < utf8.size();) width += Advance(Next(utf8, at));
    return width * font.Size() * (font.bold ? 1.07 : 1.0);
}

std::vector<std::string> WrapText(std::string_view utf8, const TextFont& font, double maxWidth, int maxLines) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= utf8.size();) {
        std::size_t end = utf8.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = utf8.size();
        const std::string_view paragraph = utf8.substr(start, end - start);
        if (maxWidth > 0) WrapParagraph(paragraph, font, maxWidth, lines);
        else lines.emplace_back(paragraph);
        if (end + 1 < utf8.size() && utf8[end] == '\r' && utf8[end + 1] == '\n') ++end;
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    if (maxLines > 0 && static_cast<int>(lines.size()) > maxLines) {
        lines.resize(static_cast<std::size_t>(maxLines));
        std::string& last = lines.back();
        const double room = maxWidth > 0 ? maxWidth - TextWidth("\u2026", font) : TextWidth(last, font);
        last.resize(TextWidth(last, font) > room ? Fitting(last, font, std::max(room, 0.0)) : last.size());
        last += "\u2026";
    }
    return lines;
}

std::string CutLine(std::string_view utf8, const TextFont& font, double maxWidth) {
    if (maxWidth <= 0 || TextWidth(utf8, font) <= maxWidth) return std::string(utf8);
    return std::string(utf8.substr(0, Fitting(utf8, font, std::max(maxWidth - TextWidth("...", font), 0.0)))) + "...";
}

std::string Utf8(const ClumIdent& ident) { return ToUtf8(Wide(ident)); }
std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

const ClumLabel* LabelOf(const ClumDiagramItem& item, bool stereotype) {
    if (!stereotype)
        if (const auto* label = AsRaw<ClumLabel>(&item)) return label;
    const IlumFeature* feature = item.GetFeature(ClumIdent(stereotype ? L"stereotype" : L"label"));
    const IlumLink* link = feature != nullptr ? feature->GetLink() : nullptr;
    return link != nullptr && link->GetSize() > 0 ? AsRaw<ClumLabel>(link->GetAt(0)) : nullptr;
}

TextBlock PlaceLabel(const ClumLabel& label, std::string_view text, TextRole role, const TextFont& font) {
    const TextFont own = AsRaw<ClumFont>(label.font.GetTarget(-1)) != nullptr ? FontOf(label) : font;
    const double maxWidth = label.max_width.Get() > 0 ? std::min<double>(label.max_width.Get(), kFarUnits) : 0;
    const int maxLines = std::max(label.nlines.Get(), 0);
    std::vector<std::string> lines = WrapText(text, own, maxWidth, maxLines);
    double width = maxWidth;
    for (const std::string& line : lines) width = std::max(width, TextWidth(line, own));
    const Align align = label.justify.Get() == 1 ? Align::Left : label.justify.Get() == 2 ? Align::Right : Align::Centre;
    const tLocation at = label.location.Get();
    double left = Far(at.x), top = Far(at.y);
    const auto* anchored = AsRaw<ClumElementLabel>(&label);
    if (anchored != nullptr && !anchored->anchor_loc.IsEmpty()) {
        const double rows = static_cast<double>(std::max<std::size_t>(static_cast<std::size_t>(maxLines), lines.size()));
        top -= rows * LineHeight(own) / 2;
        left -= align == Align::Left ? 0 : align == Align::Right ? width : width / 2;
    }
    return SetLines(std::move(lines), own, role, align, left, top, width);
}

TextBlock SetLines(std::vector<std::string> lines, const TextFont& font, TextRole role, Align align, double left,
                   double top, double width) {
    TextBlock block;
    block.role = role;
    block.font = font;
    block.align = align;
    block.lineHeight = LineHeight(font);
    block.baseline = font.Size() * kAscent;
    block.box = {left, top, width, block.lineHeight * static_cast<double>(lines.size())};
    block.lines = std::move(lines);
    return block;
}

std::string AttributeText(const Property& property) {
    // Visibility is no text: the drawing tool shows it as an icon, which the pictures leave out.
    std::string text = std::string(property.isDerived ? "/" : "") + Utf8(property.name);
    if (property.type.name.GetLength() != 0) text += " : " + TypeText(property.type);
    if (!property.defaultValue.empty()) text += " = " + Utf8(property.defaultValue);
    return text;
}

std::string OperationText(const Operation& operation, bool signature) {
    std::string text = Utf8(operation.name) + "(";
    if (signature) {
        bool first = true;
        for (const Parameter* parameter : operation.Members<Parameter>()) {
            if (!first) text += ", ";
            first = false;
            text += Utf8(parameter->name);
            if (parameter->type.name.GetLength() != 0) text += " : " + TypeText(parameter->type);
        }
    }
    text += ")";
    if (signature && operation.returnType.name.GetLength() != 0) text += " : " + TypeText(operation.returnType);
    return text;
}

std::string ActionText(const Action& action) {
    static const char* const kWhen[] = {"entry", "exit", "event ", "do"};
    std::string text = kWhen[static_cast<int>(action.when)];
    if (action.when == ActionTime::OnEvent) text += Utf8(action.event);
    if (!action.condition.empty()) text.append(" [").append(Utf8(action.condition)).append("]");
    text += "/ ";
    if (action.isSendEvent) {
        text += '^';
        if (!action.sendTarget.empty()) text.append(Utf8(action.sendTarget)).append(".");
    }
    return text.append(Utf8(action.name));
}

std::string TransitionText(const Transition& transition) {
    std::string text = Utf8(transition.event);
    if (!transition.eventParameters.empty()) text.append("(").append(Utf8(transition.eventParameters)).append(")");
    if (!transition.guard.empty()) text.append(text.empty() ? "[ " : " [ ").append(Utf8(transition.guard)).append(" ]");
    if (transition.action.GetLength() != 0) text.append(" / ").append(Utf8(transition.action));
    if (transition.sendEvent.GetLength() != 0) {
        text += " ^";
        if (!transition.sendTarget.empty()) text.append(Utf8(transition.sendTarget)).append(".");
        text += Utf8(transition.sendEvent);
    }
    return text.empty() ? Utf8(transition.name) : text;
}

std::string StereotypeText(const ClumIdent& stereotype) {
    const std::wstring text = Wide(stereotype);
    if (text.empty()) return {};
    if (text.size() >= 4 && text.starts_with(L"<<") && text.ends_with(L">>")) return ToUtf8(text);
    return "<<" + ToUtf8(text) + ">>";
}

std::string NameOf(const Element* element) { return element == nullptr ? std::string() : Utf8(element->name); }

std::string TypeText(const TypeRef& type) {
    if (type.element != nullptr && type.element->name.GetLength() != 0) return Utf8(type.element->name);
    return Utf8(type.name);
}

}  // namespace lum::uml::detail
