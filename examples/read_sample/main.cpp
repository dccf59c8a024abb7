// lum_read_sample: reads one model file with lum's notation reader and prints
// what the reader saw, as an indented outline, followed by the diagnostics.
//
//   lum_read_sample [--summary] FILE
//
// With --summary only the counts are printed. Exit status: 0 when no
// diagnostic of severity Error or worse was recorded, 1 otherwise, 2 on a
// usage error or a file that cannot be opened.
//
// The reader (lum::tVellumReader) builds nothing by itself: it calls three
// virtual functions as it recognises the elements of the file. This program
// overrides them to print an outline; a program that builds objects would
// override the same three.

#include <lum/lum.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Wide text as UTF-8, for the terminal.
std::string ToUtf8(const lum::WString& text) { return lum::ToUtf8(text); }

// A value in double quotes, with line breaks and tabs made visible. The
// reader hands quoted strings, bar strings and bare words (numbers, TRUE,
// enumeration literals) over alike, as text; bar strings arrive as lines
// joined by "\r\n".
std::string Quote(const std::wstring& text) {
    std::string out = "\"";
    for (const char ch : ToUtf8(text)) {
        if (ch == '\r') out += "\\r";
        else if (ch == '\n') out += "\\n";
        else if (ch == '\t') out += "\\t";
        else out += ch;
    }
    return out + "\"";
}

struct Counts {
    int constructs = 0;  // (object ...), (list ...), (value ...)
    int raw = 0;         // raw constructs such as (100, 200), and bare strings
    int features = 0;
    int closes = 0;
    int maxDepth = 0;
};

class OutlineReader : public lum::tVellumReader {
public:
    explicit OutlineReader(bool print) : m_bPrint(print) {}

    const Counts& GetCounts() const { return m_counts; }
    // Constructs opened and not closed yet.
    int GetDepth() const { return m_nDepth; }

protected:
    // A construct begins. keyword is "object", "list" or "value", with its
    // class word and header arguments (strings and @ labels); or keyword is
    // "lumElement" and classOrText is a whole raw construct or a bare string.
    void OnConstruct(const lum::WString& keyword, const lum::WString& classOrText,
                     const std::vector<lum::WString>& arguments) override {
        if (m_nDepth == 0 && keyword != L"object") {
            ReportAtLine(lum::tError::Warning, L"LUM element '%s' with name '%s' is not a top level object",
                         keyword.c_str(), classOrText.c_str());
        }
        if (keyword == L"lumElement") {
            ++m_counts.raw;
            Print(classOrText.starts_with(L"(") ? ToUtf8(classOrText) : Quote(classOrText));
            return;  // complete already: no OnClose follows
        }
        ++m_counts.constructs;
        std::string text = ToUtf8(keyword);
        if (!classOrText.empty()) text.append(1, ' ').append(ToUtf8(classOrText));
        for (const lum::WString& argument : arguments) {
            text.append(1, ' ').append(argument.starts_with(L"@") ? ToUtf8(argument) : Quote(argument));
        }
        Print(text);
        if (++m_nDepth > m_counts.maxDepth) m_counts.maxDepth = m_nDepth;
    }

    // The closing parenthesis of an object, list or value construct.
    void OnClose() override {
        ++m_counts.closes;
        FlushPendingName();
        if (m_nDepth == 0) {
            ReportAtLine(lum::tError::Error, L"Closing parenthesis without an open construct");
            return;
        }
        --m_nDepth;
    }

    // A feature name with its value, or without one: then the construct that
    // comes next is the value.
    void OnFeature(const lum::WString& name, const lum::WString& value, bool hasValue) override {
        ++m_counts.features;
        FlushPendingName();
        if (m_nDepth == 0) ReportAtLine(lum::tError::Error, L"Vellum syntax error near %s", name.c_str());
        if (hasValue) {
            Print(ToUtf8(name) + " = " + Quote(value));
        } else {
            m_pendingName = name;
        }
    }

private:
    // One outline line at the current depth; a feature name still waiting
    // for its value is put in front of it.
    void Print(const std::string& text) {
        std::string prefix;
        if (!m_pendingName.empty()) prefix = ToUtf8(m_pendingName) + ": ";
        m_pendingName.clear();
        if (m_bPrint) std::printf("%*s%s%s\n", 2 * m_nDepth, "", prefix.c_str(), text.c_str());
    }

    // A feature name that no value followed.
    void FlushPendingName() {
        if (m_pendingName.empty()) return;
        if (m_bPrint) std::printf("%*s%s:\n", 2 * m_nDepth, "", ToUtf8(m_pendingName).c_str());
        m_pendingName.clear();
    }

    bool m_bPrint;
    Counts m_counts;
    int m_nDepth = 0;
    lum::WString m_pendingName;
};

int Usage() {
    std::fprintf(stderr, "usage: lum_read_sample [--summary] FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Models saved on Western European systems, the bundled samples among
    // them, are in code page 1252; the reader converts their bytes with it.
    lum::WString::SetLocalePage(1252);

    bool summary = false;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--summary") == 0) summary = true;
        else if (path == nullptr && argv[i][0] != '-') path = argv[i];
        else return Usage();
    }
    if (path == nullptr) return Usage();

    // Binary mode: the reader sees the bytes as they are, carriage returns
    // included.
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 2;
    }

    // Every message of the reader goes to the current error list.
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);

    OutlineReader reader(!summary);
    lum::tVellumLexer lexer(in);
    reader.Run(lexer);

    // The reader ends quietly at end of file; say so when something was left
    // open there (an unterminated string, a missing closing parenthesis).
    if (reader.GetDepth() > 0) {
        lum::CErrorReporter::GetInstance().GetErrorList().FormatError(
            lum::tErrorSubject(lexer.GetLine()), lum::tError::Warning,
            L"End of file inside %d open construct(s): unterminated string or missing ')'", reader.GetDepth());
    }
    lum::CErrorReporter::GetInstance().ResetReporter();

    bool failed = false;
    for (const lum::tError& error : errors) {
        if (error.severity >= lum::tError::Error) failed = true;
    }

    if (summary) {
        const Counts& counts = reader.GetCounts();
        std::printf("constructs: %d\nraw elements: %d\nfeatures: %d\ncloses: %d\nmax depth: %d\ndiagnostics: %zu\n",
                    counts.constructs, counts.raw, counts.features, counts.closes, counts.maxDepth, errors.size());
    } else {
        for (const lum::tError& error : errors) std::puts(lum::FormatDiagnostic(lum::Diagnostic::From(error, "")).c_str());
    }
    return failed ? 1 : 0;
}
