// Code pages, refused objects kept and written back, and failures that must
// leave the input whole.

#include "write_fixture.h"

#include <lum/reader/file_layout.h>

#include "platform/codepage.h"

namespace lum::test {
namespace {

// A one-class model whose name and documentation carry `text`.
ClumVellumFile* ModelWithText(const WString& text) {
    auto* file = new ClumVellumFile();
    auto* header = new ClumVellum();
    header->version.Set(50);
    file->version.Insert(header, -1);
    auto* design = new ClumDesign();
    design->name.Set(ClumIdent(L"Logical View"));
    auto* category = new ClumClass_Category();
    category->name.Set(ClumIdent(text.c_str()));
    category->documentation.Set(text + L"\r\n" + text + L" \"quoted\"");
    auto* cls = new ClumClass();
    cls->name.Set(ClumIdent(text.c_str()));
    cls->documentation.Set(text);
    category->logical_models.Insert(cls, -1);
    design->root_category.Insert(category, -1);
    file->design.Insert(design, -1);
    return file;
}

TEST_F(WriteTest, EachCodePageWeReadRoundTripsItsTexts) {
    struct tCase {
        unsigned int codePage;
        const wchar_t* text;
    };
    const tCase cases[] = {
        {1252, L"Caf\u00e9 \u00abFiliale\u00bb \u20ac5 \u0160koda"},
        {936, L"\u8ba2\u5355\u7ba1\u7406 \u5ba2\u6237"},
        {1251, L"\u0417\u0430\u043a\u0430\u0437 \u041a\u043b\u0438\u0435\u043d\u0442"},
        {65001, L"\u00e9\u4e2d\u0416 \U0001F600"},
        // Quoted, or in bar lines when a text has several lines or a quote a
        // quoted string cannot hold.
        {1252, L"say \"hi\" twice"},
        {1252, L"escaped \\\" quote"},
        {1252, L"ends in a backslash \\"},
        {1252, L"\r\nempty first and last\r\n"},
        {1252, L"  indented\r\n|bar inside\r\n\ttab"},
        {1252, L"(parentheses) and @label"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.codePage);
        std::unique_ptr<ClumVellumFile> original(ModelWithText(c.text));
        tStringSink sink;
        write::FileOptions options;
        options.codePage = c.codePage;
        const write::FileWriteResult result = write::WriteFile(*original, sink, options);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(result.unrepresentable, 0u);
        EXPECT_EQ(sink.bytes.find('?'), std::string::npos);
        WriteBytes(m_scratch / "model.mdl", sink.bytes);

        WString::SetLocalePage(c.codePage);
        tVellumLexer::SetConvertTextsWhole(true);
        tErrorList errors;
        ClumVellumFile again;
        ReadAlone(again, m_scratch / "model.mdl", errors);
        tVellumLexer::SetConvertTextsWhole(false);
        EXPECT_TRUE(errors.empty());
        ExpectEqual(*original, again);
    }
}

// A SegLabel as the label of an inheritance line, whose link takes an
// ItemLabel: kept aside with its line, and written back where it stood.
TEST_F(WriteTest, RefusedObjectsAreKeptWithTheirLineAndWrittenBack) {
    const std::string text =
        "(object Design \"D\"\n"
        "    root_category (object Class_Category \"Logical View\"\n"
        "\tlogical_presentations (list unit_reference_list\n"
        "\t    (object ClassDiagram \"Main\"\n"
        "\t\titems (list diagram_item_list\n"
        "\t\t    (object InheritView \"\" @1\n"
        "\t\t\tlabel (object SegLabel @2\n"
        "\t\t\t    location (10, 20))\n"
        "\t\t\tline_color 3)))))\n"
        "    unknown_feature (object Class \"Stray\"))\n";
    WriteBytes(m_scratch / "refused.mdl", text);
    tErrorList errors;
    ClumVellumFile original;
    ReadAlone(original, m_scratch / "refused.mdl", errors);

    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(ToUtf8(errors.front().message), "Cannot insert object into the feature 'RelationshipLine::label'");
    EXPECT_EQ(errors.front().subject.line, 8);
    const auto& kept = original.setAside.Objects();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].object->GetMetaClass().GetName(), ClumIdent(L"SegLabel"));
    EXPECT_EQ(kept[1].feature, ClumIdent(L"unknown_feature"));

    const std::string written = Written(original);
    EXPECT_NE(written.find("\t\t\tlabel      \t(object SegLabel @2\n"), std::string::npos) << written;
    WriteBytes(m_scratch / "again.mdl", written);
    ClumVellumFile again;
    ReadAlone(again, m_scratch / "again.mdl", errors);
    ExpectEqual(original, again);
}

