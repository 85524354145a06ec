#include "WorkerThreads.h"

#include <algorithm>
#include <utility>

namespace kelvos {

WorkerThreads::~WorkerThreads() {
    stopAll([] {});
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        for (Worker& worker : workers_)
            worker.wake.notify_one();
    }
    for (Worker& worker : workers_)
        worker.thread.join();
}

void WorkerThreads::start(Job job) {
    std::lock_guard lock(mutex_);
    auto idle = std::find_if(workers_.begin(), workers_.end(),
                             [](const Worker& worker) { return !worker.busy; });
    if (idle == workers_.end()) {
        idle = workers_.emplace(workers_.end());
        idle->thread = std::thread([this, &worker = *idle] { serve(worker); });
    }
    idle->stop = std::stop_source();
    if (stopping_)
        idle->stop.request_stop();
    idle->job = std::move(job);
    idle->busy = true;
    ++running_;
    idle->wake.notify_one();
}

void WorkerThreads::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return running_ == 0; });
}

void WorkerThreads::stopAll(const std::function<void()>& interrupt) {
    std::unique_lock lock(mutex_);
    if (running_ == 0)
        return; // nothing to cut short: the player may be sounding something else
    stopping_ = true;
    for (Worker& worker : workers_)
        if (worker.busy)
            worker.stop.request_stop();
    lock.unlock();
    interrupt();
    lock.lock();
    idle_.wait(lock, [this] { return running_ == 0; });
    stopping_ = false;
}

void WorkerThreads::serve(Worker& worker) {
    std::unique_lock lock(mutex_);
    for (;;) {
        worker.wake.wait(lock, [&] { return worker.job || closing_; });
        if (!worker.job)
            return;
        Job job = std::exchange(worker.job, nullptr);
        const std::stop_token stop = worker.stop.get_token();
        lock.unlock();
        job(stop);
        job = nullptr; // what the job holds goes before the job counts as ended
        lock.lock();
        worker.busy = false;
        --running_;
        idle_.notify_all();
    }
}

} // namespace kelvos
