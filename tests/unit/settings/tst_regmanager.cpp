#include "TRegManager.h"
#include "TestFiles.h"
#include "recordingreporter.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using kelvos::FontSettings;
using kelvos::StreamedComponent;
using kelvos::StreamValue;

using testfiles::contents;
using testfiles::writeContents;

namespace {

QByteArray countingBytes(int size) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>(i * 7 + 1));
    return bytes;
}

const QString WriteRefused = QStringLiteral(" に書き込めません");

} // namespace

class TestRegManager : public QObject {
    Q_OBJECT

private slots:
    void init();

    void lookupIgnoresLetterCase();
    void unknownItemIsReportedAndInert();
    void missingFileNameIsReported();

    void booleanDefaults_data();
    void booleanDefaults();
    void booleanStoredValues_data();
    void booleanStoredValues();
    void integerValues_data();
    void integerValues();
    void typedWritesStoreTheirText();
    void everyOperationReadsTheFileAnew();
    void batchReadsAndWritesTheFileOnce();
    void stringsReadBackAsWritten_data();
    void stringsReadBackAsWritten();
    void legacyFileKeepsItsOtherLines();

    void refusedWritesAreReported_data();
    void refusedWritesAreReported();

    void streamOf40Then10Bytes();
    void streamSectionWithBackslash();
    void streamRoundTrip_data();
    void streamRoundTrip();
    void streamHexPairs_data();
    void streamHexPairs();
    void damagedLineCountStaysBounded();

    void stringListKeys();
    void stringListMissingLinesAreEmpty();

    void fontRoundTrip();
    void fontWithDamagedValues();
    void colorTexts_data();
    void colorTexts();

    void componentRoundTrip();
    void componentMissingOrDamaged_data();
    void componentMissingOrDamaged();

private:
    TRegFiler& item(const QString& name) { return manager_->Item(name); }
    void addItem(const QString& name, const QString& section, const QString& ident,
                 const QString& defaultValue = {}) {
        manager_->RegItems().add({name, section, ident, defaultValue});
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString path_;
    RecordingReporter reporter_;
    std::unique_ptr<TRegManager> manager_;
};

void TestRegManager::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    path_ = dir_->filePath("KelvoS.ini");
    reporter_.messages.clear();
    manager_ = std::make_unique<TRegManager>(&reporter_);
    manager_->setIniFileName(path_);
    addItem("HotKey1Component", "Form\\HotKey1", "prop");
    addItem("Edit1Text", "AsString", "Edit1Text");
    addItem("CheckBox6Checked", "Form\\CheckBox6", "Checked", "True");
    addItem("ComboBox1ItemIndex", "Form\\ComboBox1ItemIndex", "Integer", "0");
    addItem("Lines", "Lists", "Memo");
    addItem("Font", "Fonts", "Label1");
}

void TestRegManager::lookupIgnoresLetterCase() {
    TRegFiler& filer = item("checkbox6CHECKED");
    QVERIFY(filer.currentItem());
    QCOMPARE(filer.currentItem()->Name, "CheckBox6Checked");
    QCOMPARE(&item("EDIT1TEXT"), &filer);
    QCOMPARE(filer.currentItem()->Section, "AsString");
    QVERIFY(reporter_.messages.isEmpty());
}

void TestRegManager::unknownItemIsReportedAndInert() {
    writeContents(path_, "[AsString]\nEdit1Text=Taro\n");
    TRegFiler& filer = item("Edit1Text");
    QCOMPARE(&item("Edit9Text"), &filer);
    QCOMPARE(reporter_.messages, QStringList{"[' Edit9Text '] is invalid."});
    QVERIFY(!filer.currentItem());
    QCOMPARE(filer.GetAsString(), QString());
    QCOMPARE(filer.GetAsInteger(), 0);
    QCOMPARE(filer.GetAsBoolean(), false);
    QVERIFY(!filer.ReadComponent());
    QVERIFY(!filer.SetAsString("x"));
    QVERIFY(!filer.WriteStream("abc"));
    QCOMPARE(contents(path_), QByteArray("[AsString]\nEdit1Text=Taro\n"));
    QCOMPARE(reporter_.messages.size(), 1);
}

