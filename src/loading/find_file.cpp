#include "lum/loading/find_file.h"

#include <filesystem>
#include <system_error>

#include "platform/file_names.h"

namespace lum {

bool FindExistingFile(const WString& name, WString& found) {
    const std::string path = platform::FindFileName(name);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return false;
    const unsigned page = WString::GetLocalePage();
    WString::SetLocalePage(65001);  // file names are UTF-8 here
    found = WString(path.c_str());
    WString::SetLocalePage(page);
    return true;
}

}  // namespace lum
