#include "papyrus/xml.h"

#include <algorithm>

#include "lum/text/markup.h"

namespace lum::papyrus::detail {

namespace {
constexpr std::size_t kBlock = 1 << 16;
constexpr std::size_t kMaxIndent = 64;
}  // namespace

void tXml::CloseStartTag() {
    if (!m_startTagOpen) return;
    m_buffer += '>';
    m_startTagOpen = false;
}

void tXml::Start(std::string_view tag) {
    CloseStartTag();
    m_buffer += '\n';
    m_buffer.append(std::min(m_open.size(), kMaxIndent) * 2, ' ');
    (m_buffer += '<') += tag;
    m_open.push_back(tag);
    m_startTagOpen = true;
}

void tXml::Attr(std::string_view name, std::string_view value) {
    ((((m_buffer += ' ') += name) += "=\"") += value) += '"';
}

void tXml::Text(std::string_view name, std::string_view utf8) {
    ((m_buffer += ' ') += name) += "=\"";
    AppendMarkup(m_buffer, utf8, MarkupPlace::Attribute);
    m_buffer += '"';
}

void tXml::End() {
    if (m_open.empty()) return;
    if (m_startTagOpen) {
        m_buffer += "/>";
        m_startTagOpen = false;
    } else {
        m_buffer += '\n';
        m_buffer.append(std::min(m_open.size() - 1, kMaxIndent) * 2, ' ');
        ((m_buffer += "</") += m_open.back()) += '>';
    }
    m_open.pop_back();
    if (m_buffer.size() >= kBlock) Flush();
}

void tXml::Flush() {
    m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
}

bool tXml::Finish() {
    while (!m_open.empty()) End();
    m_buffer += '\n';
    Flush();
    return m_out.flush().good();
}

}  // namespace lum::papyrus::detail
