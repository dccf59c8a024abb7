#include "uml/layout_text.h"

#include <algorithm>
#include <cmath>

#include "lum/text/utf8.h"
#include "uml/raw_access.h"

namespace lum::uml::detail {

namespace {

// Measured on the drawing tool's pictures: its screen fonts set lines 1.08 em
// apart, and glyphs narrower than the faces' own advances: every wrap point
// of the pictures comes out with widths between 0.9210 and 0.9217 of them.
constexpr double kLineSpacing = 1.08, kScreenWidth = 0.9215;
// The baseline's depth in the line: the faces' ascent over their ascent and descent.
constexpr double kBaseline = 0.905 / (0.905 + 0.212);

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

double LineSpacing(const TextFont& font) { return font.Size() * kLineSpacing; }

double ScreenWidth(std::string_view utf8, const TextFont& font) { return TextWidth(utf8, font) * kScreenWidth; }

std::vector<std::string> Wrap(std::string_view utf8, const TextFont& font, double maxWidth, int maxLines) {
    return WrapText(utf8, font, maxWidth > 0 ? maxWidth / kScreenWidth : 0, maxLines);
}

std::string CutLine(std::string_view utf8, const TextFont& font, double maxWidth) {
    if (maxWidth <= 0 || ScreenWidth(utf8, font) <= maxWidth) return std::string(utf8);
    const double room = maxWidth - ScreenWidth("...", font);
    double used = 0;
    std::size_t fits = 0;
    while (fits < utf8.size()) {
        std::size_t next = fits + 1;
        while (next < utf8.size() && (static_cast<unsigned char>(utf8[next]) & 0xC0) == 0x80) ++next;
        used += ScreenWidth(utf8.substr(fits, next - fits), font);
        if (used > room) break;
        fits = next;
    }
    return std::string(utf8.substr(0, fits)) + "...";
}

std::string Utf8(const ClumIdent& ident) { return Utf8(Wide(ident)); }

std::string Utf8(const std::wstring& text) {
    if (text.find(L'\\') == std::wstring::npos) return ToUtf8(text);
    std::wstring shown;
    for (std::size_t i = 0; i < text.size(); ++i) shown += text[i] == L'\\' && i + 1 < text.size() ? text[++i] : text[i];
    return ToUtf8(shown);
}

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
    // A one-line label is neither wrapped nor cut: files store labels narrower than their text.
    std::vector<std::string> lines = maxLines == 1 ? Wrap(text, own, 0, 0) : Wrap(text, own, maxWidth, maxLines);
    double width = maxWidth;
    for (const std::string& line : lines) width = std::max(width, ScreenWidth(line, own));
    const Align align = label.justify.Get() == 1 ? Align::Left : label.justify.Get() == 2 ? Align::Right : Align::Centre;
    const tLocation at = label.location.Get();
    double left = Far(at.x), top = Far(at.y);
    const double rows = static_cast<double>(std::max<std::size_t>(static_cast<std::size_t>(maxLines), lines.size()));
    const auto* anchored = AsRaw<ClumElementLabel>(&label);
    if (anchored != nullptr && !anchored->anchor_loc.IsEmpty()) {
        top -= rows * LineSpacing(own) / 2;
        left -= align == Align::Left ? 0 : align == Align::Right ? width : width / 2;
    }
    TextBlock block = SetLines(std::move(lines), own, role, align, left, top, width);
    block.box.height = rows * block.lineHeight;
    return block;
}

TextBlock SetLines(std::vector<std::string> lines, const TextFont& font, TextRole role, Align align, double left,
                   double top, double width) {
    TextBlock block;
    block.role = role;
    block.font = font;
    block.align = align;
    block.lineHeight = LineSpacing(font);
    block.baseline = block.lineHeight * kBaseline;
    block.box = {left, top, width, block.lineHeight * static_cast<double>(lines.size())};
    for (const std::string& line : lines) block.widths.push_back(ScreenWidth(line, font));
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

std::string ShownName(const Element* element, const ClumDiagramItem& item) {
    if (element != nullptr) return Utf8(element->name);
    const auto* named = AsRaw<ClumNamedSymbol>(&item);
    if (named == nullptr) return {};
    const std::wstring name = Wide(named->name.Get());
    if (name.starts_with(L"$UNNAMED$")) return {};
    const std::size_t scope = name.rfind(L"::");
    return Utf8(scope == std::wstring::npos ? name : name.substr(scope + 2));
}

std::string TypeText(const TypeRef& type) {
    if (type.element != nullptr && type.element->name.GetLength() != 0) return Utf8(type.element->name);
    return Utf8(type.name);
}

}  // namespace lum::uml::detail
