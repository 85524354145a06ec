#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kelvos {

// One command or press of a run, with everything needed to rebuild its effects without the
// window: the run commands with the stopwatch total at the press, each lap with what its grid
// rows are made of, and after a stop the automatic Mix file its laps were saved to.
struct JournalEntry {
    enum class Kind { Start, Stop, Restart, Reset, Lap, Saved };

    Kind kind = Kind::Start;
    int competitor = 1; // 1..3; the competitor of a lap
    qint32 total = 0;   // stopwatch total at the press, ms
    // A lap's row facts; empty for the run commands.
    QString name;
    QString courseLength;        // the course length text in use
    bool courseSelected = false; // whether a course entry was selected
    bool milesPerHour = false;   // speed unit: mph, otherwise km/h
    QString wallClock;           // time of day of the press, as the Realtime column shows it
    QString file;                // Saved: the file the run's laps are in

    bool operator==(const JournalEntry&) const = default;
};

// The format of the journals written now. Version 1 had no Saved entries: its Stop meant that
// the run was finished.
constexpr int journalVersion = 2;

// The first line of every journal: the format and its version.
QByteArray journalHeaderLine();
// The version a journal's first line (without its newline; a CR before it is allowed) names;
// nullopt when it is not a journal header of a known version.
std::optional<int> journalHeaderVersion(const QByteArray& line);
// Where a header's version number begins, for bringing an older journal's header up to date.
qsizetype journalHeaderVersionOffset();

// One entry as one line, newline included: tab-separated fields, text fields in UTF-8 with
// '%', tabs, line breaks, other control characters and every non-ASCII byte percent-encoded,
// and a checksum of the line last, so a damaged line is recognised.
QByteArray encodeJournalLine(const JournalEntry& entry);

// The entry of one line (without its newline); nullopt when the line is damaged or unknown.
std::optional<JournalEntry> decodeJournalLine(const QByteArray& line);

} // namespace kelvos