void TestRegManager::missingFileNameIsReported() {
    manager_->setIniFileName(QString());
    QCOMPARE(item("CheckBox6Checked").GetAsBoolean(), true);
    QCOMPARE(item("ComboBox1ItemIndex").GetAsInteger(), 0);
    QVERIFY(!item("Edit1Text").SetAsString("x"));
    QVERIFY(!item("HotKey1Component").WriteStream("x"));
    const QString message = "can not create Inifile object.";
    QCOMPARE(reporter_.messages, QStringList({message, message, message, message}));
}

void TestRegManager::booleanDefaults_data() {
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("True") << "True" << true;
    QTest::newRow("yes") << "yes" << true;
    QTest::newRow("YES") << "YES" << true;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("On") << "On" << false;
    QTest::newRow("2") << "2" << false;
    QTest::newRow("False") << "False" << false;
    QTest::newRow("none") << "" << false;
}

void TestRegManager::booleanDefaults() {
    QFETCH(QString, defaultValue);
    QFETCH(bool, expected);
    addItem("Flag", "Form\\Flag", "Checked", defaultValue);
    QCOMPARE(item("Flag").GetAsBoolean(), expected);
    QVERIFY(!QFile::exists(path_));
}

void TestRegManager::booleanStoredValues_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("2") << QByteArray("2") << true;
    QTest::newRow("256") << QByteArray("256") << false;
    QTest::newRow("257") << QByteArray("257") << true;
    QTest::newRow("-1") << QByteArray("-1") << true;
    QTest::newRow("True") << QByteArray("True") << false;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("beyond 32 bits") << QByteArray("4294967297") << false;
}

void TestRegManager::booleanStoredValues() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, expected);
    writeContents(path_, "[Form\\CheckBox6]\nChecked=" + stored + "\n");
    QCOMPARE(item("CheckBox6Checked").GetAsBoolean(), expected);
}

void TestRegManager::integerValues_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing gives the default") << QByteArray() << 0;
    QTest::newRow("stored") << QByteArray("Integer=3") << 3;
    QTest::newRow("negative") << QByteArray("Integer=-1") << -1;
    QTest::newRow("plus sign") << QByteArray("Integer=+4") << 4;
    QTest::newRow("not a number") << QByteArray("Integer=3x") << 0;
    QTest::newRow("hexadecimal is not decimal") << QByteArray("Integer=$10") << 0;
    QTest::newRow("too large") << QByteArray("Integer=2147483648") << 0;
    QTest::newRow("smallest") << QByteArray("Integer=-2147483648") << int(-2147483648LL);
}

void TestRegManager::integerValues() {
    QFETCH(QByteArray, file);
    QFETCH(int, expected);
    writeContents(path_, "[Form\\ComboBox1ItemIndex]\n" + file + "\n");
    QCOMPARE(item("ComboBox1ItemIndex").GetAsInteger(), expected);
}

void TestRegManager::typedWritesStoreTheirText() {
    QVERIFY(item("CheckBox6Checked").SetAsBoolean(true));
    QVERIFY(item("ComboBox1ItemIndex").SetAsInteger(-1));
    QVERIFY(item("Edit1Text").SetAsString("Taro"));
    QVERIFY(item("CheckBox6Checked").SetAsBoolean(false));
    QCOMPARE(contents(path_), QByteArray("[Form\\CheckBox6]\nChecked=0\n\n"
                                         "[Form\\ComboBox1ItemIndex]\nInteger=-1\n\n"
                                         "[AsString]\nEdit1Text=Taro\n"));
    QVERIFY(reporter_.messages.isEmpty());
}

void TestRegManager::everyOperationReadsTheFileAnew() {
    QVERIFY(item("Edit1Text").SetAsString("Taro"));
    writeContents(path_, "[AsString]\nEdit1Text=Jiro\n");
    QCOMPARE(item("Edit1Text").GetAsString(), "Jiro");
    QVERIFY(item("CheckBox6Checked").SetAsBoolean(true));
    QCOMPARE(item("Edit1Text").GetAsString(), "Jiro");
}

