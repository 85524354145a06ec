#include "TKelvoS.h"

#include "ClipPlayer.h"
#include "CourseList.h"
#include "GridFollow.h"
#include "GridSetup.h"
#include "MainWindowLayout.h"
#include "SignalQueue.h"
#include "TCuteButton.h"
#include "TDropDownBox.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"
#include "TextGrid.h"
#include "TimeText.h"
#include "hookhotkey.h"
#include "hotkeyedit.h"
#include "shortcut.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

using namespace kelvos;

namespace {
constexpr int kHotkeyActive = 2518271;
constexpr int kLapHotkeyActive = 14543586;
constexpr int kHotkeyInactive = 8813988;
constexpr int kRefreshIntervalMs = 20;
constexpr const char* kCredit = " :: KelvoS lap timer " KELVOS_VERSION;

// Loading files and the clipboard's per-competitor copies wait while the watch runs.
constexpr std::initializer_list<const char*> kFileCommands = {
    "CuteButton20", "CuteButton39", "CuteButton35", "CuteButton36", "CuteButton37"};

const char* const kHotkeyLabelNames[8] = {nullptr,   "Label19", "Label8",  "Label18",
                                          "Label17", "Label20", "Label21", "Label22"};
} // namespace

TKelvoS::TKelvoS(KelvosServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), StopWatch1(*services_.clock),
      signals_(std::make_unique<SignalQueue>(*services_.player)) {
    setObjectName("KelvoS");
    setWindowTitle("KelvoS");
    HookHotKey1 = services_.hotkeys ? new THookHotKey(std::move(services_.hotkeys), this)
                                    : new THookHotKey(this); // the desktop's own hotkeys
    HookHotKey1->setObjectName("HookHotKey1");
    HookHotKey1->setActivate(false);
    buildControls(this, [this](const ControlSpec& spec, QWidget* parent) {
        return createControl(spec, parent);
    });
    findControls();
    applyLook();
    prepareSettingsStore();
    buildPopupMenu();
    connectHandlers();
    connectOptionHandlers();
    FormCreate();
}

TKelvoS::~TKelvoS() = default;

// The controls that are not plain toolkit widgets.
QWidget* TKelvoS::createControl(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
    case ControlKind::HotKeyEditor:
        return new THotKey(parent);
    case ControlKind::MainGrid: {
        auto* grid = new TStringGridEx(parent);
        configureMainGrid(*grid);
        return grid;
    }
    case ControlKind::MixGrid: {
        auto* grid = new TStrSortGrid(parent);
        configureMixGrid(*grid);
        return grid;
    }
    case ControlKind::Chart:
        return new QFrame(parent);
    default:
        return nullptr;
    }
}

void TKelvoS::findControls() {
    const auto label = [this](const char* name) { return findChild<QLabel*>(name); };
    const auto button = [this](const char* name) { return findChild<TCuteButton*>(name); };
    const auto box = [this](const char* name) { return findChild<QCheckBox*>(name); };
    Label1 = label("Label1");
    Label2 = label("Label2");
    Label3 = label("Label3");
    Label7 = label("Label7");
    Label9 = label("Label9");
    Label11 = label("Label11");
    Label12 = label("Label12");
    Label13 = label("Label13");
    Label14 = label("Label14");
    Label16 = label("Label16");
    Label23 = label("Label23");
    Label24 = label("Label24");
    Label26 = label("Label26");
    for (int i = HkStart; i <= HkLap3; ++i) {
        hotkeyLabels_[i] = label(kHotkeyLabelNames[i]);
        hotkeyEditors_[i] = findChild<THotKey*>(QString("HotKey%1").arg(i));
    }
    start = button("start");
    stop = button("stop");
    CuteButton1 = button("CuteButton1");
    CuteButton2 = button("CuteButton2");
    LAP = button("LAP");
    LAP2 = button("LAP2");
    LAP3 = button("LAP3");
    Lapread = button("Lapread");
    Clipread = button("Clipread");
    Real = button("Real");
    CheckBox5 = box("CheckBox5");
    CheckBox6 = box("CheckBox6");
    CheckBox7 = box("CheckBox7");
    CheckBox8 = box("CheckBox8");
    CheckBox9 = box("CheckBox9");
    CheckBox10 = box("CheckBox10");
    CheckBox11 = box("CheckBox11");
    CheckBox12 = box("CheckBox12");
    DCheck1 = box("DCheck1");
    ComboBox1 = findChild<TDropDownBox*>("ComboBox1");
    Edit1 = findChild<QLineEdit*>("Edit1");
    Edit2 = findChild<QLineEdit*>("Edit2");
    Edit3 = findChild<QLineEdit*>("Edit3");
    StringGridEx1 = findChild<TStringGridEx*>("StringGridEx1");
    StrSortGrid1 = findChild<TStrSortGrid*>("StrSortGrid1");
}

