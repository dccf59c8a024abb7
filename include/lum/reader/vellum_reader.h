#pragma once
// tVellumReader: the grammar of the Vellum notation. Run() reads a whole file
// through a tVellumLexer and hands each element to the derived class as soon
// as it is recognised: OnConstruct when a construct begins (or a whole raw
// construct or bare value was read), OnClose for a closing parenthesis,
// OnFeature for a feature name with or without its value. A class that builds
// objects, or one that only records events, derives from it.

#include <cstdarg>
#include <cstdint>
#include <vector>

#include "lum/diagnostics/error.h"
#include "lum/export.h"
#include "lum/reader/vellum_lexer.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class tVellumReader {
public:
    tVellumReader() = default;
    tVellumReader(const tVellumReader&) = delete;
    tVellumReader& operator=(const tVellumReader&) = delete;
    virtual ~tVellumReader() = default;

    // The reading loop: runs to end of file, a hard stream error or
    // StopReading. Constructs still open at the end are not reported.
    void Run(tVellumLexer& lexer);

    // A mark that no construct reaches (see SetMark).
    static constexpr std::uint64_t NoMark = UINT64_MAX;

protected:
    // `keyword` is "object", "list", "value" or "lumElement". For the first
    // three, `classOrText` is the class word (may be empty) and `arguments`
    // the header strings and @ tokens; for "lumElement" it is the whole raw
    // construct "(...)" or the bare string value, and there are no arguments.
    virtual void OnConstruct(const WString& keyword, const WString& classOrText,
                             const std::vector<WString>& arguments) = 0;
    virtual void OnClose() = 0;
    // `hasValue` is false when no string or word followed the name; the
    // construct that comes next is then the feature's value.
    virtual void OnFeature(const WString& name, const WString& value, bool hasValue) = 0;

    // Records a message with the lexer's current line as subject on the
    // current error list; InternalError messages are dropped.
    void ReportAtLine(tError::Severity severity, const wchar_t* format, ...);
    // The same with the diagnostic's code.
    void ReportAtLine(diag::Code code, tError::Severity severity, const wchar_t* format, ...);
    // The lexer of the file being read; valid during Run only.
    tVellumLexer& GetLexer() { return *m_pLexer; }
    // Ends Run once the element being read is done.
    void StopReading() { m_bStop = true; }

    // Asks for OnMark at the first construct that opens at `offset` or later.
    void SetMark(std::uint64_t offset) { m_nMark = offset; }
    // At the opening parenthesis of a construct at or past the mark, before
    // it is read: true when the derived class took the construct whole and
    // moved the lexer past it (see tVellumLexer::SkipTo).
    virtual bool OnMark(std::uint64_t offset);

private:
    bool ParseConstruct();
    bool ParseClose();
    bool ParseFeature();
    bool ParseBareValue();
    void ReadHeaderArguments(std::vector<WString>& arguments);

    tVellumLexer* m_pLexer = nullptr;
    bool m_bStop = false;
    std::uint64_t m_nMark = NoMark;
    // Token texts, reused from one element to the next.
    WString m_keyword;
    WString m_text;
    WString m_value;
    std::vector<WString> m_arguments;
};

}  // namespace lum
LUM_API_END
