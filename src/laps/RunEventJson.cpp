#include "RunEventJson.h"

#include <QJsonArray>

namespace kelvos {

namespace {

QString unitName(SpeedUnit unit) {
    return unit == SpeedUnit::MilesPerHour ? "mph" : "km/h";
}

QJsonArray textsToJson(const QStringList& texts) {
    return QJsonArray::fromStringList(texts);
}

} // namespace

QJsonObject runDetailsToJson(const RunDetails& details) {
    return {
        {"names", textsToJson({details.names[0], details.names[1], details.names[2]})},
        {"course", details.course},
        {"courseChosen", details.courseChosen},
        {"unit", unitName(details.unit)},
    };
}

QJsonObject gapToJson(int competitor, const GapUpdate& gap) {
    return {{"competitor", competitor}, {"gap", gap.gap}, {"text", gap.text}};
}

namespace {

QJsonArray gapsToJson(const LapFacts& lap) {
    QJsonArray gaps;
    for (int other = 2; other <= 3; ++other) {
        const GapUpdate& gap = lap.gaps[std::size_t(other - 2)];
        if (gap.changed)
            gaps.append(gapToJson(other, gap));
    }
    return gaps;
}

} // namespace

QJsonObject lapFactsToJson(const LapFacts& lap) {
    return {
        {"competitor", lap.competitor},
        {"number", lap.number},
        {"total", lap.total},
        {"lap", lap.lap},
        {"difference", lap.difference},
        {"average", lap.average},
        {"wallClock", lap.wallClock},
        {"lapSpeed", lap.lapSpeed},
        {"averageSpeed", lap.averageSpeed},
        {"unit", unitName(lap.unit)},
        {"name", lap.name},
        {"mainRow", lap.mainRow},
        {"mixRow", lap.mixRow},
        {"fastest", lap.fastest},
        {"gaps", gapsToJson(lap)},
        {"row", textsToJson(lap.rowTexts())},
    };
}

QJsonArray rowsToJson(const QList<QStringList>& rows) {
    QJsonArray array;
    for (const QStringList& row : rows)
        array.append(textsToJson(row));
    return array;
}

QString runStateName(RunState state) {
    switch (state) {
    case RunState::Idle:
        return "idle";
    case RunState::Running:
        return "running";
    case RunState::Stopped:
        return "stopped";
    case RunState::Cleared:
        return "cleared";
    }
    return {};
}

QString runEventKindName(RunEventKind kind) {
    switch (kind) {
    case RunEventKind::Started:
        return "started";
    case RunEventKind::Stopped:
        return "stopped";
    case RunEventKind::Restarted:
        return "restarted";
    case RunEventKind::Reset:
        return "reset";
    case RunEventKind::Lap:
        return "lap";
    case RunEventKind::MainGridLoaded:
        return "mainGridLoaded";
    case RunEventKind::MixGridLoaded:
        return "mixGridLoaded";
    case RunEventKind::DetailsChanged:
        return "details";
    }
    return {};
}

QJsonObject runEventToJson(const RunEvent& event) {
    QJsonObject json{
        {"type", runEventKindName(event.kind)},
        {"seq", qint64(event.sequence)},
        {"state", runStateName(event.state)},
        {"total", event.total},
        {"at", event.wallClock.toString(Qt::ISODateWithMs)},
        {"details", runDetailsToJson(event.details)},
    };
    if (event.kind == RunEventKind::Lap)
        json.insert("lap", lapFactsToJson(event.lap));
    if (event.kind == RunEventKind::MainGridLoaded || event.kind == RunEventKind::MixGridLoaded)
        json.insert("rows", rowsToJson(event.gridRows));
    return json;
}

} // namespace kelvos
