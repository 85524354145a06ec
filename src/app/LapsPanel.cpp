#include "LapsPanel.h"

#include "LabelLook.h"
#include "MainWindowLayout.h"
#include "TCuteButton.h"

#include <QLabel>
#include <QLineEdit>

using namespace kelvos;

LapsPanel::LapsPanel(QWidget* form) : QObject(form) {
    const PanelControls controls(form, PanelId::Laps);
    LAP = controls.take<TCuteButton>("LAP");
    LAP2 = controls.take<TCuteButton>("LAP2");
    LAP3 = controls.take<TCuteButton>("LAP3");
    CuteButton38 = controls.take<TCuteButton>("CuteButton38");
    Edit1 = controls.take<QLineEdit>("Edit1");
    Edit2 = controls.take<QLineEdit>("Edit2");
    Edit3 = controls.take<QLineEdit>("Edit3");
    Label23 = controls.take<QLabel>("Label23");
    Label24 = controls.take<QLabel>("Label24");

    const TCuteButton* lapButtons[] = {LAP, LAP2, LAP3};
    QLineEdit* const edits[] = {Edit1, Edit2, Edit3};
    for (int competitor = 1; competitor <= 3; ++competitor) {
        connect(lapButtons[competitor - 1], &QPushButton::clicked, this,
                [this, competitor] { emit lapPressed(competitor); });
        QLineEdit* edit = edits[competitor - 1];
        connect(edit, &QLineEdit::textChanged, this, [this, edit, competitor](const QString& text) {
            // A pasted or stored text may hold line breaks; the box is given the one-line form,
            // whose own change then names the competitor.
            if (const QString line = oneLineName(text); line != text)
                return edit->setText(line);
            emit nameChanged(competitor, text);
        });
    }
    connect(CuteButton38, &QPushButton::clicked, this, [this] {
        setNames({"1", "2", "3"});
        emit namesUndone();
    });
}

CompetitorNames LapsPanel::names() const {
    return {Edit1->text(), Edit2->text(), Edit3->text()};
}

void LapsPanel::setNames(const CompetitorNames& names) {
    Edit1->setText(names.name1);
    Edit3->setText(names.name3);
    Edit2->setText(names.name2);
}

void LapsPanel::fillEmptyNames() {
    QLineEdit* const edits[] = {Edit1, Edit2, Edit3};
    for (int k = 0; k < 3; ++k)
        if (edits[k]->text().isEmpty())
            edits[k]->setText(QString::number(k + 1));
}

void LapsPanel::applyRunState(const RunStateEffects& effects) {
    applySwitch(LAP, effects.command(Command::Lap1));
    applySwitch(LAP2, effects.command(Command::Lap2));
    applySwitch(LAP3, effects.command(Command::Lap3));
}

void LapsPanel::take(const RunEvent& event) {
    if (event.kind == RunEventKind::Reset)
        return showReset();
    if (event.kind != RunEventKind::Lap)
        return;
    for (int other = 2; other <= 3; ++other)
        showGap(other, event.lap.gaps[std::size_t(other - 2)]);
}

void LapsPanel::showGap(int competitor, const GapUpdate& gap) {
    if (!gap.changed)
        return;
    QLabel* label = gapLabel(competitor);
    setLabelColor(label, gap.negative ? NegativeColor : PositiveColor);
    label->setText(gap.text);
}

void LapsPanel::showReset() {
    Label23->setText("0");
    Label24->setText("0");
}

void LapsPanel::showLapAccelerators(bool on) {
    LAP->setText(on ? "LAP(&1)" : "LAP1");
    LAP2->setText(on ? "LAP(&2)" : "LAP2");
    LAP3->setText(on ? "LAP(&3)" : "LAP3");
}
