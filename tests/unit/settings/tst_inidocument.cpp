#include "IniDocument.h"

#include <QStringEncoder>
#include <QTest>

using kelvos::IniDocument;

namespace {

QByteArray shiftJis(const QString& text) {
    QStringEncoder encoder("CP932");
    return encoder(text);
}

} // namespace

class TestIniDocument : public QObject {
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void missingKeys_data();
    void missingKeys();
    void edits_data();
    void edits();
    void valuesReadBackAsWritten_data();
    void valuesReadBackAsWritten();
    void numberedKeys();
    void removesNumberedKeysInRange();
    void legacyTextIsRewrittenAsUtf8();
};

void TestIniDocument::lookup_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("names ignore letter case")
        << QByteArray("[Form\\CheckBox6]\nChecked=1\n") << "form\\checkbox6"
        << "CHECKED"
        << "1";
    QTest::newRow("section with backslashes")
        << QByteArray("[Form\\Chart1\\CheckBox1]\nChecked=0\n") << "Form\\Chart1\\CheckBox1"
        << "Checked"
        << "0";
    QTest::newRow("first of duplicate sections")
        << QByteArray("[A]\nk=1\n[B]\nk=5\n[a]\nk=2\n") << "A"
        << "k"
        << "1";
    QTest::newRow("first of duplicate keys") << QByteArray("[A]\nk=1\nK=2\n") << "A"
                                             << "k"
                                             << "1";
    QTest::newRow("CR LF lines") << QByteArray("[A]\r\nk=1\r\nj=2\r\n") << "A"
                                 << "k"
                                 << "1";
    QTest::newRow("blanks around names and values")
        << QByteArray("  [ A ]  \n  k  =  v w  \n") << "A"
        << "k"
        << "v w";
    QTest::newRow("double quotes dropped") << QByteArray("[A]\nk=\" x \"\n") << "A"
                                           << "k"
                                           << " x ";
    QTest::newRow("single quotes dropped") << QByteArray("[A]\nk='x'\n") << "A"
                                           << "k"
                                           << "x";
    QTest::newRow("equals sign inside value") << QByteArray("[A]\nk=a=b\n") << "A"
                                              << "k"
                                              << "a=b";
    QTest::newRow("line without equals sign is skipped")
        << QByteArray("[A]\njust text\nk=1\n") << "A"
        << "k"
        << "1";
    QTest::newRow("comment is not a key") << QByteArray("[A]\n;k=0\n#k=0\nk=1\n") << "A"
                                          << "k"
                                          << "1";
    QTest::newRow("empty value") << QByteArray("[A]\nk=\n") << "A"
                                 << "k"
                                 << "";
    QTest::newRow("binary bytes around")
        << QByteArray("\x01\x02\xff\xfe\n[A]\n\x00\x00=\x7f\nk=1\n\x80\x81", 20) << "A"
        << "k"
        << "1";
    QTest::newRow("UTF-8 with byte order mark") << QByteArray("\xEF\xBB\xBF[A]\nk=1\n") << "A"
                                                << "k"
                                                << "1";
    QTest::newRow("UTF-8 text") << QString("[AsString]\nEdit1Text=山田\n").toUtf8() << "AsString"
                                << "Edit1Text"
                                << "山田";
    QTest::newRow("Shift_JIS text")
        << shiftJis("[AsString]\r\nEdit1Text=テスト～①\r\n") << "AsString"
        << "Edit1Text"
        << "テスト～①";
    QTest::newRow("Shift_JIS section with backslash")
        << shiftJis("[Form\\HotKey1]\r\nprop_c=1\r\n; 設定\r\n") << "Form\\HotKey1"
        << "prop_c"
        << "1";
    QTest::newRow("UTF-8 value beside a Shift_JIS one")
        << QString("[A]\nk=山田\n").toUtf8() + shiftJis("j=テスト\n") << "A"
        << "k"
        << "山田";
    QTest::newRow("value cut at 2047 characters")
        << QByteArray("[A]\nk=") + QByteArray(100000, 'x') + "\n"
        << "A"
        << "k" << QString(2047, u'x');
    QTest::newRow("cut does not split a surrogate pair")
        << QByteArray("[A]\nk=") + QByteArray(2046, 'x') + QString("😀").toUtf8() << "A"
        << "k" << QString(2046, u'x');
}

void TestIniDocument::lookup() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const auto value = IniDocument::fromBytes(file).value(section, key);
    QVERIFY(value.has_value());
    QCOMPARE(*value, expected);
}

void TestIniDocument::missingKeys_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    QTest::newRow("empty file") << QByteArray() << "A"
                                << "k";
    QTest::newRow("key only in a later duplicate section")
        << QByteArray("[A]\nk=1\n[A]\nj=2\n") << "A"
        << "j";
    QTest::newRow("key before any section") << QByteArray("k=1\n[A]\n") << "A"
                                            << "k";
    QTest::newRow("unterminated section header") << QByteArray("[A\nk=1\n") << "A"
                                                 << "k";
    QTest::newRow("text line is no key") << QByteArray("[A]\nk\n") << "A"
                                         << "k";
    QTest::newRow("key in another section") << QByteArray("[A]\n[B]\nk=1\n") << "A"
                                            << "k";
    QTest::newRow("lone carriage returns do not end lines") << QByteArray("[A]\rk=1\r") << "A"
                                                            << "k";
}

