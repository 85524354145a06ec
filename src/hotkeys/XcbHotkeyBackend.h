#pragma once

#include "AutoRepeatFilter.h"
#include "HotkeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

struct _XCBKeySymbols;

namespace kelvos {

// System-wide hotkeys on X11: passive key grabs on the root window, made on the
// application's own X connection; presses arrive through the application's native event
// filter. Each combination is grabbed once for every state of CapsLock, NumLock and
// ScrollLock, since X matches modifiers exactly; every grab is checked, and a refused one
// (another client holds the key) undoes the others.
//
// The service asks the server for detectable auto-repeat on the connection, so that a held key
// sends presses without releases and two quick presses are never mistaken for one held key.
// Qt marks a key event as auto-repeat only when a release is followed by a press of the same
// time, so for Qt's own windows the service hands on each repeated press as an auto-repeated
// copy of the key's first press: a held key still repeats in a text field and still counts
// as one press on a button.
class XcbHotkeyBackend : public HotkeyBackend, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // The backend for the running QGuiApplication; nullptr when it does not run on X11.
    static std::unique_ptr<XcbHotkeyBackend> fromApplication();

    // `connection` must be the application's connection, whose events reach the native
    // event filter; it must outlive the backend.
    XcbHotkeyBackend(xcb_connection_t* connection, xcb_window_t root);
    ~XcbHotkeyBackend() override;

    bool AddHotKey(int index, quint16 shortcut) override;
    bool RemoveHotKey(int index) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Whether the server sends held keys as presses without releases to this connection.
    bool detectableAutoRepeat() const { return repeats_.detectableAutoRepeat(); }

private:
    // One key combination without lock modifiers; each is grabbed under every lock state.
    struct Grab {
        xcb_keycode_t keycode;
        quint16 modifiers;
        bool operator==(const Grab&) const = default;
    };
    struct Registration {
        quint16 shortcut;
        std::vector<Grab> grabs;
    };

    std::vector<Grab> grabsFor(quint16 shortcut) const;
    bool isGrabbedByOtherIndex(const std::vector<Grab>& grabs, int index) const;
    bool grabAll(const std::vector<Grab>& grabs);
    void ungrabAll(const std::vector<Grab>& grabs);
    void ungrab(const std::vector<Grab>& grabs);
    void readModifierMapping();
    quint16 modifierMaskOf(const std::vector<quint32>& keysyms) const;
    void queryXkbEventBase();
    void keyboardMappingChanged();
    bool isMappingChange(const xcb_generic_event_t* event) const;
    // Emits pressed() for a new press of a hotkey; true when the key is a hotkey.
    bool keyPressed(const xcb_key_press_event_t* event);
    std::optional<int> indexOf(xcb_keycode_t keycode, quint16 modifiers) const;
    bool requestDetectableAutoRepeat();
    void dropDetectableAutoRepeat();
    // Posts the key's last first press again, marked as auto-repeat, to the focus window.
    bool repostAsAutoRepeat(const xcb_key_press_event_t* event);

    // What Qt made of a key's first press, to repeat it.
    struct QtKeyPress {
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        quint32 nativeScanCode = 0;
        quint32 nativeVirtualKey = 0;
        quint32 nativeModifiers = 0;
        QString text;
    };

    xcb_connection_t* connection_;
    xcb_window_t root_;
    _XCBKeySymbols* symbols_;
    quint16 altMask_ = 0;
    quint16 numLockMask_ = 0;
    quint16 scrollLockMask_ = 0;
    quint8 xkbEventBase_ = 0; // 0 when the server has no XKEYBOARD extension
    std::map<int, Registration> registrations_;
    AutoRepeatFilter repeats_;
    std::map<quint8, QtKeyPress> firstPresses_;
};

} // namespace kelvos
