#include "PortalHotkeyBackend.h"
#include "Shortcut.h"

#include <QTest>

using namespace kelvos;

// The preferred triggers the portal is asked for, in the desktop's shortcut notation.
class TestPortalTrigger : public QObject {
    Q_OBJECT
private slots:
    void triggers_data() {
        QTest::addColumn<int>("shortcut");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("an arrow") << int(vk::Up) << "Up";
        QTest::newRow("a keypad digit") << int(vk::numpad(1)) << "KP_1";
        QTest::newRow("a letter with modifiers")
            << int(makeShortcut(vk::LetterA, shortcut::Ctrl | shortcut::Alt)) << "CTRL+ALT+a";
        QTest::newRow("a function key")
            << int(makeShortcut(vk::function(5), shortcut::Shift)) << "SHIFT+F5";
        QTest::newRow("no key") << 0 << "";
    }
    void triggers() {
        QFETCH(int, shortcut);
        QFETCH(QString, trigger);
        QCOMPARE(portalTrigger(quint16(shortcut)), trigger);
    }
};

QTEST_GUILESS_MAIN(TestPortalTrigger)
#include "tst_portaltrigger.moc"
