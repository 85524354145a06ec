#include "JournalReader.h"
#include "RunJournal.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvos;
using Kind = JournalEntry::Kind;

namespace {

JournalEntry entry(Kind kind, qint32 total, const QString& name = {}, int competitor = 1) {
    if (kind == Kind::Saved)
        return {kind, 1, total, {}, {}, false, false, {}, QStringLiteral("20261208-1234M.csv")};
    if (kind != Kind::Lap)
        return {kind, 1, total, {}, {}, false, false, {}, {}};
    return {kind, competitor, total, name, name + "m", true, true, name + ":00", {}};
}

// Letters: S start, T stop, + restart, R reset, L lap, V saved.
const QString kKindLetters = QStringLiteral("ST+RLV");

QList<JournalEntry> run(const QString& letters) {
    QList<JournalEntry> entries;
    for (const QChar letter : letters)
        entries.append(entry(Kind(kKindLetters.indexOf(letter)), int(entries.size())));
    return entries;
}

QString lettersOf(const QList<JournalEntry>& entries) {
    QString letters;
    for (const JournalEntry& e : entries)
        letters += kKindLetters.at(int(e.kind));
    return letters;
}

// The lines of a journal, each with its newline, after the header of `version`.
QByteArray journalBytes(const QList<JournalEntry>& entries, int version = journalVersion) {
    QByteArray bytes = "KelvoS run journal " + QByteArray::number(version) + '\n';
    for (const JournalEntry& e : entries)
        bytes += encodeJournalLine(e);
    return bytes;
}

QString writeJournal(const QString& path, const QList<JournalEntry>& entries) {
    RunJournal journal;
    QString error = journal.open(path);
    for (const JournalEntry& e : entries)
        error += journal.append(e);
    return error;
}

// The helper process of the kill test: ends one run, starts another and appends laps without
// end, saying "ready" once `laps` are in.
int appendUntilKilled(const QString& path, int laps) {
    RunJournal journal;
    QString error = journal.open(path);
    for (const JournalEntry& e : run("STS"))
        error += journal.append(e);
    for (qint32 n = 1; error.isEmpty(); ++n) {
        error = journal.append(entry(Kind::Lap, n, QString::number(n), 1 + n % 3));
        if (n == laps)
            std::puts("ready"), std::fflush(stdout);
    }
    return 1;
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
    void fullDiskIsReported();
    void refusesWhatIsNotAJournal();
    void unfinishedRun_data();
    void unfinishedRun();
    void damagedJournalsAreReadAsFarAsTheyCan_data();
    void damagedJournalsAreReadAsFarAsTheyCan();
    void olderJournalGoesOnInTodaysForm();

private:
    QTemporaryDir dir_;
};

void TestRunJournal::hostileNamesRoundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("comma and quotes") << QStringLiteral("O'Neil, \"Fast\" Joe");
    QTest::newRow("tab and line breaks") << QStringLiteral("a\tb\nc\r\nd");
    QTest::newRow("percent signs") << QStringLiteral("100% %41 %");
    QTest::newRow("Japanese, emoji, controls")
        << QString::fromUtf16(u"山田 🏃‍♀️\u0001\u2028");
    QTest::newRow("empty") << QString();
}

void TestRunJournal::hostileNamesRoundTrip() {
    QFETCH(QString, name);
    const QString path = dir_.filePath("roundtrip.journal");
    const QList<JournalEntry> written{entry(Kind::Start, 0), entry(Kind::Lap, 65432, name, 2)};
    QCOMPARE(writeJournal(path, written), QString());
    const JournalContents read = readJournal(path);
    QCOMPARE(read.unreadableLines, QList<int>());
    QVERIFY(read.entries == written);
}

// A real SIGKILL of a process appending laps as fast as it can: every lap written is read back,
// and the run before the last Start is gone.
void TestRunJournal::killedWriterLosesNoLap() {
    const QString path = dir_.filePath("killed.journal");
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    const QByteArray journalPath = QFile::encodeName(path);
    int output[2];
    QCOMPARE(::pipe(output), 0);
    // A plain fork and exec: the child runs no code of this process but exec.
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::execl(program.constData(), program.constData(), "--append-until-killed",
                journalPath.constData(), "500", nullptr);
        ::_exit(127);
    }
    ::close(output[1]);
    char ready[6] = {};
    QCOMPARE(::read(output[0], ready, 5), 5); // blocks until the child has written 500 laps
    ::close(output[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const JournalContents read = readJournal(path);
    QCOMPARE(read.unreadableLines, QList<int>());
    QVERIFY(read.entries.size() > 500);
    QCOMPARE(read.entries.first(), entry(Kind::Start, 2));
    for (qint32 n = 1; n < read.entries.size(); ++n)
        QCOMPARE(read.entries[n], entry(Kind::Lap, n, QString::number(n), 1 + n % 3));
}

// "cut N": the last N bytes are gone (a kill mid-write); "flip N": byte N is damaged. An entry
// appended afterwards must not be lost to the damage.
void TestRunJournal::damageIsDroppedAndCounted_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<bool>("torn");
    QTest::addColumn<QString>("afterAppend");
    QTest::newRow("torn last line") << "cut 5" << 1 << true << "SLT";
    QTest::newRow("only the newline lost, the line comes back") << "cut 1" << 1 << true << "SLLT";
    QTest::newRow("damaged middle line") << "flip 40" << 1 << false << "SLT";
}

