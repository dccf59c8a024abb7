// Objects read apart on other threads and spliced in give the file and
// the diagnostics that reading on one thread gives.

#include <random>

#include "reader/read_ahead.h"
#include "support/lum_test.h"
#include "support/string_sink.h"

namespace lum {
namespace {

const test::fs::path kSamples(LUM_SAMPLES_DIR);

// Everything a read gives: the file written back with what it set aside,
// the stubs, the pooled fonts (and whether every view's font is one of
// them), whether it may hold external documents, and the diagnostics with
// their lines.
struct tReadResult {
    std::string written;
    std::wstring rest;
    std::size_t spliced = 0;
    bool externalDocs = false;
};

void Describe(ClumVellumFile& file, const std::list<ClumUnitObject*>& units, const tErrorList& errors,
              tReadResult& result) {
    test::tStringSink sink;
    write::FileOptions options;
    options.setAside = &file.setAside;
    write::WriteFile(file, sink, options);
    result.written = sink.bytes;
    std::wstring text = L"fonts " + std::to_wstring(file.fonts.GetSize());
    std::size_t strays = 0;
    test::ForEachObject(&file, [&](ClumVellumEntity* object) {
        for (const wchar_t* keyword : {L"font", L"defaultFont"}) {
            IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
            const ClumVellumEntity* font = feature && feature->GetReference() ? feature->GetReference()->GetTarget(-1) : nullptr;
            if (font != nullptr && file.fonts.IndexOf(font) < 0) ++strays;
        }
    });
    text += L", not pooled " + std::to_wstring(strays);
    for (const SetAsideObject& kept : file.setAside.Objects()) {
        text += L"\nset aside " + test::Text(kept.object->GetMetaClass().GetName()) + L" in " + test::Text(kept.feature) +
                L" at " + std::to_wstring(kept.position) + L", line " + std::to_wstring(kept.line);
    }
    for (const ClumUnitObject* unit : units) text += L"\nstub " + test::Text(unit->file_name.Get());
    for (const std::wstring& line : test::Lines(errors)) text += L"\n" + line;
    result.rest = text;
}

// Reads `path` on one thread, or with runs of `minObjectBytes` read apart by
// `helpers` threads.
tReadResult ReadFile(const test::fs::path& path, std::uint64_t minObjectBytes = 0, unsigned helpers = 1) {
    tErrorList errors;
    ErrorListScope scope(errors);
    ClumVellumFile file;
    std::list<ClumUnitObject*> units;
    tReadResult result;
    const FileRead read = minObjectBytes == 0 ? ParseFile(test::Wide(path), file, units, 1)
                                               : ParseReadingAhead(test::Wide(path), file, units, minObjectBytes, helpers);
    result.spliced = read.spliced;
    result.externalDocs = read.externalDocs;
    Describe(file, units, errors, result);
    return result;
}

class ReadAhead : public test::LumTest {
protected:
    // Every way of cutting `path` into objects read apart agrees with one thread.
    std::size_t ExpectSameReads(const test::fs::path& path) {
        const tReadResult serial = ReadFile(path);
        std::size_t spliced = 0;
        for (const auto& [minimum, helpers] : {std::pair{1u, 3u}, {300u, 1u}, {4000u, 2u}}) {
            const tReadResult apart = ReadFile(path, minimum, helpers);
            EXPECT_EQ(apart.written, serial.written) << path << ", objects of " << minimum << " bytes";
            EXPECT_EQ(apart.rest, serial.rest) << path << ", objects of " << minimum << " bytes";
            EXPECT_EQ(apart.externalDocs, serial.externalDocs) << path << ", objects of " << minimum << " bytes";
            spliced += apart.spliced;
        }
        return spliced;
    }
    test::tScratch scratch;
};

TEST_F(ReadAhead, ObjectsReadOnSeveralThreadsGiveTheSamplesOneThreadReads) {
    for (const char* sample : {"diagrams/diagrams.mdl", "library/library.mdl", "library/accounts.cat",
                               "library/packages/reservations/reservations.cat", "broken/broken.mdl"}) {
        const std::size_t spliced = ExpectSameReads(kSamples / sample);
        if (std::string(sample) != "broken/broken.mdl") {
            EXPECT_GT(spliced, 10u) << sample;
        }
        // Only the main library file holds external documents.
        EXPECT_EQ(ReadFile(kSamples / sample).externalDocs, std::string(sample) == "library/library.mdl") << sample;
    }
}

// Runs of small objects: each one refused by its list or holding a refused
// object, a unit stub or a font, so that what comes of each must be put in
// its place between the others'.
TEST_F(ReadAhead, RunsOfObjectsReadOnSeveralThreadsKeepTheOrderOfWhatEachGives) {
    std::string list;
    for (int i = 0; i < 15; ++i) {
        const std::string n = std::to_string(i);
        const std::string stub = "(object Class_Category \"U" + n + "\" is_unit TRUE is_loaded FALSE file_name \"$U\\u" + n + ".cat\")";
        if (i == 5) {  // the file's one external document
            list += "(object Class \"D" + n + "\" external_docs (list external_doc_list (object external_doc "
                    "external_doc_path \"d.txt\")))\n";
            continue;
        }
        switch (i % 5) {
            case 0:
                list += "(object Class \"A" + n + "\" class_attributes (list class_attribute_list (object Class \"Inner\")))\n";
                break;
            case 1:
                list += "(object Attribute tool \"T\" name \"Stray" + n + "\")\n";
                break;
            case 2:
                list += "(object Class_Category \"P" + n + "\" logical_models (list unit_reference_list " + stub + "))\n";
                break;
            case 3:
                list += stub + "\n";
                break;
            default:
                list += "(object ClassView \"Class\" \"F" + n + "\" @" + n + " font (object Font size " + std::to_string(i % 8) +
                        " face \"Sans\"))\n";
        }
    }
    const std::string text = "(object Vellum version 50)\n(object Design \"Logical View\"\n    root_category (object "
                             "Class_Category \"Logical View\"\n\tlogical_models (list unit_reference_list\n" + list + ")))\n";
    const test::fs::path path = scratch.Write("runs.mdl", text);
    const tReadResult serial = ReadFile(path);
    EXPECT_NE(serial.rest.find(L"set aside Attribute in logical_models"), std::wstring::npos);
    EXPECT_NE(serial.rest.find(L"fonts 3,"), std::wstring::npos);
    EXPECT_NE(serial.rest.find(L"stub $U\\u12.cat"), std::wstring::npos);
    EXPECT_TRUE(serial.externalDocs);
    EXPECT_GT(ExpectSameReads(path), 0u);

    // A host's list that throws on the second message, which comes from the
    // middle of a run: the objects placed and those left are freed once.
    struct tThrowing : tErrorList {
        int seen = 0;
        bool OnErrorAdded(const tError&) override {
            if (++seen == 2) throw std::runtime_error("stopped");
            return true;
        }
    } throwing;
    ErrorListScope scope(throwing);
    auto file = std::make_unique<ClumVellumFile>();
    std::list<ClumUnitObject*> stubs;
    EXPECT_THROW(ParseReadingAhead(test::Wide(path), *file, stubs, 4000), std::runtime_error);
    EXPECT_EQ(throwing.seen, 2);
}

// Cut files end inside objects read apart; inserted text puts objects where
// they are skipped, refused, or lack a feature name, and hides parentheses
// in strings, bar lines and point lists, where the search for objects and
// the reader may see the text differently.
TEST_F(ReadAhead, ObjectsReadOnSeveralThreadsGiveWhatOneThreadGivesOfCutAndAlteredFiles) {
    std::ifstream in(kSamples / "diagrams/diagrams.mdl", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t length = 700; length < bytes.size(); length += bytes.size() / 9) {
        ExpectSameReads(scratch.Write("cut.mdl", bytes.substr(0, length)));
    }
    const std::vector<std::string> inserts = {
        "(object Nonsense \"n\"\n", ")", "\"", "\n|bar ( \" (object Class \"X\")\n", "(object Font size 3 face \"X\")",
        "(object Class \"Q\" quid \"5E0D1AFFFFFF\")", "\\", "@7 ", std::string(1, '\0'), "\r",
        "(list Points (1, \")\") (2, 3))", "font (object Font size 10 face \"Arial\" bold TRUE)\n",
        "(object Class_Category \"U\" is_unit TRUE is_loaded FALSE file_name \"$U\\\\u.cat\")", "(object\n",
        "name |x\n |(y\n", "(value Text \"v(\")"};
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        std::string altered = bytes;
        for (int n = 0; n < 3; ++n) {
            const std::size_t at = altered.find('\n', random() % altered.size());
            if (at != std::string::npos) altered.insert(at + 1, inserts[random() % inserts.size()]);
        }
        ExpectSameReads(scratch.Write("altered.mdl", altered));
    }
}

// The tool's path: a file large enough to be read on several threads, read
// ahead as the threads happen to meet.
TEST_F(ReadAhead, ALargeFileReadOnSeveralThreadsGivesWhatOneThreadGives) {
    std::ifstream in(kSamples / "diagrams/diagrams.mdl", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t design = bytes.find("(object Design");
    std::string large = bytes.substr(0, design);
    while (large.size() < (std::size_t{5} << 20)) large += bytes.substr(design);
    const test::fs::path path = scratch.Write("large.mdl", large);
    const tReadResult serial = ReadFile(path);
    tErrorList errors;
    ErrorListScope scope(errors);
    ClumVellumFile file;
    std::list<ClumUnitObject*> units;
    ClumParser::Parse(test::Wide(path), file, units, 4);
    tReadResult apart;
    Describe(file, units, errors, apart);
    EXPECT_EQ(apart.written, serial.written);
    EXPECT_EQ(apart.rest, serial.rest);
}

}  // namespace
}  // namespace lum
