#pragma once

#include <QStringList>
#include <functional>

class QWidget;

namespace kelvos {

enum class FileDialogMode { Open, OpenMany, Save };

// Opens a file dialog, modal to `parent` alone, in the working folder and returns at once: it
// leaves the figures, the hotkeys and the command socket working. `answer` gets the chosen paths on
// the UI thread, or an empty list when the operator cancelled.
void openFileDialog(QWidget* parent, const QString& caption, const QString& filter,
                    FileDialogMode mode, std::function<void(const QStringList&)> answer);

} // namespace kelvos
