#include "HistoryRecorder.h"
#include "HistoryStore.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace kelvos;

namespace {

// PostgreSQL's tools refuse to run as root: there they run as nobody.
QStringList asServerUser(const QString& program, const QStringList& arguments) {
    if (geteuid() != 0)
        return QStringList{program} + arguments;
    return QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", program} +
           arguments;
}

bool runTool(const QString& program, const QStringList& arguments) {
    const QStringList command = asServerUser(program, arguments);
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("%s: %s", qPrintable(command.join(' ')), process.readAll().constData());
        return false;
    }
    return true;
}

QString postgresBin() {
    const QStringList versions =
        QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (auto version = versions.rbegin(); version != versions.rend(); ++version)
        if (QFile::exists("/usr/lib/postgresql/" + *version + "/bin/pg_ctl"))
            return "/usr/lib/postgresql/" + *version + "/bin/";
    return {};
}

RunEvent runEvent(RunEventKind kind, const QString& name, qint32 total) {
    RunEvent e;
    e.kind = kind;
    e.total = total;
    e.wallClock = QDateTime(QDate(2026, 6, 1), QTime(8, 0)).addMSecs(total);
    e.details.names = {name, "", ""};
    e.details.course = "400";
    return e;
}

// A run whose laps no other run has: its competitor's name and lap length make it its own.
void recordRun(HistoryRecorder& recorder, const QString& name, int laps) {
    recorder.take(runEvent(RunEventKind::Started, name, 0));
    for (int i = 1; i <= laps; ++i) {
        RunEvent lap = runEvent(RunEventKind::Lap, name, i * 1000);
        lap.lap = {};
        lap.lap.competitor = 1;
        lap.lap.number = i;
        lap.lap.total = i * 1000;
        lap.lap.lap = 1000;
        lap.lap.name = name;
        recorder.take(lap);
    }
    recorder.take(runEvent(RunEventKind::Stopped, name, laps * 1000));
}

} // namespace

// A club's PostgreSQL database, on a private server for the test.
class TestHistoryClub : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        bin_ = postgresBin();
        if (bin_.isEmpty())
            QSKIP("PostgreSQL's server is not installed");
        QVERIFY(dir_.isValid());
        const QString owner = geteuid() == 0 ? "nobody:nogroup" : QString();
        QDir(dir_.path()).mkdir("sock");
        if (!owner.isEmpty())
            QCOMPARE(QProcess::execute("chown", {"-R", owner, dir_.path()}), 0);
        QVERIFY(runTool(bin_ + "initdb", {"-D", dataDir(), "-A", "trust", "-U", "kelvos"}));
        QVERIFY(startServer());
        address_ = "postgresql://kelvos@localhost/postgres?host=" + dir_.filePath("sock");
    }

    void cleanupTestCase() {
        if (!bin_.isEmpty())
            runTool(bin_ + "pg_ctl", {"-D", dataDir(), "-m", "immediate", "stop"});
    }

    void init() {
        HistoryStore club("cleaner");
        QCOMPARE(club.openAddress(address_), QString());
        QSqlQuery query(club.database());
        QVERIFY(query.exec("DELETE FROM laps"));
        QVERIFY(query.exec("DELETE FROM runs"));
    }

    // Two stations write at once: every run of both is in the club's database once.
    void twoStationsAtOnce() {
        QStringList problems;
        const auto report = [&](const QString& p) { problems << p; };
        HistoryRecorder first(dir_.filePath("a/history.sqlite"), address_, report);
        HistoryRecorder second(dir_.filePath("b/history.sqlite"), address_, report);
        for (int run = 1; run <= 10; ++run) {
            recordRun(first, QString("A%1").arg(run), run);
            recordRun(second, QString("B%1").arg(run), run);
        }
        first.waitUntilWritten();
        second.waitUntilWritten();
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QCOMPARE(clubCount("SELECT COUNT(*) FROM runs"), 20);
        QCOMPARE(clubCount("SELECT COUNT(*) FROM laps"), 2 * 55);
    }

    // The server stops between two runs and comes back before the third: the station tells the
    // operator once, and every run arrives once; a run restarted after its stop takes the place
    // of what went up at the stop.
    void serverAwayBetweenRuns() {
        QStringList problems;
        HistoryRecorder station(dir_.filePath("c/history.sqlite"), address_,
                                [&](const QString& p) { problems << p; });
        recordRun(station, "C1", 3);
        station.waitUntilWritten();
        QCOMPARE(clubCount("SELECT COUNT(*) FROM runs"), 1);

        QVERIFY(runTool(bin_ + "pg_ctl", {"-D", dataDir(), "-m", "fast", "-w", "stop"}));
        recordRun(station, "C2", 4);
        station.waitUntilWritten();
        QCOMPARE(problems.size(), 1);
        QVERIFY(startServer());

        recordRun(station, "C3", 5);
        station.waitUntilWritten();
        QCOMPARE(problems.size(), 1);
        QCOMPARE(clubCount("SELECT COUNT(*) FROM runs"), 3);
        QCOMPARE(clubCount("SELECT COUNT(*) FROM laps"), 3 + 4 + 5);

        station.take(runEvent(RunEventKind::Restarted, "C3", 5000));
        RunEvent lap = runEvent(RunEventKind::Lap, "C3", 6000);
        lap.lap.number = 6;
        lap.lap.total = 6000;
        lap.lap.lap = 1000;
        station.take(lap);
        station.take(runEvent(RunEventKind::Stopped, "C3", 6000));
        station.waitUntilWritten();
        QCOMPARE(clubCount("SELECT COUNT(*) FROM runs"), 3);
        QCOMPARE(clubCount("SELECT COUNT(*) FROM laps"), 3 + 4 + 6);
    }

private:
    QString dataDir() const { return dir_.filePath("data"); }

    bool startServer() {
        return runTool(bin_ + "pg_ctl",
                       {"-D", dataDir(), "-l", dir_.filePath("server.log"), "-w", "-o",
                        "-k " + dir_.filePath("sock") + " -c listen_addresses=''", "start"});
    }

    int clubCount(const QString& sql) {
        HistoryStore club("counter");
        if (!club.openAddress(address_).isEmpty())
            return -1;
        QSqlQuery query(club.database());
        return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
    }

    QString bin_;
    QTemporaryDir dir_;
    QString address_;
};

QTEST_GUILESS_MAIN(TestHistoryClub)
#include "tst_history_club.moc"
