#include "LapFacts.h"

#include "TimeText.h"

namespace kelvos {

QString LapFacts::text(LapColumn column) const {
    switch (column) {
    case LapColumn::Lap:
        return QString::number(number);
    case LapColumn::Name:
        return name;
    case LapColumn::Total:
        return formatFullTime(total);
    case LapColumn::LapTime:
        return formatFullTime(lap);
    case LapColumn::Difference:
        return formatSignedShort(difference);
    case LapColumn::Realtime:
        return wallClock;
    case LapColumn::LapMs:
        return QString::number(lap);
    case LapColumn::LapSpeed:
        return lapSpeed;
    case LapColumn::AverageMs:
        return QString::number(average);
    case LapColumn::AverageSpeed:
        return averageSpeed;
    }
    return {};
}

QStringList LapFacts::rowTexts() const {
    QStringList texts;
    texts.reserve(kLapColumnCount);
    for (int column = 0; column < kLapColumnCount; ++column)
        texts << text(LapColumn(column));
    return texts;
}

} // namespace kelvos
