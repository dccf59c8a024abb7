#include "fuzz_support.h"

#include <cstdlib>
#include <fstream>
#include <streambuf>

namespace lum::fuzz {

namespace fs = std::filesystem;

namespace {

// The settings a first byte 0x01..0x04 selects.
struct tTextSettings {
    unsigned codePage;
    bool whole;
};
constexpr tTextSettings kSelectable[] = {{65001, true}, {932, true}, {936, false}, {1251, true}};
constexpr tTextSettings kDefault = {1252, false};

class tNullBuffer : public std::wstreambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char_type*, std::streamsize count) override { return count; }
};

class tCollector : public TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
public:
    std::vector<ClumVellumEntity*> objects;

protected:
    bool OnVisit(ClumVellumEntity* entity) override {
        objects.push_back(entity);
        return true;
    }
};

// Owns the scratch directory; removing it is the last thing the process does.
struct tScratch {
    fs::path path;
    tScratch() {
        std::string pattern = (fs::temp_directory_path() / "lum-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path = pattern;
    }
    ~tScratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

void EnsureLibrary() {
    static const bool initialized = [] {
        InitializeLUM();
        return true;
    }();
    (void)initialized;
}

std::string_view ApplyTextSettings(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    tTextSettings settings = kDefault;
    if (!text.empty() && text[0] >= 1 && text[0] <= 4) {
        settings = kSelectable[text[0] - 1];
        text.remove_prefix(1);
    }
    WString::SetLocalePage(settings.codePage);
    tVellumLexer::SetConvertTextsWhole(settings.whole);
    return text;
}

bool tFormattingErrorList::OnErrorAdded(const tError& error) {
    WString line = tError::ToString(error.severity);
    line += error.message;
    line += error.subject.ToString();
    return m_bKeep;
}

void tFormattingErrorList::FormatKept() const {
    for (const tError& error : *this) {
        const WString subject = error.subject.ToString();
        (void)subject;
    }
}

tSession::tSession(const uint8_t* data, std::size_t size, bool keepErrors) : m_errors(keepErrors) {
    EnsureLibrary();
    m_text = ApplyTextSettings(data, size);
    CErrorReporter::GetInstance().SetErrorList(m_errors);
}

tSession::~tSession() { CErrorReporter::GetInstance().ResetReporter(); }

std::wostream& NullStream() {
    static tNullBuffer buffer;
    static std::wostream stream(&buffer);
    return stream;
}

const fs::path& ScratchDirectory() {
    static const tScratch scratch;
    return scratch.path;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::out | std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string_view> SplitInput(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    for (std::size_t at; (at = text.find(separator)) != std::string_view::npos;) {
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + separator.size());
    }
    parts.push_back(text);
    return parts;
}

std::vector<ClumVellumEntity*> CollectObjects(ClumVellumEntity* root) {
    tCollector collector;
    collector.Visit(root);
    return std::move(collector.objects);
}

}  // namespace lum::fuzz
