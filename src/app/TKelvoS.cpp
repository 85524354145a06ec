#include "TKelvoS.h"

#include "AnnouncementsPanel.h"
#include "ChartPanel.h"
#include "ClipPlayer.h"
#include "CourseList.h"
#include "CoursePanel.h"
#include "FormScaler.h"
#include "GridsPanel.h"
#include "HotkeysPanel.h"
#include "LabelLook.h"
#include "LapsPanel.h"
#include "MainWindowLayout.h"
#include "OptionsPanel.h"
#include "RunPanel.h"
#include "RunRecorder.h"
#include "SettingsBinding.h"
#include "SignalSounds.h"
#include "TCuteButton.h"
#include "TaskbarText.h"
#include "TextGrid.h"
#include "TimeText.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>

using namespace kelvos;

namespace {
constexpr int kRefreshIntervalMs = 20;
constexpr int kTaskbarIntervalMs = 150;
// The closing sounds are cut after this, so that the window never hangs on a long clip.
constexpr std::chrono::milliseconds kClosingSoundsBound{1200};
constexpr const char* kCredit = " :: KelvoS lap timer " KELVOS_VERSION;
// A rebuilt run's watch is started at this clock reading (any will do), so that each press
// rebuilt at this reading plus its recorded total reads that total.
constexpr quint32 kReplayBase = 0;
// The presses of a restore rebuilt at one turn of the event loop, so the window stays live.
constexpr qint64 kRestoreSliceMs = 200;
// The size the window is designed at; it is shown at a scale of it.
constexpr QSize kDesignSize(1020, 763);
using Kind = JournalEntry::Kind;
} // namespace

TKelvoS::TKelvoS(KelvosServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)),
      run_(services_.timing->clock(), services_.now) {
    setObjectName("KelvoS");
    setWindowTitle("KelvoS");
    applyLook();
    scaler_ = new FormScaler(this, kDesignSize);
    buildControls(this, *scaler_);
    createPanels();
    subscribeViews();
    connectPanels();
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TKelvoS::refreshTick);
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setTimerType(Qt::PreciseTimer);
    connect(Timer2, &QTimer::timeout, this, &TKelvoS::Timer2Timer);
    FormCreate();
}

// The read-outs use the run model and the player, which go before the panels do: they are
// ended first.
TKelvoS::~TKelvoS() {
    announcementsPanel_->stopAll();
    delete closeProblem_;
}

void TKelvoS::applyLook() {
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::black);
    look.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(look);
    QFont font("Times New Roman");
    font.setPixelSize(13);
    setFont(font);
}

void TKelvoS::createPanels() {
    const auto report = [this](const QString& message) { reportProblem(message); };
    optionsPanel_ = new OptionsPanel(this, services_.live);
    sounds_ = std::make_unique<SignalSounds>(*services_.player,
                                             [this] { return optionsPanel_->voiceOn(); });
    runPanel_ = new RunPanel(this);
    lapsPanel_ = new LapsPanel(this);
    coursePanel_ = new CoursePanel(this);
    gridsPanel_ = new GridsPanel(this,
                                 {services_.workingDirectory, services_.now, services_.chooseFile,
                                  [this] { return run_.running(); }, report},
                                 *sounds_, run_.laps());
    hotkeysPanel_ = new HotkeysPanel(this, std::move(services_.hotkeys), *services_.timing, report);
    chartPanel_ = new ChartPanel(this,
                                 {services_.workingDirectory, services_.now, report,
                                  [this] { return optionsPanel_->autoScroll(); }},
                                 *gridsPanel_->mainGrid(), run_.laps());
    announcementsPanel_ = new AnnouncementsPanel(
        this, *services_.player, run_, [this] { return displayFigures(); }, services_.sleeper);
    recorder_ = new RunRecorder(report, this);
    settings_ = new SettingsBinding(this, services_.settingsFile,
                                    {*hotkeysPanel_, *lapsPanel_, *optionsPanel_, *coursePanel_});
}

