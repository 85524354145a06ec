#pragma once

#include "JournalEntry.h"

#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace kelvos {

// The journal of the current run: every command and press is appended as one line before its
// effects are shown, so that a killed process, a lost display or a crash loses nothing.
//
// Each append is a single write(2) of one whole line to a descriptor opened with O_APPEND: once
// append() returns, the line is in the kernel and survives the death of the process. Getting
// it onto the disk is left to a worker thread, which calls fdatasync at most once a second
// while lines keep coming, so the calling (UI) thread never waits for the disk.
//
// A Start entry begins a new run: the journal is emptied first, so it holds one run only.
// A journal of an older version is taken on and brought to today's version.
// Use from one thread (the UI thread); only the sync runs on the worker.
class RunJournal {
public:
    // Called on the worker thread when fdatasync fails, with the text to show.
    using SyncErrorHandler = std::function<void(const QString& message)>;

    RunJournal() = default;
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // Opens (or creates) the journal at `path` for appending, keeping what it holds so that an
    // unfinished run can go on. Returns an error text, empty on success. Refuses anything
    // but a regular file, and a file that is not a journal.
    QString open(const QString& path);
    // Appends the entry; a Start empties the journal first. Returns an error text (disk full,
    // journal not open), empty on success.
    QString append(const JournalEntry& entry);
    // Syncs what was appended, stops the worker and closes the file.
    void close();

    bool isOpen() const { return fd_ >= 0; }
    void setSyncErrorHandler(SyncErrorHandler handler);

private:
    QString writeWhole(const QByteArray& bytes);
    QString updateHeader();
    QString errorText(const char* action, int error) const;
    void syncLoop(std::stop_token stop);

    QString path_;
    int fd_ = -1;
    // A write that failed part-way left a line without its end: the next line starts a new one.
    bool lineOpen_ = false;
    // An older version's header, brought up to date at the first line added to it.
    bool headerCurrent_ = true;

    std::mutex mutex_;
    std::condition_variable_any appended_;
    bool unsynced_ = false;        // guarded by mutex_
    SyncErrorHandler onSyncError_; // guarded by mutex_
    std::jthread syncer_;
};

} // namespace kelvos
