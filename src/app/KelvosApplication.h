#pragma once

#include "PressTiming.h"

#include <QApplication>

// The application object of KelvoS: every key and mouse button event is handled inside a
// press scope at the time the event itself carries, so a command is timed when the operator
// pressed, even when the window was busy and the event waited.
class KelvosApplication : public QApplication {
    Q_OBJECT
public:
    KelvosApplication(int& argc, char** argv, kelvos::PressTiming& timing)
        : QApplication(argc, argv), timing_(timing) {}

    bool notify(QObject* receiver, QEvent* event) override;

private:
    kelvos::PressTiming& timing_;
};