void TestIniDocument::missingKeys() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QVERIFY(!IniDocument::fromBytes(file).value(section, key).has_value());
}

void TestIniDocument::edits_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value"); // empty: remove the key
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << "k"
                              << "v" << QByteArray("[A]\nk=v\n");
    QTest::newRow("new key after the section's last key")
        << QByteArray("[A]\nx=1\n\n[B]\ny=2\n") << "k"
        << "v" << QByteArray("[A]\nx=1\nk=v\n\n[B]\ny=2\n");
    QTest::newRow("new section at the end") << QByteArray("; note\n[B]\ny=2") << "k"
                                            << "v" << QByteArray("; note\n[B]\ny=2\n\n[A]\nk=v\n");
    QTest::newRow("replaced in place, comments and order kept")
        << QByteArray("; top\n[a]\nK = old\n; c\nz=1\n") << "k"
        << "new" << QByteArray("; top\n[a]\nK =new\n; c\nz=1\n");
    QTest::newRow("CR LF kept") << QByteArray("[A]\r\nx=1\r\n") << "k"
                                << "v" << QByteArray("[A]\r\nx=1\r\nk=v\r\n");
    QTest::newRow("written to the first duplicate section")
        << QByteArray("[A]\nk=1\n[A]\nk=2\n") << "k"
        << "3" << QByteArray("[A]\nk=3\n[A]\nk=2\n");
    QTest::newRow("line breaks in a value become spaces")
        << QByteArray("[A]\n") << "k"
        << "a\r\nb\nc\rd" << QByteArray("[A]\nk=a b c d\n");
    QTest::newRow("removal takes every line of the key")
        << QByteArray("[A]\nk=1\nK=2\nj=3\n[B]\nk=4\n") << "k"
        << "" << QByteArray("[A]\nj=3\n[B]\nk=4\n");
    QTest::newRow("removal of a missing key changes nothing") << QByteArray("x\n[A]\nj=3\n") << "k"
                                                              << "" << QByteArray("x\n[A]\nj=3\n");
}

void TestIniDocument::edits() {
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    IniDocument document = IniDocument::fromBytes(before);
    if (value.isEmpty())
        document.removeKey(u"A", key);
    else
        document.setValue("A", key, value);
    QCOMPARE(document.toBytes(), after);
}

void TestIniDocument::valuesReadBackAsWritten_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Taro";
    QTest::newRow("leading blank") << " Taro";
    QTest::newRow("trailing blank") << "Taro ";
    QTest::newRow("in double quotes") << "\"Taro\"";
    QTest::newRow("in single quotes") << "'Taro'";
    QTest::newRow("one quote") << "\"";
    QTest::newRow("equals sign") << "a=b";
    QTest::newRow("semicolon first") << ";x";
    QTest::newRow("bracket first") << "[x]";
    QTest::newRow("Japanese") << "山田太郎";
    QTest::newRow("empty") << "";
}

void TestIniDocument::valuesReadBackAsWritten() {
    QFETCH(QString, value);
    IniDocument document;
    document.setValue("AsString", "Edit1Text", value);
    const auto read = IniDocument::fromBytes(document.toBytes()).value(u"AsString", u"Edit1Text");
    QCOMPARE(read.value_or("<missing>"), value);
}

void TestIniDocument::numberedKeys() {
    const IniDocument document = IniDocument::fromBytes("[S]\nprop_d1=B\nprop_d0=A\nprop_d01=X\n"
                                                        "PROP_D2=C\nprop_dx=Y\nprop_d1=Z\n"
                                                        "prop_d=W\nprop_c=3\n[T]\nprop_d3=D\n");
    const QMap<qint64, QString> expected{{0, "A"}, {1, "B"}, {2, "C"}};
    QCOMPARE(document.numberedValues(u"s", u"prop_d"), expected);
}

void TestIniDocument::removesNumberedKeysInRange() {
    IniDocument document =
        IniDocument::fromBytes("[S]\np_d0=A\np_d1=B\np_d2=C\np_d3=D\np_c=4\n[T]\np_d1=E\n");
    document.removeNumberedKeys(u"S", u"p_d", 1, 3);
    QCOMPARE(document.toBytes(), QByteArray("[S]\np_d0=A\np_d3=D\np_c=4\n[T]\np_d1=E\n"));
}

void TestIniDocument::legacyTextIsRewrittenAsUtf8() {
    IniDocument document = IniDocument::fromBytes(shiftJis("[AsString]\r\nEdit1Text=テスト\r\n"));
    document.setValue("AsString", "Edit2Text", "次郎");
    QCOMPARE(document.toBytes(),
             QString("[AsString]\r\nEdit1Text=テスト\r\nEdit2Text=次郎\r\n").toUtf8());
}

QTEST_GUILESS_MAIN(TestIniDocument)
#include "tst_inidocument.moc"
