// System-wide hotkeys against a real X server (run through scripts/with-xvfb.sh): key
// presses come from xdotool through the XTest extension, a second X connection plays
// another program that holds keys.
#include "Shortcut.h"
#include "THookHotKey.h"
#include "XcbHotkeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <map>
#include <xcb/xcb.h>

using namespace kelvos;

namespace {

constexpr int markerIndex = 99;
constexpr quint16 markerKey = vk::function(12);
constexpr xcb_keycode_t keypad1Keycode = 87;
constexpr xcb_keycode_t keypad2Keycode = 88;
constexpr quint32 XK_F9 = 0xffc6;

// Counts every key press that reaches the root window, repeats included, before the
// hotkey service sees it.
class RawKeyPresses : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_key_press_event_t*>(message);
        if (type == "xcb_generic_event_t" && (event->response_type & ~0x80) == XCB_KEY_PRESS) {
            ++count[event->detail];
            lastState[event->detail] = event->state;
        }
        return false;
    }
    std::map<xcb_keycode_t, int> count;
    std::map<xcb_keycode_t, quint16> lastState;
};

// Counts the key presses a widget receives, first presses and auto-repeats apart.
class KeyPressCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            ++(static_cast<QKeyEvent*>(event)->isAutoRepeat() ? repeats : firsts);
        return false;
    }
    int firsts = 0;
    int repeats = 0;
};

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

} // namespace

class TestXcbHotkeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void pressDeliversOnHotKeyOnce();
    void modifiersMustMatchWhateverCapsLock();
    void keypad1WorksWithNumLockOnAndOff();
    void heldKeyGivesOnePress();
    void keyHeldByAnotherClientIsRefusedWithoutPartialGrab();
    void keyboardMappingChangeGrabsAgain();
    void everyPressCountsWhileOurWindowHasTheKeyboard();
    void pressesSentBackToBackAllCount();
    void heldKeyStillRepeatsInOurWindow();
    void keyLetGoByAnotherClientIsTakenOnRetry();

private:
    int presses(int index) const;
    void syncWithServer();
    bool otherClientGrab(xcb_keycode_t keycode, quint16 modifiers);
    void otherClientUngrab(xcb_keycode_t keycode, quint16 modifiers);
    xcb_keycode_t keycodeOf(quint32 keysym);
    xcb_keycode_t unusedKeycode();
    void setKeysym(xcb_keycode_t keycode, quint32 keysym);

    THookHotKey* hook_ = nullptr;
    QSignalSpy* spy_ = nullptr;
    RawKeyPresses raw_;
    xcb_connection_t* other_ = nullptr;
    xcb_window_t root_ = 0;
};

void TestXcbHotkeys::initTestCase() {
    auto backend = XcbHotkeyBackend::fromApplication();
    QVERIFY2(backend, "needs the xcb platform and an X server");
    QVERIFY2(backend->detectableAutoRepeat(), "the server did not grant detectable auto-repeat");
    hook_ = new THookHotKey(std::move(backend));
    hook_->setActivate(false);
    spy_ = new QSignalSpy(hook_, &THookHotKey::OnHotKey);
    // Installed after the service, so it sees each event first.
    qApp->installNativeEventFilter(&raw_);
    QVERIFY(hook_->AddHotKey(markerIndex, markerKey));

    other_ = xcb_connect(nullptr, nullptr);
    QVERIFY(!xcb_connection_has_error(other_));
    root_ = xcb_setup_roots_iterator(xcb_get_setup(other_)).data->root;
    const uint32_t repeatOn = XCB_AUTO_REPEAT_MODE_ON;
    xcb_change_keyboard_control(other_, XCB_KB_AUTO_REPEAT_MODE, &repeatOn);
    xcb_flush(other_);
}

void TestXcbHotkeys::cleanupTestCase() {
    qApp->removeNativeEventFilter(&raw_);
    delete spy_;
    delete hook_;
    xcb_disconnect(other_);
}

void TestXcbHotkeys::init() {
    for (int index = 1; index <= 7; ++index)
        hook_->RemoveHotKey(index);
    syncWithServer();
    spy_->clear();
}

int TestXcbHotkeys::presses(int index) const {
    return int(std::count_if(spy_->begin(), spy_->end(),
                             [index](const QList<QVariant>& args) { return args.at(1) == index; }));
}

// X delivers events in order: once the marker key's press has arrived, every event sent
// before it has been handled.
void TestXcbHotkeys::syncWithServer() {
    const int before = presses(markerIndex);
    QVERIFY(xdotool({"key", "F12"}));
    QTRY_COMPARE(presses(markerIndex), before + 1);
}

