#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <map>

namespace kelvos {

// The latest run of every station that shares its run through the broker, as the board shows
// them. The runs come from another program: a payload that is too large or not a JSON object
// is ignored, and the number of stations and the length of their names are bounded.
class BoardStations {
public:
    static constexpr qsizetype kMaxStations = 64;
    static constexpr qsizetype kMaxRunBytes = 4 * 1024 * 1024;
    static constexpr qsizetype kMaxNameLength = 128;

    enum class Change { None, Updated, Removed };

    // A station's retained run as received; an empty payload: the station's run was removed.
    Change take(const QString& station, const QByteArray& payload);

    // {"station", "run"}: one station's latest run.
    QJsonObject stationJson(const QString& station) const;
    // Every station's, by name.
    QJsonArray toJson() const;
    qsizetype size() const { return qsizetype(runs_.size()); }

private:
    std::map<QString, QJsonObject> runs_;
};

} // namespace kelvos
