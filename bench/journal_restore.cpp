// The restore at start-up of a run of 100 000 laps a killed session left in its journal: from
// the window's creation until the run is back in the grids and the chart, stopped, and written
// to its automatic Mix file. Offscreen, on a fake clock.
#include "BenchWindowServices.h"
#include "MillisecondClock.h"
#include "OffscreenBenchMain.h"
#include "PressTiming.h"
#include "RunJournal.h"
#include "TKelvoS.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A run of the three competitors, about 20 s a lap, left running.
QString writeJournal(const QString& folder, int laps) {
    kelvos::RunJournal journal;
    QString error = journal.open(folder + "/kelvos-run.journal");
    error += journal.append(kelvos::JournalEntry{});
    for (int lap = 1; lap <= laps && error.isEmpty(); ++lap) {
        const int competitor = lap % 5 == 0 ? 2 : lap % 7 == 0 ? 3 : 1;
        error = journal.append({kelvos::JournalEntry::Kind::Lap,
                                competitor,
                                lap * 20011,
                                QString::number(competitor),
                                QStringLiteral("400"),
                                true,
                                false,
                                QStringLiteral("12:34:56"),
                                {}});
    }
    return error;
}

void BM_RestoreLaps(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        if (const QString error = writeJournal(folder.path(), int(state.range(0)));
            !error.isEmpty()) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        kelvos::ManualClock clock;
        kelvos::PressTiming timing{clock};
        SilentClipPlayer player;
        KelvosServices services = benchWindowServices(timing, player, folder);
        state.ResumeTiming();
        TKelvoS window(std::move(services));
        window.show();
        while (window.isRestoring())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents(); // the restored run's first paint
        state.counters["laps"] = window.lapState().MixRows;
    }
}
BENCHMARK(BM_RestoreLaps)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
