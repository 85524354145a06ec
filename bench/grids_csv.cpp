// CSV save and load of 100 000 lap rows, each also given as a multiple of the time it takes
// to read the same file line by line without parsing ("vs_line_read").
#include "CellStore.h"
#include "CsvFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>

using namespace kelvos;

namespace {

constexpr int lapRows = 100000;
constexpr int resultColumns = 10;

CellStore lapGrid() {
    CellStore store(lapRows + 1, resultColumns);
    for (int r = 1; r <= lapRows; ++r) {
        const int lapMs = 55000 + r % 20000;
        store.setRow(r,
                     {QString::number(r), QStringLiteral("Team %1, car").arg(r % 3 + 1),
                      QStringLiteral("01:%1:%2:%3")
                          .arg(r % 60, 2, 10, QLatin1Char('0'))
                          .arg(r % 59, 2, 10, QLatin1Char('0'))
                          .arg(r % 1000, 3, 10, QLatin1Char('0')),
                      QStringLiteral("00:00:55:123"), QStringLiteral("-1:250"),
                      QStringLiteral("12:34:56"), QString::number(lapMs), QStringLiteral("123.456"),
                      QString::number(lapMs - 500), QStringLiteral("121.004")});
    }
    return store;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor any loader has to pay: the file's lines read, nothing made of them.
void readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd())
        benchmark::DoNotOptimize(file.readLine());
}

double lineReadSeconds(const QString& path) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round)
        best = std::min(best, secondsOf([&] { readLines(path); }));
    return best;
}

struct CsvFixture {
    CsvFixture() : store(lapGrid()), path(dir.filePath("laps.csv")) {
        writeCsvFile(path, csvFileBytes(store, lapRows));
        lineRead = lineReadSeconds(path);
    }
    QTemporaryDir dir;
    CellStore store;
    QString path;
    double lineRead = 0;
};

const CsvFixture& fixture() {
    static const CsvFixture shared;
    return shared;
}

void reportAgainstLineRead(benchmark::State& state, double seconds) {
    state.counters["vs_line_read"] = seconds / double(state.iterations()) / fixture().lineRead;
    state.SetItemsProcessed(int64_t(state.iterations()) * lapRows);
}

void BM_SaveCsv100000Rows(benchmark::State& state) {
    const CsvFixture& csv = fixture();
    const QString target = csv.dir.filePath("saved.csv");
    double seconds = 0;
    for (auto _ : state)
        seconds += secondsOf([&] { writeCsvFile(target, csvFileBytes(csv.store, lapRows)); });
    reportAgainstLineRead(state, seconds);
}
BENCHMARK(BM_SaveCsv100000Rows)->Unit(benchmark::kMillisecond);

void BM_LoadCsv100000Rows(benchmark::State& state) {
    const CsvFixture& csv = fixture();
    double seconds = 0;
    for (auto _ : state) {
        seconds += secondsOf([&] {
            CellStore loaded(12, resultColumns);
            loadCsvRows(loaded, readCsvFile(csv.path).text);
            benchmark::DoNotOptimize(loaded);
        });
    }
    reportAgainstLineRead(state, seconds);
}
BENCHMARK(BM_LoadCsv100000Rows)->Unit(benchmark::kMillisecond);

void BM_ReadLines100000Rows(benchmark::State& state) {
    const CsvFixture& csv = fixture();
    double seconds = 0;
    for (auto _ : state)
        seconds += secondsOf([&] { readLines(csv.path); });
    reportAgainstLineRead(state, seconds);
}
BENCHMARK(BM_ReadLines100000Rows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
