#pragma once
// What the fuzz targets share: the metamodel, built once per process; the
// text settings an input may pick with its first byte; an error list that
// turns every diagnostic into text; a wide stream that swallows what is
// printed; a byte sink that keeps what is written; a private scratch
// directory; and splitting an input into parts.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <lum/lum.h>
#include <lum/write/file_writer.h>

namespace lum::fuzz {

// Builds the metamodel on the first call; it lives as long as the process.
void EnsureLibrary();

// Applies the text settings of an input and gives back the rest of it. A
// first byte 0x01..0x04 selects a code page and whether texts are converted
// whole (and is dropped); anything else leaves code page 1252, converted
// byte by byte, so that plain model files are inputs as they stand.
std::string_view ApplyTextSettings(const uint8_t* data, std::size_t size);

// Formats each diagnostic as a host prints it; keeps them only on request,
// so that a host's late formatting (after loading) can be replayed too.
class tFormattingErrorList : public tErrorList {
public:
    explicit tFormattingErrorList(bool keep = false) : m_bKeep(keep) {}
    bool OnErrorAdded(const tError& error) override;
    // Formats the kept diagnostics again, as a host does after loading.
    void FormatKept() const;

private:
    bool m_bKeep;
};

// One input's stay: the library ready, the settings applied and the error
// list set on the reporter until the end of the scope.
class tSession {
public:
    tSession(const uint8_t* data, std::size_t size, bool keepErrors = false);
    ~tSession();
    tSession(const tSession&) = delete;
    tSession& operator=(const tSession&) = delete;

    std::string_view Text() const { return m_text; }
    tFormattingErrorList& Errors() { return m_errors; }

private:
    std::string_view m_text;
    tFormattingErrorList m_errors;
};

// A wide stream that formats everything and keeps nothing.
std::wostream& NullStream();

// Keeps the bytes written to it.
struct tStringSink : write::ByteSink {
    std::string bytes;
    bool Write(const char* data, std::size_t count) override {
        bytes.append(data, count);
        return true;
    }
};

// This process's scratch directory, made on first use, removed at exit.
const std::filesystem::path& ScratchDirectory();

// Writes `bytes` exactly, creating the directories on the way.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

// The pieces of `text` between occurrences of `separator`.
std::vector<std::string_view> SplitInput(std::string_view text, std::string_view separator);

// Every object under `root`, root first, without recursion.
std::vector<ClumVellumEntity*> CollectObjects(ClumVellumEntity* root);

}  // namespace lum::fuzz