// The journal hears each fact of the run first, so that nothing is shown that it has not
// recorded; then the views, then what the state of the run switches.
void TKelvoS::subscribeViews() {
    run_.subscribe([this](const RunEvent& event) { recorder_->take(event); });
    run_.subscribe([this](const RunEvent& event) { gridsPanel_->take(event); });
    run_.subscribe([this](const RunEvent& event) { chartPanel_->take(event); });
    run_.subscribe([this](const RunEvent& event) { runPanel_->take(event); });
    run_.subscribe([this](const RunEvent& event) { lapsPanel_->take(event); });
    run_.subscribe([this](const RunEvent& event) { showRunEvent(event); });
}

void TKelvoS::connectPanels() {
    gridsPanel_->addMixGridDockSite(chartPanel_->dockSite());
    connect(runPanel_, &RunPanel::startClicked, this, &TKelvoS::StartClick);
    connect(runPanel_, &RunPanel::stopClicked, this, &TKelvoS::StopClick);
    connect(runPanel_, &RunPanel::lapTimeClicked, this, &TKelvoS::StopClick);
    connect(runPanel_, &RunPanel::restartClicked, this, &TKelvoS::CuteButton1Click);
    connect(runPanel_, &RunPanel::resetClicked, this, &TKelvoS::ResetClick);

    connect(lapsPanel_, &LapsPanel::lapPressed, this, [this](int competitor) {
        competitor == 1 ? LapClick() : competitor == 2 ? LAP2Click() : LAP3Click();
    });
    connect(lapsPanel_, &LapsPanel::nameChanged, this, &TKelvoS::takeNames);
    connect(lapsPanel_, &LapsPanel::namesUndone, this, &TKelvoS::DoCSFocus);

    connect(coursePanel_, &CoursePanel::courseChanged, this, &TKelvoS::ComboBox1Change);
    connect(coursePanel_, &CoursePanel::droppedDown, this, [this] { sounds_->play({"pa.wav"}); });

    connect(gridsPanel_, &GridsPanel::mainLoadChosen, this, &TKelvoS::CuteButton20Click);
    connect(gridsPanel_, &GridsPanel::mixFileLoaded, this, [this](const CompetitorNames& names) {
        lapsPanel_->setNames(names);
        run_.loadGrid(RunEventKind::MixGridLoaded, gridsPanel_->mixRows());
    });
    connect(gridsPanel_, &GridsPanel::pasted, this, &TKelvoS::showPasted);
    connect(gridsPanel_, &GridsPanel::commandDone, this, &TKelvoS::DoCSFocus);

    connect(hotkeysPanel_, &HotkeysPanel::hotkeyPressed, this, &TKelvoS::HookHotKey1HotKey);
    connect(hotkeysPanel_, &HotkeysPanel::commandDone, this, &TKelvoS::DoCSFocus);

    connect(optionsPanel_, &OptionsPanel::milePerHourToggled, this, &TKelvoS::MilePerHour1Click);
    connect(optionsPanel_, &OptionsPanel::titleFormToggled, this, &TKelvoS::scheduleRefresh);
    connect(optionsPanel_, &OptionsPanel::plus1LapChosen, this, &TKelvoS::Plus1Lap1Click);
    connect(optionsPanel_, &OptionsPanel::mixSaveChosen, gridsPanel_, &GridsPanel::saveMixGridAs);
    connect(optionsPanel_, &OptionsPanel::mainSaveChosen, gridsPanel_, &GridsPanel::saveMainGridAs);
    connect(optionsPanel_, &OptionsPanel::lapAcceleratorsToggled, this, [this](bool on) {
        lapsPanel_->showLapAccelerators(on);
        DoCSFocus();
    });
    connect(optionsPanel_, &OptionsPanel::readAcceleratorsToggled, this, [this](bool on) {
        announcementsPanel_->showReadAccelerators(on);
        DoCSFocus();
    });
    connect(optionsPanel_, &OptionsPanel::announcementBoxesChanged, this,
            [this] { announcementsPanel_->setBoxes(optionsPanel_->announcementBoxes()); });
    connect(optionsPanel_, &OptionsPanel::displayWishChanged, announcementsPanel_,
            &AnnouncementsPanel::DCheck1Click);
    connect(announcementsPanel_, &AnnouncementsPanel::commandDone, this, &TKelvoS::DoCSFocus);
    connect(optionsPanel_, &OptionsPanel::commandDone, this, &TKelvoS::DoCSFocus);
    connect(optionsPanel_, &OptionsPanel::soundLevelsChanged, this,
            [this](SoundLevels levels) { services_.player->setLevels(levels); });
    // The tone is heard whatever "Voice" says: it is the level of the tones that is being set.
    connect(optionsPanel_, &OptionsPanel::toneLevelTried, this,
            [this] { sounds_->playAlways({"pi.wav"}); });
    connect(optionsPanel_, &OptionsPanel::autoScrollToggled, chartPanel_,
            &ChartPanel::CheckBox12Click);
    connect(chartPanel_, &ChartPanel::commandDone, this, &TKelvoS::DoCSFocus);
    connect(settings_, &SettingsBinding::autosaveFailed, this, [this](const QString& problems) {
        reportProblem("The settings could not be saved:\n" + problems +
                      "\n\nThey are saved again at the next change and at close. The results "
                      "are not affected.");
    });
}

