#pragma once

#include "JournalEntry.h"
#include "LapBook.h"
#include "RunController.h"
#include "RunJournal.h"

#include <QList>
#include <QObject>
#include <functional>
#include <optional>

// Keeps the run's journal: every command and press is written to it before the window shows
// it, so that a killed program, a lost display or a crash loses nothing of the run.
class RunRecorder : public QObject {
    Q_OBJECT
public:
    RunRecorder(const kelvos::RunController& run, std::function<void(const QString&)> reportProblem,
                QObject* parent);

    // The journal of runs timed in `folder`.
    static QString journalPath(const QString& folder);
    // Opens the journal in the folder. Returns the run the last session left unfinished, if
    // there is one, for the window to rebuild.
    std::optional<QList<kelvos::JournalEntry>> open(const QString& folder);
    // While a run is rebuilt from the journal, its presses are not written again.
    void setReplaying(bool replaying) { replaying_ = replaying; }

    void command(kelvos::JournalEntry::Kind kind);
    void lap(int competitor, const kelvos::LapRow& row);

private:
    void append(const kelvos::JournalEntry& entry);
    void reportWriteProblem(const QString& error);

    const kelvos::RunController& run_;
    std::function<void(const QString&)> reportProblem_;
    kelvos::RunJournal journal_;
    bool replaying_ = false;
    bool problemTold_ = false;
};