void TKelvoS::applyLook() {
    setFixedSize(1020, 763);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::black);
    look.setColor(QPalette::WindowText, QColor(0, 255, 0));
    setPalette(look);
    QFont font("Times New Roman");
    font.setPixelSize(13);
    setFont(font);

    QFont large = font;
    large.setPixelSize(34);
    large.setBold(true);
    Label1->setFont(large);
    large.setPixelSize(26);
    Label2->setFont(large);
    Label3->setFont(large);
    QFont medium = font;
    medium.setPixelSize(18);
    medium.setBold(true);
    for (QLabel* figure : {Label7, Label9, Label11, Label12, Label13, Label14, Label16})
        figure->setFont(medium);

    // The chart's animation speed, 3D depth and rotation.
    findChild<QScrollBar*>("ScrollBar1")->setRange(0, 1000);
    findChild<QScrollBar*>("ScrollBar2")->setRange(1, 100);
    findChild<QScrollBar*>("ScrollBar3")->setRange(270, 360);
}

void TKelvoS::connectHandlers() {
    connect(start, &QPushButton::clicked, this, &TKelvoS::StartClick);
    connect(stop, &QPushButton::clicked, this, &TKelvoS::StopClick);
    connect(CuteButton1, &QPushButton::clicked, this, &TKelvoS::CuteButton1Click);
    connect(CuteButton2, &QPushButton::clicked, this, &TKelvoS::ResetClick);
    connect(LAP, &QPushButton::clicked, this, &TKelvoS::LapClick);
    connect(LAP2, &QPushButton::clicked, this, &TKelvoS::LAP2Click);
    connect(LAP3, &QPushButton::clicked, this, &TKelvoS::LAP3Click);
    Label2->installEventFilter(this); // a click on the lap time stops the watch
    connect(HookHotKey1, &THookHotKey::OnHotKey, this, &TKelvoS::HookHotKey1HotKey);
    connect(HookHotKey1, &THookHotKey::hotKeyFailed, this,
            [this](int, const QString& message) { reportProblem(message); });
    connectHotkeyButtons();
    connectGridCommands();
    connectFileHandlers();
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(kRefreshIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TKelvoS::Timer1Timer);
}

bool TKelvoS::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        StopClick();
        return true;
    }
    if (watched == ComboBox1->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ComboBox1KeyPress();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TKelvoS::FormCreate() {
    move(0, 0);
    for (int i = HkStart; i <= HkLap3; ++i)
        hotkeyEditors_[i]->setShortcut(defaultHotkeys[i - 1]);
    const CourseList courses = loadCourseList(services_.workingDirectory);
    ComboBox1->addItems(courses.entries);
    if (!courses.problem.isEmpty())
        settingsMessages_->report(courses.problem);
    loadCreationSettings();
    for (int i = HkStart; i <= HkLap3; ++i)
        registerHotkey(i);
    QLineEdit* const edits[] = {Edit1, Edit2, Edit3};
    for (int k = 0; k < 3; ++k)
        if (edits[k]->text().isEmpty())
            edits[k]->setText(QString::number(k + 1));
    Label1->setText("00:00:00:000 ");
    for (QLabel* figure : {Label2, Label3, Label9, Label14})
        figure->setText("00:00:00:000");
    Name1 = Edit1->text();
    Name2 = Edit2->text();
    Name3 = Edit3->text();
    ResultsPending = true;
    fillMixGridIntro(*StrSortGrid1);
    Label26->setText("0");
    StopWatch1.setDisplayLabel(Label1);
    Timer1->start();
    if (startupJingle_) {
        for (const char* clip : {"laptime.wav", "pi.wav", "po.wav", "pa.wav"})
            signals_->enqueue(clip); // the jingle plays whatever "Voice" says
    }
}

void TKelvoS::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormFirstShow();
    }
}