// A read of the file during the batch would see the file written behind its back; a write
// would replace it before the end.
void TestRegManager::batchReadsAndWritesTheFileOnce() {
    const QByteArray padding = QByteArray("; padding\n").repeated(500000);
    writeContents(path_, "[AsString]\nEdit1Text=Taro\n[Form\\CheckBox6]\nChecked=0\n" + padding);
    manager_->beginBatch();
    QCOMPARE(item("Edit1Text").GetAsString(), "Taro");
    const QByteArray behindItsBack("[AsString]\nEdit1Text=Jiro\n");
    writeContents(path_, behindItsBack);
    QCOMPARE(item("CheckBox6Checked").GetAsBoolean(), false);
    QVERIFY(item("Edit1Text").SetAsString("Hanako"));
    QVERIFY(item("CheckBox6Checked").SetAsBoolean(true));
    QCOMPARE(contents(path_), behindItsBack);
    QVERIFY(manager_->endBatch());
    QCOMPARE(contents(path_),
             "[AsString]\nEdit1Text=Hanako\n[Form\\CheckBox6]\nChecked=1\n" + padding);
    QVERIFY(reporter_.messages.isEmpty());
}

void TestRegManager::stringsReadBackAsWritten_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("blanks around") << "  Taro ";
    QTest::newRow("quoted") << "'Taro'";
    QTest::newRow("Japanese") << "山田 太郎";
    QTest::newRow("empty") << "";
}

void TestRegManager::stringsReadBackAsWritten() {
    QFETCH(QString, text);
    QVERIFY(item("Edit1Text").SetAsString(text));
    QCOMPARE(item("Edit1Text").GetAsString(), text);
}

void TestRegManager::legacyFileKeepsItsOtherLines() {
    QStringEncoder cp932("CP932");
    writeContents(path_, cp932(QString("; 設定\r\n[AsString]\r\nEdit1Text=山田\r\n"
                                       "[Form\\CheckBox6]\r\nChecked=1\r\n")));
    QCOMPARE(item("Edit1Text").GetAsString(), "山田");
    QVERIFY(item("CheckBox6Checked").SetAsBoolean(false));
    QCOMPARE(contents(path_), QString("; 設定\r\n[AsString]\r\nEdit1Text=山田\r\n"
                                      "[Form\\CheckBox6]\r\nChecked=0\r\n")
                                  .toUtf8());
}

void TestRegManager::refusedWritesAreReported_data() {
    QTest::addColumn<bool>("readOnlyFile");
    QTest::newRow("read-only file") << true;
    QTest::newRow("missing folder") << false;
}

void TestRegManager::refusedWritesAreReported() {
    QFETCH(bool, readOnlyFile);
    const QByteArray old("[AsString]\nEdit1Text=Taro\n");
    if (readOnlyFile) {
        writeContents(path_, old);
        QVERIFY(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadOther));
    } else {
        manager_->setIniFileName(dir_->filePath("gone/KelvoS.ini"));
    }
    const QString refused = manager_->IniFileName() + WriteRefused;

    QVERIFY(!item("Edit1Text").SetAsString("Jiro"));
    QVERIFY(!item("HotKey1Component").WriteStream(countingBytes(40)));
    QCOMPARE(reporter_.messages.size(), 2);
    for (const QString& message : reporter_.messages)
        QVERIFY2(message.startsWith(refused), qPrintable(message));
    QCOMPARE(item("Edit1Text").GetAsString(), readOnlyFile ? "Taro" : "");
    QCOMPARE(contents(manager_->IniFileName()), readOnlyFile ? old : QByteArray());
}

void TestRegManager::streamOf40Then10Bytes() {
    TRegFiler& filer = item("HotKey1Component");
    QVERIFY(filer.WriteStream(countingBytes(40)));
    const QByteArray hex = countingBytes(40).toHex().toUpper();
    QCOMPARE(contents(path_), "[Form\\HotKey1]\nprop_c=2\nprop_d0=" + hex.left(64) +
                                  "\nprop_d1=" + hex.mid(64) + "\n");
    QCOMPARE(hex.mid(64).size(), 16);

    QVERIFY(filer.WriteStream(countingBytes(10)));
    QCOMPARE(contents(path_),
             "[Form\\HotKey1]\nprop_c=1\nprop_d0=" + countingBytes(10).toHex().toUpper() + "\n");
}

