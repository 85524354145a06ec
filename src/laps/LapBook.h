#pragma once

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

// A gap label (competitor 1 against 2 or 3). It changes only when both have the same lap count.
struct GapUpdate {
    bool changed = false;
    qint32 gap = 0; // competitor 1's total at that lap minus the other's; > 0: competitor 1 behind
    QString text;
    bool negative = false; // shown in the negative colour
};

// One row written by a press: where it goes and its ten cells. How the grid makes room for
// it is the grid's own business.
struct LapRow {
    int row = 0; // data row number, 1-based
    QStringList fields;
};

struct Lap1Result {
    qint32 lapCount = 0;
    QString lapText;  // full form of the lap
    QString diffText; // signed short form of the difference to the previous lap
    bool diffNegative = false;
    bool fastestChanged = false; // this lap is the fastest (a tie counts): show it and its number
    QString averageText;
    QString lapSpeedText;
    QString averageSpeedText;
    LapRow mainRow;
    LapRow mixRow;
    GapUpdate gap2;
    GapUpdate gap3;
};

struct OtherLapResult {
    LapRow mixRow;
    GapUpdate gap; // against competitor 1
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
    Lap1Result recordLap1(const LapPress& press, SpeedUnit unit);
    OtherLapResult recordLap2(const LapPress& press);
    OtherLapResult recordLap3(const LapPress& press);

    // The 20 ms refresh: the lap in progress in full form once competitor 1 has a lap, otherwise
    // nothing (the label shows the total instead).
    std::optional<QString> refreshRunningLap(qint32 elapsed, bool running);

private:
    OtherLapResult recordOtherLap(CompetitorLaps& laps, const LapPress& press);
    void closeLap(CompetitorLaps& laps, const LapPress& press);
    QStringList rowFields(const CompetitorLaps& laps, const LapPress& press,
                          const QString& lapSpeed, const QString& averageSpeed) const;
    QString speedTextOf(qint32 lapMs, const LapPress& press, SpeedUnit unit) const;
    GapUpdate gapAgainst(const CompetitorLaps& other) const;
    void updateMixRows();

    LapState state_;
    QString decimalSeparator_;
};

} // namespace kelvos
