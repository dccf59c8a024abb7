#pragma once
// JsonWriter: a small streaming writer of one JSON document in UTF-8.

#include <ostream>
#include <string>
#include <vector>

#include "lum/text/utf8.h"

namespace lum {

// Writes one JSON document as it goes: objects, arrays, keys and values,
// with commas and indentation handled here. Indented, containers nested
// more than 64 levels deep are written on one line; compact, the document
// has no whitespace at all but its final newline.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out, bool compact = false) : m_out(out), m_compact(compact) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(const std::string& key);
    void String(const std::string& utf8);
    void String(const std::wstring& text) { String(ToUtf8(text)); }
    void Number(long long value);
    void Number(double value);
    void Bool(bool value);
    void Null();
    // A number already written as JSON allows (e.g. "3.500000").
    void RawNumber(const std::string& text);

    // A whole member: key and value.
    template <class T>
    void Member(const std::string& key, const T& value) {
        Key(key);
        Value(value);
    }

private:
    void Value(const std::string& v) { String(v); }
    void Value(const char* v) { String(std::string(v)); }
    void Value(const std::wstring& v) { String(v); }
    void Value(bool v) { Bool(v); }
    void Value(int v) { Number(static_cast<long long>(v)); }
    void Value(long v) { Number(static_cast<long long>(v)); }
    void Value(long long v) { Number(v); }
    void Value(unsigned long v) { Number(static_cast<long long>(v)); }
    void Value(unsigned long long v) { Number(static_cast<long long>(v)); }
    void Value(double v) { Number(v); }
    void BeforeValue();
    void NewLine();

    std::ostream& m_out;
    std::vector<bool> m_first;  // per open container: nothing written in it yet
    bool m_compact;
    bool m_afterKey = false;
};

}  // namespace lum
