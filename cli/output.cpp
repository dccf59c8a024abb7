#include "output.h"


#include <lum/text/utf8.h>

namespace lumcli {

tUtf8WideBuffer::int_type tUtf8WideBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    const wchar_t c = traits_type::to_char_type(ch);
    xsputn(&c, 1);
    return ch;
}

std::streamsize tUtf8WideBuffer::xsputn(const wchar_t* text, std::streamsize count) {
    const std::string bytes = lum::ToUtf8(std::wstring(text, static_cast<std::size_t>(count)));
    m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return count;
}

int tUtf8WideBuffer::sync() {
    m_out.flush();
    return m_out ? 0 : -1;
}

}  // namespace lumcli