// ---- Window lifecycle ----------------------------------------------------------------------

void TKelvoS::FormCreate() {
    hotkeysPanel_->putDefaultCombinations();
    const CourseList courses = loadCourseList(services_.workingDirectory);
    coursePanel_->fill(courses.entries);
    if (!courses.problem.isEmpty())
        settings_->reportProblem(courses.problem);
    startupJingle_ = settings_->loadCreationSettings();
    scaler_->open(settings_->windowPlace());
    hotkeysPanel_->registerAll();
    lapsPanel_->fillEmptyNames();
    takeNames(); // a stored text equal to the box's own changes nothing, so none was taken yet
    runPanel_->showCreated();
    gridsPanel_->showCreated();
    chartPanel_->showLapCount(0);
    showRunState(RunEntry::Shown);
    announcementsPanel_->setBoxes(optionsPanel_->announcementBoxes());
}

void TKelvoS::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!std::exchange(shownOnce_, true))
        FormFirstShow();
}

void TKelvoS::FormFirstShow() {
    settings_->restoreShownSettings();
    run_.setCourse(coursePanel_->chosenLength());
    chartPanel_->restoreBarPositions();
    showSettingsProblems();
    showRunState(RunEntry::Shown);
    run_.setUnit(optionsPanel_->milePerHour() ? SpeedUnit::MilesPerHour
                                              : SpeedUnit::KilometresPerHour);
    if (run_.unit() == SpeedUnit::MilesPerHour) {
        gridsPanel_->showUnitAtFirstShow(HeaderUnit::Mile);
        runPanel_->showUnit(run_.unit());
        runPanel_->showUnitName(run_.unit());
    }
    openJournal();
    DoCSFocus();
    QTimer::singleShot(0, this, &TKelvoS::showEarlyProblems);
    // Starting the sound output takes longer than painting the window: the jingle waits until
    // the window is on the screen.
    if (startupJingle_)
        QTimer::singleShot(0, this, [this] {
            sounds_->playAlways({"laptime.wav", "pi.wav", "po.wav", "pa.wav"});
        });
}

