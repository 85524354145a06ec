// The work of the real main window, offscreen, on a fake clock:
// - one 20 ms refresh (read the clock, format the total and the lap in progress, the title);
// - one lap of competitor 1 early in a run and after 100 000 laps: the cost must not grow with
//   the number of laps, so the 20 ms refresh never slips;
// - one rebuild of the lap chart from 1 000 and from 100 000 rows.
#include "BenchWindowServices.h"
#include "MillisecondClock.h"
#include "OffscreenBenchMain.h"
#include "PressTiming.h"
#include "TKelvoS.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {
struct BenchWindow {
    BenchWindow() {
        KelvosServices services = benchWindowServices(timing, player, folder);
        window = std::make_unique<TKelvoS>(std::move(services));
        window->show();
        window->StartClick();
    }
    QTemporaryDir folder;
    kelvos::ManualClock clock;
    kelvos::PressTiming timing{clock};
    SilentClipPlayer player;
    std::unique_ptr<TKelvoS> window;
};

void BM_Timer1Timer(benchmark::State& state) {
    BenchWindow bench;
    bench.clock.advance(60000);
    bench.window->LapClick(); // from now on the lap in progress is formatted too
    for (auto _ : state) {
        bench.clock.advance(20);
        bench.window->Timer1Timer();
    }
}
BENCHMARK(BM_Timer1Timer)->Unit(benchmark::kMicrosecond);

void BM_LapClickAtLapCount(benchmark::State& state) {
    BenchWindow bench;
    kelvos::ManualClock& clock = bench.clock;
    TKelvoS& window = *bench.window;
    for (int lap = 1; lap < state.range(0); ++lap) {
        clock.advance(60000);
        window.LapClick();
    }
    // The events the laps before posted would otherwise all be handled in the first measured
    // repaint; in use each lap's events are handled before the next lap.
    QCoreApplication::processEvents();
    for (auto _ : state) {
        clock.advance(60000);
        window.LapClick();
        if (state.range(1) != 0)
            QCoreApplication::processEvents(); // the repaints the lap asked for
    }
    state.counters["laps"] = window.lapState().Lap1.LapCount;
}
// Second argument: 0 the handler alone, 1 the handler and the repaint it causes.
BENCHMARK(BM_LapClickAtLapCount)
    ->ArgNames({"laps", "repaint"})
    ->Args({1000, 0})
    ->Args({100000, 0})
    ->Args({1000, 1})
    ->Args({100000, 1})
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond);

// "UPdate" after a stop: the whole chart rebuilt from the Main grid's rows, painted once.
void BM_ChartUpdateOfLaps(benchmark::State& state) {
    BenchWindow bench;
    for (int lap = 1; lap <= state.range(0); ++lap) {
        bench.clock.advance(60000 + lap % 7);
        bench.window->LapClick();
    }
    bench.window->StopClick();
    auto* update = bench.window->findChild<QPushButton*>("CuteButton22");
    for (auto _ : state) {
        update->click();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ChartUpdateOfLaps)
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// Resident memory of this process in bytes.
double residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    const QList<QByteArray> pages = statm.readAll().split(' ');
    return pages.value(1).toDouble() * double(sysconf(_SC_PAGESIZE));
}

// What a recorded lap costs in memory, the grids, the chart and the journal included.
void BM_MemoryPerLap(benchmark::State& state) {
    constexpr int laps = 100000;
    for (auto _ : state) {
        BenchWindow bench;
        QCoreApplication::processEvents();
        const double before = residentBytes();
        for (int lap = 1; lap <= laps; ++lap) {
            bench.clock.advance(60000);
            bench.window->LapClick();
            // The calls queued by a press run before the next one, as the event loop runs
            // them between presses; the repaints are left out, as they hold no memory.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }
        QCoreApplication::processEvents();
        state.counters["bytes_per_lap"] = (residentBytes() - before) / laps;
    }
}
BENCHMARK(BM_MemoryPerLap)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
