// A printf-style formatter for wide text with the conventions of the
// reference platform's wide printf family (see wide_format.h).
//
// The C library's own wide printf cannot serve: it takes %s as a narrow text
// and writes the decimal separator of LC_NUMERIC. This one is a small state
// machine over the format; numbers are written by std::to_chars, which
// ignores every locale. One template over an output sink does the work, so
// the counting pass (FormattedLength) and the writing pass (FormatInto) can
// never disagree about the length.
//
// Narrow texts and characters (%S, %hs, %C, %hc) are converted as UTF-8. The
// library's own code page belongs to WString, which sits above this layer;
// reading it from here would make the platform layer depend on its user, and
// all narrow texts the library formats itself are ASCII, which every page
// the library supports converts alike.
//
// Where the reference platform differs from ISO C, it is followed: the 0 flag
// pads texts and characters with zeros too, and %p writes the address as
// upper-case hex digits, as many as a pointer has, without a prefix.

#include "platform/wide_format.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/codepage.h"
#include "platform/decoders.h"

namespace lum::platform {

namespace {

constexpr unsigned int kNarrowTextCodePage = 65001;

// Counts what would be written.
class CountingSink {
public:
    void Put(wchar_t) { ++m_length; }
    void Put(const wchar_t*, std::size_t count) { m_length += count; }
    void PutAscii(const char*, std::size_t count) { m_length += count; }
    void Fill(wchar_t, std::size_t count) { m_length += count; }
    std::size_t Length() const { return m_length; }

private:
    std::size_t m_length = 0;
};

// Writes into a buffer of `capacity` characters, keeping one for the NUL,
// and goes on counting past its end.
class BufferSink {
public:
    BufferSink(wchar_t* out, std::size_t capacity) : m_out(out), m_room(capacity > 0 ? capacity - 1 : 0) {}

    void Put(wchar_t ch) {
        if (m_length < m_room) m_out[m_length] = ch;
        ++m_length;
    }
    void Put(const wchar_t* text, std::size_t count) {
        const std::size_t n = Writable(count);
        if (n > 0) std::wmemcpy(m_out + m_length, text, n);
        m_length += count;
    }
    void PutAscii(const char* text, std::size_t count) {
        const std::size_t n = Writable(count);
        for (std::size_t i = 0; i < n; ++i) m_out[m_length + i] = static_cast<wchar_t>(text[i]);
        m_length += count;
    }
    void Fill(wchar_t ch, std::size_t count) {
        const std::size_t n = Writable(count);
        if (n > 0) std::wmemset(m_out + m_length, ch, n);
        m_length += count;
    }
    std::size_t Length() const { return m_length; }
    // Ends the text written so far; a buffer of capacity 0 gets nothing.
    void Terminate(std::size_t capacity) {
        if (capacity > 0) m_out[m_length < m_room ? m_length : m_room] = L'\0';
    }

private:
    std::size_t Writable(std::size_t count) const {
        if (m_length >= m_room) return 0;
        return count < m_room - m_length ? count : m_room - m_length;
    }

