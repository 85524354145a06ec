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
        using clips::ZeroSeconds;
        QTest::addColumn<QStringList>("clips");
        QTest::addColumn<QString>("expected");
        const std::pair<QStringList, const char*> rows[] = {
            {clips::lapCount(0), ""},
            {clips::lapCount(10), "jyuu"},
            {clips::lapCount(100), "hyaku"},
            {clips::lapCount(111), "hyaku jyuu ichi"},
            {clips::lapCount(300), "san byaku"},
            {clips::lapCount(305), "san byaku go"},
            {clips::lapCount(600), "roppyaku"},
            {clips::lapCount(800), "happyaku"},
            {clips::lapCount(999), "kyuu hyaku kyuu jyuu kyuu"},
            {clips::lapCount(1000), "sen"},
            {clips::lapCount(3800), "san zen happyaku"},
            {clips::lapCount(8021), "hassen ni jyuu ichi"},
            {clips::lapCount(10000), "ichi man"},
            {clips::lapCount(123456789), "ichi oku ni sen san byaku yon jyuu go man roku sen "
                                         "nana hyaku hachi jyuu kyuu"},
            {clips::hours(0), ""},
            {clips::hours(1), "ichi jkan"},
            {clips::hours(4), "yo jkan"},
            {clips::hours(9), "ku jkan"},
            {clips::hours(10), "jyuu jkan"},
            {clips::hours(49), "yon jyuu ku jkan"},
            {clips::hours(100), "hyaku jkan"},
            {clips::hours(596), "go hyaku kyuu jyuu roku jkan"},
            {clips::minutes(0), ""},
            {clips::minutes(1), "ippun"},
            {clips::minutes(4), "yon pun"},
            {clips::minutes(9), "kyuu fun"},
            {clips::minutes(10), "jyuppun"},
            {clips::minutes(20), "ni jyuppun"},
            {clips::minutes(23), "ni jyuu san pun"},
            {clips::minutes(58), "go jyuu happun"},
            {clips::seconds(0, ZeroSeconds::SayZero), "rei byo"},
            {clips::seconds(0, ZeroSeconds::UnitOnly), "byo"},
            {clips::seconds(4, ZeroSeconds::SayZero), "yon byo"},
            {clips::seconds(9, ZeroSeconds::UnitOnly), "kyuu byo"},
            {clips::seconds(10, ZeroSeconds::SayZero), "jyuu byo"},
            {clips::seconds(23, ZeroSeconds::SayZero), "ni jyuu san byo"},
            {clips::milliseconds(4), "rei rei yon"},
        };
        int row = 0;
        for (const auto& [clips, expected] : rows)
            QTest::addRow("%d: %s", ++row, expected) << clips << QString(expected);
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
        const auto lap = sentences::lapSentence;
        const auto total = sentences::runningTotalSentence;
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("expected");
        const std::pair<QString, const char*> rows[] = {
            {lap(Language::Japanese, 7, 5007, 3723004),
             "ラップ7=05秒007 トータル =01時間02分03秒004"},
            {lap(Language::English, 7, 5007, 3723004),
             "lap 7=05Second, 007 total =01Hour, 02Minute, 03Second, 004"},
            {lap(Language::Japanese, 7, 3605007, 0),
             "ラップ7=01時間00分05秒007 トータル =00時間00分00秒000"},
            {lap(Language::Japanese, 7, 125007, 0),
             "ラップ7=02分05秒007 トータル =00時間00分00秒000"},
            {lap(Language::Japanese, 0, 0, 0), "ラップ0=00秒000 トータル =00時間00分00秒000"},
            {total(Language::Japanese, 125007, 7), "トータル 02分05秒007 ; ラップ7"},
            {total(Language::English, 125007, 7), "total 02Minute, 05Second, 007 and lap 7"},
            {total(Language::Japanese, 3605007, 7), "トータル 01時間00分05秒007 ; ラップ7"},
            {total(Language::English, 3605007, 7),
             "total 01Hour, 00Minute, 05Second, 007 and lap 7"},
            {total(Language::English, 360000000, 1),
             "total 100Hour, 00Minute, 00Second, 000 and lap 1"},
        };
        for (const auto& [sentence, expected] : rows)
            QTest::newRow(expected) << sentence << QString(expected);
    }
    void sentences() {
        QFETCH(QString, sentence);
        QFETCH(QString, expected);
        QCOMPARE(sentence, expected);
    }
};

QTEST_GUILESS_MAIN(TestClipScript)
#include "tst_clipscript.moc"
