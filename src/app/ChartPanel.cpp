#include "ChartPanel.h"

#include "MainWindowLayout.h"
#include "TCuteButton.h"

#include <QLabel>
#include <QScrollBar>

using namespace kelvos;

ChartPanel::ChartPanel(QWidget* form) : QObject(form) {
    const PanelControls controls(form, PanelId::Chart);
    CuteButton22 = controls.take<TCuteButton>("CuteButton22");
    CuteButton24 = controls.take<TCuteButton>("CuteButton24");
    CuteButton25 = controls.take<TCuteButton>("CuteButton25");
    CuteButton28 = controls.take<TCuteButton>("CuteButton28");
    CuteButton29 = controls.take<TCuteButton>("CuteButton29");
    ScrollBar1 = controls.take<QScrollBar>("ScrollBar1");
    ScrollBar2 = controls.take<QScrollBar>("ScrollBar2");
    ScrollBar3 = controls.take<QScrollBar>("ScrollBar3");
    Label26 = controls.take<QLabel>("Label26");
    // The animation speed, the 3D depth and the rotation.
    ScrollBar1->setRange(0, 1000);
    ScrollBar2->setRange(1, 100);
    ScrollBar3->setRange(270, 360);
}

void ChartPanel::applyRunState(const RunStateEffects& effects) {
    applySwitch(CuteButton22, effects.command(Command::ChartUpdate));
    applySwitch(CuteButton24, effects.command(Command::ChartAnimate));
    applySwitch(CuteButton25, effects.command(Command::ChartPush));
    applySwitch(CuteButton29, effects.command(Command::ChartClear));
    applySwitch(CuteButton28, effects.command(Command::ChartZoomReset));
}

void ChartPanel::enableRebuilds(bool enabled) {
    for (TCuteButton* rebuild : {CuteButton22, CuteButton24, CuteButton25, CuteButton29})
        rebuild->setEnabled(enabled);
}

void ChartPanel::showLapCount(int laps) {
    Label26->setText(QString::number(laps));
}

void ChartPanel::restoreBarPositions() {
    ScrollBar2->setValue(23);
    ScrollBar3->setValue(350);
    ScrollBar1->setValue(500);
}
