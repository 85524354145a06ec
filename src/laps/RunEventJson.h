#pragma once

#include "RunEvent.h"

#include <QJsonArray>
#include <QJsonObject>

namespace kelvos {

// The published form of a run event, the same for every program that listens: the live pages,
// the broker and anything else. The format is described in docs/events.md.
QJsonObject runEventToJson(const RunEvent& event);
QJsonObject runDetailsToJson(const RunDetails& details);
QJsonObject lapFactsToJson(const LapFacts& lap);
// {"competitor": 2 or 3, "gap", "text"}
QJsonObject gapToJson(int competitor, const GapUpdate& gap);
QJsonArray rowsToJson(const QList<QStringList>& rows);

QString runStateName(RunState state);
QString runEventKindName(RunEventKind kind);

} // namespace kelvos
