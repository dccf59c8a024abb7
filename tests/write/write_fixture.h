#pragma once
// Shared ground for the write tests: the metamodel, a scratch directory,
// loading a model the way the tool does, and writing a file object to bytes.

#include <map>

#include <lum/traverse/structural_equality.h>
#include <lum/write/file_writer.h>
#include <lum/write/write_back.h>

#include "support/lum_test.h"
#include "support/string_sink.h"

namespace lum::test {

inline std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A loaded and bound model; frees its files.
struct tLoaded {
    tErrorList errors;
    std::vector<ClumVellumFile*> files;
    std::list<ClumUnitObject*> missing;
    ~tLoaded() {
        for (ClumVellumFile* file : files) delete file;
    }
};

class WriteTest : public ::testing::Test {
public:
    void SetUp() override {
        InitializeLUM();
        WString::SetLocalePage(1252);
        m_scratch = m_dir.dir;
    }
    void TearDown() override {
        CErrorReporter::GetInstance().ResetReporter();
        std::error_code ignored;
        fs::permissions(m_scratch, fs::perms::all, ignored);
        WString::SetLocalePage(1252);
        FinalizeLUM();
    }

    // Loads a main file with its units and binds it, as the tool does.
    static void Load(tLoaded& model, const fs::path& main, const fs::path& pathMap = {}) {
        ClumVirtualPathResolver paths;
        if (!pathMap.empty()) paths.LoadFromFile(WString(pathMap.wstring()));
        ClumManager::LoadModels(model.errors, {WString(main.wstring())}, model.files, model.missing, paths, true);
        ClumNameResolver names;
        std::vector<const IlumReference*> unbound;
        CErrorReporter::GetInstance().SetErrorList(model.errors);
        for (ClumVellumFile* file : model.files) names.CollectAndBind(file, unbound);
        CErrorReporter::GetInstance().ResetReporter();
    }

    // Reads one file alone, its stubs left as they are.
    static void ReadAlone(ClumVellumFile& file, const fs::path& path, tErrorList& errors) {
        std::list<ClumUnitObject*> units;
        CErrorReporter::GetInstance().SetErrorList(errors);
        ClumParser().Parse(WString(path.wstring()), file, units);
        CErrorReporter::GetInstance().ResetReporter();
    }

    static std::string Written(const ClumVellumFile& file, unsigned int codePage = 1252) {
        tStringSink sink;
        write::FileOptions options;
        options.codePage = codePage;
        options.setAside = &file.setAside;
        EXPECT_TRUE(write::WriteFile(file, sink, options).ok);
        return sink.bytes;
    }

    static void ExpectEqual(const ClumVellumEntity& left, const ClumVellumEntity& right) {
        const StructuralDifference difference = CompareStructure(left, right);
        EXPECT_TRUE(difference.equal) << ToUtf8(difference.path) << ": " << ToUtf8(difference.what);
    }

    tScratch m_dir;
    fs::path m_scratch;
};

inline const fs::path kSamples = LUM_SAMPLES_DIR;

}  // namespace lum::test