void TestRunJournal::damageIsDroppedAndCounted() {
    QFETCH(QString, damage);
    QFETCH(int, skipped);
    QFETCH(bool, torn);
    QFETCH(QString, afterAppend);
    const QString path = dir_.filePath("damaged.journal");
    QCOMPARE(writeJournal(path, run("SLL")), QString());
    QByteArray bytes = testfiles::contents(path);
    const int amount = damage.section(' ', 1).toInt();
    if (damage.startsWith("cut"))
        bytes.chop(amount);
    else
        bytes[amount] = char(bytes[amount] ^ 0x04);
    testfiles::writeContents(path, bytes);
    const JournalContents read = readJournal(path);
    QCOMPARE(read.entries.size(), 2);
    QCOMPARE(read.unreadableLines.size(), skipped);
    QCOMPARE(read.tornTail, torn);

    QCOMPARE(writeJournal(path, {entry(Kind::Stop, 3)}), QString());
    QCOMPARE(lettersOf(readJournal(path).entries), afterAppend);
}

// A real full file system: a small tmpfs filled to the last byte.
void TestRunJournal::fullDiskIsReported() {
    const QString mount = dir_.filePath("full");
    QDir().mkpath(mount);
    const QByteArray mountPath = QFile::encodeName(mount);
    if (::mount("tmpfs", mountPath.constData(), "tmpfs", 0, "size=8k") != 0)
        QSKIP("mounting a tmpfs needs root");
    const auto unmount = qScopeGuard([&] { ::umount(mountPath.constData()); });
    RunJournal journal;
    QCOMPARE(journal.open(mount + "/run.journal"), QString());
    QCOMPARE(journal.append(entry(Kind::Start, 0)), QString());
    QFile filler(mount + "/filler");
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(512, 'x')) > 0) {
    }
    QString error;
    for (qint32 n = 1; error.isEmpty() && n < 1000; ++n)
        error = journal.append(entry(Kind::Lap, n, "x"));
    QVERIFY2(error.contains("run.journal: No space left"), qPrintable(error));
    filler.close();
    QVERIFY(QFile::remove(filler.fileName()));
    QCOMPARE(journal.append(entry(Kind::Lap, 99999, "after")), QString());
    QCOMPARE(readJournal(mount + "/run.journal").entries.last(), entry(Kind::Lap, 99999, "after"));
}

void TestRunJournal::refusesWhatIsNotAJournal() {
    const QString fifo = dir_.filePath("fifo");
    const QString settings = dir_.filePath("kelvos.ini");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    testfiles::writeContents(settings, "[Form]\n");
    for (const QString& path : {fifo, settings}) {
        QVERIFY(!RunJournal().open(path).isEmpty());
        QVERIFY(!readJournal(path).error.isEmpty());
    }
    QCOMPARE(testfiles::contents(settings), QByteArray("[Form]\n"));
}

// Version 2 journals finish a run with the Saved entry written after its file; version 1
// journals, which had none, with the Stop.
void TestRunJournal::unfinishedRun_data() {
    QTest::addColumn<QString>("journal");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("replayed"); // -1: the run ended
    QTest::newRow("running with laps") << "SLLL" << 2 << 4;
    QTest::newRow("stopped, its file not known to be written") << "SLLT" << 2 << 4;
    QTest::newRow("stopped and saved") << "SLLTV" << 2 << -1;
    QTest::newRow("stopped and reset") << "SLTR" << 2 << -1;
    QTest::newRow("saved, restarted with more laps") << "SLTV+LL" << 2 << 7;
    QTest::newRow("saved, restarted and stopped again") << "SLTV+LT" << 2 << 7;
    QTest::newRow("earlier runs are not replayed") << "SLTVSL" << 2 << 2;
    QTest::newRow("start line lost: the laps are the run") << "LL" << 2 << 2;
    QTest::newRow("empty") << "" << 2 << -1;
    QTest::newRow("version 1: stopped") << "SLLT" << 1 << -1;
    QTest::newRow("version 1: running") << "SLL" << 1 << 3;
}

