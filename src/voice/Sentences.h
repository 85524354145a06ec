#pragma once

#include <QString>

namespace kelvos::sentences {

enum class Language { Japanese, English };

// The time part of a sentence: seconds and milliseconds, with the minutes once they are not
// zero and the hours once they are not zero ("05秒007", "02Minute, 05Second, 007").
QString timePart(qint32 ms, Language language);
// Always with hours and minutes ("00時間00分00秒000"). Hours past 99 keep all their digits.
QString fullTimePart(qint32 ms, Language language);

// "ラップ7=05秒007 トータル =01時間02分03秒004", "lap 7=05Second, 007 total =01Hour, ..."
QString lapSentence(Language language, qint32 lapCount, qint32 lapTime, qint32 lapTotal);
// "トータル 02分05秒007 ; ラップ7", "total 02Minute, 05Second, 007 and lap 7"
QString runningTotalSentence(Language language, qint32 total, qint32 lapCount);

} // namespace kelvos::sentences
