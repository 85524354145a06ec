#include "ClipScript.h"
#include "Sentences.h"

#include <QTest>

using namespace kelvos;

namespace {
// Clips written without ".wav", pauses as "500ms": "lap hyaku 500ms".
QStringList clipsOf(const QString& words) {
    QStringList clips;
    for (const QString& word : words.split(' ', Qt::SkipEmptyParts))
        clips << (word.endsWith("ms") ? word : word + ".wav");
    return clips;
}

class ListSink final : public clips::ReadOutSink {
public:
    void play(const QString& clip) override { heard << clip; }
    void pause(int milliseconds) override { heard << QString("%1ms").arg(milliseconds); }
    QStringList heard;
};

clips::ValueSource fixed(qint32 value) {
    return [value] { return value; };
}

// A value that moves on by one step each time it is read, as a running watch does.
clips::ValueSource stepping(QList<qint32> readings) {
    auto next = std::make_shared<int>(0);
    return [readings, next] { return readings.at(std::min<int>((*next)++, readings.size() - 1)); };
}
} // namespace

class TestClipScript : public QObject {
    Q_OBJECT
private slots:
    void groups_data() {
        QTest::addColumn<QStringList>("clips");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QStringList& clips, const char* expected) {
            QTest::newRow(name) << clips << QString(expected);
        };
        row("count 0", clips::lapCount(0), "");
        row("count 10", clips::lapCount(10), "jyuu");
        row("count 100", clips::lapCount(100), "hyaku");
        row("count 111", clips::lapCount(111), "hyaku jyuu ichi");
        row("count 300", clips::lapCount(300), "san byaku");
        row("count 305", clips::lapCount(305), "san byaku go");
        row("count 600", clips::lapCount(600), "roppyaku");
        row("count 800", clips::lapCount(800), "happyaku");
        row("count 999", clips::lapCount(999), "kyuu hyaku kyuu jyuu kyuu");
        row("count 1000", clips::lapCount(1000), "sen");
        row("count 3800", clips::lapCount(3800), "san zen happyaku");
        row("count 8021", clips::lapCount(8021), "hassen ni jyuu ichi");
        row("count 10000", clips::lapCount(10000), "ichi man");
        row("count 123456789", clips::lapCount(123456789),
            "ichi oku ni sen san byaku yon jyuu go man roku sen nana hyaku hachi jyuu kyuu");
        row("hours 00", clips::hours(0), "");
        row("hours 01", clips::hours(1), "ichi jkan");
        row("hours 04", clips::hours(4), "yo jkan");
        row("hours 09", clips::hours(9), "ku jkan");
        row("hours 10", clips::hours(10), "jyuu jkan");
        row("hours 49", clips::hours(49), "yon jyuu ku jkan");
        row("hours 100", clips::hours(100), "hyaku jkan");
        row("hours 596", clips::hours(596), "go hyaku kyuu jyuu roku jkan");
        row("minutes 00", clips::minutes(0), "");
        row("minutes 01", clips::minutes(1), "ippun");
        row("minutes 04", clips::minutes(4), "yon pun");
        row("minutes 09", clips::minutes(9), "kyuu fun");
        row("minutes 10", clips::minutes(10), "jyuppun");
        row("minutes 20", clips::minutes(20), "ni jyuppun");
        row("minutes 23", clips::minutes(23), "ni jyuu san pun");
        row("minutes 58", clips::minutes(58), "go jyuu happun");
        row("seconds 00 lap", clips::seconds(0, clips::ZeroSeconds::SayZero), "rei byo");
        row("seconds 00 total", clips::seconds(0, clips::ZeroSeconds::UnitOnly), "byo");
        row("seconds 04", clips::seconds(4, clips::ZeroSeconds::SayZero), "yon byo");
        row("seconds 09", clips::seconds(9, clips::ZeroSeconds::UnitOnly), "kyuu byo");
        row("seconds 10", clips::seconds(10, clips::ZeroSeconds::SayZero), "jyuu byo");
        row("seconds 23", clips::seconds(23, clips::ZeroSeconds::SayZero), "ni jyuu san byo");
        row("millis 004", clips::milliseconds(4), "rei rei yon");
    }
    void groups() {
        QFETCH(QStringList, clips);
        QFETCH(QString, expected);
        QCOMPARE(clips, clipsOf(expected));
    }

    void readOuts_data() {
        QTest::addColumn<int>("lapCount");
        QTest::addColumn<int>("lapTime");
        QTest::addColumn<int>("total");
        QTest::addColumn<bool>("running"); // the running-total read-out, else the lap read-out
        QTest::addColumn<QString>("expected");
        QTest::newRow("lap example")
            << 123 << 83456 << 3723004 << false
            << "lap hyaku ni jyuu san laptime ippun ni jyuu san byo yon go roku "
               "total ichi jkan ni fun san byo rei rei yon";
        QTest::newRow("lap count 0, lap time 0")
            << 0 << 0 << 0 << false << "lap laptime rei byo rei rei rei total rei byo rei rei rei";
        QTest::newRow("running example") << 123 << 0 << 3723004 << true
                                         << "total ichi jkan ni fun san byo rei rei yon 500ms "
                                            "lap hyaku ni jyuu san 500ms po po";
        QTest::newRow("running 0 ms")
            << 1 << 0 << 0 << true << "total byo rei rei rei 500ms lap ichi 500ms po po";
        QTest::newRow("running 12 000 ms") << 1 << 0 << 12000 << true
                                           << "total jyuu ni byo rei rei rei 500ms lap ichi "
                                              "500ms po po";
        QTest::newRow("running 60 000 ms") << 1 << 0 << 60000 << true
                                           << "total ippun byo rei rei rei 500ms lap ichi 500ms "
                                              "po po";
    }
    void readOuts() {
        QFETCH(int, lapCount);
        QFETCH(int, lapTime);
        QFETCH(int, total);
        QFETCH(bool, running);
        QFETCH(QString, expected);
        ListSink sink;
        if (running)
            clips::sayRunningTotalReadOut(fixed(total), fixed(lapCount), sink);
        else
            clips::sayLapReadOut(
                {fixed(lapCount), fixed(lapTime), fixed(total), [] { return false; }}, sink);
        QCOMPARE(sink.heard, clipsOf(expected));
    }

    // "Re" is read at the start and again at the end of the first pass.
    void repeat_data() {
        QTest::addColumn<QList<bool>>("repeatReadings");
        QTest::addColumn<QString>("expected");
        const QString pass = "lap ichi laptime go byo rei rei rei total go byo rei rei rei ";
        QTest::newRow("checked") << QList<bool>{true, true} << pass + "500ms pi pa 500ms " + pass;
        QTest::newRow("unchecked during the first pass") << QList<bool>{true, false} << pass + pass;
    }
    void repeat() {
        QFETCH(QList<bool>, repeatReadings);
        QFETCH(QString, expected);
        auto next = std::make_shared<int>(0);
        const auto repeatBox = [repeatReadings, next] { return repeatReadings.at((*next)++); };
        ListSink sink;
        clips::sayLapReadOut({fixed(1), fixed(5000), fixed(5000), repeatBox}, sink);
        QCOMPARE(sink.heard, clipsOf(expected));
    }

    // Each group and each millisecond digit comes from a later reading of a running total.
    void runningTotalFollowsTheWatch() {
        ListSink sink;
        // Read for the hours, minutes, seconds and the three millisecond digits.
        clips::sayTime(stepping({59999, 60001, 61000, 61234, 61250, 61256}),
                       clips::ZeroSeconds::UnitOnly, sink);
        QCOMPARE(sink.heard, clipsOf("ippun ichi byo ni go roku"));
    }

    void sentences_data() {
        using sentences::Language;
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("expected");
        const auto lap = [](Language language, int n, int lapTime, int total) {
            return sentences::lapSentence(language, n, lapTime, total);
        };
        const auto running = [](Language language, int total, int n) {
            return sentences::runningTotalSentence(language, total, n);
        };
        QTest::newRow("ja lap") << lap(Language::Japanese, 7, 5007, 3723004)
                                << "ラップ7=05秒007 トータル =01時間02分03秒004";
        QTest::newRow("en lap") << lap(Language::English, 7, 5007, 3723004)
                                << "lap 7=05Second, 007 total =01Hour, 02Minute, 03Second, 004";
        QTest::newRow("ja lap with hours")
            << lap(Language::Japanese, 7, 3605007, 0)
            << "ラップ7=01時間00分05秒007 トータル =00時間00分00秒000";
        QTest::newRow("ja lap with minutes") << lap(Language::Japanese, 7, 125007, 0)
                                             << "ラップ7=02分05秒007 トータル =00時間00分00秒000";
        QTest::newRow("ja before any lap")
            << lap(Language::Japanese, 0, 0, 0) << "ラップ0=00秒000 トータル =00時間00分00秒000";
        QTest::newRow("ja total minutes")
            << running(Language::Japanese, 125007, 7) << "トータル 02分05秒007 ; ラップ7";
        QTest::newRow("en total minutes")
            << running(Language::English, 125007, 7) << "total 02Minute, 05Second, 007 and lap 7";
        QTest::newRow("ja total hours")
            << running(Language::Japanese, 3605007, 7) << "トータル 01時間00分05秒007 ; ラップ7";
        QTest::newRow("en total hours") << running(Language::English, 3605007, 7)
                                        << "total 01Hour, 00Minute, 05Second, 007 and lap 7";
        QTest::newRow("en total 100 h") << running(Language::English, 360000000, 1)
                                        << "total 100Hour, 00Minute, 00Second, 000 and lap 1";
    }
    void sentences() {
        QFETCH(QString, sentence);
        QFETCH(QString, expected);
        QCOMPARE(sentence, expected);
    }
};

QTEST_GUILESS_MAIN(TestClipScript)
#include "tst_clipscript.moc"
