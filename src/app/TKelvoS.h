#pragma once

#include "GridTexts.h"
#include "LapBook.h"
#include "MillisecondClock.h"
#include "TStopWatch.h"
#include "hotkeybackend.h"
#include "regmanager.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QAction;
class QLineEdit;
class QMenu;
class QTimer;
class TCuteButton;
class TDropDownBox;
class THookHotKey;
class THotKey;
class TStringGridEx;
class TStrSortGrid;

namespace kelvos {
struct ControlSpec;
class TextGrid;
class ClipPlayer;
class SignalQueue;
} // namespace kelvos

// What the main window takes from its surroundings, so that tests can give it a fake clock,
// a sound recorder and in-memory hotkeys.
struct KelvosServices {
    const kelvos::MillisecondClock* clock = nullptr;
    kelvos::ClipPlayer* player = nullptr;
    std::unique_ptr<kelvos::HotkeyBackend> hotkeys; // none: the desktop's own (X11)
    std::function<QDateTime()> now;                 // the wall clock
    QString workingDirectory;                       // course list, automatic files
    QString settingsFile;                           // the INI file
    // Asks the operator for a file to open (save false) or to save to; empty when cancelled.
    std::function<QString(const QString& caption, const QString& filter, bool save)> chooseFile;
};

// The main window: the timing figures, the run and lap commands, the grids and the hotkeys.
class TKelvoS : public QWidget {
    Q_OBJECT
public:
    explicit TKelvoS(KelvosServices services, QWidget* parent = nullptr);
    ~TKelvoS() override;

    // Hotkey indices, as the hotkey editors HotKey1..HotKey7 number them.
    enum HotkeyIndex { HkStart = 1, HkStop, HkRestart, HkReset, HkLap1, HkLap2, HkLap3 };

