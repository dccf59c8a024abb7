#pragma once
// tXml: the forward-only XML writer of the Papyrus files. Elements are
// started, given attributes and ended; one that got no content ends as
// "/>". Model texts go through the one markup escaper (lum/text/markup.h).

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace lum::papyrus::detail {

class tXml {
public:
    explicit tXml(std::ostream& out) : m_out(out) { m_buffer = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"; }
    // "<tag" on a line of its own; `tag` must outlive the element.
    void Start(std::string_view tag);
    // An attribute whose value is plain ASCII without markup (ids, types, numbers).
    void Attr(std::string_view name, std::string_view value);
    void Attr(std::string_view name, long long value) { Attr(name, std::string_view(std::to_string(value))); }
    // An attribute holding UTF-8 text, escaped.
    void Text(std::string_view name, std::string_view utf8);
    void End();
    // Hands what is left to the stream; false when the stream failed.
    bool Finish();

private:
    void CloseStartTag();
    void Flush();

    std::ostream& m_out;
    std::string m_buffer;
    std::vector<std::string_view> m_open;
    bool m_startTagOpen = false;
};

}  // namespace lum::papyrus::detail
