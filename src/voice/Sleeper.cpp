#include "Sleeper.h"

#include <condition_variable>
#include <mutex>

namespace kelvos {

void ThreadSleeper::sleepFor(std::chrono::milliseconds duration, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    wakeUp.wait_for(lock, stop, duration, [] { return false; });
}

} // namespace kelvos
