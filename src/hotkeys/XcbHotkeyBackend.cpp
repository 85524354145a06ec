#include "XcbHotkeyBackend.h"

#include "Shortcut.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <xcb/xcb_keysyms.h>
// xkb.h names a structure field `explicit`, a C++ keyword.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

namespace kelvos {
namespace {

constexpr quint32 XK_Num_Lock = 0xff7f;
constexpr quint32 XK_Scroll_Lock = 0xff14;
constexpr quint32 XK_Alt_L = 0xffe9;
constexpr quint32 XK_Alt_R = 0xffea;
constexpr quint8 xkbNewKeyboardNotify = 0;
constexpr quint8 xkbMapNotify = 1;
constexpr char xkbExtensionName[] = "XKEYBOARD";

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_window_t firstRoot(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

} // namespace

std::unique_ptr<XcbHotkeyBackend> XcbHotkeyBackend::fromApplication() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::make_unique<XcbHotkeyBackend>(x11->connection(), firstRoot(x11->connection()));
}

XcbHotkeyBackend::XcbHotkeyBackend(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root), symbols_(xcb_key_symbols_alloc(connection)) {
    readModifierMapping();
    queryXkbEventBase();
    repeats_.setDetectableAutoRepeat(requestDetectableAutoRepeat());
    QCoreApplication::instance()->installNativeEventFilter(this);
    if (repeats_.detectableAutoRepeat())
        QCoreApplication::instance()->installEventFilter(this);
}

// The connection belongs to the application: once that is gone, so are our grabs.
XcbHotkeyBackend::~XcbHotkeyBackend() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(this);
        app->removeEventFilter(this);
        for (const auto& [index, registration] : registrations_)
            ungrab(registration.grabs);
        if (repeats_.detectableAutoRepeat())
            dropDetectableAutoRepeat();
        xcb_flush(connection_);
    }
    xcb_key_symbols_free(symbols_);
}

bool XcbHotkeyBackend::AddHotKey(int index, quint16 shortcut) {
    const auto existing = registrations_.find(index);
    if (existing != registrations_.end() && existing->second.shortcut == shortcut)
        return true;
    const std::vector<Grab> grabs = grabsFor(shortcut);
    if (grabs.empty() || isGrabbedByOtherIndex(grabs, index) || !grabAll(grabs))
        return false;
    if (existing != registrations_.end()) {
        std::vector<Grab> stale;
        std::copy_if(existing->second.grabs.begin(), existing->second.grabs.end(),
                     std::back_inserter(stale), [&grabs](const Grab& g) {
                         return std::find(grabs.begin(), grabs.end(), g) == grabs.end();
                     });
        ungrabAll(stale);
    }
    registrations_[index] = {shortcut, grabs};
    return true;
}

bool XcbHotkeyBackend::RemoveHotKey(int index) {
    const auto it = registrations_.find(index);
    if (it == registrations_.end())
        return false;
    ungrabAll(it->second.grabs);
    registrations_.erase(it);
    return true;
}

std::vector<XcbHotkeyBackend::Grab> XcbHotkeyBackend::grabsFor(quint16 shortcut) const {
    quint16 modifiers = 0;
    if (shortcut & shortcut::Shift)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (shortcut & shortcut::Ctrl)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (shortcut & shortcut::Alt)
        modifiers |= altMask_;
    std::vector<Grab> grabs;
    for (const quint32 keysym : keysymsForVirtualKey(shortcutKey(shortcut))) {
        XcbReply<xcb_keycode_t> keycodes(xcb_key_symbols_get_keycode(symbols_, keysym));
        for (xcb_keycode_t* k = keycodes.get(); k && *k != XCB_NO_SYMBOL; ++k) {
            const Grab grab{*k, modifiers};
            if (std::find(grabs.begin(), grabs.end(), grab) == grabs.end())
                grabs.push_back(grab);
        }
    }
    return grabs;
}

bool XcbHotkeyBackend::isGrabbedByOtherIndex(const std::vector<Grab>& grabs, int index) const {
    return std::any_of(registrations_.begin(), registrations_.end(), [&](const auto& entry) {
        const auto& held = entry.second.grabs;
        return entry.first != index && std::any_of(grabs.begin(), grabs.end(), [&](const Grab& g) {
                   return std::find(held.begin(), held.end(), g) != held.end();
               });
    });
}

