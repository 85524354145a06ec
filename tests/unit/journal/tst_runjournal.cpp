#include "JournalReader.h"
#include "RunJournal.h"
#include "TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>

using namespace kelvos;
using Kind = JournalEntry::Kind;
using Entries = QList<JournalEntry>;
Q_DECLARE_METATYPE(Entries)

namespace {

JournalEntry command(Kind kind, qint32 total) {
    JournalEntry entry;
    entry.kind = kind;
    entry.total = total;
    return entry;
}

JournalEntry lap(int competitor, qint32 total, const QString& name) {
    return {Kind::Lap, competitor, total, name, QStringLiteral("400"), true, false, "12:34:56"};
}

Entries kinds(const QString& letters) {
    Entries entries;
    qint32 total = 0;
    for (const QChar letter : letters) {
        const Kind kind = QStringLiteral("ST+RL").indexOf(letter) >= 0
                              ? Kind(QStringLiteral("ST+RL").indexOf(letter))
                              : Kind::Lap;
        entries.append(kind == Kind::Lap ? lap(1, total, "a") : command(kind, total));
        total += 100;
    }
    return entries;
}

// The helper process of the kill test: starts a run and appends laps without end, saying
// "ready" once `laps` are in, until it is killed.
int appendUntilKilled(const QString& path, int laps) {
    RunJournal journal;
    if (!journal.open(path).isEmpty() || !journal.append(command(Kind::Start, 0)).isEmpty())
        return 1;
    for (qint32 n = 1;; ++n) {
        if (!journal.append(lap(1 + n % 3, n, QStringLiteral("lap %1").arg(n))).isEmpty())
            return 1;
        if (n == laps) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}

} // namespace

class TestRunJournal : public QObject {
    Q_OBJECT

private slots:
    void hostileNamesRoundTrip_data();
    void hostileNamesRoundTrip();
    void killedWriterLosesNoLap();
    void damageIsDroppedAndCounted_data();
    void damageIsDroppedAndCounted();
    void startEmptiesTheJournal();
    void fullDiskIsReported();
    void refusesWhatIsNotAJournal();
    void unfinishedRun_data();
    void unfinishedRun();

private:
    QTemporaryDir dir_;
};

void TestRunJournal::hostileNamesRoundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("comma and quotes") << QStringLiteral("O'Neil, \"Fast\" Joe");
    QTest::newRow("tab and line breaks") << QStringLiteral("a\tb\nc\r\nd");
    QTest::newRow("percent signs") << QStringLiteral("100% %41 %");
    QTest::newRow("Japanese and emoji") << QStringLiteral("山田 太郎 🏃‍♀️");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces and backslash") << QStringLiteral("  \\n \\t  ");
    QTest::newRow("control characters") << QString::fromUtf16(u"\u0001\u007f\u0085\u2028");
}

void TestRunJournal::hostileNamesRoundTrip() {
    QFETCH(QString, name);
    const QString path = dir_.filePath("roundtrip.journal");
    Entries written{command(Kind::Start, 0), lap(2, 65432, name)};
    written[1].courseLength = name;
    written[1].wallClock = name;
    written[1].milesPerHour = true;
    written[1].courseSelected = false;
    {
        RunJournal journal;
        QCOMPARE(journal.open(path), QString());
        for (const JournalEntry& entry : written)
            QCOMPARE(journal.append(entry), QString());
    }
    const JournalContents read = readJournal(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(read.skippedLines, 0);
    QVERIFY(read.entries == written);
}

// A real SIGKILL of a process that is appending laps as fast as it can.
void TestRunJournal::killedWriterLosesNoLap() {
    constexpr int laps = 500;
    const QString path = dir_.filePath("killed.journal");
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--append-until-killed", path, QString::number(laps)});
    QVERIFY(child.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return child.readAllStandardOutput().contains("ready"); }));
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const JournalContents read = readJournal(path);
    QCOMPARE(read.skippedLines, 0);
    QVERIFY(read.entries.size() > laps);
    QCOMPARE(read.entries.first(), command(Kind::Start, 0));
    for (qint32 n = 1; n < read.entries.size(); ++n)
        QCOMPARE(read.entries[n], lap(1 + n % 3, n, QStringLiteral("lap %1").arg(n)));
}

// "cut N": the last N bytes are gone (a kill mid-write); "flip N": byte N of the file is
// damaged. After reading, one more entry is appended: it must not be lost to the damage.
void TestRunJournal::damageIsDroppedAndCounted_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("torn");
    QTest::addColumn<int>("afterAppend");
    QTest::newRow("torn last line") << "cut 5" << 2 << 0 << true << 3;
    // The appended entry ends the torn line, which is whole and comes back.
    QTest::newRow("only the newline lost") << "cut 1" << 2 << 0 << true << 4;
    QTest::newRow("damaged middle line") << "flip 30" << 2 << 1 << false << 3;
    QTest::newRow("unknown line") << "insert" << 3 << 1 << false << 4;
}

