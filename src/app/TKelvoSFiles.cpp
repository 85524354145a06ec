// CSV files of both grids and the clipboard exchange of the Mix grid's laps.
#include "ClipboardExchange.h"
#include "CsvFile.h"
#include "TKelvoS.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

using namespace kelvos;

namespace {

// The save dialogs offer "*.csv" and "*.txt"; the open dialogs also "all".
const QString kSaveFilter = QStringLiteral("*.csv (*.csv);;*.txt (*.txt)");
const QString kOpenFilter = QStringLiteral("csv(*csv) (*.csv);;txt(*txt) (*.txt);;all(*.*) (*)");
const char* const kCopyLapButtons[] = {"CuteButton35", "CuteButton36", "CuteButton37"};

// A name chosen without an extension gets ".csv", the save dialogs' default extension.
QString withDefaultExtension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".csv") : path;
}

// Writes rows 1 … rows of the grid to the file. Returns what to tell the operator when the
// file could not be written, or an empty string.
QString saveGridRows(const TextGrid& grid, int rows, const QString& path) {
    const QString error = writeCsvFile(path, csvFileBytes(grid.cellModel()->store(), rows));
    if (error.isEmpty())
        return {};
    return QStringLiteral("The file %1 could not be saved: %2")
        .arg(QDir::toNativeSeparators(path), error);
}

// Saves under the automatic name of this minute in the working directory.
QString saveUnderAutomaticName(const KelvosServices& services,
                               QString (*automaticName)(const QDateTime&), const TextGrid& grid,
                               int rows) {
    const QString path = QDir(services.workingDirectory).filePath(automaticName(services.now()));
    return saveGridRows(grid, rows, path);
}

// Saves under a name the operator chooses; a cancelled dialog saves nothing.
QString saveUnderChosenName(const KelvosServices& services, const QString& caption,
                            const TextGrid& grid, int rows) {
    const QString path = services.chooseFile(caption, kSaveFilter, true);
    return path.isEmpty() ? QString() : saveGridRows(grid, rows, withDefaultExtension(path));
}

QString loadProblem(const QString& path, const QString& error) {
    return QStringLiteral("The file %1 could not be read: %2")
        .arg(QDir::toNativeSeparators(path), error);
}

} // namespace

void TKelvoS::connectFileHandlers() {
    const auto clicked = [this](const char* name, void (TKelvoS::*handler)()) {
        connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this,
                handler);
    };
    clicked("CuteButton19", &TKelvoS::CuteButton19Click);
    clicked("SAVE", &TKelvoS::SAVEClick);
    clicked("CuteButton20", &TKelvoS::CuteButton20Click);
    clicked("CuteButton39", &TKelvoS::CuteButton39Click);
    clicked("CuteButton3", &TKelvoS::CuteButton3Click);
    clicked("CuteButton4", &TKelvoS::CuteButton4Click);
    for (int competitor = 1; competitor <= 3; ++competitor) {
        connect(findChild<QPushButton*>(kCopyLapButtons[competitor - 1]), &QPushButton::clicked,
                this, [this, competitor] { copyLapClick(competitor); });
    }
    connect(menuItem("MixSave1"), &QAction::triggered, this, &TKelvoS::MixSave1Click);
    connect(menuItem("MainSave1"), &QAction::triggered, this, &TKelvoS::MainSave1Click);
}

// ---- Saving --------------------------------------------------------------------------------

void TKelvoS::writeAutomaticMixFile() {
    const QString problem = saveUnderAutomaticName(services_, automaticMixFileName, *StrSortGrid1,
                                                   laps_.state().MixRows);
    if (!problem.isEmpty())
        return reportProblem(problem);
    playSignal("po.wav");
}

void TKelvoS::SAVEClick() {
    writeAutomaticMixFile();
    DoCSFocus();
}

void TKelvoS::CuteButton19Click() {
    const QString problem = saveUnderAutomaticName(services_, automaticMainFileName, *StringGridEx1,
                                                   laps_.state().Lap1.LapCount);
    if (!problem.isEmpty())
        return reportProblem(problem);
    playSignal("po.wav");
    DoCSFocus();
}

