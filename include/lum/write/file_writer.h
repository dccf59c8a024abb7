#pragma once
// Writing one file object back in the notation, laid out as saved models
// are: a line break, the header object, a blank line and the design or unit,
// one feature per line, nesting by four blanks (a tab for two levels),
// feature names padded to a column, lists, bar strings for texts of several
// lines, quoted strings, @ labels, fonts written where they are used, and
// objects the catalogue refused written back where they stood.

#include <cstdint>
#include <functional>
#include <optional>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {
class SetAside;
class FileLayout;
class ClumUnitObject;
class ClumVellum;
class ClumVellumFile;
}  // namespace lum

namespace lum::write {

// Where written bytes go. Write answers false when the bytes could not be
// taken; writing stops there.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const char* bytes, std::size_t count) = 0;
};

// How WriteFile and WriteUnitFile write one file object; write::Options are
// those of writing a whole model back.
struct FileOptions {
    // The code page of the written text (65001 for UTF-8).
    unsigned int codePage = 65001;
    // The charSet written in the header object instead of the one it holds.
    std::optional<int> charSet;
    // For a unit written in a file of its own: the stored path its stub
    // carries. Units it gives no path for (or all, without it) are written
    // in full where they are.
    std::function<std::optional<WString>(const ClumUnitObject&)> stubPath;
    // Objects the catalogue refused, written back with their owners.
    const SetAside* setAside = nullptr;
    // The file as it was read: every part of the model that writes as the
    // file's part does is given back as the file has it (its feature order,
    // blanks, line breaks, line ends and header); only what changed is laid
    // out anew. Without it, everything is laid out as saved models are.
    const FileLayout* original = nullptr;
};

struct FileWriteResult {
    bool ok = true;  // false: the sink failed, or the model is nested more than 4000 levels deep
    std::uint64_t bytes = 0;
    std::size_t unrepresentable = 0;  // characters the code page cannot hold, written as '?'
    WString error;  // why, when not ok
};

// A whole file object: its header objects, designs and units.
FileWriteResult WriteFile(const ClumVellumFile& file, ByteSink& sink, const FileOptions& options);

// A unit in a file of its own, after `header` (none when null); its
// "is_loaded" and "file_name" belong to the stub and are not written.
FileWriteResult WriteUnitFile(const ClumVellum* header, const ClumUnitObject& unit, ByteSink& sink,
                              const FileOptions& options);

}  // namespace lum::write
LUM_API_END
