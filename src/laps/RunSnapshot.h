#pragma once

#include "RunEvent.h"

#include <QJsonObject>

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

    // {"seq", "state", "total", "details", "mainRows", "mixRows", "lastLap"}: see docs/events.md.
    QJsonObject toJson() const;

private:
    static void putRow(QList<QStringList>& rows, int row, const QStringList& texts);

    quint64 sequence_ = 0;
    RunState state_ = RunState::Idle;
    qint32 total_ = 0;
    RunDetails details_;
    QList<QStringList> mainRows_;
    QList<QStringList> mixRows_;
    std::optional<RunEvent> lastLap1_;
};

} // namespace kelvos
