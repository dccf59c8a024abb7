// Writing a model back keeps each file's own layout: what the model did not
// change comes back byte for byte, what it changed is laid out anew where it
// stood, in the file's own line ends.

#include "write_fixture.h"

namespace lum::test {
namespace {

// The lines of one text missing from the other, both ways, with repeats.
std::size_t ChangedLines(const std::string& before, const std::string& after) {
    std::map<std::string, int> count;
    auto add = [&count](const std::string& text, int sign) {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            count[text.substr(start, end - start)] += sign;
            start = end + 1;
        }
    };
    add(before, 1);
    add(after, -1);
    std::size_t changed = 0;
    for (const auto& entry : count) changed += static_cast<std::size_t>(std::abs(entry.second));
    return changed;
}

// The library sample copied with CR LF line ends.
fs::path CrlfLibrary(const fs::path& into) {
    const fs::path from = kSamples / "library";
    for (const auto& entry : fs::recursive_directory_iterator(from)) {
        if (!entry.is_regular_file()) continue;
        std::string bytes = ReadBytes(entry.path()), crlf;
        for (const char c : bytes) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        WriteBytes(into / fs::relative(entry.path(), from), crlf);
    }
    return into;
}

write::WriteReport WriteInto(const tLoaded& model, const fs::path& out, write::Options options = {}) {
    options.outputDir = WString(out.wstring());
    write::WriteReport report = write::WriteBack(model.files, options);
    EXPECT_TRUE(report.ok) << (report.errors.empty() ? "" : ToUtf8(report.errors.front()));
    return report;
}

TEST_F(WriteTest, AnUnchangedModelComesBackByteForByte) {
    const fs::path source = CrlfLibrary(m_scratch / "crlf");
    tLoaded model;
    Load(model, source / "library.mdl", source / "library.map");
    const write::WriteReport report = WriteInto(model, m_scratch / "out");
    ASSERT_EQ(report.files.size(), 6u);
    for (const write::WrittenFile& file : report.files) {
        EXPECT_EQ(ReadBytes(ToUtf8(file.path)), ReadBytes(ToUtf8(file.from))) << ToUtf8(file.from);
    }
}

TEST_F(WriteTest, EditsChangeOnlyTheirOwnLinesInTheFilesLineEnds) {
    const fs::path source = CrlfLibrary(m_scratch / "crlf");
    tLoaded model;
    Load(model, source / "library.mdl", source / "library.map");
    ClumVellumEntity* design = model.files[0];
    auto* copy = As<ClumClass>(Find(design, L"Class", L"Copy"));
    ASSERT_NE(copy, nullptr);
    copy->name.Set(ClumIdent(L"Exemplar"));                                              // a header
    As<ClumOperation>(copy->operations.Get(0))->documentation.Set(L"Free to lend.");  // a line
    delete copy->class_attributes.RemoveAt(0);                                          // an object of a list
    Add(copy->class_attributes, Make<ClumClassAttribute>(L"shelf", L"4C1B0A7E00FF"));   // a new one
    As<ClumClass>(Find(design, L"Class", L"Borrower"))->language.Decode(L"Java");  // the line before a list ends

    const write::WriteReport report = WriteInto(model, m_scratch / "out");
    const std::string before = ReadBytes(source / "library.mdl");
    const std::string after = ReadBytes(m_scratch / "out" / "library.mdl");
    // Header, documentation, language: a line out and one in each; the
    // attribute removed took 4 lines, the one added brings 2.
    EXPECT_EQ(ChangedLines(before, after), 12u);
    EXPECT_NE(after.find("\r\n\t\t    (object Class \"Exemplar\"\r\n\t\t\tquid       \t\"4C1B0A7E0013\""),
              std::string::npos);
    for (std::size_t at = after.find('\n'); at != std::string::npos; at = after.find('\n', at + 1)) {
        ASSERT_EQ(after[at - 1], '\r') << "a line ends in LF alone at byte " << at;
    }
    for (const write::WrittenFile& file : report.files) {
        if (file.from.find(L"library.mdl") != WString::npos) continue;
        EXPECT_EQ(ReadBytes(ToUtf8(file.path)), ReadBytes(ToUtf8(file.from))) << ToUtf8(file.from);
    }
    tLoaded again;
    Load(again, m_scratch / "out" / "library.mdl", source / "library.map");
    ASSERT_EQ(again.files.size(), 1u);
    ExpectEqual(*copy, *Find(again.files[0], L"Class", L"Exemplar"));
}

// Re-encoding rewrites the lines whose text is not plain ASCII, nothing else.
TEST_F(WriteTest, ReencodingChangesOnlyTheLinesThatMust) {
    tLoaded model;
    Load(model, kSamples / "library" / "library.mdl", kSamples / "library" / "library.map");
    write::Options options;
    options.codePage = 65001;
    options.readCodePage = 1252;
    WriteInto(model, m_scratch / "out", options);
    const std::string before = ReadBytes(kSamples / "library" / "library.mdl");
    const std::string after = ReadBytes(m_scratch / "out" / "library.mdl");
    std::size_t nonAscii = 0;
    std::size_t start = 0;
    for (std::size_t end = before.find('\n'); end != std::string::npos; start = end + 1, end = before.find('\n', start)) {
        nonAscii += std::any_of(before.begin() + static_cast<std::ptrdiff_t>(start),
                                before.begin() + static_cast<std::ptrdiff_t>(end),
                                [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    ASSERT_GT(nonAscii, 0u);
    EXPECT_EQ(ChangedLines(before, after), 2 * nonAscii);
}

}  // namespace
}  // namespace lum::test