void TestRegManager::streamSectionWithBackslash() {
    writeContents(path_, "[Form]\nprop_c=9\n[Form\\HotKey2]\nprop_c=9\n");
    QVERIFY(item("HotKey1Component").WriteStream(countingBytes(70)));
    const QByteArray file = contents(path_);
    QVERIFY(file.startsWith("[Form]\nprop_c=9\n[Form\\HotKey2]\nprop_c=9\n\n[Form\\HotKey1]\n"
                            "prop_c=3\nprop_d0="));
    QVERIFY(file.contains("\nprop_d1="));
    QVERIFY(file.contains("\nprop_d2="));
}

void TestRegManager::streamRoundTrip_data() {
    QTest::addColumn<int>("firstSize");
    QTest::addColumn<int>("secondSize");
    QTest::newRow("one byte") << 0 << 1;
    QTest::newRow("one full line") << 0 << 32;
    QTest::newRow("just past a line") << 0 << 33;
    QTest::newRow("long") << 0 << 1000;
    QTest::newRow("shorter over longer") << 1000 << 33;
    QTest::newRow("longer over shorter") << 33 << 1000;
}

void TestRegManager::streamRoundTrip() {
    QFETCH(int, firstSize);
    QFETCH(int, secondSize);
    TRegFiler& filer = item("HotKey1Component");
    if (firstSize > 0)
        QVERIFY(filer.WriteStream(countingBytes(firstSize)));
    QVERIFY(filer.WriteStream(countingBytes(secondSize)));
    QByteArray read("prefix");
    filer.ReadStream(read);
    QCOMPARE(read, "prefix" + countingBytes(secondSize));
    QCOMPARE(contents(path_).count("prop_d"), (secondSize + 31) / 32);
}

void TestRegManager::streamHexPairs_data() {
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("lower case digits")
        << QByteArray("prop_c=1\nprop_d0=0aff") << QByteArray("\x0a\xff");
    QTest::newRow("pairs not hexadecimal give zero")
        << QByteArray("prop_c=1\nprop_d0=0GzZ1f+1") << QByteArray("\x00\x00\x1f\x00", 4);
    QTest::newRow("odd digit at the end is dropped")
        << QByteArray("prop_c=1\nprop_d0=4142F") << QByteArray("AB");
    QTest::newRow("missing line is empty")
        << QByteArray("prop_c=3\nprop_d0=41\nprop_d2=42") << QByteArray("AB");
    QTest::newRow("lines beyond the count are ignored")
        << QByteArray("prop_c=1\nprop_d0=41\nprop_d1=42") << QByteArray("A");
    QTest::newRow("count not a number") << QByteArray("prop_c=x\nprop_d0=41") << QByteArray();
    QTest::newRow("no count") << QByteArray("prop_d0=41") << QByteArray();
}

void TestRegManager::streamHexPairs() {
    QFETCH(QByteArray, keys);
    QFETCH(QByteArray, expected);
    writeContents(path_, "[Form\\HotKey1]\n" + keys + "\n");
    QByteArray read;
    item("HotKey1Component").ReadStream(read);
    QCOMPARE(read, expected);
}

void TestRegManager::damagedLineCountStaysBounded() {
    writeContents(path_, "[Form\\HotKey1]\nprop_c=2000000000\nprop_d0=41\n"
                         "[Lists]\nMemo_ItemCount=2000000000\nMemo_Item1=b\n");
    QByteArray read;
    item("HotKey1Component").ReadStream(read);
    QCOMPARE(read, QByteArray("A"));
    QStringList lines;
    item("Lines").ReadStrings(lines);
    QCOMPARE(lines, QStringList({"", "b"}));

    QVERIFY(item("HotKey1Component").WriteStream("B"));
    QCOMPARE(contents(path_), QByteArray("[Form\\HotKey1]\nprop_c=1\nprop_d0=42\n"
                                         "[Lists]\nMemo_ItemCount=2000000000\nMemo_Item1=b\n"));
}

