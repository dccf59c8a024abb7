#include "output.h"

#include <cmath>
#include <cstdio>

#include <lum/text/utf8.h>

namespace lumcli {

tUtf8WideBuffer::int_type tUtf8WideBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    const wchar_t c = traits_type::to_char_type(ch);
    xsputn(&c, 1);
    return ch;
}

std::streamsize tUtf8WideBuffer::xsputn(const wchar_t* text, std::streamsize count) {
    const std::string bytes = lum::ToUtf8(std::wstring(text, static_cast<std::size_t>(count)));
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return count;
}

int tUtf8WideBuffer::sync() {
    m_out.flush();
    return m_out ? 0 : -1;
}

void tJsonWriter::NewLine() {
    // Indentation would make the document grow with the square of its
    // depth: what lies deeper than this is written on one line.
    constexpr std::size_t kIndentedLevels = 64;
    if (m_first.size() > kIndentedLevels) return;
    m_out << '\n';
    for (std::size_t i = 0; i < m_first.size(); ++i) m_out << "  ";
}

void tJsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty()) return;
    if (!m_first.back()) m_out << ',';
    m_first.back() = false;
    NewLine();
}

void tJsonWriter::BeginObject() {
    BeforeValue();
    m_out << '{';
    m_first.push_back(true);
}

void tJsonWriter::EndObject() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    m_out << '}';
    if (m_first.empty()) m_out << '\n';
}

void tJsonWriter::BeginArray() {
    BeforeValue();
    m_out << '[';
    m_first.push_back(true);
}

void tJsonWriter::EndArray() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    m_out << ']';
}

void tJsonWriter::Key(const std::string& key) {
    BeforeValue();
    m_out << lum::JsonQuote(key) << ": ";
    m_afterKey = true;
}

void tJsonWriter::String(const std::string& utf8) {
    BeforeValue();
    m_out << lum::JsonQuote(utf8);
}

void tJsonWriter::Number(long long value) {
    BeforeValue();
    m_out << value;
}

void tJsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        m_out << "null";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    m_out << text;
}

void tJsonWriter::Bool(bool value) {
    BeforeValue();
    m_out << (value ? "true" : "false");
}

void tJsonWriter::RawNumber(const std::string& text) {
    BeforeValue();
    m_out << text;
}

void tJsonWriter::Null() {
    BeforeValue();
    m_out << "null";
}

}  // namespace lumcli
