#include "reader/read_ahead.h"

#include <algorithm>
#include <fstream>

#include "lum/diagnostics/reporter.h"
#include "lum/model/classes.h"
#include "lum/reader/parser.h"
#include "lum/reader/vellum_lexer.h"

namespace lum {

namespace {

// While nothing is found yet, the builder asks again after this many bytes.
constexpr std::uint64_t kAskAgainBytes = std::uint64_t{256} << 10;

// The bytes of one run, read from the file at once: a run's reader needs no
// more, and one that runs past them finds the end of its stream.
class tRunBytes : public std::streambuf {
public:
    void Load(std::istream& file, const tObjectStart& start) {
        m_bytes.resize(start.end - start.offset);
        file.clear();
        std::streamsize got = 0;
        if (file.seekg(static_cast<std::streamoff>(start.offset))) {
            file.read(m_bytes.data(), static_cast<std::streamsize>(m_bytes.size()));
            got = file.gcount();
        }
        setg(m_bytes.data(), m_bytes.data(), m_bytes.data() + got);
    }

private:
    std::vector<char> m_bytes;
};

std::unique_ptr<tObjectRead> ReadRun(std::istream& file, tRunBytes& bytes, const tObjectStart& start) {
    auto read = std::make_unique<tObjectRead>();
    read->runEnd = start.end;
    bytes.Load(file, start);
    std::istream in(&bytes);
    ErrorListScope scope(read->errors);
    tModelBuilder builder(read->file, read->units);
    tVellumLexer lexer(in, start.offset, start.line);
    builder.ReadObjectRun(lexer, *read);
    return read;
}

}  // namespace

tObjectRead::~tObjectRead() {
    for (auto& [key, font] : fonts) delete font;
    for (const tReadObject& read : objects) delete read.object;
}

tObjectReadAhead::tObjectReadAhead(const WString& fileName, std::string path, std::uint64_t minObjectBytes,
                                   unsigned helpers, bool readEach)
    : m_fileName(fileName),
      m_path(std::move(path)),
      m_minObjectBytes(minObjectBytes),
      m_readEach(readEach),
      m_codePage(WString::GetLocalePage()),
      m_wholeTexts(tVellumLexer::GetConvertTextsWhole()) {
    try {
        for (unsigned i = 0; i < std::max(helpers, 1u); ++i) m_helpers.emplace_back([this, i] { Work(i == 0); });
    } catch (...) {
        Stop();
        throw;
    }
}

tObjectReadAhead::~tObjectReadAhead() { Stop(); }

void tObjectReadAhead::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop.store(true, std::memory_order_relaxed);
    }
    m_read.notify_all();
    for (std::thread& helper : m_helpers) helper.join();
}

void tObjectReadAhead::Work(bool searches) {
    WString::SetThreadLocalePage(m_codePage);
    tVellumLexer::SetThreadConvertTextsWhole(m_wholeTexts);
    const ClumParser::CurrentFile reading(m_fileName);
    std::ifstream in(m_path, std::ios::in | std::ios::binary);
    if (searches) {
        std::vector<tObjectStart> starts;
        try {
            if (in.is_open()) starts = FindObjectsToReadAhead(in, m_minObjectBytes, m_stop);
        } catch (...) {
            starts.clear();  // nothing is read ahead; the builder reads it all
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_states.assign(starts.size(), tState::Waiting);
            m_reads.resize(starts.size());
            m_starts = std::move(starts);
            m_back = m_starts.size();
            m_ready.store(true, std::memory_order_release);
        }
        m_read.notify_all();
    }
    tRunBytes bytes;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_read.wait(lock, [this] {
        return m_stop.load(std::memory_order_relaxed) || m_ready.load(std::memory_order_relaxed);
    });
    // The runs from the last one backwards, each taken by one helper, until
    // one the builder reached.
    while (!m_stop.load(std::memory_order_relaxed) && m_back > 0 && m_states[m_back - 1] == tState::Waiting) {
        const std::size_t k = --m_back;
        m_states[k] = tState::Reading;
        lock.unlock();
        std::unique_ptr<tObjectRead> read;
        try {
            read = ReadRun(in, bytes, m_starts[k]);
        } catch (...) {
            read.reset();  // the builder reads this one itself
        }
        lock.lock();
        if (m_states[k] == tState::GivenUp) {
            lock.unlock();
            read.reset();  // freed here, not under the lock
            lock.lock();
            continue;
        }
        m_reads[k] = std::move(read);
        m_states[k] = tState::Read;
        m_read.notify_all();
    }
    lock.unlock();
    CErrorReporter::GetInstance().ResetReporter();
}

void tObjectReadAhead::PassBefore(std::uint64_t offset) {
    std::vector<std::unique_ptr<tObjectRead>> unused;  // freed after the lock is let go
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (; m_next < m_starts.size() && m_starts[m_next].offset < offset; ++m_next) {
            unused.push_back(std::move(m_reads[m_next]));
            m_states[m_next] = tState::GivenUp;
        }
    }
}

bool tObjectReadAhead::Ready() {
    if (m_ready.load(std::memory_order_acquire)) return true;
    if (!m_readEach) return false;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_read.wait(lock, [this] { return m_ready.load(std::memory_order_relaxed); });
    return true;
}

std::uint64_t tObjectReadAhead::Next(std::uint64_t from) {
    if (!Ready()) return from + kAskAgainBytes;
    PassBefore(from);
    // Only this thread moves m_next, and m_starts is fixed once ready.
    return m_next < m_starts.size() ? m_starts[m_next].offset : NoMark;
}

std::unique_ptr<tObjectRead> tObjectReadAhead::Claim(std::uint64_t offset, int line) {
    if (!Ready()) return nullptr;
    PassBefore(offset);
    std::unique_ptr<tObjectRead> read;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_next == m_starts.size() || m_starts[m_next].offset != offset) return nullptr;
        const std::size_t k = m_next++;
        if (m_states[k] == tState::Waiting && !m_readEach) {
            m_states[k] = tState::GivenUp;
            return nullptr;
        }
        m_read.wait(lock, [&] { return m_states[k] == tState::Read; });
        read = std::move(m_reads[k]);
        m_states[k] = tState::GivenUp;
        if (m_starts[k].line != line) read.reset();
    }
    if (read == nullptr || !read->complete) return nullptr;
    return read;
}

}  // namespace lum
