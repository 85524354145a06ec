#pragma once

#include "JournalEntry.h"

#include <QList>
#include <QString>
#include <optional>

namespace kelvos {

// What a journal file holds.
struct JournalContents {
    int version = journalVersion; // the format version its header names
    QList<JournalEntry> entries;
    // The numbers (from 1, the header) of the lines that could not be read: damaged or unknown
    // lines, and a last line without its end (a kill mid-write). They are left out.
    QList<int> unreadableLines;
    bool tornTail = false; // the last line had no end
    QByteArray digest;     // of the whole file, to know the same journal again
    QString error;         // why nothing could be read; empty when the file was read or is absent
};

// Largest journal read: far beyond any real run (a line is well under 200 bytes).
constexpr qint64 journalSizeLimit = 256 * 1024 * 1024;

// Reads the journal at `path`. A missing file reads as an empty journal. Only a regular file of
// at most `sizeLimit` bytes that starts with a journal header is read. Lines may end in CR LF.
JournalContents readJournal(const QString& path, qint64 sizeLimit = journalSizeLimit);

// The entries of the last run, from its Start on, when that run is not finished: the watch was
// running, or its stop's automatic file is not known to be on disk (no Saved entry after it).
// A journal holds one run, so entries without a Start are a run whose Start line was lost.
// nullopt when the run ended with its Saved entry or a Reset, or there is no entry. In a journal
// of `version` 1, which had no Saved entries, a Stop finished the run.
std::optional<QList<JournalEntry>> unfinishedRun(const QList<JournalEntry>& entries,
                                                 int version = journalVersion);

} // namespace kelvos
