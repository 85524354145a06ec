#pragma once

#include "JournalEntry.h"

#include <QList>
#include <QString>
#include <optional>

namespace kelvos {

// What a journal file holds.
struct JournalContents {
    QList<JournalEntry> entries;
    int skippedLines = 0;  // damaged or unknown lines, left out
    bool tornTail = false; // the last line had no end (a kill mid-write) and was left out
    QString error;         // why nothing could be read; empty when the file was read or is absent
};

// Largest journal read: far beyond any real run (a line is well under 200 bytes).
constexpr qint64 journalSizeLimit = 256 * 1024 * 1024;

// Reads the journal at `path`. A missing file reads as an empty journal. Only a regular file of
// at most `sizeLimit` bytes that starts with the journal header is read.
JournalContents readJournal(const QString& path, qint64 sizeLimit = journalSizeLimit);

// The entries of the last run, from its Start on, when that run did not end: the watch was
// running or had laps pressed after its last stop or reset. nullopt when the last run ended
// with a Stop or Reset, or there is no run.
std::optional<QList<JournalEntry>> unfinishedRun(const QList<JournalEntry>& entries);

} // namespace kelvos
