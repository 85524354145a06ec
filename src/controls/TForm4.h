#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class TCuteButton;
class TNValLabel;

// The figures of competitor 1's latest lap, as the lap recording has them.
struct DisplayFigures {
    qint32 lapCount = 0;
    QString totalText;   // the total at the lap, full form
    QString lapTimeText; // the lap, full form
    qint32 lapDiff = 0;  // difference to the previous lap, ms
    qint32 lapMillis = 0;
    QString lapSpeedText;
    qint32 averageMillis = 0;
    QString averageSpeedText;
    bool milesPerHour = false;
    QColor positiveColor; // difference >= 0
    QColor negativeColor; // difference < 0
};

// The Display window: the latest lap in large figures on black, to be read from a distance.
// One window at a time, held by an application-wide reference: "OK" or a click on the
// background hides it, closing destroys it and empties the reference, and the next fill (or
// ensureExists) makes a new one.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    // The window that exists, or null.
    static TForm4* current();
    // Creates the window, hidden, if none exists.
    static TForm4* ensureExists();
    // Creates the window if none exists, shows it in front and fills it; the wall clock is the
    // present local time.
    static TForm4* fill(const DisplayFigures& figures);
    // Closes the window if it exists and is visible (the end of a read-out, the hold timer).
    static void closeIfVisible();

    TNValLabel* NValLabel1 = nullptr; // lap count
    TNValLabel* NValLabel2 = nullptr; // total
    TNValLabel* NValLabel3 = nullptr; // lap time
    QLabel* Label1 = nullptr;         // lap difference
    TNValLabel* NValLabel5 = nullptr; // wall clock
    TNValLabel* NValLabel6 = nullptr; // lap milliseconds
    QLabel* Label7 = nullptr;         // lap speed
    TNValLabel* NValLabel8 = nullptr; // average milliseconds
    QLabel* Label9 = nullptr;         // average speed
    QLabel* Label16 = nullptr;        // lap speed unit caption
    QLabel* Label18 = nullptr;        // average speed unit caption
    TCuteButton* Ok1 = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    TForm4();
    void buildCaptions();
    void buildValues();
    void show(const DisplayFigures& figures);

    static QPointer<TForm4> instance_;
};
