#include "Sentences.h"

namespace kelvos::sentences {

namespace {
struct Fields {
    QString hours, minutes, seconds, millis;
};

Fields fieldsOf(qint32 ms) {
    const qint32 value = ms < 0 ? 0 : ms;
    return {QString::asprintf("%2.2d", value / 3'600'000),
            QString::asprintf("%2.2d", value / 60'000 % 60),
            QString::asprintf("%2.2d", value / 1000 % 60),
            QString::asprintf("%3.3d", value % 1000)};
}

struct Units {
    QString hour, minute, second;
};

const Units& unitsOf(Language language) {
    static const Units japanese{"時間", "分", "秒"};
    static const Units english{"Hour, ", "Minute, ", "Second, "};
    return language == Language::Japanese ? japanese : english;
}

QString composed(const Fields& f, Language language, bool withHours, bool withMinutes) {
    const Units& units = unitsOf(language);
    QString text;
    if (withHours)
        text += f.hours + units.hour;
    if (withMinutes)
        text += f.minutes + units.minute;
    return text + f.seconds + units.second + f.millis;
}
} // namespace

QString timePart(qint32 ms, Language language) {
    const Fields f = fieldsOf(ms);
    const bool withHours = f.hours != "00";
    return composed(f, language, withHours, withHours || f.minutes != "00");
}

QString fullTimePart(qint32 ms, Language language) {
    return composed(fieldsOf(ms), language, true, true);
}

QString lapSentence(Language language, qint32 lapCount, qint32 lapTime, qint32 lapTotal) {
    const bool japanese = language == Language::Japanese;
    return (japanese ? QStringLiteral("ラップ") : QStringLiteral("lap ")) +
           QString::number(lapCount) + "=" + timePart(lapTime, language) +
           (japanese ? QStringLiteral(" トータル =") : QStringLiteral(" total =")) +
           fullTimePart(lapTotal, language);
}

QString runningTotalSentence(Language language, qint32 total, qint32 lapCount) {
    if (language == Language::Japanese)
        return QStringLiteral("トータル ") + timePart(total, language) +
               QStringLiteral(" ; ラップ") + QString::number(lapCount);
    return "total " + timePart(total, language) + " and lap " + QString::number(lapCount);
}

} // namespace kelvos::sentences
