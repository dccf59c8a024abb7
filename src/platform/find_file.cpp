// Finding stored file names on a POSIX file system.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/file_names.h"

namespace lum::platform {

namespace {

namespace fs = std::filesystem;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The entry of `directory` whose name equals `name` ignoring (ASCII) case.
bool FindIgnoringCase(const fs::path& directory, const std::string& name, fs::path& found) {
    std::error_code error;
    fs::directory_iterator it(directory.empty() ? fs::path(".") : directory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (SameIgnoringCase(entry, name)) {
            found = directory / entry;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string FindFileName(const std::wstring& name) {
    std::string path = ToFileSystemName(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::error_code error;
    if (path.empty() || fs::exists(path, error)) return path;

    // Components that match nothing are kept as written (a file about to
    // be created, say).
    fs::path resolved;
    bool matching = true;
    for (const fs::path& component : fs::path(path)) {
        const fs::path next = resolved / component;
        fs::path found;
        if (!matching || component == "/" || fs::exists(next, error)) {
            resolved = next;
        } else if (FindIgnoringCase(resolved, component.string(), found)) {
            resolved = found;
        } else {
            resolved = next;
            matching = false;
        }
    }
    return resolved.string();
}

}  // namespace lum::platform

namespace lum::platform {

std::string CanonicalFileName(const std::wstring& name) {
    std::error_code error;
    const std::filesystem::path found(FindFileName(name));
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(found, error);
    return error ? found.lexically_normal().string() : canonical.string();
}

}  // namespace lum::platform
