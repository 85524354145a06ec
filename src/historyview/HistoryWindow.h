#pragma once

#include "HistoryListModel.h"
#include "HistoryRun.h"
#include "HistoryStore.h"

#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class TChart;

namespace kelvos {

// The run history: every run with its date, course, names, lap counts and best laps, narrowed
// by name, course and dates; a run opened shows its laps and lap chart, two runs compare their
// lap charts, and a competitor's best and average laps on a course show as progress over time.
// An open run goes out as its Mix file or as a printable report. Reads through a connection of
// its own, while the recorder writes.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(QString databasePath, QWidget* parent = nullptr);

    // Reads the list again with the present search: runs stored meanwhile appear.
    void refresh();
    void openRun(const QString& id);
    // The open run's laps as a Mix file, or as a PDF report with its chart and table. Return
    // the error text, or an empty string.
    QString exportCsv(const QString& path) const;
    QString exportPdf(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    HistoryFilter filter() const;
    QStringList selectedIds() const;
    void openCurrent();
    void compareSelected();
    void showProgress();
    void chooseExport(const QString& caption, const QString& filter,
                      std::function<QString(const QString&)> write);
    void showLaps(const HistoryRun& run);
    void plot(const QList<double>& first, const QList<double>& second, const QString& title);

    QString databasePath_;
    HistoryStore store_;
    HistoryListModel* model_;
    std::optional<HistoryRun> openRun_;
    QLineEdit *historyName, *historyCourse;
    QCheckBox* historyDates;
    QDateEdit *historyFrom, *historyTo;
    QTableView* historyList;
    QTableWidget* historyLaps;
    TChart* historyChart;
    QLabel *historyChartTitle, *historyStatus;
    QPushButton *historyOpen, *historyCompare, *historyProgress, *historyExportCsv,
        *historyExportPdf;
};

} // namespace kelvos