// Closing always succeeds: an operator must be able to quit even when the settings or the run's
// file cannot be written (a full disk, a read-only folder). Then they are told what was not
// kept; a run whose file could not be written stays unfinished in the journal, and so does a
// run whose restore is cut short.
void TKelvoS::closeEvent(QCloseEvent* event) {
    closing_ = true; // from here on problems go into the message that outlives the window
    if (replaying_)
        closeProblems_ << "The unfinished run was still being restored; it stays in the run "
                          "journal and is restored at the next start.";
    else if (run_.running() && !stopAndSave()) // a run still going is written to the Mix file
        closeProblems_ << "The run stays in the run journal and is restored at the next start.";
    if (!settings_->saveSettings())
        closeProblems_ << "The settings could not be saved:\n" +
                              settings_->takeProblems().join('\n') +
                              "\n\nThe results in the grids are not affected.";
    hotkeysPanel_->unregisterAll();
    Timer1->stop();
    Timer2->stop();
    announcementsPanel_->stopAll(); // no read-out outlives the window
    if (!closeProblems_.isEmpty())
        showCloseProblem(closeProblems_.join("\n\n"));
    if (sounds_->voiceOn())
        sounds_->playAlways({"po.wav", "po.wav", "pa.wav"});
    sounds_->finishWithin(kClosingSoundsBound);
    services_.keepAwake(false);
    event->accept();
}

// ---- Run control ---------------------------------------------------------------------------

// Which buttons work and which hotkeys are live follows the run's state, from its one table.
void TKelvoS::showRunState(RunEntry entry) {
    const RunStateEffects effects = runStateEffects(entry, hotkeysPanel_->stopKeyOff());
    runPanel_->applyRunState(effects);
    lapsPanel_->applyRunState(effects);
    gridsPanel_->applyRunState(effects);
    chartPanel_->applyRunState(effects);
    announcementsPanel_->applyRunState(effects);
    hotkeysPanel_->applyRunState(effects);
    scheduleRefresh();
}

// What the window itself shows of the run: the controls its state switches, the gaps in the
// title, and the read-out of competitor 1's lap (not of a lap rebuilt from the journal).
void TKelvoS::showRunEvent(const RunEvent& event) {
    switch (event.kind) {
    case RunEventKind::Started:
        return showRunState(RunEntry::Start);
    case RunEventKind::Restarted:
        return showRunState(RunEntry::Restart);
    case RunEventKind::Stopped:
        return showRunState(RunEntry::Stop);
    case RunEventKind::Reset:
        gapTexts_ = {"0", "0"};
        return showRunState(RunEntry::Reset);
    case RunEventKind::Lap:
        for (std::size_t other = 0; other < gapTexts_.size(); ++other)
            if (event.lap.gaps[other].changed)
                gapTexts_[other] = event.lap.gaps[other].text;
        // A lap whose read-out waits for the one speaking is still heard at once, over the voice.
        if (event.lap.competitor == 1 && !replaying_ &&
            announcementsPanel_->announceLap1(run_.laps()))
            sounds_->play({"pi.wav"});
        return;
    case RunEventKind::MainGridLoaded:
    case RunEventKind::MixGridLoaded:
    case RunEventKind::DetailsChanged:
        return;
    }
}

// While the watch runs its figures change at every refresh, and the taskbar follows them.
// Otherwise only the wall clock in the title and the taskbar changes: they are refreshed now
// and then once at each turn of the second, so an idle window wakes nothing in between.
void TKelvoS::scheduleRefresh() {
    if (replaying_)
        return; // a restored run's figures show once it is stopped
    const bool running = run_.running();
    Timer1->setSingleShot(!running);
    if (running) {
        Timer1->start(kRefreshIntervalMs);
        Timer2->start(kTaskbarIntervalMs);
        return;
    }
    Timer2->stop();
    Timer1Timer();
    Timer2Timer();
    Timer1->start(millisecondsToNextSecond(services_.now().time()));
}

void TKelvoS::refreshTick() {
    if (run_.running())
        Timer1Timer();
    else
        scheduleRefresh();
}

