#include "WorkerThreads.h"

#include <QTest>
#include <atomic>
#include <future>
#include <thread>

using namespace kelvos;

class TestWorkerThreads : public QObject {
    Q_OBJECT
private slots:
    // A read-out after one that has ended runs on the same thread: no thread is started per lap.
    void anEndedJobLeavesItsThreadToTheNext() {
        WorkerThreads threads;
        std::thread::id first, second;
        threads.start([&](std::stop_token) { first = std::this_thread::get_id(); });
        threads.waitUntilIdle();
        threads.start([&](std::stop_token) { second = std::this_thread::get_id(); });
        threads.waitUntilIdle();
        QCOMPARE(second, first);
        QVERIFY(first != std::this_thread::get_id());
    }

    // A job held in a long pause does not hold up the next one: the clipboard's five-second
    // repeat must not delay the next lap's read-out.
    void aJobStartsBesideABusyOne() {
        WorkerThreads threads;
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        threads.start([released](std::stop_token) { released.wait(); });
        std::promise<void> ran;
        threads.start([&ran](std::stop_token) { ran.set_value(); });
        QVERIFY(ran.get_future().wait_for(std::chrono::seconds(5)) == std::future_status::ready);
        release.set_value();
        threads.waitUntilIdle();
    }

    // stopAll returns even when a job starts another while it is told to stop: the new job
    // finds its stop already asked, as a window closing must not wait for a read-out.
    void stopAllEndsJobsStartedWhileStopping() {
        WorkerThreads threads;
        std::atomic<bool> secondSawStop{false};
        std::promise<void> waiting;
        threads.start([&](std::stop_token stop) {
            waiting.set_value();
            while (!stop.stop_requested())
                std::this_thread::yield();
            threads.start([&](std::stop_token inner) { secondSawStop = inner.stop_requested(); });
        });
        waiting.get_future().wait();
        threads.stopAll([] {});
        threads.waitUntilIdle();
        QVERIFY(secondSawStop);
    }
};

QTEST_GUILESS_MAIN(TestWorkerThreads)
#include "tst_workerthreads.moc"
