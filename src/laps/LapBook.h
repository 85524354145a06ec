#pragma once

#include "LapFacts.h"
#include "Speed.h"
#include "TimeText.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>

namespace kelvos {

// Lap values of one competitor; for competitor k, LapCount is LapCountk, LapTime is LapTimek and
// so on. Times are milliseconds. The sum is 64-bit so that the average stays exact however long
// the run.
struct CompetitorLaps {
    qint32 LapCount = 0;
    qint32 LapTime = 0;     // the lap just closed
    qint32 LapStart = 0;    // total at this competitor's previous press
    qint32 PrevLapTime = 0; // the lap before the one just closed
    qint32 LapDiff = 0;     // LapTime - PrevLapTime
    qint64 LapSum = 0;
    qint32 LapAverage = 0; // LapSum div LapCount, truncating
};

// The lap state of a run: three competitors on one clock.
struct LapState {
    qint32 PressTotal = 0; // total at the latest press of any competitor
    CompetitorLaps Lap1;
    CompetitorLaps Lap2;
    CompetitorLaps Lap3;
    qint32 FastestLap1 = 0;
    qint32 LapTotal1 = 0;   // total at competitor 1's latest press; start and reset keep it
    qint32 RunningLap1 = 0; // competitor 1's lap in progress
    QString LapSpeedText1;
    QString AverageSpeedText1;
    QString LastTotalText; // full form of the total at competitor 1's latest press
    qint32 MixRows = 0;    // Mix grid data rows: the three lap counts together
};

// Returns the local time of day as the Realtime column shows it; read once per row.
using WallClock = std::function<QString()>;

// What a lap press needs besides the lap state.
struct LapPress {
    qint32 elapsed = 0; // the stopwatch reading at the press
    bool running = false;
    QString courseLengthText; // text of the selected course entry
    bool courseEntrySelected = false;
    QString name;
    WallClock wallClock = [] { return formatWallClock(QTime::currentTime()); };
};

// The lap arithmetic of a run; the main window asks it at every press and shows the result.
class LapBook {
public:
    explicit LapBook(QString decimalSeparator = QLocale::system().decimalPoint());

    const LapState& state() const { return state_; }

    // Zeroing of a new run; competitor 1's latest press total and texts are kept.
    void start();
    // Zeroing of a reset; competitors 2 and 3 keep their sums and lap starts until the next start.
    void reset();
    // A lap of competitor 1, 2 or 3. Competitors 2 and 3 are always timed in km/h.
    LapFacts recordLap(int competitor, const LapPress& press,
                       SpeedUnit unit = SpeedUnit::KilometresPerHour);

    // The 20 ms refresh: the lap in progress in full form once competitor 1 has a lap, otherwise
    // nothing (the label shows the total instead).
    std::optional<QString> refreshRunningLap(qint32 elapsed, bool running);

private:
    CompetitorLaps& lapsOf(int competitor);
    bool takeFastest(const CompetitorLaps& lap1);
    void closeLap(CompetitorLaps& laps, const LapPress& press);
    QString speedTextOf(qint32 lapMs, const LapPress& press, SpeedUnit unit) const;
    GapUpdate gapAgainst(const CompetitorLaps& other) const;
    void updateMixRows();

    LapState state_;
    QString decimalSeparator_;
};

} // namespace kelvos
