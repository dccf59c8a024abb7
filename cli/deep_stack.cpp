#include "deep_stack.h"

#include <exception>

#include <pthread.h>

namespace lumcli {

namespace {

// What one level of a recursive walk may take, measured with a margin: the
// sanitizers' instrumented frames are several times larger.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kBytesPerLevel = 8192;
#else
constexpr std::size_t kBytesPerLevel = 2048;
#endif
constexpr std::size_t kBaseStack = std::size_t{64} << 20;

struct tJob {
    const std::function<void()>* work;
    std::exception_ptr failure;
};

void* RunJob(void* argument) {
    auto* job = static_cast<tJob*>(argument);
    try {
        (*job->work)();
    } catch (...) {
        job->failure = std::current_exception();
    }
    return nullptr;
}

}  // namespace

std::size_t StackForDepth(std::size_t depth) { return kBaseStack + depth * kBytesPerLevel; }

bool RunWithStack(std::size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    tJob job{&work, nullptr};
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                         pthread_create(&thread, &attributes, RunJob, &job) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) return false;
    pthread_join(thread, nullptr);
    if (job.failure) std::rethrow_exception(job.failure);
    return true;
}

}  // namespace lumcli
