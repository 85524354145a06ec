#include "Shortcut.h"

#include <QTest>

using namespace kelvos;

using Keysyms = std::vector<quint32>;
Q_DECLARE_METATYPE(Keysyms)
Q_DECLARE_METATYPE(std::optional<quint16>)

class TestShortcut : public QObject {
    Q_OBJECT

private slots:
    void keysymsForGrabbing_data();
    void keysymsForGrabbing();
    void textInWords_data();
    void textInWords();
    void keyFromQtKey_data();
    void keyFromQtKey();
    void everyKeyRoundTripsThroughQt();
    void editorRules_data();
    void editorRules();
    void wordSplitsIntoKeyAndModifiers();
};

void TestShortcut::keysymsForGrabbing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Keysyms>("keysyms");
    QTest::newRow("Up") << int(vk::Up) << Keysyms{0xff52};
    QTest::newRow("Down") << int(vk::Down) << Keysyms{0xff54};
    QTest::newRow("Left") << int(vk::Left) << Keysyms{0xff51};
    QTest::newRow("Right") << int(vk::Right) << Keysyms{0xff53};
    QTest::newRow("keypad 1, NumLock on and off") << int(vk::numpad(1)) << Keysyms{0xffb1, 0xff9c};
    QTest::newRow("keypad 0 is also Insert") << int(vk::numpad(0)) << Keysyms{0xffb0, 0xff9e};
    QTest::newRow("keypad 5 is also Begin") << int(vk::numpad(5)) << Keysyms{0xffb5, 0xff9d};
    QTest::newRow("keypad point is also Delete") << int(vk::Decimal) << Keysyms{0xffae, 0xff9f};
    QTest::newRow("keypad plus") << int(vk::Add) << Keysyms{0xffab};
    QTest::newRow("Enter and keypad Enter") << int(vk::Return) << Keysyms{0xff0d, 0xff8d};
    QTest::newRow("End is only the End key") << int(vk::End) << Keysyms{0xff57};
    QTest::newRow("Page Down") << int(vk::Next) << Keysyms{0xff56};
    QTest::newRow("letter A is the lower-case keysym") << int('A') << Keysyms{'a'};
    QTest::newRow("letter Z") << int('Z') << Keysyms{'z'};
    QTest::newRow("digit 0") << int('0') << Keysyms{'0'};
    QTest::newRow("digit 9") << int('9') << Keysyms{'9'};
    QTest::newRow("F1") << int(vk::F1) << Keysyms{0xffbe};
    QTest::newRow("F24") << int(vk::F24) << Keysyms{0xffd5};
    QTest::newRow("Space") << int(vk::Space) << Keysyms{' '};
    QTest::newRow("Escape") << int(vk::Escape) << Keysyms{0xff1b};
    QTest::newRow("Tab") << int(vk::Tab) << Keysyms{0xff09};
    QTest::newRow("semicolon") << int(vk::Oem1) << Keysyms{';'};
    QTest::newRow("apostrophe") << int(vk::Oem7) << Keysyms{'\''};
    QTest::newRow("no key") << 0 << Keysyms{};
    QTest::newRow("unassigned code 0x07") << 0x07 << Keysyms{};
    QTest::newRow("unassigned code 0xFF") << 0xFF << Keysyms{};
}

void TestShortcut::keysymsForGrabbing() {
    QFETCH(int, key);
    QFETCH(Keysyms, keysyms);
    QCOMPARE(keysymsForVirtualKey(quint8(key)), keysyms);
}

void TestShortcut::textInWords_data() {
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "None";
    QTest::newRow("Up") << int(vk::Up) << "Up";
    QTest::newRow("keypad 1") << int(vk::numpad(1)) << "Num 1";
    QTest::newRow("keypad multiply") << int(vk::Multiply) << "Num *";
    QTest::newRow("Ctrl+Alt+A") << (shortcut::Ctrl | shortcut::Alt | 'A') << "Ctrl+Alt+A";
    QTest::newRow("all modifiers")
        << (shortcut::Ctrl | shortcut::Shift | shortcut::Alt | int(vk::function(12)))
        << "Ctrl+Shift+Alt+F12";
    QTest::newRow("Shift+F5") << (shortcut::Shift | int(vk::function(5))) << "Shift+F5";
    QTest::newRow("F24") << int(vk::F24) << "F24";
    QTest::newRow("Page Up") << int(vk::Prior) << "Page Up";
    QTest::newRow("Escape") << int(vk::Escape) << "Esc";
    QTest::newRow("backslash") << int(vk::Oem5) << "\\";
    QTest::newRow("modifier without key") << int(shortcut::Alt) << "Alt";
    QTest::newRow("unknown key keeps its modifiers") << (shortcut::Ctrl | 0x07) << "Ctrl";
}

void TestShortcut::textInWords() {
    QFETCH(int, word);
    QFETCH(QString, text);
    QCOMPARE(shortcutText(quint16(word)), text);
}

