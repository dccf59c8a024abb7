// Fuzz target: arbitrary bytes read as a model file on one thread, then with
// objects read apart on other threads and spliced in; both reads must give
// the same file written back, the same objects set aside, stubs and fonts,
// the same answer to whether it may hold external documents, and the same
// diagnostics on the same lines.

#include <cstdlib>
#include <list>
#include <string>

#include "fuzz_support.h"
#include "reader/read_ahead.h"

namespace {

// The file written back and a line for every other outcome; 0: one thread.
std::wstring Read(const std::filesystem::path& path, std::uint64_t minObjectBytes, unsigned helpers = 1) {
    lum::tErrorList errors;
    lum::ErrorListScope scope(errors);
    auto* file = new lum::ClumVellumFile();
    std::list<lum::ClumUnitObject*> units;
    const lum::WString name(path.wstring().c_str());
    const lum::FileRead read = minObjectBytes == 0 ? lum::ParseFile(name, *file, units, 1)
                                                    : lum::ParseReadingAhead(name, *file, units, minObjectBytes, helpers);
    lum::fuzz::tStringSink sink;
    lum::write::FileOptions options;
    options.setAside = &file->setAside;
    lum::write::WriteFile(*file, sink, options);
    std::wstring text(sink.bytes.begin(), sink.bytes.end());
    text += L"\nfonts " + std::to_wstring(file->fonts.GetSize());
    text += read.externalDocs ? L"\nexternal documents" : L"";
    for (const lum::SetAsideObject& kept : file->setAside.Objects()) {
        text += L"\nset aside " + std::wstring(kept.feature.c_str()) + L" " + std::to_wstring(kept.position) + L" " +
                std::to_wstring(kept.line);
    }
    for (const lum::ClumUnitObject* unit : units) text += L"\nstub " + std::wstring(unit->file_name.Get().c_str());
    for (const lum::tError& error : errors) {
        text += L"\n" + std::to_wstring(error.severity) + L" " + std::to_wstring(error.subject.line) + L" " +
                std::wstring(error.message.c_str());
    }
    lum::TreeRemover().DeleteTree(file);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    const std::filesystem::path path = lum::fuzz::ScratchDirectory() / "read_ahead.mdl";
    lum::fuzz::WriteFile(path, session.Text());
    const std::wstring serial = Read(path, 0);
    for (const auto& [minObjectBytes, helpers] : {std::pair{1u, 1u}, {48u, 2u}, {400u, 3u}}) {
        if (Read(path, minObjectBytes, helpers) != serial) std::abort();
    }
    return 0;
}
