#include "HistoryRecorder.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace kelvos {

namespace {

QString unitText(SpeedUnit unit) {
    return unit == SpeedUnit::MilesPerHour ? "mph" : "km/h";
}

} // namespace

HistoryRecorder::HistoryRecorder(const QString& path, const QString& clubAddress,
                                 std::function<void(const QString&)> reportProblem, QObject* parent)
    : QObject(parent), reportProblem_(std::move(reportProblem)) {
    writer_ = new HistoryWriter(path, clubAddress, [this](const QString& problem) {
        QMetaObject::invokeMethod(
            this, [this, problem] { tell(problem); }, Qt::QueuedConnection);
    });
    writer_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    thread_.setObjectName("history");
    thread_.start();
}

// Every run handed over is written before the program ends.
HistoryRecorder::~HistoryRecorder() {
    waitUntilWritten();
    thread_.quit();
    thread_.wait();
}

void HistoryRecorder::take(const RunEvent& event) {
    switch (event.kind) {
    case RunEventKind::Started:
        run_.emplace();
        run_->id = newRunId();
        run_->started = event.wallClock;
        break;
    case RunEventKind::Lap:
        if (run_)
            run_->laps << HistoryLap{event.lap.competitor, event.lap.total, event.lap.lap,
                                     event.lap.rowTexts()};
        break;
    case RunEventKind::Stopped:
        if (run_) {
            run_->stopped = event.wallClock;
            run_->course = event.details.course;
            run_->unit = unitText(event.details.unit);
            run_->names = event.details.names;
            hand(*run_);
        }
        break;
    case RunEventKind::Restarted:
        // The run goes on: once it stops again it takes the place of what was stored at the stop.
        if (run_) {
            run_->replaces = run_->id;
            run_->id = newRunId();
        }
        break;
    case RunEventKind::Reset:
        run_.reset();
        break;
    case RunEventKind::MainGridLoaded:
    case RunEventKind::MixGridLoaded:
    case RunEventKind::DetailsChanged:
        break;
    }
}

void HistoryRecorder::hand(HistoryRun run) {
    QMetaObject::invokeMethod(
        writer_,
        [this, writer = writer_, run = std::move(run)] {
            writer->write(run);
            QMetaObject::invokeMethod(this, &HistoryRecorder::written, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void HistoryRecorder::waitUntilWritten() {
    QMetaObject::invokeMethod(
        writer_, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(this); // the problems the writer posted meanwhile
}

void HistoryRecorder::importFiles(const QStringList& paths,
                                  std::function<void(const ImportReport&)> done) {
    QMetaObject::invokeMethod(
        writer_,
        [this, writer = writer_, paths, done = std::move(done)] {
            const ImportReport report = writer->importFiles(paths);
            QMetaObject::invokeMethod(
                this, [done, report] { done(report); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

// Told once: every later run would fail the same way.
void HistoryRecorder::tell(const QString& problem) {
    if (!std::exchange(problemTold_, true))
        reportProblem_(problem + " Runs are still saved to their Mix files.");
}

} // namespace kelvos
