#include "ClipScript.h"

#include <array>

namespace kelvos::clips {

namespace {
using Table = std::array<QStringList, 10>;

const Table& digitTable() {
    static const Table table{{{"rei.wav"},
                              {"ichi.wav"},
                              {"ni.wav"},
                              {"san.wav"},
                              {"yon.wav"},
                              {"go.wav"},
                              {"roku.wav"},
                              {"nana.wav"},
                              {"hachi.wav"},
                              {"kyuu.wav"}}};
    return table;
}

// The multiplier before a unit: none for 1, the digit word for 2 to 9.
QStringList multiplier(int digit) {
    return digit >= 2 ? digitWord(digit) : QStringList();
}

QStringList withUnit(int digit, const QString& unit) {
    return multiplier(digit) << unit;
}

const Table& hundredsTable() {
    static const Table table{{{},
                              {"hyaku.wav"},
                              withUnit(2, "hyaku.wav"),
                              {"san.wav", "byaku.wav"},
                              withUnit(4, "hyaku.wav"),
                              withUnit(5, "hyaku.wav"),
                              {"roppyaku.wav"},
                              withUnit(7, "hyaku.wav"),
                              {"happyaku.wav"},
                              withUnit(9, "hyaku.wav")}};
    return table;
}

const Table& thousandsTable() {
    static const Table table{{{},
                              {"sen.wav"},
                              withUnit(2, "sen.wav"),
                              {"san.wav", "zen.wav"},
                              withUnit(4, "sen.wav"),
                              withUnit(5, "sen.wav"),
                              withUnit(6, "sen.wav"),
                              withUnit(7, "sen.wav"),
                              {"hassen.wav"},
                              withUnit(9, "sen.wav")}};
    return table;
}

const Table& hourOnesTable() {
    static const Table table{{{},
                              {"ichi.wav"},
                              {"ni.wav"},
                              {"san.wav"},
                              {"yo.wav"},
                              {"go.wav"},
                              {"roku.wav"},
                              {"nana.wav"},
                              {"hachi.wav"},
                              {"ku.wav"}}};
    return table;
}

const Table& minuteOnesTable() {
    static const Table table{{{},
                              {"ippun.wav"},
                              {"ni.wav", "fun.wav"},
                              {"san.wav", "pun.wav"},
                              {"yon.wav", "pun.wav"},
                              {"go.wav", "fun.wav"},
                              {"roppun.wav"},
                              {"nana.wav", "fun.wav"},
                              {"happun.wav"},
                              {"kyuu.wav", "fun.wav"}}};
    return table;
}

const QString kTen = QStringLiteral("jyuu.wav");
const QString kTenMinutes = QStringLiteral("jyuppun.wav");
const QString kHour = QStringLiteral("jkan.wav");
const QString kSecond = QStringLiteral("byo.wav");
const QString kTenThousand = QStringLiteral("man.wav");
const QString kHundredMillion = QStringLiteral("oku.wav");
const QString kLap = QStringLiteral("lap.wav");
const QString kLapTime = QStringLiteral("laptime.wav");
const QString kTotal = QStringLiteral("total.wav");
const QStringList kTones{"pi.wav", "pa.wav", "po.wav", "pipi.wav", "goo.wav"};
constexpr int kReadOutPause = 500;

// Up to 9999: thousands, hundreds, tens and ones.
QStringList belowTenThousand(int value) {
    return thousandsTable().at(value / 1000) + hundredsTable().at(value / 100 % 10) +
           tensPart(value / 10 % 10) + (value % 10 ? digitWord(value % 10) : QStringList());
}

void playAll(const QStringList& clipsToPlay, ReadOutSink& sink) {
    for (const QString& clip : clipsToPlay)
        sink.play(clip);
}

// A group that says nothing (zero hours, zero minutes) leaves no gap either.
void playGroup(const QStringList& clipsToPlay, ReadOutSink& sink) {
    playAll(clipsToPlay, sink);
    if (!clipsToPlay.isEmpty())
        sink.endGroup();
}

qint32 nonNegative(qint32 ms) {
    return ms < 0 ? 0 : ms;
}
} // namespace

QStringList digitWord(int digit) {
    return digitTable().at(digit);
}

QStringList tensPart(int tens) {
    return tens ? multiplier(tens) << kTen : QStringList();
}

QStringList lapCount(qint32 count) {
    if (count <= 0)
        return {};
    QStringList words;
    if (count >= 100'000'000)
        words << belowTenThousand(count / 100'000'000) << kHundredMillion;
    if (count % 100'000'000 >= 10'000)
        words << belowTenThousand(count / 10'000 % 10'000) << kTenThousand;
    return words << belowTenThousand(count % 10'000);
}

QStringList hours(int value) {
    if (value == 0)
        return {};
    return hundredsTable().at(value / 100 % 10) + tensPart(value / 10 % 10) +
               hourOnesTable().at(value % 10)
           << kHour;
}

QStringList minutes(int value) {
    const int tens = value / 10;
    const int ones = value % 10;
    if (ones == 0)
        return tens ? withUnit(tens, kTenMinutes) : QStringList();
    return tensPart(tens) + minuteOnesTable().at(ones);
}

QStringList seconds(int value, ZeroSeconds zero) {
    if (value == 0)
        return zero == ZeroSeconds::SayZero ? QStringList{"rei.wav", kSecond}
                                            : QStringList{kSecond};
    const int ones = value % 10;
    return tensPart(value / 10) + (ones ? digitWord(ones) : QStringList()) << kSecond;
}

QStringList milliseconds(int value) {
    return digitWord(value / 100) + digitWord(value / 10 % 10) + digitWord(value % 10);
}

void sayTime(const ValueSource& value, ZeroSeconds zero, ReadOutSink& sink) {
    const auto read = [&value] { return nonNegative(value()); };
    playGroup(hours(read() / 3'600'000), sink);
    playGroup(minutes(read() / 60'000 % 60), sink);
    playGroup(seconds(read() / 1000 % 60, zero), sink);
    for (const int divisor : {100, 10, 1})
        playAll(digitWord(read() % 1000 / divisor % 10), sink);
    sink.endGroup();
}

void sayLapReadOut(const LapReadOutSource& source, ReadOutSink& sink) {
    const int passes = source.repeat() ? 2 : 1;
    for (int pass = 1; pass <= passes; ++pass) {
        sink.play(kLap);
        playGroup(lapCount(source.lapCount()), sink);
        sink.play(kLapTime);
        sayTime(source.lapTime, ZeroSeconds::SayZero, sink);
        sink.play(kTotal);
        sayTime(source.lapTotal, ZeroSeconds::SayZero, sink);
        if (pass == 1 && source.repeat()) {
            sink.pause(kReadOutPause);
            sink.play("pi.wav");
            sink.play("pa.wav");
            sink.pause(kReadOutPause);
        }
    }
}

void sayRunningTotalReadOut(const ValueSource& total, const ValueSource& lapCountSource,
                            ReadOutSink& sink) {
    sink.play(kTotal);
    sayTime(total, ZeroSeconds::UnitOnly, sink);
    sink.pause(kReadOutPause);
    sink.play(kLap);
    playGroup(lapCount(lapCountSource()), sink);
    sink.pause(kReadOutPause);
    sink.play("po.wav");
    sink.play("po.wav");
}

QStringList everyClipName() {
    QStringList names;
    for (const Table* table :
         {&digitTable(), &hundredsTable(), &thousandsTable(), &hourOnesTable(), &minuteOnesTable()})
        for (const QStringList& cell : *table)
            names += cell;
    names << kTen << kTenMinutes << kHour << kSecond << kTenThousand << kHundredMillion << kLap
          << kLapTime << kTotal << kTones;
    names.removeDuplicates();
    return names;
}

} // namespace kelvos::clips
