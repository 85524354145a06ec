#pragma once

#include "RunEvent.h"

#include <QDateTime>
#include <QJsonObject>
#include <array>
#include <optional>

namespace kelvos {

// The run as its events have built it so far: what a listener that joins late is given first.
// The rows are the texts the grids show, in their column order, the Mix rows in press order.
class RunSnapshot {
public:
    void apply(const RunEvent& event);

    quint64 sequence() const { return sequence_; }
    RunState state() const { return state_; }
    const RunDetails& details() const { return details_; }
    const QList<QStringList>& mainRows() const { return mainRows_; }
    const QList<QStringList>& mixRows() const { return mixRows_; }

    // When the last event happened: `total` is the watch then.
    const QDateTime& at() const { return at_; }

    // {"seq", "state", "total", "details", "mainRows", "mixRows", "lastLap", "lastLaps",
    // "gaps"}: see docs/live.md.
    QJsonObject toJson() const;

private:
    static void putRow(QList<QStringList>& rows, int row, const QStringList& texts);
    void takeLap(const LapFacts& lap);

    quint64 sequence_ = 0;
    RunState state_ = RunState::Idle;
    qint32 total_ = 0;
    QDateTime at_;
    RunDetails details_;
    QList<QStringList> mainRows_;
    QList<QStringList> mixRows_;
    // Each competitor's last lap, and the gap of competitors 2 and 3 as last changed.
    std::array<std::optional<LapFacts>, 3> lastLaps_;
    std::array<std::optional<GapUpdate>, 2> gaps_;
};

} // namespace kelvos
