#pragma once
// The process-wide pool of identifier texts, safe to use from several
// threads: a growing open-addressed table of entries carved from
// large pages. Entries are never moved or removed, so a text pointer stays
// valid until the process ends.

#include <cstddef>

namespace lum::detail {

// The pooled copy of the `length` code units at `text`; equal texts give the
// same pointer.
const wchar_t* Intern(const wchar_t* text, std::size_t length);
// The length of a text Intern handed out, kept beside it.
std::size_t InternedLength(const wchar_t* interned);

}  // namespace lum::detail
