#include "ComponentStream.h"

#include <QStringEncoder>
#include <QTest>

using namespace kelvos;

namespace {

// Builds streams byte by byte after the format's layout, independently of our writer:
// "TPF0", [prefix], class and name as length-prefixed strings, properties (name, type byte,
// little-endian data) ended by 0, child components ended by 0, then 0 for the end of the list.
class Bytes {
public:
    Bytes& raw(const QByteArray& bytes) {
        bytes_ += bytes;
        return *this;
    }
    Bytes& byte(int value) { return raw(QByteArray(1, static_cast<char>(value))); }
    Bytes& le(qint64 value, int size) {
        for (int i = 0; i < size; ++i)
            byte(static_cast<int>((value >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& shortString(const QByteArray& text) { return byte(int(text.size())).raw(text); }
    Bytes& property(const QByteArray& name) { return shortString(name); }
    QByteArray bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};

QByteArray cp932(const QString& text) {
    QStringEncoder encoder("CP932");
    return encoder(text);
}

// The hotkey editor as the Windows program stores it, with properties of other kinds that a
// reader must step over.
QByteArray windowsHotKeyEditor() {
    Bytes b;
    b.raw("TPF0").shortString("THotKey").shortString("HotKey1");
    b.property("Left").byte(3).le(300, 2);
    b.property("Top").byte(2).le(8, 1);
    b.property("Width").byte(2).le(73, 1);
    b.property("Height").byte(2).le(19, 1);
    b.property("Constraints.MinWidth").byte(4).le(70000, 4);
    b.property("Font.Charset").byte(7).shortString("SHIFTJIS_CHARSET");
    b.property("Font.Name").byte(6).shortString(cp932("ＭＳ Ｐゴシック"));
    b.property("Hint").byte(6).shortString("start HotKey");
    b.property("HotKey").byte(2).le(38, 1);
    b.property("Modifiers").byte(11).byte(0);
    b.property("InvalidKeys").byte(11).shortString("hcNone").shortString("hcShift").byte(0);
    b.property("ParentShowHint").byte(8);
    b.property("ShowHint").byte(9);
    b.property("PopupMenu").byte(13);
    b.property("Items.Strings").byte(1).byte(6).shortString("a").byte(12).le(1, 4).raw("b").byte(0);
    b.property("Glyph.Data").byte(10).le(5, 4).raw(QByteArray("\x00\x01\x02\x03\x04", 5));
    b.property("Scale").byte(5).raw(QByteArray(10, '\x3f'));
    b.property("Ratio").byte(21).raw(QByteArray(8, '\x40'));
    b.property("Title").byte(18).le(2, 4).raw(QByteArray("\xE5\x65\x2C\x67", 4));
    b.property("Caption8").byte(20).le(3, 4).raw("\xE6\x97\xA5");
    b.property("Big").byte(19).le(1LL << 40, 8);
    b.property("Panels").byte(14);
    b.byte(2).le(0, 1).byte(1).property("Width").byte(2).le(50, 1).byte(0);
    b.byte(1).property("Text").byte(6).shortString("x").byte(0);
    b.byte(0);
    b.property("TabOrder").byte(2).le(4, 1);
    b.byte(0).byte(0).byte(0);
    return b.bytes();
}

StreamedComponent everyKindOfValue() {
    StreamedComponent c{"THotKey", "HotKey7", {}, {}, {}, {}};
    c.properties = {
        {"Small", {qint64{-5}}},
        {"Word", {qint64{0x8041}}},
        {"Huge", {qint64{-(1LL << 40)}}},
        {"Yes", {true}},
        {"No", {false}},
        {"Hint", {QString("Lap3 HotKey")}},
        {"Long", {QString(300, u'z')}},
        {"Japanese", {QString("周回 ①")}},
        {"Align", {StreamIdent{"alNone"}}},
        {"Modifiers", {StreamSet{}}},
        {"InvalidKeys", {StreamSet{{"hcNone", "hcShift"}}}},
        {"PopupMenu", {StreamNil{}}},
        {"Data", {QByteArray("\x00\xff", 2)}},
        {"Ratio", {StreamFloat{StreamFloat::Kind::Extended, QByteArray(10, '\x01')}}},
        {"Items", {StreamList{{{qint64{1}}, {QString("two")}, {StreamList{}}}}}},
        {"Columns",
         {StreamCollection{{{qint64{3}, {{"Width", {qint64{64}}}}}, {std::nullopt, {}}}}}},
    };
    StreamedComponent child{"TLabel",  "Label1", StreamedComponent::FilerFlag::Inherited,
                            qint64{2}, {},       {}};
    child.setProperty("Caption", {QString("x")});
    c.children.push_back(child);
    c.children.push_back(StreamedComponent{"", "", {}, {}, {}, {}});
    return c;
}

} // namespace

class TestComponentStream : public QObject {
    Q_OBJECT

private slots:
    void roundTripOfEveryKind();
    void integersTakeTheSmallestType_data();
    void integersTakeTheSmallestType();
    void writesTheWindowsLayout();
    void readsTheWindowsProgramsEditor();
    void readsPrefixFlags();
    void readsAStreamWithoutTheFinalEndOfList();
    void everyShorterStreamIsRefused();
    void malformedStreams_data();
    void malformedStreams();
    void longNamesAreCut();
    void cutOffMultiByteTextIsKept_data();
    void cutOffMultiByteTextIsKept();
    void propertiesIgnoreLetterCase();
};

void TestComponentStream::roundTripOfEveryKind() {
    const StreamedComponent component = everyKindOfValue();
    QCOMPARE(readComponentStream(writeComponentStream(component)), component);
}

void TestComponentStream::integersTakeTheSmallestType_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QByteArray>("encoded");
    QTest::newRow("Up arrow") << qint64(38) << QByteArray("\x02\x26");
    QTest::newRow("-128") << qint64(-128) << QByteArray("\x02\x80");
    QTest::newRow("Ctrl+A") << qint64(0x4041) << QByteArray("\x03\x41\x40");
    QTest::newRow("-129") << qint64(-129) << QByteArray("\x03\x7f\xff");
    QTest::newRow("Alt+A") << qint64(0x8041) << QByteArray("\x04\x41\x80\x00\x00", 5);
    QTest::newRow("64 bits") << qint64(1LL << 32)
                             << QByteArray("\x13\x00\x00\x00\x00\x01\x00\x00\x00", 9);
}

void TestComponentStream::integersTakeTheSmallestType() {
    QFETCH(qint64, value);
    QFETCH(QByteArray, encoded);
    StreamedComponent component{"T", "N", {}, {}, {{"V", {value}}}, {}};
    const QByteArray expected = QByteArray("TPF0\x01T\x01N\x01V", 10) + encoded + QByteArray(3, 0);
    QCOMPARE(writeComponentStream(component), expected);
}

void TestComponentStream::writesTheWindowsLayout() {
    StreamedComponent editor{"THotKey", "HotKey2", {}, {}, {}, {}};
    editor.setProperty("Left", {qint64{300}});
    editor.setProperty("Hint", {QString("stop HotKey")});
    editor.setProperty("HotKey", {qint64{40}});
    editor.setProperty("Modifiers", {StreamSet{}});
    editor.setProperty("ShowHint", {true});
    Bytes b;
    b.raw("TPF0").shortString("THotKey").shortString("HotKey2");
    b.property("Left").byte(3).le(300, 2);
    b.property("Hint").byte(6).shortString("stop HotKey");
    b.property("HotKey").byte(2).le(40, 1);
    b.property("Modifiers").byte(11).byte(0);
    b.property("ShowHint").byte(9);
    b.byte(0).byte(0).byte(0);
    QCOMPARE(writeComponentStream(editor), b.bytes());
}

void TestComponentStream::readsTheWindowsProgramsEditor() {
    const auto editor = readComponentStream(windowsHotKeyEditor());
    QVERIFY(editor);
    QCOMPARE(editor->className, "THotKey");
    QCOMPARE(editor->name, "HotKey1");
    QCOMPARE(editor->integerProperty(u"Left"), 300);
    QCOMPARE(editor->integerProperty(u"Top"), 8);
    QCOMPARE(editor->integerProperty(u"Width"), 73);
    QCOMPARE(editor->integerProperty(u"Height"), 19);
    QCOMPARE(editor->integerProperty(u"HotKey"), 38);
    QCOMPARE(editor->integerProperty(u"TabOrder"), 4);
    QCOMPARE(editor->integerProperty(u"Constraints.MinWidth"), 70000);
    QCOMPARE(editor->integerProperty(u"Big"), 1LL << 40);
    QCOMPARE(editor->property(u"Modifiers")->data, StreamValue{StreamSet{}}.data);
    const StreamSet invalidKeys{{"hcNone", "hcShift"}};
    QCOMPARE(editor->property(u"InvalidKeys")->data, StreamValue{invalidKeys}.data);
    QCOMPARE(editor->property(u"Hint")->data, StreamValue{QString("start HotKey")}.data);
    QCOMPARE(editor->property(u"Font.Name")->data, StreamValue{QString("ＭＳ Ｐゴシック")}.data);
    QCOMPARE(editor->property(u"Title")->data, StreamValue{QString("日本")}.data);
    QCOMPARE(editor->property(u"Caption8")->data, StreamValue{QString("日")}.data);
    QCOMPARE(editor->property(u"Font.Charset")->data,
             StreamValue{StreamIdent{"SHIFTJIS_CHARSET"}}.data);
    const auto* panels = std::get_if<StreamCollection>(&editor->property(u"Panels")->data);
    QVERIFY(panels);
    QCOMPARE(panels->items.size(), 2u);
    QCOMPARE(panels->items.at(0).order, 0);
    QCOMPARE(panels->items.at(1).properties.at(0).name, "Text");
    QCOMPARE(editor->properties.size(), 23u);
    QVERIFY(editor->children.empty());
}

void TestComponentStream::readsPrefixFlags() {
    Bytes b;
    b.raw("TPF0").byte(0xF3).byte(2).le(5, 1).shortString("THotKey").shortString("HotKey3");
    b.byte(0).byte(0).byte(0);
    const auto editor = readComponentStream(b.bytes());
    QVERIFY(editor);
    QCOMPARE(editor->filerFlags, StreamedComponent::FilerFlag::Inherited);
    QCOMPARE(editor->childPos, 5);
    QCOMPARE(editor->name, "HotKey3");
    QCOMPARE(writeComponentStream(*editor), b.bytes());
}

void TestComponentStream::readsAStreamWithoutTheFinalEndOfList() {
    QByteArray bytes = windowsHotKeyEditor();
    bytes.chop(1);
    const auto editor = readComponentStream(bytes);
    QVERIFY(editor);
    QCOMPARE(editor->integerProperty(u"HotKey"), 38);
}

void TestComponentStream::everyShorterStreamIsRefused() {
    const QByteArray bytes = windowsHotKeyEditor();
    for (qsizetype size = 0; size < bytes.size() - 1; ++size) {
        if (readComponentStream(bytes.left(size)))
            QFAIL(qPrintable(QString("a stream cut to %1 bytes was accepted").arg(size)));
    }
}

void TestComponentStream::malformedStreams_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head("TPF0\x01T\x01N\x01V", 10);
    QTest::newRow("other signature") << QByteArray("TPF1\x01T\x01N\x00\x00\x00", 11);
    QTest::newRow("unknown value type") << head + QByteArray("\x7f\x00\x00\x00", 4);
    QTest::newRow("null as a value") << head + QByteArray("\x00\x00\x00\x00", 4);
    QTest::newRow("huge text length") << head + QByteArray("\x0c\xff\xff\xff\x7f\x00", 6);
    QTest::newRow("negative binary length") << head + QByteArray("\x0a\xff\xff\xff\xff", 5);
    QTest::newRow("huge wide text length") << head + QByteArray("\x12\xff\xff\xff\x7f", 5);
    QTest::newRow("collection item without list")
        << head + QByteArray("\x0e\x02\x00\x06\x00\x00\x00\x00", 8);
    QTest::newRow("lists nested beyond reason")
        << head + QByteArray(100000, '\x01') + QByteArray(100003, '\x00');
    QByteArray nestedChildren("TPF0", 4);
    for (int i = 0; i < 100000; ++i)
        nestedChildren += QByteArray("\x01T\x01N\x00", 5);
    QTest::newRow("components nested beyond reason") << nestedChildren + QByteArray(100001, 0);
}

void TestComponentStream::malformedStreams() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!readComponentStream(bytes));
}