void TestShortcut::keyFromQtKey_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("key");
    QTest::newRow("Up") << int(Qt::Key_Up) << false << int(vk::Up);
    QTest::newRow("keypad 1") << int(Qt::Key_1) << true << int(vk::numpad(1));
    QTest::newRow("keypad 1 with NumLock off") << int(Qt::Key_End) << true << int(vk::numpad(1));
    QTest::newRow("keypad 8 with NumLock off") << int(Qt::Key_Up) << true << int(vk::numpad(8));
    QTest::newRow("keypad 5 with NumLock off") << int(Qt::Key_Clear) << true << int(vk::numpad(5));
    QTest::newRow("keypad point with NumLock off")
        << int(Qt::Key_Delete) << true << int(vk::Decimal);
    QTest::newRow("End key") << int(Qt::Key_End) << false << int(vk::End);
    QTest::newRow("digit 1") << int(Qt::Key_1) << false << int('1');
    QTest::newRow("shifted digit 1") << int(Qt::Key_Exclam) << false << int('1');
    QTest::newRow("shifted digit 0") << int(Qt::Key_ParenRight) << false << int('0');
    QTest::newRow("keypad asterisk") << int(Qt::Key_Asterisk) << true << int(vk::Multiply);
    QTest::newRow("shifted 8") << int(Qt::Key_Asterisk) << false << int('8');
    QTest::newRow("plus on the equals key") << int(Qt::Key_Plus) << false << int(vk::OemPlus);
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << true << int(vk::Add);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << int(vk::Return);
    QTest::newRow("Return") << int(Qt::Key_Return) << false << int(vk::Return);
    QTest::newRow("F13") << int(Qt::Key_F13) << false << int(vk::function(13));
    QTest::newRow("Backtab") << int(Qt::Key_Backtab) << false << int(vk::Tab);
    QTest::newRow("question mark") << int(Qt::Key_Question) << false << int(vk::Oem2);
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << false << 0;
    QTest::newRow("Print") << int(Qt::Key_Print) << false << 0;
    QTest::newRow("F25") << int(Qt::Key_F25) << false << 0;
}

void TestShortcut::keyFromQtKey() {
    QFETCH(int, qtKey);
    QFETCH(bool, keypad);
    QFETCH(int, key);
    QCOMPARE(int(virtualKeyFromQtKey(qtKey, keypad)), key);
}

void TestShortcut::everyKeyRoundTripsThroughQt() {
    int supported = 0;
    for (int key = 1; key < 256; ++key) {
        if (keysymsForVirtualKey(quint8(key)).empty())
            continue;
        ++supported;
        const QtKey qt = qtKeyForVirtualKey(quint8(key));
        QVERIFY2(qt.key != 0, qPrintable(QString::number(key, 16)));
        QCOMPARE(int(virtualKeyFromQtKey(qt.key, qt.keypad)), key);
        QVERIFY(!virtualKeyName(quint8(key)).isEmpty());
    }
    // letters, digits, F1-F24, 16 editing and navigation keys, 16 keypad keys, 11 punctuation
    QCOMPARE(supported, 26 + 10 + 24 + 16 + 16 + 11);
}

void TestShortcut::editorRules_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<std::optional<quint16>>("word");
    using M = Qt::KeyboardModifiers;
    QTest::newRow("plain arrow") << int(Qt::Key_Up) << M() << std::optional<quint16>(vk::Up);
    QTest::newRow("Shift alone is dropped")
        << int(Qt::Key_A) << M(Qt::ShiftModifier) << std::optional<quint16>('A');
    QTest::newRow("Shift with Ctrl is kept")
        << int(Qt::Key_A) << M(Qt::ShiftModifier | Qt::ControlModifier)
        << std::optional<quint16>(shortcut::Shift | shortcut::Ctrl | 'A');
    QTest::newRow("Ctrl+Alt") << int(Qt::Key_A) << M(Qt::ControlModifier | Qt::AltModifier)
                              << std::optional<quint16>(shortcut::Ctrl | shortcut::Alt | 'A');
    QTest::newRow("Meta is no modifier")
        << int(Qt::Key_A) << M(Qt::MetaModifier) << std::optional<quint16>('A');
    QTest::newRow("keypad 1") << int(Qt::Key_1) << M(Qt::KeypadModifier)
                              << std::optional<quint16>(vk::numpad(1));
    QTest::newRow("keypad 1 with NumLock off")
        << int(Qt::Key_End) << M(Qt::KeypadModifier) << std::optional<quint16>(vk::numpad(1));
    QTest::newRow("Backspace clears") << int(Qt::Key_Backspace) << M() << std::optional<quint16>(0);
    QTest::newRow("Delete clears") << int(Qt::Key_Delete) << M() << std::optional<quint16>(0);
    QTest::newRow("Shift+Delete clears")
        << int(Qt::Key_Delete) << M(Qt::ShiftModifier) << std::optional<quint16>(0);
    QTest::newRow("Ctrl+Delete is a hotkey") << int(Qt::Key_Delete) << M(Qt::ControlModifier)
                                             << std::optional<quint16>(shortcut::Ctrl | vk::Delete);
    QTest::newRow("keypad Delete is keypad point")
        << int(Qt::Key_Delete) << M(Qt::KeypadModifier) << std::optional<quint16>(vk::Decimal);
    QTest::newRow("Ctrl held alone")
        << int(Qt::Key_Control) << M(Qt::ControlModifier) << std::optional<quint16>();
    QTest::newRow("unknown key") << int(Qt::Key_Print) << M() << std::optional<quint16>();
}

void TestShortcut::editorRules() {
    QFETCH(int, qtKey);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(std::optional<quint16>, word);
    QCOMPARE(editorShortcutForKey(qtKey, modifiers), word);
}

void TestShortcut::wordSplitsIntoKeyAndModifiers() {
    const quint16 word = shortcut::Ctrl | shortcut::Alt | vk::Up;
    QCOMPARE(word, quint16(0xC026));
    QCOMPARE(shortcutKey(word), vk::Up);
    QCOMPARE(shortcutModifiers(word), quint16(0xC000));
    QCOMPARE(makeShortcut(vk::Up, 0xC000), word);
    // Bits between the key and the modifiers carry nothing.
    QCOMPARE(shortcutKey(0x1F26), vk::Up);
    QCOMPARE(shortcutModifiers(0x1F26), quint16(0));
    QCOMPARE(makeShortcut('A', 0x1F00), quint16('A'));
}

QTEST_APPLESS_MAIN(TestShortcut)
#include "tst_shortcut.moc"
