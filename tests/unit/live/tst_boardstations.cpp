#include "BoardStations.h"

#include <QTest>

using namespace kelvos;

using Change = BoardStations::Change;
Q_DECLARE_METATYPE(BoardStations::Change)

class TestBoardStations : public QObject {
    Q_OBJECT

private slots:
    void runsFromTheBroker_data();
    void runsFromTheBroker();
    void stationsBeyondTheLimitAreIgnored();
};

// Each station keeps its latest run; what the broker carries from elsewhere that is no run
// leaves the board as it was.
void TestBoardStations::runsFromTheBroker_data() {
    QTest::addColumn<QString>("station");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("stations"); // afterwards, with "track" holding a run before
    QTest::addColumn<QString>("trackState");
    const QStringList trackOnly{"track"};
    QTest::newRow("new run of the station") << "track" << QByteArray(R"({"state":"stopped"})")
                                            << Change::Updated << trackOnly << "stopped";
    QTest::newRow("another station")
        << "finish" << QByteArray(R"({"state":"idle"})") << Change::Updated
        << QStringList{"finish", "track"} << "running";
    QTest::newRow("removed retained run")
        << "track" << QByteArray() << Change::Removed << QStringList{} << "";
    QTest::newRow("removal of an unknown station")
        << "finish" << QByteArray() << Change::None << trackOnly << "running";
    QTest::newRow("array") << "track" << QByteArray("[1,2]") << Change::None << trackOnly
                           << "running";
    QTest::newRow("not JSON") << "track" << QByteArray("lap1") << Change::None << trackOnly
                              << "running";
    QTest::newRow("over the size limit")
        << "track"
        << R"({"state":"stopped","pad":")" + QByteArray(BoardStations::kMaxRunBytes, 'x') + "\"}"
        << Change::None << trackOnly << "running";
    QTest::newRow("name too long")
        << QString(BoardStations::kMaxNameLength + 1, 'n') << QByteArray(R"({"state":"idle"})")
        << Change::None << trackOnly << "running";
}

void TestBoardStations::runsFromTheBroker() {
    QFETCH(QString, station);
    QFETCH(QByteArray, payload);
    QFETCH(Change, change);
    QFETCH(QStringList, stations);
    QFETCH(QString, trackState);
    BoardStations board;
    QCOMPARE(board.take("track", R"({"state":"running","total":1200})"), Change::Updated);
    QCOMPARE(board.take(station, payload), change);
    QStringList names;
    QString state;
    for (const QJsonValue& entry : board.toJson()) {
        names.append(entry["station"].toString());
        if (names.last() == "track")
            state = entry["run"]["state"].toString();
    }
    QCOMPARE(names, stations);
    QCOMPARE(state, trackState);
}

// A broker full of stations cannot grow the board without end; the stations already shown
// still change.
void TestBoardStations::stationsBeyondTheLimitAreIgnored() {
    BoardStations board;
    for (int i = 0; i < BoardStations::kMaxStations; ++i)
        QCOMPARE(board.take(QString("s%1").arg(i), "{}"), Change::Updated);
    QCOMPARE(board.take("one too many", "{}"), Change::None);
    QCOMPARE(board.size(), BoardStations::kMaxStations);
    QCOMPARE(board.take("s0", R"({"state":"running"})"), Change::Updated);
    QCOMPARE(board.stationJson("s0").value("run")["state"].toString(), "running");
    QCOMPARE(board.take("s1", {}), Change::Removed);
    QCOMPARE(board.take("one too many", "{}"), Change::Updated);
}

QTEST_GUILESS_MAIN(TestBoardStations)
#include "tst_boardstations.moc"
