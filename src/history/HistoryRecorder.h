#pragma once

#include "HistoryRun.h"
#include "HistoryWriter.h"
#include "RunEvent.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <optional>

namespace kelvos {

// Collects each run from its events, from Started to Stopped, and hands the finished run to the
// history's writer on a thread of its own: a press never waits for the database. A database
// that cannot be written is told once; the run's files are not its business.
class HistoryRecorder : public QObject {
    Q_OBJECT
public:
    // `clubAddress`: the club's database runs also go to; empty for none.
    HistoryRecorder(const QString& path, const QString& clubAddress,
                    std::function<void(const QString&)> reportProblem, QObject* parent = nullptr);
    ~HistoryRecorder() override;

    // To be subscribed to the run model.
    void take(const RunEvent& event);
    // Blocks until every run handed over so far is written (or failed).
    void waitUntilWritten();
    // Imports on the writer's thread; `done` is called on this object's thread.
    void importFiles(const QStringList& paths, std::function<void(const ImportReport&)> done);

signals:
    // A run handed over is in the history now (or could not be written).
    void written();

private:
    void hand(HistoryRun run);
    void tell(const QString& problem);

    std::function<void(const QString&)> reportProblem_;
    QThread thread_;
    HistoryWriter* writer_; // lives on thread_
    std::optional<HistoryRun> run_;
    bool problemTold_ = false;
};

} // namespace kelvos
