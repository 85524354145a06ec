#include "BoardStations.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <benchmark/benchmark.h>

namespace {

// A station's retained run after `laps` laps, as its program publishes it: every lap in both
// grids, ten cells each.
QByteArray retainedRun(int laps) {
    QJsonArray rows;
    for (int lap = 1; lap <= laps; ++lap)
        rows.append(QJsonArray{QString::number(lap), "1", "00:01:02:345", "00:01:02:345", "+0.120",
                               "12:34:56", "62345", "57.741", "62345", "57.741"});
    const QJsonObject run{{"seq", laps + 1},  {"state", "running"}, {"total", laps * 62345},
                          {"mainRows", rows}, {"mixRows", rows},    {"station", "track"}};
    return QJsonDocument(run).toJson(QJsonDocument::Compact);
}

} // namespace

// One station's new run taken in on the live server's thread: the parse of the broker's
// payload that every retained run costs, for runs of 10 to 10 000 laps.
static void takeOneStationsRun(benchmark::State& state) {
    const QByteArray payload = retainedRun(int(state.range(0)));
    kelvos::BoardStations board;
    for (auto _ : state)
        benchmark::DoNotOptimize(board.take(QStringLiteral("track"), payload));
    state.SetBytesProcessed(state.iterations() * payload.size());
}
BENCHMARK(takeOneStationsRun)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
