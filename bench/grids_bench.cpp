// Grid figures: header sort of 65 535 rows, comma text throughput, memory per lap row.
#include "CellStore.h"
#include "CommaText.h"
#include "Sorting.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace kelvos;

namespace {

constexpr int resultColumns = 10;

// A lap row as the Main grid holds it.
QStringList lapRow(int lap, std::mt19937& random) {
    const int lapMs = 55000 + int(random() % 20000);
    return {QString::number(lap),
            QStringLiteral("Competitor %1").arg(random() % 3 + 1),
            QStringLiteral("00:%1:%2:%3")
                .arg(lap % 60, 2, 10, QLatin1Char('0'))
                .arg(lap % 59, 2, 10, QLatin1Char('0'))
                .arg(lap % 1000, 3, 10, QLatin1Char('0')),
            QStringLiteral("00:01:%1:%2")
                .arg(lapMs / 1000 % 60, 2, 10, QLatin1Char('0'))
                .arg(lapMs % 1000, 3, 10, QLatin1Char('0')),
            QStringLiteral("-00:00:01:250"),
            QStringLiteral("12:34:56"),
            QString::number(lapMs),
            QStringLiteral("123.456"),
            QString::number(lapMs - 500),
            QStringLiteral("121.004")};
}

CellStore lapGrid(int dataRows) {
    std::mt19937 random(42);
    CellStore store(dataRows + 1, resultColumns);
    for (int r = 1; r <= dataRows; ++r)
        store.setRow(r, lapRow(r, random));
    return store;
}

void BM_HeaderSort65535Rows(benchmark::State& state) {
    const CellStore original = lapGrid(65535);
    for (auto _ : state) {
        state.PauseTiming();
        CellStore store = original;
        state.ResumeTiming();
        headerSortRows(store, 1, 1, store.rowCount() - 1, SortDirection::Descending);
        benchmark::DoNotOptimize(store);
    }
}
BENCHMARK(BM_HeaderSort65535Rows)->Unit(benchmark::kMillisecond);

QStringList lapLines(int rows) {
    std::mt19937 random(7);
    QStringList lines;
    for (int r = 0; r < rows; ++r)
        lines << writeCommaText(lapRow(r, random));
    return lines;
}

qsizetype utf8Bytes(const QStringList& lines) {
    qsizetype bytes = 0;
    for (const QString& line : lines)
        bytes += line.toUtf8().size();
    return bytes;
}

void BM_CommaTextRead(benchmark::State& state) {
    const QStringList lines = lapLines(1000);
    for (auto _ : state) {
        for (const QString& line : lines)
            benchmark::DoNotOptimize(readCommaText(line));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * utf8Bytes(lines));
}
BENCHMARK(BM_CommaTextRead);

void BM_CommaTextWrite(benchmark::State& state) {
    std::mt19937 random(7);
    QList<QStringList> rows;
    for (int r = 0; r < 1000; ++r)
        rows << lapRow(r, random);
    const qsizetype bytes = utf8Bytes(lapLines(1000));
    for (auto _ : state) {
        for (const QStringList& row : rows)
            benchmark::DoNotOptimize(writeCommaText(row));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}
BENCHMARK(BM_CommaTextWrite);

void BM_MemoryPerLapRow(benchmark::State& state) {
    const int rows = 100000;
    for (auto _ : state) {
        const CellStore store = lapGrid(rows);
        state.counters["bytes_per_row"] = double(store.memoryUsage()) / rows;
        state.counters["bytes_per_empty_row"] =
            double(CellStore(rows + 1, resultColumns).memoryUsage()) / rows;
    }
}
BENCHMARK(BM_MemoryPerLapRow)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
