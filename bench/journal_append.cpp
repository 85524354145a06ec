#include "RunJournal.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// One lap appended to the run journal, as each press does before its rows are shown: the cost
// on the UI thread of one write(2), with the worker's fdatasync running beside it.
static void appendOneLap(benchmark::State& state) {
    QTemporaryDir dir;
    kelvos::RunJournal journal;
    if (!journal.open(dir.filePath("bench.journal")).isEmpty()) {
        state.SkipWithError("cannot open the journal");
        return;
    }
    kelvos::JournalEntry start;
    journal.append(start);
    kelvos::JournalEntry lap{kelvos::JournalEntry::Kind::Lap,
                             1,
                             0,
                             QStringLiteral("Competitor, \"one\""),
                             QStringLiteral("400"),
                             true,
                             false,
                             QStringLiteral("12:34:56"),
                             {}};
    for (auto _ : state) {
        lap.total += 61000;
        benchmark::DoNotOptimize(journal.append(lap));
    }
}
BENCHMARK(appendOneLap)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
