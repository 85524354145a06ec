#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kelvos::clips {

// Where a read-out goes: clips in order, and pauses between them.
class ReadOutSink {
public:
    virtual ~ReadOutSink() = default;
    virtual void play(const QString& clip) = 0;
    virtual void pause(int milliseconds) = 0;
    // The words of one group (a count, the hours, the minutes...) have been played.
    virtual void endGroup() {}
};

// How a time whose seconds are "00" ends: the lap read-out says "rei" "byo", the running
// total only "byo".
enum class ZeroSeconds { SayZero, UnitOnly };

// A value read afresh each time it is called (a live total or a lap value).
using ValueSource = std::function<qint32()>;

QStringList digitWord(int digit);
// Nothing for 0; the multiplier (none for 1) and "jyuu" otherwise.
QStringList tensPart(int tens);

// Lap counts: up to 999 as hundreds, tens and ones; above that with "sen", "man" and "oku".
// Zero and negative counts say nothing.
QStringList lapCount(qint32 count);
// Hours past 99 are read with the hundreds of the lap count.
QStringList hours(int value);
// Whole tens of minutes close with "jyuppun" after the multiplier ("ni" "jyuppun" for 20).
QStringList minutes(int value);
QStringList seconds(int value, ZeroSeconds zero);
QStringList milliseconds(int value);

// Reads a time group by group: each group (hours, minutes, seconds, then every millisecond
// digit) takes its digits from a fresh reading of the value, so a running total is followed
// while the clips of the earlier groups play. Negative values are read as 0.
void sayTime(const ValueSource& value, ZeroSeconds zero, ReadOutSink& sink);

// The lap read-out: "lap" and the count, "laptime" and the lap, "total" and the total at the
// lap; a second pass when "Re" is checked, with "pi" "pa" framed by 500 ms pauses when "Re" is
// still checked at the end of the first pass.
struct LapReadOutSource {
    ValueSource lapCount;
    ValueSource lapTime;
    ValueSource lapTotal;
    std::function<bool()> repeat;
};
void sayLapReadOut(const LapReadOutSource& source, ReadOutSink& sink);

// The running-total read-out: "total" and the live total, 500 ms, "lap" and the count, 500 ms,
// "po" "po".
void sayRunningTotalReadOut(const ValueSource& total, const ValueSource& lapCount,
                            ReadOutSink& sink);

// Every clip name the read-outs can play, each once: the clip set must hold all of them.
QStringList everyClipName();

} // namespace kelvos::clips
