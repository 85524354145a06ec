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
    void pressCarriesTheKeyEventTime();
    void refusedCombinationIsTakenOnceReleased_data();
    void refusedCombinationIsTakenOnceReleased();
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

void TestHookHotKey::pressCarriesTheKeyEventTime() {
    Fixture f;
    QSignalSpy timed(&f.hook, &THookHotKey::OnHotKeyAt);
    f.hook.AddHotKey(6, vk::numpad(2));
    f.backend->press(vk::numpad(2), 4123456789u);
    QCOMPARE(timed.count(), 1);
    QCOMPARE(timed.at(0).at(1).toInt(), 6);
    QCOMPARE(timed.at(0).at(2).value<quint32>(), 4123456789u);
    QCOMPARE(f.spy.count(), 1);
}

// Another program holds the combination when it is asked for, then lets it go: the retry
// timer takes it, unless the index was removed meanwhile.
void TestHookHotKey::refusedCombinationIsTakenOnceReleased_data() {
    QTest::addColumn<bool>("removedWhileHeld");
    QTest::newRow("still wanted") << false;
    QTest::newRow("removed while held") << true;
}

void TestHookHotKey::refusedCombinationIsTakenOnceReleased() {
    QFETCH(bool, removedWhileHeld);
    Fixture f;
    QSignalSpy changes(&f.hook, &THookHotKey::registrationChanged);
    f.hook.setRetryInterval(5);
    f.backend->refuse(vk::Up);
    f.backend->refuse(vk::Down);
    QVERIFY(!f.hook.AddHotKey(1, vk::Up));
    QVERIFY(!f.hook.AddHotKey(2, vk::Down));
    if (removedWhileHeld)
        f.hook.RemoveHotKey(1);
    f.backend->release(vk::Up);
    f.backend->release(vk::Down);
    // Both are retried on the same tick: once index 2 is live, index 1 had its chance.
    QVERIFY(QTest::qWaitFor([&] { return f.backend->isRegistered(2); }));
    QCOMPARE(f.backend->isRegistered(1), !removedWhileHeld);
    QCOMPARE(changes.count(), removedWhileHeld ? 1 : 2);
    QCOMPARE(changes.last(), (QList<QVariant>{2, true}));
    QCOMPARE(f.backend->press(vk::Up), !removedWhileHeld);
    QCOMPARE(f.spy.count(), removedWhileHeld ? 0 : 1);
}

QTEST_MAIN(TestHookHotKey)
#include "tst_hookhotkey.moc"
