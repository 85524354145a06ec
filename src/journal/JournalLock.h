#pragma once

#include <QString>

namespace kelvos {

// Keeps a folder's run journal for this process alone: two watches in one folder would empty
// and mix each other's runs. The lock is an flock(2) on a file of its own beside the journal,
// `<journal>.lock`, so it holds whatever becomes of the journal (emptied at every start,
// replaced, removed or damaged), can be taken before the journal is read, and goes when the
// process ends, however it ends. The lock file stays: removed, it would let a process that had
// just opened it lock a file that the next process no longer finds.
class JournalLock {
public:
    enum class Outcome {
        Held,          // this process keeps the journal
        HeldElsewhere, // another process keeps it
        Unavailable,   // no lock can be had here (errorString() says why)
    };

    JournalLock() = default;
    ~JournalLock();
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    Outcome take(const QString& journalPath);
    QString errorString() const { return error_; }

private:
    int fd_ = -1;
    QString error_;
};

} // namespace kelvos
