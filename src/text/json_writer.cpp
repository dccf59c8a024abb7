#include "lum/text/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "text/json_quote.h"

namespace lum {

using namespace std::string_view_literals;

void JsonWriter::Grow(std::size_t bytes) {
    m_buffer.resize(std::max({2 * m_buffer.size(), m_used + bytes, std::size_t{4096}}));
}

void JsonWriter::Put(std::string_view text) {
    std::memcpy(Room(text.size()), text.data(), text.size());
    m_used += text.size();
}

template <class Text>
void JsonWriter::PutQuoted(Text text) {
    m_used += detail::PutJsonQuoted(Room(detail::JsonQuotedRoom(text.size())), text);
}

void JsonWriter::EndKey() {
    Put(m_compact ? ":"sv : ": "sv);
    m_afterKey = true;
}

void JsonWriter::NewLine() {
    // Indentation would make the document grow with the square of its
    // depth: what lies deeper than this is written on one line.
    constexpr std::size_t kIndentedLevels = 64;
    if (m_compact || m_first.size() > kIndentedLevels) return;
    char* at = Room(1 + 2 * m_first.size());
    *at = '\n';
    std::memset(at + 1, ' ', 2 * m_first.size());
    m_used += 1 + 2 * m_first.size();
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty()) return;
    if (!m_first.back()) Put(',');
    m_first.back() = false;
    NewLine();
}

void JsonWriter::BeginObject() {
    BeforeValue();
    Put('{');
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    Put('}');
    if (m_first.empty()) {
        Put('\n');
        Flush();
    }
    SpillIfFull();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    Put('[');
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) NewLine();
    Put(']');
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    PutQuoted(key);
    EndKey();
}

void JsonWriter::Key(std::wstring_view key) {
    BeforeValue();
    PutQuoted(key);
    EndKey();
}

void JsonWriter::QuotedKey(std::string_view quoted) {
    BeforeValue();
    Put(quoted);
    EndKey();
}

void JsonWriter::QuotedString(std::string_view quoted) {
    BeforeValue();
    Put(quoted);
    SpillIfFull();
}

void JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    PutQuoted(utf8);
    SpillIfFull();
}

void JsonWriter::String(std::wstring_view text) {
    BeforeValue();
    PutQuoted(text);
    SpillIfFull();
}

void JsonWriter::Number(long long value) {
    BeforeValue();
    constexpr std::size_t Longest = 20;  // a sign and 19 digits
    char* at = Room(Longest);
    m_used += static_cast<std::size_t>(std::to_chars(at, at + Longest, value).ptr - at);
}

void JsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        Put("null"sv);
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    Put(text);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    Put(value ? "true"sv : "false"sv);
}

void JsonWriter::RawNumber(std::string_view text) {
    BeforeValue();
    Put(text);
}

void JsonWriter::Null() {
    BeforeValue();
    Put("null"sv);
}

void JsonWriter::Splice(std::string_view values) {
    if (values.empty()) return;
    // The first value came after a comma: it goes if it is the array's first.
    if (m_first.back()) values.remove_prefix(1);
    m_first.back() = false;
    Flush();
    if (m_pOut == nullptr) {
        Put(values);
        return;
    }
    m_pOut->write(values.data(), static_cast<std::streamsize>(values.size()));
}

void JsonWriter::Flush() {
    if (m_pOut == nullptr) return;
    m_pOut->write(m_buffer.data(), static_cast<std::streamsize>(m_used));
    m_used = 0;
}

}  // namespace lum
