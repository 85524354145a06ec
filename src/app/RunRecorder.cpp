#include "RunRecorder.h"

#include "JournalReader.h"

#include <QDir>

using namespace kelvos;

namespace {
constexpr const char* kJournalFile = "kelvos-run.journal";
} // namespace

RunRecorder::RunRecorder(const RunController& run,
                         std::function<void(const QString&)> reportProblem, QObject* parent)
    : QObject(parent), run_(run), reportProblem_(std::move(reportProblem)) {}

QString RunRecorder::journalPath(const QString& folder) {
    return QDir::toNativeSeparators(QDir(folder).filePath(kJournalFile));
}

std::optional<QList<JournalEntry>> RunRecorder::open(const QString& folder) {
    const QString path = journalPath(folder);
    const JournalContents contents = readJournal(path);
    if (!contents.error.isEmpty())
        reportProblem_("The run journal " + path + " could not be read: " + contents.error);
    if (const QString error = journal_.open(path); !error.isEmpty())
        reportWriteProblem(path + ": " + error);
    // The disk is synced on the journal's own thread; a failure there is told on this one.
    journal_.setSyncErrorHandler([this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { reportWriteProblem(message); }, Qt::QueuedConnection);
    });
    return unfinishedRun(contents.entries);
}

void RunRecorder::command(JournalEntry::Kind kind) {
    JournalEntry entry;
    entry.kind = kind;
    entry.total = run_.stopWatch().GetElapsed();
    append(entry);
}

void RunRecorder::lap(int competitor, const LapRow& row) {
    JournalEntry entry;
    entry.kind = JournalEntry::Kind::Lap;
    entry.competitor = competitor;
    entry.total = run_.laps().PressTotal;
    entry.name = run_.name(competitor);
    entry.courseLength = run_.course().value_or(QString());
    entry.courseSelected = run_.course().has_value();
    entry.milesPerHour = run_.unit() == SpeedUnit::MilesPerHour;
    entry.wallClock = row.fields.value(5); // the Realtime column
    append(entry);
}

void RunRecorder::append(const JournalEntry& entry) {
    if (replaying_)
        return;
    if (const QString error = journal_.append(entry); !error.isEmpty())
        reportWriteProblem(error);
}

// Told once: every press after it would fail the same way.
void RunRecorder::reportWriteProblem(const QString& error) {
    if (!std::exchange(problemTold_, true))
        reportProblem_("The run journal cannot be written (" + error +
                       "). Laps are still recorded in the grids; save them with \"Mix save\".");
}
