// The work of the real main window, offscreen, on a fake clock:
// - one 20 ms refresh (read the clock, format the total and the lap in progress, the title);
// - one lap of competitor 1 early in a run and after 100 000 laps: the cost must not grow with
//   the number of laps, so the 20 ms refresh never slips.
#include "ClipPlayer.h"
#include "MillisecondClock.h"
#include "PressTiming.h"
#include "TKelvoS.h"
#include "fakehotkeybackend.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
struct BenchWindow {
    BenchWindow() {
        KelvosServices services;
        services.timing = &timing;
        services.player = &player;
        services.hotkeys = std::make_unique<kelvos::FakeHotkeyBackend>();
        services.now = [] { return QDateTime(QDate(2026, 12, 8), QTime(12, 0)); };
        services.workingDirectory = folder.path();
        services.settingsFile = folder.filePath("kelvos.ini");
        window = std::make_unique<TKelvoS>(std::move(services));
        window->show();
        window->StartClick();
    }
    QTemporaryDir folder;
    kelvos::ManualClock clock;
    kelvos::PressTiming timing{clock};
    kelvos::RecordingClipPlayer player;
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
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
