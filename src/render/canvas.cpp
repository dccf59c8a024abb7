#include "render/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lum/text/markup.h"

namespace lum::render::detail {

namespace {

template <class T>
const T* AsRaw(const ClumDiagramItem* item) {
    return item->GetMetaClass().IsKindOf(&T::StaticGetMetaClass()) ? static_cast<const T*>(item) : nullptr;
}

}  // namespace

void tCanvas::Begin(const ClumDiagramItem& item) {
    m_out += "<g data-view=\"";
    const ClumIdent& name = item.GetMetaClass().GetName();
    AppendMarkup(m_out, std::wstring_view(name.c_str(), name.GetLength()), MarkupPlace::Attribute);
    m_out += '"';
    if (item.quid.Get().GetLength() != 0) {
        m_out += " data-quid=\"";
        AppendMarkup(m_out, std::wstring_view(item.quid.Get().c_str()), MarkupPlace::Attribute);
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
        AppendMarkup(m_out, std::wstring_view(element.c_str(), element.GetLength()), MarkupPlace::Attribute);
        m_out += '"';
    }
    m_out += ">\n";
}

void tCanvas::Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::isfinite(value) ? value : 0.0);
    std::string_view number(text);
    if (number.size() > 2 && number.substr(number.size() - 2) == ".0") number.remove_suffix(2);
    if (number == "-0") number = "0";
    m_out += number;
}

std::string ColourOf(uml::Colour colour) {
    if (colour == uml::kNoColour) return "none";
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", colour & 0xFFFFFFu);
    return text;
}

void tCanvas::Points(const std::vector<uml::Point>& points) {
    m_out += " points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i > 0) m_out += ' ';
        Number(points[i].x);
        m_out += ',';
        Number(points[i].y);
    }
    m_out += '"';
}

void tCanvas::Paint(uml::Colour fill, uml::Colour stroke) {
    m_out += " fill=\"" + ColourOf(fill) + "\" stroke=\"" + ColourOf(stroke) + "\"/>\n";
}

void tCanvas::Rect(const uml::Box& box, uml::Colour fill, uml::Colour stroke, double radius) {
    m_out += "<rect x=\"";
    Number(box.x);
    m_out += "\" y=\"";
    Number(box.y);
    m_out += "\" width=\"";
    Number(std::max(box.width, 0.0));
    m_out += "\" height=\"";
    Number(std::max(box.height, 0.0));
    if (radius > 0) {
        m_out += "\" rx=\"";
        Number(radius);
    }
    m_out += '"';
    Paint(fill, stroke);
}

void tCanvas::Ellipse(const uml::Box& box, uml::Colour fill, uml::Colour stroke) {
    m_out += "<ellipse cx=\"";
    Number(box.x + box.width / 2);
    m_out += "\" cy=\"";
    Number(box.y + box.height / 2);
    m_out += "\" rx=\"";
    Number(std::max(box.width / 2, 0.0));
    m_out += "\" ry=\"";
    Number(std::max(box.height / 2, 0.0));
    m_out += '"';
    Paint(fill, stroke);
}

void tCanvas::Polyline(const std::vector<uml::Point>& points, uml::Colour stroke, uml::Dash dash) {
    if (points.size() < 2) return;
    m_out += "<polyline";
    Points(points);
    // The tool's pen patterns at 120 dpi: dashes 18 pixels long 6 apart, dots 3 and 3.
    if (dash == uml::Dash::Dashed) m_out += " stroke-dasharray=\"45,15\"";
    if (dash == uml::Dash::Dotted) m_out += " stroke-dasharray=\"8,8\"";
    Paint(uml::kNoColour, stroke);
}

void tCanvas::Polygon(const std::vector<uml::Point>& points, uml::Colour fill, uml::Colour stroke) {
    if (points.empty()) return;
    m_out += "<polygon";
    Points(points);
    Paint(fill, stroke);
}

void tCanvas::Text(const uml::TextBlock& block) {
    const uml::TextFont& font = block.font;
    const char* anchor = block.align == uml::Align::Left ? "start" : block.align == uml::Align::Right ? "end" : "middle";
    const double x = block.align == uml::Align::Left    ? block.box.x
                     : block.align == uml::Align::Right ? block.box.Right()
                                                        : block.box.x + block.box.width / 2;
    for (std::size_t i = 0; i < block.lines.size(); ++i) {
        if (block.lines[i].empty()) continue;
        m_out += "<text x=\"";
        Number(x);
        m_out += "\" y=\"";
        Number(block.box.y + block.lineHeight * static_cast<double>(i) + block.baseline);
        if (i < block.widths.size() && block.widths[i] > 0) {
            m_out += "\" textLength=\"";
            Number(block.widths[i]);
            m_out += "\" lengthAdjust=\"spacingAndGlyphs";
        }
        m_out += "\" font-size=\"";
        Number(font.Size());
        // The stored face first, then its metric-compatible Liberation face, then a face with CJK glyphs.
        m_out += "\" font-family=\"" + Markup(uml::SvgFontFamily(font.face), MarkupPlace::Attribute) + "\" fill=\"" + ColourOf(font.colour) + "\" text-anchor=\"" +
                 anchor + '"';
        if (font.bold) m_out += " font-weight=\"bold\"";
        if (font.italic) m_out += " font-style=\"italic\"";
        if (font.underline || font.strike)
            m_out += font.underline && font.strike ? " text-decoration=\"underline line-through\""
                     : font.underline            ? " text-decoration=\"underline\""
                                                 : " text-decoration=\"line-through\"";
        m_out += '>';
        AppendMarkup(m_out, std::string_view(block.lines[i]));
        m_out += "</text>\n";
    }
}

}  // namespace lum::render::detail