void TKelvoS::StartClick() {
    if (!run_.start())
        return;
    lapsPanel_->lap1Button()->setFocus();
    sounds_->play({"goo.wav"});
    announcementsPanel_->prepareDisplay();
    services_.keepAwake(true);
}

void TKelvoS::StopClick() {
    if (run_.can(Command::Stop))
        stopAndSave();
}

// The run is finished in the journal only once its automatic Mix file is on disk: a failed
// save, or a kill before it, leaves the run to be restored at the next start.
bool TKelvoS::stopAndSave() {
    if (run_.running())
        run_.stop();
    return saveStoppedRun();
}

bool TKelvoS::saveStoppedRun() {
    // A stop rebuilt from the journal writes nothing: the restored run is written at its end.
    const bool saved = replaying_ || gridsPanel_->writeAutomaticMixFile();
    if (saved && !replaying_)
        recorder_->saved(gridsPanel_->lastAutomaticFile());
    sounds_->play({"pipi.wav"});
    services_.keepAwake(false);
    DoCSFocus();
    return saved;
}

void TKelvoS::CuteButton1Click() {
    if (!run_.restart())
        return;
    lapsPanel_->lap1Button()->setFocus();
    sounds_->play({"goo.wav"});
    services_.keepAwake(true);
}

void TKelvoS::ResetClick() {
    const bool zeroes = !run_.resultsPending();
    if (!run_.reset())
        return;
    runPanel_->startButton()->setFocus();
    if (zeroes)
        sounds_->play({"pi.wav", "po.wav"});
    services_.keepAwake(false);
    DoCSFocus();
}

void TKelvoS::Timer1Timer() {
    figures_ = run_.refresh();
    runPanel_->showRefresh(figures_);
    setWindowTitle(windowTitleText());
}

const TKelvoS::ClockTexts& TKelvoS::clockTexts() const {
    QDateTime now = services_.now();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    if (now != clockTexts_.second) {
        const QLocale locale = QLocale::system();
        clockTexts_ = {now, locale.toString(now.date(), QLocale::ShortFormat),
                       formatWallClock(now.time(), locale),
                       locale.dayName(now.date().dayOfWeek(), QLocale::ShortFormat)};
    }
    return clockTexts_;
}

// The title form of "T": the date, the lap and the total.
QString TKelvoS::lapTitleText() const {
    const ClockTexts& clock = clockTexts();
    return "DATE=" + clock.date + " " + clock.time + " ; LAP" +
           QString::number(run_.laps().Lap1.LapCount) + "=" +
           formatFullTime(run_.laps().Lap1.LapTime) + " ; TOTAL=" + figures_.totalText;
}

QString TKelvoS::windowTitleText() const {
    if (optionsPanel_->titleShowsLap())
        return lapTitleText();
    const ClockTexts& clock = clockTexts();
    return figures_.totalText + " :: " + clock.time + " :: " + " " + clock.weekday + " " +
           " ::  " + gapTexts_[0] + " : " + gapTexts_[1] + kCredit;
}

// The taskbar shows the running total, or with "T" the date, lap and total.
void TKelvoS::Timer2Timer() {
    setTaskbarText(this, optionsPanel_->titleShowsLap()
                             ? lapTitleText()
                             : figures_.totalText + " :: " + clockTexts().time);
}

DisplayFigures TKelvoS::displayFigures() const {
    const LapState& laps = run_.laps();
    DisplayFigures figures;
    figures.lapCount = laps.Lap1.LapCount;
    figures.totalText = laps.LastTotalText;
    figures.lapTimeText = formatFullTime(laps.Lap1.LapTime);
    figures.lapDiff = laps.Lap1.LapDiff;
    figures.lapMillis = laps.Lap1.LapTime;
    figures.lapSpeedText = laps.LapSpeedText1;
    figures.averageMillis = laps.Lap1.LapAverage;
    figures.averageSpeedText = laps.AverageSpeedText1;
    figures.milesPerHour = run_.unit() == SpeedUnit::MilesPerHour;
    figures.positiveColor = fromStoredColor(PositiveColor);
    figures.negativeColor = fromStoredColor(NegativeColor);
    return figures;
}

