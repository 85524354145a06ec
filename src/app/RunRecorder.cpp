#include "RunRecorder.h"

#include "RestoreMark.h"

#include <QDir>
#include <QFile>

using namespace kelvos;

namespace {
constexpr const char* kJournalFile = "kelvos-run.journal";
constexpr int kListedLines = 10; // line numbers listed at most
} // namespace

RunRecorder::RunRecorder(std::function<void(const QString&)> reportProblem, QObject* parent)
    : QObject(parent), reportProblem_(std::move(reportProblem)) {}

QString RunRecorder::journalPath(const QString& folder) {
    return QDir::toNativeSeparators(QDir(folder).filePath(kJournalFile));
}

std::optional<QList<JournalEntry>> RunRecorder::open(const QString& folder) {
    const QString path = journalPath(folder);
    path_ = path;
    const JournalContents contents = readJournal(path);
    unreadableLines_ = contents.unreadableLines;
    if (!contents.error.isEmpty())
        reportProblem_("The run journal " + path + " could not be read: " + contents.error);
    if (const QString error = journal_.open(path); !error.isEmpty())
        reportWriteProblem(path + ": " + error);
    // The disk is synced on the journal's own thread; a failure there is told on this one.
    journal_.setSyncErrorHandler([this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { reportWriteProblem(message); }, Qt::QueuedConnection);
    });
    const auto run = unfinishedRun(contents.entries, contents.version);
    if (!run || restoredBefore(contents)) {
        if (contents.entries.isEmpty() && !unreadableLines_.isEmpty())
            reportProblem_("Nothing could be restored from the run journal " + path + ": " +
                           unreadableLinesText());
        return std::nullopt;
    }
    restoringDigest_ = contents.digest;
    return run;
}

// A run restored while its journal could not be written is not restored again: once the
// journal can be written, the file it went to is recorded there; until then the operator is
// told where it is.
bool RunRecorder::restoredBefore(const JournalContents& contents) {
    const std::optional<RestoreMark> mark = readRestoreMark(path_);
    if (!mark)
        return false;
    if (mark->journalDigest != contents.digest) {
        if (journal_.isOpen())
            QFile::remove(restoreMarkPath(path_)); // of a journal long gone
        return false;
    }
    if (journal_.isOpen()) {
        saved(mark->file);
        if (lastWritten_)
            QFile::remove(restoreMarkPath(path_));
    } else {
        reportProblem_("The unfinished run in the run journal " + path_ +
                       " was restored at an earlier start and saved to " + mark->file +
                       "; it is not restored again.");
    }
    return true;
}

QString RunRecorder::unreadableLinesText() const {
    if (unreadableLines_.isEmpty())
        return {};
    QStringList numbers;
    for (const int line :
         unreadableLines_.first(std::min<qsizetype>(unreadableLines_.size(), kListedLines)))
        numbers << QString::number(line);
    if (unreadableLines_.size() > kListedLines)
        numbers << "...";
    return QString("%1 line(s) could not be read and are left out (line %2).")
        .arg(unreadableLines_.size())
        .arg(numbers.join(", "));
}

namespace {
std::optional<JournalEntry::Kind> journalKindOf(RunEventKind kind) {
    switch (kind) {
    case RunEventKind::Started:
        return JournalEntry::Kind::Start;
    case RunEventKind::Stopped:
        return JournalEntry::Kind::Stop;
    case RunEventKind::Restarted:
        return JournalEntry::Kind::Restart;
    case RunEventKind::Reset:
        return JournalEntry::Kind::Reset;
    case RunEventKind::Lap:
        return JournalEntry::Kind::Lap;
    case RunEventKind::MainGridLoaded:
    case RunEventKind::MixGridLoaded:
    case RunEventKind::DetailsChanged:
        break;
    }
    return std::nullopt; // not part of the run's record
}
} // namespace

void RunRecorder::take(const RunEvent& event) {
    const std::optional<JournalEntry::Kind> kind = journalKindOf(event.kind);
    if (!kind)
        return;
    lastTotal_ = event.total;
    JournalEntry entry;
    entry.kind = *kind;
    entry.total = event.total;
    if (*kind == JournalEntry::Kind::Lap) {
        entry.competitor = event.lap.competitor;
        entry.name = event.lap.name;
        entry.courseLength = event.details.course;
        entry.courseSelected = event.details.courseChosen;
        entry.milesPerHour = event.details.unit == SpeedUnit::MilesPerHour;
        entry.wallClock = event.lap.wallClock;
    }
    append(entry);
}

// When the journal cannot take the Saved entry of a restored run, a mark beside it says that
// the run is on disk, so that it is not restored again at the next start.
void RunRecorder::saved(const QString& file) {
    JournalEntry entry;
    entry.kind = JournalEntry::Kind::Saved;
    entry.total = lastTotal_;
    entry.file = file;
    append(entry);
    if (!restoringDigest_.isEmpty() && !lastWritten_)
        writeRestoreMark(path_, {restoringDigest_, file});
    restoringDigest_.clear();
}

void RunRecorder::append(const JournalEntry& entry) {
    if (replaying_)
        return;
    const QString error = journal_.append(entry);
    lastWritten_ = error.isEmpty();
    if (!lastWritten_)
        reportWriteProblem(error);
}

// Told once: every press after it would fail the same way.
void RunRecorder::reportWriteProblem(const QString& error) {
    if (!std::exchange(problemTold_, true))
        reportProblem_("The run journal cannot be written (" + error +
                       "). Laps are still recorded in the grids; save them with \"Mix save\".");
}
