// File names go to the file system as UTF-8.

#include "platform/file_names.h"

#include "platform/decoders.h"

namespace lum::platform {

std::string ToFileSystemName(const std::wstring& name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t ch = static_cast<char32_t>(name[i]);
        // A surrogate pair that arrived in two wide characters is one
        // character; a surrogate on its own becomes U+FFFD in AppendUtf8.
        if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < name.size()) {
            const char32_t low = static_cast<char32_t>(name[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ch = 0x10000 + ((ch - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        detail::AppendUtf8(out, ch);
    }
    return out;
}

}  // namespace lum::platform
