// Read, write, read again: the graphs are equal, and files laid out as saved
// models are come back byte for byte.

#include "write_fixture.h"

#include "model_generator.h"

namespace lum::test {
namespace {

struct tSampleCase {
    const char* file;
    // Our hand-written samples write some values the way no reader can tell
    // apart from others (explicit defaults, "0.50", "in Integer", "X[1]");
    // those files come back equal in structure, the rest byte for byte.
    bool sameBytes;
};

class SampleRoundTrip : public WriteTest, public ::testing::WithParamInterface<tSampleCase> {};

TEST_P(SampleRoundTrip, ReadsBackEqualAndLaidOutAsSaved) {
    const fs::path sample = kSamples / "library" / GetParam().file;
    tErrorList errors;
    ClumVellumFile original;
    ReadAlone(original, sample, errors);
    const std::string bytes = Written(original);
    if (GetParam().sameBytes) { EXPECT_EQ(bytes, ReadBytes(sample)); }
    WriteBytes(m_scratch / "again.cat", bytes);
    ClumVellumFile again;
    ReadAlone(again, m_scratch / "again.cat", errors);
    ExpectEqual(original, again);
    EXPECT_EQ(Written(again), bytes) << "writing is stable";
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRoundTrip,
                         ::testing::Values(tSampleCase{"library.mdl", false}, tSampleCase{"people.cat", false},
                                           tSampleCase{"accounts.cat", false},
                                           tSampleCase{"packages/acquisitions/acquisitions.cat", false},
                                           tSampleCase{"packages/reservations/reservations.cat", true},
                                           tSampleCase{"packages/reservations/notices/notices.cat", true}));

// External documents hold their paths as stored, not as resolved where the
// model was read (where it is written, they resolve to another place).
void StoredDocumentPaths(const tLoaded& model) {
    for (ClumVellumFile* file : model.files) {
        ForEachObject(file, [file](ClumVellumEntity* object) {
            auto* document = As<Clumexternal_doc>(object);
            const WString* stored = document ? file->setAside.StoredPath(document) : nullptr;
            if (stored != nullptr) document->external_doc_path.Set(WString(*stored));
        });
    }
}

// Every file written by WriteBack, loaded again with `pathMap`, gives the
// same graph as the model it was written from.
void ExpectModelRoundTrip(const tLoaded& model, const fs::path& written, const fs::path& pathMap) {
    tLoaded again;
    WriteTest::Load(again, written, pathMap);
    StoredDocumentPaths(model);
    StoredDocumentPaths(again);
    EXPECT_TRUE(again.missing.empty()) << again.missing.size() << " units not found";
    ASSERT_EQ(again.files.size(), model.files.size());
    for (std::size_t i = 0; i < model.files.size(); ++i) WriteTest::ExpectEqual(*model.files[i], *again.files[i]);
}

TEST_F(WriteTest, GeneratedModelsRoundTripAtSeveralSeeds) {
    for (const std::uint32_t seed : {1u, 7u, 23u}) {
        SCOPED_TRACE(seed);
        const fs::path source = m_scratch / ("source" + std::to_string(seed));
        genmodel::GenerateModel({1'000'000, source.string(), seed, false});
        tLoaded model;
        Load(model, source / "model.mdl", source / "model.map");
        ASSERT_TRUE(model.missing.empty());
        const fs::path out = m_scratch / ("out" + std::to_string(seed));
        write::Options options;
        options.outputDir = WString(out.wstring());
        const write::WriteReport report = write::WriteBack(model.files, options);
        ASSERT_TRUE(report.ok) << (report.errors.empty() ? "" : ToUtf8(report.errors.front()));
        EXPECT_GT(report.files.size(), 1u) << "units are split out into files of their own";
        EXPECT_TRUE(report.changes.empty());
        for (const write::WrittenFile& file : report.files) {
            EXPECT_EQ(ReadBytes(ToUtf8(file.path)), ReadBytes(ToUtf8(file.from))) << "kept as read: " << ToUtf8(file.from);
        }
        fs::copy_file(source / "model.map", out / "model.map");
        ExpectModelRoundTrip(model, out / "model.mdl", out / "model.map");
    }
}

// --relocate and --relative: the written model needs no path map at all.
TEST_F(WriteTest, RelocatedOrRelativeLibraryLoadsWithoutAPathMap) {
    tLoaded model;
    Load(model, kSamples / "library" / "library.mdl", kSamples / "library" / "library.map");
    ASSERT_TRUE(model.missing.empty());
    struct tCase {
        const char* name;
        std::vector<write::Relocation> relocations;
        bool relative;
    };
    const tCase cases[] = {{"relocated", {{L"curdir", L"&"}, {L"PACKAGES", L"&\\packages"}}, false}, {"relative", {}, true}};
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path out = m_scratch / c.name;
        write::Options options;
        options.outputDir = WString(out.wstring());
        options.relocations = c.relocations;
        options.relative = c.relative;
        const write::WriteReport report = write::WriteBack(model.files, options);
        ASSERT_TRUE(report.ok);
        EXPECT_EQ(report.files.size(), 6u);
        EXPECT_EQ(report.changes.size(), 3u);
        EXPECT_TRUE(fs::exists(out / "packages" / "reservations" / "notices" / "notices.cat"));
        ExpectModelRoundTrip(model, out / "library.mdl", {});
    }
}

}  // namespace
}  // namespace lum::test
