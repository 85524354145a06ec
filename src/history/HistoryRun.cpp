#include "HistoryRun.h"

#include "RunEvent.h"

#include <QCryptographicHash>
#include <QUuid>
#include <algorithm>
#include <limits>
#include <optional>

namespace kelvos {

namespace {

// "hh:mm:ss:zzz", the Total column's form, in milliseconds; nothing for anything else.
std::optional<qint32> fullTimeMs(const QString& text) {
    const QStringList parts = text.split(':');
    if (parts.size() != 4)
        return std::nullopt;
    qint64 ms = 0;
    const int scales[] = {3600000, 60000, 1000, 1};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint part = parts[i].trimmed().toUInt(&ok);
        if (!ok)
            return std::nullopt;
        ms += qint64(part) * scales[i];
    }
    return qint32(std::min<qint64>(ms, std::numeric_limits<qint32>::max()));
}

} // namespace

QByteArray HistoryRun::digest() const {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const HistoryLap& lap : laps) {
        for (const QString& cell : lap.row) {
            hash.addData(cell.toUtf8());
            hash.addData(QByteArrayView("\x1f", 1));
        }
        hash.addData(QByteArrayView("\x1e", 1));
    }
    return hash.result().toHex();
}

int HistoryRun::lapCount(int competitor) const {
    return int(std::count_if(laps.begin(), laps.end(), [competitor](const HistoryLap& lap) {
        return lap.competitor == competitor;
    }));
}

qint32 HistoryRun::bestLap(int competitor) const {
    qint32 best = 0;
    for (const HistoryLap& lap : laps)
        if (lap.competitor == competitor && lap.lap > 0 && (best == 0 || lap.lap < best))
            best = lap.lap;
    return best;
}

QString newRunId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool isLapRow(const QStringList& row) {
    bool numbered = false;
    const int lap = row.value(int(LapColumn::Lap)).trimmed().toInt(&numbered);
    return numbered && lap > 0 && fullTimeMs(row.value(int(LapColumn::Total))).has_value();
}

HistoryRun runFromMixRows(const QList<QStringList>& rows) {
    HistoryRun run;
    run.id = newRunId();
    run.unit = "km/h";
    QStringList names;
    for (const QStringList& row : rows) {
        const QString name = row.value(int(LapColumn::Name));
        if (!names.contains(name))
            names << name;
        HistoryLap lap;
        lap.competitor = std::min<int>(int(names.indexOf(name)) + 1, 3);
        lap.total = fullTimeMs(row.value(int(LapColumn::Total))).value_or(0);
        lap.lap = row.value(int(LapColumn::LapMs)).toInt();
        lap.row = row;
        run.laps << lap;
    }
    for (int i = 0; i < std::min<int>(names.size(), 3); ++i)
        run.names[i] = names[i];
    return run;
}

} // namespace kelvos
