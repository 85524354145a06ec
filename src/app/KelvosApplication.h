#pragma once

#include "PressTiming.h"

#include <QApplication>

class QKeyEvent;

// The application object of KelvoS: every key and mouse button event is handled inside a
// press scope at the time the event itself carries, so a command is timed when the operator
// pressed, even when the window was busy and the event waited. A release is timed at the press
// it ends, and a key held down is one press however its repeats arrive. Every other event reads
// the live clock, also in an event loop that runs inside the handling of a press.
class KelvosApplication : public QApplication {
    Q_OBJECT
public:
    KelvosApplication(int& argc, char** argv, kelvos::PressTiming& timing)
        : QApplication(argc, argv), timing_(&timing) {}

    bool notify(QObject* receiver, QEvent* event) override;
    // The clock that presses are timed on from now on (tests give a fake one).
    void setPressTiming(kelvos::PressTiming& timing) { timing_ = &timing; }

private:
    bool notifyInput(QObject* receiver, QEvent* event);
    bool deliverAsRepeat(QObject* receiver, QKeyEvent* key, quint32 reading);

    // The input event being handled: the window passes it on to a widget as an event of the same
    // kind and time stamp, which is timed already.
    struct Handling {
        int type = 0;
        quint64 stamp = 0;
        bool operator==(const Handling&) const = default;
    };

    kelvos::PressTiming* timing_;
    Handling handling_;
};
