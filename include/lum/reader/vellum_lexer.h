#pragma once
// tVellumLexer: the character reader of the Vellum notation. One character of
// look-ahead over a byte stream, line counting, and the token readers that the
// grammar of tVellumReader is built from. Reads the stream in blocks through
// its stream buffer; lives for the reading of one file.

#include <cstdint>
#include <istream>
#include <memory>
#include <string>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class tVellumLexer {
public:
    static constexpr int EndOfFile = -1;

    // Reads the first character. The stream is borrowed; open it in binary
    // mode so that carriage returns reach the lexer.
    explicit tVellumLexer(std::istream& in);
    // The same for a stream positioned at byte `offset` of a file, where the
    // line is `line`: reading a part of a file as the whole file's lexer
    // would read it from there.
    tVellumLexer(std::istream& in, std::uint64_t offset, int line);
    tVellumLexer(const tVellumLexer&) = delete;
    tVellumLexer& operator=(const tVellumLexer&) = delete;

    // No hard stream error and not at end of file.
    bool IsGood() const { return m_nCurrent != EndOfFile && !m_in.bad(); }
    // Skips white space; true if any was skipped.
    bool SkipWhitespace();
    // Skips white space, then consumes `c` if it is next.
    bool Expect(char c);
    // A bare word up to a delimiter ('"', '(', ')', white space, end of file);
    // true if its converted text is not empty.
    bool ReadSymbol(WString& out);
    // A quoted string (no escapes are interpreted; a backslash keeps the next
    // character inside) or a bar string (lines joined by "\r\n").
    bool ReadString(WString& out);
    // '@' followed by an optional symbol or string.
    bool ReadAtToken(WString& out);
    // Appends the raw text up to the parenthesis that closes the current
    // level; with includeClose that parenthesis is appended too, otherwise it
    // is consumed and dropped.
    bool ReadBalanced(WString& out, bool includeClose);
    // The offending token of a syntax message.
    WString ReadWord();

    // Opt-in, for lexers made afterwards: convert each string and raw
    // construct as a whole rather than byte by byte, so that characters of
    // several bytes (UTF-8, double-byte code pages) come out right inside
    // texts too. Off by default. Process-wide, unless the calling thread has
    // a setting of its own.
    static void SetConvertTextsWhole(bool whole);
    static bool GetConvertTextsWhole();
    // The setting for lexers the calling thread makes from now on; cleared,
    // it follows the process-wide one again.
    static void SetThreadConvertTextsWhole(bool whole);
    static void ClearThreadConvertTextsWhole();

    // The character read last (0-255) or EndOfFile.
    int GetCurrent() const { return m_nCurrent; }
    // 1 plus the line feeds consumed so far.
    int GetLine() const { return m_nLine; }
    // Where the current character stands in the stream (its size at end of
    // file), counted from the stream's start or the offset given.
    std::uint64_t GetOffset() const {
        return m_nBlockOffset + static_cast<std::uint64_t>(m_pPos - m_block.get()) - (m_nCurrent != EndOfFile ? 1 : 0);
    }
    // Moves on to `offset` (not before the current character), which is at
    // line `line`, without reading what lies between: what another reader
    // read already. Seeks where the stream can, reads over the bytes where
    // it cannot.
    void SkipTo(std::uint64_t offset, int line);

private:
    int Advance() {
        if (m_pPos != m_pEnd) return m_nCurrent = static_cast<unsigned char>(*m_pPos++);
        return Refill();
    }
    int Refill();
    bool ReadStringBytes(WString& out);
    void ReadBalancedBytes(WString& out, bool includeClose);
    // With whole conversion, converts text[from..] (one byte a character) at once.
    void ConvertWhole(WString& text, std::size_t from);
    // Appends one byte as the code page converts it when it stands alone.
    void AppendByte(WString& out, int byte);
    // Appends the run of plain ASCII bytes that starts at the current
    // character, up to the first byte of class `stops` (see the .cpp).
    void AppendRun(WString& out, unsigned char stops);

    std::istream& m_in;
    int m_nCurrent = EndOfFile;
    int m_nLine = 1;
    std::uint64_t m_nBlockOffset = 0;  // where the block's first byte stands
    std::streambuf* m_pBuffer;
    unsigned int m_nPage;        // code page of the text, fixed per file
    bool m_bWholeTexts;          // texts converted whole, see SetConvertTextsWhole
    bool m_bAsciiRuns = false;   // bytes below 0x80 convert to themselves
    bool m_bAsciiPage = false;   // the page reads plain ASCII as it is
    wchar_t m_byteMap[256];      // what each byte alone converts to; 0: nothing
    const char* m_pPos = nullptr;
    const char* m_pEnd = nullptr;
    // Bytes of the symbol being read; kept per lexer rather than shared by
    // the process, so that readers never share state.
    std::string m_symbol;
    std::string m_bytes;  // a text converted whole, as bytes again
    static constexpr std::size_t BlockSize = 1 << 16;
    std::unique_ptr<char[]> m_block;
};

}  // namespace lum
LUM_API_END