bool XcbHotkeyBackend::grabAll(const std::vector<Grab>& grabs) {
    std::vector<xcb_void_cookie_t> cookies;
    for (const Grab& grab : grabs) {
        for (const quint16 locks : lockModifierCombinations(numLockMask_, scrollLockMask_)) {
            cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, grab.modifiers | locks,
                                                   grab.keycode, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(connection_, cookie));
        refused = refused || error != nullptr;
    }
    // Ungrabbing touches only this client's grabs, so undoing every attempted grab leaves
    // the other client's grab in place and none of ours behind.
    if (refused)
        ungrabAll(grabs);
    return !refused;
}

void XcbHotkeyBackend::ungrab(const std::vector<Grab>& grabs) {
    for (const Grab& grab : grabs) {
        for (const quint16 locks : lockModifierCombinations(numLockMask_, scrollLockMask_))
            xcb_ungrab_key(connection_, grab.keycode, root_, grab.modifiers | locks);
    }
}

void XcbHotkeyBackend::ungrabAll(const std::vector<Grab>& grabs) {
    ungrab(grabs);
    xcb_flush(connection_);
}

void XcbHotkeyBackend::readModifierMapping() {
    altMask_ = modifierMaskOf({XK_Alt_L, XK_Alt_R});
    if (altMask_ == 0)
        altMask_ = XCB_MOD_MASK_1;
    numLockMask_ = modifierMaskOf({XK_Num_Lock});
    scrollLockMask_ = modifierMaskOf({XK_Scroll_Lock});
}

// The modifier bit that one of the keys with these keysyms sets, 0 when none does.
quint16 XcbHotkeyBackend::modifierMaskOf(const std::vector<quint32>& keysyms) const {
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(xcb_get_modifier_mapping_reply(
        connection_, xcb_get_modifier_mapping(connection_), nullptr));
    if (!mapping)
        return 0;
    const xcb_keycode_t* modifierKeys = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (const quint32 keysym : keysyms) {
        XcbReply<xcb_keycode_t> keycodes(xcb_key_symbols_get_keycode(symbols_, keysym));
        for (xcb_keycode_t* k = keycodes.get(); k && *k != XCB_NO_SYMBOL; ++k) {
            const xcb_keycode_t* end = modifierKeys + 8 * perModifier;
            const xcb_keycode_t* found = std::find(modifierKeys, end, *k);
            if (found != end)
                return quint16(1u << ((found - modifierKeys) / perModifier));
        }
    }
    return 0;
}

