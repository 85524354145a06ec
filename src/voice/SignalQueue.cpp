#include "SignalQueue.h"

namespace kelvos {

SignalQueue::SignalQueue(ClipPlayer& player) : player_(player), worker_([this] { run(); }) {}

SignalQueue::~SignalQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void SignalQueue::enqueue(const QString& fileName) {
    player_.prepare();
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(fileName);
    }
    changed_.notify_all();
}

void SignalQueue::enqueueBeep() {
    enqueue(QString());
}

void SignalQueue::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void SignalQueue::finishWithin(std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    const auto idle = [this] { return pending_.empty() && !busy_; };
    if (changed_.wait_for(lock, bound, idle))
        return;
    pending_.clear();
    lock.unlock();
    player_.stopSignals();
    lock.lock();
    changed_.wait(lock, idle);
}

void SignalQueue::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty())
            return; // stopping, and everything asked for has been played
        const QString next = pending_.front();
        pending_.pop_front();
        busy_ = true;
        lock.unlock();
        if (next.isEmpty())
            player_.beep();
        else
            player_.playSignal(next);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace kelvos
