#include "LapBook.h"

#include "TimeText.h"

#include <utility>

namespace kelvos {

namespace {

// Differences of 32-bit clock readings wrap like the clock itself, so a lap that spans the
// wrap of the millisecond total keeps its true length.
qint32 msBetween(qint32 later, qint32 earlier) {
    return static_cast<qint32>(static_cast<quint32>(later) - static_cast<quint32>(earlier));
}

} // namespace

LapBook::LapBook(QString decimalSeparator) : decimalSeparator_(std::move(decimalSeparator)) {}

void LapBook::start() {
    state_.PressTotal = 0;
    state_.Lap1 = {};
    state_.Lap2 = {};
    state_.Lap3 = {};
    state_.FastestLap1 = 0;
    state_.RunningLap1 = 0;
    state_.MixRows = 0;
}

void LapBook::reset() {
    state_.PressTotal = 0;
    state_.Lap1 = {};
    state_.Lap2.LapCount = 0;
    state_.Lap3.LapCount = 0;
    state_.FastestLap1 = 0;
    state_.RunningLap1 = 0;
    state_.MixRows = 0;
}

Lap1Result LapBook::recordLap1(const LapPress& press, SpeedUnit unit) {
    state_.LapTotal1 = press.elapsed;
    CompetitorLaps& lap1 = state_.Lap1;
    closeLap(lap1, press);

    Lap1Result result;
    result.lapCount = lap1.LapCount;
    if (lap1.LapCount == 1) {
        state_.FastestLap1 = lap1.LapTime;
    }
    // A lap equal to the fastest becomes the fastest, so the later lap number wins a tie.
    if (state_.FastestLap1 >= lap1.LapTime) {
        state_.FastestLap1 = lap1.LapTime;
        result.fastestChanged = true;
    }

    state_.LapSpeedText1 = speedTextOf(lap1.LapTime, press, unit);
    state_.AverageSpeedText1 = speedTextOf(lap1.LapAverage, press, unit);
    result.lapSpeedText = state_.LapSpeedText1;
    result.averageSpeedText = state_.AverageSpeedText1;
    result.lapText = formatFullTime(lap1.LapTime);
    result.diffText = formatSignedShort(lap1.LapDiff);
    result.diffNegative = lap1.LapDiff < 0;
    result.averageText = formatFullTime(lap1.LapAverage);

    updateMixRows();
    // Each row reads the wall clock itself, so the Mix row may show a later second.
    result.mainRow = {lap1.LapCount,
                      rowFields(lap1, press, result.lapSpeedText, result.averageSpeedText)};
    result.mixRow = {state_.MixRows,
                     rowFields(lap1, press, result.lapSpeedText, result.averageSpeedText)};
    state_.LastTotalText = formatFullTime(state_.PressTotal);
    result.gap2 = gapAgainst(state_.Lap2);
    result.gap3 = gapAgainst(state_.Lap3);
    return result;
}

OtherLapResult LapBook::recordLap2(const LapPress& press) {
    return recordOtherLap(state_.Lap2, press);
}

OtherLapResult LapBook::recordLap3(const LapPress& press) {
    return recordOtherLap(state_.Lap3, press);
}

OtherLapResult LapBook::recordOtherLap(CompetitorLaps& laps, const LapPress& press) {
    closeLap(laps, press);
    updateMixRows();
    // Competitors 2 and 3 are always timed in km/h, whatever unit competitor 1 uses.
    const QString lapSpeed = speedTextOf(laps.LapTime, press, SpeedUnit::KilometresPerHour);
    const QString averageSpeed = speedTextOf(laps.LapAverage, press, SpeedUnit::KilometresPerHour);
    return {{state_.MixRows, rowFields(laps, press, lapSpeed, averageSpeed)}, gapAgainst(laps)};
}

std::optional<QString> LapBook::refreshRunningLap(qint32 elapsed, bool running) {
    if (running) {
        state_.RunningLap1 = msBetween(elapsed, state_.Lap1.LapStart);
    }
    if (state_.Lap1.LapCount < 1) {
        return std::nullopt;
    }
    return formatFullTime(state_.RunningLap1);
}

void LapBook::closeLap(CompetitorLaps& laps, const LapPress& press) {
    state_.PressTotal = press.elapsed;
    laps.LapTime = press.running ? msBetween(press.elapsed, laps.LapStart) : press.elapsed;
    laps.LapStart = press.elapsed;
    ++laps.LapCount;
    laps.LapDiff = msBetween(laps.LapTime, laps.PrevLapTime);
    laps.PrevLapTime = laps.LapTime;
    laps.LapSum += laps.LapTime;
    laps.LapAverage = static_cast<qint32>(laps.LapSum / laps.LapCount);
}

QStringList LapBook::rowFields(const CompetitorLaps& laps, const LapPress& press,
                               const QString& lapSpeed, const QString& averageSpeed) const {
    return {
        QString::number(laps.LapCount),    press.name,
        formatFullTime(state_.PressTotal), formatFullTime(laps.LapTime),
        formatSignedShort(laps.LapDiff),   press.wallClock(),
        QString::number(laps.LapTime),     lapSpeed,
        QString::number(laps.LapAverage),  averageSpeed,
    };
}

QString LapBook::speedTextOf(qint32 lapMs, const LapPress& press, SpeedUnit unit) const {
    // Without a selected course entry (a typed, unconfirmed length) the speed stays 0.
    const qint64 thousandths =
        press.courseEntrySelected
            ? speedThousandths(courseLengthFromText(press.courseLengthText), lapMs, unit)
            : 0;
    return speedText(thousandths, decimalSeparator_);
}

GapUpdate LapBook::gapAgainst(const CompetitorLaps& other) const {
    const CompetitorLaps& lap1 = state_.Lap1;
    if (lap1.LapCount != other.LapCount) {
        return {};
    }
    const qint32 gap = msBetween(lap1.LapStart, other.LapStart);
    return {true, gap, formatSignedShort(gap), gap < 0};
}

void LapBook::updateMixRows() {
    state_.MixRows = state_.Lap1.LapCount + state_.Lap2.LapCount + state_.Lap3.LapCount;
}

} // namespace kelvos
