#include "HistoryWriter.h"

#include "CellStore.h"
#include "CsvFile.h"
#include "RunEvent.h"

#include <QDir>
#include <QFileInfo>

namespace kelvos {

namespace {
constexpr int kRetryMs = 15000;
} // namespace

HistoryWriter::HistoryWriter(QString path, QString clubAddress,
                             std::function<void(const QString&)> problem)
    : path_(std::move(path)), problem_(std::move(problem)), clubAddress_(std::move(clubAddress)),
      retry_(new QTimer(this)) {
    retry_->setSingleShot(true);
    retry_->setInterval(kRetryMs);
    connect(retry_, &QTimer::timeout, this, &HistoryWriter::upload);
}

HistoryWriter::~HistoryWriter() = default;

bool HistoryWriter::ready() {
    if (store_ && store_->isOpen())
        return true;
    // A connection's name is unique per writer: several writers may run at once.
    store_ = std::make_unique<HistoryStore>(
        QString("kelvos-history-writer-%1").arg(quintptr(this), 0, 16));
    if (const QString error = store_->openFile(path_); !error.isEmpty()) {
        problem_("The run history " + QDir::toNativeSeparators(path_) + " cannot be opened (" +
                 error + ").");
        store_.reset();
        return false;
    }
    return true;
}

void HistoryWriter::write(const HistoryRun& run) {
    if (!ready())
        return;
    if (store_->add(run) == HistoryStore::Added::Failed) {
        problem_("The run history " + QDir::toNativeSeparators(path_) + " cannot be written (" +
                 store_->lastError() + ").");
        return;
    }
    upload();
}

bool HistoryWriter::clubReady() {
    if (club_)
        return true;
    club_ = std::make_unique<HistoryStore>(
        QString("kelvos-history-club-%1").arg(quintptr(this), 0, 16));
    if (const QString error = club_->openAddress(clubAddress_); !error.isEmpty()) {
        clubFailed(error);
        return false;
    }
    return true;
}

// The connection is made anew at the next try: a server that was restarted has dropped it.
void HistoryWriter::clubFailed(const QString& error) {
    club_.reset();
    retry_->start();
    problem_("The club's run history " + clubAddress_ + " cannot be reached (" + error +
             "). Runs wait in " + QDir::toNativeSeparators(path_) + " and go up when it is back.");
}

bool HistoryWriter::upload() {
    if (clubAddress_.isEmpty() || !ready() || !clubReady())
        return clubAddress_.isEmpty();
    for (const QString& id : store_->runsNotUploaded()) {
        const std::optional<HistoryRun> run = store_->run(id);
        if (!run)
            continue;
        // Kept there already (sent before its mark here was written): the mark follows.
        if (club_->add(*run) == HistoryStore::Added::Failed) {
            clubFailed(club_->lastError());
            return false;
        }
        store_->markUploaded(id);
    }
    return true;
}

ImportReport HistoryWriter::importFiles(const QStringList& paths) {
    ImportReport report;
    if (!ready()) {
        report.problems << "The run history " + QDir::toNativeSeparators(path_) +
                               " cannot be opened.";
        return report;
    }
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            addImported(path, report);
            continue;
        }
        const QStringList files =
            QDir(path).entryList({"*.csv", "*.CSV"}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& file : files)
            addImported(QDir(path).filePath(file), report);
    }
    upload();
    return report;
}

void HistoryWriter::addImported(const QString& file, ImportReport& report) {
    const CsvFileText contents = readCsvFile(file);
    if (!contents.error.isEmpty()) {
        report.problems << QDir::toNativeSeparators(file) + ": " + contents.error;
        return;
    }
    CellStore store(1, kLapColumnCount);
    QList<QStringList> rows;
    for (int row = 1, loaded = loadCsvRows(store, contents.text); row <= loaded; ++row) {
        const QStringList cells = store.row(row);
        if (cells.join(QString()).trimmed().isEmpty())
            continue;
        // Anything but laps would go into the history as laps of nothing.
        if (!isLapRow(cells)) {
            report.problems << QDir::toNativeSeparators(file) +
                                   QString(": line %1 is not a lap of a Mix file").arg(row);
            return;
        }
        rows << cells;
    }
    if (rows.isEmpty()) {
        report.problems << QDir::toNativeSeparators(file) + ": no laps";
        return;
    }
    HistoryRun run = runFromMixRows(rows);
    run.stopped = QFileInfo(file).lastModified();
    run.started = run.stopped.addMSecs(-run.laps.last().total);
    switch (store_->add(run)) {
    case HistoryStore::Added::Added:
        ++report.added;
        break;
    case HistoryStore::Added::AlreadyKept:
        ++report.alreadyKept;
        break;
    case HistoryStore::Added::Failed:
        report.problems << QDir::toNativeSeparators(file) + ": " + store_->lastError();
        break;
    }
}

} // namespace kelvos
