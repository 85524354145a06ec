#include "KGlobalAccelHotkeyBackend.h"
#include "Shortcut.h"

#include <QTest>

using namespace kelvos;

// The keys KDE's global shortcut service is given: KWin matches a press against them as Qt
// key codes without a keypad flag, and a keypad digit arrives as End, Down... while NumLock is
// off.
constexpr int kCtrl = Qt::CTRL;
constexpr int kAlt = Qt::ALT;
constexpr int kShift = Qt::SHIFT;

class TestKGlobalAccelKeys : public QObject {
    Q_OBJECT
private slots:
    void keys_data() {
        QTest::addColumn<int>("shortcut");
        QTest::addColumn<QList<int>>("keys");
        QTest::newRow("an arrow") << int(vk::Up) << QList<int>{Qt::Key_Up};
        QTest::newRow("keypad 1") << int(vk::numpad(1)) << QList<int>{Qt::Key_1, Qt::Key_End};
        QTest::newRow("keypad 5 with Ctrl") << int(makeShortcut(vk::numpad(5), shortcut::Ctrl))
                                            << QList<int>{kCtrl | Qt::Key_5, kCtrl | Qt::Key_Clear};
        QTest::newRow("a letter with modifiers")
            << int(makeShortcut(vk::LetterA, shortcut::Ctrl | shortcut::Alt | shortcut::Shift))
            << QList<int>{kCtrl | kAlt | kShift | Qt::Key_A};
        QTest::newRow("no key") << 0 << QList<int>{};
    }
    void keys() {
        QFETCH(int, shortcut);
        QFETCH(QList<int>, keys);
        QCOMPARE(kglobalaccelKeys(quint16(shortcut)), keys);
    }
};

QTEST_GUILESS_MAIN(TestKGlobalAccelKeys)
#include "tst_kglobalaccelkeys.moc"
