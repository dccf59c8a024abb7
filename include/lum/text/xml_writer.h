#pragma once
// XmlWriter: a forward-only XML writer that fills a buffer and hands it to
// the stream in large blocks (the XMI and Papyrus files). Elements are started, given attributes, and ended;
// an element that got no content ends as "/>". Text, wide or UTF-8, is
// escaped by the one markup escaper (lum/text/markup.h), which leaves out
// the characters XML 1.0 cannot hold.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class XmlWriter {
public:
    explicit XmlWriter(std::ostream& out);
    ~XmlWriter();
    XmlWriter(const XmlWriter&) = delete;
    XmlWriter& operator=(const XmlWriter&) = delete;

    void Declaration();
    // "<tag", after a newline and indentation; `tag` must outlive the element.
    void Start(std::string_view tag);
    // An attribute whose value is plain ASCII without markup (ids, keywords, numbers).
    void Attr(std::string_view name, std::string_view value);
    void Attr(std::string_view name, long long value);
    // An attribute whose value is `value` followed by `suffix`, both plain.
    void Attr(std::string_view name, std::string_view value, std::string_view suffix);
    // An attribute holding text, escaped.
    void Text(std::string_view name, std::wstring_view value);
    void Text(std::string_view name, std::string_view utf8);
    // A list attribute: values joined by spaces, each given whole by Item; a
    // value given again is left out (the lists are sets of references).
    void ListStart(std::string_view name);
    void Item(std::string_view value, std::string_view suffix = {});
    void ListEnd();
    // <tag>text</tag> as content of the open element.
    void TextElement(std::string_view tag, std::wstring_view text);
    void TextElement(std::string_view tag, std::string_view utf8);
    // Ends the innermost open element.
    void End();
    bool Good() const { return m_out.good(); }
    void Flush();
    // Ends every open element, ends the document with a newline, and hands
    // everything to the stream and flushes it; false when the stream failed.
    bool Finish();

private:
    void CloseStartTag();
    void Indent(std::size_t depth);
    template <class Chars>
    void Escaped(Chars text, bool attribute);
    template <class Chars>
    void TextAttr(std::string_view name, Chars value);
    template <class Chars>
    void TextContent(std::string_view tag, Chars text);
    void MaybeFlush() {
        if (m_buffer.size() >= kBlock) Flush();
    }

    static constexpr std::size_t kBlock = 1 << 16;
    static constexpr std::size_t kMaxIndent = 64;
    std::ostream& m_out;
    std::string m_buffer;
    struct tOpen {
        std::string_view tag;
        bool hasContent;
    };
    std::vector<tOpen> m_open;
    bool m_startTagOpen = false;
    std::vector<std::string> m_items;  // of the list being written
};

}  // namespace lum
LUM_API_END
