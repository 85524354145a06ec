#include "KelvosApplication.h"

#include <QInputEvent>

namespace {
bool isPress(const QEvent* event) {
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
} // namespace

bool KelvosApplication::notify(QObject* receiver, QEvent* event) {
    if (!isPress(event))
        return QApplication::notify(receiver, event);
    const auto stamp = quint32(static_cast<const QInputEvent*>(event)->timestamp());
    const kelvos::PressClock::Scope press(timing_.pressReading(stamp));
    return QApplication::notify(receiver, event);
}
