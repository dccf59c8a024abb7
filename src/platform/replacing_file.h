#pragma once
// tReplacingFile: writes a file so that whatever stood under its name stays
// whole until the new content is complete. The bytes go to a temporary file
// in the same directory, which is flushed to disk and renamed over the
// target by Commit; a file never committed is removed, so a failure (a full
// disk, a read-only directory, the process killed) leaves the old file as it
// was. Flushed to disk before the rename, the old content survives a power
// failure as well.

#include <cstddef>
#include <string>
#include <utility>

namespace lum::platform {

class tReplacingFile {
public:
    tReplacingFile() = default;
    ~tReplacingFile();
    tReplacingFile(const tReplacingFile&) = delete;
    tReplacingFile& operator=(const tReplacingFile&) = delete;

    // Makes the target's directory if needed and opens the temporary file;
    // false with a reason when that fails.
    bool Open(const std::wstring& target, std::wstring& error);
    bool Write(const char* bytes, std::size_t count, std::wstring& error);
    // Renames over the target, flushing to disk first when asked.
    bool Commit(bool flushToDisk, std::wstring& error);

private:
    void Discard();

    int m_fd = -1;
    std::string m_target;
    std::string m_temporary;
};

// What tells files apart however they are named: device and file number.
// False when no file exists under the name (as the file system spells it).
bool FileIdentityOf(const std::wstring& name, std::pair<unsigned long long, unsigned long long>& identity);

}  // namespace lum::platform
