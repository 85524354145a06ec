#include "RunPanel.h"

#include "LabelLook.h"
#include "MainWindowLayout.h"
#include "TCuteButton.h"
#include "TimeText.h"

#include <QLabel>
#include <QMouseEvent>

using namespace kelvos;

RunPanel::RunPanel(QWidget* form) : QObject(form) {
    const PanelControls controls(form, PanelId::Run);
    start = controls.take<TCuteButton>("start");
    stop = controls.take<TCuteButton>("stop");
    CuteButton1 = controls.take<TCuteButton>("CuteButton1");
    CuteButton2 = controls.take<TCuteButton>("CuteButton2");
    Label1 = controls.take<QLabel>("Label1");
    Label2 = controls.take<QLabel>("Label2");
    Label3 = controls.take<QLabel>("Label3");
    Label7 = controls.take<QLabel>("Label7");
    Label9 = controls.take<QLabel>("Label9");
    Label11 = controls.take<QLabel>("Label11");
    Label12 = controls.take<QLabel>("Label12");
    Label13 = controls.take<QLabel>("Label13");
    Label14 = controls.take<QLabel>("Label14");
    Label16 = controls.take<QLabel>("Label16");
    applyLook();
    connect(start, &QPushButton::clicked, this, &RunPanel::startClicked);
    connect(stop, &QPushButton::clicked, this, &RunPanel::stopClicked);
    connect(CuteButton1, &QPushButton::clicked, this, &RunPanel::restartClicked);
    connect(CuteButton2, &QPushButton::clicked, this, &RunPanel::resetClicked);
    Label2->installEventFilter(this);
}

void RunPanel::applyLook() {
    QFont large = Label1->font();
    large.setPixelSize(34);
    large.setBold(true);
    Label1->setFont(large);
    large.setPixelSize(26);
    Label2->setFont(large);
    Label3->setFont(large);
    // The running figures repaint 50 times a second: filling their own background spares the
    // window painting its own beneath them each time.
    for (QLabel* running : {Label1, Label3})
        running->setAutoFillBackground(true);
    QFont medium = Label1->font();
    medium.setPixelSize(18);
    medium.setBold(true);
    for (QLabel* figure : {Label7, Label9, Label11, Label12, Label13, Label14, Label16})
        figure->setFont(medium);
}

// Like a button, the label counts a click only when the button is let go over it.
bool RunPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Label2)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            lapTimePressed_ = true;
        return true;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && std::exchange(lapTimePressed_, false) &&
            Label2->rect().contains(mouse->position().toPoint()))
            emit lapTimeClicked();
        return true;
    }
    default:
        return false;
    }
}

void RunPanel::applyRunState(const RunStateEffects& effects) {
    applySwitch(start, effects.command(Command::Start));
    applySwitch(stop, effects.command(Command::Stop));
    applySwitch(CuteButton1, effects.command(Command::Restart));
    applySwitch(CuteButton2, effects.command(Command::Reset));
}

void RunPanel::showCreated() {
    Label1->setText("00:00:00:000 ");
    for (QLabel* figure : {Label2, Label3, Label9, Label14})
        figure->setText("00:00:00:000");
}

void RunPanel::take(const RunEvent& event) {
    switch (event.kind) {
    case RunEventKind::Started:
        return showRunStarted();
    case RunEventKind::Stopped:
        return showStopped(event.total);
    case RunEventKind::Reset:
        return showReset(event.total, event.details.unit);
    case RunEventKind::Lap:
        if (event.lap.competitor == 1)
            showLap1(event.lap);
        return;
    default:
        return;
    }
}

void RunPanel::showRunStarted() {
    for (QLabel* figure : {Label2, Label3, Label1, Label9, Label14})
        figure->setText(" 00:00:00:000");
    for (QLabel* figure : {Label7, Label11, Label12, Label13})
        figure->setText("0");
}

// The exact total the watch stopped at, not the last refresh before it.
void RunPanel::showStopped(qint32 total) {
    Label1->setText(formatFullTime(total));
}

void RunPanel::showReset(qint32 total, SpeedUnit unit) {
    setLabelColor(Label13, PositiveColor);
    for (QLabel* figure : {Label2, Label9, Label14})
        figure->setText("00:00:00:000");
    for (QLabel* figure : {Label7, Label11, Label12, Label13, Label16})
        figure->setText("0");
    Label3->setText(formatFullTime(total));
    showUnit(unit);
}

void RunPanel::showLap1(const LapFacts& lap) {
    const QString lapText = lap.text(LapColumn::LapTime);
    if (lap.fastest) {
        Label9->setText(lapText);
        Label12->setText(lap.text(LapColumn::Lap));
    }
    Label7->setText(lap.lapSpeed);
    Label16->setText(lap.averageSpeed);
    Label2->setText(lapText);
    setLabelColor(Label13, lap.difference < 0 ? NegativeColor : PositiveColor);
    Label13->setText(lap.text(LapColumn::Difference));
    Label11->setText(lap.text(LapColumn::Lap));
    Label14->setText(formatFullTime(lap.average));
}

void RunPanel::showRefresh(const RunFigures& figures) {
    Label1->setText(figures.totalText);
    Label3->setText(figures.runningLapText.value_or(figures.totalText));
}

void RunPanel::showUnit(SpeedUnit unit) {
    const bool miles = unit == SpeedUnit::MilesPerHour;
    Label7->setToolTip(miles ? "Lap M/h" : "Lap Km/h");
    Label16->setToolTip(miles ? "Average M/h" : "Average Km/h");
}

void RunPanel::showUnitName(SpeedUnit unit) {
    if (unit == SpeedUnit::MilesPerHour)
        Label7->setText("M/h");
}
