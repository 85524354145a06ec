#pragma once

#include "JournalEntry.h"
#include "JournalReader.h"
#include "LapBook.h"
#include "RunEvent.h"
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
    RunRecorder(std::function<void(const QString&)> reportProblem, QObject* parent);

    // The journal of runs timed in `folder`.
    static QString journalPath(const QString& folder);
    // Opens the journal in the folder. Returns the run the last session left unfinished, if
    // there is one and it was not restored before, for the window to rebuild.
    std::optional<QList<kelvos::JournalEntry>> open(const QString& folder);
    // The journal's lines that could not be read, for the operator; empty when all were read.
    QString unreadableLinesText() const;
    // While a run is rebuilt from the journal, its presses are not written again.
    void setReplaying(bool replaying) { replaying_ = replaying; }

    // Records each command and press of the run.
    void take(const kelvos::RunEvent& event);
    // The stopped run's laps are in this file: the run is finished.
    void saved(const QString& file);
    // Whether the last entry could be written.
    bool lastWritten() const { return lastWritten_; }

private:
    void append(const kelvos::JournalEntry& entry);
    void reportWriteProblem(const QString& error);
    bool restoredBefore(const kelvos::JournalContents& contents);

    qint32 lastTotal_ = 0; // the watch at the latest command or press
    std::function<void(const QString&)> reportProblem_;
    kelvos::RunJournal journal_;
    QString path_;
    QList<int> unreadableLines_;
    // The digest of the journal whose run is being restored, until its Saved entry.
    QByteArray restoringDigest_;
    bool lastWritten_ = true;
    bool replaying_ = false;
    bool problemTold_ = false;
};