void TKelvoS::DoCSFocus() {
    const bool running = run_.running();
    if (run_.can(running ? Command::Lap1 : Command::Start))
        (running ? lapsPanel_->lap1Button() : runPanel_->startButton())->setFocus();
}

// The laps get the names the boxes show, and the copy buttons pick their rows by them.
void TKelvoS::takeNames() {
    const CompetitorNames names = lapsPanel_->names();
    run_.setName(1, names.name1);
    run_.setName(2, names.name2);
    run_.setName(3, names.name3);
    gridsPanel_->setNames(names);
}

namespace {
// The command each hotkey runs, as numbered by their editors.
constexpr Command kHotkeyCommands[] = {Command::Start, Command::Stop, Command::Restart,
                                       Command::Reset, Command::Lap1, Command::Lap2,
                                       Command::Lap3};
static_assert(std::size(kHotkeyCommands) == kHotkeyCount);

struct CommandRoute {
    DesktopCommand desktop;
    Command command;
};
constexpr CommandRoute kCommandRoutes[] = {
    {DesktopCommand::Start, Command::Start},     {DesktopCommand::Stop, Command::Stop},
    {DesktopCommand::Restart, Command::Restart}, {DesktopCommand::Reset, Command::Reset},
    {DesktopCommand::Lap1, Command::Lap1},       {DesktopCommand::Lap2, Command::Lap2},
    {DesktopCommand::Lap3, Command::Lap3},       {DesktopCommand::Read, Command::LapRead},
};
} // namespace

void TKelvoS::HookHotKey1HotKey(Hotkey key) {
    if (replaying_)
        return; // the restored run is not complete yet
    runCommand(kHotkeyCommands[int(key) - 1]);
}

void TKelvoS::runCommand(Command command) {
    switch (command) {
    case Command::Start:
        return StartClick();
    case Command::Stop:
        return StopClick();
    case Command::Restart:
        return CuteButton1Click();
    case Command::Reset:
        return ResetClick();
    case Command::Lap1:
        return LapClick();
    case Command::Lap2:
        return LAP2Click();
    case Command::Lap3:
        return LAP3Click();
    case Command::LapRead:
        return announcementsPanel_->LapreadClick();
    default:
        return;
    }
}

// A command from another program runs as its hotkey would, when the run lets it run now.
bool TKelvoS::takeCommand(DesktopCommand command, quint32 receivedAt) {
    const auto* route =
        std::find_if(std::begin(kCommandRoutes), std::end(kCommandRoutes),
                     [command](const CommandRoute& r) { return r.desktop == command; });
    if (replaying_ || route == std::end(kCommandRoutes) || !run_.can(route->command))
        return false;
    const PressClock::Scope press(receivedAt);
    runCommand(route->command);
    return true;
}

bool TKelvoS::isHotkeyRegistered(Hotkey key) const {
    return hotkeysPanel_->isLive(key);
}

void TKelvoS::waitForSignals() {
    announcementsPanel_->waitUntilIdle();
    sounds_->waitUntilIdle();
}

// ---- Laps ----------------------------------------------------------------------------------

void TKelvoS::LapClick() {
    if (!run_.lap(1))
        return;
    lapsPanel_->lap1Button()->setFocus();
    if (!sounds_->voiceOn())
        sounds_->beep();
}

void TKelvoS::LAP2Click() {
    if (run_.lap(2))
        sounds_->beep();
}

void TKelvoS::LAP3Click() {
    if (run_.lap(3))
        sounds_->beep();
}

void TKelvoS::Plus1Lap1Click() {
    run_.plusOneLap();
    lapsPanel_->lap1Button()->setFocus();
    if (!sounds_->voiceOn())
        sounds_->beep();
    saveStoppedRun();
}

