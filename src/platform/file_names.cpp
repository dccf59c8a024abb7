// File names go to the file system as UTF-8.

#include "platform/file_names.h"

#include "platform/decoders.h"

namespace lum::platform {

std::string ToFileSystemName(const std::wstring& name) {
    std::string out;
    detail::AppendUtf8(out, name);
    return out;
}

}  // namespace lum::platform
