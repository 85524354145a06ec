#include "AnnouncementsPanel.h"

#include "MainWindowLayout.h"
#include "TCuteButton.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

using namespace kelvos;

namespace {
constexpr int kHoldTickMs = 1000;
constexpr int kHoldTicks = 10;
constexpr int kRepeatedHoldTicks = 20; // with the clipboard's "Re", which puts the lap twice

Sleeper& sleeperOr(Sleeper* given, std::unique_ptr<Sleeper>& own) {
    if (given)
        return *given;
    own = std::make_unique<ThreadSleeper>();
    return *own;
}
} // namespace

AnnouncementsPanel::AnnouncementsPanel(QWidget* form, ClipPlayer& player, RunController& run,
                                       std::function<DisplayFigures()> figures, Sleeper* sleeper)
    : QObject(form), run_(run), figures_(std::move(figures)),
      announcer_(
          player, *this, [&run] { return run.stopWatch().GetElapsed(); },
          sleeperOr(sleeper, ownSleeper_)) {
    const PanelControls controls(form, PanelId::Announcements);
    Lapread = controls.take<TCuteButton>("Lapread");
    Clipread = controls.take<TCuteButton>("Clipread");
    Real = controls.take<TCuteButton>("Real");
    connect(Lapread, &QPushButton::clicked, this, &AnnouncementsPanel::LapreadClick);
    connect(Clipread, &QPushButton::clicked, this, &AnnouncementsPanel::ClipreadClick);
    connect(Real, &QPushButton::clicked, this, &AnnouncementsPanel::RealClick);
    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(kHoldTickMs);
    connect(Timer3, &QTimer::timeout, this, &AnnouncementsPanel::Timer3Timer);
}

// No read-out outlives the window: each is told to stop and is joined first.
AnnouncementsPanel::~AnnouncementsPanel() {
    announcer_.stopAll();
}

void AnnouncementsPanel::applyRunState(const RunStateEffects& effects) {
    applySwitch(Lapread, effects.command(Command::LapRead));
    applySwitch(Clipread, effects.command(Command::ClipRead));
    applySwitch(Real, effects.command(Command::RealRead));
}

void AnnouncementsPanel::setBoxes(const AnnouncementBoxes& boxes) {
    boxes_ = boxes;
    AnnouncementInputs& inputs = announcer_.inputs();
    inputs.voice = boxes.voice;
    inputs.voiceRepeat = boxes.voiceRepeat;
    inputs.clipEnglish = boxes.clipEnglish;
    inputs.clipJapanese = boxes.clipJapanese;
    inputs.clipRepeat = boxes.clipRepeat;
}

void AnnouncementsPanel::showReadAccelerators(bool on) {
    Lapread->setText(on ? "LAP READ(&L)" : "LAP READ");
    Clipread->setText(on ? "ClipBoard Read(&P)" : "ClipBoard Read");
    Real->setText(on ? "Real(&R)" : "Real");
}

void AnnouncementsPanel::prepareDisplay() {
    if (boxes_.display)
        TForm4::ensureExists();
}

bool AnnouncementsPanel::announceLap1(const LapState& laps) {
    AnnouncementInputs& inputs = announcer_.inputs();
    inputs.lapCount = laps.Lap1.LapCount;
    inputs.lapTime = laps.Lap1.LapTime;
    inputs.lapTotal = laps.LapTotal1;
    const bool clipboard = boxes_.clipEnglish || boxes_.clipJapanese;
    if (!boxes_.voice && !clipboard && boxes_.display) {
        TForm4::fill(figures_());
        startDisplayHold();
    }
    bool voiceWaits = false;
    if (boxes_.voice) {
        voiceWaits = announcer_.announceNewLap() == LapAnnouncement::Queued;
        emit commandDone();
    }
    if (clipboard)
        ClipreadClick();
    return voiceWaits;
}

void AnnouncementsPanel::LapreadClick() {
    announcer_.readLap();
    emit commandDone();
}

void AnnouncementsPanel::ClipreadClick() {
    announcer_.readClipboard();
    emit commandDone();
}

void AnnouncementsPanel::RealClick() {
    announcer_.readRunningTotal();
    emit commandDone();
}

void AnnouncementsPanel::DCheck1Click(bool on) {
    if (on)
        TForm4::ensureExists()->hide();
}

// The hold ends a fixed number of ticks after it first started: starting it again while it
// runs does not make it longer.
void AnnouncementsPanel::Timer3Timer() {
    ++holdTicks_;
    if (holdTicks_ < (boxes_.clipRepeat ? kRepeatedHoldTicks : kHoldTicks))
        return;
    TForm4::closeIfVisible();
    holdTicks_ = 0;
    Timer3->stop();
}

// ---- What the read-outs do, on the UI thread -------------------------------------------

bool AnnouncementsPanel::claimBusy() {
    return run_.claimAnnouncement();
}

void AnnouncementsPanel::fillDisplay() {
    if (boxes_.display)
        TForm4::fill(figures_());
}

void AnnouncementsPanel::putOnClipboard(const QString& text) {
    QMetaObject::invokeMethod(
        this, [text] { QGuiApplication::clipboard()->setText(text); }, Qt::QueuedConnection);
}

void AnnouncementsPanel::startDisplayHold() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!Timer3->isActive())
                Timer3->start();
        },
        Qt::QueuedConnection);
}

void AnnouncementsPanel::closeDisplay() {
    QMetaObject::invokeMethod(
        this, [] { TForm4::closeIfVisible(); }, Qt::QueuedConnection);
}

void AnnouncementsPanel::releaseBusy() {
    run_.releaseAnnouncement();
}
