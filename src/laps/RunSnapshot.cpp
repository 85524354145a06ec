#include "RunSnapshot.h"

#include "RunEventJson.h"

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
    details_ = event.details;
    switch (event.kind) {
    case RunEventKind::Started:
    case RunEventKind::Reset:
        mainRows_.clear();
        mixRows_.clear();
        lastLap1_.reset();
        break;
    case RunEventKind::Lap:
        putRow(mainRows_, event.lap.mainRow, event.lap.rowTexts());
        putRow(mixRows_, event.lap.mixRow, event.lap.rowTexts());
        if (event.lap.competitor == 1)
            lastLap1_ = event;
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

QJsonObject RunSnapshot::toJson() const {
    QJsonObject json{
        {"seq", qint64(sequence_)},
        {"state", runStateName(state_)},
        {"total", total_},
        {"details", runDetailsToJson(details_)},
        {"mainRows", rowsToJson(mainRows_)},
        {"mixRows", rowsToJson(mixRows_)},
    };
    if (lastLap1_)
        json.insert("lastLap", lapFactsToJson(lastLap1_->lap));
    return json;
}

} // namespace kelvos