    wchar_t* m_out;
    std::size_t m_room;
    std::size_t m_length = 0;
};

// A va_list that is walked by reference through the helpers below.
struct Arguments {
    va_list list;
};

enum class Length { None, Char, Short, Long, LongLong, LongDouble, Size, IntMax, PtrDiff, Int32, Int64, Wide };

struct tDirective {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    std::size_t width = 0;
    int precision = -1;  // -1: none given
    Length length = Length::None;
};

// Digits of a width or precision, saturating rather than wrapping.
int ReadCount(const wchar_t*& p) {
    int value = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        const int digit = *p - L'0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
    return value;
}

// Reads flags, width, precision and length modifier; p ends on the
// conversion character (or the NUL of a format cut short).
const wchar_t* ParseDirective(const wchar_t* p, tDirective& directive, Arguments& args) {
    for (;; ++p) {
        if (*p == L'-') directive.left = true;
        else if (*p == L'+') directive.plus = true;
        else if (*p == L' ') directive.space = true;
        else if (*p == L'#') directive.alternate = true;
        else if (*p == L'0') directive.zero = true;
        else break;
    }
    if (*p == L'*') {
        ++p;
        const long long width = va_arg(args.list, int);
        if (width < 0) directive.left = true;
        directive.width = static_cast<std::size_t>(width < 0 ? -width : width);
    } else {
        directive.width = static_cast<std::size_t>(ReadCount(p));
    }
    if (*p == L'.') {
        ++p;
        if (*p == L'*') {
            ++p;
            const int precision = va_arg(args.list, int);
            directive.precision = precision < 0 ? -1 : precision;  // negative: as if none
        } else {
            directive.precision = ReadCount(p);
        }
    }
    switch (*p) {
        case L'h':
            ++p;
            directive.length = Length::Short;
            if (*p == L'h') ++p, directive.length = Length::Char;
            break;
        case L'l':
            ++p;
            directive.length = Length::Long;
            if (*p == L'l') ++p, directive.length = Length::LongLong;
            break;
        case L'L': ++p, directive.length = Length::LongDouble; break;
        case L'z': ++p, directive.length = Length::Size; break;
        case L'j': ++p, directive.length = Length::IntMax; break;
        case L't': ++p, directive.length = Length::PtrDiff; break;
        case L'w': ++p, directive.length = Length::Wide; break;
        case L'I':
            ++p;
            if (p[0] == L'3' && p[1] == L'2') p += 2, directive.length = Length::Int32;
            else if (p[0] == L'6' && p[1] == L'4') p += 2, directive.length = Length::Int64;
            else directive.length = Length::Size;
            break;
        default: break;
    }
    return p;
}

std::intmax_t ReadSigned(Length length, Arguments& args) {
    switch (length) {
        case Length::Char: return static_cast<signed char>(va_arg(args.list, int));
        case Length::Short: return static_cast<short>(va_arg(args.list, int));
        case Length::Long: return va_arg(args.list, long);
        case Length::LongLong:
        case Length::LongDouble:
        case Length::Int64: return va_arg(args.list, long long);
        case Length::Size:
        case Length::PtrDiff: return va_arg(args.list, std::ptrdiff_t);
        case Length::IntMax: return va_arg(args.list, std::intmax_t);
        default: return va_arg(args.list, int);
    }
}

std::uintmax_t ReadUnsigned(Length length, Arguments& args) {
    switch (length) {
        case Length::Char: return static_cast<unsigned char>(va_arg(args.list, unsigned int));
        case Length::Short: return static_cast<unsigned short>(va_arg(args.list, unsigned int));
        case Length::Long: return va_arg(args.list, unsigned long);
        case Length::LongLong:
        case Length::LongDouble:
        case Length::Int64: return va_arg(args.list, unsigned long long);
        case Length::Size:
        case Length::PtrDiff: return va_arg(args.list, std::size_t);
        case Length::IntMax: return va_arg(args.list, std::uintmax_t);
        default: return va_arg(args.list, unsigned int);
    }
}

// Writes one padded field: sign, prefix, leading zeros, body.
// `zeroPad` tells whether the 0 flag may fill the width with zeros.
template <class Sink>
void PutNumber(Sink& sink, const tDirective& directive, char sign, const char* prefix, std::size_t zeros, const char* body,
               std::size_t bodyLength, bool zeroPad) {
    const std::size_t prefixLength = std::strlen(prefix);
    std::size_t length = (sign != 0 ? 1 : 0) + prefixLength + zeros + bodyLength;
    const std::size_t pad = directive.width > length ? directive.width - length : 0;
    const bool padWithZeros = zeroPad && directive.zero && !directive.left;
    if (pad > 0 && !directive.left && !padWithZeros) sink.Fill(L' ', pad);
    if (sign != 0) sink.Put(static_cast<wchar_t>(sign));
    sink.PutAscii(prefix, prefixLength);
    sink.Fill(L'0', zeros + (padWithZeros ? pad : 0));
    sink.PutAscii(body, bodyLength);
    if (pad > 0 && directive.left) sink.Fill(L' ', pad);
}

template <class Sink>
void PutInteger(Sink& sink, const tDirective& directive, wchar_t conversion, Arguments& args) {
    char sign = 0;
    std::uintmax_t magnitude;
    int base = 10;
    bool upper = false;
    const char* prefix = "";
    tDirective field = directive;

    if (conversion == L'd' || conversion == L'i') {
        const std::intmax_t value = ReadSigned(directive.length, args);
        magnitude = value < 0 ? std::uintmax_t{0} - static_cast<std::uintmax_t>(value) : static_cast<std::uintmax_t>(value);
        sign = value < 0 ? '-' : directive.plus ? '+' : directive.space ? ' ' : 0;
    } else if (conversion == L'p') {
        magnitude = reinterpret_cast<std::uintptr_t>(va_arg(args.list, void*));
        base = 16;
        upper = true;
        field.precision = static_cast<int>(2 * sizeof(void*));
        if (directive.alternate && magnitude != 0) prefix = "0X";
    } else {
        magnitude = ReadUnsigned(directive.length, args);
        if (conversion == L'o') {
            base = 8;
        } else if (conversion == L'x' || conversion == L'X') {
            base = 16;
            upper = conversion == L'X';
            if (directive.alternate && magnitude != 0) prefix = upper ? "0X" : "0x";
        }
    }

    char digits[sizeof(std::uintmax_t) * CHAR_BIT / 3 + 2];
    std::size_t count = 0;
    if (magnitude != 0 || field.precision != 0) {
        count = static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, magnitude, base).ptr - digits);
    }
    if (upper) {
        for (std::size_t i = 0; i < count; ++i) {
            if (digits[i] >= 'a') digits[i] = static_cast<char>(digits[i] - 'a' + 'A');
        }
    }
    std::size_t zeros = field.precision > 0 && static_cast<std::size_t>(field.precision) > count
                            ? static_cast<std::size_t>(field.precision) - count
                            : 0;
    // The # flag of %o makes sure the number starts with a zero.
    if (base == 8 && directive.alternate && zeros == 0 && (count == 0 || digits[0] != '0')) zeros = 1;
    PutNumber(sink, field, sign, prefix, zeros, digits, count, directive.precision < 0);
}