void TestRunJournal::unfinishedRun() {
    QFETCH(QString, journal);
    QFETCH(int, version);
    QFETCH(int, replayed);
    const QList<JournalEntry> entries = run(journal);
    const auto unfinished = kelvos::unfinishedRun(entries, version);
    QCOMPARE(unfinished ? int(unfinished->size()) : -1, replayed);
    QVERIFY(!unfinished || *unfinished == entries.mid(entries.size() - replayed));
}

// Damaged journals as found after crashes and copies: every readable line is kept, the others
// are numbered (the header is line 1), and the run is what can be read of it.
void TestRunJournal::damagedJournalsAreReadAsFarAsTheyCan_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QList<int>>("unreadable");
    QTest::addColumn<int>("restored"); // entries of the unfinished run; -1: none
    const QByteArray good = journalBytes(run("SLLL"));
    QByteArray startDamaged = good;
    startDamaged[good.indexOf("start") + 1] = 'X';
    QByteArray lapDamaged = journalBytes(run("SLLLL"));
    lapDamaged[lapDamaged.lastIndexOf("lap") + 6] = '#';
    QByteArray crlf = good;
    crlf.replace("\n", "\r\n");
    QByteArray crlfStartDamaged = startDamaged;
    crlfStartDamaged.replace("\n", "\r\n");
    QTest::newRow("intact") << good << "SLLL" << QList<int>{} << 4;
    QTest::newRow("start line damaged") << startDamaged << "LLL" << QList<int>{2} << 3;
    QTest::newRow("CR LF line ends") << crlf << "SLLL" << QList<int>{} << 4;
    QTest::newRow("CR LF, start line damaged") << crlfStartDamaged << "LLL" << QList<int>{2} << 3;
    QTest::newRow("fourth lap damaged") << lapDamaged << "SLLL" << QList<int>{6} << 4;
    QTest::newRow("garbage between laps")
        << journalBytes(run("SL")) + "\x01\xff garbage\n\n" + encodeJournalLine(entry(Kind::Lap, 9))
        << "SLL" << QList<int>{4} << 3;
    QTest::newRow("cut in the last line") << good.chopped(7) << "SLL" << QList<int>{5} << 3;
    QTest::newRow("version 1, stopped")
        << journalBytes(run("SLT"), 1) << "SLT" << QList<int>{} << -1;
    QTest::newRow("version 2, stopped without its file")
        << journalBytes(run("SLT")) << "SLT" << QList<int>{} << 3;
    QTest::newRow("saved line damaged") << journalBytes(run("SLTV")).chopped(3) + "00\n"
                                        << "SLT" << QList<int>{5} << 3;
}

void TestRunJournal::damagedJournalsAreReadAsFarAsTheyCan() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, entries);
    QFETCH(QList<int>, unreadable);
    QFETCH(int, restored);
    const QString path = dir_.filePath("damaged-table.journal");
    testfiles::writeContents(path, bytes);
    const JournalContents read = readJournal(path);
    QCOMPARE(read.error, QString());
    QCOMPARE(lettersOf(read.entries), entries);
    QCOMPARE(read.unreadableLines, unreadable);
    const auto unfinished = kelvos::unfinishedRun(read.entries, read.version);
    QCOMPARE(unfinished ? int(unfinished->size()) : -1, restored);
}

// A journal of the previous version goes on in today's form: its header is brought up to date
// with the first line added, so the Stop of a restored run no longer finishes it by itself.
void TestRunJournal::olderJournalGoesOnInTodaysForm() {
    const QString path = dir_.filePath("old.journal");
    testfiles::writeContents(path, journalBytes(run("SLL"), 1));
    QCOMPARE(readJournal(path).version, 1);
    QCOMPARE(writeJournal(path, {entry(Kind::Stop, 3)}), QString());
    const JournalContents read = readJournal(path);
    QCOMPARE(read.version, journalVersion);
    QCOMPARE(lettersOf(read.entries), QString("SLLT"));
    QVERIFY(kelvos::unfinishedRun(read.entries, read.version));
    QCOMPARE(writeJournal(path, {entry(Kind::Saved, 3)}), QString());
    QCOMPARE(readJournal(path).entries.last(), entry(Kind::Saved, 3));
    QVERIFY(!kelvos::unfinishedRun(readJournal(path).entries));
    testfiles::writeContents(path, "KelvoS run journal 3\n");
    QVERIFY(!RunJournal().open(path).isEmpty()); // a later version is not taken on
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--append-until-killed") == 0)
        return appendUntilKilled(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    TestRunJournal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_runjournal.moc"
