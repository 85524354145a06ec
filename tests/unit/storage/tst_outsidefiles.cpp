// The readers and writers of files from outside, on the conditions a user's disk can present:
// a full disk, a read-only folder, a FIFO or a device in a file's place, a file too large.
#include "CourseList.h"
#include "CsvFile.h"
#include "TestFiles.h"
#include "inifile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <future>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvos;

namespace {

// Saves through the CSV writer or the settings writer; returns the error text.
QString save(const QString& writer, const QString& path, const QByteArray& bytes) {
    if (writer == u"csv")
        return writeCsvFile(path, bytes);
    return saveIniDocument(path, IniDocument::fromBytes(bytes));
}

// Reads "course.txt" in the folder through the CSV, settings or course reader; returns the
// error text.
QString readError(const QString& reader, const QString& folder, qint64 limit) {
    const QString path = QDir(folder).filePath("course.txt");
    if (reader == u"csv")
        return readCsvFile(path, limit).error;
    if (reader == u"ini")
        return loadIniDocument(path, limit).error;
    return loadCourseList(folder, {.maxBytes = limit}).problem;
}

// A tmpfs of the given size, mounted over a new folder while it lives.
class SmallDisk {
public:
    explicit SmallDisk(const QString& size) {
        mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0,
                           QByteArray("size=" + size.toLatin1()).constData()) == 0;
    }
    ~SmallDisk() {
        if (mounted_)
            ::umount(QFile::encodeName(dir_.path()).constData());
    }
    bool mounted() const { return mounted_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Writes a file until the disk refuses more.
    void fill() const {
        QFile filler(filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// File access with the rights of user "nobody" while it lives; the superuser ignores the
// permission bits that a read-only folder is made of.
class AsNobody {
public:
    AsNobody() { ::setfsuid(65534); }
    ~AsNobody() { ::setfsuid(0); }
};

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
    const SmallDisk disk("64k");
    if (!disk.mounted())
        QSKIP("mounting a tmpfs is refused here (needs root)");
    const QString path = disk.filePath("old");
    testfiles::writeContents(path, OldContent);
    disk.fill();
    // Smaller than the write buffer, so that the bytes reach the disk only when it is flushed.
    const QByteArray larger = "[A]\nk=" + QByteArray(8000, 'n') + "\n";
    QVERIFY(!save(writer, path, larger).isEmpty());
    QCOMPARE(testfiles::contents(path), OldContent);
    QCOMPARE(QDir(disk.filePath({})).entryList(QDir::Files), (QStringList{"filler", "old"}));
}

void TestOutsideFiles::readOnlyFolderIsWrittenInPlace_data() {
    QTest::addColumn<QString>("writer");
    QTest::addColumn<bool>("fileWritable");
    QTest::addColumn<QString>("errorSays"); // empty: the save succeeds
    QTest::newRow("CSV, writable file") << "csv" << true << "";
    QTest::newRow("settings, writable file") << "ini" << true << "";
    QTest::newRow("CSV, read-only file") << "csv" << false << "neither";
    QTest::newRow("settings, read-only file") << "ini" << false << "read-only";
}

void TestOutsideFiles::readOnlyFolderIsWrittenInPlace() {
    QFETCH(QString, writer);
    QFETCH(bool, fileWritable);
    QFETCH(QString, errorSays);
    if (::geteuid() != 0)
        QSKIP("taking the rights of another user needs root");
    QTemporaryDir dir;
    const QString folder = dir.filePath("folder");
    const QString path = QDir(folder).filePath("file");
    QVERIFY(QDir().mkdir(folder));
    testfiles::writeContents(path, OldContent);
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    QVERIFY(::chmod(QFile::encodeName(path).constData(), fileWritable ? 0666 : 0444) == 0);
    QString error;
    {
        const AsNobody nobody;
        error = save(writer, path, NewContent);
    }
    QVERIFY2(error.contains(errorSays), qPrintable(error));
    QCOMPARE(error.isEmpty(), errorSays.isEmpty());
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

void TestOutsideFiles::readersRefuseWhatIsNoRegularFile() {
    QFETCH(QString, reader);
    QFETCH(QString, kind);
    QFETCH(QString, errorSays);
    QTemporaryDir dir;
    const QString path = dir.filePath("course.txt");
    const QByteArray nativePath = QFile::encodeName(path);
    if (kind == u"fifo")
        QVERIFY(::mkfifo(nativePath.constData(), 0600) == 0);
    else if (kind == u"device")
        QVERIFY(QFile::link("/dev/zero", path));
    else
        testfiles::writeContents(path, QByteArray(1025, '1'));

    // A read blocked on the FIFO, which has no writer, would hang the test: it is given a
    // generous deadline and then released by opening the FIFO for writing.
    auto read = std::async(std::launch::async, [&] { return readError(reader, dir.path(), 1024); });
    if (read.wait_for(std::chrono::seconds(30)) == std::future_status::timeout) {
        ::close(::open(nativePath.constData(), O_WRONLY | O_NONBLOCK));
        QFAIL("the read blocked");
    }
    const QString error = read.get();
    QVERIFY2(error.contains(errorSays), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestOutsideFiles)
#include "tst_outsidefiles.moc"
