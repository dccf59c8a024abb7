#include "loading/unit_reader.h"

#include <utility>

#include "lum/diagnostics/exceptions.h"
#include "lum/diagnostics/reporter.h"
#include "lum/reader/parse_files.h"
#include "lum/reader/parser.h"
#include "lum/reader/vellum_lexer.h"

namespace lum {

tUnitReader::tUnitReader(unsigned workers)
    : m_codePage(WString::GetLocalePage()), m_wholeTexts(tVellumLexer::GetConvertTextsWhole()) {
    for (unsigned i = 0; i < workers; ++i) m_workers.emplace_back([this] { Work(); });
}

tUnitReader::~tUnitReader() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

void tUnitReader::Offer(std::size_t id, const WString& path) {
    if (!ReadsAhead()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_jobs.count(id) != 0) return;
        auto job = std::make_unique<tJob>();
        job->path = path;
        m_jobs[id] = std::move(job);
        m_queue.push_back(id);
    }
    m_changed.notify_one();
}

std::unique_ptr<tUnitReader::tRead> tUnitReader::Claim(std::size_t id, const WString& path) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = m_jobs.find(id);
    if (found == m_jobs.end()) return nullptr;
    std::unique_ptr<tJob> job = std::move(found->second);
    m_jobs.erase(found);
    if (job->state == tJob::Waiting) {
        std::erase(m_queue, id);
        lock.unlock();
        // The path was resolved ahead of time with what the walk knew then;
        // the walk's own resolution decides.
        return job->path == path ? ReadNow(path) : nullptr;
    }
    // While a worker reads this one, the walk reads the next waiting ones
    // rather than wait idle.
    while (job->state != tJob::Done) {
        if (m_queue.empty()) {
            m_changed.wait(lock, [&job, this] { return job->state == tJob::Done || !m_queue.empty(); });
            continue;
        }
        RunNext(lock);
    }
    lock.unlock();
    if (job->failure) std::rethrow_exception(job->failure);
    return job->path == path ? std::move(job->result) : nullptr;
}

std::unique_ptr<tUnitReader::tRead> tUnitReader::ReadNow(const WString& path) {
    auto read = std::make_unique<tRead>();
    ErrorListScope scope(read->errors);
    try {
        read->externalDocs = ParseFile(path, read->file, read->units, 1).externalDocs;
        read->read = true;
    } catch (const LUMException&) {
        read->read = false;
    }
    return read;
}

void tUnitReader::Run(tJob& job) {
    try {
        job.result = ReadNow(job.path);
    } catch (...) {
        job.failure = std::current_exception();
    }
}

void tUnitReader::Work() {
    WString::SetThreadLocalePage(m_codePage);
    tVellumLexer::SetThreadConvertTextsWhole(m_wholeTexts);
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) break;
        RunNext(lock);
    }
    CErrorReporter::GetInstance().ResetReporter();
}

void tUnitReader::RunNext(std::unique_lock<std::mutex>& lock) {
    tJob* job = m_jobs.at(m_queue.front()).get();
    m_queue.pop_front();
    job->state = tJob::Running;
    lock.unlock();
    Run(*job);
    lock.lock();
    job->state = tJob::Done;
    m_changed.notify_all();
}

}  // namespace lum
