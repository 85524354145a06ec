#pragma once

#include "HistoryRun.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <optional>

namespace kelvos {

// What the history list is narrowed to; empty parts narrow nothing.
struct HistoryFilter {
    QString name;   // part of any competitor's name
    QString course; // part of the course
    QDate from;     // first day, local time
    QDate to;       // last day, local time
};

// One competitor's figures in one run, for the progress over time.
struct ProgressPoint {
    QDateTime started;
    qint32 bestLap = 0; // ms
    qint32 average = 0; // ms, over the run's laps
};

// The run history in one database, through one connection of the thread that opens it.
// Every run is kept once: by its id and by the digest of its laps.
class HistoryStore {
public:
    enum class Added { Added, AlreadyKept, Failed };

    explicit HistoryStore(QString connectionName);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the SQLite file (creating its folder and the file), brings its tables to the
    // present version. Returns the error, or an empty string.
    QString openFile(const QString& path);
    // Opens a club's PostgreSQL database, "postgresql://user@host:port/database"; a socket
    // folder is given as "?host=/run/postgresql". Brings its tables to the present version.
    // Returns the error, or an empty string.
    QString openAddress(const QString& address);
    void close();
    bool isOpen() const;
    QString lastError() const { return lastError_; }

    Added add(const HistoryRun& run);
    std::optional<HistoryRun> run(const QString& id);
    // The runs of this database that have not gone up to the club's yet, oldest first, and the
    // mark that one has.
    QStringList runsNotUploaded();
    bool markUploaded(const QString& id);
    qint64 runCount();

    // The list of runs, newest first: id, started, course, name1..3, laps1..3, best1..3.
    QSqlQuery listQuery(const HistoryFilter& filter);
    // For each run of the named competitor on the course, oldest first.
    QList<ProgressPoint> progress(const QString& name, const QString& course);

    QSqlDatabase database() const;

    // Where the station keeps its history: history.sqlite in the user's data folder for KelvoS.
    static QString defaultPath();

private:
    QString migrate();
    QString openDatabase();
    bool fail(const QString& what, const QString& error);

    QString connectionName_;
    QString lastError_;
};

} // namespace kelvos
