#pragma once

#include <QString>
#include <functional>

// The answer of a file dialog: the chosen path, or empty when the operator cancelled.
using FileAnswer = std::function<void(const QString& path)>;

// Asks the operator for a file to open (save false) or to save to, and returns at once: the
// dialog leaves the window, the watch and the hotkeys working, and its answer comes later on the
// UI thread. Whatever the answer starts is judged by the state of that moment.
using FileChooser = std::function<void(const QString& caption, const QString& filter, bool save,
                                       FileAnswer answer)>;
