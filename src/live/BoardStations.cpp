#include "BoardStations.h"

#include <QJsonDocument>

namespace kelvos {

BoardStations::Change BoardStations::take(const QString& station, const QByteArray& payload) {
    if (station.isEmpty() || station.size() > kMaxNameLength)
        return Change::None;
    if (payload.isEmpty())
        return runs_.erase(station) > 0 ? Change::Removed : Change::None;
    if (payload.size() > kMaxRunBytes)
        return Change::None;
    const QJsonDocument document = QJsonDocument::fromJson(payload);
    if (!document.isObject())
        return Change::None;
    const auto known = runs_.find(station);
    if (known == runs_.end() && size() >= kMaxStations)
        return Change::None;
    runs_.insert_or_assign(station, document.object());
    return Change::Updated;
}

QJsonObject BoardStations::stationJson(const QString& station) const {
    const auto found = runs_.find(station);
    return {{"station", station}, {"run", found == runs_.end() ? QJsonObject() : found->second}};
}

QJsonArray BoardStations::toJson() const {
    QJsonArray stations;
    for (const auto& [station, run] : runs_)
        stations.append(QJsonObject{{"station", station}, {"run", run}});
    return stations;
}

} // namespace kelvos
