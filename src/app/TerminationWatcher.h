#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a desktop logging out, a service manager, Ctrl+C in a
// terminal, a terminal closing) into a signal on the UI thread, so the program closes its
// window the ordinary way: the watch is stopped, the results are written and the settings
// saved, instead of the process vanishing.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};
