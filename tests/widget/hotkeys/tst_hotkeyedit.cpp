#include "Shortcut.h"
#include "THotKey.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace kelvos;

class TestHotKeyEdit : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void takesCombinationFromKeyboard_data();
    void takesCombinationFromKeyboard();
    void unknownKeyKeepsCombination();
    void heldModifiersShowUntilReleased();
    void windowShortcutDoesNotStealKey();
    void tabMovesFocusOn();
    void setShortcutShowsWordsAndSignalsChange();

private:
    QWidget* window_ = nullptr;
    THotKey* editor_ = nullptr;
    QLineEdit* next_ = nullptr;
};

void TestHotKeyEdit::init() {
    window_ = new QWidget;
    auto* layout = new QVBoxLayout(window_);
    editor_ = new THotKey(window_);
    editor_->setObjectName("HotKey5");
    next_ = new QLineEdit(window_);
    next_->setObjectName("next");
    layout->addWidget(editor_);
    layout->addWidget(next_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    window_->findChild<THotKey*>("HotKey5")->setFocus();
    editor_->setShortcut(vk::numpad(1));
}

void TestHotKeyEdit::cleanup() {
    delete window_;
}

void TestHotKeyEdit::takesCombinationFromKeyboard_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("text");
    using M = Qt::KeyboardModifiers;
    QTest::newRow("Up") << int(Qt::Key_Up) << M() << int(vk::Up) << "Up";
    QTest::newRow("Ctrl+Alt+A") << int(Qt::Key_A) << M(Qt::ControlModifier | Qt::AltModifier)
                                << (shortcut::Ctrl | shortcut::Alt | 'A') << "Ctrl+Alt+A";
    QTest::newRow("keypad 3") << int(Qt::Key_3) << M(Qt::KeypadModifier) << int(vk::numpad(3))
                              << "Num 3";
    QTest::newRow("keypad 3, NumLock off")
        << int(Qt::Key_PageDown) << M(Qt::KeypadModifier) << int(vk::numpad(3)) << "Num 3";
    QTest::newRow("Shift alone is dropped")
        << int(Qt::Key_F5) << M(Qt::ShiftModifier) << int(vk::function(5)) << "F5";
    QTest::newRow("shifted digit")
        << int(Qt::Key_Exclam) << M(Qt::ShiftModifier) << int('1') << "1";
    QTest::newRow("Ctrl+Shift+F5")
        << int(Qt::Key_F5) << M(Qt::ControlModifier | Qt::ShiftModifier)
        << (shortcut::Ctrl | shortcut::Shift | vk::function(5)) << "Ctrl+Shift+F5";
    QTest::newRow("Alt+1, a window shortcut elsewhere")
        << int(Qt::Key_1) << M(Qt::AltModifier) << (shortcut::Alt | '1') << "Alt+1";
    QTest::newRow("Backspace clears") << int(Qt::Key_Backspace) << M() << 0 << "None";
    QTest::newRow("Delete clears") << int(Qt::Key_Delete) << M() << 0 << "None";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << M() << int(vk::Escape) << "Esc";
}

void TestHotKeyEdit::takesCombinationFromKeyboard() {
    QFETCH(int, qtKey);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, word);
    QFETCH(QString, text);
    QSignalSpy changed(editor_, &THotKey::shortcutChanged);
    QTest::keyClick(editor_, Qt::Key(qtKey), modifiers);
    QCOMPARE(int(editor_->shortcut()), word);
    QCOMPARE(editor_->text(), text);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(int(changed.at(0).at(0).value<quint16>()), word);
}

void TestHotKeyEdit::unknownKeyKeepsCombination() {
    QSignalSpy changed(editor_, &THotKey::shortcutChanged);
    QTest::keyClick(editor_, Qt::Key_Print);
    QCOMPARE(editor_->shortcut(), quint16(vk::numpad(1)));
    QCOMPARE(editor_->text(), QStringLiteral("Num 1"));
    QCOMPARE(changed.count(), 0);
}

void TestHotKeyEdit::heldModifiersShowUntilReleased() {
    QTest::keyPress(editor_, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(editor_, Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(editor_->text(), QStringLiteral("Ctrl+Alt+"));
    QTest::keyRelease(editor_, Qt::Key_Alt, Qt::ControlModifier);
    QCOMPARE(editor_->text(), QStringLiteral("Num 1"));
    QCOMPARE(editor_->shortcut(), quint16(vk::numpad(1)));
}

void TestHotKeyEdit::windowShortcutDoesNotStealKey() {
    auto* lap = new QAction(window_);
    lap->setShortcut(QKeySequence(Qt::ALT | Qt::Key_1));
    window_->addAction(lap);
    QSignalSpy triggered(lap, &QAction::triggered);
    QTest::keyClick(editor_, Qt::Key_1, Qt::AltModifier);
    QCOMPARE(editor_->shortcut(), quint16(shortcut::Alt | '1'));
    QCOMPARE(triggered.count(), 0);
}

void TestHotKeyEdit::tabMovesFocusOn() {
    QTest::keyClick(editor_, Qt::Key_Tab);
    QVERIFY(next_->hasFocus());
    QCOMPARE(editor_->shortcut(), quint16(vk::numpad(1)));
}

void TestHotKeyEdit::setShortcutShowsWordsAndSignalsChange() {
    QSignalSpy changed(editor_, &THotKey::shortcutChanged);
    editor_->setShortcut(shortcut::Ctrl | vk::Up);
    QCOMPARE(editor_->text(), QStringLiteral("Ctrl+Up"));
    editor_->setShortcut(shortcut::Ctrl | vk::Up);
    QCOMPARE(changed.count(), 1);
    editor_->setShortcut(0);
    QCOMPARE(editor_->text(), QStringLiteral("None"));
    QCOMPARE(changed.count(), 2);
}

QTEST_MAIN(TestHotKeyEdit)
#include "tst_hotkeyedit.moc"
