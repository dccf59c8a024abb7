#pragma once
// A small, strict JSON reader for checking the tool's JSON output: one
// document, nothing but white space after it, strings decoded to UTF-8.

#include <cstdlib>
#include <map>
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

    bool Has(const std::string& key) const { return members.count(key) != 0; }
    // Throw when absent, so that a test fails loudly.
    const tJson& operator[](const std::string& key) const {
        if (!Has(key)) throw std::runtime_error("no member '" + key + "'");
        return members.at(key);
    }
    const tJson& operator[](std::size_t index) const {
        if (index >= items.size()) throw std::runtime_error("no element " + std::to_string(index));
        return items[index];
    }
    bool IsNull() const { return kind == tKind::Null; }
    bool IsNumber() const { return kind == tKind::Number; }
    bool IsArray() const { return kind == tKind::Array; }
    long long Int() const { return static_cast<long long>(number); }
};

class tJsonReader {
public:
    // Throws std::runtime_error with the offset of the first fault.
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
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    bool Digit() const { return Peek() >= '0' && Peek() <= '9'; }
    void Space() {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r') ++m_pos;
    }
    bool Take(char c) {
        Space();
        if (Peek() != c) return false;
        ++m_pos;
        return true;
    }
    void Expect(char c) {
        if (!Take(c)) Fail(std::string("expected '") + c + "'");
    }
    bool Word(const std::string& word) {
        if (m_text.compare(m_pos, word.size(), word) != 0) return false;
        m_pos += word.size();
        return true;
    }

    tJson Value(int depth) {
        if (depth > 100) Fail("nesting too deep");
        Space();
        tJson value;
        if (Take('{')) {
            value.kind = tJson::tKind::Object;
            if (Take('}')) return value;
            do {
                Space();
                std::string key = String();
                Expect(':');
                if (value.Has(key)) Fail("duplicate member '" + key + "'");
                value.order.push_back(key);
                value.members.emplace(key, Value(depth + 1));
            } while (Take(','));
            Expect('}');
        } else if (Take('[')) {
            value.kind = tJson::tKind::Array;
            if (Take(']')) return value;
            do value.items.push_back(Value(depth + 1));
            while (Take(','));
            Expect(']');
        } else if (Peek() == '"') {
            value.kind = tJson::tKind::String;
            value.text = String();
        } else if (Word("true")) {
            value.kind = tJson::tKind::Bool;
            value.boolean = true;
        } else if (Word("false")) {
            value.kind = tJson::tKind::Bool;
        } else if (Peek() == '-' || Digit()) {
            value.kind = tJson::tKind::Number;
            value.number = Number();
        } else if (!Word("null")) {
            Fail("expected a value");
        }
        return value;
    }

    double Number() {
        const std::size_t start = m_pos;
        Word("-");
        if (!Digit()) Fail("bad number");
        if (!Word("0"))
            while (Digit()) ++m_pos;
        if (Word(".")) {
            if (!Digit()) Fail("bad fraction");
            while (Digit()) ++m_pos;
        }
        if (Word("e") || Word("E")) {
            if (!Word("+")) Word("-");
            if (!Digit()) Fail("bad exponent");
            while (Digit()) ++m_pos;
        }
        return std::strtod(m_text.substr(start, m_pos - start).c_str(), nullptr);
    }

    unsigned Hex4() {
        if (m_pos + 4 > m_text.size()) Fail("short \\u escape");
        const std::string digits = m_text.substr(m_pos, 4);
        if (digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) Fail("bad \\u escape");
        m_pos += 4;
        return static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 16));
    }

    std::string String() {
        if (!Word("\"")) Fail("expected a string");
        std::string out;
        for (;;) {
            if (m_pos >= m_text.size()) Fail("unterminated string");
            const char c = m_text[m_pos++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) Fail("raw control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            const char e = Peek();
            ++m_pos;
            const std::string plain = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
            if (e != 'u') {
                if (plain.find(e) == std::string::npos) Fail("bad escape");
                out += meant[plain.find(e)];
                continue;
            }
            unsigned cp = Hex4();
            if (cp >= 0xDC00 && cp < 0xE000) Fail("lone low surrogate");
            if (cp >= 0xD800 && cp < 0xDC00) {
                if (!Word("\\u")) Fail("lone high surrogate");
                const unsigned low = Hex4();
                if (low < 0xDC00 || low >= 0xE000) Fail("bad low surrogate");
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            }
            const int extra = cp < 0x80 ? 0 : cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
            out += static_cast<char>(extra == 0 ? cp : ((0xFF00u >> (extra + 1)) & 0xFFu) | (cp >> (6 * extra)));
            for (int k = extra - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
        }
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
inline bool IsUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const std::size_t length =
            b < 0x80 ? 1 : (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3 : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        unsigned cp = length == 1 ? b : b & (0x7Fu >> length);
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
