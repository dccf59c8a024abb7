#include "reader/object_scanner.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/find_bytes.h"

namespace lum {

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// Bytes after an opening parenthesis that tell an object and its class.
constexpr std::size_t kLookAhead = 64;
// Constructs nested deeper are followed by their count only.
constexpr std::size_t kMaxFrames = 4096;

enum : unsigned char { Plain, Open, Close, Quote, Bar, LineFeed, Backslash };

struct tClasses {
    unsigned char code[256] = {};    // outside strings
    unsigned char quoted[256] = {};  // inside a quoted string

    constexpr tClasses() {
        code[static_cast<unsigned char>('(')] = Open;
        code[static_cast<unsigned char>(')')] = Close;
        code[static_cast<unsigned char>('"')] = Quote;
        code[static_cast<unsigned char>('|')] = Bar;
        code[static_cast<unsigned char>('\n')] = LineFeed;
        quoted[static_cast<unsigned char>('"')] = Quote;
        quoted[static_cast<unsigned char>('\n')] = LineFeed;
        quoted[static_cast<unsigned char>('\\')] = Backslash;
    }
};

constexpr tClasses Classes;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool EndsWord(char c) { return IsSpace(c) || c == '(' || c == ')' || c == '"'; }

// `text` (at least kLookAhead bytes, or what is left of the file) follows an
// opening parenthesis: true for "object" and a class word other than Font.
bool OpensObject(const char* text, std::size_t size) {
    static constexpr char kKeyword[] = "object";
    constexpr std::size_t length = sizeof kKeyword - 1;
    if (size <= length || std::memcmp(text, kKeyword, length) != 0 || !IsSpace(text[length])) return false;
    std::size_t at = length;
    while (at < size && IsSpace(text[at])) ++at;
    std::size_t end = at;
    while (end < size && !EndsWord(text[end])) ++end;
    if (end == at || end == size) return false;  // no class word, or one not seen whole
    static constexpr char kFont[] = "font";
    if (end - at != sizeof kFont - 1) return true;
    for (std::size_t i = 0; i < end - at; ++i) {
        const char c = text[at + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kFont[i]) return true;
    }
    return false;
}

class tScanner {
public:
    explicit tScanner(std::uint64_t minBytes) : m_minBytes(minBytes) {}

    // Takes the first `to` bytes of the buffer, which starts at file offset
    // `base` and follows the bytes taken before; the bytes up to `limit` may
    // be looked at.
    void Scan(const char* buffer, std::size_t to, std::size_t limit, std::uint64_t base);
    // The runs in file order: a run is found when it ends, after the runs
    // inside a later sibling.
    std::vector<tObjectStart> Take() {
        std::sort(m_found.begin(), m_found.end(),
                  [](const tObjectStart& a, const tObjectStart& b) { return a.offset < b.offset; });
        return std::move(m_found);
    }

private:
    struct tFrame {
        std::uint64_t offset;
        int line;
        bool object;    // an object that is not a font
        bool adjacent;  // only white space since the construct before it closed
        bool holds = false;  // a run found is inside
        // The run of objects inside that is growing.
        bool runOpen = false;
        int runLine = 0;
        std::uint64_t runStart = 0;
        std::uint64_t runEnd = 0;
    };

    void Opened(const char* at, std::size_t size, std::uint64_t offset, bool adjacent);
    void Closed(std::uint64_t offset);
    // Ends `frame`'s run, keeping it when it is long enough.
    void EndRun(tFrame& frame, std::uint64_t minBytes);

    enum class tMode { Code, Quoted, Escaped, BarLine };

