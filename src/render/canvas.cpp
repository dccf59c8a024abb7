#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lum/text/utf8.h"

namespace lum::render::detail {

double Clamp(double value) {
    if (!std::isfinite(value)) return 0;
    return std::clamp(value, -kFar, kFar);
}

namespace {

template <class T>
const T* AsRaw(const ClumDiagramItem* item) {
    return item->GetMetaClass().IsKindOf(&T::StaticGetMetaClass()) ? static_cast<const T*>(item) : nullptr;
}

bool AllowedInXml(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    if (u < 0x20) return u == 0x09 || u == 0x0A || u == 0x0D;
    return u != 0xFFFE && u != 0xFFFF;
}

}  // namespace

std::string Escape(std::wstring_view text) {
    std::wstring kept;
    kept.reserve(text.size());
    for (wchar_t c : text)
        if (AllowedInXml(c)) kept += c;
    return Escape(std::string_view(ToUtf8(kept)));
}

std::string Escape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
        }
    }
    return out;
}

std::string ColourOf(int colorref) {
    const auto value = static_cast<std::uint32_t>(colorref);
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    return text;
}

std::string LineColour(const ClumDiagramItem& item, const char* fallback) {
    return item.line_color.IsEmpty() ? fallback : ColourOf(item.line_color.Get());
}

std::string FillColour(const ClumDiagramItem& item, const char* fallback) {
    return item.fill_color.IsEmpty() ? fallback : ColourOf(item.fill_color.Get());
}

// A point is 100/72 drawing units: the file's logical units are taken as
// hundredths of an inch, the unit in which its symbol sizes read naturally.
tFont FontOf(const ClumDiagramItem& item) {
    tFont font;
    const auto* raw = item.font.GetTarget(-1);
    if (raw == nullptr || !raw->GetMetaClass().IsKindOf(&ClumFont::StaticGetMetaClass())) return font;
    const auto& stored = static_cast<const ClumFont&>(*raw);
    if (!stored.size.IsEmpty() && stored.size.Get() > 0) font.size = std::min(stored.size.Get(), 200) * 100.0 / 72.0;
    if (stored.face.Get().GetLength() != 0)
        font.family = Escape(std::wstring_view(stored.face.Get().c_str())) + ", sans-serif";
    font.bold = stored.bold.Get();
    font.italic = stored.italics.Get();
    font.underline = stored.underline.Get();
    if (!stored.color.IsEmpty() && !stored.default_color.Get()) font.colour = ColourOf(stored.color.Get());
    return font;
}

std::vector<std::wstring> Wrap(std::wstring_view text, const tFont& font, double maxWidth) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view paragraph = text.substr(start, end - start);
        const std::size_t fits =
            maxWidth > 0 ? std::max<std::size_t>(1, static_cast<std::size_t>(maxWidth / font.Width(1))) : paragraph.size() + 1;
        while (paragraph.size() > fits) {
            std::size_t cut = paragraph.rfind(L' ', fits);
            if (cut == std::wstring_view::npos || cut == 0) cut = fits;
            lines.emplace_back(paragraph.substr(0, cut));
            paragraph.remove_prefix(cut);
            while (!paragraph.empty() && paragraph.front() == L' ') paragraph.remove_prefix(1);
        }
        lines.emplace_back(paragraph);
        if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ++end;
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

void tCanvas::Begin(const ClumDiagramItem& item) {
    m_out += "<g data-view=\"";
    const ClumIdent& name = item.GetMetaClass().GetName();
    m_out += Escape(std::wstring_view(name.c_str(), name.GetLength()));
    m_out += '"';
    if (item.quid.Get().GetLength() != 0) {
        m_out += " data-quid=\"";
        m_out += Escape(std::wstring_view(item.quid.Get().c_str()));
        m_out += '"';
    }
    // The quid of the element shown, as the view stores it.
    const IlumReference* shows = nullptr;
    if (const auto* symbol = AsRaw<ClumQuiduSymbol>(&item)) shows = &symbol->quidu;
    else if (const auto* line = AsRaw<ClumQuiduLine>(&item)) shows = &line->quidu;
    else if (const auto* message = AsRaw<ClumInteractionLine>(&item); message != nullptr && !message->label.IsEmpty() &&
                                                                      message->label.Get(0) != nullptr)
        shows = &message->label.Get(0)->quidu;  // a message line shows the message its label names
    ClumIdent element;
    if (shows != nullptr && !shows->IsEmpty()) shows->GetValueIdent(element, -1);
    if (element.GetLength() != 0) {
        m_out += " data-element=\"";
        m_out += Escape(std::wstring_view(element.c_str(), element.GetLength()));
        m_out += '"';
    }
    m_out += ">\n";
}