// Only the start key is live until the first run begins.
void TKelvoS::FormFirstShow() {
    restoreShownSettings();
    for (int i : {HkStop, HkRestart, HkReset, HkLap1, HkLap2, HkLap3})
        unregisterHotkey(i);
    if (milePerHour_) {
        StringGridEx1->setRowCommaText(0, mainGridStartupMileHeaderLine());
        StrSortGrid1->setRowCommaText(0, mixGridHeaderLine(HeaderUnit::Mile));
        applyUnitTexts();
        Label7->setText("M/h");
    }
    DoCSFocus();
}

// ---- Run control ---------------------------------------------------------------------------

void TKelvoS::StartClick() {
    StopWatch1.Start();
    StopWatch1.UpdateDisplay();
    if (ResultsPending)
        ResetClick(); // with results pending the reset neither zeroes the watch nor sounds
    Label2->setText(" 00:00:00:000");
    Running = true;
    for (QLabel* figure : {Label3, Label1, Label9, Label14})
        figure->setText(" 00:00:00:000");
    for (QLabel* figure : {Label7, Label11, Label12, Label13})
        figure->setText("0");
    laps_.start();
    enableNamed({"CuteButton28"}, false); // nothing to unzoom on a new chart
    enterRunningState();
}

void TKelvoS::StopClick() {
    StopWatch1.Stop();
    Running = false;
    enable({CuteButton2, CuteButton1, start}, true);
    enableNamed(kFileCommands, true);
    enableNamed({"CuteButton24", "CuteButton29", "CuteButton22"}, true);
    enable({LAP, LAP2, LAP3, Lapread, Clipread, Real, stop}, false);
    registerHotkey(HkStart);
    announcementBusy_ = false; // a read-out still running must not block the next run's
    trimGridsAfterStop();
    for (int i : {HkLap1, HkLap2, HkLap3})
        unregisterHotkey(i);
    registerHotkey(HkRestart);
    registerHotkey(HkReset);
    unregisterHotkey(HkStop);
    ResultsPending = true;
    writeAutomaticMixFile();
    playSignal("pipi.wav");
    DoCSFocus();
}

void TKelvoS::CuteButton1Click() {
    StopWatch1.Resume();
    Running = true;
    enableNamed({"CuteButton28", "CuteButton24", "CuteButton25", "CuteButton29", "CuteButton22"},
                false);
    resetGridRowCounts();
    enterRunningState();
}

// What start and restart have in common: the buttons and hotkeys of a running watch, the
// keyboard on LAP 1, and the signal.
void TKelvoS::enterRunningState() {
    enable({start, CuteButton1, CuteButton2}, false);
    enableNamed(kFileCommands, false);
    enableNamed({"CuteButton4"}, false); // Paste waits for the next copy
    enable({LAP, LAP2, LAP3, Lapread, Clipread, Real, stop}, true);
    for (int i : {HkStart, HkRestart, HkReset})
        unregisterHotkey(i);
    for (int i : {HkLap1, HkLap2, HkLap3})
        registerHotkey(i);
    if (CheckBox5->isChecked())
        unregisterHotkey(HkStop); // "stopkeyoff": only the button stops the watch
    else
        registerHotkey(HkStop);
    LAP->setFocus();
    playSignal("goo.wav");
}

void TKelvoS::ResetClick() {
    if (!ResultsPending) {
        StopWatch1.Start();
        StopWatch1.Stop();
    }
    setLabelColor(Label13, PositiveColor);
    for (QLabel* figure : {Label2, Label9, Label14})
        figure->setText("00:00:00:000");
    for (QLabel* figure : {Label7, Label11, Label12, Label13, Label16, Label23, Label24})
        figure->setText("0");
    Running = false;
    laps_.reset();
    announcementBusy_ = false;
    clearGridsForReset();
    Label26->setText("0");
    enableChartRebuilds(false);
    enable({CuteButton1}, false);
    enable({start}, true);
    unregisterHotkey(HkRestart);
    registerHotkey(HkStart);
    for (int i : {HkStop, HkLap1, HkLap2, HkLap3})
        unregisterHotkey(i);
    Label3->setText(Label1->text());
    start->setFocus();
    if (!ResultsPending)
        playSignals({"pi.wav", "po.wav"});
    ResultsPending = false;
    DoCSFocus();
}