    std::uint64_t m_minBytes;
    tMode m_mode = tMode::Code;
    int m_line = 1;
    char m_previous = '\n';
    std::vector<tFrame> m_frames;
    std::size_t m_deeper = 0;  // open constructs past kMaxFrames
    std::vector<tObjectStart> m_found;
};

void tScanner::Opened(const char* at, std::size_t size, std::uint64_t offset, bool adjacent) {
    if (m_frames.size() == kMaxFrames) {
        ++m_deeper;
        return;
    }
    m_frames.push_back({offset, m_line, OpensObject(at, size), adjacent});
}

void tScanner::EndRun(tFrame& frame, std::uint64_t minBytes) {
    if (frame.runOpen && frame.runEnd - frame.runStart >= minBytes) {
        m_found.push_back({frame.runStart, frame.runLine, frame.runEnd});
        frame.holds = true;
    }
    frame.runOpen = false;
}

void tScanner::Closed(std::uint64_t offset) {
    if (m_deeper > 0) {
        --m_deeper;
        return;
    }
    if (m_frames.empty()) return;
    tFrame frame = m_frames.back();
    m_frames.pop_back();
    EndRun(frame, m_minBytes / 4);
    if (m_frames.empty()) return;  // a top-level object is the file's own
    tFrame& parent = m_frames.back();
    if (frame.holds || !frame.object) {
        EndRun(parent, m_minBytes / 4);
        parent.holds = parent.holds || frame.holds;
        return;
    }
    if (!parent.runOpen || !frame.adjacent) {
        EndRun(parent, m_minBytes / 4);
        parent.runOpen = true;
        parent.runStart = frame.offset;
        parent.runLine = frame.line;
    }
    parent.runEnd = offset + 1;
    if (parent.runEnd - parent.runStart >= m_minBytes) EndRun(parent, m_minBytes);
}

void tScanner::Scan(const char* buffer, std::size_t to, std::size_t limit, std::uint64_t base) {
    std::size_t i = 0;
    while (i < to) {
        switch (m_mode) {
            case tMode::Code: {
                i = static_cast<std::size_t>(platform::FindAnyOf<'(', ')', '"', '|', '\n'>(buffer + i, buffer + to) - buffer);
                if (i == to) break;
                switch (Classes.code[static_cast<unsigned char>(buffer[i])]) {
                    case Open: {
                        // Nothing but white space back to a closing parenthesis.
                        std::size_t back = i;
                        while (back > 0 && IsSpace(buffer[back - 1])) --back;
                        Opened(buffer + i + 1, limit - i - 1, base + i, back > 0 && buffer[back - 1] == ')');
                        break;
                    }
                    case Close:
                        Closed(base + i);
                        break;
                    case Quote:
                        m_mode = tMode::Quoted;
                        break;
                    case Bar:
                        // A bar begins a line of text only where a token begins.
                        if (IsSpace(i > 0 ? buffer[i - 1] : m_previous)) m_mode = tMode::BarLine;
                        break;
                    default:
                        ++m_line;
                        break;
                }
                ++i;
                break;
            }
            case tMode::Quoted: {
                i = static_cast<std::size_t>(platform::FindAnyOf<'"', '\\', '\n'>(buffer + i, buffer + to) - buffer);
                if (i == to) break;
                const unsigned char cls = Classes.quoted[static_cast<unsigned char>(buffer[i++])];
                if (cls == Quote) m_mode = tMode::Code;
                else if (cls == Backslash) m_mode = tMode::Escaped;
                else ++m_line;
                break;
            }
            case tMode::Escaped:
                if (buffer[i++] == '\n') ++m_line;
                m_mode = tMode::Quoted;
                break;
            case tMode::BarLine: {
                const void* feed = std::memchr(buffer + i, '\n', to - i);
                if (feed == nullptr) {
                    i = to;
                    break;
                }
                i = static_cast<std::size_t>(static_cast<const char*>(feed) - buffer) + 1;
                ++m_line;
                m_mode = tMode::Code;
                break;
            }
        }
    }
    if (to > 0) m_previous = buffer[to - 1];
}

}  // namespace

std::vector<tObjectStart> FindObjectsToReadAhead(std::istream& in, std::uint64_t minBytes,
                                                 const std::atomic<bool>& stop) {
    tScanner scanner(minBytes);
    std::unique_ptr<char[]> buffer(new char[kBlockSize + kLookAhead]);
    std::size_t held = 0;    // bytes in the buffer
    std::uint64_t base = 0;  // the file offset of buffer[0]
    bool atEnd = false;
    while (!stop.load(std::memory_order_relaxed)) {
        if (!atEnd) {
            in.read(buffer.get() + held, static_cast<std::streamsize>(kBlockSize + kLookAhead - held));
            const std::streamsize got = in.gcount();
            held += static_cast<std::size_t>(got);
            atEnd = got <= 0 || !in;
        }
        // All but the look-ahead, which is scanned with the next block.
        const std::size_t to = atEnd ? held : held - std::min(held, kLookAhead);
        scanner.Scan(buffer.get(), to, held, base);
        if (atEnd) break;
        std::memmove(buffer.get(), buffer.get() + to, held - to);
        base += to;
        held -= to;
    }
    return scanner.Take();
}

}  // namespace lum