    bool isRunning() const { return Running; }
    bool resultsPending() const { return ResultsPending; }
    const kelvos::LapState& lapState() const { return laps_.state(); }
    TStopWatch& stopWatch() { return StopWatch1; }
    bool isHotkeyRegistered(int index) const;
    // Whether a read-out is under way; while it is, another one is not started.
    bool announcementBusy() const { return announcementBusy_; }
    // Blocks until every signal clip asked for so far has sounded.
    void waitForSignals();

public slots:
    void StartClick();
    void StopClick();
    void CuteButton1Click();
    void ResetClick();
    void LapClick();
    void LAP2Click();
    void LAP3Click();
    void Timer1Timer();
    void Plus1Lap1Click();
    void RealClick();
    void MilePerHour1Click();
    void key1Click();
    void LapReadKey1Click();
    void AutoscrollClick();
    void Voice1Click();
    void CheckBox5Click();
    void CheckBox6Click();
    void CheckBox7Click();
    void CheckBox9Click();
    void CheckBox10Click();
    void CheckBox11Click();
    void ComboBox1Change();
    void ComboBox1KeyPress();
    void ComboBox1DropDown();
    void DoCSFocus();
    void Factive() {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormFirstShow();
    void prepareSettingsStore();
    void loadCreationSettings();
    void restoreShownSettings();
    bool saveSettings();
    void showSettingsProblems();
    void followNewestRow(kelvos::TextGrid* grid, int row);
    void connectGridCommands();

    // CSV files and the clipboard (TKelvoSFiles.cpp).
    void connectFileHandlers();
    void writeAutomaticMixFile();
    void CuteButton19Click();          // "SaveCsv": the Main grid under an automatic name
    void SAVEClick();                  // "Mix save": the automatic Mix file
    void MixSave1Click();              // menu "MixSave": the Mix grid under a chosen name
    void MainSave1Click();             // menu "MainSave": the Main grid under a chosen name
    void CuteButton20Click();          // "LoadCsv" into the Main grid
    void CuteButton39Click();          // "LoadCsv" into the Mix grid
    void CuteButton3Click();           // "Copy": the whole Mix grid
    void copyLapClick(int competitor); // "copylap1".."copylap3"
    void CuteButton4Click();           // "Paste" into the Main grid
    void dockMixGrid(bool docked);
    kelvos::HeaderUnit headerUnit() const;
    void HookHotKey1HotKey(QObject* sender, int index);
    void buildPopupMenu();
    void connectOptionHandlers();
    QAction* menuItem(const char* name) const;
    void applyUnitTexts();
    void applyClipboardBoxRule(QCheckBox* changed, QCheckBox* other);
    // Tells the operator about a problem without stopping the program or the watch.
    void reportProblem(const QString& message);
    QWidget* createControl(const kelvos::ControlSpec& spec, QWidget* parent);
    void findControls();
    void connectHandlers();
    void applyLook();

    void connectHotkeyButtons();
    void confirmHotkey(int index);
    bool registerHotkey(int index);
    void unregisterHotkey(int index);
    void paintHotkeyLabel(int index);

    bool voiceOn() const;
    void playSignal(const QString& clip);
    void playSignals(const QStringList& clips);

    QString windowTitleText() const;
    QString wallClockText() const;
    void setLabelText(QLabel* label, const QString& text);
    void setLabelColor(QLabel* label, int colorValue);

    void enable(std::initializer_list<QWidget*> controls, bool enabled);
    void enableNamed(std::initializer_list<const char*> names, bool enabled);
    void enterRunningState();
    void enableChartRebuilds(bool enabled);
    void writeHeaderLines();
    void clearGridsForReset();
    void trimGridsAfterStop();
    void resetGridRowCounts();
    void showLap1(const kelvos::Lap1Result& result);
    void showGap(QLabel* label, const kelvos::GapUpdate& gap);
    void writeMainRow(const kelvos::GridRowUpdate& row);
    void writeMixRow(const kelvos::GridRowUpdate& row);
    kelvos::LapPress pressFor(qint32 elapsed, const QString& name) const;

    // Gathers the settings store's messages, to be shown together once the work is done.
    class SettingsMessages final : public kelvos::SettingsErrorReporter {
    public:
        void report(const QString& message) override { messages_ << message; }
        QStringList take() { return std::exchange(messages_, {}); }

    private:
        QStringList messages_;
    };

    KelvosServices services_;
    std::unique_ptr<SettingsMessages> settingsMessages_;
    TRegManager RegManager1;
    bool startupJingle_ = false;
    int clipboardCellCount_ = 0;
    THookHotKey* HookHotKey1 = nullptr;
    bool shownOnce_ = false;
    TStopWatch StopWatch1;
    kelvos::LapBook laps_;
    std::unique_ptr<kelvos::SignalQueue> signals_;

    // Run state.
    bool Running = false;
    bool ResultsPending = false;
    bool milePerHour_ = false;
    int selectedCourse_ = -1; // the chosen entry of the course list; -1 while typing
    std::atomic<bool> announcementBusy_{false};
    QString Name1, Name2, Name3;
    QString CourseLengthText;
    const int PositiveColor = 8646654;  // difference >= 0
    const int NegativeColor = 15851951; // difference < 0

    QTimer* Timer1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label7 = nullptr,
           *Label9 = nullptr, *Label11 = nullptr, *Label12 = nullptr, *Label13 = nullptr,
           *Label14 = nullptr, *Label16 = nullptr, *Label23 = nullptr, *Label24 = nullptr,
           *Label26 = nullptr;
    QLabel* hotkeyLabels_[8] = {};
    THotKey* hotkeyEditors_[8] = {};
    bool hotkeyLive_[8] = {};
    TCuteButton *start = nullptr, *stop = nullptr, *CuteButton1 = nullptr, *CuteButton2 = nullptr,
                *LAP = nullptr, *LAP2 = nullptr, *LAP3 = nullptr, *Lapread = nullptr,
                *Clipread = nullptr, *Real = nullptr;
    QCheckBox *CheckBox5 = nullptr, *CheckBox6 = nullptr, *CheckBox7 = nullptr,
              *CheckBox8 = nullptr, *CheckBox9 = nullptr, *CheckBox10 = nullptr,
              *CheckBox11 = nullptr, *CheckBox12 = nullptr, *DCheck1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    TDropDownBox* ComboBox1 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr;
    TStringGridEx* StringGridEx1 = nullptr;
    TStrSortGrid* StrSortGrid1 = nullptr;
};
