#include "lum/text/json_writer.h"

#include <cmath>
#include <cstdio>

namespace lum {

void JsonWriter::NewLine() {
    // Indentation would make the document grow with the square of its
    // depth: what lies deeper than this is written on one line.
    constexpr std::size_t kIndentedLevels = 64;
    if (m_compact || m_first.size() > kIndentedLevels) return;
    m_out << '\n';
    for (std::size_t i = 0; i < m_first.size(); ++i) m_out << "  ";
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty()) return;
    if (!m_first.back()) m_out << ',';
    m_first.back() = false;
    NewLine();
}

void JsonWriter::BeginObject() {
    BeforeValue();
    m_out << '{';
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    m_out << '}';
    if (m_first.empty()) m_out << '\n';
}

void JsonWriter::BeginArray() {
    BeforeValue();
    m_out << '[';
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    m_out << ']';
}

void JsonWriter::Key(const std::string& key) {
    BeforeValue();
    m_out << JsonQuote(key) << (m_compact ? ":" : ": ");
    m_afterKey = true;
}

void JsonWriter::String(const std::string& utf8) {
    BeforeValue();
    m_out << JsonQuote(utf8);
}

void JsonWriter::Number(long long value) {
    BeforeValue();
    m_out << value;
}

void JsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        m_out << "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    m_out << text;
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out << (value ? "true" : "false");
}

void JsonWriter::RawNumber(const std::string& text) {
    BeforeValue();
    m_out << text;
}

void JsonWriter::Null() {
    BeforeValue();
    m_out << "null";
}

}  // namespace lum