// Only the detectable flag is changed; the connection's other XKB flags stay as Qt set them.
// A server without XKB, or one that does not grant the flag, keeps sending release/press pairs.
bool XcbHotkeyBackend::requestDetectableAutoRepeat() {
    XcbReply<xcb_xkb_use_extension_reply_t> use(xcb_xkb_use_extension_reply(
        connection_,
        xcb_xkb_use_extension(connection_, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported)
        return false;
    constexpr quint32 flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    XcbReply<xcb_xkb_per_client_flags_reply_t> flags(xcb_xkb_per_client_flags_reply(
        connection_,
        xcb_xkb_per_client_flags(connection_, XCB_XKB_ID_USE_CORE_KBD, flag, flag, 0, 0, 0),
        nullptr));
    return flags && (flags->value & flag);
}

// Qt's windows stay on the connection after the service is gone: give them back the plain
// auto-repeat they expect.
void XcbHotkeyBackend::dropDetectableAutoRepeat() {
    const auto cookie =
        xcb_xkb_per_client_flags(connection_, XCB_XKB_ID_USE_CORE_KBD,
                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0, 0);
    xcb_discard_reply(connection_, cookie.sequence);
}

// Qt asks for XKB map notifications on its connection, and the server then sends it no core
// MappingNotify; keyboard changes arrive as XKB events, whose codes start at this base.
void XcbHotkeyBackend::queryXkbEventBase() {
    XcbReply<xcb_query_extension_reply_t> reply(xcb_query_extension_reply(
        connection_,
        xcb_query_extension(connection_, std::strlen(xkbExtensionName), xkbExtensionName),
        nullptr));
    if (reply && reply->present)
        xkbEventBase_ = reply->first_event;
}

// A new keyboard or layout moves keys to other keycodes and lock modifiers to other bits:
// drop every grab under the old mapping and grab again under the new one. A combination
// that is now refused leaves its index unregistered.
void XcbHotkeyBackend::keyboardMappingChanged() {
    for (const auto& [index, registration] : registrations_)
        ungrab(registration.grabs);
    xcb_flush(connection_);
    xcb_key_symbols_free(symbols_);
    symbols_ = xcb_key_symbols_alloc(connection_);
    readModifierMapping();
    for (auto it = registrations_.begin(); it != registrations_.end();) {
        it->second.grabs = grabsFor(it->second.shortcut);
        const bool kept = !it->second.grabs.empty() && grabAll(it->second.grabs);
        it = kept ? std::next(it) : registrations_.erase(it);
    }
}

bool XcbHotkeyBackend::isMappingChange(const xcb_generic_event_t* event) const {
    const quint8 type = event->response_type & ~0x80;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
        return notify->request != XCB_MAPPING_POINTER;
    }
    // The XKB event's kind is in the byte after the response type.
    const quint8 xkbType = event->pad0;
    return xkbEventBase_ != 0 && type == xkbEventBase_ &&
           (xkbType == xkbNewKeyboardNotify || xkbType == xkbMapNotify);
}

bool XcbHotkeyBackend::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        // A grabbed key reaches the root window, or, while one of our own windows has the
        // keyboard, that window (the grab keeps owner events). Both count; releases of every
        // key are noted so that the repeat filter knows which keys are down.
        const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (type == XCB_KEY_RELEASE) {
            repeats_.noteRelease(key->detail, key->time);
            return key->event == root_;
        }
        // A hotkey is the hotkey's alone, in our windows too; other keys go on to Qt.
        const bool repeated = repeats_.detectableAutoRepeat() && repeats_.isDown(key->detail);
        if (keyPressed(key) || key->event == root_)
            return true;
        return repeated && repostAsAutoRepeat(key);
    }
    if (isMappingChange(event))
        keyboardMappingChanged();
    return false;
}

bool XcbHotkeyBackend::keyPressed(const xcb_key_press_event_t* event) {
    const bool fresh = repeats_.acceptPress(event->detail, event->time);
    const quint16 modifiers = event->state & (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | altMask_);
    const std::optional<int> index = indexOf(event->detail, modifiers);
    if (index && fresh)
        emit pressed(*index, event->time);
    return index.has_value();
}

std::optional<int> XcbHotkeyBackend::indexOf(xcb_keycode_t keycode, quint16 modifiers) const {
    const Grab pressed{keycode, modifiers};
    for (const auto& [index, registration] : registrations_) {
        const auto& grabs = registration.grabs;
        if (std::find(grabs.begin(), grabs.end(), pressed) != grabs.end())
            return index;
    }
    return std::nullopt;
}

bool XcbHotkeyBackend::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->isAutoRepeat() && key->nativeScanCode() <= 0xff) {
            firstPresses_[quint8(key->nativeScanCode())] = {key->key(),
                                                            key->modifiers(),
                                                            key->nativeScanCode(),
                                                            key->nativeVirtualKey(),
                                                            key->nativeModifiers(),
                                                            key->text()};
        }
    }
    return false;
}

bool XcbHotkeyBackend::repostAsAutoRepeat(const xcb_key_press_event_t* event) {
    const auto first = firstPresses_.find(event->detail);
    QWindow* window = QGuiApplication::focusWindow();
    if (first == firstPresses_.end() || !window)
        return false;
    const QtKeyPress& press = first->second;
    auto* repeat = new QKeyEvent(QEvent::KeyPress, press.key, press.modifiers, press.nativeScanCode,
                                 press.nativeVirtualKey, press.nativeModifiers, press.text, true);
    repeat->setTimestamp(event->time);
    QCoreApplication::postEvent(window, repeat);
    return true;
}

} // namespace kelvos
