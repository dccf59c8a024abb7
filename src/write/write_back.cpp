#include "lum/write/write_back.h"

#include <filesystem>
#include <future>
#include <memory>
#include <map>
#include <set>
#include <vector>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/classes.h"
#include "lum/reader/file_layout.h"
#include "lum/text/utf8.h"
#include "lum/write/file_writer.h"
#include "platform/file_names.h"
#include "platform/replacing_file.h"
#include "write/layout.h"

namespace lum::write {

namespace {

namespace fs = std::filesystem;

using tIdentity = std::pair<unsigned long long, unsigned long long>;

bool IsUnit(const ClumVellumEntity& object) {
    return object.GetMetaClass().IsKindOf(&ClumUnitObject::StaticGetMetaClass());
}

// A unit loaded from a file of its own.
bool HasOwnFile(const ClumUnitObject& unit) { return unit.is_loaded.Get() && !unit.file_name.IsEmpty(); }
// A stub whose file was not loaded.
bool IsUnloadedStub(const ClumUnitObject& unit) {
    return unit.is_unit.Get() && !unit.is_loaded.Get() && !unit.file_name.IsEmpty();
}

struct tOutputFile {
    const ClumUnitObject* unit = nullptr;  // null for the main file
    int parent = -1;                       // the file holding its stub
    fs::path source;
    fs::path target;
};

// The units of a main file that go to files of their own, and the unloaded
// stubs, found by one walk over the links (without recursion).
void FindUnits(const ClumVellumFile& file, std::vector<const ClumUnitObject*>& own,
               std::vector<const ClumUnitObject*>& stubs) {
    std::vector<const ClumVellumEntity*> pending{&file};
    while (!pending.empty()) {
        const ClumVellumEntity* object = pending.back();
        pending.pop_back();
        if (object != &file && IsUnit(*object)) {
            const auto& unit = static_cast<const ClumUnitObject&>(*object);
            if (HasOwnFile(unit)) own.push_back(&unit);
            else if (IsUnloadedStub(unit)) stubs.push_back(&unit);
        }
        auto* entity = const_cast<ClumVellumEntity*>(object);
        const auto& links = object->GetMetaClass().m_linkFeatures;
        for (auto it = links.rbegin(); it != links.rend(); ++it) {
            const IlumLink* link = (*it)->m_pfnGetFeature(entity)->GetLink();
            for (int i = link->GetSize() - 1; i >= 0; --i) pending.push_back(link->GetAt(i));
        }
    }
}

// File names cross into the file system as UTF-8 and come back from it the
// same way, whatever the process's locale: std::filesystem's own wide
// conversions follow the locale and fail on names it cannot encode.
fs::path PathOf(const WString& stored) { return fs::path(platform::FindFileName(stored)); }

WString Wide(const fs::path& path) { return FromUtf8(path.string()); }

// "&\a\b.cat": the target relative to the directory of the file that holds
// the stub, in the notation's separators.
WString RelativeStoredPath(const fs::path& target, const fs::path& holder) {
    const fs::path relative = target.lexically_relative(holder.parent_path());
    WString text = L"&";
    for (const fs::path& part : relative) {
        text += L'\\';
        text += Wide(part);
    }
    return text;
}

WString Relocate(const WString& stored, const std::vector<Relocation>& relocations) {
    WString result;
    std::size_t start = 0;
    while (start <= stored.size()) {
        std::size_t end = stored.find_first_of(L"\\/", start);
        if (end == WString::npos) end = stored.size();
        const WString part = stored.substr(start, end - start);
        bool replaced = false;
        if (part.size() > 1 && part[0] == L'$') {
            for (const Relocation& relocation : relocations) {
                if (WString::Match(WString(part.substr(1)), relocation.symbol, false)) {
                    result += relocation.path;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) result += part;
        if (end < stored.size()) result += stored[end];
        start = end + 1;
    }
    return result;
}

// Passes bytes to a replacing file, failing after a set number of bytes
// when asked to.
class tFileSink : public ByteSink {
public:
    tFileSink(platform::tReplacingFile& file, std::uint64_t failAfter) : m_file(file), m_failAfter(failAfter) {}
    bool Write(const char* bytes, std::size_t count) override {
        if (m_failAfter != 0 && m_written + count > m_failAfter) {
            const std::size_t allowed = static_cast<std::size_t>(m_failAfter - m_written);
            m_file.Write(bytes, allowed, error);
            error = L"simulated failure after " + WString(std::to_wstring(m_failAfter)) + L" bytes";
            return false;
        }
        if (!m_file.Write(bytes, count, error)) return false;
        m_written += count;
        return true;
    }
    std::wstring error;

private:
    platform::tReplacingFile& m_file;
    std::uint64_t m_failAfter;
    std::uint64_t m_written = 0;
};

class tModelWriter {
public:
    tModelWriter(const Options& options, WriteReport& report) : m_options(options), m_report(report) {
        m_readPage = options.readCodePage.value_or(WString::GetLocalePage());
        m_codePage = options.codePage.value_or(m_readPage);
    }

    void Write(const ClumVellumFile& file) {
        std::vector<const ClumUnitObject*> own, stubs;
        FindUnits(file, own, stubs);
        const fs::path mainSource = PathOf(file.fileName.Get());
        const fs::path mainDir = mainSource.parent_path();
        std::vector<tOutputFile> outputs{{nullptr, -1, mainSource, Target(mainSource, mainSource.filename())}};
        std::map<const ClumVellumEntity*, int> index;
        for (const ClumUnitObject* unit : own) {
            const fs::path source = PathOf(unit->file_name.Get());
            fs::path relative = source.lexically_relative(mainDir);
            if (relative.empty() || *relative.begin() == "..") {
                relative = source.filename();
                m_report.changes.push_back(L"unit '" + WString(unit->name.Get().c_str()) + L"' from " +
                                           Wide(source) + L" is written next to the main file");
            }
            index[unit] = static_cast<int>(outputs.size());
            outputs.push_back({unit, 0, source, Target(source, relative)});
        }
        // The file holding each unit's stub: that of its nearest own-file ancestor.
        for (tOutputFile& output : outputs) {
            if (output.unit == nullptr) continue;
            for (const ClumVellumEntity* up = output.unit->Owner(); up != nullptr; up = up->Owner()) {
                const auto found = index.find(up);
                if (found != index.end()) {
                    output.parent = found->second;
                    break;
                }
            }
        }
        std::map<const ClumUnitObject*, WString> stubPaths;
        // The stub paths of the units a file holds, once the file was read
        // again: the path its stub stored, which loading replaced by the
        // one it opened, else the one remembered, else that.
        auto stubPathsIn = [&](std::size_t holder, const FileLayout* original) {
            const std::map<WString, WString> storedInFile = StoredStubPaths(original);
            for (const tOutputFile& output : outputs) {
                if (output.unit == nullptr || output.parent != static_cast<int>(holder)) continue;
                const WString* remembered = file.setAside.StoredPath(output.unit);
                const auto inFile = storedInFile.find(WString(output.unit->quid.Get().c_str()));
                const WString stored = inFile != storedInFile.end() ? inFile->second
                                       : remembered                 ? *remembered
                                                                    : output.unit->file_name.Get();
                const WString path = m_options.relative
                                         ? RelativeStoredPath(output.target, outputs[output.parent].target)
                                         : Relocate(stored, m_options.relocations);
                Change(*output.unit, stored, path);
                stubPaths[output.unit] = path;
            }
        };
        for (const ClumUnitObject* stub : stubs) {
            const WString stored = stub->file_name.Get();
            const WString path = Relocate(stored, m_options.relocations);
            if (m_options.relative && path == stored) {
                m_report.changes.push_back(L"unit '" + WString(stub->name.Get().c_str()) +
                                           L"' was not loaded; its stored path " + stored + L" is kept");
            }
            Change(*stub, stored, path);
            stubPaths[stub] = path;
        }

        FileOptions fileOptions;
        fileOptions.codePage = m_codePage;
        fileOptions.setAside = &file.setAside;
        fileOptions.charSet = CharSet(file);
        fileOptions.stubPath = [&stubPaths](const ClumUnitObject& unit) -> std::optional<WString> {
            const auto found = stubPaths.find(&unit);
            if (found == stubPaths.end()) return std::nullopt;
            return found->second;
        };
        const ClumVellum* header = file.version.IsEmpty() ? nullptr : file.version.Get(0);
        // The files read, which only writing in place may replace.
        std::set<tIdentity> inputs;
        for (const tOutputFile& output : outputs) {
            tIdentity identity;
            if (platform::FileIdentityOf(Wide(output.source), identity)) inputs.insert(identity);
        }
        // Each file is read again while the one before it is written.
        auto readAgain = [this, &outputs](std::size_t k) {
            auto original = std::make_unique<FileLayout>();
            if (!original->Read(Wide(outputs[k].source), m_readPage)) original.reset();
            return original;
        };
        const bool ahead = m_options.threads != 1;
        std::future<std::unique_ptr<FileLayout>> next;
        if (m_options.keepLayout && ahead && !outputs.empty()) next = std::async(std::launch::async, readAgain, 0);
        for (std::size_t k = 0; k < outputs.size(); ++k) {
            const tOutputFile& output = outputs[k];
            std::unique_ptr<FileLayout> original;
            if (m_options.keepLayout) original = ahead ? next.get() : readAgain(k);
            if (m_options.keepLayout && ahead && k + 1 < outputs.size()) {
                next = std::async(std::launch::async, readAgain, k + 1);
            }
            fileOptions.original = original.get();
            stubPathsIn(k, fileOptions.original);
            Emit(output, inputs, [&](ByteSink& sink) {
                return output.unit == nullptr ? WriteFile(file, sink, fileOptions, m_orders)
                                               : WriteUnitFile(header, *output.unit, sink, fileOptions, m_orders);
            });
        }
    }

private:
    // The paths the unloaded stubs of a file read again stored, by the quid
    // of their unit.
    static std::map<WString, WString> StoredStubPaths(const FileLayout* original) {
        std::map<WString, WString> stored;
        if (original == nullptr) return stored;
        std::vector<const ClumUnitObject*> own, stubs;
        FindUnits(original->File(), own, stubs);
        for (const ClumUnitObject* stub : stubs) {
            if (!stub->quid.IsEmpty()) stored.emplace(WString(stub->quid.Get().c_str()), stub->file_name.Get());
        }
        return stored;
    }

    fs::path Target(const fs::path& source, const fs::path& relative) const {
        if (m_options.inPlace) return source;
        return PathOf(m_options.outputDir) / relative;
    }

    void Change(const ClumUnitObject& unit, const WString& stored, const WString& path) {
        if (stored == path) return;
        m_report.changes.push_back(L"unit '" + WString(unit.name.Get().c_str()) + L"': stored path " + stored +
                                   L" -> " + path);
    }

    // The header's charSet for the written code page, when it changes.
    std::optional<int> CharSet(const ClumVellumFile& file) {
        if (file.version.IsEmpty()) return std::nullopt;
        const std::optional<int> charSet = CharSetOfCodePage(m_codePage);
        const int current = file.version.Get(0)->charSet.Get();
        if (!charSet || *charSet == current || m_codePage == m_readPage) return std::nullopt;
        m_report.changes.push_back(WString().Format(L"code page %u: the header's charSet %d -> %d", m_codePage,
                                                    current, *charSet));
        return charSet;
    }

    template <class Writing>
    void Emit(const tOutputFile& output, const std::set<tIdentity>& inputs, Writing writing) {
        const WString target = Wide(output.target);
        tIdentity identity;
        if (!m_options.inPlace && platform::FileIdentityOf(target, identity) &&
            inputs.count(identity) != 0) {
            Fail(target, L"it is a file the model was read from (write it in place to replace it)");
            return;
        }
        platform::tReplacingFile file;
        std::wstring error;
        if (!file.Open(target, error)) {
            Fail(target, error);
            return;
        }
        tFileSink sink(file, m_options.failAfterBytes);
        const FileWriteResult result = writing(sink);
        m_report.unrepresentable += result.unrepresentable;
        if (!result.ok) {
            Fail(target, sink.error.empty() ? std::wstring(result.error) : sink.error);
            return;
        }
        if (!file.Commit(m_options.flushToDisk, error)) {
            Fail(target, error);
            return;
        }
        m_report.files.push_back({target, Wide(output.source), result.bytes});
    }

    void Fail(const WString& target, const std::wstring& why) {
        m_report.ok = false;
        m_report.errors.push_back(target + L": " + WString(why));
    }

    const Options& m_options;
    WriteReport& m_report;
    unsigned int m_readPage;
    unsigned int m_codePage;
    tWritingOrders m_orders;
};

}  // namespace

std::optional<int> CharSetOfCodePage(unsigned int codePage) {
    static const std::pair<unsigned int, int> kCharSets[] = {
        {1252, 0},   {932, 128},  {949, 129},  {936, 134},  {950, 136},  {1253, 161}, {1254, 162},
        {1258, 163}, {1255, 177}, {1256, 178}, {1257, 186}, {1251, 204}, {874, 222},  {1250, 238},
    };
    for (const auto& [page, charSet] : kCharSets) {
        if (page == codePage) return charSet;
    }
    return std::nullopt;
}

WriteReport WriteBack(std::span<const ClumVellumFile* const> files, const Options& options) {
    WriteReport report;
    if (!options.inPlace && options.outputDir.empty()) {
        report.ok = false;
        report.errors.push_back(L"no output directory");
        return report;
    }
    tModelWriter writer(options, report);
    for (const ClumVellumFile* file : files) {
        if (file == nullptr) continue;
        // A failure of the system's (a name the file system refuses, memory)
        // ends this file's writing; whatever was not committed is removed.
        try {
            writer.Write(*file);
        } catch (const std::exception& failure) {
            report.ok = false;
            report.errors.push_back(file->fileName.Get() + L": " + FromUtf8(failure.what()));
        }
    }
    return report;
}

}  // namespace lum::write
