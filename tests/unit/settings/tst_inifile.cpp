#include "IniFile.h"
#include "TestFiles.h"

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
    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
};

void TestIniFile::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    path_ = dir_->filePath("KelvoS.ini");
}

void TestIniFile::missingFileReadsEmpty() {
    QVERIFY(!loadIniDocument(path_).document.value(u"AsString", u"Edit1Text"));
    QVERIFY(!QFile::exists(path_));
}

void TestIniFile::directoryReadsEmpty() {
    QVERIFY(!loadIniDocument(dir_->path()).document.value(u"A", u"k"));
}

void TestIniFile::writesUtf8WithoutByteOrderMark() {
    QCOMPARE(saveIniDocument(path_, documentWith("山田")), QString());
    QCOMPARE(contents(path_), QString("[AsString]\nEdit1Text=山田\n").toUtf8());
    QCOMPARE(loadIniDocument(path_).document.value(u"asstring", u"edit1text"), "山田");
}

void TestIniFile::replacesTheFileByRename() {
    writeContents(path_, "[AsString]\nEdit1Text=old\n");
    const ino_t before = inodeOf(path_);
    QCOMPARE(saveIniDocument(path_, documentWith("new")), QString());
    QVERIFY(inodeOf(path_) != before);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"KelvoS.ini"});
}

void TestIniFile::keepsPermissionsOfTheFile() {
    writeContents(path_, "[A]\n");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path_, permissions));
    QCOMPARE(saveIniDocument(path_, documentWith("x")), QString());
    QCOMPARE(QFile::permissions(path_) & ~(QFile::ReadUser | QFile::WriteUser), permissions);
}

void TestIniFile::refusesReadOnlyFile() {
    const QByteArray old("[AsString]\nEdit1Text=old\n");
    writeContents(path_, old);
    QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(!saveIniDocument(path_, documentWith("new")).isEmpty());
    QCOMPARE(contents(path_), old);
}

void TestIniFile::refusesMissingFolder() {
    const QString path = dir_->filePath("missing/KelvoS.ini");
    QVERIFY(!saveIniDocument(path, documentWith("x")).isEmpty());
    QVERIFY(!QFile::exists(dir_->filePath("missing")));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
