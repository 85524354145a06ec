#pragma once

#include "ClipboardExchange.h"
#include "FileChooser.h"
#include "GridTexts.h"
#include "LapBook.h"
#include "RunEvent.h"
#include "RunStates.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <functional>
#include <optional>

class DockableControl;
class QCheckBox;
class QWidget;
class TCuteButton;
namespace kelvos {
class TextGrid;
}
class TStringGridEx;
class TStrSortGrid;
class SignalSounds;
namespace kelvos {
class TextGrid;
}

// What the grids' file commands take from the window's surroundings.
struct FileServices {
    QString workingDirectory; // automatic files are saved here
    std::function<QDateTime()> now;
    FileChooser chooseFile;
    // Whether the watch runs: no file is loaded into the grids while a run is being timed.
    std::function<bool()> running;
    // Tells the operator about a problem without stopping anything.
    std::function<void(const QString&)> reportProblem;
};

// The grids' header lines name the speed unit.
inline kelvos::HeaderUnit headerUnitOf(kelvos::SpeedUnit unit) {
    return unit == kelvos::SpeedUnit::MilesPerHour ? kelvos::HeaderUnit::Mile
                                                   : kelvos::HeaderUnit::Kilometre;
}

// The Main grid and the Mix grid with their commands: sorting, CSV files and the clipboard.
class GridsPanel : public QObject {
    Q_OBJECT
public:
    // The laps tell how many rows a save writes.
    GridsPanel(QWidget* form, FileServices services, SignalSounds& sounds,
               const kelvos::LapState& laps);

    TStringGridEx* mainGrid() const { return StringGridEx1; }
    TStrSortGrid* mixGrid() const { return StrSortGrid1; }
    // Another place the Mix grid may be docked into, besides its own panel.
    void addMixGridDockSite(QWidget* site);

    void applyRunState(const kelvos::RunStateEffects& effects);
    void showCreated();
    void showUnitAtFirstShow(kelvos::HeaderUnit unit);
    void writeHeaderLines(kelvos::HeaderUnit unit);
    // Each lap goes into its rows; a stop trims the grids to the laps, a reset clears them.
    void take(const kelvos::RunEvent& event);
    // The data rows, as loaded or pasted.
    QList<QStringList> mainRows() const;
    QList<QStringList> mixRows() const;
    // While a run is rebuilt from its journal, lap rows only go into the grids: moving each
    // grid's current cell and view at every row is most of a long restore's time. They are
    // moved to the newest rows when showRebuiltRows() is called and at the end.
    void beginRebuild() { rebuilding_ = true; }
    void showRebuiltRows();
    void endRebuild();
    // Saves the Mix grid's laps under this minute's automatic name, or, when another run has a
    // file of that name, under the first free name with a suffix; false when it failed (the
    // operator has been told).
    bool writeAutomaticMixFile();
    // The file the last automatic save of the Mix grid went to.
    QString lastAutomaticFile() const { return lastAutomaticFile_; }
    void saveMixGridAs();
    void saveMainGridAs();
    // Asks for a Main file; the answer comes later.
    void chooseMainFile(FileAnswer answer) const;
    // True, having told the operator, when the watch now runs and the file must not be loaded.
    bool loadRefused(const QString& path);
    // Loads the file into the Main grid. When it could not be read whole the operator has been
    // told, and what was read stays.
    struct MainLoad {
        int rows = 0;
        bool complete = false;
    };
    MainLoad loadMainFile(const QString& path);
    // The copy commands copy the Mix rows of these names.
    void setNames(const kelvos::CompetitorNames& names) { names_ = names; }

signals:
    void mixFileLoaded(const kelvos::CompetitorNames& names);
    void mainLoadChosen();
    // A paste filled the Main grid with this many data rows.
    void pasted(int rows);
    void commandDone();

private:
    void clearForReset(kelvos::HeaderUnit unit);
    void showLap(const kelvos::LapFacts& lap);
    // At a stop the grids show exactly the recorded laps; at a restart their fixed rows again.
    void trimToLaps(const kelvos::LapState& laps);
    void restoreFixedRows();
    // A new run: its automatic files must not replace those of earlier runs.
    void startNewRun() { runFiles_.clear(); }
    void connectCommands();
    void CuteButton19Click();
    void SAVEClick();
    void CuteButton39Click();
    void loadMixFile(const QString& path);
    void saveGridAs(const QString& caption, const kelvos::TextGrid& grid, const qint32& rows);
    void copyLapClick(int competitor);
    void CuteButton4Click();
    bool report(const QString& problem);
    void writeLapRow(kelvos::TextGrid& grid, int row, const QStringList& texts,
                     std::optional<int>& rebuiltRow);

    FileServices services_;
    SignalSounds& sounds_;
    const kelvos::LapState& laps_;
    kelvos::CompetitorNames names_;
    int clipboardCellCount_ = 0;
    QString lastAutomaticFile_;
    QHash<QString, QString> runFiles_; // this run's automatic names, and the files they went to
    bool rebuilding_ = false;
    std::optional<int> rebuiltMainRow_, rebuiltMixRow_; // the newest rows not yet shown
    TStringGridEx* StringGridEx1;
    TStrSortGrid* StrSortGrid1;
    QWidget* Panel1;
    DockableControl* mixGridDocking_;
    QCheckBox* CheckBox3;
    TCuteButton *CuteButton19, *CuteButton20, *SAVE, *CuteButton39, *CuteButton3, *CuteButton35,
        *CuteButton36, *CuteButton37, *CuteButton4, *CuteButton32, *CuteButton33, *CuteButton34,
        *CuteButton42;
};
