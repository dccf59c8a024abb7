#include "progress.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace lumcli {

tProgress::tProgress(std::string label) : m_label(std::move(label)) {
    if (isatty(STDERR_FILENO)) m_thread = std::thread([this] { Run(); });
}

tProgress::~tProgress() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bDone = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void tProgress::SetLabel(std::string label) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_label = std::move(label);
}

void tProgress::Run() {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    // Quiet for the first second; then a line that counts the seconds.
    while (!m_wake.wait_for(lock, milliseconds(250), [this] { return m_bDone; })) {
        const double seconds = duration<double>(steady_clock::now() - start).count();
        if (seconds < 1.0) continue;
        std::fprintf(stderr, "\r\033[Klum: %s... %.0f s", m_label.c_str(), seconds);
        std::fflush(stderr);
        m_bShown = true;
    }
    if (m_bShown) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

}  // namespace lumcli