void TestRegManager::stringListKeys() {
    TRegFiler& filer = item("Lines");
    QVERIFY(filer.WriteStrings({"one", " two ", "three"}));
    QCOMPARE(contents(path_), QByteArray("[Lists]\nMemo_ItemCount=3\nMemo_Item0=one\n"
                                         "Memo_Item1=\" two \"\nMemo_Item2=three\n"));
    QStringList lines{"old"};
    filer.ReadStrings(lines);
    QCOMPARE(lines, QStringList({"one", " two ", "three"}));

    QVERIFY(filer.WriteStrings({"four"}));
    QCOMPARE(contents(path_), QByteArray("[Lists]\nMemo_ItemCount=1\nMemo_Item0=four\n"));
    QVERIFY(filer.WriteStrings({}));
    QCOMPARE(contents(path_), QByteArray("[Lists]\n"));
}

void TestRegManager::stringListMissingLinesAreEmpty() {
    writeContents(path_, "[Lists]\nMemo_ItemCount=3\nMemo_Item2=c\nMemo_Item0=a\n");
    QStringList lines;
    item("Lines").ReadStrings(lines);
    QCOMPARE(lines, QStringList({"a", "", "c"}));
}

void TestRegManager::fontRoundTrip() {
    const FontSettings font{"MS UI Gothic", 12, 0x0000FF,
                            FontSettings::Style::Bold | FontSettings::Style::Italic};
    QVERIFY(item("Font").WriteFont(font));
    QCOMPARE(contents(path_), QByteArray("[Fonts]\nLabel1_FontName=MS UI Gothic\n"
                                         "Label1_FontSize=12\nLabel1_FontColor=clRed\n"
                                         "Label1_FontStyle=3\n"));
    FontSettings read{"Arial", 9, 0, {}};
    item("Font").ReadFont(read);
    QCOMPARE(read, font);
}

void TestRegManager::fontWithDamagedValues() {
    writeContents(path_, "[Fonts]\nLabel1_FontSize=big\nLabel1_FontColor=purplish\n"
                         "Label1_FontStyle=bold\n");
    FontSettings font{"Arial", 9, 0x123456, FontSettings::Style::Underline};
    item("Font").ReadFont(font);
    QCOMPARE(font, (FontSettings{"Arial", 9, 0x123456, {}}));
}

void TestRegManager::colorTexts_data() {
    QTest::addColumn<qint32>("color");
    QTest::addColumn<QString>("text");
    QTest::newRow("standard colour") << qint32(0x0000FF) << "clRed";
    QTest::newRow("system colour") << qint32(0xFF00000F) << "clBtnFace";
    QTest::newRow("no colour") << qint32(0x1FFFFFFF) << "clNone";
    QTest::newRow("other colour") << qint32(8646654) << "$0083EFFE";
    QTest::newRow("black") << qint32(0) << "clBlack";
}

void TestRegManager::colorTexts() {
    QFETCH(qint32, color);
    QFETCH(QString, text);
    QCOMPARE(kelvos::colorToText(color), text);
    QCOMPARE(kelvos::colorFromText(text), color);
    QCOMPARE(kelvos::colorFromText(text.toUpper()), color);
}

void TestRegManager::componentRoundTrip() {
    StreamedComponent editor{"THotKey", "HotKey1", {}, {}, {}, {}};
    editor.setProperty("Left", {qint64{96}});
    editor.setProperty("HotKey", {qint64{0x4000 | 'A'}});
    editor.setProperty("Modifiers", {kelvos::StreamSet{}});
    QVERIFY(item("HotKey1Component").WriteComponent(editor));
    QVERIFY(contents(path_).startsWith("[Form\\HotKey1]\nprop_c=2\nprop_d0=54504630"));
    QCOMPARE(item("HotKey1Component").ReadComponent(), editor);
}

void TestRegManager::componentMissingOrDamaged_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("no lines") << QByteArray("[Form\\HotKey1]\nprop_c=0\n");
    QTest::newRow("not a component") << QByteArray("[Form\\HotKey1]\nprop_c=1\nprop_d0=DEADBEEF\n");
    QTest::newRow("cut short") << QByteArray("[Form\\HotKey1]\nprop_c=1\nprop_d0=54504630\n");
}

void TestRegManager::componentMissingOrDamaged() {
    QFETCH(QByteArray, file);
    if (!file.isEmpty())
        writeContents(path_, file);
    QVERIFY(!item("HotKey1Component").ReadComponent());
    QVERIFY(reporter_.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestRegManager)
#include "tst_regmanager.moc"
