#include "lum/reader/vellum_reader.h"

#include "lum/diagnostics/reporter.h"

namespace lum {

namespace {

const wchar_t* const ElementKeyword = L"lumElement";

bool IsStructuredKeyword(const WString& keyword) {
    return keyword == L"object" || keyword == L"list" || keyword == L"value";
}

}  // namespace

void tVellumReader::Run(tVellumLexer& lexer) {
    m_pLexer = &lexer;
    m_bStop = false;
    while (lexer.IsGood() && !m_bStop) {
        if (ParseConstruct()) continue;
        if (ParseClose()) continue;
        if (ParseFeature()) continue;
        ParseBareValue();
    }
    m_pLexer = nullptr;
}

bool tVellumReader::ParseConstruct() {
    tVellumLexer& lexer = *m_pLexer;
    if (m_nMark != NoMark) {
        lexer.SkipWhitespace();
        if (lexer.GetCurrent() == '(' && lexer.GetOffset() >= m_nMark && OnMark(lexer.GetOffset())) return true;
    }
    if (!lexer.Expect('(')) return false;
    const bool hasKeyword = lexer.ReadSymbol(m_keyword);
    m_arguments.clear();
    if (hasKeyword && IsStructuredKeyword(m_keyword)) {
        // The class word may be missing; the closing parenthesis comes back
        // later as an element of its own.
        lexer.ReadSymbol(m_text);
        ReadHeaderArguments(m_arguments);
    } else {
        // Anything else is taken whole, parentheses included, as one text.
        m_text = L"(";
        m_text += m_keyword;
        lexer.ReadBalanced(m_text, true);
        m_keyword = ElementKeyword;
    }
    OnConstruct(m_keyword, m_text, m_arguments);
    return true;
}

void tVellumReader::ReadHeaderArguments(std::vector<WString>& arguments) {
    tVellumLexer& lexer = *m_pLexer;
    while (lexer.IsGood()) {
        if (!lexer.ReadString(m_value) && !lexer.ReadAtToken(m_value)) break;
        arguments.push_back(m_value);
    }
}

bool tVellumReader::OnMark(std::uint64_t) { return false; }

bool tVellumReader::ParseClose() {
    if (!m_pLexer->Expect(')')) return false;
    OnClose();
    return true;
}

bool tVellumReader::ParseFeature() {
    tVellumLexer& lexer = *m_pLexer;
    if (!lexer.ReadSymbol(m_keyword)) return false;
    const bool hasValue = lexer.ReadString(m_value) || lexer.ReadSymbol(m_value);
    OnFeature(m_keyword, m_value, hasValue);
    return true;
}

bool tVellumReader::ParseBareValue() {
    tVellumLexer& lexer = *m_pLexer;
    if (lexer.ReadString(m_value) || lexer.ReadAtToken(m_value) || lexer.ReadSymbol(m_value)) {
        m_arguments.clear();
        m_keyword = ElementKeyword;
        OnConstruct(m_keyword, m_value, m_arguments);
        return true;
    }
    if (lexer.IsGood()) ReportAtLine(diag::SyntaxError, tError::Error, L"Vellum syntax error near %s", lexer.ReadWord().c_str());
    return false;
}

void tVellumReader::ReportAtLine(tError::Severity severity, const wchar_t* format, ...) {
    if (severity == tError::InternalError) return;
    va_list args;
    va_start(args, format);
    const long line = m_pLexer != nullptr ? m_pLexer->GetLine() : 0;
    CErrorReporter::GetInstance().GetErrorList().ReportV(diag::Unknown, tErrorSubject(line), severity, format, args);
    va_end(args);
}

void tVellumReader::ReportAtLine(diag::Code code, tError::Severity severity, const wchar_t* format, ...) {
    if (severity == tError::InternalError) return;
    va_list args;
    va_start(args, format);
    const long line = m_pLexer != nullptr ? m_pLexer->GetLine() : 0;
    CErrorReporter::GetInstance().GetErrorList().ReportV(code, tErrorSubject(line), severity, format, args);
    va_end(args);
}

}  // namespace lum
