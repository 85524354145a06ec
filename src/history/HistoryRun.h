#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace kelvos {

// One lap of a stored run: who pressed, the watch at the press and the row as the Mix grid
// shows it (and the Mix file keeps it).
struct HistoryLap {
    int competitor = 1; // 1..3
    qint32 total = 0;   // ms
    qint32 lap = 0;     // ms
    QStringList row;
};

// A finished run as the history keeps it.
struct HistoryRun {
    QString id;       // unique over every station
    QString replaces; // a run restarted after its stop replaces what was stored at the stop
    QDateTime started;
    QDateTime stopped;
    QString course;
    QString unit; // "km/h" or "mph"
    std::array<QString, 3> names;
    QList<HistoryLap> laps; // in press order

    // The laps' content: the same run, recorded or imported, restored or imported again, gives
    // the same digest, and no other does.
    QByteArray digest() const;
    int lapCount(int competitor) const;
    // The competitor's shortest lap in ms; 0 without laps.
    qint32 bestLap(int competitor) const;
};

// A new id, unique without asking any database.
QString newRunId();

// Whether a Mix file's row is a lap: a lap number from 1 up and the watch in full form.
bool isLapRow(const QStringList& row);

// A Mix file's rows as a run: the competitors are told apart by their names, in the order they
// first pressed; the watch and the lap come from the rows' Total and lap-ms columns.
HistoryRun runFromMixRows(const QList<QStringList>& rows);

} // namespace kelvos
