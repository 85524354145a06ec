#include "RunSnapshot.h"

#include "RunEventJson.h"

#include <QJsonArray>

namespace kelvos {

void RunSnapshot::putRow(QList<QStringList>& rows, int row, const QStringList& texts) {
    if (row < 1)
        return;
    if (rows.size() < row)
        rows.resize(row);
    rows[row - 1] = texts;
}

void RunSnapshot::apply(const RunEvent& event) {
    sequence_ = event.sequence;
    state_ = event.state;
    total_ = event.total;
    at_ = event.wallClock;
    details_ = event.details;
    switch (event.kind) {
    case RunEventKind::Started:
    case RunEventKind::Reset:
        mainRows_.clear();
        mixRows_.clear();
        lastLaps_ = {};
        gaps_ = {};
        break;
    case RunEventKind::Lap:
        putRow(mainRows_, event.lap.mainRow, event.lap.rowTexts());
        putRow(mixRows_, event.lap.mixRow, event.lap.rowTexts());
        takeLap(event.lap);
        break;
    case RunEventKind::MainGridLoaded:
        mainRows_ = event.gridRows;
        break;
    case RunEventKind::MixGridLoaded:
        mixRows_ = event.gridRows;
        break;
    case RunEventKind::Stopped:
    case RunEventKind::Restarted:
    case RunEventKind::DetailsChanged:
        break;
    }
}

void RunSnapshot::takeLap(const LapFacts& lap) {
    if (lap.competitor >= 1 && lap.competitor <= 3)
        lastLaps_[std::size_t(lap.competitor - 1)] = lap;
    for (std::size_t other = 0; other < gaps_.size(); ++other) {
        if (lap.gaps[other].changed)
            gaps_[other] = lap.gaps[other];
    }
}

QJsonObject RunSnapshot::toJson() const {
    QJsonObject json{
        {"seq", qint64(sequence_)},
        {"state", runStateName(state_)},
        {"total", total_},
        {"details", runDetailsToJson(details_)},
        {"mainRows", rowsToJson(mainRows_)},
        {"mixRows", rowsToJson(mixRows_)},
    };
    if (lastLaps_[0])
        json.insert("lastLap", lapFactsToJson(*lastLaps_[0]));
    QJsonArray lastLaps;
    for (const std::optional<LapFacts>& lap : lastLaps_)
        lastLaps.append(lap ? QJsonValue(lapFactsToJson(*lap)) : QJsonValue());
    json.insert("lastLaps", lastLaps);
    QJsonArray gaps;
    for (std::size_t other = 0; other < gaps_.size(); ++other) {
        if (gaps_[other])
            gaps.append(gapToJson(int(other) + 2, *gaps_[other]));
    }
    json.insert("gaps", gaps);
    return json;
}

} // namespace kelvos