void tCanvas::Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", Clamp(value));
    std::string_view number(text);
    if (number.size() > 2 && number.substr(number.size() - 2) == ".0") number.remove_suffix(2);
    if (number == "-0") number = "0";
    m_out += number;
}

void tCanvas::Cover(double x, double y) {
    x = Clamp(x);
    y = Clamp(y);
    m_minX = std::min(m_minX, x);
    m_minY = std::min(m_minY, y);
    m_maxX = std::max(m_maxX, x);
    m_maxY = std::max(m_maxY, y);
}

void tCanvas::Rect(double x, double y, double w, double h, const std::string& fill, const std::string& stroke,
                   double radius, const char* extra) {
    m_out += "<rect x=\"";
    Number(x);
    m_out += "\" y=\"";
    Number(y);
    m_out += "\" width=\"";
    Number(std::max(w, 0.0));
    m_out += "\" height=\"";
    Number(std::max(h, 0.0));
    if (radius > 0) {
        m_out += "\" rx=\"";
        Number(radius);
    }
    m_out += "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\"" + extra + "/>\n";
    Cover(x, y);
    Cover(x + w, y + h);
}

void tCanvas::Ellipse(double cx, double cy, double rx, double ry, const std::string& fill, const std::string& stroke,
                      const char* extra) {
    m_out += "<ellipse cx=\"";
    Number(cx);
    m_out += "\" cy=\"";
    Number(cy);
    m_out += "\" rx=\"";
    Number(std::max(rx, 0.0));
    m_out += "\" ry=\"";
    Number(std::max(ry, 0.0));
    m_out += "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\"" + extra + "/>\n";
    Cover(cx - rx, cy - ry);
    Cover(cx + rx, cy + ry);
}

void tCanvas::Line(tPoint a, tPoint b, const std::string& stroke, const char* extra) {
    Polyline({a, b}, stroke, extra);
}

void tCanvas::Points(const std::vector<tPoint>& points) {
    m_out += " points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) m_out += ' ';
        Number(points[i].x);
        m_out += ',';
        Number(points[i].y);
        Cover(points[i].x, points[i].y);
    }
    m_out += '"';
}

void tCanvas::Polyline(const std::vector<tPoint>& points, const std::string& stroke, const char* extra) {
    if (points.size() < 2) return;
    m_out += "<polyline";
    Points(points);
    m_out += " fill=\"none\" stroke=\"" + stroke + "\"" + extra + "/>\n";
}

void tCanvas::Polygon(const std::vector<tPoint>& points, const std::string& fill, const std::string& stroke,
                      const char* extra) {
    if (points.empty()) return;
    m_out += "<polygon";
    Points(points);
    m_out += " fill=\"" + fill + "\" stroke=\"" + stroke + "\"" + extra + "/>\n";
}

void tCanvas::Text(double x, double y, std::wstring_view text, const tFont& font, const char* anchor) {
    if (text.empty()) return;
    m_out += "<text x=\"";
    Number(x);
    m_out += "\" y=\"";
    Number(y);
    m_out += "\" font-size=\"";
    Number(font.size);
    m_out += "\" font-family=\"" + font.family + "\" fill=\"" + font.colour + "\" text-anchor=\"" + anchor + '"';
    if (font.bold) m_out += " font-weight=\"bold\"";
    if (font.italic) m_out += " font-style=\"italic\"";
    if (font.underline) m_out += " text-decoration=\"underline\"";
    m_out += '>';
    m_out += Escape(text);
    m_out += "</text>\n";
    const double width = font.Width(text.size());
    const double left = anchor[0] == 'm' ? x - width / 2 : anchor[0] == 'e' ? x - width : x;
    Cover(left, y - font.size);
    Cover(left + width, y + font.size * 0.3);
}

double tCanvas::Lines(double x, double top, const std::vector<std::wstring>& lines, const tFont& font,
                      const char* anchor) {
    double y = top;
    for (const std::wstring& line : lines) {
        y += font.LineHeight();
        Text(x, y - font.LineHeight() * 0.25, line, font, anchor);
    }
    return y - top;
}

}  // namespace lum::render::detail
