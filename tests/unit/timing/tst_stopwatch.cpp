#include "MillisecondClock.h"
#include "TStopWatch.h"

#include <QTest>
#include <atomic>
#include <thread>

using kelvos::ManualClock;

class TestStopWatch : public QObject {
    Q_OBJECT
private slots:
    void freshWatchReadsZero() {
        ManualClock clock(12345);
        TStopWatch watch(clock);
        QCOMPARE(watch.GetElapsed(), 0);
    }

    void pauseIsExcludedAfterStopAndResume() {
        ManualClock clock(1000);
        TStopWatch watch(clock);
        watch.Start();
        clock.advance(1500);
        watch.Stop();
        clock.advance(5000);
        QCOMPARE(watch.GetElapsed(), 1500); // frozen while stopped
        watch.Resume();
        clock.advance(1000);
        QCOMPARE(watch.GetElapsed(), 2500);
        watch.Stop();
        watch.Stop(); // a second stop re-reads the frozen total
        QCOMPARE(watch.GetElapsed(), 2500);
    }

    void startCountsFromZeroAgain() {
        ManualClock clock;
        TStopWatch watch(clock);
        watch.Start();
        clock.advance(7000);
        watch.Stop();
        watch.Start();
        QCOMPARE(watch.GetElapsed(), 0);
        clock.advance(20);
        QCOMPARE(watch.GetElapsed(), 20);
    }

    void resumeWhileRunningKeepsTheTotal() {
        ManualClock clock;
        TStopWatch watch(clock);
        watch.Start();
        clock.advance(3000);
        watch.Resume();
        QCOMPARE(watch.GetElapsed(), 3000);
    }

    void survivesWrapOfTheClockCounter() {
        ManualClock clock(0xFFFFFF00u);
        TStopWatch watch(clock);
        watch.Start();
        clock.advance(0x200); // the counter wraps past zero
        QCOMPARE(watch.GetElapsed(), 0x200);
        watch.Stop();
        clock.set(0xFFFFFFF0u);
        watch.Resume();
        clock.advance(0x40);
        QCOMPARE(watch.GetElapsed(), 0x240);
    }

    void hundredHoursAndMore() {
        ManualClock clock;
        TStopWatch watch(clock);
        watch.Start();
        clock.advance(100u * 3600u * 1000u);
        QCOMPARE(watch.GetElapsed(), 100 * 3600 * 1000);
        clock.advance(24u * 3600u * 1000u + 1);
        QCOMPARE(watch.GetElapsed(), 124 * 3600 * 1000 + 1);
    }

    // Readers on another thread must only ever see totals the watch really had: between a stop
    // and a resume the total is frozen, so a torn read would show up as a jump.
    void concurrentReadersSeeConsistentTotals() {
        ManualClock clock;
        TStopWatch watch(clock);
        std::atomic<bool> done{false};
        std::atomic<qint32> worst{0};
        std::thread reader([&] {
            qint32 last = 0;
            while (!done.load()) {
                const qint32 now = watch.GetElapsed();
                if (now < last)
                    worst.store(last - now);
                last = now;
            }
        });
        watch.Start();
        for (int i = 0; i < 20000; ++i) {
            clock.advance(1);
            watch.Stop();
            clock.advance(1000); // a pause that must never be counted
            watch.Resume();
        }
        done.store(true);
        reader.join();
        QCOMPARE(worst.load(), 0);
        QCOMPARE(watch.GetElapsed(), 20000);
    }
};

QTEST_APPLESS_MAIN(TestStopWatch)
#include "tst_stopwatch.moc"
