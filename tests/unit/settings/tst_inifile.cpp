#include "TestFiles.h"
#include "inifile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using kelvos::IniDocument;
using kelvos::loadIniDocument;
using kelvos::saveIniDocument;

using testfiles::contents;
using testfiles::writeContents;

namespace {

ino_t inodeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

IniDocument documentWith(const QString& value) {
    IniDocument document;
    document.setValue("AsString", "Edit1Text", value);
    return document;
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void missingFileReadsEmpty();
    void directoryReadsEmpty();
    void writesUtf8WithoutByteOrderMark();
    void replacesTheFileByRename();
    void keepsPermissionsOfTheFile();
    void refusesReadOnlyFile();
    void refusesMissingFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestIniFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath("KelvoS.ini");
}

void TestIniFile::missingFileReadsEmpty() {
    QVERIFY(!loadIniDocument(m_path).document.value(u"AsString", u"Edit1Text"));
    QVERIFY(!QFile::exists(m_path));
}

void TestIniFile::directoryReadsEmpty() {
    QVERIFY(!loadIniDocument(m_dir->path()).document.value(u"A", u"k"));
}

void TestIniFile::writesUtf8WithoutByteOrderMark() {
    QCOMPARE(saveIniDocument(m_path, documentWith("山田")), QString());
    QCOMPARE(contents(m_path), QString("[AsString]\nEdit1Text=山田\n").toUtf8());
    QCOMPARE(loadIniDocument(m_path).document.value(u"asstring", u"edit1text"), "山田");
}

void TestIniFile::replacesTheFileByRename() {
    writeContents(m_path, "[AsString]\nEdit1Text=old\n");
    const ino_t before = inodeOf(m_path);
    QCOMPARE(saveIniDocument(m_path, documentWith("new")), QString());
    QVERIFY(inodeOf(m_path) != before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"KelvoS.ini"});
}

void TestIniFile::keepsPermissionsOfTheFile() {
    writeContents(m_path, "[A]\n");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(m_path, permissions));
    QCOMPARE(saveIniDocument(m_path, documentWith("x")), QString());
    QCOMPARE(QFile::permissions(m_path) & ~(QFile::ReadUser | QFile::WriteUser), permissions);
}

void TestIniFile::refusesReadOnlyFile() {
    const QByteArray old("[AsString]\nEdit1Text=old\n");
    writeContents(m_path, old);
    QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(!saveIniDocument(m_path, documentWith("new")).isEmpty());
    QCOMPARE(contents(m_path), old);
}

void TestIniFile::refusesMissingFolder() {
    const QString path = m_dir->filePath("missing/KelvoS.ini");
    QVERIFY(!saveIniDocument(path, documentWith("x")).isEmpty());
    QVERIFY(!QFile::exists(m_dir->filePath("missing")));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