bool TestXcbHotkeys::otherClientGrab(xcb_keycode_t keycode, quint16 modifiers) {
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(other_, 1, root_, modifiers, keycode,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_generic_error_t* error = xcb_request_check(other_, cookie);
    std::free(error);
    return error == nullptr;
}

// Returns once the server has carried out the ungrab: a request that waits for its reply
// follows it on the same connection, so a grab sent next from another connection cannot
// overtake it.
void TestXcbHotkeys::otherClientUngrab(xcb_keycode_t keycode, quint16 modifiers) {
    xcb_ungrab_key(other_, keycode, root_, modifiers);
    std::free(xcb_get_input_focus_reply(other_, xcb_get_input_focus(other_), nullptr));
}

void TestXcbHotkeys::pressDeliversOnHotKeyOnce() {
    QVERIFY(hook_->AddHotKey(1, vk::Up));
    QVERIFY(xdotool({"key", "Up"}));
    syncWithServer();
    QCOMPARE(presses(1), 1);

    QVERIFY(hook_->RemoveHotKey(1));
    QVERIFY(xdotool({"key", "Up"}));
    syncWithServer();
    QCOMPARE(presses(1), 1);
}

void TestXcbHotkeys::modifiersMustMatchWhateverCapsLock() {
    QVERIFY(hook_->AddHotKey(3, shortcut::Ctrl | shortcut::Alt | 'A'));
    QVERIFY(xdotool({"key", "a", "ctrl+a"}));
    syncWithServer();
    QCOMPARE(presses(3), 0);

    QVERIFY(xdotool({"key", "ctrl+alt+a"}));
    syncWithServer();
    QCOMPARE(presses(3), 1);

    QVERIFY(xdotool({"key", "Caps_Lock", "ctrl+alt+a", "Caps_Lock"}));
    syncWithServer();
    QCOMPARE(presses(3), 2);
}

// Raw keycodes: xdotool would otherwise toggle NumLock itself to reach KP_1.
void TestXcbHotkeys::keypad1WorksWithNumLockOnAndOff() {
    QVERIFY(hook_->AddHotKey(5, vk::numpad(1)));
    QVERIFY(xdotool({"key", QString::number(keypad1Keycode)}));
    syncWithServer();
    QCOMPARE(presses(5), 1);
    const quint16 firstState = raw_.lastState[keypad1Keycode];

    QVERIFY(xdotool({"key", "Num_Lock", QString::number(keypad1Keycode)}));
    syncWithServer();
    QCOMPARE(presses(5), 2);
    QVERIFY2(raw_.lastState[keypad1Keycode] != firstState, "NumLock did not change");

    QVERIFY(xdotool({"key", "Num_Lock"}));
}

// The server's auto-repeat sends further presses while the key is down; wait until some
// have arrived rather than for a time.
void TestXcbHotkeys::heldKeyGivesOnePress() {
    QVERIFY(hook_->AddHotKey(6, vk::numpad(2)));
    const int rawBefore = raw_.count[keypad2Keycode];
    QVERIFY(xdotool({"keydown", QString::number(keypad2Keycode)}));
    QTRY_VERIFY_WITH_TIMEOUT(raw_.count[keypad2Keycode] >= rawBefore + 4, 20000);
    QVERIFY(xdotool({"keyup", QString::number(keypad2Keycode)}));
    syncWithServer();
    QCOMPARE(presses(6), 1);

    QVERIFY(xdotool({"key", QString::number(keypad2Keycode)}));
    syncWithServer();
    QCOMPARE(presses(6), 2);
}

void TestXcbHotkeys::keyHeldByAnotherClientIsRefusedWithoutPartialGrab() {
    const xcb_keycode_t down = keycodeOf(0xff54);
    // Held only with CapsLock on: the service's grab without locks succeeds first and must
    // be undone.
    QVERIFY(otherClientGrab(down, XCB_MOD_MASK_LOCK));
    QVERIFY(!hook_->AddHotKey(2, vk::Down));
    otherClientUngrab(down, XCB_MOD_MASK_LOCK);
    // A grab with any modifiers conflicts with every grab of the key that remains.
    QVERIFY2(otherClientGrab(down, XCB_MOD_MASK_ANY), "a partial grab was left behind");
    otherClientUngrab(down, XCB_MOD_MASK_ANY);

    QVERIFY(hook_->AddHotKey(2, vk::Down));
    QVERIFY(!otherClientGrab(down, XCB_MOD_MASK_ANY));
    QVERIFY(xdotool({"key", "Down"}));
    syncWithServer();
    QCOMPARE(presses(2), 1);
}

void TestXcbHotkeys::keyboardMappingChangeGrabsAgain() {
    const xcb_keycode_t oldKeycode = keycodeOf(XK_F9);
    const xcb_keycode_t newKeycode = unusedKeycode();
    QVERIFY(oldKeycode != 0 && newKeycode != 0);
    QVERIFY(hook_->AddHotKey(7, vk::function(9)));

    setKeysym(oldKeycode, 0);
    setKeysym(newKeycode, XK_F9);
    syncWithServer();
    QVERIFY(xdotool({"key", QString::number(newKeycode)}));
    syncWithServer();
    QCOMPARE(presses(7), 1);
    QVERIFY2(otherClientGrab(oldKeycode, XCB_MOD_MASK_ANY), "the old keycode is still grabbed");
    otherClientUngrab(oldKeycode, XCB_MOD_MASK_ANY);

    setKeysym(newKeycode, 0);
    setKeysym(oldKeycode, XK_F9);
    syncWithServer();
}

xcb_keycode_t TestXcbHotkeys::keycodeOf(quint32 keysym) {
    const xcb_setup_t* setup = xcb_get_setup(other_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* reply = xcb_get_keyboard_mapping_reply(
        other_, xcb_get_keyboard_mapping(other_, setup->min_keycode, count), nullptr);
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    xcb_keycode_t found = 0;
    for (int i = 0; i < count && !found; ++i) {
        if (syms[i * reply->keysyms_per_keycode] == keysym)
            found = xcb_keycode_t(setup->min_keycode + i);
    }
    std::free(reply);
    return found;
}

xcb_keycode_t TestXcbHotkeys::unusedKeycode() {
    const xcb_setup_t* setup = xcb_get_setup(other_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* reply = xcb_get_keyboard_mapping_reply(
        other_, xcb_get_keyboard_mapping(other_, setup->min_keycode, count), nullptr);
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int per = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int i = count - 1; i >= 0 && !found; --i) {
        if (std::all_of(syms + i * per, syms + (i + 1) * per,
                        [](xcb_keysym_t s) { return s == 0; }))
            found = xcb_keycode_t(setup->min_keycode + i);
    }
    std::free(reply);
    return found;
}

void TestXcbHotkeys::setKeysym(xcb_keycode_t keycode, quint32 keysym) {
    const xcb_keysym_t sym = keysym;
    xcb_change_keyboard_mapping(other_, 1, keycode, 1, &sym);
    xcb_flush(other_);
}

QTEST_MAIN(TestXcbHotkeys)
#include "tst_xcbhotkeys.moc"

// While one of the program's own windows has the keyboard, X reports the grabbed key to that
// window instead of the root: each press is still one command, and the key does not also
// type into the window, while other keys do.
void TestXcbHotkeys::everyPressCountsWhileOurWindowHasTheKeyboard() {
    QLineEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QVERIFY(xdotool({"windowfocus", "--sync", QString::number(edit.winId())}));
    QTRY_VERIFY(edit.hasFocus());
    QVERIFY(hook_->AddHotKey(5, vk::Numpad0 + 1));
    for (int press = 0; press < 3; ++press)
        QVERIFY(xdotool({"key", QString::number(keypad1Keycode)}));
    QVERIFY(xdotool({"key", "a"}));
    syncWithServer();
    QCOMPARE(presses(5), 3);
    QTRY_COMPARE(edit.text(), QString("a"));
}

// A timing gate or a script sends presses faster than the server's clock ticks, so a press
// often carries the time of the release before it; each one is a lap all the same.
void TestXcbHotkeys::pressesSentBackToBackAllCount() {
    constexpr int count = 2000;
    QVERIFY(hook_->AddHotKey(5, vk::numpad(1)));
    QStringList arguments{"key", "--delay", "0"};
    for (int press = 0; press < count; ++press)
        arguments.append(QString::number(keypad1Keycode));
    QVERIFY(xdotool(arguments));
    syncWithServer();
    QCOMPARE(presses(5), count);
}

// Detectable auto-repeat is set on Qt's own connection: a key held in one of our windows must
// still arrive as one first press and then auto-repeats, as widgets expect.
void TestXcbHotkeys::heldKeyStillRepeatsInOurWindow() {
    QLineEdit edit;
    KeyPressCounter counter;
    edit.installEventFilter(&counter);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QVERIFY(xdotool({"windowfocus", "--sync", QString::number(edit.winId())}));
    QTRY_VERIFY(edit.hasFocus());
    QVERIFY(xdotool({"keydown", "b"}));
    QTRY_VERIFY_WITH_TIMEOUT(counter.repeats >= 3, 20000);
    QVERIFY(xdotool({"keyup", "b"}));
    syncWithServer();
    QCOMPARE(counter.firsts, 1);
    QTRY_COMPARE(edit.text(), QString(counter.repeats + 1, u'b'));
}

void TestXcbHotkeys::keyLetGoByAnotherClientIsTakenOnRetry() {
    const xcb_keycode_t down = keycodeOf(0xff54);
    QSignalSpy changes(hook_, &THookHotKey::registrationChanged);
    hook_->setRetryInterval(20);
    QVERIFY(otherClientGrab(down, XCB_MOD_MASK_ANY));
    QVERIFY(!hook_->AddHotKey(2, vk::Down));
    otherClientUngrab(down, XCB_MOD_MASK_ANY);
    QTRY_COMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0), (QList<QVariant>{2, true}));
    QVERIFY(xdotool({"key", "Down"}));
    syncWithServer();
    QCOMPARE(presses(2), 1);
}
