#pragma once
// A progress line on standard error for work that takes more than a second,
// shown only when standard error is a terminal.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace lumcli {

class tProgress {
public:
    explicit tProgress(std::string label);
    ~tProgress();  // erases the line
    tProgress(const tProgress&) = delete;
    tProgress& operator=(const tProgress&) = delete;

    void SetLabel(std::string label);

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_label;
    bool m_bDone = false;
    bool m_bShown = false;
    std::thread m_thread;
};

}  // namespace lumcli
