#include "FakeHotkeyBackend.h"
#include "Shortcut.h"
#include "THookHotKey.h"

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
    void refusedCombinationIsTakenOnceReleased_data();
    void refusedCombinationIsTakenOnceReleased();
    void desktopsLaterAnswerIsReported();
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

// Another program holds the combinations when they are asked for, then lets them go: the retry
// timer takes each one still wanted, and its presses then come with their key event time.
void TestHookHotKey::refusedCombinationIsTakenOnceReleased_data() {
    QTest::addColumn<bool>("removedWhileHeld");
    QTest::newRow("still wanted") << false;
    QTest::newRow("removed while held") << true;
}

void TestHookHotKey::refusedCombinationIsTakenOnceReleased() {
    QFETCH(bool, removedWhileHeld);
    Fixture f;
    QSignalSpy changes(&f.hook, &THookHotKey::registrationChanged);
    QSignalSpy timed(&f.hook, &THookHotKey::OnHotKeyAt);
    f.hook.setRetryInterval(5);
    for (const quint16 key : {vk::Up, vk::Down}) {
        f.backend->refuse(key);
        QVERIFY(!f.hook.AddHotKey(key == vk::Up ? 1 : 2, key));
        f.backend->release(key);
    }
    if (removedWhileHeld)
        f.hook.RemoveHotKey(1);
    // Both are retried on the same tick: once index 2 is live, index 1 had its chance.
    QVERIFY(QTest::qWaitFor([&] { return f.backend->isRegistered(2); }));
    QCOMPARE(changes.count(), removedWhileHeld ? 1 : 2);
    QCOMPARE(changes.last(), (QList<QVariant>{2, true}));
    QCOMPARE(f.backend->press(vk::Up, 4123456789u), !removedWhileHeld);
    QCOMPARE(timed.count(), removedWhileHeld ? 0 : 1);
    QVERIFY(removedWhileHeld || timed.at(0).at(2).value<quint32>() == 4123456789u);
}

// A desktop that answers a registration later (the portal) reports it through the component.
void TestHookHotKey::desktopsLaterAnswerIsReported() {
    Fixture f;
    QSignalSpy changes(&f.hook, &THookHotKey::registrationChanged);
    QVERIFY(f.hook.AddHotKey(5, vk::numpad(1)));
    emit f.backend->registrationChanged(5, false);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.last(), (QList<QVariant>{5, false}));
}

QTEST_MAIN(TestHookHotKey)
#include "tst_hookhotkey.moc"
