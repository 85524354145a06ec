#pragma once

#include "ComponentStream.h"

#include <QRect>
#include <QString>
#include <optional>

namespace kelvos {

// A hotkey editor as the settings keep it: a "THotKey" component whose "HotKey" property is
// the shortcut word and whose "Modifiers" set repeats the word's modifier flags.
StreamedComponent hotkeyEditorComponent(const QString& name, quint16 shortcut, const QRect& place);

// The shortcut word kept in such a component, also one written by the Windows program, which
// leaves out properties at their defaults ("HotKey" Alt+A, "Modifiers" [hkAlt]); nothing when
// the component is not a hotkey editor.
std::optional<quint16> shortcutOfHotkeyComponent(const StreamedComponent& component);

} // namespace kelvos