void TestRunJournal::damageIsDroppedAndCounted() {
    QFETCH(QString, damage);
    QFETCH(int, kept);
    QFETCH(int, skipped);
    QFETCH(bool, torn);
    QFETCH(int, afterAppend);
    const QString path = dir_.filePath("damaged.journal");
    {
        RunJournal journal;
        QCOMPARE(journal.open(path), QString());
        journal.append(command(Kind::Start, 0));
        journal.append(lap(1, 1000, "first"));
        journal.append(lap(1, 2000, "second"));
    }
    QByteArray bytes = testfiles::contents(path);
    const int amount = damage.section(' ', 1).toInt();
    if (damage.startsWith("cut"))
        bytes.chop(amount);
    else if (damage.startsWith("flip"))
        bytes[amount] = bytes[amount] ^ 0x04;
    else
        bytes.append("future\tfield\n");
    testfiles::writeContents(path, bytes);

    JournalContents read = readJournal(path);
    QCOMPARE(read.entries.size(), kept);
    QCOMPARE(read.skippedLines, skipped);
    QCOMPARE(read.tornTail, torn);

    RunJournal journal;
    QCOMPARE(journal.open(path), QString());
    QCOMPARE(journal.append(command(Kind::Stop, 2500)), QString());
    journal.close();
    read = readJournal(path);
    QCOMPARE(read.entries.size(), afterAppend);
    QCOMPARE(read.entries.last(), command(Kind::Stop, 2500));
}

void TestRunJournal::startEmptiesTheJournal() {
    const QString path = dir_.filePath("runs.journal");
    RunJournal journal;
    QCOMPARE(journal.open(path), QString());
    for (const JournalEntry& entry : kinds("SLLT"))
        journal.append(entry);
    journal.append(command(Kind::Start, 0));
    journal.append(lap(3, 700, "new"));
    journal.close();
    QCOMPARE(readJournal(path).entries, (Entries{command(Kind::Start, 0), lap(3, 700, "new")}));
}

// A real full file system: a small tmpfs filled to the last byte.
void TestRunJournal::fullDiskIsReported() {
    const QString mountPoint = dir_.filePath("full");
    QDir().mkpath(mountPoint);
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=8k", "tmpfs", mountPoint}) != 0)
        QSKIP("mounting a tmpfs needs root");
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mountPoint}); });
    const QString path = mountPoint + "/run.journal";
    RunJournal journal;
    QCOMPARE(journal.open(path), QString());
    QCOMPARE(journal.append(command(Kind::Start, 0)), QString());
    QFile filler(mountPoint + "/filler");
    QVERIFY(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(512, 'x')) > 0 && filler.flush()) {
    }
    filler.close();
    QString error;
    for (qint32 n = 1; error.isEmpty() && n < 10000; ++n)
        error = journal.append(lap(1, n, "x"));
    QVERIFY2(error.contains(path) && error.contains("No space left"), qPrintable(error));
    // Room again: the next lap is written and readable, whatever the failed one left.
    QFile::remove(mountPoint + "/filler");
    QCOMPARE(journal.append(lap(1, 99999, "after")), QString());
    journal.close();
    QCOMPARE(readJournal(path).entries.last(), lap(1, 99999, "after"));
}

void TestRunJournal::refusesWhatIsNotAJournal() {
    const QString fifo = dir_.filePath("fifo");
    QCOMPARE(QProcess::execute("mkfifo", {fifo}), 0);
    const QString settings = dir_.filePath("kelvos.ini");
    testfiles::writeContents(settings, "[Form]\nName=x\n");
    for (const QString& path : {fifo, settings}) {
        RunJournal journal;
        QVERIFY(!journal.open(path).isEmpty());
        QVERIFY(!readJournal(path).error.isEmpty());
    }
    QCOMPARE(testfiles::contents(settings), QByteArray("[Form]\nName=x\n"));
    QVERIFY(!readJournal(dir_.path(), 10).error.isEmpty());
}

// Letters: S start, T stop, + restart, R reset, L lap.
void TestRunJournal::unfinishedRun_data() {
    QTest::addColumn<QString>("journal");
    QTest::addColumn<int>("replayed"); // -1: the run ended
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("running with laps") << "SLLL" << 4;
    QTest::newRow("stopped") << "SLLT" << -1;
    QTest::newRow("stopped and reset") << "SLTR" << -1;
    QTest::newRow("restarted after a stop") << "SLT+" << 4;
    QTest::newRow("restarted with more laps") << "SLT+LL" << 6;
    QTest::newRow("earlier runs are not replayed") << "SLTSL" << 2;
    QTest::newRow("no start") << "LL" << -1;
}

void TestRunJournal::unfinishedRun() {
    QFETCH(QString, journal);
    QFETCH(int, replayed);
    const Entries entries = kinds(journal);
    const std::optional<Entries> run = kelvos::unfinishedRun(entries);
    QCOMPARE(run ? int(run->size()) : -1, replayed);
    if (run)
        QVERIFY(*run == entries.mid(entries.size() - replayed));
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--append-until-killed") == 0)
        return appendUntilKilled(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestRunJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_runjournal.moc"