void TKelvoS::Timer1Timer() {
    StopWatch1.UpdateDisplay();
    const qint32 total = StopWatch1.GetElapsed();
    const std::optional<QString> runningLap = laps_.refreshRunningLap(total, Running);
    Label3->setText(runningLap ? *runningLap : Label1->text());
    setWindowTitle(windowTitleText());
}

QString TKelvoS::windowTitleText() const {
    const QDateTime now = services_.now();
    const QLocale locale = QLocale::system();
    if (CheckBox8->isChecked())
        return "DATE=" + locale.toString(now.date(), QLocale::ShortFormat) + " " +
               formatWallClock(now.time(), locale) + " ; LAP" + Label11->text() + "=" +
               Label2->text() + " ; TOTAL=" + Label1->text();
    return Label1->text() + " :: " + formatWallClock(now.time(), locale) + " :: " + " " +
           locale.dayName(now.date().dayOfWeek(), QLocale::ShortFormat) + " " +
           " ::  " + Label23->text() + " : " + Label24->text() + kCredit;
}

void TKelvoS::DoCSFocus() {
    TCuteButton* target = Running ? LAP : start;
    if (target->isEnabled())
        target->setFocus();
}

// ---- Hotkeys -------------------------------------------------------------------------------

void TKelvoS::HookHotKey1HotKey(QObject*, int index) {
    switch (index) {
    case HkStart:
        return StartClick();
    case HkStop:
        return StopClick();
    case HkRestart:
        return CuteButton1Click();
    case HkReset:
        return ResetClick();
    case HkLap1:
        return LapClick();
    case HkLap2:
        return LAP2Click();
    case HkLap3:
        return LAP3Click();
    default:
        return;
    }
}

// "OK" (CuteButton5..11) registers the combination in the editor of its row, "Del"
// (CuteButton12..18) removes it; CuteButton30 and CuteButton31 do so for all seven.
void TKelvoS::connectHotkeyButtons() {
    const auto button = [this](int number) {
        return findChild<QPushButton*>(QString("CuteButton%1").arg(number));
    };
    for (int i = HkStart; i <= HkLap3; ++i) {
        connect(button(4 + i), &QPushButton::clicked, this, [this, i] {
            confirmHotkey(i);
            DoCSFocus();
        });
        connect(button(11 + i), &QPushButton::clicked, this, [this, i] {
            unregisterHotkey(i);
            DoCSFocus();
        });
    }
    connect(button(30), &QPushButton::clicked, this, [this] {
        for (int i = HkStart; i <= HkLap3; ++i)
            confirmHotkey(i);
        DoCSFocus();
    });
    connect(button(31), &QPushButton::clicked, this, [this] {
        for (int i = HkStart; i <= HkLap3; ++i)
            unregisterHotkey(i);
        DoCSFocus();
    });
}

// An operator who asks for a combination is told when the desktop refuses it.
void TKelvoS::confirmHotkey(int index) {
    if (registerHotkey(index))
        return;
    const QString combination = hotkeyEditors_[index]->text();
    reportProblem(
        hotkeyEditors_[index]->shortcut() == 0
            ? QString("No key is set for the %1 hotkey.").arg(hotkeyLabels_[index]->text())
            : QString("The %1 hotkey %2 cannot be used: another program holds it. "
                      "Choose another combination and press OK.")
                  .arg(hotkeyLabels_[index]->text(), combination));
}

bool TKelvoS::registerHotkey(int index) {
    hotkeyLive_[index] = HookHotKey1->AddHotKey(index, hotkeyEditors_[index]->shortcut());
    paintHotkeyLabel(index);
    return hotkeyLive_[index];
}

void TKelvoS::unregisterHotkey(int index) {
    HookHotKey1->RemoveHotKey(index);
    hotkeyLive_[index] = false;
    paintHotkeyLabel(index);
}

bool TKelvoS::isHotkeyRegistered(int index) const {
    return index >= HkStart && index <= HkLap3 && hotkeyLive_[index];
}

// The state label shows whether the key really works: a combination the desktop refused (held
// by another program) stays in the inactive colour.
void TKelvoS::paintHotkeyLabel(int index) {
    QLabel* label = hotkeyLabels_[index];
    const int active = index >= HkLap1 ? kLapHotkeyActive : kHotkeyActive;
    setLabelColor(label, hotkeyLive_[index] ? active : kHotkeyInactive);
}

