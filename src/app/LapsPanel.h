#pragma once

#include "ClipboardExchange.h"
#include "LapBook.h"
#include "RunEvent.h"
#include "RunStates.h"

#include <QObject>

class QLabel;
class QLineEdit;
class TCuteButton;

// The three competitors: their lap buttons, names and the gaps of competitors 2 and 3 to
// competitor 1.
class LapsPanel : public QObject {
    Q_OBJECT
public:
    explicit LapsPanel(QWidget* form);

    TCuteButton* lap1Button() const { return LAP; }
    kelvos::CompetitorNames names() const;
    // Fills the name boxes in the order 1, 3, 2, each passing its text on as a name.
    void setNames(const kelvos::CompetitorNames& names);
    void fillEmptyNames();

    void applyRunState(const kelvos::RunStateEffects& effects);
    // The extra lap of "Plus1Lap" needs the lap button while stopped.
    void take(const kelvos::RunEvent& event);
    // "key": the lap buttons with or without their Alt+1..3 accelerators.
    void showLapAccelerators(bool on);

signals:
    void lapPressed(int competitor);
    void nameChanged(int competitor, const QString& name);
    void namesUndone();

private:
    void showGap(int competitor, const kelvos::GapUpdate& gap);
    void showReset();
    QLabel* gapLabel(int competitor) const { return competitor == 2 ? Label23 : Label24; }

    TCuteButton *LAP, *LAP2, *LAP3, *CuteButton38;
    QLineEdit *Edit1, *Edit2, *Edit3;
    QLabel *Label23, *Label24;
};
