#include "GridsPanel.h"

#include "AutomaticName.h"
#include "CsvFile.h"
#include "Docking.h"
#include "GridSetup.h"
#include "MainWindowLayout.h"
#include "SignalSounds.h"
#include "TCuteButton.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

using namespace kelvos;

namespace {

constexpr int kMainGridFixedRows = 12;
constexpr int kMixGridFixedRows = 30;

// The save dialogs offer "*.csv" and "*.txt"; the open dialogs also "all".
const QString kSaveFilter = QStringLiteral("*.csv (*.csv);;*.txt (*.txt)");
const QString kOpenFilter = QStringLiteral("csv(*csv) (*.csv);;txt(*txt) (*.txt);;all(*.*) (*)");

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

QString loadProblem(const QString& path, const QString& error) {
    return QStringLiteral("The file %1 could not be read: %2")
        .arg(QDir::toNativeSeparators(path), error);
}

} // namespace

GridsPanel::GridsPanel(QWidget* form, FileServices services, SignalSounds& sounds,
                       const LapState& laps)
    : QObject(form), services_(std::move(services)), sounds_(sounds), laps_(laps) {
    const PanelControls controls(form, PanelId::Grids);
    StringGridEx1 = controls.take<TStringGridEx>("StringGridEx1");
    StrSortGrid1 = controls.take<TStrSortGrid>("StrSortGrid1");
    Panel1 = controls.take<QWidget>("Panel1");
    CheckBox3 = controls.take<QCheckBox>("CheckBox3");
    CuteButton19 = controls.take<TCuteButton>("CuteButton19");
    CuteButton20 = controls.take<TCuteButton>("CuteButton20");
    SAVE = controls.take<TCuteButton>("SAVE");
    CuteButton39 = controls.take<TCuteButton>("CuteButton39");
    CuteButton3 = controls.take<TCuteButton>("CuteButton3");
    CuteButton35 = controls.take<TCuteButton>("CuteButton35");
    CuteButton36 = controls.take<TCuteButton>("CuteButton36");
    CuteButton37 = controls.take<TCuteButton>("CuteButton37");
    CuteButton4 = controls.take<TCuteButton>("CuteButton4");
    CuteButton32 = controls.take<TCuteButton>("CuteButton32");
    CuteButton33 = controls.take<TCuteButton>("CuteButton33");
    CuteButton34 = controls.take<TCuteButton>("CuteButton34");
    CuteButton42 = controls.take<TCuteButton>("CuteButton42");
    mixGridDocking_ = new DockableControl(StrSortGrid1, {Panel1}, QStringLiteral("MixGrid"));
    connectCommands();
}

void GridsPanel::addMixGridDockSite(QWidget* site) {
    mixGridDocking_->addSite(site);
}

// "Sort" and "undo" reorder the Main grid by lap time and back into recording order, "Num"
// groups the Mix grid by competitor; "Show MixGrid" brings the Mix grid back into view and
// "DD" lets the operator drag it out into a window of its own and dock it again; clearing the
// box puts it back in its panel.
void GridsPanel::connectCommands() {
    const auto onClick = [this](TCuteButton* button, std::function<void()> command) {
        connect(button, &QPushButton::clicked, this, [this, command = std::move(command)] {
            command();
            emit commandDone();
        });
    };
    onClick(CuteButton32, [this] { StringGridEx1->sortByColumnText(int(LapColumn::LapTime)); });
    onClick(CuteButton33, [this] { StringGridEx1->sortByColumnText(int(LapColumn::Total)); });
    onClick(CuteButton34, [this] { StrSortGrid1->numberSort(int(LapColumn::Name)); });
    onClick(CuteButton42, [this] {
        StrSortGrid1->show();
        StrSortGrid1->raise();
    });
    connect(CheckBox3, &QCheckBox::toggled, this, [this](bool dockable) {
        mixGridDocking_->setDockable(dockable);
        emit commandDone();
    });
    connect(CuteButton19, &QPushButton::clicked, this, &GridsPanel::CuteButton19Click);
    connect(SAVE, &QPushButton::clicked, this, &GridsPanel::SAVEClick);
    connect(CuteButton20, &QPushButton::clicked, this, &GridsPanel::mainLoadChosen);
    connect(CuteButton39, &QPushButton::clicked, this, &GridsPanel::CuteButton39Click);
    connect(CuteButton3, &QPushButton::clicked, this, [this] { copyLapClick(0); });
    TCuteButton* const copyLaps[] = {CuteButton35, CuteButton36, CuteButton37};
    for (int competitor = 1; competitor <= 3; ++competitor) {
        connect(copyLaps[competitor - 1], &QPushButton::clicked, this,
                [this, competitor] { copyLapClick(competitor); });
    }
    connect(CuteButton4, &QPushButton::clicked, this, &GridsPanel::CuteButton4Click);
}

