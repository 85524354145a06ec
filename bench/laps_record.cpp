#include "LapBook.h"

#include <benchmark/benchmark.h>

// Records a run of competitor 1's laps through the lap book, as LapClick does at each press.
// The cost per lap must not grow with the number of laps already recorded.
static void recordLapsOfCompetitor1(benchmark::State& state) {
    const auto laps = static_cast<qint32>(state.range(0));
    const QString clockText = QStringLiteral("12:34:56");
    kelvos::LapPress press{0,
                           true,
                           QStringLiteral("400"),
                           true,
                           QStringLiteral("1"),
                           [&clockText] { return clockText; }};
    for (auto _ : state) {
        kelvos::LapBook book(QStringLiteral("."));
        book.start();
        press.elapsed = 0;
        for (qint32 lap = 0; lap < laps; ++lap) {
            press.elapsed += 61000 + lap % 997;
            benchmark::DoNotOptimize(
                book.recordLap(1, press, kelvos::SpeedUnit::KilometresPerHour));
        }
    }
    state.counters["time_per_lap"] = benchmark::Counter(
        static_cast<double>(laps),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(recordLapsOfCompetitor1)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
