#include "HistoryMenu.h"

#include "FileDialogs.h"
#include "HistoryRecorder.h"
#include "HistoryWindow.h"

#include <QAction>

namespace kelvos {

HistoryMenu::HistoryMenu(QAction* show, QAction* import, HistoryRecorder& history,
                         const QString& databasePath, QWidget* window,
                         std::function<void(const QString&)> tell)
    : QObject(window), history_(history), databasePath_(databasePath), window_(window),
      tell_(std::move(tell)) {
    connect(&history, &HistoryRecorder::written, this, [this] {
        if (historyWindow_ && historyWindow_->isVisible())
            historyWindow_->refresh();
    });
    connect(show, &QAction::triggered, this, &HistoryMenu::showHistory);
    connect(import, &QAction::triggered, this, &HistoryMenu::chooseImport);
}

// The window is made at its first showing: until then the history costs the start nothing.
void HistoryMenu::showHistory() {
    if (!historyWindow_)
        historyWindow_ = new HistoryWindow(databasePath_, window_);
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->refresh();
}

void HistoryMenu::chooseImport() {
    openFileDialog(window_, "Import Mix files into the history", "Mix files (*.csv)",
                   FileDialogMode::OpenMany, [this](const QStringList& files) {
                       if (!files.isEmpty())
                           history_.importFiles(
                               files, [this](const ImportReport& report) { tellImported(report); });
                   });
}

void HistoryMenu::tellImported(const ImportReport& report) {
    QString text = QString("%1 run(s) imported, %2 already in the history.")
                       .arg(report.added)
                       .arg(report.alreadyKept);
    if (!report.problems.isEmpty())
        text += "\nNot imported:\n" + report.problems.join('\n');
    tell_(text);
    if (historyWindow_)
        historyWindow_->refresh();
}

} // namespace kelvos
