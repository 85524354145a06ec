#include "fakehotkeybackend.h"
#include "hookhotkey.h"
#include "shortcut.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <stdexcept>

using namespace kelvos;

class TestHookHotKey : public QObject {
    Q_OBJECT

private slots:
    void pressRunsOnHotKeyWithIndex();
    void removedHotKeyNoLongerFires();
    void refusedCombinationReportsFalse();
    void newCombinationReplacesOld();
    void refusedReplacementKeepsOld();
    void combinationOfAnotherIndexIsRefused();
    void emptyEditorCombinationIsRefused();
    void removingUnregisteredIndexReportsFalse();
    void failingCommandIsReportedAndHotKeyKeepsWorking();
    void activateBringsOwnerWindowToFront_data();
    void activateBringsOwnerWindowToFront();
    void withoutHotkeyServiceEverythingIsRefused();
};

namespace {
struct Fixture {
    FakeHotkeyBackend* backend = new FakeHotkeyBackend;
    THookHotKey hook{std::unique_ptr<HotkeyBackend>(backend)};
    QSignalSpy spy{&hook, &THookHotKey::OnHotKey};
};
} // namespace

void TestHookHotKey::pressRunsOnHotKeyWithIndex() {
    Fixture f;
    QVERIFY(f.hook.AddHotKey(1, vk::Up));
    QVERIFY(f.hook.AddHotKey(5, vk::numpad(1)));
    QVERIFY(f.backend->press(vk::numpad(1)));
    QCOMPARE(f.spy.count(), 1);
    QCOMPARE(f.spy.at(0).at(0).value<QObject*>(), &f.hook);
    QCOMPARE(f.spy.at(0).at(1).toInt(), 5);
}

void TestHookHotKey::removedHotKeyNoLongerFires() {
    Fixture f;
    f.hook.AddHotKey(2, vk::Down);
    QVERIFY(f.hook.RemoveHotKey(2));
    QVERIFY(!f.backend->press(vk::Down));
    QCOMPARE(f.spy.count(), 0);
}

void TestHookHotKey::refusedCombinationReportsFalse() {
    Fixture f;
    f.backend->refuse(vk::Up);
    QVERIFY(!f.hook.AddHotKey(1, vk::Up));
    QVERIFY(!f.backend->isRegistered(1));
}

void TestHookHotKey::newCombinationReplacesOld() {
    Fixture f;
    f.hook.AddHotKey(5, vk::numpad(1));
    QVERIFY(f.hook.AddHotKey(5, vk::numpad(4)));
    QVERIFY(!f.backend->press(vk::numpad(1)));
    QVERIFY(f.backend->press(vk::numpad(4)));
    QCOMPARE(f.spy.count(), 1);
}

void TestHookHotKey::refusedReplacementKeepsOld() {
    Fixture f;
    f.hook.AddHotKey(1, vk::Up);
    f.backend->refuse(shortcut::Ctrl | 'S');
    QVERIFY(!f.hook.AddHotKey(1, shortcut::Ctrl | 'S'));
    QCOMPARE(f.backend->shortcutOf(1), quint16(vk::Up));
}

void TestHookHotKey::combinationOfAnotherIndexIsRefused() {
    Fixture f;
    f.hook.AddHotKey(1, vk::Up);
    QVERIFY(!f.hook.AddHotKey(3, vk::Up));
    QVERIFY(f.backend->press(vk::Up));
    QCOMPARE(f.spy.at(0).at(1).toInt(), 1);
}

void TestHookHotKey::emptyEditorCombinationIsRefused() {
    Fixture f;
    QVERIFY(!f.hook.AddHotKey(5, 0));
    QVERIFY(!f.backend->isRegistered(5));
}

void TestHookHotKey::removingUnregisteredIndexReportsFalse() {
    Fixture f;
    QVERIFY(!f.hook.RemoveHotKey(4));
    QCOMPARE(f.backend->calls().size(), 1);
}

void TestHookHotKey::failingCommandIsReportedAndHotKeyKeepsWorking() {
    Fixture f;
    QSignalSpy failures(&f.hook, &THookHotKey::hotKeyFailed);
    int runs = 0;
    QObject::connect(&f.hook, &THookHotKey::OnHotKey, [&runs](QObject*, int) {
        if (++runs == 1)
            throw std::runtime_error("disk full");
    });
    f.hook.AddHotKey(5, vk::numpad(1));
    f.backend->press(vk::numpad(1));
    f.backend->press(vk::numpad(1));
    QCOMPARE(runs, 2);
    QCOMPARE(failures.count(), 1);
    QCOMPARE(failures.at(0).at(0).toInt(), 5);
    QCOMPARE(failures.at(0).at(1).toString(), QStringLiteral("disk full"));
}

void TestHookHotKey::activateBringsOwnerWindowToFront_data() {
    QTest::addColumn<bool>("activate");
    QTest::newRow("Activate true") << true;
    QTest::newRow("Activate false, as on the main window") << false;
}

void TestHookHotKey::activateBringsOwnerWindowToFront() {
    QFETCH(bool, activate);
    QWidget owner;
    QWidget other;
    owner.show();
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));

    auto* backend = new FakeHotkeyBackend;
    THookHotKey hook(std::unique_ptr<HotkeyBackend>(backend), &owner);
    hook.setActivate(activate);
    bool ownerActiveInCommand = false;
    QObject::connect(&hook, &THookHotKey::OnHotKey, [&](QObject*, int) {
        QCoreApplication::processEvents();
        ownerActiveInCommand = owner.isActiveWindow();
    });
    hook.AddHotKey(1, vk::Up);
    backend->press(vk::Up);
    QCOMPARE(ownerActiveInCommand, activate);
}

void TestHookHotKey::withoutHotkeyServiceEverythingIsRefused() {
    // The offscreen platform has no X11 connection.
    THookHotKey hook;
    QVERIFY(!hook.AddHotKey(1, vk::Up));
    QVERIFY(!hook.RemoveHotKey(1));
    QVERIFY(hook.Activate());
}

QTEST_MAIN(TestHookHotKey)
#include "tst_hookhotkey.moc"