void TKelvoS::MixSave1Click() {
    const QString problem =
        saveUnderChosenName(services_, "MixSave", *StrSortGrid1, laps_.state().MixRows);
    if (!problem.isEmpty())
        return reportProblem(problem);
    DoCSFocus();
}

void TKelvoS::MainSave1Click() {
    const QString problem =
        saveUnderChosenName(services_, "MainSave", *StringGridEx1, laps_.state().Lap1.LapCount);
    if (!problem.isEmpty())
        return reportProblem(problem);
    DoCSFocus();
}

// ---- Loading -------------------------------------------------------------------------------

// The loaded rows are for charting, sorting and copying: the lap counters stay at zero, and
// the start hotkey is switched off so that a stray key cannot reset them away.
void TKelvoS::CuteButton20Click() {
    const QString path = services_.chooseFile("Main csv file load", kOpenFilter, false);
    if (path.isEmpty())
        return DoCSFocus();
    ResetClick();
    const CsvFileText file = readCsvFile(path);
    CellStore store = StringGridEx1->cellModel()->store();
    if (const int rows = loadCsvRows(store, file.text); rows > 0) {
        StringGridEx1->cellModel()->replaceStore(std::move(store));
        Label26->setText(QString::number(rows));
    }
    if (!file.error.isEmpty())
        return reportProblem(loadProblem(path, file.error));
    enableChartRebuilds(true);
    unregisterHotkey(HkStart);
    DoCSFocus();
}

// Laps recorded after the load go into the rows the combined lap count gives, over loaded
// rows if there are any.
void TKelvoS::CuteButton39Click() {
    const QString path = services_.chooseFile("Mix csv file load", kOpenFilter, false);
    if (path.isEmpty())
        return DoCSFocus();
    CellStore store(2, StrSortGrid1->colCount());
    store.setRowCommaText(0, mixGridLoadedFileHeaderLine());
    const CsvFileText file = readCsvFile(path);
    const int rows = loadCsvRows(store, file.text);
    const QStringList numbers = store.column(1).mid(1, rows);
    StrSortGrid1->cellModel()->replaceStore(std::move(store));
    if (!file.error.isEmpty())
        return reportProblem(loadProblem(path, file.error));
    enableNamed({kCopyLapButtons[0], kCopyLapButtons[1], kCopyLapButtons[2]}, true);
    const CompetitorNames names =
        namesFromNumberColumn(numbers, {Edit1->text(), Edit2->text(), Edit3->text()});
    Edit1->setText(names.name1); // each box passes its text on as the competitor's name
    Edit3->setText(names.name3);
    Edit2->setText(names.name2);
    DoCSFocus();
}

// ---- Clipboard -----------------------------------------------------------------------------

void TKelvoS::CuteButton3Click() {
    copyLapClick(0);
}

// Competitor 1 to 3 copies the Mix rows carrying that competitor's name box text; 0 copies
// every row.
void TKelvoS::copyLapClick(int competitor) {
    clipboardCellCount_ = 0;
    enableNamed({"CuteButton4"}, true); // Paste
    const QLineEdit* names[] = {Edit1, Edit2, Edit3};
    const std::optional<QString> name =
        competitor > 0 ? std::optional(names[competitor - 1]->text()) : std::nullopt;
    const std::optional<ClipboardCopy> copy =
        copyGridCells(StrSortGrid1->cellModel()->store(), name);
    if (!copy)
        return; // a grid of one row or one column has nothing to copy
    QGuiApplication::clipboard()->setText(copy->text);
    clipboardCellCount_ = copy->cellCount;
    DoCSFocus();
}

// The row count comes from this program's last copy, whoever put the text there.
void TKelvoS::CuteButton4Click() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasText()) {
        CellStore store = StringGridEx1->cellModel()->store();
        const bool pasted = pasteIntoGrid(store, data->text(), clipboardCellCount_);
        StringGridEx1->cellModel()->replaceStore(std::move(store));
        if (pasted) {
            Label26->setText(QString::number(StringGridEx1->rowCount() - 1));
            enableChartRebuilds(true);
        }
    }
    DoCSFocus();
}