void GridsPanel::applyRunState(const RunStateEffects& effects) {
    for (TCuteButton* load : {CuteButton20, CuteButton39})
        applySwitch(load, effects.command(Command::CsvLoads));
    for (TCuteButton* copy : {CuteButton35, CuteButton36, CuteButton37})
        applySwitch(copy, effects.command(Command::CopyLaps));
    applySwitch(CuteButton4, effects.command(Command::Paste));
}

void GridsPanel::showCreated() {
    fillMixGridIntro(*StrSortGrid1);
}

void GridsPanel::showUnitAtFirstShow(HeaderUnit unit) {
    if (unit != HeaderUnit::Mile)
        return;
    StringGridEx1->setRowCommaText(0, mainGridStartupMileHeaderLine());
    StrSortGrid1->setRowCommaText(0, mixGridHeaderLine(unit));
}

void GridsPanel::writeHeaderLines(HeaderUnit unit) {
    StringGridEx1->setRowCommaText(0, mainGridHeaderLine(unit));
    StrSortGrid1->setRowCommaText(0, mixGridHeaderLine(unit));
}

void GridsPanel::clearForReset(HeaderUnit unit) {
    resetMainGrid(*StringGridEx1, unit);
    resetMixGrid(*StrSortGrid1, unit);
}

void GridsPanel::take(const RunEvent& event) {
    switch (event.kind) {
    case RunEventKind::Started:
        return startNewRun();
    case RunEventKind::Stopped:
        return trimToLaps(laps_);
    case RunEventKind::Restarted:
        return restoreFixedRows();
    case RunEventKind::Reset:
        return clearForReset(headerUnitOf(event.details.unit));
    case RunEventKind::Lap:
        return showLap(event.lap);
    default:
        return;
    }
}

void GridsPanel::showLap(const LapFacts& lap) {
    const QStringList texts = lap.rowTexts();
    if (lap.mainRow > 0)
        writeLapRow(*StringGridEx1, lap.mainRow, texts, rebuiltMainRow_);
    writeLapRow(*StrSortGrid1, lap.mixRow, texts, rebuiltMixRow_);
}

namespace {
QList<QStringList> dataRowsOf(const TextGrid& grid) {
    QList<QStringList> rows;
    for (int row = 1; row < grid.rowCount(); ++row) {
        const QStringList texts = grid.rows(row);
        if (std::any_of(texts.begin(), texts.end(), [](const QString& t) { return !t.isEmpty(); }))
            rows << texts;
    }
    return rows;
}
} // namespace

QList<QStringList> GridsPanel::mainRows() const {
    return dataRowsOf(*StringGridEx1);
}

QList<QStringList> GridsPanel::mixRows() const {
    return dataRowsOf(*StrSortGrid1);
}

// The row becomes the grid's current cell and the grid follows it, as the newest lap.
void GridsPanel::writeLapRow(TextGrid& grid, int row, const QStringList& texts,
                             std::optional<int>& rebuiltRow) {
    if (rebuilding_) {
        grid.cellModel()->setRow(row, texts);
        rebuiltRow = row;
        return;
    }
    grid.writeRow(row, texts);
    grid.followRow(row);
}

void GridsPanel::showRebuiltRows() {
    const auto show = [](TextGrid& grid, std::optional<int>& row) {
        if (!row)
            return;
        grid.setCurrentCell(0, *row);
        grid.followRow(*std::exchange(row, std::nullopt));
    };
    show(*StringGridEx1, rebuiltMainRow_);
    show(*StrSortGrid1, rebuiltMixRow_);
}

void GridsPanel::endRebuild() {
    showRebuiltRows();
    rebuilding_ = false;
}

void GridsPanel::trimToLaps(const LapState& laps) {
    StringGridEx1->setRowCount(laps.Lap1.LapCount > 0 ? laps.Lap1.LapCount + 1
                                                      : kMainGridFixedRows);
    StrSortGrid1->setRowCount(laps.MixRows > 0 ? laps.MixRows + 1 : kMixGridFixedRows);
}

// The cells stay: the lap handlers write the next rows over or after them.
void GridsPanel::restoreFixedRows() {
    StringGridEx1->setRowCount(kMainGridFixedRows);
    StrSortGrid1->setRowCount(kMixGridFixedRows);
}

bool GridsPanel::report(const QString& problem) {
    if (problem.isEmpty())
        return true;
    services_.reportProblem(problem);
    return false;
}

// ---- Saving --------------------------------------------------------------------------------

bool GridsPanel::writeAutomaticMixFile() {
    const QDir folder(services_.workingDirectory);
    const QString name = automaticMixFileName(services_.now());
    if (!runFiles_.contains(name)) {
        runFiles_[name] = freeFileName(name, [&folder](const QString& file) {
            return QFileInfo::exists(folder.filePath(file));
        });
    }
    const QString path = folder.filePath(runFiles_[name]);
    lastAutomaticFile_ = QDir::toNativeSeparators(path);
    if (!report(saveGridRows(*StrSortGrid1, laps_.MixRows, path)))
        return false;
    sounds_.play({"po.wav"});
    return true;
}

