#include "KelvosApplication.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <optional>
#include <utility>

using kelvos::PressClock;

namespace {
bool isInput(const QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

// Keys are told apart by the server's key code where there is one; mouse buttons by their flag.
quint64 keySource(const QKeyEvent& key) {
    constexpr quint64 scanCodeTag = quint64(1) << 32;
    constexpr quint64 keyTag = quint64(1) << 33;
    return key.nativeScanCode() != 0 ? scanCodeTag | key.nativeScanCode()
                                     : keyTag | quint32(key.key());
}

quint64 buttonSource(const QMouseEvent& mouse) {
    return quint64(mouse.button());
}
} // namespace

bool KelvosApplication::notify(QObject* receiver, QEvent* event) {
    if (!isInput(event)) {
        // A timer or a socket never runs at the moment of a press: the display keeps running,
        // and a command that arrives meanwhile is timed by its own reading.
        const PressClock::Scope live(std::nullopt);
        return QApplication::notify(receiver, event);
    }
    const Handling handling{event->type(), static_cast<const QInputEvent*>(event)->timestamp()};
    if (handling == handling_)
        return QApplication::notify(receiver, event);
    const Handling outer = std::exchange(handling_, handling);
    const bool result = notifyInput(receiver, event);
    handling_ = outer;
    return result;
}

bool KelvosApplication::notifyInput(QObject* receiver, QEvent* event) {
    const auto stamp = quint32(static_cast<const QInputEvent*>(event)->timestamp());
    quint32 reading = 0;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const kelvos::PressTiming::Down down =
            timing_->down(keySource(*key), receiver, stamp, true);
        if (down.repeat && !key->isAutoRepeat())
            return deliverAsRepeat(receiver, key, down.reading);
        reading = down.reading;
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        // The release half of a repeat does not end the press.
        reading = key->isAutoRepeat() ? timing_->pressReading(stamp)
                                      : timing_->up(keySource(*key), receiver, stamp);
        break;
    }
    case QEvent::MouseButtonRelease:
        reading =
            timing_->up(buttonSource(*static_cast<const QMouseEvent*>(event)), receiver, stamp);
        break;
    default:
        reading = timing_
                      ->down(buttonSource(*static_cast<const QMouseEvent*>(event)), receiver, stamp,
                             false)
                      .reading;
        break;
    }
    const PressClock::Scope press(reading);
    return QApplication::notify(receiver, event);
}

// A held key's press that says it is a first press goes on as the repeat it is, so every control
// treats it as one: a button does not click again, a text box still repeats the character.
bool KelvosApplication::deliverAsRepeat(QObject* receiver, QKeyEvent* key, quint32 reading) {
    QKeyEvent repeat(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                     key->nativeVirtualKey(), key->nativeModifiers(), key->text(), true,
                     key->count(), key->device());
    repeat.setTimestamp(key->timestamp());
    const PressClock::Scope press(reading);
    const bool result = QApplication::notify(receiver, &repeat);
    key->setAccepted(repeat.isAccepted());
    return result;
}
