#pragma once
// The style sheet and the script every page of a site shares.

namespace lum::publish::detail {

extern const char* const kSiteCss;
// The side bar's package tree (from LUM_TREE) and the search box: the
// index (LUM_INDEX) is loaded on first use; names are matched by any part,
// case ignored, those that start with the text first; a page opened with
// ?q=TEXT searches for TEXT. A diagram wider than the page is fitted to it,
// with a button for its own size. Model texts are set as text, never as markup.
extern const char* const kSiteJs;

}  // namespace lum::publish::detail
