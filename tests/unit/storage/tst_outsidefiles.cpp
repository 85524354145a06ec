// The readers and writers of files from outside, on the conditions a user's disk can present:
// a full disk, a read-only folder, a FIFO or a device in a file's place, a file too large.
#include "CourseList.h"
#include "CsvFile.h"
#include "IniFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvos;

namespace {

QString save(const QString& writer, const QString& path, const QByteArray& bytes) {
    if (writer == u"csv")
        return writeCsvFile(path, bytes);
    return saveIniDocument(path, IniDocument::fromBytes(bytes));
}

// Reads "course.txt" in the folder through the CSV, settings or course reader.
QString readError(const QString& reader, const QString& folder, qint64 limit) {
    const QString path = QDir(folder).filePath("course.txt");
    if (reader == u"csv")
        return readCsvFile(path, limit).error;
    if (reader == u"ini")
        return loadIniDocument(path, limit).error;
    return loadCourseList(folder, {.maxBytes = limit}).problem;
}

bool setMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

const QByteArray OldContent("[A]\nk=old\n");
const QByteArray NewContent("[A]\nk=new\n");

} // namespace

class TestOutsideFiles : public QObject {
    Q_OBJECT
private slots:
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void readOnlyFolderIsWrittenInPlace_data();
    void readOnlyFolderIsWrittenInPlace();
    void readersRefuseWhatIsNoRegularFile_data();
    void readersRefuseWhatIsNoRegularFile();
};

void TestOutsideFiles::fullDiskKeepsTheOldFile_data() {
    QTest::addColumn<QString>("writer");
    QTest::newRow("CSV") << "csv";
    QTest::newRow("settings") << "ini";
}

void TestOutsideFiles::fullDiskKeepsTheOldFile() {
    QFETCH(QString, writer);
    QTemporaryDir disk;
    const QByteArray mountPoint = QFile::encodeName(disk.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("mounting a tmpfs is refused here (needs root)");
    const auto unmount = qScopeGuard([&] { ::umount(mountPoint.constData()); });
    const QString path = disk.filePath("old");
    testfiles::writeContents(path, OldContent);
    QFile filler(disk.filePath("filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) > 0) {
    }
    filler.close();
    // Smaller than the write buffer, so that the bytes reach the disk only when it is flushed.
    QVERIFY(!save(writer, path, "[A]\nk=" + QByteArray(8000, 'n') + "\n").isEmpty());
    QCOMPARE(testfiles::contents(path), OldContent);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files), (QStringList{"filler", "old"}));
}

void TestOutsideFiles::readOnlyFolderIsWrittenInPlace_data() {
    QTest::addColumn<QString>("writer");
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<QString>("errorSays"); // empty: the save succeeds
    QTest::newRow("CSV, writable file") << "csv" << true << "";
    QTest::newRow("settings, writable file") << "ini" << true << "";
    QTest::newRow("CSV, read-only file") << "csv" << false << "neither";
}

// The superuser ignores permission bits, so the save runs with the file rights of "nobody".
void TestOutsideFiles::readOnlyFolderIsWrittenInPlace() {
    QFETCH(QString, writer);
    QFETCH(bool, fileWritable);
    QFETCH(QString, errorSays);
    if (::geteuid() != 0)
        QSKIP("taking the file rights of another user needs root");
    QTemporaryDir dir;
    const QString folder = dir.filePath("folder");
    const QString path = QDir(folder).filePath("file");
    QVERIFY(QDir().mkdir(folder));
    testfiles::writeContents(path, OldContent);
    QVERIFY(setMode(dir.path(), 0755) && setMode(folder, 0555));
    QVERIFY(setMode(path, fileWritable ? 0666 : 0444));
    ::setfsuid(65534);
    const QString error = save(writer, path, NewContent);
    ::setfsuid(0);
    QVERIFY2(error.contains(errorSays) && error.isEmpty() == errorSays.isEmpty(),
             qPrintable(error));
    QCOMPARE(testfiles::contents(path), errorSays.isEmpty() ? NewContent : OldContent);
}

void TestOutsideFiles::readersRefuseWhatIsNoRegularFile_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("errorSays");
    for (const char* reader : {"csv", "ini", "course"}) {
        QTest::addRow("%s, FIFO", reader) << reader << "fifo"
                                          << "not a regular file";
        QTest::addRow("%s, /dev/zero", reader) << reader << "device"
                                               << "not a regular file";
        QTest::addRow("%s, over the limit", reader) << reader << "large"
                                                    << "limit of 1 KiB";
    }
}

// A read that blocks on the FIFO (it has no writer) hangs until the test's time limit.
void TestOutsideFiles::readersRefuseWhatIsNoRegularFile() {
    QFETCH(QString, reader);
    QFETCH(QString, kind);
    QFETCH(QString, errorSays);
    QTemporaryDir dir;
    const QString path = dir.filePath("course.txt");
    if (kind == u"fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (kind == u"device")
        QVERIFY(QFile::link("/dev/zero", path));
    else
        testfiles::writeContents(path, QByteArray(1025, '1'));
    const QString error = readError(reader, dir.path(), 1024);
    QVERIFY2(error.contains(errorSays), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestOutsideFiles)
#include "tst_outsidefiles.moc"
