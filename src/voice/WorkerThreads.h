#pragma once

#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <stop_token>
#include <thread>

namespace kelvos {

// Runs each job at once on a thread of its own, as a new thread per job would, but keeps a
// thread whose job has ended for the next job: starting a thread costs the caller tens of
// microseconds, and the UI thread starts a read-out at every lap.
class WorkerThreads {
public:
    using Job = std::function<void(std::stop_token)>;

    WorkerThreads() = default;
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // May be called from a job: the new job runs beside it.
    void start(Job job);
    // Blocks until no job runs, counting the jobs that running jobs start.
    void waitUntilIdle();
    // When jobs run: asks each to stop, runs interrupt (to cut short what a job waits for) and
    // waits until every job has ended. A job started meanwhile finds its stop asked at once.
    void stopAll(const std::function<void()>& interrupt);

private:
    struct Worker {
        std::thread thread;
        std::condition_variable wake;
        Job job;
        std::stop_source stop;
        bool busy = false;
    };
    void serve(Worker& worker);

    std::mutex mutex_;
    std::condition_variable idle_;
    std::list<Worker> workers_; // a list, so that a worker stays where its thread found it
    int running_ = 0;
    bool stopping_ = false;
    bool closing_ = false;
};

} // namespace kelvos
