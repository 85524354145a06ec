// The run history at club scale, 10 000 runs of 100 laps (1 000 000 laps), offscreen:
// - opening the history window: the list's first page shown (goal < 300 ms);
// - a search by name typed into it (goal < 100 ms);
// - the UI thread's cost of handing a stopped run of 1 000 laps to the writer.
#include "HistoryRecorder.h"
#include "HistoryStore.h"
#include "HistoryWindow.h"
#include "OffscreenBenchMain.h"

#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kelvos;

namespace {

constexpr int kRuns = 10000;
constexpr int kLapsPerRun = 100;

const QStringList kNames = {"Ann", "Bob", "Cid", "Dora", "Emil", "Fay", "Gus", "Hana"};

HistoryRun benchRun(int index) {
    HistoryRun run;
    run.id = newRunId();
    run.started = QDateTime(QDate(2020, 1, 1), QTime(8, 0)).addSecs(qint64(index) * 3600);
    run.stopped = run.started.addSecs(1800);
    run.course = QString::number(400 + 100 * (index % 5));
    run.unit = "km/h";
    run.names = {kNames[index % 8], kNames[(index + 1) % 8], kNames[(index + 2) % 8]};
    for (int lap = 1; lap <= kLapsPerRun; ++lap) {
        const int competitor = (lap - 1) % 3 + 1;
        const qint32 lapMs = 60000 + (index * 7 + lap * 13) % 5000;
        run.laps << HistoryLap{competitor,
                               lap * 20000,
                               lapMs,
                               {QString::number(lap), run.names[competitor - 1],
                                QString::number(lap * 20000), QString::number(lapMs), "+0.100",
                                "08:00:00", QString::number(lapMs), "24.000",
                                QString::number(lapMs), "24.000"}};
    }
    return run;
}

// The history, filled once for every benchmark of the process.
const QString& filledHistory() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath("history.sqlite");
        HistoryStore store("bench-filler");
        store.openFile(file);
        QSqlQuery(store.database()).exec("PRAGMA synchronous=OFF");
        for (int run = 0; run < kRuns; ++run)
            store.add(benchRun(run));
        return file;
    }();
    return path;
}

void BM_OpenHistoryWindow(benchmark::State& state) {
    const QString& path = filledHistory();
    for (auto _ : state) {
        HistoryWindow window(path);
        window.show();
        benchmark::DoNotOptimize(window.findChild<QTableView*>("historyList")->model()->rowCount());
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenHistoryWindow)->Unit(benchmark::kMillisecond);

void BM_SearchByName(benchmark::State& state) {
    HistoryWindow window(filledHistory());
    window.show();
    auto* name = window.findChild<QLineEdit*>("historyName");
    auto* list = window.findChild<QTableView*>("historyList");
    int turn = 0;
    for (auto _ : state) {
        name->setText(kNames[turn++ % 8].left(2)); // the list is read again as it is typed
        benchmark::DoNotOptimize(list->model()->rowCount());
    }
}
BENCHMARK(BM_SearchByName)->Unit(benchmark::kMillisecond);

void BM_HandOverStoppedRun(benchmark::State& state) {
    QTemporaryDir dir;
    HistoryRecorder recorder(dir.filePath("history.sqlite"), {}, [](const QString&) {});
    RunEvent stopped;
    stopped.kind = RunEventKind::Stopped;
    for (auto _ : state) {
        state.PauseTiming();
        RunEvent event;
        event.kind = RunEventKind::Started;
        recorder.take(event);
        event.kind = RunEventKind::Lap;
        for (int lap = 1; lap <= 1000; ++lap) {
            event.lap.number = lap;
            event.lap.total = lap * 60000;
            event.lap.lap = 60000 + lap;
            recorder.take(event);
        }
        state.ResumeTiming();
        recorder.take(stopped);
    }
    recorder.waitUntilWritten();
}
BENCHMARK(BM_HandOverStoppedRun)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
