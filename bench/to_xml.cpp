// lum_to_xml: writes model files as XML with the same content, so that a
// streaming XML parser can be timed on what lum reads (bench/compare_xmllint.py).
//
//   lum_to_xml IN_DIR OUT_DIR    every .mdl, .cat, .sub file below IN_DIR
//
// One element per construct: an object becomes an element named after its
// class (name and @id as attributes), each feature an element holding its
// value, a list a <list kind=...> element, a (value Type "x") a <value>
// element, a point or pair a <tuple> element; atoms and texts become text.
// Bytes beyond ASCII are passed on as ISO-8859-1, which every byte is.

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

class tConverter {
public:
    tConverter(std::string_view in, std::string& out) : m_in(in), m_out(out) {}

    void Run() {
        m_out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<model>\n";
        for (Skip(); m_pos < m_in.size(); Skip()) {
            if (m_in[m_pos] == '(') Value();
            else ++m_pos;  // stray text between objects
        }
        m_out += "</model>\n";
    }

private:
    void Skip() {
        while (m_pos < m_in.size() && std::isspace(static_cast<unsigned char>(m_in[m_pos]))) ++m_pos;
    }

    std::string_view Word() {
        Skip();
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && !std::isspace(static_cast<unsigned char>(m_in[m_pos])) && m_in[m_pos] != '(' &&
               m_in[m_pos] != ')' && m_in[m_pos] != ',') {
            ++m_pos;
        }
        return m_in.substr(start, m_pos - start);
    }

    void Escaped(std::string_view text) {
        for (const char c : text) {
            switch (c) {
                case '&': m_out += "&amp;"; break;
                case '<': m_out += "&lt;"; break;
                case '>': m_out += "&gt;"; break;
                case '"': m_out += "&quot;"; break;
                default: m_out += (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') ? ' ' : c;
            }
        }
    }

    // A name as an XML name: characters XML does not take become '_'.
    void Name(std::string_view name) {
        if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) m_out += '_';
        for (const char c : name) m_out += (std::isalnum(static_cast<unsigned char>(c)) || c == '_') ? c : '_';
    }

    // A quoted string, or the lines of a text each opened by '|'.
    void Text() {
        if (m_in[m_pos] == '"') {
            const std::size_t end = m_in.find('"', m_pos + 1);
            const std::size_t stop = end == std::string_view::npos ? m_in.size() : end;
            Escaped(m_in.substr(m_pos + 1, stop - m_pos - 1));
            m_pos = stop == m_in.size() ? stop : stop + 1;
            return;
        }
        while (m_pos < m_in.size() && m_in[m_pos] == '|') {
            const std::size_t end = m_in.find('\n', m_pos);
            const std::size_t stop = end == std::string_view::npos ? m_in.size() : end;
            Escaped(m_in.substr(m_pos + 1, stop - m_pos));
            m_pos = stop;
            Skip();
        }
    }

    void Value() {
        Skip();
        if (m_pos >= m_in.size()) return;
        const char c = m_in[m_pos];
        if (c == '"' || c == '|') return Text();
        if (c != '(') return Escaped(Word());
        ++m_pos;
        const std::size_t mark = m_pos;
        const std::string_view head = Word();
        if (head == "object") return Object();
        if (head == "list") return List();
        if (head == "value") return Typed();
        m_pos = mark;
        Tuple();
    }

    void Close() {
        Skip();
        if (m_pos < m_in.size() && m_in[m_pos] == ')') ++m_pos;
    }

    void Object() {
        const std::string element(Word());
        m_out += '<';
        Name(element);
        Skip();
        if (m_pos < m_in.size() && m_in[m_pos] == '"') {
            m_out += " name=\"";
            Text();
            m_out += '"';
        }
        Skip();
        if (m_pos < m_in.size() && m_in[m_pos] == '@') {
            m_out += " id=\"";
            Escaped(Word().substr(1));
            m_out += '"';
        }
        m_out += ">\n";
        for (Skip(); m_pos < m_in.size() && m_in[m_pos] != ')'; Skip()) {
            const std::string_view feature = Word();
            if (feature.empty()) {
                ++m_pos;
                continue;
            }
            m_out += '<';
            Name(feature);
            m_out += '>';
            Value();
            m_out += "</";
            Name(feature);
            m_out += ">\n";
        }
        Close();
        m_out += "</";
        Name(element);
        m_out += ">\n";
    }

    void List() {
        m_out += "<list kind=\"";
        Escaped(Word());
        m_out += "\">\n";
        for (Skip(); m_pos < m_in.size() && m_in[m_pos] != ')'; Skip()) Value();
        Close();
        m_out += "</list>\n";
    }

    void Typed() {
        m_out += "<value type=\"";
        Escaped(Word());
        m_out += "\">";
        for (Skip(); m_pos < m_in.size() && m_in[m_pos] != ')'; Skip()) Value();
        Close();
        m_out += "</value>";
    }

    void Tuple() {
        m_out += "<tuple>";
        for (Skip(); m_pos < m_in.size() && m_in[m_pos] != ')'; Skip()) {
            if (m_in[m_pos] == ',') {
                ++m_pos;
                m_out += ' ';
                continue;
            }
            Value();
        }
        Close();
        m_out += "</tuple>";
    }

    std::string_view m_in;
    std::string& m_out;
    std::size_t m_pos = 0;
};

bool IsModelFile(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".mdl" || extension == ".cat" || extension == ".sub";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: lum_to_xml IN_DIR OUT_DIR\n";
        return 2;
    }
    const fs::path in = argv[1], out = argv[2];
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(in)) {
        if (!entry.is_regular_file() || !IsModelFile(entry.path())) continue;
        std::ifstream source(entry.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
        std::string xml;
        xml.reserve(text.size() * 2);
        tConverter(text, xml).Run();
        fs::path target = out / fs::relative(entry.path(), in);
        target += ".xml";
        fs::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << xml;
        ++files;
    }
    std::cout << "lum_to_xml: " << files << " files written under " << out.string() << "\n";
    return files == 0 ? 1 : 0;
}
