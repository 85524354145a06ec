#include "GridTexts.h"

namespace kelvos {

QString mainGridHeaderLine(HeaderUnit unit) {
    return unit == HeaderUnit::Mile
               ? QStringLiteral("LAP,Number,Total,Laptime,LAP+-,Realtime,LAP_milli,LAP_M/h,"
                                "Aver_milli,Ave_M/h")
               : QStringLiteral("LAP,Number,Total,Laptime,LAP+-,Realtime,LAP_milli,LAP_Km/h,"
                                "Aver_milli,Ave_Km/h");
}

QString mainGridStartupMileHeaderLine() {
    return QStringLiteral(
        "LAP,Number,Total,LAPtime,LAP+-,Realtime,LAP_milli,LAP_M/h,Aver_milli,Ave_M/h");
}

QString mixGridHeaderLine(HeaderUnit unit) {
    return unit == HeaderUnit::Mile
               ? QStringLiteral("Lap,Number,Total,Laptime,Lap+-,Realtime,Lap-milli,Lap-M/h,"
                                "Ave-milli,Ave-M/h")
               : QStringLiteral("Lap,Number,Total,Laptime,Lap+-,Realtime,Lap-milli,Lap-Km/h,"
                                "Ave-milli,Ave-Km/h");
}

QString mixGridLoadedFileHeaderLine() {
    return QStringLiteral("Lap,Number,Total,Laptime,Lap+-milli,Realtime,Lap-milli,Lap-Km/h,"
                          "Average-milli,Ave-Km/h");
}

QStringList mixGridIntroLines() {
    return {
        QStringLiteral("\" < --- \",Pulldown,select-meter"),
        QStringLiteral("\"or Add to\",\" write\",\" & Enterkey\",Press"),
        QStringLiteral("\"& select-meter \",\"and   Reset\",\" -----Ready \",\"Enter or Hot\","
                       "\"Key  GO!\""),
        QStringLiteral("\" \",5864m,Suzuka,Full"),
        QStringLiteral("\" \",3466m,Suzuka,West"),
        QStringLiteral("\" \",4801m,Motegi,Full"),
        QStringLiteral("\" \",1490m,Motegi,West"),
        QStringLiteral("\" \",3422m,Motegi,East"),
        QStringLiteral("\" \",2492m,Motegi,Cart"),
        QStringLiteral("\" \",2045m,Tukuba"),
        QStringLiteral("\" \",4563m,Fuji(New)"),
        QStringLiteral("\" \",2804m,Central"),
        QStringLiteral("\" \",3703m,TI Aida"),
        QStringLiteral("\" \",2007m,Nakayama"),
        QStringLiteral("\" \",3330m,Central,MINE"),
        QStringLiteral("\" \",1004m,Aso"),
        QStringLiteral("\" \",4674m,Auto,Police"),
        QStringLiteral("\" \",2061m,Ebisu"),
        QStringLiteral("\" \",3704m,SUGO"),
        QStringLiteral("\" \",4063m,Sendai"),
        QStringLiteral("\" \",5091m,Tokachi,Full"),
        QStringLiteral("\" \",3405m,Tokachi,East"),
        QStringLiteral("\" \",1700m,Tokachi,West"),
    };
}

} // namespace kelvos