void TestComponentStream::longNamesAreCut() {
    StreamedComponent component{QString(300, u'T'), QString(300, u'N'), {}, {}, {}, {}};
    component.setProperty(QString(300, u'P'), {StreamIdent{QString(300, u'I')}});
    const auto read = readComponentStream(writeComponentStream(component));
    QVERIFY(read);
    QCOMPARE(read->className, QString(239, u'T'));
    QCOMPARE(read->name, QString(255, u'N'));
    QCOMPARE(read->properties.front().name, QString(255, u'P'));
    QCOMPARE(read->properties.front().value.data,
             StreamValue{StreamIdent{QString(255, u'I')}}.data);
}

void TestComponentStream::cutOffMultiByteTextIsKept_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("Windows-31J lead byte alone") << QByteArray("\x81");
    QTest::newRow("Windows-31J lead byte at the end") << QByteArray("ab\x81");
    QTest::newRow("UTF-8 sequence cut off") << QByteArray("ab\xE6\x97");
}

// A property name must not read as empty: written back, an empty name ends the property list.
void TestComponentStream::cutOffMultiByteTextIsKept() {
    QFETCH(QByteArray, name);
    Bytes b;
    b.raw("TPF0").shortString("T").shortString("N").property(name).byte(9).byte(0).byte(0).byte(0);
    const auto read = readComponentStream(b.bytes());
    QVERIFY(read);
    QCOMPARE(read->properties.size(), 1u);
    QVERIFY(read->properties.front().name.size() > name.size() / 2);
    QCOMPARE(readComponentStream(writeComponentStream(*read)), read);
}

void TestComponentStream::propertiesIgnoreLetterCase() {
    StreamedComponent component{"THotKey", "HotKey1", {}, {}, {}, {}};
    component.setProperty("HotKey", {qint64{38}});
    component.setProperty("hotkey", {qint64{40}});
    QCOMPARE(component.properties.size(), 1u);
    QCOMPARE(component.properties.front().name, "HotKey");
    QCOMPARE(component.integerProperty(u"HOTKEY"), 40);
    component.setProperty("Hint", {QString("x")});
    QVERIFY(!component.integerProperty(u"Hint"));
    QVERIFY(!component.property(u"Missing"));
}

QTEST_GUILESS_MAIN(TestComponentStream)
#include "tst_componentstream.moc"
