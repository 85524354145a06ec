#include "FakeHotkeyBackend.h"

#include "Shortcut.h"

namespace kelvos {

bool FakeHotkeyBackend::AddHotKey(int index, quint16 shortcut) {
    const bool heldByOtherIndex = registered_.key(shortcut, index) != index;
    const bool accepted = !refused_.contains(shortcut) && !heldByOtherIndex &&
                          !keysymsForVirtualKey(shortcutKey(shortcut)).empty();
    if (accepted)
        registered_.insert(index, shortcut);
    calls_.append({Call::Kind::Add, index, shortcut, accepted});
    return accepted;
}

bool FakeHotkeyBackend::RemoveHotKey(int index) {
    const bool removed = registered_.remove(index) > 0;
    calls_.append({Call::Kind::Remove, index, 0, removed});
    return removed;
}

bool FakeHotkeyBackend::press(quint16 shortcut, quint32 eventTime) {
    const QList<int> indexes = registered_.keys(shortcut);
    if (indexes.isEmpty())
        return false;
    emit pressed(indexes.first(), eventTime);
    return true;
}

} // namespace kelvos