// Text of a floating-point number, written by std::to_chars into a buffer
// that grows as the precision asks.
class FloatText {
public:
    template <class... Format>
    void Write(double value, Format... format) {
        char* first = m_small;
        std::size_t size = sizeof m_small;
        while (true) {
            const std::to_chars_result result = std::to_chars(first, first + size, value, format...);
            if (result.ec == std::errc()) {
                m_text = first;
                m_length = static_cast<std::size_t>(result.ptr - first);
                return;
            }
            size *= 2;
            m_large.assign(size, '\0');
            first = m_large.data();
        }
    }

    // Puts a decimal point before the exponent marker, or at the end when
    // there is none, unless the text has one already (the # flag).
    void EnsurePoint(char exponentMarker) {
        if (std::memchr(m_text, '.', m_length) != nullptr) return;
        std::string copy(m_text, m_length);
        const std::size_t at = copy.find(exponentMarker);
        copy.insert(at == std::string::npos ? copy.size() : at, 1, '.');
        m_large = std::move(copy);
        m_text = m_large.data();
        m_length = m_large.size();
    }

    void MakeUpper() {
        if (m_text != m_large.data()) {
            m_large.assign(m_text, m_length);
            m_text = m_large.data();
        }
        for (char& c : m_large) {
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
    }

    // The decimal exponent of a text in scientific form.
    int Exponent() const {
        const char* e = static_cast<const char*>(std::memchr(m_text, 'e', m_length));
        int exponent = 0;
        if (e != nullptr) std::from_chars(e + (e[1] == '+' ? 2 : 1), m_text + m_length, exponent);
        return exponent;
    }

    const char* Text() const { return m_text; }
    std::size_t Length() const { return m_length; }

private:
    char m_small[128];
    std::string m_large;
    const char* m_text = m_small;
    std::size_t m_length = 0;
};

template <class Sink>
void PutFloat(Sink& sink, const tDirective& directive, wchar_t conversion, Arguments& args) {
    // The reference platform's long double is a double; wider values are
    // rounded to double here.
    const double value =
        directive.length == Length::LongDouble ? static_cast<double>(va_arg(args.list, long double)) : va_arg(args.list, double);
    const bool upper = conversion == L'F' || conversion == L'E' || conversion == L'G' || conversion == L'A';
    const char sign = std::signbit(value) ? '-' : directive.plus ? '+' : directive.space ? ' ' : 0;
    const double magnitude = std::fabs(value);

    if (!std::isfinite(value)) {
        const char* word = std::isnan(value) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
        PutNumber(sink, directive, sign, "", 0, word, 3, false);
        return;
    }

    FloatText text;
    const int precision = directive.precision < 0 ? 6 : directive.precision;
    const char* prefix = "";
    switch (conversion) {
        case L'f':
        case L'F': text.Write(magnitude, std::chars_format::fixed, precision); break;
        case L'e':
        case L'E': text.Write(magnitude, std::chars_format::scientific, precision); break;
        case L'g':
        case L'G': {
            const int significant = precision == 0 ? 1 : precision;
            if (!directive.alternate) {
                text.Write(magnitude, std::chars_format::general, significant);
                break;
            }
            // %#g keeps its trailing zeros, which to_chars's general form drops.
            text.Write(magnitude, std::chars_format::scientific, significant - 1);
            const int exponent = text.Exponent();
            if (exponent >= -4 && exponent < significant) {
                text.Write(magnitude, std::chars_format::fixed, significant - 1 - exponent);
            }
            break;
        }
        default:  // a, A
            prefix = upper ? "0X" : "0x";
            if (directive.precision < 0) text.Write(magnitude, std::chars_format::hex);
            else text.Write(magnitude, std::chars_format::hex, directive.precision);
            break;
    }
    if (directive.alternate) text.EnsurePoint(*prefix != '\0' ? 'p' : 'e');
    if (upper) text.MakeUpper();
    PutNumber(sink, directive, sign, prefix, 0, text.Text(), text.Length(), true);
}

// Padding of texts and characters: the reference platform pads with zeros
// when the 0 flag is given, as it does for numbers.
template <class Sink>
void PadBefore(Sink& sink, const tDirective& directive, std::size_t length) {
    if (!directive.left && directive.width > length) sink.Fill(directive.zero ? L'0' : L' ', directive.width - length);
}

template <class Sink>
void PadAfter(Sink& sink, const tDirective& directive, std::size_t length) {
    if (directive.left && directive.width > length) sink.Fill(L' ', directive.width - length);
}

template <class Sink>
void PutCharacter(Sink& sink, const tDirective& directive, wchar_t conversion, Arguments& args) {
    const bool narrow = conversion == L'c' ? directive.length == Length::Short || directive.length == Length::Char
                                           : directive.length != Length::Long && directive.length != Length::Wide;
    const int value = va_arg(args.list, int);
    const wchar_t ch = narrow ? ConvertSingleByte(kNarrowTextCodePage, static_cast<unsigned char>(value))
                              : static_cast<wchar_t>(value);
    PadBefore(sink, directive, 1);
    sink.Put(ch);
    PadAfter(sink, directive, 1);
}

template <class Sink>
void PutWideText(Sink& sink, const tDirective& directive, const wchar_t* text) {
    if (text == nullptr) text = L"(null)";
    std::size_t length = 0;
    if (directive.precision < 0) {
        length = std::wcslen(text);
    } else {
        while (length < static_cast<std::size_t>(directive.precision) && text[length] != L'\0') ++length;
    }
    PadBefore(sink, directive, length);
    sink.Put(text, length);
    PadAfter(sink, directive, length);
}

template <class Sink>
void PutNarrowText(Sink& sink, const tDirective& directive, const char* text) {
    if (text == nullptr) text = "(null)";
    // Every character takes at least one byte, so a precision also bounds
    // how far the text may be read.
    std::size_t bytes = 0;
    if (directive.precision < 0) {
        bytes = std::strlen(text);
    } else {
        while (bytes < static_cast<std::size_t>(directive.precision) && text[bytes] != '\0') ++bytes;
    }
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    std::size_t length = detail::CountUtf8(in, bytes);
    if (directive.precision >= 0 && length > static_cast<std::size_t>(directive.precision)) {
        length = static_cast<std::size_t>(directive.precision);
    }
    PadBefore(sink, directive, length);
    wchar_t chunk[256];
    for (std::size_t done = 0, written = 0; written < length;) {
        const std::size_t want = length - written < std::size(chunk) ? length - written : std::size(chunk);
        const detail::DecodeStep step = detail::DecodeUtf8(in + done, bytes - done, chunk, want);
        sink.Put(chunk, step.produced);
        done += step.consumed;
        written += step.produced;
    }
    PadAfter(sink, directive, length);
}

template <class Sink>
void PutText(Sink& sink, const tDirective& directive, wchar_t conversion, Arguments& args) {
    const bool narrow = conversion == L's' ? directive.length == Length::Short || directive.length == Length::Char
                                           : directive.length != Length::Long && directive.length != Length::Wide;
    if (narrow) PutNarrowText(sink, directive, va_arg(args.list, const char*));
    else PutWideText(sink, directive, va_arg(args.list, const wchar_t*));
}

template <class Sink>
void Format(Sink& sink, const wchar_t* format, Arguments& args) {
    if (format == nullptr) return;
    const wchar_t* p = format;
    while (*p != L'\0') {
        const wchar_t* run = p;
        while (*p != L'\0' && *p != L'%') ++p;
        sink.Put(run, static_cast<std::size_t>(p - run));
        if (*p == L'\0') break;

        const wchar_t* percent = p++;
        tDirective directive;
        p = ParseDirective(p, directive, args);
        const wchar_t conversion = *p;
        if (conversion == L'\0') {  // a format cut short is written as it stands
            sink.Put(percent, static_cast<std::size_t>(p - percent));
            break;
        }
        ++p;
        switch (conversion) {
            case L'd':
            case L'i':
            case L'u':
            case L'o':
            case L'x':
            case L'X':
            case L'p': PutInteger(sink, directive, conversion, args); break;
            case L'f':
            case L'F':
            case L'e':
            case L'E':
            case L'g':
            case L'G':
            case L'a':
            case L'A': PutFloat(sink, directive, conversion, args); break;
            case L'c':
            case L'C': PutCharacter(sink, directive, conversion, args); break;
            case L's':
            case L'S': PutText(sink, directive, conversion, args); break;
            case L'n': (void)va_arg(args.list, void*); break;  // takes its pointer, stores nothing
            case L'%': sink.Put(L'%'); break;
            default: sink.Put(percent, static_cast<std::size_t>(p - percent)); break;
        }
    }
}

}  // namespace

std::size_t FormattedLength(const wchar_t* format, va_list args) {
    Arguments copy;
    va_copy(copy.list, args);
    CountingSink sink;
    Format(sink, format, copy);
    va_end(copy.list);
    return sink.Length();
}

std::size_t FormatInto(wchar_t* out, std::size_t capacity, const wchar_t* format, va_list args) {
    Arguments copy;
    va_copy(copy.list, args);
    BufferSink sink(out, capacity);
    Format(sink, format, copy);
    va_end(copy.list);
    sink.Terminate(capacity);
    return sink.Length();
}

}  // namespace lum::platform
