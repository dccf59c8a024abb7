#include "xmi/xml_out.h"

#include <charconv>

namespace lum::xmi::detail {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool Allowed(char32_t c) {
    if (c < 0x20) return c == 0x9 || c == 0xA || c == 0xD;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    if (c == 0xFFFE || c == 0xFFFF) return false;
    return c <= 0x10FFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

tXmlOut::tXmlOut(std::ostream& out) : m_out(out) { m_buffer.reserve(kBlock + 4096); }

tXmlOut::~tXmlOut() { Flush(); }

void tXmlOut::Flush() {
    if (!m_buffer.empty()) m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
}

void tXmlOut::Declaration() { m_buffer += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; }

void tXmlOut::Indent(std::size_t depth) {
    m_buffer += '\n';
    m_buffer.append(std::min(depth, kMaxIndent) * 2, ' ');
}

void tXmlOut::CloseStartTag() {
    if (!m_startTagOpen) return;
    m_buffer += '>';
    m_startTagOpen = false;
}

void tXmlOut::Start(std::string_view tag) {
    CloseStartTag();
    if (!m_open.empty()) m_open.back().hasContent = true;
    Indent(m_open.size());
    m_buffer += '<';
    m_buffer += tag;
    m_open.push_back({tag, false});
    m_startTagOpen = true;
    MaybeFlush();
}

void tXmlOut::Attr(std::string_view name, std::string_view value) { Attr(name, value, {}); }

void tXmlOut::Attr(std::string_view name, std::string_view value, std::string_view suffix) {
    m_buffer += ' ';
    m_buffer += name;
    m_buffer += "=\"";
    m_buffer += value;
    m_buffer += suffix;
    m_buffer += '"';
}

void tXmlOut::Attr(std::string_view name, long long value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    Attr(name, std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void tXmlOut::Text(std::string_view name, std::wstring_view value) {
    m_buffer += ' ';
    m_buffer += name;
    m_buffer += "=\"";
    Escaped(value, true);
    m_buffer += '"';
}

void tXmlOut::ListStart(std::string_view name) {
    m_buffer += ' ';
    m_buffer += name;
    m_buffer += "=\"";
    m_items.clear();
}

void tXmlOut::Item(std::string_view value, std::string_view suffix) {
    std::string item(value);
    item += suffix;
    for (const std::string& earlier : m_items)
        if (earlier == item) return;
    if (!m_items.empty()) m_buffer += ' ';
    m_buffer += item;
    m_items.push_back(std::move(item));
}

void tXmlOut::ListEnd() { m_buffer += '"'; }

void tXmlOut::TextElement(std::string_view tag, std::wstring_view text) {
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

void tXmlOut::End() {
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

void tXmlOut::Escaped(std::wstring_view text, bool attribute) {
    for (const wchar_t w : text) {
        const auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(w));
        switch (c) {
            case '<': m_buffer += "&lt;"; continue;
            case '>': m_buffer += "&gt;"; continue;
            case '&': m_buffer += "&amp;"; continue;
            case '"': m_buffer += attribute ? "&quot;" : "\""; continue;
            // Attribute values would have their line ends and tabs read as spaces.
            case '\t': m_buffer += attribute ? "&#9;" : "\t"; continue;
            case '\n': m_buffer += attribute ? "&#10;" : "\n"; continue;
            case '\r': m_buffer += "&#13;"; continue;
            default: break;
        }
        AppendUtf8(m_buffer, Allowed(c) ? c : kReplacement);
    }
    MaybeFlush();
}

}  // namespace lum::xmi::detail