// ---- Sound ---------------------------------------------------------------------------------

bool TKelvoS::voiceOn() const {
    return CheckBox6->isChecked();
}

void TKelvoS::playSignal(const QString& clip) {
    playSignals({clip});
}

// With "Voice" on the clips sound one after another; otherwise one beep stands for them all.
void TKelvoS::playSignals(const QStringList& clips) {
    if (!voiceOn()) {
        signals_->enqueueBeep();
        return;
    }
    for (const QString& clip : clips)
        signals_->enqueue(clip);
}

void TKelvoS::waitForSignals() {
    signals_->waitUntilIdle();
}

// ---- Helpers -------------------------------------------------------------------------------

void TKelvoS::setLabelColor(QLabel* label, int colorValue) {
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, fromStoredColor(quint32(colorValue)));
    label->setPalette(look);
}

void TKelvoS::reportProblem(const QString& message) {
    auto* box = new QMessageBox(QMessageBox::Warning, "KelvoS", message, QMessageBox::Ok, this);
    box->setObjectName("problemMessage");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false); // the watch and the hotkeys keep working while it is shown
    box->show();
}

// "UPdate", "Animate", "Push" and "Clear" rebuild the chart from the Main grid's rows.
void TKelvoS::enableChartRebuilds(bool enabled) {
    enableNamed({"CuteButton22", "CuteButton24", "CuteButton25", "CuteButton29"}, enabled);
}

void TKelvoS::enableNamed(std::initializer_list<const char*> names, bool enabled) {
    for (const char* name : names)
        findChild<QWidget*>(QString::fromLatin1(name))->setEnabled(enabled);
}