void GridsPanel::SAVEClick() {
    if (writeAutomaticMixFile())
        emit commandDone();
}

// "SaveCsv": the Main grid under this minute's automatic name.
void GridsPanel::CuteButton19Click() {
    const QString path =
        QDir(services_.workingDirectory).filePath(automaticMainFileName(services_.now()));
    if (!report(saveGridRows(*StringGridEx1, laps_.Lap1.LapCount, path)))
        return;
    sounds_.play({"po.wav"});
    emit commandDone();
}

void GridsPanel::saveMixGridAs() {
    saveGridAs("MixSave", *StrSortGrid1, laps_.MixRows);
}

void GridsPanel::saveMainGridAs() {
    saveGridAs("MainSave", *StringGridEx1, laps_.Lap1.LapCount);
}

// The grid is saved as it is when the operator answers: the run may have gone on meanwhile.
void GridsPanel::saveGridAs(const QString& caption, const TextGrid& grid, const qint32& rows) {
    services_.chooseFile(caption, kSaveFilter, true, [this, &grid, &rows](const QString& path) {
        if (path.isEmpty() || report(saveGridRows(grid, rows, withDefaultExtension(path))))
            emit commandDone();
    });
}

// ---- Loading -------------------------------------------------------------------------------

void GridsPanel::chooseMainFile(FileAnswer answer) const {
    services_.chooseFile("Main csv file load", kOpenFilter, false, std::move(answer));
}

// A run started while the dialog was open: loading now would replace its laps.
bool GridsPanel::loadRefused(const QString& path) {
    if (!services_.running())
        return false;
    services_.reportProblem(
        QStringLiteral("The file %1 was not loaded: the watch is running. Stop it to load a file.")
            .arg(QDir::toNativeSeparators(path)));
    return true;
}

GridsPanel::MainLoad GridsPanel::loadMainFile(const QString& path) {
    const CsvFileText file = readCsvFile(path);
    CellStore store = StringGridEx1->cellModel()->store();
    const int rows = loadCsvRows(store, file.text);
    if (rows > 0)
        StringGridEx1->cellModel()->replaceStore(std::move(store));
    return {rows, report(file.error.isEmpty() ? QString() : loadProblem(path, file.error))};
}

void GridsPanel::CuteButton39Click() {
    services_.chooseFile("Mix csv file load", kOpenFilter, false,
                         [this](const QString& path) { loadMixFile(path); });
}

// Laps recorded after the load go into the rows the combined lap count gives, over loaded
// rows if there are any.
void GridsPanel::loadMixFile(const QString& path) {
    if (path.isEmpty() || loadRefused(path))
        return emit commandDone();
    CellStore store(2, StrSortGrid1->colCount());
    store.setRowCommaText(0, mixGridLoadedFileHeaderLine());
    const CsvFileText file = readCsvFile(path);
    const int rows = loadCsvRows(store, file.text);
    const QStringList numbers = store.column(1).mid(1, rows);
    StrSortGrid1->cellModel()->replaceStore(std::move(store));
    if (!report(file.error.isEmpty() ? QString() : loadProblem(path, file.error)))
        return;
    for (TCuteButton* copy : {CuteButton35, CuteButton36, CuteButton37})
        copy->setEnabled(true);
    emit mixFileLoaded(namesFromNumberColumn(numbers, names_));
    emit commandDone();
}

// ---- Clipboard -----------------------------------------------------------------------------

// Competitor 1 to 3 copies the Mix rows carrying that competitor's name; 0 copies every row.
void GridsPanel::copyLapClick(int competitor) {
    clipboardCellCount_ = 0;
    CuteButton4->setEnabled(true);
    const QString names[] = {names_.name1, names_.name2, names_.name3};
    const std::optional<QString> name =
        competitor > 0 ? std::optional(names[competitor - 1]) : std::nullopt;
    const std::optional<ClipboardCopy> copy =
        copyGridCells(StrSortGrid1->cellModel()->store(), name);
    if (!copy)
        return; // a grid of one row or one column has nothing to copy
    QGuiApplication::clipboard()->setText(copy->text);
    clipboardCellCount_ = copy->cellCount;
    emit commandDone();
}

// The row count comes from this program's last copy, whoever put the text there.
void GridsPanel::CuteButton4Click() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasText()) {
        CellStore store = StringGridEx1->cellModel()->store();
        const bool filled = pasteIntoGrid(store, data->text(), clipboardCellCount_);
        StringGridEx1->cellModel()->replaceStore(std::move(store));
        if (filled)
            emit pasted(StringGridEx1->rowCount() - 1);
    }
    emit commandDone();
}
