#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QWidget;

namespace kelvos {

class HistoryRecorder;
class HistoryWindow;
struct ImportReport;

// The history's two menu commands: "History..." shows the history window, which follows the
// runs written meanwhile; "Import..." takes the Mix files the operator chooses into the history
// and tells what it took and what it could not.
class HistoryMenu : public QObject {
    Q_OBJECT
public:
    HistoryMenu(QAction* show, QAction* import, HistoryRecorder& history,
                const QString& databasePath, QWidget* window,
                std::function<void(const QString&)> tell);

private:
    void showHistory();
    void chooseImport();
    void tellImported(const ImportReport& report);

    HistoryRecorder& history_;
    QString databasePath_;
    QWidget* window_;
    HistoryWindow* historyWindow_ = nullptr;
    std::function<void(const QString&)> tell_;
};

} // namespace kelvos