void TKelvoS::enable(std::initializer_list<QWidget*> controls, bool enabled) {
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

// ---- Laps ----------------------------------------------------------------------------------

LapPress TKelvoS::pressFor(qint32 elapsed, const QString& name) const {
    LapPress press;
    press.elapsed = elapsed;
    press.running = Running;
    press.courseLengthText = CourseLengthText;
    press.courseEntrySelected = selectedCourse_ >= 0;
    press.name = name;
    press.wallClock = [this] { return wallClockText(); };
    return press;
}

QString TKelvoS::wallClockText() const {
    return formatWallClock(services_.now().time());
}

void TKelvoS::LapClick() {
    const qint32 total = StopWatch1.GetElapsed(); // the press is timed before anything else
    const SpeedUnit unit = milePerHour_ ? SpeedUnit::MilesPerHour : SpeedUnit::KilometresPerHour;
    const Lap1Result result = laps_.recordLap1(pressFor(total, Name1), unit);
    showLap1(result);
    LAP->setFocus();
    if (!voiceOn())
        signals_->enqueueBeep();
}

void TKelvoS::showLap1(const Lap1Result& result) {
    if (result.fastestChanged) {
        Label9->setText(result.lapText);
        Label12->setText(QString::number(result.lapCount));
    }
    Label7->setText(result.lapSpeedText);
    Label16->setText(result.averageSpeedText);
    Label2->setText(result.lapText);
    setLabelColor(Label13, result.diffNegative ? NegativeColor : PositiveColor);
    Label13->setText(result.diffText);
    Label11->setText(QString::number(result.lapCount));
    Label14->setText(result.averageText);
    writeMainRow(result.mainRow);
    writeMixRow(result.mixRow);
    followNewestRow(StringGridEx1, result.mainRow.row);
    followNewestRow(StrSortGrid1, result.mixRow.row);
    Label26->setText(QString::number(result.lapCount));
    showGap(Label23, result.gap2);
    showGap(Label24, result.gap3);
}

void TKelvoS::LAP2Click() {
    const OtherLapResult result = laps_.recordLap2(pressFor(StopWatch1.GetElapsed(), Name2));
    writeMixRow(result.mixRow);
    followNewestRow(StrSortGrid1, result.mixRow.row);
    showGap(Label23, result.gap);
    signals_->enqueueBeep();
}

void TKelvoS::LAP3Click() {
    const OtherLapResult result = laps_.recordLap3(pressFor(StopWatch1.GetElapsed(), Name3));
    writeMixRow(result.mixRow);
    followNewestRow(StrSortGrid1, result.mixRow.row);
    showGap(Label24, result.gap);
    signals_->enqueueBeep();
}

void TKelvoS::showGap(QLabel* label, const GapUpdate& gap) {
    if (!gap.changed)
        return;
    setLabelColor(label, gap.negative ? NegativeColor : PositiveColor);
    label->setText(gap.text);
}

// ---- Grids ---------------------------------------------------------------------------------

HeaderUnit TKelvoS::headerUnit() const {
    return milePerHour_ ? HeaderUnit::Mile : HeaderUnit::Kilometre;
}

// A lap row: grow the grid when it is full, write the ten cells, make the row current.
static void writeLapRow(TextGrid* grid, const GridRowUpdate& row) {
    if (row.growTo)
        grid->setRowCount(*row.growTo);
    for (int col = 0; col < row.fields.size(); ++col)
        grid->setCells(col, row.row, row.fields.at(col));
    grid->setCurrentCell(0, row.row);
}

void TKelvoS::writeMainRow(const GridRowUpdate& row) {
    writeLapRow(StringGridEx1, row);
}

void TKelvoS::writeMixRow(const GridRowUpdate& row) {
    writeLapRow(StrSortGrid1, row);
}

// Keeps row n in view as the last fully visible row.
void TKelvoS::followNewestRow(TextGrid* grid, int row) {
    if (const std::optional<int> top = followNewestTopRow(row, grid->visibleDataRowCount()))
        grid->setTopRow(*top);
}

void TKelvoS::writeHeaderLines() {
    StringGridEx1->setRowCommaText(0, mainGridHeaderLine(headerUnit()));
    StrSortGrid1->setRowCommaText(0, mixGridHeaderLine(headerUnit()));
}

void TKelvoS::clearGridsForReset() {
    resetMainGrid(*StringGridEx1, headerUnit());
    resetMixGrid(*StrSortGrid1, headerUnit());
}

// At a stop the grids show exactly the recorded laps.
void TKelvoS::trimGridsAfterStop() {
    const LapState& state = laps_.state();
    StringGridEx1->setRowCount(state.Lap1.LapCount > 0 ? state.Lap1.LapCount + 1 : 12);
    StrSortGrid1->setRowCount(state.MixRows > 0 ? state.MixRows + 1 : 30);
}

// "Sort" and "undo" reorder the Main grid by lap time and back into recording order, "Num"
// groups the Mix grid by competitor; "Show MixGrid" brings the Mix grid back into view and
// "DD" lets it float in a window of its own until the box is cleared again.
void TKelvoS::connectGridCommands() {
    const auto button = [this](const char* name) { return findChild<QPushButton*>(name); };
    connect(button("CuteButton32"), &QPushButton::clicked, this, [this] {
        StringGridEx1->sortByColumnText(3);
        DoCSFocus();
    });
    connect(button("CuteButton33"), &QPushButton::clicked, this, [this] {
        StringGridEx1->sortByColumnText(2);
        DoCSFocus();
    });
    connect(button("CuteButton34"), &QPushButton::clicked, this, [this] {
        StrSortGrid1->numberSort(1);
        DoCSFocus();
    });
    connect(button("CuteButton42"), &QPushButton::clicked, this, [this] {
        StrSortGrid1->show();
        StrSortGrid1->raise();
        DoCSFocus();
    });
    connect(findChild<QCheckBox*>("CheckBox3"), &QCheckBox::toggled, this,
            [this](bool floating) { dockMixGrid(!floating); });
}

void TKelvoS::dockMixGrid(bool docked) {
    auto* panel = findChild<QWidget*>("Panel1");
    if (docked) {
        StrSortGrid1->setParent(panel);
        StrSortGrid1->setGeometry(panel->rect());
    } else {
        const QPoint where = StrSortGrid1->mapToGlobal(QPoint(0, 0));
        StrSortGrid1->setParent(this, Qt::Tool);
        StrSortGrid1->setWindowTitle("MixGrid");
        StrSortGrid1->move(where);
    }
    StrSortGrid1->show();
    DoCSFocus();
}

void TKelvoS::resetGridRowCounts() {
    StringGridEx1->setRowCount(12);
    StrSortGrid1->setRowCount(30);
}
