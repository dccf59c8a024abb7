#pragma once
// Small readers of raw model objects shared by the passes of the view.

#include <cwctype>
#include <string_view>

#include "lum/model/classes.h"
#include "lum/traverse/utility_functions.h"
#include "lum/uml/elements.h"

namespace lum::uml::detail {

inline Visibility VisibilityOf(EExportControl control) {
    switch (control) {
        case ExportControl_Public: return Visibility::Public;
        case ExportControl_Protected: return Visibility::Protected;
        case ExportControl_Private: return Visibility::Private;
        case ExportControl_Implementation: return Visibility::Package;
        default: return Visibility::Unspecified;
    }
}

// True when `text` holds `word` as a whole word, ignoring case.
inline bool ContainsWord(const std::wstring& text, std::wstring_view word) {
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        if (at > 0 && std::iswalnum(text[at - 1])) continue;
        const std::size_t end = at + word.size();
        if (end < text.size() && std::iswalnum(text[end])) continue;
        bool same = true;
        for (std::size_t i = 0; same && i < word.size(); ++i) same = static_cast<wchar_t>(std::towlower(text[at + i])) == word[i];
        if (same) return true;
    }
    return false;
}

}  // namespace lum::uml::detail
