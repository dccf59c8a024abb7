#pragma once
// Output of the lum tool: UTF-8 everywhere, and a wide stream that encodes
// to UTF-8 (for the pretty printer).

#include <ostream>
#include <streambuf>
#include <string>

#include <lum/text/json_writer.h>
#include <lum/text/utf8.h>

namespace lumcli {

// A wide stream buffer that writes UTF-8 to a narrow stream.
class tUtf8WideBuffer : public std::wstreambuf {
public:
    explicit tUtf8WideBuffer(std::ostream& out) : m_out(out) {}

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const wchar_t* text, std::streamsize count) override;
    int sync() override;

private:
    std::ostream& m_out;
};

}  // namespace lumcli