TEST_F(WriteTest, AModelNestedTooDeeplyIsRefusedNotCrashedOn) {
    for (const int levels : {1500, 3000}) {
        SCOPED_TRACE(levels);
        auto file = std::make_unique<ClumVellumFile>();
        auto* design = new ClumDesign();
        ClumClass_Category* inner = new ClumClass_Category();
        design->root_category.Insert(inner, -1);
        for (int i = 1; i < levels; ++i) {
            auto* next = new ClumClass_Category();
            inner->logical_models.Insert(next, -1);
            inner = next;
        }
        file->design.Insert(design, -1);
        tStringSink sink;
        const write::FileWriteResult result = write::WriteFile(*file, sink, write::FileOptions());
        // Each package is two levels: itself and its list.
        EXPECT_EQ(result.ok, levels * 2 < 4000);
        EXPECT_EQ(result.error.empty(), result.ok);
        if (result.ok) {
            // Kept as read, as deep as it was written.
            FileLayout original;
            original.ReadBytes(sink.bytes, 1252);
            write::FileOptions keeping;
            keeping.original = &original;
            tStringSink again;
            EXPECT_TRUE(write::WriteFile(*file, again, keeping).ok);
            EXPECT_EQ(again.bytes, sink.bytes);
        }
        TreeRemover().DeleteTree(file.release());
    }
}

class WriteFailureTest : public WriteTest {
protected:
    // The library sample copied into the scratch directory and loaded.
    void LoadCopy(tLoaded& model) {
        fs::copy(kSamples / "library", m_scratch / "in", fs::copy_options::recursive);
        Load(model, m_scratch / "in" / "library.mdl", m_scratch / "in" / "library.map");
        ASSERT_TRUE(model.missing.empty());
        m_before = Snapshot();
    }
    std::map<fs::path, std::string> Snapshot() const {
        std::map<fs::path, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(m_scratch / "in")) {
            if (entry.is_regular_file()) files[entry.path()] = ReadBytes(entry.path());
        }
        return files;
    }
    std::map<fs::path, std::string> m_before;
};

TEST_F(WriteFailureTest, AFailureInTheMiddleOfAFileLeavesEveryInputWhole) {
    tLoaded model;
    LoadCopy(model);
    for (const std::uint64_t after : {1ull, 100ull, 1000ull}) {
        SCOPED_TRACE(after);
        write::Options options;
        options.inPlace = true;
        options.failAfterBytes = after;
        const write::WriteReport report = write::WriteBack(model.files, options);
        EXPECT_FALSE(report.ok);
        EXPECT_EQ(report.errors.size(), 6u);
        EXPECT_EQ(Snapshot(), m_before) << "no input damaged, no temporary file left";
    }
    // Without a fault each file is replaced by a whole one.
    write::Options options;
    options.inPlace = true;
    const write::WriteReport report = write::WriteBack(model.files, options);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.files.size(), 6u);
    const auto after = Snapshot();
    EXPECT_EQ(after.size(), m_before.size()) << "no temporary file left";
    EXPECT_EQ(after.at(m_scratch / "in" / "packages" / "reservations" / "reservations.cat"),
              m_before.at(m_scratch / "in" / "packages" / "reservations" / "reservations.cat"));
    tLoaded again;
    Load(again, m_scratch / "in" / "library.mdl", m_scratch / "in" / "library.map");
    EXPECT_TRUE(again.missing.empty());
    ASSERT_EQ(again.files.size(), 1u);
    ExpectEqual(*model.files[0], *again.files[0]);
}

TEST_F(WriteFailureTest, AnOutputThatCannotBeMadeIsReportedAndTouchesNothing) {
    tLoaded model;
    LoadCopy(model);
    WriteBytes(m_scratch / "file", "not a directory");
    const bool root = ::geteuid() == 0;
    fs::create_directories(m_scratch / "readonly");
    fs::permissions(m_scratch / "readonly", fs::perms::owner_read | fs::perms::owner_exec);
    // The input directory itself is refused unless writing in place.
    for (const char* target : {"in", "file/out", "readonly/out"}) {
        if (std::string(target) == "readonly/out" && root) continue;  // permissions do not stop root
        SCOPED_TRACE(target);
        write::Options options;
        options.outputDir = WString((m_scratch / target).wstring());
        options.codePage = 65001;
        const write::WriteReport report = write::WriteBack(model.files, options);
        EXPECT_FALSE(report.ok);
        EXPECT_EQ(Snapshot(), m_before);
    }
}

}  // namespace
}  // namespace lum::test
