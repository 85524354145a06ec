#pragma once

#include "HistoryRun.h"
#include "HistoryStore.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

namespace kelvos {

// What an import did.
struct ImportReport {
    int added = 0;
    int alreadyKept = 0;
    QStringList problems; // one line for each file that could not be taken
};

// Writes runs into the history from a thread of its own, through a connection of that thread.
// Lives on that thread: every call comes queued. With a club's database every run goes there
// too, from the station's own history: while the club's cannot be reached the runs wait there
// and go up, each once, when it is back.
class HistoryWriter : public QObject {
    Q_OBJECT
public:
    // `problem` is called on the writer's thread with a text for the operator. `clubAddress`
    // is empty for a station on its own.
    HistoryWriter(QString path, QString clubAddress, std::function<void(const QString&)> problem);
    ~HistoryWriter() override;

    void write(const HistoryRun& run);
    // Mix files, or folders of them (the .csv files directly in them).
    ImportReport importFiles(const QStringList& paths);
    // Sends up every run the club's database does not have yet; false while it cannot be
    // reached (then it is tried again a little later).
    bool upload();

private:
    // Opens the database when it is not open yet; a database that failed is tried again at the
    // next run, so that one freed meanwhile takes it.
    bool ready();
    void addImported(const QString& file, ImportReport& report);
    bool clubReady();
    void clubFailed(const QString& error);

    QString path_;
    std::function<void(const QString&)> problem_;
    std::unique_ptr<HistoryStore> store_;
    QString clubAddress_;
    std::unique_ptr<HistoryStore> club_;
    QTimer* retry_;
};

} // namespace kelvos
