#pragma once
// JsonWriter: a small streaming writer of one JSON document in UTF-8.

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
    explicit JsonWriter(std::ostream& out, bool compact = false) : m_out(out), m_compact(compact) {}
    ~JsonWriter() { Flush(); }
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
        if (m_buffer.size() >= kSpillBytes) Flush();
    }

    static constexpr std::size_t kSpillBytes = 1 << 16;
    std::ostream& m_out;
    std::string m_buffer;
    std::vector<bool> m_first;  // per open container: nothing written in it yet
    bool m_compact;
    bool m_afterKey = false;
};

}  // namespace lum
LUM_API_END
