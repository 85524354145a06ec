#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kelvos {

// One command or press of a run, with everything needed to rebuild its effects without the
// window: the run commands with the stopwatch total at the press, and each lap with what its
// grid rows are made of.
struct JournalEntry {
    enum class Kind { Start, Stop, Restart, Reset, Lap };

    Kind kind = Kind::Start;
    int competitor = 1; // 1..3; the competitor of a lap
    qint32 total = 0;   // stopwatch total at the press, ms
    // A lap's row facts; empty for the run commands.
    QString name;
    QString courseLength;        // the course length text in use
    bool courseSelected = false; // whether a course entry was selected
    bool milesPerHour = false;   // speed unit: mph, otherwise km/h
    QString wallClock;           // time of day of the press, as the Realtime column shows it

    bool operator==(const JournalEntry&) const = default;
};

// The first line of every journal: the format and its version.
QByteArray journalHeaderLine();

// One entry as one line, newline included: tab-separated fields, text fields in UTF-8 with
// '%', tabs, line breaks, other control characters and every non-ASCII byte percent-encoded,
// and a checksum of the line last, so a damaged line is recognised.
QByteArray encodeJournalLine(const JournalEntry& entry);

// The entry of one line (without its newline); nullopt when the line is damaged or unknown.
std::optional<JournalEntry> decodeJournalLine(const QByteArray& line);

} // namespace kelvos
