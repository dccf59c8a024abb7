#include "lum/text/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lum {

void JsonWriter::NewLine() {
    // Indentation would make the document grow with the square of its
    // depth: what lies deeper than this is written on one line.
    constexpr std::size_t kIndentedLevels = 64;
    if (m_compact || m_first.size() > kIndentedLevels) return;
    m_buffer += '\n';
    for (std::size_t i = 0; i < m_first.size(); ++i) m_buffer += "  ";
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty()) return;
    if (!m_first.back()) m_buffer += ',';
    m_first.back() = false;
    NewLine();
}

void JsonWriter::BeginObject() {
    BeforeValue();
    m_buffer += '{';
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    m_buffer += '}';
    if (m_first.empty()) {
        m_buffer += '\n';
        Flush();
    }
    SpillIfFull();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    m_buffer += '[';
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    m_buffer += ']';
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    AppendJsonQuoted(m_buffer, key);
    m_buffer += m_compact ? ":" : ": ";
    m_afterKey = true;
}

void JsonWriter::Key(std::wstring_view key) {
    BeforeValue();
    AppendJsonQuoted(m_buffer, key);
    m_buffer += m_compact ? ":" : ": ";
    m_afterKey = true;
}

void JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    AppendJsonQuoted(m_buffer, utf8);
    SpillIfFull();
}

void JsonWriter::String(std::wstring_view text) {
    BeforeValue();
    AppendJsonQuoted(m_buffer, text);
    SpillIfFull();
}

void JsonWriter::Number(long long value) {
    BeforeValue();
    char text[24];
    m_buffer.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void JsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        m_buffer += "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    m_buffer += text;
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_buffer += (value ? "true" : "false");
}

void JsonWriter::RawNumber(std::string_view text) {
    BeforeValue();
    m_buffer += text;
}

void JsonWriter::Null() {
    BeforeValue();
    m_buffer += "null";
}

void JsonWriter::Splice(std::string_view values) {
    if (values.empty()) return;
    // The first value came after a comma: it goes if it is the array's first.
    if (m_first.back()) values.remove_prefix(1);
    m_first.back() = false;
    Flush();
    if (m_pOut == nullptr) {
        m_buffer += values;
        return;
    }
    m_pOut->write(values.data(), static_cast<std::streamsize>(values.size()));
}

void JsonWriter::Flush() {
    if (m_pOut == nullptr) return;
    m_pOut->write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
}

}  // namespace lum
