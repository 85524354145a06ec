#include "HistoryWindow.h"

#include "CellStore.h"
#include "CsvFile.h"
#include "FileDialogs.h"
#include "RunEvent.h"
#include "TChart.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSplitter>
#include <QSqlError>
#include <QTableView>
#include <QTableWidget>

namespace kelvos {

namespace {

const QStringList kLapHeaders = {"Lap",      "Name",  "Total",    "LapTime",   "Difference",
                                 "Realtime", "LapMs", "LapSpeed", "AverageMs", "AverageSpeed"};

QList<double> lapsOf(const HistoryRun& run, int competitor, LapColumn column) {
    QList<double> values;
    for (const HistoryLap& lap : run.laps)
        if (lap.competitor == competitor)
            values << lap.row.value(int(column)).toDouble();
    return values;
}

QString runTitle(const HistoryRun& run) {
    QStringList names;
    for (const QString& name : run.names)
        if (!name.isEmpty())
            names << name;
    return QString("%1  %2  %3")
        .arg(run.started.toString("yyyy-MM-dd hh:mm"), run.course, names.join(", "));
}

} // namespace

HistoryWindow::HistoryWindow(QString databasePath, QWidget* parent)
    : QWidget(parent, Qt::Window), databasePath_(std::move(databasePath)),
      store_("kelvos-history-window") {
    setObjectName("HistoryWindow");
    setWindowTitle("History");
    buildControls();
}

void HistoryWindow::buildControls() {
    historyName = new QLineEdit(this);
    historyName->setObjectName("historyName");
    historyName->setPlaceholderText("Name");
    historyCourse = new QLineEdit(this);
    historyCourse->setObjectName("historyCourse");
    historyCourse->setPlaceholderText("Course");
    historyDates = new QCheckBox("From", this);
    historyDates->setObjectName("historyDates");
    historyFrom = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    historyFrom->setObjectName("historyFrom");
    historyTo = new QDateEdit(QDate::currentDate(), this);
    historyTo->setObjectName("historyTo");
    for (QDateEdit* edit : {historyFrom, historyTo}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat("yyyy-MM-dd");
        edit->setEnabled(false);
    }

    model_ = new HistoryListModel(this);
    historyList = new QTableView(this);
    historyList->setObjectName("historyList");
    historyList->setModel(model_);
    historyList->setSelectionBehavior(QAbstractItemView::SelectRows);
    historyList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    historyList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    historyList->verticalHeader()->hide();

    historyLaps = new QTableWidget(0, kLapColumnCount, this);
    historyLaps->setObjectName("historyLaps");
    historyLaps->setHorizontalHeaderLabels(kLapHeaders);
    historyLaps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    historyLaps->verticalHeader()->hide();
    historyChart = new TChart(this);
    historyChart->setObjectName("historyChart");
    historyChart->setMinimumSize(320, 200);
    historyChartTitle = new QLabel(this);
    historyChartTitle->setObjectName("historyChartTitle");
    historyChartTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    historyStatus = new QLabel(this);
    historyStatus->setObjectName("historyStatus");

    const auto button = [this](const char* name, const QString& caption) {
        auto* pushButton = new QPushButton(caption, this);
        pushButton->setObjectName(QString::fromLatin1(name));
        return pushButton;
    };
    historyOpen = button("historyOpen", "Open");
    historyCompare = button("historyCompare", "Compare");
    historyProgress = button("historyProgress", "Progress");
    historyExportCsv = button("historyExportCsv", "Export CSV…");
    historyExportPdf = button("historyExportPdf", "Export PDF…");

    auto* search = new QHBoxLayout;
    search->addWidget(historyName);
    search->addWidget(historyCourse);
    search->addWidget(historyDates);
    search->addWidget(historyFrom);
    search->addWidget(new QLabel("to", this));
    search->addWidget(historyTo);
    auto* actions = new QHBoxLayout;
    for (QPushButton* b :
         {historyOpen, historyCompare, historyProgress, historyExportCsv, historyExportPdf})
        actions->addWidget(b);
    actions->addStretch();
    actions->addWidget(historyStatus);
    auto* run = new QWidget(this);
    auto* runLayout = new QGridLayout(run);
    runLayout->setContentsMargins(0, 0, 0, 0);
    runLayout->addWidget(historyLaps, 0, 0, 2, 1);
    runLayout->addWidget(historyChartTitle, 0, 1);
    runLayout->addWidget(historyChart, 1, 1);
    runLayout->setRowStretch(1, 1);
    // The laps and the chart share the width: the table's wide header alone would take it all.
    runLayout->setColumnStretch(0, 1);
    runLayout->setColumnStretch(1, 1);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(historyList);
    splitter->addWidget(run);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(splitter, 1);
    layout->addLayout(actions);
    resize(1100, 760);

    for (QLineEdit* edit : {historyName, historyCourse})
        connect(edit, &QLineEdit::textChanged, this, &HistoryWindow::refresh);
    connect(historyDates, &QCheckBox::toggled, this, [this](bool on) {
        historyFrom->setEnabled(on);
        historyTo->setEnabled(on);
        refresh();
    });
    for (QDateEdit* edit : {historyFrom, historyTo})
        connect(edit, &QDateEdit::dateChanged, this, &HistoryWindow::refresh);
    connect(historyList, &QTableView::activated, this, &HistoryWindow::openCurrent);
    connect(historyOpen, &QPushButton::clicked, this, &HistoryWindow::openCurrent);
    connect(historyCompare, &QPushButton::clicked, this, &HistoryWindow::compareSelected);
    connect(historyProgress, &QPushButton::clicked, this, &HistoryWindow::showProgress);
    connect(historyExportCsv, &QPushButton::clicked, this, [this] {
        chooseExport("Export the run as a Mix file", "CSV files (*.csv)",
                     [this](const QString& path) { return exportCsv(path); });
    });
    connect(historyExportPdf, &QPushButton::clicked, this, [this] {
        chooseExport("Export the run as a report", "PDF files (*.pdf)",
                     [this](const QString& path) { return exportPdf(path); });
    });
}

void HistoryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

HistoryFilter HistoryWindow::filter() const {
    HistoryFilter filter{historyName->text().trimmed(), historyCourse->text().trimmed(), {}, {}};
    if (historyDates->isChecked()) {
        filter.from = historyFrom->date();
        filter.to = historyTo->date();
    }
    return filter;
}

void HistoryWindow::refresh() {
    if (!store_.isOpen()) {
        if (const QString error = store_.openFile(databasePath_); !error.isEmpty()) {
            historyStatus->setText("The history cannot be read: " + error);
            return;
        }
    }
    model_->setQuery(store_.listQuery(filter()));
    historyList->hideColumn(HistoryListModel::Id);
    historyStatus->setText(model_->lastError().isValid() ? model_->lastError().text() : QString());
}

QStringList HistoryWindow::selectedIds() const {
    QStringList ids;
    for (const QModelIndex& index : historyList->selectionModel()->selectedRows())
        ids << model_->runId(index.row());
    return ids;
}

void HistoryWindow::openCurrent() {
    const QModelIndex current = historyList->currentIndex();
    if (current.isValid())
        openRun(model_->runId(current.row()));
}

void HistoryWindow::openRun(const QString& id) {
    openRun_ = store_.run(id);
    if (!openRun_) {
        historyStatus->setText("The run cannot be read.");
        return;
    }
    showLaps(*openRun_);
    plot(lapsOf(*openRun_, 1, LapColumn::LapMs), lapsOf(*openRun_, 1, LapColumn::AverageMs),
         runTitle(*openRun_) + ": lap and average of " + openRun_->names[0]);
}

void HistoryWindow::showLaps(const HistoryRun& run) {
    historyLaps->setRowCount(int(run.laps.size()));
    for (int row = 0; row < run.laps.size(); ++row)
        for (int column = 0; column < kLapColumnCount; ++column)
            historyLaps->setItem(row, column,
                                 new QTableWidgetItem(run.laps[row].row.value(column)));
}

void HistoryWindow::plot(const QList<double>& first, const QList<double>& second,
                         const QString& title) {
    historyChart->clearSeries();
    for (const double y : first)
        historyChart->appendPoint(0, y);
    for (const double y : second)
        historyChart->appendPoint(1, y);
    historyChartTitle->setText(title);
}

// The laps of the first competitor of two runs, one against the other.
void HistoryWindow::compareSelected() {
    const QStringList ids = selectedIds();
    if (ids.size() != 2) {
        historyStatus->setText("Select two runs to compare.");
        return;
    }
    const auto first = store_.run(ids[0]);
    const auto second = store_.run(ids[1]);
    if (!first || !second)
        return;
    plot(lapsOf(*first, 1, LapColumn::LapMs), lapsOf(*second, 1, LapColumn::LapMs),
         "Laps of " + runTitle(*first) + "  against  " + runTitle(*second));
}

// The name and course as typed in the search, taken whole.
void HistoryWindow::showProgress() {
    const QString name = historyName->text().trimmed();
    const QString course = historyCourse->text().trimmed();
    QList<double> best, average;
    for (const ProgressPoint& point : store_.progress(name, course)) {
        best << point.bestLap;
        average << point.average;
    }
    if (best.isEmpty()) {
        historyStatus->setText("Type a competitor's name and a course to see the progress.");
        return;
    }
    plot(best, average, "Best lap and average lap of " + name + " on " + course + ", run by run");
}

void HistoryWindow::chooseExport(const QString& caption, const QString& filter,
                                 std::function<QString(const QString&)> write) {
    if (!openRun_) {
        historyStatus->setText("Open a run first.");
        return;
    }
    // The dialog is this window's child: its answer never comes after the window is gone.
    openFileDialog(this, caption, filter, FileDialogMode::Save,
                   [this, write = std::move(write)](const QStringList& paths) {
                       if (paths.isEmpty())
                           return;
                       const QString error = write(paths.first());
                       historyStatus->setText(
                           error.isEmpty() ? "Written to " + QDir::toNativeSeparators(paths.first())
                                           : error);
                   });
}

QString HistoryWindow::exportCsv(const QString& path) const {
    if (!openRun_)
        return "No run is open.";
    const int rows = int(openRun_->laps.size());
    CellStore cells(rows + 1, kLapColumnCount);
    for (int row = 0; row < rows; ++row)
        cells.setRow(row + 1, openRun_->laps[row].row);
    return writeCsvFile(path, csvFileBytes(cells, rows));
}

QString HistoryWindow::exportPdf(const QString& path) {
    if (!openRun_)
        return "No run is open.";
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(150);
    pdf.setTitle(runTitle(*openRun_));
    QPainter painter;
    if (!painter.begin(&pdf))
        return "The report " + QDir::toNativeSeparators(path) + " cannot be written.";
    const int width = pdf.width();
    const int line = painter.fontMetrics().height() * 3 / 2;
    int y = line;
    painter.drawText(0, y, runTitle(*openRun_));
    y += line / 2;
    const QImage chart = historyChart->bitmap();
    const QRect chartRect(0, y, width, width * chart.height() / std::max(1, chart.width()));
    painter.drawImage(chartRect, chart);
    y = chartRect.bottom() + line;
    const int columnWidth = width / kLapColumnCount;
    const auto drawRow = [&](const QStringList& cells) {
        if (y > pdf.height() - line) {
            pdf.newPage();
            y = line;
        }
        for (int column = 0; column < kLapColumnCount; ++column)
            painter.drawText(QRect(column * columnWidth, y - line, columnWidth, line),
                             Qt::AlignLeft | Qt::AlignVCenter, cells.value(column));
        y += line;
    };
    drawRow(kLapHeaders);
    for (const HistoryLap& lap : openRun_->laps)
        drawRow(lap.row);
    return painter.end() ? QString() : "The report could not be finished.";
}

} // namespace kelvos
