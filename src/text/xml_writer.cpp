#include "lum/text/xml_writer.h"

#include <charconv>

#include "lum/text/markup.h"

namespace lum {

XmlWriter::XmlWriter(std::ostream& out) : m_out(out) { m_buffer.reserve(kBlock + 4096); }

XmlWriter::~XmlWriter() { Flush(); }

void XmlWriter::Flush() {
    if (!m_buffer.empty()) m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
}

bool XmlWriter::Finish() {
    while (!m_open.empty()) End();
    m_buffer += '\n';
    Flush();
    return m_out.flush().good();
}

void XmlWriter::Declaration() { m_buffer += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; }

void XmlWriter::Indent(std::size_t depth) {
    m_buffer += '\n';
    m_buffer.append(std::min(depth, kMaxIndent) * 2, ' ');
}

void XmlWriter::CloseStartTag() {
    if (!m_startTagOpen) return;
    m_buffer += '>';
    m_startTagOpen = false;
}

void XmlWriter::Start(std::string_view tag) {
    CloseStartTag();
    if (!m_open.empty()) m_open.back().hasContent = true;
    Indent(m_open.size());
    m_buffer += '<';
    m_buffer += tag;
    m_open.push_back({tag, false});
    m_startTagOpen = true;
    MaybeFlush();
}

void XmlWriter::Attr(std::string_view name, std::string_view value) { Attr(name, value, {}); }

void XmlWriter::Attr(std::string_view name, std::string_view value, std::string_view suffix) {
    m_buffer += ' ';
    m_buffer += name;
    m_buffer += "=\"";
    m_buffer += value;
    m_buffer += suffix;
    m_buffer += '"';
}

void XmlWriter::Attr(std::string_view name, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    Attr(name, std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

template <class Chars>
void XmlWriter::TextAttr(std::string_view name, Chars value) {
    m_buffer += ' ';
    m_buffer += name;
    m_buffer += "=\"";
    Escaped(value, true);
    m_buffer += '"';
}

void XmlWriter::Text(std::string_view name, std::wstring_view value) { TextAttr(name, value); }

void XmlWriter::Text(std::string_view name, std::string_view utf8) { TextAttr(name, utf8); }

void XmlWriter::ListStart(std::string_view name) {
    m_buffer += ' ';
    m_buffer += name;
    m_buffer += "=\"";
    m_items.clear();
}

void XmlWriter::Item(std::string_view value, std::string_view suffix) {
    std::string item(value);
    item += suffix;
    for (const std::string& earlier : m_items)
        if (earlier == item) return;
    if (!m_items.empty()) m_buffer += ' ';
    m_buffer += item;
    m_items.push_back(std::move(item));
}

void XmlWriter::ListEnd() { m_buffer += '"'; }

void XmlWriter::TextElement(std::string_view tag, std::wstring_view text) { TextContent(tag, text); }

void XmlWriter::TextElement(std::string_view tag, std::string_view utf8) { TextContent(tag, utf8); }

template <class Chars>
void XmlWriter::TextContent(std::string_view tag, Chars text) {
    CloseStartTag();
    if (!m_open.empty()) m_open.back().hasContent = true;
    Indent(m_open.size());
    m_buffer += '<';
    m_buffer += tag;
    m_buffer += '>';
    Escaped(text, false);
    m_buffer += "</";
    m_buffer += tag;
    m_buffer += '>';
    MaybeFlush();
}

void XmlWriter::End() {
    if (m_open.empty()) return;
    const tOpen open = m_open.back();
    m_open.pop_back();
    if (m_startTagOpen) {
        m_buffer += "/>";
        m_startTagOpen = false;
    } else {
        if (open.hasContent) Indent(m_open.size());
        m_buffer += "</";
        m_buffer += open.tag;
        m_buffer += '>';
    }
    MaybeFlush();
}

template <class Chars>
void XmlWriter::Escaped(Chars text, bool attribute) {
    AppendMarkup(m_buffer, text, attribute ? MarkupPlace::Attribute : MarkupPlace::Content);
    MaybeFlush();
}

}  // namespace lum
