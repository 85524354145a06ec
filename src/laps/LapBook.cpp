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

CompetitorLaps& LapBook::lapsOf(int competitor) {
    return competitor == 1 ? state_.Lap1 : competitor == 2 ? state_.Lap2 : state_.Lap3;
}

// A lap equal to the fastest becomes the fastest, so the later lap number wins a tie.
bool LapBook::takeFastest(const CompetitorLaps& lap1) {
    if (lap1.LapCount == 1)
        state_.FastestLap1 = lap1.LapTime;
    if (state_.FastestLap1 < lap1.LapTime)
        return false;
    state_.FastestLap1 = lap1.LapTime;
    return true;
}

LapFacts LapBook::recordLap(int competitor, const LapPress& press, SpeedUnit unit) {
    CompetitorLaps& laps = lapsOf(competitor);
    if (competitor == 1)
        state_.LapTotal1 = press.elapsed;
    else
        unit = SpeedUnit::KilometresPerHour;
    closeLap(laps, press);
    updateMixRows();

    LapFacts facts;
    facts.competitor = competitor;
    facts.number = laps.LapCount;
    facts.total = press.elapsed;
    facts.lap = laps.LapTime;
    facts.difference = laps.LapDiff;
    facts.average = laps.LapAverage;
    facts.wallClock = press.wallClock();
    facts.lapSpeed = speedTextOf(laps.LapTime, press, unit);
    facts.averageSpeed = speedTextOf(laps.LapAverage, press, unit);
    facts.unit = unit;
    facts.name = press.name;
    facts.mixRow = state_.MixRows;
    if (competitor == 1) {
        facts.mainRow = laps.LapCount;
        facts.fastest = takeFastest(laps);
        state_.LapSpeedText1 = facts.lapSpeed;
        state_.AverageSpeedText1 = facts.averageSpeed;
        state_.LastTotalText = formatFullTime(state_.PressTotal);
        facts.gaps = {gapAgainst(state_.Lap2), gapAgainst(state_.Lap3)};
    } else {
        facts.gaps[std::size_t(competitor - 2)] = gapAgainst(laps);
    }
    return facts;
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