// ---- Course, unit and files ----------------------------------------------------------------

void TKelvoS::ComboBox1Change(bool chosen) {
    run_.setCourse(coursePanel_->chosenLength());
    sounds_->play({"po.wav"});
    // Only a choice from the list hands the keyboard back to the run buttons; while a length
    // is being typed the box keeps the focus, or it could never be typed at all.
    if (chosen)
        DoCSFocus();
}

void TKelvoS::MilePerHour1Click() {
    run_.setUnit(optionsPanel_->milePerHour() ? SpeedUnit::MilesPerHour
                                              : SpeedUnit::KilometresPerHour);
    gridsPanel_->writeHeaderLines(headerUnit());
    runPanel_->showUnit(run_.unit());
    DoCSFocus();
}

HeaderUnit TKelvoS::headerUnit() const {
    return headerUnitOf(run_.unit());
}

// "LoadCsv" into the Main grid, after a full reset. The loaded rows are for charting, sorting
// and copying: the lap counters stay at zero, and the start hotkey is switched off so that a
// stray key cannot reset them away.
void TKelvoS::CuteButton20Click() {
    gridsPanel_->chooseMainFile([this](const QString& path) { loadMainFile(path); });
}

void TKelvoS::loadMainFile(const QString& path) {
    if (path.isEmpty() || gridsPanel_->loadRefused(path))
        return DoCSFocus();
    ResetClick();
    const GridsPanel::MainLoad load = gridsPanel_->loadMainFile(path);
    run_.loadGrid(RunEventKind::MainGridLoaded, gridsPanel_->mainRows());
    if (load.rows > 0)
        chartPanel_->showLapCount(load.rows);
    if (!load.complete)
        return;
    chartPanel_->enableRebuilds(true);
    hotkeysPanel_->unregisterHotkey(Hotkey::Start);
    DoCSFocus();
}

void TKelvoS::showPasted(int rows) {
    run_.loadGrid(RunEventKind::MainGridLoaded, gridsPanel_->mainRows());
    chartPanel_->showLapCount(rows);
    chartPanel_->enableRebuilds(true);
}

// ---- The run journal -----------------------------------------------------------------------

// A run the last session did not finish comes back into the grids first, then the journal
// goes on recording. The window is on the screen before the restore begins, and the restore
// goes in steps under a progress dialog, so a long run shows how far it has come.
void TKelvoS::openJournal() {
    const auto run = recorder_->open(services_.workingDirectory);
    if (!run)
        return;
    restore_ = std::make_unique<Restore>();
    restore_->entries = *run;
    // A run whose Start line was lost began when its first readable press was recorded.
    if (run->first().kind != Kind::Start)
        restore_->entries.prepend(JournalEntry{});
    replaying_ = true;
    recorder_->setReplaying(true);
    sounds_->setMuted(true);
    gridsPanel_->beginRebuild();
    chartPanel_->beginRebuild();
    showRestoreProgress(int(restore_->entries.size()));
    QTimer::singleShot(0, this, &TKelvoS::restoreSome);
}

void TKelvoS::showRestoreProgress(int entries) {
    auto* progress = new QProgressDialog("Restoring the unfinished run of the last session...",
                                         QString(), 0, entries, this);
    progress->setObjectName("restoreProgress");
    progress->setWindowTitle("KelvoS: restoring");
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoReset(false);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->show();
    restore_->progress = progress;
}

// The recorded presses run through the same handlers again, each at its recorded total and
// with the names, course and time of day it had, a slice of them at each turn of the event
// loop.
void TKelvoS::restoreSome() {
    if (closing_)
        return; // the run stays in the journal for the next start
    QElapsedTimer slice;
    slice.start();
    Restore& restore = *restore_;
    while (restore.next < restore.entries.size() && slice.elapsed() < kRestoreSliceMs)
        replay(restore.entries[restore.next++]);
    if (restore.progress)
        restore.progress->setValue(int(restore.next));
    if (restore.next < restore.entries.size())
        return QTimer::singleShot(0, this, &TKelvoS::restoreSome);
    finishRestore();
}

