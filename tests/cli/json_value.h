#pragma once
// A small, strict JSON reader for checking the tool's JSON output: one
// document, nothing but white space after it, strings decoded to UTF-8.

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumcli::test {

struct tJson {
    enum class tKind { Null, Bool, Number, String, Array, Object };
    tKind kind = tKind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<tJson> items;
    std::map<std::string, tJson> members;
    std::vector<std::string> order;  // member names as written

    bool Has(const std::string& key) const { return kind == tKind::Object && members.count(key) != 0; }
    // The member `key`; throws when there is none, so a test fails loudly.
    const tJson& operator[](const std::string& key) const {
        const auto found = members.find(key);
        if (kind != tKind::Object || found == members.end()) throw std::runtime_error("no member '" + key + "'");
        return found->second;
    }
    const tJson& operator[](std::size_t index) const {
        if (kind != tKind::Array || index >= items.size()) throw std::runtime_error("no element " + std::to_string(index));
        return items[index];
    }
    bool IsNull() const { return kind == tKind::Null; }
    bool IsNumber() const { return kind == tKind::Number; }
    bool IsString() const { return kind == tKind::String; }
    bool IsArray() const { return kind == tKind::Array; }
    bool IsObject() const { return kind == tKind::Object; }
    long long Int() const { return static_cast<long long>(number); }
};

class tJsonReader {
public:
    // Parses `text` as one JSON document; throws std::runtime_error with the
    // offset of the first fault.
    static tJson Parse(const std::string& text) {
        tJsonReader reader(text);
        tJson value = reader.Value(0);
        reader.Space();
        if (reader.m_pos != text.size()) reader.Fail("text after the document");
        return value;
    }

private:
    explicit tJsonReader(const std::string& text) : m_text(text) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(m_pos));
    }
    void Space() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r'))
            ++m_pos;
    }
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    void Expect(char c) {
        if (Peek() != c) Fail(std::string("expected '") + c + "'");
        ++m_pos;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0) return false;
        m_pos += w.size();
        return true;
    }

    tJson Value(int depth) {
        if (depth > 200) Fail("nesting too deep");
        Space();
        tJson value;
        const char c = Peek();
        if (c == '{') {
            value.kind = tJson::tKind::Object;
            ++m_pos;
            Space();
            if (Peek() == '}') {
                ++m_pos;
                return value;
            }
            for (;;) {
                Space();
                if (Peek() != '"') Fail("expected a member name");
                std::string key = String();
                Space();
                Expect(':');
                if (value.members.count(key) != 0) Fail("duplicate member '" + key + "'");
                value.order.push_back(key);
                value.members.emplace(key, Value(depth + 1));
                Space();
                if (Peek() == ',') {
                    ++m_pos;
                    continue;
                }
                Expect('}');
                return value;
            }
        }
        if (c == '[') {
            value.kind = tJson::tKind::Array;
            ++m_pos;
            Space();
            if (Peek() == ']') {
                ++m_pos;
                return value;
            }
            for (;;) {
                value.items.push_back(Value(depth + 1));
                Space();
                if (Peek() == ',') {
                    ++m_pos;
                    continue;
                }
                Expect(']');
                return value;
            }
        }
        if (c == '"') {
            value.kind = tJson::tKind::String;
            value.text = String();
            return value;
        }
        if (Word("null")) return value;
        if (Word("true")) {
            value.kind = tJson::tKind::Bool;
            value.boolean = true;
            return value;
        }
        if (Word("false")) {
            value.kind = tJson::tKind::Bool;
            return value;
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            value.kind = tJson::tKind::Number;
            value.number = Number();
            return value;
        }
        Fail("expected a value");
    }

    double Number() {
        const std::size_t start = m_pos;
        if (Peek() == '-') ++m_pos;
        if (Peek() == '0') {
            ++m_pos;
        } else {
            if (!(Peek() >= '1' && Peek() <= '9')) Fail("bad number");
            while (Peek() >= '0' && Peek() <= '9') ++m_pos;
        }
        if (Peek() == '.') {
            ++m_pos;
            if (!(Peek() >= '0' && Peek() <= '9')) Fail("bad fraction");
            while (Peek() >= '0' && Peek() <= '9') ++m_pos;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++m_pos;
            if (Peek() == '+' || Peek() == '-') ++m_pos;
            if (!(Peek() >= '0' && Peek() <= '9')) Fail("bad exponent");
            while (Peek() >= '0' && Peek() <= '9') ++m_pos;
        }
        return std::strtod(m_text.substr(start, m_pos - start).c_str(), nullptr);
    }

    unsigned Hex4() {
        if (m_pos + 4 > m_text.size()) Fail("short \\u escape");
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = m_text[m_pos++];
            value <<= 4;
            if (h >= '0' && h <= '9') value |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f') value |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') value |= static_cast<unsigned>(h - 'A' + 10);
            else Fail("bad \\u escape");
        }
        return value;
    }

    static void AppendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string String() {
        Expect('"');
        std::string out;
        for (;;) {
            if (m_pos >= m_text.size()) Fail("unterminated string");
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') return out;
            if (c < 0x20) Fail("raw control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            const char e = Peek();
            ++m_pos;
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned cp = Hex4();
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        if (!Word("\\u")) Fail("lone high surrogate");
                        const unsigned low = Hex4();
                        if (low < 0xDC00 || low >= 0xE000) Fail("bad low surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    } else if (cp >= 0xDC00 && cp < 0xE000) {
                        Fail("lone low surrogate");
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: Fail("bad escape");
            }
        }
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
inline bool IsUtf8(const std::string& bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) length = 2, cp = b & 0x1Fu;
        else if (b >= 0xE0 && b <= 0xEF) length = 3, cp = b & 0x0Fu;
        else if (b >= 0xF0 && b <= 0xF4) length = 4, cp = b & 0x07u;
        else return false;
        if (i + length > bytes.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp < 0xE000))
            return false;
        i += length;
    }
    return true;
}

}  // namespace lumcli::test
