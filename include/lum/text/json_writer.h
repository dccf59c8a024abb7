#pragma once
// JsonWriter: a small streaming writer of one JSON document in UTF-8.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "lum/export.h"
#include "lum/text/utf8.h"

LUM_API_BEGIN
namespace lum {

// Writes one JSON document as it goes: objects, arrays, keys and values,
// with commas and indentation handled here. Indented, containers nested
// more than 64 levels deep are written on one line; compact, the document
// has no whitespace at all but its final newline. Output is gathered and
// reaches the stream in large pieces: when the document is closed, at
// Flush, and when the writer goes.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out, bool compact = false) : m_pOut(&out), m_compact(compact) {}
    // A writer of values that another writer takes, with Splice, into an
    // array open `depth` containers deep: each value is written after a
    // comma, as if the array held values already. The values are appended to
    // `text`, which holds them once the writer is gone.
    JsonWriter(std::string& text, bool compact, std::size_t depth)
        : m_pText(&text), m_first(depth, false), m_compact(compact) {
        m_buffer.swap(text);
        m_used = m_buffer.size();
    }
    ~JsonWriter() {
        if (m_pText != nullptr) {
            m_buffer.resize(m_used);
            m_pText->swap(m_buffer);
        } else {
            Flush();
        }
    }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view key);
    void Key(std::wstring_view key);
    void String(std::string_view utf8);
    void String(std::wstring_view text);
    void Number(long long value);
    void Number(double value);
    void Bool(bool value);
    void Null();
    // A number already written as JSON allows (e.g. "3.500000").
    void RawNumber(std::string_view text);
    // A key or a string value already quoted as JSON (see AppendJsonQuoted),
    // for texts written many times over.
    void QuotedKey(std::string_view quoted);
    void QuotedString(std::string_view quoted);
    // Adds to the array open here the values a writer of this array's depth
    // wrote (see the constructor), as if they were written here.
    void Splice(std::string_view values);
    // Hands what is gathered to the stream; a writer into a text keeps it.
    void Flush();

    // A whole member: key and value.
    template <class T>
    void Member(std::string_view key, const T& value) {
        Key(key);
        Value(value);
    }

private:
    void Value(const std::string& v) { String(std::string_view(v)); }
    void Value(const char* v) { String(std::string_view(v)); }
    void Value(const std::wstring& v) { String(std::wstring_view(v)); }
    void Value(const wchar_t* v) { String(std::wstring_view(v)); }
    void Value(bool v) { Bool(v); }
    void Value(int v) { Number(static_cast<long long>(v)); }
    void Value(long v) { Number(static_cast<long long>(v)); }
    void Value(long long v) { Number(v); }
    void Value(unsigned long v) { Number(static_cast<long long>(v)); }
    void Value(unsigned long long v) { Number(static_cast<long long>(v)); }
    void Value(double v) { Number(v); }
    void BeforeValue();
    void NewLine();
    // Hands the gathered output to the stream once there is enough of it.
    void SpillIfFull() {
        if (m_used >= kSpillBytes && m_pOut != nullptr) Flush();
    }
    // Room for `bytes` more at the end of what is gathered.
    char* Room(std::size_t bytes) {
        if (m_buffer.size() - m_used < bytes) Grow(bytes);
        return m_buffer.data() + m_used;
    }
    void Grow(std::size_t bytes);
    void Put(char c) {
        *Room(1) = c;
        ++m_used;
    }
    void Put(std::string_view text);
    // A text as a JSON literal (UTF-8 or wide), and what follows a key.
    template <class Text>
    void PutQuoted(Text text);
    void EndKey();

    static constexpr std::size_t kSpillBytes = 1 << 16;
    std::ostream* m_pOut = nullptr;  // null when the text is gathered for a Splice
    std::string* m_pText = nullptr;
    // What is gathered is the first m_used bytes; the rest is room, so that
    // small pieces are copied in without the string's own bookkeeping.
    std::string m_buffer;
    std::size_t m_used = 0;
    std::vector<char> m_first;  // per open container: nothing written in it yet (bytes: faster than bits)
    bool m_compact;
    bool m_afterKey = false;
};

}  // namespace lum
LUM_API_END