// The run is stopped, which writes its automatic Mix file and records that it ended.
void TKelvoS::finishRestore() {
    const std::unique_ptr<Restore> restore = std::move(restore_);
    if (restore->progress)
        restore->progress->close();
    gridsPanel_->endRebuild();
    chartPanel_->endRebuild();
    sounds_->setMuted(false);
    recorder_->setReplaying(false);
    replaying_ = false;
    const PressClock::Scope lastPress(kReplayBase + quint32(restore->entries.last().total));
    const bool saved = stopAndSave();
    QString message = QString("KelvoS was not closed properly last time. Its unfinished run (%1 "
                              "laps of competitor 1, %2 laps in all) is back in the grids")
                          .arg(run_.laps().Lap1.LapCount)
                          .arg(run_.laps().MixRows);
    message += saved ? QString(" and saved to %1.").arg(gridsPanel_->lastAutomaticFile())
                     : QString(", but it could not be saved to %1; it stays in the run journal "
                               "and is restored again at the next start.")
                           .arg(gridsPanel_->lastAutomaticFile());
    if (const QString unreadable = recorder_->unreadableLinesText(); !unreadable.isEmpty())
        message += "\nThe run journal was damaged: " + unreadable;
    reportProblem(message);
}

void TKelvoS::replay(const JournalEntry& entry) {
    const PressClock::Scope press(kReplayBase + quint32(entry.total));
    if (entry.kind != Kind::Lap) { // the command finds the grids and chart as the laps left them
        gridsPanel_->showRebuiltRows();
        chartPanel_->showRebuiltLaps();
    }
    switch (entry.kind) {
    case Kind::Start:
        return StartClick();
    case Kind::Stop:
        return StopClick();
    case Kind::Restart:
        return CuteButton1Click();
    case Kind::Reset:
        return ResetClick();
    case Kind::Saved:
        return; // the file is written again when the restored run is stopped
    case Kind::Lap:
        break;
    }
    run_.replayLap(entry.competitor,
                   {entry.name,
                    entry.courseSelected ? std::optional(entry.courseLength) : std::nullopt,
                    entry.milesPerHour ? SpeedUnit::MilesPerHour : SpeedUnit::KilometresPerHour,
                    entry.wallClock});
}

// ---- Messages ------------------------------------------------------------------------------

namespace {
// A message that waits for the operator without stopping the watch or the hotkeys.
QMessageBox* showProblemBox(const QString& message, QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Warning, "KelvoS", message, QMessageBox::Ok, parent);
    box->setObjectName("problemMessage");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    return box;
}
} // namespace

// A message stands in front of the window it is about: one that comes while the window is
// being made (a hotkey another program holds, say) waits until the window is on the screen.
void TKelvoS::reportProblem(const QString& message) {
    if (closing_)
        closeProblems_ << message;
    else if (!shownOnce_)
        earlyProblems_ << message;
    else
        showProblemBox(message, this);
}

void TKelvoS::showEarlyProblems() {
    for (const QString& message : std::exchange(earlyProblems_, {}))
        showProblemBox(message, this);
}

// The window is going, so the message stands on its own: it waits for the operator without
// blocking anything (the hotkeys are already released), and a termination request still ends
// the program at once. It also goes to the error output, where a session log keeps it.
void TKelvoS::showCloseProblem(const QString& message) {
    qWarning("kelvos: %s", qUtf8Printable(message));
    closeProblem_ = showProblemBox(message, nullptr);
}

void TKelvoS::showSettingsProblems() {
    const QStringList problems = settings_->takeProblems();
    if (!problems.isEmpty())
        reportProblem(problems.join('\n'));
}
